#include "common/PickerCalls.h"

#include "common/AppContext.h"
#include "common/WindowRegistry.h"

#include <QDialog>

namespace picker {
namespace {

Choice run(const char *className, int &mode, int &selected, QString &text, int current, QWidget *parent)
{
    mode = 1;
    selected = current;
    QWidget *w = WindowRegistry::create(QLatin1String(className), parent);
    auto *dlg = qobject_cast<QDialog *>(w);
    if (!dlg) {
        delete w;
        return {};
    }
    dlg->exec();
    delete dlg;
    return selected != 0 ? Choice{selected, text} : Choice{};
}

} // namespace

Choice timeShiftGroup(int current, QWidget *parent)
{
    PickerHandOver &h = AppContext::instance().handOver;
    return run("TTimeShiftSetting_Form", h.TimeShiftSelectMode, h.SelectedTimeShiftGroup, h.SelectedTimeShiftName,
               current, parent);
}

Choice actExpGroup(int current, QWidget *parent)
{
    PickerHandOver &h = AppContext::instance().handOver;
    return run("TActExpDateSetting_Form", h.ActExpSelectMode, h.SelectedActExpGroup, h.SelectedActExpText, current,
               parent);
}

Choice holidayGroup(int current, QWidget *parent)
{
    PickerHandOver &h = AppContext::instance().handOver;
    return run("TExceptionDateSetting_Form", h.HolidaySelectMode, h.SelectedHolidayGroup, h.SelectedHolidayText,
               current, parent);
}

Choice lockSchedule(int current, QWidget *parent)
{
    PickerHandOver &h = AppContext::instance().handOver;
    return run("TLockModeSetting_Form", h.ScheduleSelectMode, h.SelectedScheduleId, h.SelectedScheduleName, current,
               parent);
}

} // namespace picker
