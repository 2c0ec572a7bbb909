#pragma once

#include "common/Result.h"
#include "ibutton/Checksums.h"

#include <QByteArray>
#include <QString>

namespace keyformat {

// A lock user as a mission carries it (a row of TempKey/KeyManagement).
struct LockUser
{
    QString userType;     // "iButton", "KeyCode", anything else: both ("Complex")
    QString keyCode;      // digits, for "KeyCode" and "Complex"
    QString serialId;     // registration number text, for "iButton" and "Complex"
    int timeShiftId = 1;  // TimeGroup 1..16; 1 writes 0xFF
    int actExpDateId = 1; // ActExpDateST 1..15; 1 writes 0xF ("No Limit")
    bool holiday = false; // ExpDate: holidays apply

    bool hasKey() const { return userType != QLatin1String("KeyCode"); }
    bool hasCode() const { return userType != QLatin1String("iButton"); }
};

constexpr int kUserRecordSize = 20;

// The 20-byte record of a lock setup mission and of a multiple mission's user
// blocks. Refused, with a message naming the user, when a field does not fit.
Result<QByteArray> encodeUserRecord(const LockUser &user);
// Back from 20 bytes; ok is false for an empty (0xFF) record.
Result<LockUser> decodeUserRecord(const QByteArray &record);

// The 32-byte user entry a lock writes on an information key.
struct InfoUserEntry
{
    bool hasCode = false;
    QString code; // the first `count` digits of bytes 1-6
    bool hasKey = false;
    QString keyDigits;          // 14 hex digits of ROM bytes 6 down to 0 (no CRC byte)
    int timeShiftId = 1;        // byte 16 + 1, 1 for 0xFF
    int actExpDateId = 1;       // low nibble of byte 17 + 1, 1 for 0xF
    bool holidaysApply = false; // high nibble other than 0xF
};
constexpr int kInfoUserSize = 32;
QByteArray encodeInfoUser(const LockUser &user);
InfoUserEntry decodeInfoUser(const QByteArray &entry);

} // namespace keyformat
