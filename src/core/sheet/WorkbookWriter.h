#pragma once

#include "common/Result.h"
#include "sheet/SheetData.h"

#include <QString>
#include <QVector>

namespace sheet {

// Writes worksheets into a new .xlsx workbook, in the order given. The file
// is written beside the target under a temporary name and moved into place
// only when complete, so a failed export never leaves half a workbook.
class WorkbookWriter
{
public:
    static Status write(const QString &path, const QVector<SheetData> &sheets);
};

} // namespace sheet
