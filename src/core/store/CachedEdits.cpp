#include "store/CachedEdits.h"

#include "store/DbValue.h"

#include <QRegularExpression>
#include <QSqlQuery>

namespace store {
namespace {

QVariant lookup(const QVariantMap &map, const QString &name)
{
    const auto it = map.constFind(name);
    if (it != map.cend())
        return *it;
    for (auto i = map.cbegin(); i != map.cend(); ++i)
        if (i.key().compare(name, Qt::CaseInsensitive) == 0)
            return i.value();
    return {};
}

// Runs one statement, binding every :Name from `values` and every :OLD_Name
// from `oldValues`. Modify and delete statements must find their row.
bool run(QSqlDatabase &db, const QString &sql, const QVariantMap &values, const QVariantMap &oldValues,
         bool mustTouchRow, ApplyResult &result)
{
    static const QRegularExpression placeholder(QStringLiteral(":([A-Za-z_][A-Za-z0-9_]*)"));
    QSqlQuery q(db);
    if (!q.prepare(sql)) {
        result = {classifyError(q.lastError()), q.lastError().text()};
        return false;
    }
    auto it = placeholder.globalMatch(sql);
    while (it.hasNext()) {
        const QString name = it.next().captured(1);
        const bool old = name.startsWith(QLatin1String("OLD_"), Qt::CaseInsensitive);
        bind(q, QLatin1Char(':') + name, old ? lookup(oldValues, name.mid(4)) : lookup(values, name));
    }
    if (!q.exec()) {
        result = {classifyError(q.lastError()), q.lastError().text()};
        return false;
    }
    if (mustTouchRow && q.numRowsAffected() == 0) {
        result = {ApplyError::Other,
                  QStringLiteral("The record is no longer in the database; it was changed or removed elsewhere.")};
        return false;
    }
    return true;
}

} // namespace

ApplyError classifyError(const QSqlError &error)
{
    const QString text = error.databaseText() + QLatin1Char(' ') + error.text();
    const QString code = error.nativeErrorCode();
    // SQLite: 1555 primary key, 2067 unique, 787 foreign key (extended codes);
    // the message names the constraint in every case.
    if (code == QLatin1String("1555") || code == QLatin1String("2067") ||
        text.contains(QLatin1String("UNIQUE constraint failed"), Qt::CaseInsensitive) ||
        text.contains(QLatin1String("PRIMARY KEY"), Qt::CaseInsensitive) ||
        text.contains(QLatin1String("duplicate key"), Qt::CaseInsensitive))
        return ApplyError::Duplicate;
    if (code == QLatin1String("787") || text.contains(QLatin1String("FOREIGN KEY constraint failed"), Qt::CaseInsensitive) ||
        text.contains(QLatin1String("foreign key"), Qt::CaseInsensitive))
        return ApplyError::Relation;
    return ApplyError::Other;
}

QString applyErrorText(ApplyError kind)
{
    switch (kind) {
    case ApplyError::None:
        return {};
    case ApplyError::Duplicate:
        return QStringLiteral("This item can not be duplicate!please input again.");
    case ApplyError::Relation:
        return QStringLiteral("This item can not be delete!");
    case ApplyError::Other:
        break;
    }
    // "Data update error", kept in the program's own language of origin.
    return QString::fromUtf8("\xE6\x95\xB0\xE6\x8D\xAE\xE6\x9B\xB4\xE6\x96\xB0\xE5\x8F\x91\xE7\x94\x9F\xE9\x94\x99\xE8\xAF\xAF!");
}

int CachedEdits::indexOfRow(quint64 rowKey) const
{
    for (int i = 0; i < m_pending.size(); ++i)
        if (m_pending[i].rowKey == rowKey)
            return i;
    return -1;
}

void CachedEdits::add(PendingChange change)
{
    using K = PendingChange::Kind;
    const int i = change.rowKey ? indexOfRow(change.rowKey) : -1;
    if (i < 0) {
        m_pending.append(std::move(change));
        return;
    }
    PendingChange &prev = m_pending[i];
    if (change.kind == K::Modify) {
        // A row changed again before it reached the database: one change
        // with the newest values, still found by what the database holds.
        prev.values = change.values;
        prev.before += change.before;
        prev.after += change.after;
        return;
    }
    if (change.kind == K::Delete && prev.kind == K::Insert) {
        // Never written: nothing to delete. Its companions are dropped with it.
        m_pending.remove(i);
        return;
    }
    if (change.kind == K::Delete) {
        change.oldValues = prev.oldValues;
        change.before = prev.before + change.before;
        m_pending[i] = std::move(change);
        return;
    }
    m_pending.append(std::move(change));
}

ApplyResult CachedEdits::apply(QSqlDatabase db)
{
    ApplyResult result;
    if (m_pending.isEmpty())
        return result;
    Transaction tx(db);
    if (!tx.started())
        return {ApplyError::Other, db.lastError().text()};
    using K = PendingChange::Kind;
    for (const PendingChange &c : m_pending) {
        for (const CompanionStatement &s : c.before)
            if (!run(db, s.sql, s.params, {}, false, result))
                return result;
        bool ok = true;
        switch (c.kind) {
        case K::Insert:
            ok = run(db, m_sql.insertSql, c.values, c.oldValues, false, result);
            break;
        case K::Modify:
            ok = run(db, m_sql.modifySql, c.values, c.oldValues, true, result);
            break;
        case K::Delete:
            ok = run(db, m_sql.deleteSql, c.oldValues, c.oldValues, true, result);
            break;
        }
        if (!ok)
            return result; // the transaction rolls back; every change stays pending
        for (const CompanionStatement &s : c.after)
            if (!run(db, s.sql, s.params, {}, false, result))
                return result;
    }
    if (!tx.commit())
        return {ApplyError::Other, db.lastError().text()};
    m_pending.clear();
    return result;
}

} // namespace store
