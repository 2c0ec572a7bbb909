#pragma once

#include "store/Database.h"

#include <QSqlError>
#include <QString>
#include <QVariantMap>
#include <QVector>

namespace store {

// The insert, modify and delete statements of one table. Parameters named
// :<Column> take the record's new values, :OLD_<Column> the values it had
// when it was read.
struct UpdateSql
{
    QString insertSql;
    QString modifySql;
    QString deleteSql;
};

// A statement that belongs to a change (a cascade or a copy into another
// table) and is written in the same transaction as the change itself.
struct CompanionStatement
{
    QString sql;
    QVariantMap params;
};

struct PendingChange
{
    enum class Kind { Insert, Modify, Delete };
    Kind kind = Kind::Insert;
    QVariantMap values;    // new values (insert, modify)
    QVariantMap oldValues; // values as read (modify, delete)
    QVector<CompanionStatement> before; // run before the change's own statement
    QVector<CompanionStatement> after;  // run after it
    quint64 rowKey = 0;                 // which row of the grid it belongs to
};

enum class ApplyError { None, Duplicate, Relation, Other };

struct ApplyResult
{
    ApplyError kind = ApplyError::None;
    QString dbError; // the database's own text
    bool ok() const { return kind == ApplyError::None; }
};

// How a refused statement is reported: a unique or primary key violation is
// a duplicate, a foreign key violation a relation to another table.
ApplyError classifyError(const QSqlError &error);
// The text the operator sees for a refused apply.
QString applyErrorText(ApplyError kind);

// Changes held on the client until they are applied together, in order, in
// one transaction. When the database refuses any of them nothing is written
// and every change stays pending, so it is applied again next time.
class CachedEdits
{
public:
    void setStatements(const UpdateSql &sql) { m_sql = sql; }
    const UpdateSql &statements() const { return m_sql; }

    void add(PendingChange change);
    const QVector<PendingChange> &pending() const { return m_pending; }
    QVector<PendingChange> &pending() { return m_pending; }
    bool isEmpty() const { return m_pending.isEmpty(); }
    void clear() { m_pending.clear(); }
    int indexOfRow(quint64 rowKey) const;

    ApplyResult apply(QSqlDatabase db = Database::connection());

private:
    UpdateSql m_sql;
    QVector<PendingChange> m_pending;
};

} // namespace store
