#pragma once

#include "store/CachedQuery.h"

#include <QWidget>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;
class QTabWidget;
class RecordEditor;

// Lock Settings: the site's locks (LockManagement) with the users programmed
// into the current lock and the entries of its schedule.
class TLockManagement_Form : public QWidget
{
    Q_OBJECT
public:
    explicit TLockManagement_Form(QWidget *parent = nullptr);
    ~TLockManagement_Form() override;

    RecordEditor *editor() const { return m_editor; }
    store::CachedQuery *master() const { return m_master; }

    // "S&earch" with the boxes as they are (an import reruns it).
    void sbSearchClick();
    void sbPrintClick();
    // Spreadsheet export of the lock list and of the current lock's users,
    // and the import of locks from a workbook.
    void sbExportLockListClick();
    void sbExportKeyListClick();
    void sbImportClick();
    // Opens the schedule picker for the lock being edited.
    void SelectSchedule();
    void DisplayKeys();
    // The report of the current lock as it would be printed.
    struct KeyLockReportData reportData() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildUi();
    void FillLocations();
    void qyMasterAfterScroll();
    void qyMasterNewRecord(store::CachedQuery &q);
    bool qyMasterBeforePost(store::CachedQuery &q);
    bool qyMasterBeforeDelete();
    void RefreshDetail();
    void OpenSchedule(const QVariant &lockStatusId);

    store::CachedQuery *m_master;
    store::CachedQuery *m_keys;
    store::CachedQuery *m_schedule;
    RecordEditor *m_editor;
    int m_lockStatusId = 1;

    QTableView *m_grid = nullptr;
    QLineEdit *m_serial = nullptr;
    QLineEdit *m_name = nullptr;
    QComboBox *m_location = nullptr;
    QLabel *m_statusLabel = nullptr;
    QLineEdit *m_status = nullptr;
    QLabel *m_statusId = nullptr;
    QComboBox *m_type = nullptr;
    QCheckBox *m_byName = nullptr;
    QLineEdit *m_searchName = nullptr;
    QCheckBox *m_byLocation = nullptr;
    QComboBox *m_searchLocation = nullptr;
    QCheckBox *m_byType = nullptr;
    QComboBox *m_searchType = nullptr;
    QTabWidget *m_tabs = nullptr;
    QTableView *m_keyGrid = nullptr;
    QTableView *m_scheduleGrid = nullptr;
    QAbstractButton *m_printKeys = nullptr;
    QAbstractButton *m_exportKeys = nullptr;
};
