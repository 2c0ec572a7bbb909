#include "SystemSetupMission.h"

#include "KeyEncoding.h"
#include "MissionHeader.h"

#include <cmath>

namespace keyformat {

QByteArray systemSetupCode()
{
    // Built from its digits at run time, so the text does not sit in the binary as one string.
    QByteArray code;
    for (int d : {7, 3, 9, 1, 5, 2, 6, 4})
        code.append(static_cast<char>('0' + d));
    return code;
}

int tenthsOfSeconds(double seconds)
{
    return static_cast<int>(std::lround(seconds * 10.0));
}

Result<KeyPages> encodeSystemSetup(const SystemSetupMission &m)
{
    if (m.motorPulseTenths < 1 || m.motorPulseTenths > 255)
        return Result<KeyPages>::failure(QStringLiteral("The motor pulse time must lie between 0.1 and 25.5 seconds."));
    if (m.lockBackDelayTenths < 1 || m.lockBackDelayTenths > 255)
        return Result<KeyPages>::failure(
            QStringLiteral("The lock-back delay time must lie between 0.1 and 25.5 seconds."));
    if (!m.clock.isValid())
        return Result<KeyPages>::failure(QStringLiteral("The setup mission needs the PC's date and time."));

    QByteArray p0 = headerPage(HeaderForm::Write, mission::kNewLockSetup, m.facility);
    setByte(p0, 6, static_cast<uint8_t>(m.motorPulseTenths));
    setByte(p0, 7, static_cast<uint8_t>(m.lockBackDelayTenths));
    p0.replace(11, 8, systemSetupCode());
    setByte(p0, 19, switchByte(m.daylightSaving));
    putClock(p0, 20, m.clock);
    setByte(p0, 27, switchByte(m.blink));
    setByte(p0, 28, switchByte(m.classroom));
    setByte(p0, 29, m.timingRevealed ? 0x01 : 0x00);

    QByteArray p1 = blankPage();
    setByte(p1, 0, 0x00);
    return Result<KeyPages>::success({makePage(0, p0), makePage(1, p1)});
}

} // namespace keyformat
