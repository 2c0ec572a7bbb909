#include "store/Schema.h"

#include "common/PasswordHash.h"

namespace store {
namespace {

using T = ColumnType;

Column I(const char *n) { return {QString::fromLatin1(n), T::Integer}; }
Column S(const char *n) { return {QString::fromLatin1(n), T::Text}; }
Column B(const char *n) { return {QString::fromLatin1(n), T::Boolean}; }
Column D(const char *n) { return {QString::fromLatin1(n), T::DateTime}; }
Column H(const char *n) { return {QString::fromLatin1(n), T::Time}; }
Column P(const char *n) { return {QString::fromLatin1(n), T::Picture}; }

QVector<Column> days()
{
    return {B("Sunday"), B("Monday"), B("Tuesday"), B("Wednesday"), B("Thursday"), B("Friday"), B("Saturday")};
}

QVector<Table> buildTables()
{
    const QVector<Column> keyUser = {I("KeyID"), S("SerialID"), S("FirstName"), S("LastName"), I("TimeShiftID"),
                                     S("Department"), S("UserType"), S("KeyCode"), S("Title"), S("Address"),
                                     S("ContactInfor"), S("Status"), I("ActExpDateID"), I("ExpDateID"),
                                     B("ExpDate"), P("Photo")};
    const QVector<Column> lockKeyUser = {S("SerialID"), S("FirstName"), S("LastName"), I("TimeShiftID"),
                                         I("ActExpDateID"), I("ExpDateID"), S("Status"), S("Department"),
                                         S("Title"), S("Address"), S("ContactInfor"), S("UserType"),
                                         S("KeyCode")};
    const QVector<Column> accessCode = {S("SerialID"), S("LockName"), S("GuestFirstName"), S("GuestLastName"),
                                        S("CodeType"), B("HasDeleted"), D("StartDate"), D("EndDate"),
                                        D("DateCreated"), S("CreatedBy"), S("CodeString"), I("TimeGroup"),
                                        S("LockLocation"), I("LostTimes")};
    const QVector<Column> record = {S("SerialID"), S("LockName"), S("LockLocation"), S("FirstName"),
                                    S("LastName"), S("Department"), S("Status"), S("OpenLockType"),
                                    D("OpenLockTime"), S("CodeType")};
    const QVector<Column> tempKey2 = {I("KeyID"), I("LockID"), S("SerialID"), S("FirstName"), S("LastName"),
                                      S("Status"), S("Department"), S("Title"), S("Address"),
                                      S("ContactInfor"), B("Used"), I("TabPageID")};
    const QVector<Column> tempLock2 = {I("LockID"), S("SerialID"), S("LockName"), S("LockLocation"),
                                       I("LockStatusID"), B("Used")};

    return {
        // Operators and sessions
        {"Admin", {S("UserName"), S("UserPassword"), S("UserLevel")}, {}},
        {"TitleName", {S("Title"), I("Level")}, {}},
        {"LoginHistory", {I("LoginHistoryID"), D("LoginTime"), D("LogoutTime"), S("LoginName"), S("LoginLevel")},
         "PRIMARY KEY (LoginHistoryID)"},
        // Locks and lock schedules
        {"LockManagement",
         {I("LockID"), S("SerialID"), S("LockName"), S("LockLocation"), I("LockStatusID"), S("LockType")},
         "PRIMARY KEY (LockID)"},
        {"LockStatus", {I("LockStatusID"), S("LockStatusName")}, "PRIMARY KEY (LockStatusID)"},
        {"LockStatusST", QVector<Column>{I("LockStatusSTID"), I("LockStatusID"), H("BeginTime"), S("LockStatus")} + days(),
         "PRIMARY KEY (LockStatusSTID)"},
        {"LockSerialID", {S("SerialID"), B("Exist"), S("LockName")}, {}},
        // Users and their assignment to locks
        {"KeyManagement", keyUser, "PRIMARY KEY (KeyID)"},
        {"LockKeyManagement",
         QVector<Column>{I("LockID"), I("KeyID")} + lockKeyUser + QVector<Column>{D("LastSetupTime"), B("ExpDate")},
         "PRIMARY KEY (LockID, KeyID)"},
        // Time data
        {"TimeGroup", {I("GroupID"), S("GroupName")}, "PRIMARY KEY (GroupID)"},
        {"TimeShift", {I("TimeShiftID"), I("GroupID"), H("BeginTime"), H("EndTime"), S("DayOfWeek")},
         "PRIMARY KEY (TimeShiftID)"},
        {"TempWeek", {I("DayNo"), S("DayName")}, {}},
        {"ActExpDateST", {I("GroupID"), D("ActivationDate"), D("ExpirationDate")}, "PRIMARY KEY (GroupID)"},
        {"ExceptionDateST", {I("GroupID"), D("ExceptionDateFrom"), D("ExceptionDateTo")}, "PRIMARY KEY (GroupID)"},
        // Remote codes
        {"AccessCode", accessCode, {}},
        {"TempAccessCode", accessCode + QVector<Column>{B("Selected")}, {}},
        {"OneOffCode", {I("CodeNo"), S("OneOffCode")}, {}},
        // Audit records
        {"RecordInfor", record, {}},
        {"TempRecord", QVector<Column>{I("No")} + record, {}},
        // Working tables
        {"TempKey", keyUser + QVector<Column>{B("Used"), D("LastSetupTime")}, {}},
        {"TempKey1",
         tempKey2 + QVector<Column>{I("TimeShiftID"), I("ActExpDateID"), I("ExpDateID"), B("ExpDate"), S("KeyCode"),
                                    S("UserType")},
         {}},
        {"TempKey2", tempKey2, {}},
        {"TempLockKey",
         QVector<Column>{I("LockID"), I("KeyID")} + lockKeyUser +
             QVector<Column>{B("Used"), B("ExpDate"), D("LastSetupTime")},
         {}},
        {"TempLock1", tempLock2 + QVector<Column>{I("TabPageID")}, {}},
        {"TempLock2", tempLock2, {}},
        // What one lock reported of its own settings
        {"TimeShift1", {I("GroupID"), H("BeginTime"), H("EndTime"), S("DayOfWeek")}, {}},
        {"LockStatusST1", QVector<Column>{I("LockStatusID"), H("BeginTime"), S("LockStatus")} + days(), {}},
        {"ActExpDateST1", {I("GroupID"), D("ActivationDate"), D("ExpirationDate")}, {}},
        {"ExceptionDateST1", {I("GroupID"), D("ExceptionDateFrom"), D("ExceptionDateTo")}, {}},
    };
}

QString sqlType(ColumnType t)
{
    switch (t) {
    case T::Integer:
    case T::Boolean:
        return QStringLiteral("INTEGER");
    case T::Picture:
        return QStringLiteral("BLOB");
    case T::Text:
    case T::DateTime:
    case T::Time:
        break;
    }
    // Text compares without regard to letter case, as the stored SQL expects.
    return QStringLiteral("TEXT COLLATE NOCASE");
}

QString quoted(const QString &s)
{
    QString r = s;
    r.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + r + QLatin1Char('\'');
}

} // namespace

const QVector<Table> &schemaTables()
{
    static const QVector<Table> tables = buildTables();
    return tables;
}

const Table *findTable(const QString &name)
{
    for (const Table &t : schemaTables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QStringList schemaStatements()
{
    QStringList out;
    for (const Table &t : schemaTables()) {
        QStringList cols;
        for (const Column &c : t.columns)
            cols << c.name + QLatin1Char(' ') + sqlType(c.type);
        if (!t.constraints.isEmpty())
            cols << t.constraints;
        out << QStringLiteral("CREATE TABLE %1 (%2)").arg(t.name, cols.join(QLatin1String(", ")));
    }
    // Every column that rows are looked up by.
    const char *indexes[][2] = {
        {"LockManagement", "SerialID"},    {"LockManagement", "LockName"},
        {"KeyManagement", "SerialID"},     {"KeyManagement", "FirstName, LastName"},
        {"KeyManagement", "KeyCode"},      {"LockKeyManagement", "KeyID"},
        {"LockStatusST", "LockStatusID"},  {"TimeShift", "GroupID"},
        {"AccessCode", "SerialID"},        {"AccessCode", "CodeString"},
        {"RecordInfor", "OpenLockTime"},   {"RecordInfor", "SerialID, OpenLockTime, OpenLockType"},
        {"RecordInfor", "LockName"},       {"LoginHistory", "LoginTime"},
        {"Admin", "UserName"},             {"LockSerialID", "SerialID"},
    };
    int n = 0;
    for (const auto &ix : indexes) {
        out << QStringLiteral("CREATE INDEX ix_%1_%2 ON %1 (%3)")
                   .arg(QLatin1String(ix[0]))
                   .arg(++n)
                   .arg(QLatin1String(ix[1]));
    }
    return out;
}

QStringList seedStatements()
{
    QStringList out;
    out << QStringLiteral("INSERT INTO TitleName (Title, Level) VALUES ('Corvane Lock   (VER 3.5)', 1)");
    out << QStringLiteral("INSERT INTO Admin (UserName, UserPassword, UserLevel) VALUES (%1, %2, 'Administrator')")
               .arg(quoted(seededOperatorName()), quoted(PasswordHash::hash(seededOperatorPassword())));

    out << QStringLiteral("INSERT INTO TimeGroup (GroupID, GroupName) VALUES (1, 'No Limit')");
    for (int g = 2; g <= 16; ++g)
        out << QStringLiteral("INSERT INTO TimeGroup (GroupID, GroupName) VALUES (%1, 'Time Shift %1')").arg(g);

    // Group 1 of both date tables means "no limit" and carries no dates.
    out << QStringLiteral("INSERT INTO ActExpDateST (GroupID) VALUES (1)");
    for (int g = 2; g <= 16; ++g)
        out << QStringLiteral("INSERT INTO ActExpDateST (GroupID, ActivationDate, ExpirationDate) "
                              "VALUES (%1, '2000-01-01 00:00:00', '2099-12-31 23:59:00')")
                   .arg(g);
    out << QStringLiteral("INSERT INTO ExceptionDateST (GroupID) VALUES (1)");
    for (int g = 2; g <= 17; ++g)
        out << QStringLiteral("INSERT INTO ExceptionDateST (GroupID, ExceptionDateFrom, ExceptionDateTo) "
                              "VALUES (%1, '2000-01-01 00:00:00', '2000-01-01 00:00:00')")
                   .arg(g);

    out << QStringLiteral("INSERT INTO LockStatus (LockStatusID, LockStatusName) VALUES (1, 'No Limit Classroom Mode')");
    out << QStringLiteral("INSERT INTO LockStatus (LockStatusID, LockStatusName) VALUES (2, 'No Limit Storehouse Mode')");
    for (int s = 3; s <= 10; ++s)
        out << QStringLiteral("INSERT INTO LockStatus (LockStatusID, LockStatusName) VALUES (%1, 'Schedule %1')").arg(s);

    const char *dayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    for (int d = 0; d < 7; ++d)
        out << QStringLiteral("INSERT INTO TempWeek (DayNo, DayName) VALUES (%1, '%2')").arg(d + 1).arg(QLatin1String(dayNames[d]));
    return out;
}

} // namespace store
