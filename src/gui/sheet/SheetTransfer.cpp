#include "sheet/SheetTransfer.h"

#include "common/AppContext.h"
#include "common/Clock.h"
#include "common/MessageService.h"
#include "common/WaitingWindow.h"
#include "sheet/ExportLayouts.h"
#include "sheet/WorkbookWriter.h"
#include "store/CachedQuery.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace sheetgui {

namespace {

void openWithDesktop(const QString &path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

std::function<void(const QString &)> &opener()
{
    static std::function<void(const QString &)> f = openWithDesktop;
    return f;
}

QString dataDir()
{
    const QString d = AppContext::instance().dataDir;
    return d.isEmpty() ? QDir::currentPath() : d;
}

// Restores the cursor however the export ends.
struct BusyCursor
{
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

QList<QVariantMap> rowsOf(const store::CachedQuery &q, const QStringList &fields)
{
    QList<QVariantMap> rows;
    rows.reserve(q.recordCount());
    for (int r = 0; r < q.recordCount(); ++r) {
        QVariantMap m;
        for (const QString &f : fields)
            m.insert(f, q.valueAt(r, f));
        rows << m;
    }
    return rows;
}

const QStringList &userFields()
{
    static const QStringList f = {QStringLiteral("SerialID"),   QStringLiteral("FirstName"), QStringLiteral("LastName"),
                                  QStringLiteral("Department"), QStringLiteral("Title"),     QStringLiteral("Address"),
                                  QStringLiteral("ContactInfor"), QStringLiteral("Status"),  QStringLiteral("UserType"),
                                  QStringLiteral("KeyCode")};
    return f;
}

} // namespace

void exportLockList(QWidget *parent, const store::CachedQuery &locks)
{
    if (locks.isEmpty()) {
        msg::information(QStringLiteral("No Data to export."), parent);
        return;
    }
    const QList<QVariantMap> rows =
        rowsOf(locks, {QStringLiteral("SerialID"), QStringLiteral("LockName"), QStringLiteral("LockLocation"),
                       QStringLiteral("LockStatusID"), QStringLiteral("LockType")});
    exportSheet(parent, QStringLiteral("Lock List"), [rows] { return sheet::lockListSheet(rows, Clock::now()); });
}

void exportLockKeyList(QWidget *parent, const QString &lockName, const QString &lockLocation,
                       const store::CachedQuery &users)
{
    if (users.isEmpty()) {
        msg::information(QStringLiteral("No Data to export!"), parent);
        return;
    }
    const QList<QVariantMap> rows = rowsOf(users, userFields());
    exportSheet(parent, QStringLiteral("Key Lock Assignment"),
                [=] { return sheet::lockKeyListSheet(lockName, lockLocation, rows, Clock::now()); });
}

void exportUserList(QWidget *parent, const store::CachedQuery &users)
{
    if (users.isEmpty()) {
        msg::information(QStringLiteral("No Data to print!"), parent);
        return;
    }
    const QList<QVariantMap> rows = rowsOf(users, userFields());
    exportSheet(parent, QStringLiteral("Key List"), [rows] { return sheet::userListSheet(rows, Clock::now()); });
}

void setDesktopOpener(std::function<void(const QString &)> f) { opener() = std::move(f); }
void resetDesktopOpener() { opener() = openWithDesktop; }

QString exportSheet(QWidget *parent, const QString &what, const std::function<sheet::SheetData()> &build)
{
    Status written;
    QString path;
    {
        WaitingWindow waiting(QStringLiteral("Exporting data, please wait..."), QStringLiteral("Exporting"), parent);
        BusyCursor busy;
        const QDateTime now = Clock::now();
        path = sheet::exportFilePath(dataDir(), what, now);
        written = sheet::WorkbookWriter::write(path, {build()});
    } // the waiting window goes before any message
    if (!written.ok) {
        msg::error(written.error, parent);
        return QString();
    }
    if (opener())
        opener()(path);
    msg::information(QStringLiteral("Data has been exported successfully."), parent);
    return path;
}

bool importSheet(QWidget *parent, ImportKind kind, sheet::ImportOutcome *outcome)
{
    const QString path = MessageService::instance().openFileName(
        parent, QStringLiteral("Open"), dataDir(),
        QStringLiteral("Excel workbooks (*.xls *.xlsx *.XLS *.XLSX);;*.XLS (*.XLS);;*.xls (*.xls);;"
                       "*.XLSX (*.XLSX);;*.xlsx (*.xlsx)"));
    if (path.isEmpty())
        return false;
    sheet::ImportOutcome o;
    {
        BusyCursor busy;
        o = kind == ImportKind::Locks ? sheet::SheetImport::importLocks(path) : sheet::SheetImport::importUsers(path);
    }
    if (outcome)
        *outcome = o;
    if (!o.ok) {
        msg::error(QStringLiteral("Please select excel file"), parent);
        return o.inserted > 0;
    }
    msg::information(QStringLiteral("Data has been imported successfully."), parent);
    return true;
}

} // namespace sheetgui
