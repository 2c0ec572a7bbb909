#pragma once

#include <QString>

namespace store {

// The statement a grid reopens with when the operator clicks a column title.
// `sortKey` is the column's field name (for a look-up column its key fields,
// separated by ";"). The text is upper-cased; any ORDER clause is replaced.
// A title clicked again on the column the text is sorted ascending by turns
// the order to descending; any other click sorts ascending.
QString sortQuerySql(const QString &sql, const QString &sortKey);

} // namespace store
