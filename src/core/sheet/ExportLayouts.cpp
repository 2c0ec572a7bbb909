#include "sheet/ExportLayouts.h"

#include "store/DbValue.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlRecord>

namespace sheet {

namespace {

const QString kSerialFormat = QStringLiteral("0");

// The title, print time and headings every export starts with.
void writeHead(SheetData &sd, const QString &title, const QStringList &headings, const QDateTime &printTime)
{
    sd.setName(title);
    sd.set(1, 1, title);
    sd.set(2, 1, QStringLiteral("Print Time: "));
    sd.set(2, 2, printTime, QLatin1String(kDateTimeNumberFormat));
    for (int i = 0; i < headings.size(); ++i)
        sd.set(3, i + 1, headings.at(i));
}

bool blank(const QVariant &v) { return v.isNull() || !v.isValid() || v.toString().isEmpty(); }

void setText(SheetData &sd, int row, int col, const QVariant &v)
{
    if (!blank(v))
        sd.set(row, col, v.toString());
}

void setDateTime(SheetData &sd, int row, int col, const QVariant &v)
{
    const QDateTime dt = store::toDateTime(v);
    if (dt.isValid())
        sd.set(row, col, dt, QLatin1String(kDateTimeNumberFormat));
}

const QStringList &userHeadings()
{
    static const QStringList h = {QStringLiteral("Serial ID"),  QStringLiteral("First Name"),
                                  QStringLiteral("Last Name"),  QStringLiteral("Department"),
                                  QStringLiteral("Title"),      QStringLiteral("Address"),
                                  QStringLiteral("Contact Information"), QStringLiteral("Status"),
                                  QStringLiteral("User Type"),  QStringLiteral("Key Code")};
    return h;
}

// Columns 2 to 10 of a user row; key codes stay text so leading zeros survive.
void writeUserColumns(SheetData &sd, int row, const QVariantMap &u)
{
    static const char *columns[] = {"FirstName", "LastName", "Department", "Title",  "Address",
                                    "ContactInfor", "Status", "UserType", "KeyCode"};
    int col = 2;
    for (const char *c : columns)
        setText(sd, row, col++, u.value(QLatin1String(c)));
}

} // namespace

SheetData lockListSheet(const QList<QVariantMap> &locks, const QDateTime &printTime)
{
    SheetData sd;
    writeHead(sd, QStringLiteral("Lock List Report"),
              {QStringLiteral("Serial ID"), QStringLiteral("Lock Name"), QStringLiteral("Lock Location"),
               QStringLiteral("LockStatusID"), QStringLiteral("LockType")},
              printTime);
    for (int c = 1; c <= 5; ++c)
        sd.setColumnWidth(c, 18);
    int row = 4;
    for (const QVariantMap &l : locks) {
        const QVariant serial = l.value(QStringLiteral("SerialID"));
        // The leading quote keeps a spreadsheet from reading the serial as a number.
        sd.set(row, 1, blank(serial) ? QVariant() : QVariant(QLatin1Char('"') + serial.toString()), kSerialFormat);
        setText(sd, row, 2, l.value(QStringLiteral("LockName")));
        setText(sd, row, 3, l.value(QStringLiteral("LockLocation")));
        const QVariant status = l.value(QStringLiteral("LockStatusID"));
        bool isInt = false;
        const qlonglong id = status.toLongLong(&isInt);
        if (!blank(status))
            sd.set(row, 4, isInt ? QVariant(static_cast<double>(id)) : QVariant(status.toString()));
        setText(sd, row, 5, l.value(QStringLiteral("LockType")));
        ++row;
    }
    return sd;
}

SheetData lockKeyListSheet(const QString &lockName, const QString &lockLocation, const QList<QVariantMap> &users,
                           const QDateTime &printTime)
{
    SheetData sd;
    writeHead(sd, QStringLiteral("Key Lock Assignment Report"), userHeadings(), printTime);
    sd.set(1, 2, QStringLiteral("Lock Name:") + lockName);
    sd.set(1, 3, QStringLiteral("Lock Location:") + lockLocation);
    int row = 4;
    for (const QVariantMap &u : users) {
        const QVariant serial = u.value(QStringLiteral("SerialID"));
        sd.set(row, 1, blank(serial) ? QVariant() : QVariant(serial.toString()), kSerialFormat);
        writeUserColumns(sd, row, u);
        ++row;
    }
    return sd;
}

SheetData userListSheet(const QList<QVariantMap> &users, const QDateTime &printTime)
{
    SheetData sd;
    writeHead(sd, QStringLiteral("Key List Report"), userHeadings(), printTime);
    for (int c : {1, 2, 3, 8, 9, 10})
        sd.setColumnWidth(c, 18);
    int row = 4;
    for (const QVariantMap &u : users) {
        const QVariant serial = u.value(QStringLiteral("SerialID"));
        sd.set(row, 1, blank(serial) ? QVariant() : QVariant(QLatin1Char('"') + serial.toString()), kSerialFormat);
        writeUserColumns(sd, row, u);
        ++row;
    }
    return sd;
}

SheetData loginLogSheet(const QList<QVariantMap> &sessions, const QDateTime &printTime)
{
    SheetData sd;
    writeHead(sd, QStringLiteral("Login Log Report"),
              {QStringLiteral("Login Time"), QStringLiteral("Logout Time"), QStringLiteral("Login Name"),
               QStringLiteral("Login Level")},
              printTime);
    int row = 4;
    for (const QVariantMap &s : sessions) {
        setDateTime(sd, row, 1, s.value(QStringLiteral("LoginTime")));
        setDateTime(sd, row, 2, s.value(QStringLiteral("LogoutTime")));
        setText(sd, row, 3, s.value(QStringLiteral("LoginName")));
        setText(sd, row, 4, s.value(QStringLiteral("LoginLevel")));
        ++row;
    }
    return sd;
}

QList<QVariantMap> recordsOf(QSqlQuery &query)
{
    QList<QVariantMap> rows;
    if (!query.isActive())
        return rows;
    if (query.at() != QSql::BeforeFirstRow && !query.first())
        return rows;
    if (query.at() == QSql::BeforeFirstRow && !query.next())
        return rows;
    do {
        const QSqlRecord rec = query.record();
        QVariantMap m;
        for (int i = 0; i < rec.count(); ++i)
            m.insert(rec.fieldName(i), rec.value(i));
        rows.append(m);
    } while (query.next());
    return rows;
}

QString exportFilePath(const QString &dataDir, const QString &what, const QDateTime &when)
{
    const QDir dir(QDir(dataDir).filePath(QStringLiteral("exports")));
    const QString stem = what + QLatin1Char(' ') + when.toString(QStringLiteral("yyyy-MM-dd HHmmss"));
    QString path = dir.filePath(stem + QStringLiteral(".xlsx"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1 (%2).xlsx").arg(stem).arg(n));
    return path;
}

} // namespace sheet
