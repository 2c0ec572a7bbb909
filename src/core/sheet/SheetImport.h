#pragma once

#include "sheet/SheetData.h"

#include <QString>

namespace sheet {

// What an import did. Rows are taken from row 4 of the first worksheet up
// to row 1001, and reading ends at the first row whose key cell is empty.
// On an error the rows before it stay imported (ok is false, error says
// which row and why, failedRow is its row number).
struct ImportOutcome
{
    bool ok = true;
    QString error;
    int failedRow = 0;
    int inserted = 0;
    int skipped = 0; // rows left out as duplicates
};

// Imports locks and users from workbooks in the layout of the lock list and
// user list exports, written straight into LockManagement / KeyManagement
// with newly allocated IDs.
class SheetImport
{
public:
    static constexpr int kFirstRow = 4;
    static constexpr int kLastRow = 1001;

    // Locks: a lock whose SerialID exists (also one added earlier from the
    // same file) is skipped.
    static ImportOutcome importLocks(const QString &path);
    static ImportOutcome importLocks(const SheetData &sheet);

    // Users: a row is a duplicate of a user stored before the import began
    // when, for type "iButton", the SerialID matches; for "KeyCode", the
    // KeyCode; for any other type, both. New users are "Active", in
    // groups 1, with the holiday flag set.
    static ImportOutcome importUsers(const QString &path);
    static ImportOutcome importUsers(const SheetData &sheet);

    // Column 1 as the exports write it: a value longer than 16 characters
    // loses its first character (the quote) and is cut to 16.
    static QString serialFromCell(const QString &cell);
};

} // namespace sheet
