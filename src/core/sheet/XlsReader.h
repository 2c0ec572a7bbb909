#pragma once

#include "common/Result.h"
#include "sheet/SheetData.h"

#include <QString>
#include <QVector>

namespace sheet {

// Legacy Excel 97-2003 workbooks (BIFF8), read with FreeXL. Dates come back
// as date-times; number formats are not reported.
class XlsReader
{
public:
    static Result<QVector<SheetData>> read(const QString &path, bool firstSheetOnly = false);
};

} // namespace sheet
