#include "sheet/WorkbookWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <xlsxwriter.h>

namespace sheet {

namespace {

class Formats
{
public:
    explicit Formats(lxw_workbook *wb) : m_wb(wb) {}

    lxw_format *get(const QString &numberFormat)
    {
        if (numberFormat.isEmpty())
            return nullptr;
        auto it = m_formats.find(numberFormat);
        if (it != m_formats.end())
            return it.value();
        lxw_format *f = workbook_add_format(m_wb);
        format_set_num_format(f, numberFormat.toUtf8().constData());
        m_formats.insert(numberFormat, f);
        return f;
    }

private:
    lxw_workbook *m_wb;
    QHash<QString, lxw_format *> m_formats;
};

lxw_error writeCell(lxw_worksheet *ws, int row, int col, const Cell &c, lxw_format *fmt)
{
    const lxw_row_t r = static_cast<lxw_row_t>(row - 1);
    const lxw_col_t k = static_cast<lxw_col_t>(col - 1);
    if (c.isEmpty())
        return fmt ? worksheet_write_blank(ws, r, k, fmt) : LXW_NO_ERROR;
    switch (c.value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = c.value.toDateTime();
        if (!dt.isValid())
            return fmt ? worksheet_write_blank(ws, r, k, fmt) : LXW_NO_ERROR;
        lxw_datetime t{dt.date().year(), dt.date().month(), dt.date().day(),
                       dt.time().hour(), dt.time().minute(), static_cast<double>(dt.time().second())};
        return worksheet_write_datetime(ws, r, k, &t, fmt);
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return worksheet_write_number(ws, r, k, c.value.toDouble(), fmt);
    case QMetaType::Bool:
        return worksheet_write_boolean(ws, r, k, c.value.toBool() ? 1 : 0, fmt);
    default: {
        const QString s = c.value.toString();
        if (s.isEmpty())
            return fmt ? worksheet_write_blank(ws, r, k, fmt) : LXW_NO_ERROR;
        return worksheet_write_string(ws, r, k, s.toUtf8().constData(), fmt);
    }
    }
}

} // namespace

Status WorkbookWriter::write(const QString &path, const QVector<SheetData> &sheets)
{
    if (sheets.isEmpty())
        return Status::failure(QStringLiteral("A workbook needs at least one worksheet."));
    const QFileInfo target(path);
    if (!QDir().mkpath(target.absolutePath()))
        return Status::failure(QStringLiteral("Cannot create the folder %1.").arg(target.absolutePath()));
    const QString partial = target.absoluteFilePath() + QStringLiteral(".part");
    QFile::remove(partial);

    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;
    lxw_workbook *wb = workbook_new_opt(QFile::encodeName(partial).constData(), &options);
    if (!wb)
        return Status::failure(QStringLiteral("Cannot create the workbook %1.").arg(path));

    Formats formats(wb);
    lxw_error err = LXW_NO_ERROR;
    for (const SheetData &sd : sheets) {
        const QByteArray name = sd.name().toUtf8();
        lxw_worksheet *ws = workbook_add_worksheet(wb, name.isEmpty() ? nullptr : name.constData());
        if (!ws) {
            err = LXW_ERROR_SHEETNAME_ALREADY_USED;
            break;
        }
        for (auto it = sd.columnWidths().cbegin(); it != sd.columnWidths().cend(); ++it) {
            const lxw_col_t c = static_cast<lxw_col_t>(it.key() - 1);
            worksheet_set_column(ws, c, c, it.value(), nullptr);
        }
        for (int r = 1; r <= sd.rowCount() && err == LXW_NO_ERROR; ++r) {
            for (int c = 1; c <= sd.columnCount(); ++c) {
                if (!sd.has(r, c))
                    continue;
                const Cell cell = sd.cell(r, c);
                err = writeCell(ws, r, c, cell, formats.get(cell.numberFormat));
                if (err != LXW_NO_ERROR)
                    break;
            }
        }
        if (err != LXW_NO_ERROR)
            break;
    }

    const lxw_error closeErr = workbook_close(wb); // also frees the workbook
    if (err == LXW_NO_ERROR)
        err = closeErr;
    if (err != LXW_NO_ERROR) {
        QFile::remove(partial);
        return Status::failure(QStringLiteral("Cannot write the workbook %1: %2").arg(path, QString::fromUtf8(lxw_strerror(err))));
    }
    QFile::remove(path);
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        return Status::failure(QStringLiteral("Cannot write the workbook %1.").arg(path));
    }
    return Status::success();
}

} // namespace sheet
