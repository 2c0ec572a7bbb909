#pragma once

#include "ibutton/OneWireBus.h"
#include "settings/Settings.h"

#include <QString>
#include <memory>

class QWidget;
namespace onewire {
class VirtualReader;
}

// Who is logged in (held by the login dialog in the original design).
struct Session
{
    QString OperatorName;
    int OperatorLevel = 0; // 0 none, 1 Operator, 2 Administrator
    QString Title;         // TitleName.Title of the first row
    int Level = 0;         // TitleName.Level of the first row

    static constexpr int kOperator = 1;
    static constexpr int kAdministrator = 2;
    QString levelText() const
    {
        return OperatorLevel == kAdministrator ? QStringLiteral("Administrator") : QStringLiteral("Operator");
    }
};

// Values that picker windows hand back to their callers. A selected group
// of 0 (or an empty lock serial) means the picker was left without a choice.
struct PickerHandOver
{
    int TimeShiftSelectMode = 0;
    int SelectedTimeShiftGroup = 0;
    QString SelectedTimeShiftName;

    int ActExpSelectMode = 0;
    int SelectedActExpGroup = 0;
    QString SelectedActExpText;

    int HolidaySelectMode = 0;
    int SelectedHolidayGroup = 0;
    QString SelectedHolidayText;

    int ScheduleSelectMode = 0;
    int SelectedScheduleId = 0;
    QString SelectedScheduleName;

    QString SelectedLockSerial;
    int SelectedLockId = 0;
    bool AccessCodeLocksOnly = false;
};

// The state the main window holds for every window: data folder, settings,
// session, the reader's ID, picker hand-over values and the iButton bus.
// Windows read it through AppContext::instance(); tests set it up directly.
class AppContext
{
public:
    static AppContext &instance();

    QString dataDir;
    Settings settings;
    Session session;
    QString ReaderId;
    PickerHandOver handOver;
    bool SkipLogoutRecord = false;

    onewire::OneWireBus *bus() const { return m_bus; }
    // Not owned; the application and the test fixtures own their bus.
    void setBus(onewire::OneWireBus *bus) { m_bus = bus; }

    // The emulated reader with its virtual keys (null when another bus is in use).
    onewire::VirtualReader *virtualReader = nullptr;

    // The main window, parent of dialogs and MDI children (may be null in tests).
    QWidget *mainWindow = nullptr;

    // Back to the state of a fresh start (tests call it between cases).
    void reset();

private:
    onewire::OneWireBus *m_bus = nullptr;
};
