#include "UserRecord.h"

#include "KeyEncoding.h"

namespace keyformat {

namespace {

QString who(const LockUser &u)
{
    return u.serialId.isEmpty() ? QStringLiteral("code user") : u.serialId;
}

} // namespace

Result<QByteArray> encodeUserRecord(const LockUser &u)
{
    QByteArray r(kUserRecordSize, char(0xFF));
    if (u.hasCode() && !putDigitCode(r, 0, u.keyCode))
        return Result<QByteArray>::failure(
            QStringLiteral("The key code of user %1 must be 1 to %2 digits.").arg(who(u)).arg(kMaxDigitCode));
    if (u.hasKey()) {
        onewire::RomBytes rom{};
        if (!onewire::busFromSerialText(u.serialId, rom))
            return Result<QByteArray>::failure(
                QStringLiteral("The serial ID \"%1\" is not a registration number.").arg(u.serialId));
        putRom(r, 8, rom);
    }
    if (u.timeShiftId < 1 || u.timeShiftId > 16)
        return Result<QByteArray>::failure(
            QStringLiteral("User %1: time shift group %2 is outside 1 to 16.").arg(who(u)).arg(u.timeShiftId));
    // The nibble 0xF means "No Limit" to the lock, so group 16 cannot be carried:
    // writing it would lift the user's date limits instead of applying them.
    if (u.actExpDateId < 1 || u.actExpDateId > 15)
        return Result<QByteArray>::failure(QStringLiteral("User %1: activation/expiration group %2 cannot be written "
                                                          "to a lock; groups 1 to 15 can.")
                                               .arg(who(u))
                                               .arg(u.actExpDateId));
    setByte(r, 16, u.timeShiftId == 1 ? 0xFF : static_cast<uint8_t>(u.timeShiftId - 1));
    const uint8_t hi = u.holiday ? 0x00 : 0xF0;
    const uint8_t lo = u.actExpDateId == 1 ? 0x0F : static_cast<uint8_t>(u.actExpDateId - 1);
    setByte(r, 17, hi | lo);
    return Result<QByteArray>::success(r);
}

Result<LockUser> decodeUserRecord(const QByteArray &r)
{
    const bool hasCode = byteAt(r, 0) != 0xFF;
    const bool hasKey = !isAllFF(r, 8, 8);
    if (!hasCode && !hasKey)
        return Result<LockUser>::failure(QStringLiteral("empty record"));
    LockUser u;
    u.userType = hasCode && hasKey ? QStringLiteral("Complex")
                                   : (hasKey ? QStringLiteral("iButton") : QStringLiteral("KeyCode"));
    if (hasCode)
        u.keyCode = nibbleDigits(r, 1, 5, qMin<int>(byteAt(r, 0), kMaxDigitCode));
    if (hasKey)
        u.serialId = serialTextAt(r, 8);
    const uint8_t ts = byteAt(r, 16);
    u.timeShiftId = ts == 0xFF ? 1 : ts + 1;
    const uint8_t n = byteAt(r, 17);
    u.actExpDateId = (n & 0x0F) == 0x0F ? 1 : (n & 0x0F) + 1;
    u.holiday = (n & 0xF0) != 0xF0;
    return Result<LockUser>::success(u);
}

QByteArray encodeInfoUser(const LockUser &u)
{
    QByteArray e(kInfoUserSize, char(0xFF));
    if (u.hasCode() && isDigitCode(u.keyCode)) {
        QByteArray tmp(6, char(0xFF));
        putDigitCode(tmp, 0, u.keyCode);
        e.replace(0, 6, tmp);
        setByte(e, 6, 0x00);
    }
    onewire::RomBytes rom{};
    if (u.hasKey() && onewire::busFromSerialText(u.serialId, rom))
        for (int i = 0; i < 7; ++i)
            setByte(e, 8 + i, rom[static_cast<size_t>(i)]);
    setByte(e, 16, u.timeShiftId <= 1 ? 0xFF : static_cast<uint8_t>(u.timeShiftId - 1));
    const uint8_t hi = u.holiday ? 0x00 : 0xF0;
    const uint8_t lo = u.actExpDateId <= 1 ? 0x0F : static_cast<uint8_t>((u.actExpDateId - 1) & 0x0F);
    setByte(e, 17, hi | lo);
    return e;
}

InfoUserEntry decodeInfoUser(const QByteArray &e)
{
    InfoUserEntry u;
    u.hasCode = byteAt(e, 0) != 0xFF;
    if (u.hasCode)
        u.code = nibbleDigits(e, 1, 6, byteAt(e, 0));
    u.hasKey = byteAt(e, 8) != 0xFF;
    if (u.hasKey) {
        for (int i = 14; i >= 8; --i)
            u.keyDigits += QStringLiteral("%1").arg(byteAt(e, i), 2, 16, QLatin1Char('0')).toUpper();
    }
    const uint8_t ts = byteAt(e, 16);
    u.timeShiftId = ts == 0xFF ? 1 : ts + 1;
    const uint8_t n = byteAt(e, 17);
    u.actExpDateId = (n & 0x0F) == 0x0F ? 1 : (n & 0x0F) + 1;
    u.holidaysApply = (n & 0xF0) != 0xF0;
    return u;
}

} // namespace keyformat
