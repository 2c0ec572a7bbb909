#include "common/RecordEditor.h"

#include "common/EnterAsTab.h"
#include "common/MessageService.h"
#include "store/SortQuery.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>

RecordEditor::RecordEditor(QWidget *window, store::CachedQuery *master)
    : QObject(window), m_window(window), m_master(master)
{
    master->beforeDelete = [this](store::CachedQuery &) {
        if (!MyConfirmation(deleteQuestion, m_window))
            return false;
        return cascadeOnDelete ? cascadeOnDelete() : true;
    };
    connect(master, &store::CachedQuery::stateChanged, this, [this] { SetButton(); });
    connect(master, &store::CachedQuery::currentRowChanged, this, [this] { SetButton(); });
}

RecordEditor::~RecordEditor() = default;

namespace {
struct ToolText
{
    const char *caption;
    const char *hint;
    const char *objectName;
};

ToolText toolText(RecordEditor::Tool tool)
{
    using T = RecordEditor::Tool;
    switch (tool) {
    case T::Add: return {"&Add", "Add Record", "addButton"};
    case T::Delete: return {"&Delete", "Delete Record", "deleteButton"};
    case T::Modify: return {"&Modify", "Edit Record", "modifyButton"};
    case T::Save: return {"&Save", "Save Record", "saveButton"};
    case T::Cancel: return {"&Cancel", "Cancel", "cancelButton"};
    case T::Print: return {"&Print", "Print Record", "printButton"};
    case T::Export: return {"&Export", "Export Record To Excel", "exportButton"};
    case T::Import: return {"&Import", "Import Record", "importButton"};
    case T::Select: return {"&Select", "Select Record", "selectButton"};
    case T::Quit: return {"&Quit", "Quit", "quitButton"};
    case T::Search: return {"S&earch", "Query Record", "searchButton"};
    }
    return {"", "", ""};
}
} // namespace

void RecordEditor::buildToolBar(QBoxLayout *bar, std::initializer_list<ToolButton> buttons)
{
    for (const ToolButton &t : buttons) {
        const ToolText text = toolText(t.tool);
        QAbstractButton *b = makeButton(m_window, t.caption.isEmpty() ? QString::fromLatin1(text.caption) : t.caption,
                                        QString::fromLatin1(text.hint),
                                        t.objectName.isEmpty() ? QString::fromLatin1(text.objectName) : t.objectName);
        bar->addWidget(b);
        if (t.inert)
            continue;
        std::function<void()> action = t.onClick;
        switch (t.tool) {
        case Tool::Add:
            addButton = b;
            if (!action)
                action = [this] { sbAddClick(); };
            break;
        case Tool::Delete:
            deleteButton = b;
            if (!action)
                action = [this] { sbDeleteClick(); };
            break;
        case Tool::Modify:
            modifyButton = b;
            if (!action)
                action = [this] { sbModifyClick(); };
            break;
        case Tool::Save:
            saveButton = b;
            if (!action)
                action = [this] { sbSaveClick(); };
            break;
        case Tool::Cancel:
            cancelButton = b;
            if (!action)
                action = [this] { sbCancelClick(); };
            break;
        case Tool::Quit:
            quitButton = b;
            if (!action)
                action = [this] { closeTaskWindow(m_window); };
            break;
        case Tool::Print: printButton = b; break;
        case Tool::Export: exportButton = b; break;
        case Tool::Import: importButton = b; break;
        case Tool::Select: selectButton = b; break;
        case Tool::Search: searchButton = b; break;
        }
        if (action)
            connect(b, &QAbstractButton::clicked, m_window, [action] { action(); });
    }
    bar->addStretch();
}

QList<QAbstractButton *> RecordEditor::editButtons() const
{
    QList<QAbstractButton *> out;
    for (QAbstractButton *b : {addButton.data(), deleteButton.data(), modifyButton.data(), saveButton.data(),
                               cancelButton.data()})
        if (b)
            out << b;
    return out;
}

void RecordEditor::setGridLook(QTableView *grid, int look)
{
    if (look & ReadOnly)
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    if (look & StretchLastColumn)
        grid->horizontalHeader()->setStretchLastSection(true);
    if (look & NoRowHeader)
        grid->verticalHeader()->hide();
}

void RecordEditor::bindListGrid(QTableView *grid, store::CachedQuery *query, std::function<void()> beforeMove)
{
    grid->setModel(query);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    setGridLook(grid, ReadOnly | StretchLastColumn | NoRowHeader);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    QObject::connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, grid,
                     [query, beforeMove](const QModelIndex &cur) {
                         if (!cur.isValid() || cur.row() == query->currentRow())
                             return;
                         if (beforeMove)
                             beforeMove();
                         query->setCurrentRow(cur.row());
                     });
    QObject::connect(query, &store::CachedQuery::currentRowChanged, grid, [grid, query](int row) {
        if (row >= 0 && grid->currentIndex().row() != row)
            grid->setCurrentIndex(query->index(row, 0));
    });
}

