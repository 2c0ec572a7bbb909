#include "common/RecordPickerDialog.h"

#include "common/RecordEditor.h"
#include "store/CachedQuery.h"

#include <QCloseEvent>

void RecordPickerDialog::preselect(store::CachedQuery *list, const QString &idField, int id)
{
    if (!list->locate(idField, id) && list->recordCount() > 0)
        list->setCurrentRow(list->recordCount() - 1);
}

void RecordPickerDialog::acceptChoice()
{
    m_closing = true;
    accept();
}

void RecordPickerDialog::quitWithoutChoice()
{
    leaveWithoutChoice();
    reject();
}

bool RecordPickerDialog::mayLeave()
{
    if (m_closing)
        return true;
    if (!editor()->closeQuery())
        return false;
    beforeLeaving();
    leaveWithoutChoice();
    m_closing = true;
    return true;
}

void RecordPickerDialog::reject()
{
    if (mayLeave())
        QDialog::reject();
}

void RecordPickerDialog::closeEvent(QCloseEvent *event)
{
    if (!mayLeave()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
