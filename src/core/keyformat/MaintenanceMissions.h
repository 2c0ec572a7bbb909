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

// Read back, the way a lock takes them.
struct ParameterOrder
{
    bool timeFunctionActive = false; // byte 8 = 0x00, byte 9 = 0x04, byte 38 = 0x5A
    uint8_t mask = 0;
    SetParameterMission values;
};
ParameterOrder decodeParameterKey(const QByteArray &page0);
bool systemCodeIsIntact(const QByteArray &page0);

struct LockoutOrder
{
    bool closeDoor = false;
    QStringList lockSerials;
};
LockoutOrder decodeLockout(const QByteArray &image);

struct OneOffOrder
{
    bool crcOk = false;
    QStringList lockSerials;
    QVector<bool> bitmap; // one bit per listed lock
};
OneOffOrder decodeOneOffKey(const QByteArray &image);

} // namespace keyformat
