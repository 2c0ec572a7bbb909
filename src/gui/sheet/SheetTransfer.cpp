#include "sheet/SheetTransfer.h"

#include "common/AppContext.h"
#include "common/Clock.h"
#include "common/MessageService.h"
#include "common/WaitingWindow.h"
#include "sheet/ExportLayouts.h"
#include "sheet/WorkbookWriter.h"

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

} // namespace

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
