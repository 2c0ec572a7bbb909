#include "store/CachedQuery.h"

#include "store/DbValue.h"

#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace store {

CachedQuery::CachedQuery(QObject *parent) : QAbstractTableModel(parent) {}

void CachedQuery::setColumns(const QVector<Column> &columns)
{
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

QString CachedQuery::fieldOfColumn(int column) const
{
    if (!m_columns.isEmpty())
        return column >= 0 && column < m_columns.size() ? m_columns[column].field : QString();
    return column >= 0 && column < m_fields.size() ? m_fields[column] : QString();
}

int CachedQuery::fieldIndex(const QString &field) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void CachedQuery::setState(State s)
{
    if (m_state == s)
        return;
    m_state = s;
    emit stateChanged(s);
}

void CachedQuery::emitRowChanged(int row)
{
    m_current = row;
    emit currentRowChanged(row);
}

Status CachedQuery::open()
{
    QSqlQuery q(Database::connection());
    q.setForwardOnly(true);
    Status status;
    QStringList fields;
    QVector<QVector<QVariant>> rows;
    if (!q.prepare(m_sql)) {
        status = Status::failure(q.lastError().text());
    } else {
        // Parameters match without regard to case: a statement re-sorted by
        // its title is upper-cased, its parameter values are not.
        bindParams(q, m_sql, m_params);
        if (!q.exec()) {
            status = Status::failure(q.lastError().text());
        } else {
            const QSqlRecord rec = q.record();
            for (int i = 0; i < rec.count(); ++i)
                fields << rec.fieldName(i);
            while (q.next()) {
                QVector<QVariant> row(rec.count());
                for (int i = 0; i < rec.count(); ++i)
                    row[i] = q.value(i);
                rows.append(std::move(row));
            }
        }
    }
    beginResetModel();
    m_fields = fields;
    m_rows = std::move(rows);
    m_rowKeys.clear();
    for (int i = 0; i < m_rows.size(); ++i)
        m_rowKeys.append(m_nextKey++);
    m_buffer.clear();
    m_original.clear();
    m_current = m_rows.isEmpty() ? -1 : 0;
    endResetModel();
    if (!status.ok) {
        m_state = State::Inactive;
        emit stateChanged(m_state);
        emit lastError(status.error);
        emitRowChanged(-1);
        return status;
    }
    m_state = State::Browse;
    emit stateChanged(m_state);
    emitRowChanged(m_current);
    return status;
}

void CachedQuery::close()
{
    beginResetModel();
    m_rows.clear();
    m_rowKeys.clear();
    m_buffer.clear();
    m_current = -1;
    endResetModel();
    setState(State::Inactive);
}

bool CachedQuery::setCurrentRow(int row)
{
    if (isEditing())
        return row == m_current;
    if (row < 0 || row >= m_rows.size())
        return false;
    if (row != m_current)
        emitRowChanged(row);
    return true;
}

bool CachedQuery::locate(const QString &field, const QVariant &value)
{
    const int f = fieldIndex(field);
    if (f < 0)
        return false;
    for (int r = 0; r < m_rows.size(); ++r)
        if (m_rows[r][f] == value || m_rows[r][f].toString() == value.toString())
            return setCurrentRow(r);
    return false;
}

QVariant CachedQuery::value(const QString &field) const
{
    const int f = fieldIndex(field);
    if (f < 0)
        return {};
    if (isEditing())
        return m_buffer.value(f);
    return m_current >= 0 ? m_rows[m_current][f] : QVariant();
}

QVariant CachedQuery::valueAt(int row, const QString &field) const
{
    const int f = fieldIndex(field);
    if (f < 0 || row < 0 || row >= m_rows.size())
        return {};
    return (isEditing() && row == m_current) ? m_buffer.value(f) : m_rows[row][f];
}

void CachedQuery::setValue(const QString &field, const QVariant &v)
{
    const int f = fieldIndex(field);
    if (f < 0 || !isEditing())
        return;
    m_buffer[f] = v;
    m_rows[m_current][f] = v; // the grid shows what is typed
    emit dataChanged(index(m_current, 0), index(m_current, columnCount() - 1));
}

QVariantMap CachedQuery::record() const
{
    QVariantMap r;
    for (const QString &f : m_fields)
        r.insert(f, value(f));
    return r;
}

bool CachedQuery::append()
{
    if (m_state != State::Browse)
        return false;
    const int row = static_cast<int>(m_rows.size());
    beginInsertRows({}, row, row);
    m_rows.append(QVector<QVariant>(m_fields.size()));
    m_rowKeys.append(m_nextKey++);
    endInsertRows();
    m_original = m_rows[row];
    m_buffer = m_rows[row];
    m_companionsBefore.clear();
    m_companionsAfter.clear();
    m_current = row;
    m_state = State::Insert;
    if (onNewRecord)
        onNewRecord(*this);
    emit stateChanged(m_state);
    emitRowChanged(row);
    return true;
}

bool CachedQuery::edit()
{
    if (m_state != State::Browse || m_current < 0)
        return false;
    m_original = m_rows[m_current];
    m_buffer = m_original;
    m_companionsBefore.clear();
    m_companionsAfter.clear();
    setState(State::Edit);
    return true;
}

void CachedQuery::addCompanion(const QString &sql, const QVariantMap &params, bool beforeChange)
{
    (beforeChange ? m_companionsBefore : m_companionsAfter).append({sql, params});
}

bool CachedQuery::post()
{
    if (!isEditing())
        return false;
    m_companionsBefore.clear();
    m_companionsAfter.clear();
    if (beforePost && !beforePost(*this))
        return false; // stays in edit or insert with what was typed
    PendingChange change;
    change.kind = m_state == State::Insert ? PendingChange::Kind::Insert : PendingChange::Kind::Modify;
    for (int i = 0; i < m_fields.size(); ++i) {
        change.values.insert(m_fields[i], m_buffer[i]);
        change.oldValues.insert(m_fields[i], m_original[i]);
    }
    change.before = m_companionsBefore;
    change.after = m_companionsAfter;
    change.rowKey = m_rowKeys[m_current];
    m_edits.add(std::move(change));
    m_rows[m_current] = m_buffer;
    m_buffer.clear();
    setState(State::Browse);
    emit dataChanged(index(m_current, 0), index(m_current, columnCount() - 1));
    emitRowChanged(m_current);
    return true;
}

void CachedQuery::cancel()
{
    if (!isEditing())
        return;
    const bool inserting = m_state == State::Insert;
    m_buffer.clear();
    if (inserting) {
        const int row = m_current;
        beginRemoveRows({}, row, row);
        m_rows.remove(row);
        m_rowKeys.remove(row);
        endRemoveRows();
        m_current = m_rows.isEmpty() ? -1 : std::min(row, static_cast<int>(m_rows.size()) - 1);
    } else {
        m_rows[m_current] = m_original;
        emit dataChanged(index(m_current, 0), index(m_current, columnCount() - 1));
    }
    setState(State::Browse);
    emitRowChanged(m_current);
}

bool CachedQuery::remove()
{
    if (m_state != State::Browse || m_current < 0)
        return false;
    m_companionsBefore.clear();
    m_companionsAfter.clear();
    if (beforeDelete && !beforeDelete(*this))
        return false;
    PendingChange change;
    change.kind = PendingChange::Kind::Delete;
    for (int i = 0; i < m_fields.size(); ++i)
        change.oldValues.insert(m_fields[i], m_rows[m_current][i]);
    change.before = m_companionsBefore + m_companionsAfter; // cascades go first
    change.rowKey = m_rowKeys[m_current];
    m_edits.add(std::move(change));
    const int row = m_current;
    beginRemoveRows({}, row, row);
    m_rows.remove(row);
    m_rowKeys.remove(row);
    endRemoveRows();
    m_current = m_rows.isEmpty() ? -1 : std::min(row, static_cast<int>(m_rows.size()) - 1);
    emitRowChanged(m_current);
    return true;
}

ApplyResult CachedQuery::applyUpdates(QSqlDatabase db)
{
    const ApplyResult r = m_edits.apply(db);
    if (!r.ok())
        emit lastError(r.dbError);
    return r;
}

int CachedQuery::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CachedQuery::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_columns.isEmpty() ? static_cast<int>(m_fields.size()) : static_cast<int>(m_columns.size());
}

