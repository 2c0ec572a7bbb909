#pragma once

#include "common/Result.h"
#include "sheet/SheetData.h"

#include <QString>
#include <QVector>

namespace sheet {

// Office Open XML workbooks: a zip of XML parts read with QXmlStreamReader.
// Numbers shown with a date format come back as date-times; each cell keeps
// its number format code (built-in formats by their usual codes).
class XlsxReader
{
public:
    static Result<QVector<SheetData>> read(const QString &path, bool firstSheetOnly = false);
};

} // namespace sheet
