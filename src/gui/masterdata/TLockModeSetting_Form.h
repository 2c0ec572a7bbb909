#pragma once

#include "common/RecordPickerDialog.h"
#include "store/CachedQuery.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableView;
class QTimeEdit;
class RecordEditor;

// Lock Schedule: the timed entries of each lock schedule and the schedule
// names; also the picker through which other windows choose a schedule.
class TLockModeSetting_Form : public RecordPickerDialog
{
    Q_OBJECT
public:
    explicit TLockModeSetting_Form(QWidget *parent = nullptr);
    ~TLockModeSetting_Form() override;

    store::CachedQuery *entries() const { return m_entries; }
    store::CachedQuery *schedules() const { return m_schedules; }
    RecordEditor *editor() const override { return m_editor; }

    void sbSelectClick();
    void sbQuitClick();

protected:
    void leaveWithoutChoice() override;

private:
    void buildUi();
    bool pickerMode() const;
    bool protectedSchedule() const;
    int currentScheduleId() const;
    void OpenEntries();
    void EntryToEditors();
    void SetButton();
    void sbAddClick();
    void SaveName();

    store::CachedQuery *m_schedules;
    store::CachedQuery *m_entries;
    RecordEditor *m_editor;
    QTableView *m_scheduleGrid = nullptr;
    QTableView *m_entryGrid = nullptr;
    QLineEdit *m_name = nullptr;
    QTimeEdit *m_begin = nullptr;
    QComboBox *m_mode = nullptr;
    QList<QCheckBox *> m_days;
};
