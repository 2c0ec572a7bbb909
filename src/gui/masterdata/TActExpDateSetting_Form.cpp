#include "masterdata/TActExpDateSetting_Form.h"

#include "common/AppContext.h"
#include "common/WindowRegistry.h"

REGISTER_WINDOW(TActExpDateSetting_Form)

namespace {
DateGroupSettingForm::Config config()
{
    PickerHandOver &h = AppContext::instance().handOver;
    DateGroupSettingForm::Config c;
    c.caption = QStringLiteral("Activation / Expiration Date");
    c.table = QStringLiteral("ActExpDateST");
    c.fromColumn = QStringLiteral("ActivationDate");
    c.toColumn = QStringLiteral("ExpirationDate");
    c.fromTitle = QStringLiteral("Activation Date");
    c.toTitle = QStringLiteral("Expiration Date");
    c.fromCaption = QStringLiteral("Activation Date:");
    c.toCaption = QStringLiteral("Expiration Date:");
    c.orderMessage = QStringLiteral("Activation Date should less than Expiration Date!");
    c.pickerLocksEditing = true;
    c.selectMode = &h.ActExpSelectMode;
    c.selectedGroup = &h.SelectedActExpGroup;
    c.selectedText = &h.SelectedActExpText;
    return c;
}
} // namespace

TActExpDateSetting_Form::TActExpDateSetting_Form(QWidget *parent) : DateGroupSettingForm(config(), parent)
{
    setObjectName(QStringLiteral("TActExpDateSetting_Form"));
}
