#include "sheet/SheetImport.h"

#include "sheet/WorkbookReader.h"
#include "store/Database.h"

#include <QSqlError>

#include <QVector>

namespace sheet {

namespace {

ImportOutcome unreadable(const QString &why)
{
    ImportOutcome o;
    o.ok = false;
    o.error = why;
    return o;
}

// Commits the rows inserted before a failure too: an import keeps what it
// had written when it stops.
ImportOutcome finish(store::Transaction &tx, ImportOutcome o)
{
    if (!tx.commit() && o.ok) {
        o.ok = false;
        o.error = QStringLiteral("The imported rows could not be stored: %1")
                      .arg(store::Database::connection().lastError().text());
        o.inserted = 0;
    }
    return o;
}

void stopAt(ImportOutcome &o, int row, const QString &why)
{
    o.ok = false;
    o.failedRow = row;
    o.error = QStringLiteral("Row %1: %2").arg(row).arg(why);
}

struct StoredUser
{
    QString serial;
    QString keyCode;
};

} // namespace

QString SheetImport::serialFromCell(const QString &cell)
{
    return cell.size() > 16 ? cell.mid(1, 16) : cell;
}

ImportOutcome SheetImport::importLocks(const QString &path)
{
    const auto sheet = WorkbookReader::readFirstSheet(path);
    if (!sheet.ok)
        return unreadable(sheet.error);
    return importLocks(sheet.value);
}

ImportOutcome SheetImport::importLocks(const SheetData &sheet)
{
    ImportOutcome o;
    store::Transaction tx;
    if (!tx.started())
        return unreadable(QStringLiteral("Cannot start a transaction."));
    for (int row = kFirstRow; row <= kLastRow; ++row) {
        const QString key = sheet.text(row, 1);
        if (key.trimmed().isEmpty())
            break;
        const QString serial = serialFromCell(key);
        const QString statusText = sheet.text(row, 4).trimmed();
        bool isInt = false;
        const int statusId = statusText.toInt(&isInt);
        if (!isInt) {
            stopAt(o, row, QStringLiteral("the schedule ID \"%1\" is not a number").arg(statusText));
            break;
        }
        auto found = store::exec(QStringLiteral("SELECT * FROM LockManagement WHERE SerialID = :SerialID"),
                                 {{QStringLiteral("SerialID"), serial}});
        if (!found.ok) {
            stopAt(o, row, found.error);
            break;
        }
        if (found.value.next()) {
            ++o.skipped;
            continue;
        }
        found.value.finish();
        const int lockId = store::nextId(QStringLiteral("LockManagement"), QStringLiteral("LockID"));
        const auto ins = store::exec(
            QStringLiteral("INSERT INTO LockManagement (LockID,SerialID,LockName,LockLocation,LockStatusID,LockType) "
                           "VALUES (:LockID,:SerialID,:LockName,:LockLocation,:LockStatusID,:LockType)"),
            {{QStringLiteral("LockID"), lockId},
             {QStringLiteral("SerialID"), serial},
             {QStringLiteral("LockName"), sheet.text(row, 2)},
             {QStringLiteral("LockLocation"), sheet.text(row, 3)},
             {QStringLiteral("LockStatusID"), statusId},
             {QStringLiteral("LockType"), sheet.text(row, 5)}});
        if (!ins.ok) {
            stopAt(o, row, ins.error);
            break;
        }
        ++o.inserted;
    }
    return finish(tx, o);
}

ImportOutcome SheetImport::importUsers(const QString &path)
{
    const auto sheet = WorkbookReader::readFirstSheet(path);
    if (!sheet.ok)
        return unreadable(sheet.error);
    return importUsers(sheet.value);
}

ImportOutcome SheetImport::importUsers(const SheetData &sheet)
{
    ImportOutcome o;
    // The users stored before the import: rows of the file are compared
    // with these only, not with each other.
    QVector<StoredUser> stored;
    {
        auto q = store::exec(QStringLiteral("SELECT SerialID,KeyCode,UserType FROM KeyManagement"));
        if (!q.ok)
            return unreadable(q.error);
        while (q.value.next())
            stored.append({q.value.value(0).toString(), q.value.value(1).toString()});
    }
    const auto isDuplicate = [&](const QString &type, const QString &serial, const QString &code) {
        for (const StoredUser &u : stored) {
            const bool sameSerial = u.serial.compare(serial, Qt::CaseInsensitive) == 0;
            const bool sameCode = u.keyCode == code;
            if (type == QLatin1String("iButton") ? sameSerial
                : type == QLatin1String("KeyCode") ? sameCode
                                                    : sameSerial && sameCode)
                return true;
        }
        return false;
    };

    store::Transaction tx;
    if (!tx.started())
        return unreadable(QStringLiteral("Cannot start a transaction."));
    for (int row = kFirstRow; row <= kLastRow; ++row) {
        const QString firstName = sheet.text(row, 2);
        if (firstName.trimmed().isEmpty())
            break;
        const QString serial = serialFromCell(sheet.text(row, 1));
        const QString lastName = sheet.text(row, 3);
        const QString type = sheet.text(row, 9);
        const QString code = sheet.text(row, 10);
        if (isDuplicate(type, serial, code)) {
            ++o.skipped;
            continue;
        }
        const int keyId = store::nextId(QStringLiteral("KeyManagement"), QStringLiteral("KeyID"));
        const QString empty = QStringLiteral("");
        const auto ins = store::exec(
            QStringLiteral("INSERT INTO KeyManagement(KeyID,SerialID,FirstName,LastName,TimeShiftID,ActExpDateID,"
                           "ExpDateID,Status,Department,Title,Address,ContactInfor,UserType,KeyCode,ExpDate) "
                           "VALUES (:KeyID,:SerialID,:FirstName,:LastName,:TimeShiftID,:ActExpDateID,:ExpDateID,"
                           ":Status,:Department,:Title,:Address,:ContactInfor,:UserType,:KeyCode,:ExpDate)"),
            {{QStringLiteral("KeyID"), keyId},
             {QStringLiteral("SerialID"), serial},
             {QStringLiteral("FirstName"), firstName},
             {QStringLiteral("LastName"), lastName},
             {QStringLiteral("TimeShiftID"), 1},
             {QStringLiteral("ActExpDateID"), 1},
             {QStringLiteral("ExpDateID"), 1},
             {QStringLiteral("Status"), QStringLiteral("Active")},
             {QStringLiteral("Department"), empty},
             {QStringLiteral("Title"), empty},
             {QStringLiteral("Address"), empty},
             {QStringLiteral("ContactInfor"), empty},
             {QStringLiteral("UserType"), type},
             {QStringLiteral("KeyCode"), code},
             {QStringLiteral("ExpDate"), true}});
        if (!ins.ok) {
            stopAt(o, row, ins.error);
            break;
        }
        ++o.inserted;
    }
    return finish(tx, o);
}

} // namespace sheet
