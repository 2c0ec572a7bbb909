#include "masterdata/TExceptionDateSetting_Form.h"

#include "common/AppContext.h"
#include "common/WindowRegistry.h"

REGISTER_WINDOW(TExceptionDateSetting_Form)

namespace {
DateGroupSettingForm::Config config()
{
    PickerHandOver &h = AppContext::instance().handOver;
    DateGroupSettingForm::Config c;
    c.caption = QStringLiteral("Holiday Schedule");
    c.table = QStringLiteral("ExceptionDateST");
    c.fromColumn = QStringLiteral("ExceptionDateFrom");
    c.toColumn = QStringLiteral("ExceptionDateTo");
    c.fromTitle = QStringLiteral("Holiday Start");
    c.toTitle = QStringLiteral("Holiday End");
    c.fromCaption = QStringLiteral("Exception Date From:");
    c.toCaption = QStringLiteral("Exception Date To:");
    c.orderMessage = QStringLiteral("Exception Date From should less than Exception Date To!");
    c.centredTitles = true;
    // In picker mode an Administrator may still change the dates here.
    c.pickerLocksEditing = false;
    c.selectMode = &h.HolidaySelectMode;
    c.selectedGroup = &h.SelectedHolidayGroup;
    c.selectedText = &h.SelectedHolidayText;
    return c;
}
} // namespace

TExceptionDateSetting_Form::TExceptionDateSetting_Form(QWidget *parent) : DateGroupSettingForm(config(), parent)
{
    setObjectName(QStringLiteral("TExceptionDateSetting_Form"));
}
