#pragma once

#include <QDialog>
#include <QString>

namespace store {
class CachedQuery;
}

class RecordEditor;

// A record-editing dialog that is also a picker: Select hands the current
// record over to the caller and closes; Quit, Escape and the close box
// leave without a choice, after asking when an edit would be lost.
class RecordPickerDialog : public QDialog
{
    Q_OBJECT
public:
    using QDialog::QDialog;

    virtual RecordEditor *editor() const = 0;
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

    // Opens on the caller's record: the one whose `idField` is `id`, else the last.
    static void preselect(store::CachedQuery *list, const QString &idField, int id);
    // Closes after the choice was handed over.
    void acceptChoice();
    // The Quit button: clears the hand-over, then leaves.
    void quitWithoutChoice();
    // Clears what a caller would read back.
    virtual void leaveWithoutChoice() = 0;
    // Work to finish before the window goes without a choice.
    virtual void beforeLeaving() {}

private:
    // True when the window may go; clears the hand-over the first time.
    bool mayLeave();

    bool m_closing = false;
};
