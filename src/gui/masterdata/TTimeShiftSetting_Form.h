#pragma once

#include "common/RecordPickerDialog.h"
#include "store/CachedQuery.h"

class QComboBox;
class QLineEdit;
class QTableView;
class QTimeEdit;
class RecordEditor;

// Time Shifts: the names of the time-shift groups and their weekly periods
// (at most seven per group); also the picker of a user's group.
class TTimeShiftSetting_Form : public RecordPickerDialog
{
    Q_OBJECT
public:
    explicit TTimeShiftSetting_Form(QWidget *parent = nullptr);
    ~TTimeShiftSetting_Form() override;

    store::CachedQuery *periods() const { return m_periods; }
    store::CachedQuery *groups() const { return m_groups; }
    RecordEditor *editor() const override { return m_editor; }

    void sbSelectClick();
    void sbQuitClick();

protected:
    void leaveWithoutChoice() override;
    void beforeLeaving() override { SaveGroupName(); }

private:
    void buildUi();
    bool pickerMode() const;
    int currentGroupId() const;
    void OpenPeriods();
    void PeriodToInputs();
    void SetButton();
    void sbAddClick();
    void SaveGroupName();

    store::CachedQuery *m_groups;
    store::CachedQuery *m_periods;
    RecordEditor *m_editor;
    QTableView *m_groupGrid = nullptr;
    QTableView *m_periodGrid = nullptr;
    QLineEdit *m_groupName = nullptr;
    QTimeEdit *m_begin = nullptr;
    QTimeEdit *m_end = nullptr;
    QComboBox *m_day = nullptr;
};