void RecordEditor::bindGrid(QTableView *grid, bool sortable, int look)
{
    m_grid = grid;
    grid->setModel(m_master);
    grid->horizontalHeader()->setMinimumSectionSize(40);
    connect(m_master, &QAbstractItemModel::modelReset, grid, [grid] { grid->resizeColumnsToContents(); });
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    auto sync = [grid, this](int row) {
        const QModelIndex cur = grid->currentIndex();
        if (row < 0) {
            grid->clearSelection();
            return;
        }
        if (!cur.isValid() || cur.row() != row)
            grid->setCurrentIndex(m_master->index(row, cur.isValid() ? cur.column() : 0));
    };
    connect(m_master, &store::CachedQuery::currentRowChanged, grid, sync);
    connect(m_master, &QAbstractItemModel::modelReset, grid, [sync, this] { sync(m_master->currentRow()); });
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [grid, this](const QModelIndex &cur) {
                if (!cur.isValid())
                    return;
                if (!m_master->setCurrentRow(cur.row()) && m_master->currentRow() >= 0)
                    // The edited record cannot be left before it is saved or cancelled.
                    grid->setCurrentIndex(m_master->index(m_master->currentRow(), cur.column()));
            });
    if (sortable) {
        grid->horizontalHeader()->setSectionsClickable(true);
        connect(grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &RecordEditor::SortQuery);
    }
    setGridLook(grid, look);
    sync(m_master->currentRow());
}

void RecordEditor::closeTaskWindow(QWidget *window)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        sub->close();
    else
        window->close();
}

QAbstractButton *RecordEditor::makeButton(QWidget *parent, const QString &caption, const QString &hint,
                                          const QString &objectName)
{
    auto *b = new QPushButton(caption, parent);
    b->setToolTip(hint);
    b->setObjectName(objectName);
    b->setAutoDefault(false);
    b->setDefault(false);
    b->setMinimumWidth(b->fontMetrics().horizontalAdvance(caption) + 28);
    return b;
}

void RecordEditor::installEnterAsTab(QWidget *window) { EnterAsTab::install(window); }

void RecordEditor::dropKeysOutsideEdit(QComboBox *combo)
{
    m_combos << combo;
    combo->installEventFilter(this);
    if (combo->lineEdit())
        combo->lineEdit()->installEventFilter(this);
}

bool RecordEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && !m_master->isEditing()) {
        for (const auto &c : m_combos) {
            if (c && (watched == c || watched == c->lineEdit())) {
                const int key = static_cast<QKeyEvent *>(event)->key();
                // Focus keys still move through the window.
                if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
                    return false;
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void RecordEditor::sbAddClick()
{
    if (m_master->state() != store::CachedQuery::State::Browse)
        return;
    if (m_master->append() && afterInsert)
        afterInsert();
}

void RecordEditor::sbDeleteClick()
{
    if (m_master->state() != store::CachedQuery::State::Browse || m_master->isEmpty())
        return;
    if (m_master->remove())
        UpdateMasterData();
}

void RecordEditor::sbModifyClick()
{
    if (m_master->state() != store::CachedQuery::State::Browse)
        return;
    if (m_master->edit() && afterEdit)
        afterEdit();
}

void RecordEditor::closeGridEditor(bool commit)
{
    if (!m_grid)
        return;
    QWidget *editor = m_grid->indexWidget(m_grid->currentIndex());
    if (!editor)
        return;
    if (commit)
        QMetaObject::invokeMethod(m_grid, "commitData", Q_ARG(QWidget *, editor));
    QMetaObject::invokeMethod(m_grid, "closeEditor", Q_ARG(QWidget *, editor),
                              Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
}

void RecordEditor::sbSaveClick()
{
    if (!m_master->isEditing())
        return;
    closeGridEditor(true);
    if (m_master->post())
        UpdateMasterData();
}

void RecordEditor::sbCancelClick()
{
    closeGridEditor(false);
    if (m_master->isEditing())
        m_master->cancel();
}

bool RecordEditor::UpdateMasterData()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const store::ApplyResult r = m_master->applyUpdates();
    QApplication::restoreOverrideCursor();
    if (!r.ok()) {
        SetButton();
        MyError(store::applyErrorText(r.kind), m_window);
        if (r.kind == store::ApplyError::Other && !r.dbError.isEmpty())
            MyError(r.dbError, m_window);
        return false;
    }
    if (afterApply)
        afterApply();
    return true;
}

void RecordEditor::SetButton()
{
    using S = store::CachedQuery::State;
    const S s = m_master->state();
    const bool browse = s == S::Browse;
    const bool editing = s == S::Edit || s == S::Insert;
    const bool hasRecords = browse && !m_master->isEmpty();
    auto en = [](QWidget *w, bool on) {
        if (w)
            w->setEnabled(on);
    };
    for (const auto &w : browseOnly)
        en(w, browse);
    en(searchButton, browse);
    en(quitButton, browse);
    en(addButton, browse);
    en(importButton, browse);
    en(cancelButton, editing);
    en(saveButton, editing);
    en(modifyButton, hasRecords);
    en(deleteButton, hasRecords);
    en(printButton, hasRecords);
    en(exportButton, hasRecords);
    for (const auto &w : editOnly)
        en(w, editing);
    if (afterSetButton)
        afterSetButton();
}

void RecordEditor::SortQuery(int column)
{
    if (m_master->isEditing())
        return;
    const QString field = m_master->fieldOfColumn(column);
    if (field.isEmpty())
        return;
    m_master->setSql(store::sortQuerySql(m_master->sql(), field));
    const Status s = m_master->open();
    if (!s.ok)
        MyError(s.error, m_window);
}

bool RecordEditor::closeQuery()
{
    // A change the database refused is unsaved work too.
    if (!m_master->isEditing() && !m_master->hasPendingUpdates())
        return true;
    if (!MyConfirmation(QStringLiteral("Data has not been saved do you want to quit?"), m_window))
        return false;
    if (m_master->isEditing())
        m_master->cancel();
    return true;
}
