#include "masterdata/MasterDataRules.h"

#include "ibutton/Checksums.h"
#include "store/Database.h"
#include "store/DbValue.h"

namespace masterdata {
namespace {

QString columnsOf(const QStringList &cols, const QString &sep, const QString &prefix = QString())
{
    QStringList out;
    for (const QString &c : cols)
        out << prefix + c;
    return out.join(sep);
}

store::UpdateSql statements(const QString &table, const QStringList &cols, const QString &key)
{
    QStringList sets;
    for (const QString &c : cols)
        sets << c + QStringLiteral(" = :") + c;
    return {QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(table, columnsOf(cols, QStringLiteral(", ")), columnsOf(cols, QStringLiteral(", "), QStringLiteral(":"))),
            QStringLiteral("UPDATE %1 SET %2 WHERE %3 = :OLD_%3").arg(table, sets.join(QStringLiteral(", ")), key),
            QStringLiteral("DELETE FROM %1 WHERE %2 = :OLD_%2").arg(table, key)};
}

// Rows found by the statement, or -1 when it cannot run.
int rows(const QString &sql, const QVariantMap &params)
{
    auto q = store::exec(QStringLiteral("SELECT count(*) FROM (%1)").arg(sql), params);
    return q.ok && q.value.next() ? q.value.value(0).toInt() : -1;
}

Refusal info(const char *t) { return {Refusal::Kind::Information, QString::fromLatin1(t)}; }
Refusal warn(const char *t) { return {Refusal::Kind::Warning, QString::fromLatin1(t)}; }

const QStringList kDays = {QStringLiteral("Sunday"),   QStringLiteral("Monday"), QStringLiteral("Tuesday"),
                           QStringLiteral("Wednesday"), QStringLiteral("Thursday"), QStringLiteral("Friday"),
                           QStringLiteral("Saturday")};

} // namespace

store::UpdateSql lockManagementSql()
{
    return statements(QStringLiteral("LockManagement"),
                      {"LockID", "SerialID", "LockName", "LockLocation", "LockStatusID", "LockType"},
                      QStringLiteral("LockID"));
}

store::UpdateSql keyManagementSql()
{
    return statements(QStringLiteral("KeyManagement"),
                      {"KeyID", "SerialID", "FirstName", "LastName", "TimeShiftID", "Department", "UserType", "KeyCode",
                       "Title", "Address", "ContactInfor", "Status", "ActExpDateID", "ExpDateID"},
                      QStringLiteral("KeyID"));
}

store::UpdateSql timeShiftSql()
{
    return statements(QStringLiteral("TimeShift"), {"TimeShiftID", "GroupID", "BeginTime", "EndTime", "DayOfWeek"},
                      QStringLiteral("TimeShiftID"));
}

store::UpdateSql actExpDateSql()
{
    store::UpdateSql s = statements(QStringLiteral("ActExpDateST"), {"GroupID", "ActivationDate", "ExpirationDate"},
                                    QStringLiteral("GroupID"));
    return {QString(), s.modifySql, QString()}; // the groups are fixed: modify only
}

store::UpdateSql exceptionDateSql()
{
    store::UpdateSql s = statements(QStringLiteral("ExceptionDateST"),
                                    {"GroupID", "ExceptionDateFrom", "ExceptionDateTo"}, QStringLiteral("GroupID"));
    return {QString(), s.modifySql, QString()};
}

store::UpdateSql lockStatusSTSql()
{
    return statements(QStringLiteral("LockStatusST"), QStringList{"LockStatusSTID", "LockStatusID", "BeginTime", "LockStatus"} + kDays,
                      QStringLiteral("LockStatusSTID"));
}

QVector<store::CachedQuery::Column> scheduleEntryColumns()
{
    QVector<store::CachedQuery::Column> cols;
    cols.append({QStringLiteral("BeginTime"), QStringLiteral("Begin Time"), [](const QVariant &v) {
                     const QTime t = store::toTime(v);
                     return t.isValid() ? t.toString(QStringLiteral("HH:mm")) : QString();
                 }});
    cols.append({QStringLiteral("LockStatus"), QStringLiteral("Lock Status")});
    for (const QString &d : kDays)
        cols.append({d, d, [](const QVariant &) { return QString(); }});
    return cols;
}

bool serialCrcOk(const QString &serial) { return onewire::isValidSerialText(serial.toUpper()); }

bool isDigitsOnly(const QString &text)
{
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

QString checkLock(const LockInput &in)
{
    const QString serial = in.serial.trimmed().toUpper();
    if (serial.isEmpty() || serial.size() != 16)
        return QStringLiteral("Serial ID is a Required Field.");
    if (in.name.trimmed().isEmpty())
        return QStringLiteral("Lock Name is a Required Field.");
    if (in.location.trimmed().isEmpty())
        return QStringLiteral("Lock Location is a Required Field.");
    if (!serialCrcOk(serial))
        return QStringLiteral("Serial ID field CRC check error.");
    // Another lock (any lock when adding) with the serial or the name.
    const QVariantMap bySerial{{QStringLiteral("SerialID"), serial}, {QStringLiteral("LockID"), in.inserting ? -1 : in.lockId}};
    if (rows(QStringLiteral("SELECT * FROM LockManagement WHERE SerialID = :SerialID AND LockID <> :LockID"), bySerial) != 0)
        return QStringLiteral("This Serial ID already exists.");
    const QVariantMap byName{{QStringLiteral("LockName"), in.name}, {QStringLiteral("LockID"), in.inserting ? -1 : in.lockId}};
    if (rows(QStringLiteral("SELECT * FROM LockManagement WHERE LockName = :LockName AND LockID <> :LockID"), byName) != 0)
        return QStringLiteral("This Lock Name already exists.");
    return {};
}

Refusal checkUser(const UserInput &in)
{
    const QString serial = in.serial;
    const QString code = in.keyCode;
    if (serial.isEmpty() && code.isEmpty())
        return info("Please fill in iButton ID or Key Code.");
    if (in.firstName.isEmpty())
        return info("First Name field empty!");
    if (in.lastName.isEmpty())
        return info("Last Name field empty!");
    if (in.status.isEmpty())
        return info("Status field empty!");

    // Another user than the one edited (any user when adding).
    const int self = in.inserting ? -1 : in.keyId;
    auto taken = [self](const QString &column, const QString &value, const QString &type) {
        return rows(QStringLiteral("SELECT * FROM KeyManagement WHERE %1 = :Value AND UserType = :UserType AND KeyID <> :KeyID")
                        .arg(column),
                    {{QStringLiteral("Value"), value}, {QStringLiteral("UserType"), type}, {QStringLiteral("KeyID"), self}}) != 0;
    };
    const char *dupSerial = in.inserting ? "This iButton ID already exists." : "This iButton ID already exists";
    const char *dupCode = in.inserting ? "This Key Code already exists." : "This Key Code already exists";

    if (in.userType == QLatin1String("Complex")) {
        if (serial.isEmpty())
            return info("Please fill in the iButton ID.");
        if (code.isEmpty())
            return info("Please fill in Key Code.");
        if (!isDigitsOnly(code))
            return info("Key code needs to be numerical.");
        if (!serialCrcOk(serial))
            return warn("iButton ID field CRC check error!");
        if (taken(QStringLiteral("SerialID"), serial, QStringLiteral("Complex")))
            return warn(dupSerial);
    } else if (in.userType == QLatin1String("KeyCode")) {
        if (code.isEmpty())
            return info("Please fill in Key Code.");
        if (!serial.isEmpty())
            return info("Please fill in Key Code only.");
        if (taken(QStringLiteral("KeyCode"), code, QStringLiteral("KeyCode")))
            return warn(dupCode);
        if (!isDigitsOnly(code))
            return info("Key code needs to be numerical.");
    } else {
        if (serial.isEmpty())
            return info("Please fill in the iButton ID.");
        if (!code.isEmpty())
            return info("Please fill in the iButton ID only.");
        if (!serialCrcOk(serial))
            return warn("iButton ID field CRC check error!");
        if (taken(QStringLiteral("SerialID"), serial, QStringLiteral("iButton")))
            return warn(dupSerial);
    }
    if (rows(QStringLiteral("SELECT * FROM KeyManagement WHERE FirstName = :FirstName AND LastName = :LastName AND KeyID <> :KeyID"),
             {{QStringLiteral("FirstName"), in.firstName}, {QStringLiteral("LastName"), in.lastName},
              {QStringLiteral("KeyID"), self}}) != 0)
        return warn("This First Name and Last Name already exists.");
    return {};
}

Refusal checkPeriod(int groupId, const QTime &begin, const QTime &end, const QString &day)
{
    if (!(end > begin))
        return info("Begin Time should less than End Time!");
    if (rows(QStringLiteral("SELECT * FROM TimeShift WHERE GroupID = :GroupID AND BeginTime = :BeginTime "
                            "AND EndTime = :EndTime AND DayOfWeek = :DayOfWeek"),
             {{QStringLiteral("GroupID"), groupId}, {QStringLiteral("BeginTime"), begin},
              {QStringLiteral("EndTime"), end}, {QStringLiteral("DayOfWeek"), day}}) != 0)
        return info("This record has been exist.");
    return {};
}

} // namespace masterdata
