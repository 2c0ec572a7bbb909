#include "sheet/XlsReader.h"

#include <QFile>

#include <freexl.h>

namespace sheet {

namespace {

class Handle
{
public:
    ~Handle()
    {
        if (h)
            freexl_close(h);
    }
    const void *h = nullptr;
};

} // namespace

Result<QVector<SheetData>> XlsReader::read(const QString &path, bool firstSheetOnly)
{
    using R = Result<QVector<SheetData>>;
    const auto fail = [&](const QString &why) {
        return R::failure(QStringLiteral("Cannot read the workbook %1: %2").arg(path, why));
    };
    Handle xls;
    if (freexl_open(QFile::encodeName(path).constData(), &xls.h) != FREEXL_OK)
        return fail(QStringLiteral("not an Excel 97-2003 workbook"));

    unsigned int count = 0;
    if (freexl_get_info(xls.h, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK || count == 0)
        return fail(QStringLiteral("no worksheet"));

    QVector<SheetData> sheets;
    for (unsigned short i = 0; i < count; ++i) {
        const char *name = nullptr;
        if (freexl_get_worksheet_name(xls.h, i, &name) != FREEXL_OK)
            return fail(QStringLiteral("unreadable worksheet name"));
        SheetData sd(QString::fromUtf8(name));
        if (!firstSheetOnly || i == 0) {
            unsigned int rows = 0;
            unsigned short cols = 0;
            if (freexl_select_active_worksheet(xls.h, i) != FREEXL_OK
                || freexl_worksheet_dimensions(xls.h, &rows, &cols) != FREEXL_OK)
                return fail(QStringLiteral("unreadable worksheet \"%1\"").arg(sd.name()));
            for (unsigned int r = 0; r < rows; ++r) {
                for (unsigned short c = 0; c < cols; ++c) {
                    FreeXL_CellValue v;
                    if (freexl_get_cell_value(xls.h, r, c, &v) != FREEXL_OK)
                        return fail(QStringLiteral("unreadable cell"));
                    QVariant value;
                    switch (v.type) {
                    case FREEXL_CELL_INT:
                        value = static_cast<double>(v.value.int_value);
                        break;
                    case FREEXL_CELL_DOUBLE:
                        value = v.value.double_value;
                        break;
                    case FREEXL_CELL_TEXT:
                    case FREEXL_CELL_SST_TEXT:
                        value = QString::fromUtf8(v.value.text_value);
                        break;
                    case FREEXL_CELL_DATE:
                        value = QDateTime(QDate::fromString(QString::fromLatin1(v.value.text_value), Qt::ISODate), QTime(0, 0));
                        break;
                    case FREEXL_CELL_DATETIME:
                        value = QDateTime::fromString(QString::fromLatin1(v.value.text_value),
                                                      QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                        break;
                    case FREEXL_CELL_TIME:
                        value = QString::fromLatin1(v.value.text_value);
                        break;
                    default:
                        break;
                    }
                    if (value.isValid())
                        sd.set(static_cast<int>(r) + 1, c + 1, value);
                }
            }
        }
        sheets.append(sd);
    }
    return R::success(sheets);
}

} // namespace sheet
