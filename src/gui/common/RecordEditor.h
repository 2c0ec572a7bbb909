#pragma once

#include "store/CachedQuery.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <initializer_list>

class QAbstractButton;
class QBoxLayout;
class QComboBox;
class QTableView;
class QWidget;

// The record-editing behaviour every master-data window shares: one master
// query edited through its cache, the tool bar it builds and whose buttons
// follow its state (SetButton), Add/Delete/Modify/Save/Cancel, the apply
// after each post and delete (UpdateMasterData), the close question, the
// grids over its query and over a second list, sorting by column title,
// Enter as Tab and combo boxes that take no keys outside editing. A window
// (an MDI child QWidget or a modal QDialog) owns one and states only its
// own captions, queries, fields and checks.
class RecordEditor : public QObject
{
    Q_OBJECT
public:
    RecordEditor(QWidget *window, store::CachedQuery *master);
    ~RecordEditor() override;

    store::CachedQuery *master() const { return m_master; }

    // The tool bar. Any may be null.
    QPointer<QAbstractButton> addButton, deleteButton, modifyButton, saveButton, cancelButton;
    QPointer<QAbstractButton> printButton, exportButton, importButton, selectButton, quitButton, searchButton;
    // Add, Delete, Modify, Save and Cancel, those the window has.
    QList<QAbstractButton *> editButtons() const;
    // Enabled only in browse state (search controls, secondary print/export).
    QList<QPointer<QWidget>> browseOnly;
    // Enabled only while the record is being edited (a detail input panel).
    QList<QPointer<QWidget>> editOnly;

    // Question asked before a delete ("Do you want delete this record?\n\r\n\r").
    QString deleteQuestion = QStringLiteral("Do you want delete this record?\n\r\n\r");

    // Window hooks.
    std::function<void()> afterSetButton;  // the window's own rules, after the common ones
    std::function<bool()> cascadeOnDelete;  // after the question was answered OK
    std::function<void()> afterApply;       // refresh of dependent lists after a successful apply
    std::function<void()> afterInsert;      // focus after Add
    std::function<void()> afterEdit;        // focus after Modify

    // A tool-bar button: which slot it fills and its action. Caption, hint
    // and object name are the usual ones for the slot unless given. Without
    // an action the editing buttons call this editor's handlers and Quit
    // closes the task window; a shown-only button fills no slot and does nothing.
    enum class Tool { Add, Delete, Modify, Save, Cancel, Print, Export, Import, Select, Quit, Search };
    struct ToolButton
    {
        ToolButton(Tool t, std::function<void()> action = {}) : tool(t), onClick(std::move(action)) {}
        ToolButton(Tool t, const QString &text, std::function<void()> action = {}, const QString &name = {})
            : tool(t), caption(text), onClick(std::move(action)), objectName(name)
        {
        }
        static ToolButton shownOnly(Tool t)
        {
            ToolButton b(t);
            b.inert = true;
            return b;
        }

        Tool tool;
        QString caption;
        std::function<void()> onClick;
        QString objectName;
        bool inert = false;
    };
    // Builds the buttons into `bar` in the given order, fills their slots and
    // connects their actions; the bar ends with a stretch.
    void buildToolBar(QBoxLayout *bar, std::initializer_list<ToolButton> buttons);

    // How a grid looks besides its model.
    enum GridLook { ReadOnly = 1, StretchLastColumn = 2, NoRowHeader = 4 };
    static void setGridLook(QTableView *grid, int look);

    // The grid over the master query: row selection follows the current
    // record; a title click sorts when sortable.
    void bindGrid(QTableView *grid, bool sortable, int look = 0);
    // A read-only list of a second query (the groups beside their entries):
    // the grid follows the query's current row and a row chosen in the grid
    // becomes current, after `beforeMove` when given.
    static void bindListGrid(QTableView *grid, store::CachedQuery *query, std::function<void()> beforeMove = {});
    // Enter moves the focus to the next control of the window, never presses a button.
    static void installEnterAsTab(QWidget *window);
    // Closes a task window, or the MDI sub-window that holds it.
    static void closeTaskWindow(QWidget *window);
    // A captioned tool-bar button with its hint, named for tests.
    static QAbstractButton *makeButton(QWidget *parent, const QString &caption, const QString &hint,
                                       const QString &objectName);
    // Keys typed into the combo box are dropped while no record is edited.
    void dropKeysOutsideEdit(QComboBox *combo);

    // Handlers (named as the tool-bar actions).
    void sbAddClick();
    void sbDeleteClick();
    void sbModifyClick();
    void sbSaveClick();
    void sbCancelClick();
    // Writes the pending changes; reports a refusal and keeps them pending.
    bool UpdateMasterData();
    void SetButton();
    // Reopens the master query sorted by the column (see store::sortQuerySql).
    void SortQuery(int column);
    // True when the window may close; asks when an edit would be lost.
    bool closeQuery();

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Ends a cell edit still open in the grid (committing it when `commit`).
    void closeGridEditor(bool commit);

    QWidget *m_window;
    store::CachedQuery *m_master;
    QPointer<QTableView> m_grid;
    QList<QPointer<QComboBox>> m_combos;
};
