#pragma once

#include "common/Result.h"
#include "sheet/SheetData.h"

#include <QString>
#include <QVector>

namespace sheet {

// Reads workbooks written by this program or by a spreadsheet program:
// .xlsx (Office Open XML) and legacy .xls (BIFF). The kind is told by the
// file's contents, not its name.
class WorkbookReader
{
public:
    // Every worksheet in workbook order. With firstSheetOnly the later
    // sheets carry only their names.
    static Result<QVector<SheetData>> read(const QString &path, bool firstSheetOnly = false);
    // The first worksheet, as the imports use it.
    static Result<SheetData> readFirstSheet(const QString &path);
};

} // namespace sheet
