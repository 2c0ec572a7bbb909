#pragma once

#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QString>
#include <QVariant>
#include <QVector>

namespace sheet {

// One cell of a worksheet. The value is a QString (text), a double or
// integer (number), a QDateTime (date-time number) or a bool; a null
// value is an empty cell. numberFormat is the cell's display format
// ("0", "yyyy-mm-dd hh:mm:ss"), empty for the general format.
struct Cell
{
    QVariant value;
    QString numberFormat;

    bool isEmpty() const { return value.isNull() || !value.isValid(); }
    // The value as the operator sees it: integers without decimals,
    // date-times as "yyyy-MM-dd HH:mm:ss", text unchanged.
    QString text() const;
};

// A worksheet held in memory: rows and columns counted from 1, as a
// spreadsheet shows them.
class SheetData
{
public:
    SheetData() = default;
    explicit SheetData(QString name) : m_name(std::move(name)) {}

    const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }

    void set(int row, int col, const QVariant &value, const QString &numberFormat = QString());
    Cell cell(int row, int col) const;
    QString text(int row, int col) const { return cell(row, col).text(); }
    bool has(int row, int col) const { return m_cells.contains(key(row, col)); }

    // Highest row and column holding a cell (0 for an empty sheet).
    int rowCount() const { return m_maxRow; }
    int columnCount() const { return m_maxCol; }

    void setColumnWidth(int col, double width) { m_widths[col] = width; }
    // Column widths that were set explicitly, by column.
    const QMap<int, double> &columnWidths() const { return m_widths; }

private:
    static qint64 key(int row, int col) { return (qint64(row) << 20) | qint64(col); }

    QString m_name;
    QHash<qint64, Cell> m_cells;
    QMap<int, double> m_widths;
    int m_maxRow = 0;
    int m_maxCol = 0;
};

} // namespace sheet