QVariant CachedQuery::data(const QModelIndex &idx, int role) const
{
    if (!idx.isValid() || idx.row() >= m_rows.size())
        return {};
    const QString field = fieldOfColumn(idx.column());
    const QVariant v = valueAt(idx.row(), field);
    if (role == Qt::EditRole)
        return v;
    if (role == Qt::DisplayRole) {
        if (!m_columns.isEmpty() && m_columns[idx.column()].format)
            return m_columns[idx.column()].format(v);
        return v;
    }
    return {};
}

bool CachedQuery::setData(const QModelIndex &idx, const QVariant &v, int role)
{
    if (role != Qt::EditRole || !idx.isValid() || !isEditing() || idx.row() != m_current)
        return false;
    setValue(fieldOfColumn(idx.column()), v);
    return true;
}

QVariant CachedQuery::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) {
        if (!m_columns.isEmpty())
            return section < m_columns.size() ? m_columns[section].title : QVariant();
        return m_fields.value(section);
    }
    if (role == Qt::TextAlignmentRole && !m_columns.isEmpty() && section < m_columns.size())
        return QVariant::fromValue(m_columns[section].titleAlignment);
    return {};
}

Qt::ItemFlags CachedQuery::flags(const QModelIndex &idx) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(idx);
    if (idx.isValid() && isEditing() && idx.row() == m_current && !m_columns.isEmpty() &&
        m_columns[idx.column()].editable)
        f |= Qt::ItemIsEditable;
    return f;
}

} // namespace store
