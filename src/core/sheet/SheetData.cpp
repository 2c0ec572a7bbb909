#include "sheet/SheetData.h"

#include <cmath>

namespace sheet {

QString Cell::text() const
{
    if (isEmpty())
        return QString();
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
            return QString::number(static_cast<qint64>(d));
        return QString::number(d, 'g', 15);
    }
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    default:
        return value.toString();
    }
}

void SheetData::set(int row, int col, const QVariant &value, const QString &numberFormat)
{
    if (row < 1 || col < 1)
        return;
    m_cells.insert(key(row, col), Cell{value, numberFormat});
    m_maxRow = std::max(m_maxRow, row);
    m_maxCol = std::max(m_maxCol, col);
}

Cell SheetData::cell(int row, int col) const { return m_cells.value(key(row, col)); }

} // namespace sheet
