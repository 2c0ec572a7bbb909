#pragma once

#include "common/Result.h"
#include "store/CachedEdits.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVariantMap>
#include <QVector>
#include <functional>

namespace store {

// A query whose rows are held on the client and edited there: browse, edit
// the current row or insert a new one, post or cancel, delete. Posted
// changes wait in the cache until applyUpdates() writes them through the
// table's statements in one transaction. It is also the grid's model.
class CachedQuery : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    // A grid column: the field it shows, its title, how a value is shown,
    // and whether the grid may edit it while the record is being edited.
    struct Column
    {
        QString field;
        QString title;
        std::function<QString(const QVariant &)> format = {};
        bool editable = false;
        Qt::Alignment titleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    };

    explicit CachedQuery(QObject *parent = nullptr);

    void setSql(const QString &sql) { m_sql = sql; }
    QString sql() const { return m_sql; }
    void setParams(const QVariantMap &params) { m_params = params; }
    QVariantMap params() const { return m_params; }
    void setUpdateSql(const UpdateSql &sql) { m_edits.setStatements(sql); }
    // Grid columns; without any, every field is shown under its own name.
    void setColumns(const QVector<Column> &columns);
    const QVector<Column> &columns() const { return m_columns; }
    QString fieldOfColumn(int column) const;

    // Runs the statement and loads its rows; the first row becomes current.
    // Pending changes are kept (they are the window's unsaved work).
    Status open();
    void close();
    bool isActive() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }

    int recordCount() const { return static_cast<int>(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    int currentRow() const { return m_current; }
    // Refused (false) while the current record is being edited.
    bool setCurrentRow(int row);
    // Moves to the first row whose field equals value; false when none does.
    bool locate(const QString &field, const QVariant &value);
    QStringList fieldNames() const { return m_fields; }
    bool hasField(const QString &field) const { return fieldIndex(field) >= 0; }

    // The current record (the edit buffer while editing). Null without a row.
    QVariant value(const QString &field) const;
    QVariant valueAt(int row, const QString &field) const;
    // Only while editing; unknown fields are ignored.
    void setValue(const QString &field, const QVariant &value);
    QVariantMap record() const;

    // Record editing. Each returns false when the state does not allow it
    // or when its hook refused.
    bool append();
    bool edit();
    bool post();
    void cancel();
    bool remove();

    // Statements written with the change being posted or deleted, in the
    // same transaction (to be called from beforePost / beforeDelete).
    void addCompanion(const QString &sql, const QVariantMap &params, bool beforeChange = false);

    bool hasPendingUpdates() const { return !m_edits.isEmpty(); }
    const CachedEdits &cachedEdits() const { return m_edits; }
    ApplyResult applyUpdates(QSqlDatabase db = Database::connection());

    // Hooks of the window that owns the query.
    std::function<void(CachedQuery &)> onNewRecord;  // fill defaults of an appended record
    std::function<bool(CachedQuery &)> beforePost;   // validation; false keeps the record in edit
    std::function<bool(CachedQuery &)> beforeDelete; // question and cascades; false keeps the record

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void stateChanged(store::CachedQuery::State state);
    // After every move and after every open (-1 when there is no row).
    void currentRowChanged(int row);
    void lastError(const QString &text);

private:
    int fieldIndex(const QString &field) const;
    void setState(State s);
    void emitRowChanged(int row);

    QString m_sql;
    QVariantMap m_params;
    QVector<Column> m_columns;
    QStringList m_fields;
    QVector<QVector<QVariant>> m_rows;
    QVector<quint64> m_rowKeys;
    QVector<QVariant> m_buffer;   // the record being edited
    QVector<QVariant> m_original; // the record as it was before the edit
    int m_current = -1;
    State m_state = State::Inactive;
    quint64 m_nextKey = 1;
    CachedEdits m_edits;
    QVector<CompanionStatement> m_companionsBefore;
    QVector<CompanionStatement> m_companionsAfter;
};

} // namespace store
