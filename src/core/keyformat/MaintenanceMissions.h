#pragma once

#include "KeyPage.h"
#include "common/Result.h"

#include <QDateTime>
#include <QStringList>

#include <optional>

namespace keyformat {

// "READ" type 0xE0, Set Parameter Key: only what is given is changed.
struct SetParameterMission
{
    FacilityBytes facility{};
    std::optional<int> motorPulseTenths; // when the motor pulse field is shown
    int lockBackDelayTenths = 50;        // always sent
    std::optional<bool> daylightSaving;  // "Change Daylight Saving"
    std::optional<QDateTime> clock;      // "PC Time:"
    std::optional<bool> blink;           // "Change Blink"
    QString newLockSerial;               // "Change Lock ID"; empty: unchanged
};
Result<KeyPages> encodeSetParameter(const SetParameterMission &m);
KeyPages encodeTimeFunctionActive(const FacilityBytes &fc);
KeyPages encodeGetInformation(const FacilityBytes &fc);
// "WRITE" type 0x05: the facility code, its complement and a CRC-8 over bytes 5-11.
KeyPages encodeSystemCode(const FacilityBytes &fc);

// "WRITE" type 0x01: hold the listed locks' doors open (0x00) or closed (0x5A).
struct LockoutMission
{
    FacilityBytes facility{};
    QStringList lockSerials;
    bool closeDoor = true;
};
Result<KeyPages> encodeLockout(const LockoutMission &m);

// "READ" type 0xFC: the one-off key for the listed locks.
constexpr int kMaxOneOffKeyLocks = 255; // the count is one byte
Result<KeyPages> encodeOneOffKey(const FacilityBytes &fc, const QStringList &lockSerials);

} // namespace keyformat
