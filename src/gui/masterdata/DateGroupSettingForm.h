#pragma once

#include "common/RecordPickerDialog.h"
#include "store/CachedQuery.h"

class QDateEdit;
class QLabel;
class QLineEdit;
class QTableView;
class QTimeEdit;
class QWidget;
class RecordEditor;

// The fixed groups of a date range (activation/expiration, holidays): only
// the two moments of groups other than 1 are changed; also a picker.
// Activation / Expiration Date and Holiday Schedule are its two forms.
class DateGroupSettingForm : public RecordPickerDialog
{
    Q_OBJECT
public:
    struct Config
    {
        QString caption;
        QString table;
        QString fromColumn, toColumn;
        QString fromTitle, toTitle;       // grid titles
        QString fromCaption, toCaption;   // input captions
        QString orderMessage;             // from later than to
        bool centredTitles = false;
        bool pickerLocksEditing = true;   // picker mode disables Modify/Save/Cancel
        // Hand-over fields on the main window.
        int *selectMode;
        int *selectedGroup;
        QString *selectedText;
    };

    DateGroupSettingForm(const Config &config, QWidget *parent);
    ~DateGroupSettingForm() override;

    store::CachedQuery *master() const { return m_master; }
    RecordEditor *editor() const override { return m_editor; }

    void sbSelectClick();
    void sbQuitClick();
    // "From To" text of the current group as handed to a caller.
    QString selectionText() const;

protected:
    void leaveWithoutChoice() override;

private:
    void buildUi();
    bool pickerMode() const { return *m_config.selectMode == 1; }
    void RowToInputs();
    void SetButton();

    Config m_config;
    store::CachedQuery *m_master;
    RecordEditor *m_editor;
    QTableView *m_grid = nullptr;
    QLineEdit *m_groupId = nullptr;
    QDateEdit *m_fromDate = nullptr;
    QTimeEdit *m_fromTime = nullptr;
    QDateEdit *m_toDate = nullptr;
    QTimeEdit *m_toTime = nullptr;
    QList<QWidget *> m_pickers;
};
