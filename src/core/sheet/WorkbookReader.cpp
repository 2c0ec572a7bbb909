#include "sheet/WorkbookReader.h"

#include "sheet/XlsReader.h"
#include "sheet/XlsxReader.h"

#include <QFile>

namespace sheet {

Result<QVector<SheetData>> WorkbookReader::read(const QString &path, bool firstSheetOnly)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return Result<QVector<SheetData>>::failure(QStringLiteral("Cannot open %1: %2").arg(path, f.errorString()));
    const QByteArray magic = f.read(8);
    f.close();
    if (magic.startsWith("PK\x03\x04"))
        return XlsxReader::read(path, firstSheetOnly);
    if (magic == QByteArray::fromHex("d0cf11e0a1b11ae1"))
        return XlsReader::read(path, firstSheetOnly);
    return Result<QVector<SheetData>>::failure(QStringLiteral("%1 is not a workbook.").arg(path));
}

Result<SheetData> WorkbookReader::readFirstSheet(const QString &path)
{
    auto all = read(path, true);
    if (!all.ok)
        return Result<SheetData>::failure(all.error);
    if (all.value.isEmpty())
        return Result<SheetData>::failure(QStringLiteral("%1 has no worksheet.").arg(path));
    return Result<SheetData>::success(all.value.first());
}

} // namespace sheet
