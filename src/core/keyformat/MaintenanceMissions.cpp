#include "MaintenanceMissions.h"

#include "KeyEncoding.h"
#include "LockSetupMission.h"
#include "MissionHeader.h"

namespace keyformat {

Result<KeyPages> encodeSetParameter(const SetParameterMission &m)
{
    using R = Result<KeyPages>;
    QByteArray p = headerPage(HeaderForm::Read, mission::kParameter, m.facility);
    uint8_t mask = 0x02;
    setByte(p, 9, 0x00);
    if (m.motorPulseTenths) {
        if (*m.motorPulseTenths < 1 || *m.motorPulseTenths > 255)
            return R::failure(QStringLiteral("The motor pulse time must lie between 0.1 and 25.5 seconds."));
        mask |= 0x01;
        setByte(p, 10, static_cast<uint8_t>(*m.motorPulseTenths));
    }
    if (m.lockBackDelayTenths < 1 || m.lockBackDelayTenths > 255)
        return R::failure(QStringLiteral("The lock-back delay time must lie between 0.1 and 25.5 seconds."));
    setByte(p, 11, static_cast<uint8_t>(m.lockBackDelayTenths));
    setByte(p, 12, kOff);
    if (m.daylightSaving) {
        mask |= 0x04;
        setByte(p, 12, switchByte(*m.daylightSaving));
    }
    if (m.clock) {
        if (!m.clock->isValid())
            return R::failure(QStringLiteral("The date and time to set are not valid."));
        mask |= 0x08;
        putClock(p, 13, *m.clock);
    }
    setByte(p, 20, kOff);
    if (m.blink) {
        mask |= 0x10;
        setByte(p, 20, switchByte(*m.blink));
    }
    if (!m.newLockSerial.isEmpty()) {
        onewire::RomBytes rom{};
        if (!onewire::isValidSerialText(m.newLockSerial) || !onewire::busFromSerialText(m.newLockSerial, rom))
            return R::failure(
                QStringLiteral("The new lock ID \"%1\" is not a valid registration number.").arg(m.newLockSerial));
        setByte(p, 9, 0x90);
        setByte(p, 41, kOn);
        putRom(p, 45, rom);
    }
    setByte(p, 8, mask);
    return R::success({makePage(0, p)});
}

KeyPages encodeTimeFunctionActive(const FacilityBytes &fc)
{
    QByteArray p = headerPage(HeaderForm::Read, mission::kParameter, fc);
    setByte(p, 8, 0x00);
    setByte(p, 9, 0x04);
    setByte(p, 38, kOn);
    return {makePage(0, p)};
}

KeyPages encodeGetInformation(const FacilityBytes &fc)
{
    QByteArray p = headerPage(HeaderForm::Read, mission::kGetInformation, fc);
    setByte(p, 8, 0x00);
    setByte(p, 9, 0x00);
    return {makePage(0, p)};
}

KeyPages encodeSystemCode(const FacilityBytes &fc)
{
    QByteArray p = headerPage(HeaderForm::Write, mission::kSystemCode, fc);
    for (int i = 0; i < 3; ++i)
        setByte(p, 9 + i, static_cast<uint8_t>(~fc[static_cast<size_t>(i)]));
    setByte(p, 12, onewire::crc8(reinterpret_cast<const uint8_t *>(p.constData()) + 5, 7));
    return {makePage(0, p)};
}

Result<KeyPages> encodeLockout(const LockoutMission &m)
{
    using R = Result<KeyPages>;
    if (m.lockSerials.size() > kMaxLocks)
        return R::failure(QStringLiteral("A key holds at most %1 locks; this mission has %2.")
                              .arg(kMaxLocks)
                              .arg(m.lockSerials.size()));
    const auto roms = romsFromSerials(m.lockSerials);
    if (!roms)
        return R::failure(roms.error);
    QByteArray p0 = headerPage(HeaderForm::Write, mission::kLockout, m.facility);
    putU16(p0, 9, m.lockSerials.size());
    setByte(p0, 11, m.closeDoor ? kOn : kOff);
    KeyPages pages{makePage(0, p0)};
    pages += lockListPages(kLockListFirstPage, kLockListLastPage, roms.value);
    return R::success(pages);
}

Result<KeyPages> encodeOneOffKey(const FacilityBytes &fc, const QStringList &lockSerials)
{
    using R = Result<KeyPages>;
    if (lockSerials.size() > kMaxOneOffKeyLocks)
        return R::failure(QStringLiteral("A one-off key holds at most %1 locks; this mission has %2.")
                              .arg(kMaxOneOffKeyLocks)
                              .arg(lockSerials.size()));
    const auto roms = romsFromSerials(lockSerials);
    if (!roms)
        return R::failure(roms.error);
    QByteArray p0 = headerPage(HeaderForm::Read, mission::kOneOffKey, fc);
    setByte(p0, 8, static_cast<uint8_t>(lockSerials.size()));
    setByte(p0, 9, onewire::crc8(reinterpret_cast<const uint8_t *>(p0.constData()), 9));
    for (int i = 24; i <= 30; ++i)
        setByte(p0, i, 0x00);
    for (int k = 0; k < lockSerials.size(); ++k)
        setByte(p0, 24 + k / 8, byteAt(p0, 24 + k / 8) | static_cast<uint8_t>(1 << (k % 8)));
    KeyPages pages{makePage(0, p0)};
    pages += lockListPages(1, kLastPage, roms.value);
    return R::success(pages);
}

ParameterOrder decodeParameterKey(const QByteArray &p)
{
    ParameterOrder o;
    o.mask = byteAt(p, 8);
    o.timeFunctionActive = o.mask == 0x00 && byteAt(p, 9) == 0x04 && byteAt(p, 38) == kOn;
    o.values.facility = facilityAt(p, 5);
    if (o.mask & 0x01)
        o.values.motorPulseTenths = byteAt(p, 10);
    o.values.lockBackDelayTenths = byteAt(p, 11);
    if (o.mask & 0x04)
        o.values.daylightSaving = byteAt(p, 12) == kOn;
    if (o.mask & 0x08) {
        const QDateTime dt = stampToDateTime(clockAt(p, 13));
        if (dt.isValid())
            o.values.clock = dt;
    }
    if (o.mask & 0x10)
        o.values.blink = byteAt(p, 20) == kOn;
    if ((byteAt(p, 9) & 0x90) == 0x90 && byteAt(p, 41) == kOn)
        o.values.newLockSerial = serialTextAt(p, 45);
    return o;
}

bool systemCodeIsIntact(const QByteArray &p)
{
    if (p.size() < 13)
        return false;
    for (int i = 0; i < 3; ++i)
        if (static_cast<uint8_t>(~byteAt(p, 6 + i)) != byteAt(p, 9 + i))
            return false;
    return onewire::crc8(reinterpret_cast<const uint8_t *>(p.constData()) + 5, 8) == 0;
}

LockoutOrder decodeLockout(const QByteArray &image)
{
    LockoutOrder o;
    const QByteArray p0 = pageOf(image, 0);
    o.closeDoor = byteAt(p0, 11) == kOn;
    o.lockSerials = lockListAt(image, kLockListFirstPage, qMin(getU16(p0, 9), kMaxLocks));
    return o;
}

OneOffOrder decodeOneOffKey(const QByteArray &image)
{
    OneOffOrder o;
    const QByteArray p0 = pageOf(image, 0);
    o.crcOk = onewire::crc8(reinterpret_cast<const uint8_t *>(p0.constData()), 10) == 0;
    const int n = byteAt(p0, 8);
    o.lockSerials = lockListAt(image, 1, n);
    for (int k = 0; k < n; ++k)
        o.bitmap.append((byteAt(p0, 24 + k / 8) >> (k % 8)) & 1);
    return o;
}

} // namespace keyformat
