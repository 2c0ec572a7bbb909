#pragma once

#include "sheet/SheetData.h"
#include "sheet/SheetImport.h"

#include <QString>
#include <functional>

class QWidget;

// The steps every export and import window shares: the waiting window, the
// file in the exports folder, the hand-off to the desktop and the messages.
namespace store {
class CachedQuery;
}

namespace sheetgui {

// Builds the worksheet (with the "Exporting" window up), writes it into
// <dataDir>/exports/ under "<what> <date> <time>.xlsx", hands it to the
// desktop to open and reports "Data has been exported successfully.".
// The file stays in the exports folder. Returns the file written, or an
// empty text when the export failed (the error has been shown).
QString exportSheet(QWidget *parent, const QString &what, const std::function<sheet::SheetData()> &build);

// How a finished export is opened. By default the desktop opens it with the
// operator's spreadsheet program; tests install their own (or an empty
// function, which opens nothing).
void setDesktopOpener(std::function<void(const QString &path)> opener);
void resetDesktopOpener();

// The exports of the list windows, each with its "No Data" message first
// when the list is empty. Every row of the query is exported, in grid order.
// "Lock List Report" from the Lock Settings list:
void exportLockList(QWidget *parent, const store::CachedQuery &locks);
// "Key Lock Assignment Report": the users programmed into one lock:
void exportLockKeyList(QWidget *parent, const QString &lockName, const QString &lockLocation,
                       const store::CachedQuery &users);
// "Key List Report" from the User Settings list:
void exportUserList(QWidget *parent, const store::CachedQuery &users);

enum class ImportKind { Locks, Users };

// Asks for a workbook and imports it. Shows "Data has been imported
// successfully." or "Please select excel file". Returns true when rows may
// have been added (also after an error part-way), so the caller reruns
// its search; false when the operator cancelled or nothing was read.
bool importSheet(QWidget *parent, ImportKind kind, sheet::ImportOutcome *outcome = nullptr);

} // namespace sheetgui
