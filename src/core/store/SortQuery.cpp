#include "store/SortQuery.h"

namespace store {

QString sortQuerySql(const QString &sql, const QString &sortKey)
{
    QString key = sortKey.toUpper();
    key.replace(QLatin1Char(';'), QLatin1Char(','));
    const QString text = sql.toUpper();
    const int order = text.indexOf(QLatin1String("ORDER"));
    QString clause = QStringLiteral(" Order By ") + key + QStringLiteral(" Asc");
    if (order >= 0 && text.mid(order, 100).contains(key) && text.contains(QLatin1String("ASC")))
        clause = QStringLiteral(" Order By ") + key + QStringLiteral(" Desc");
    const QString head = order >= 0 ? text.left(order) : text;
    return head + clause;
}

} // namespace store
