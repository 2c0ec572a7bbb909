#pragma once

#include "store/CachedQuery.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableView;
class RecordEditor;

// User Settings: the people who open the site's locks (KeyManagement), edited
// in the grid, with the locks each one is programmed into.
class TKeyManagement_Form : public QWidget
{
    Q_OBJECT
public:
    explicit TKeyManagement_Form(QWidget *parent = nullptr);
    ~TKeyManagement_Form() override;

    RecordEditor *editor() const { return m_editor; }
    store::CachedQuery *master() const { return m_master; }
    store::CachedQuery *locks() const { return m_locks; }
    QTableView *grid() const { return m_grid; }

    void sbAddClick();
    void sbModifyClick();
    // "S&earch" with the boxes as they are (an import reruns it).
    void sbSearchClick();
    void DisplayLocks();
    // A click on a cell of the user grid: reads the key on the reader into
    // "*Serial ID" when that column is selected and the user has an iButton.
    void DBGrid1CellClick(const QModelIndex &index);

    // Reads the registration number of the key on the PC reader (empty when
    // there is none). Empty: the program's reader; tests may install another.
    static std::function<QString()> &readButtonOnReader();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildUi();
    void FillDepartments();
    void qyMasterNewRecord(store::CachedQuery &q);
    bool qyMasterBeforePost(store::CachedQuery &q);
    bool qyMasterBeforeDelete();

    store::CachedQuery *m_master;
    store::CachedQuery *m_locks;
    RecordEditor *m_editor;
    QTableView *m_grid = nullptr;
    QTableView *m_lockGrid = nullptr;
    QCheckBox *m_byFirst = nullptr;
    QLineEdit *m_first = nullptr;
    QCheckBox *m_byLast = nullptr;
    QLineEdit *m_last = nullptr;
    QCheckBox *m_byDepartment = nullptr;
    QComboBox *m_department = nullptr;
    QCheckBox *m_byStatus = nullptr;
    QComboBox *m_status = nullptr;
};
