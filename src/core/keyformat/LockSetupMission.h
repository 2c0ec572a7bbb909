#pragma once

#include "ScheduleTable.h"
#include "UserRecord.h"
#include "common/Result.h"

#include <QStringList>

namespace keyformat {

// Content flags of page 1.
namespace content {
constexpr uint8_t kLockSetupAll = 0x04; // written together with users and tables
constexpr uint8_t kUsers = 0x08;
constexpr uint8_t kTables = 0x10;
constexpr uint8_t kOneOffCodes = 0x20;
} // namespace content

// A "WRITE" type 0x02 mission: users, schedule tables and/or one-off codes for
// the locks of its lock list.
struct LockSetupMission
{
    FacilityBytes facility{};
    QStringList lockSerials;        // the lock list (pages 352 upward)
    uint8_t flags = 0x1C;           // page 1 byte 0
    bool classroomSchedule = false; // page 1 byte 3: the lock's schedule is 1
    ScheduleTables tables;          // with content::kTables
    QVector<LockUser> users;        // with content::kUsers
    QStringList oneOffCodes;        // with content::kOneOffCodes
};

// Pages in writing order: 0, 1, the table block, the user pages (only when
// there are users), the lock list, the one-off code pages. Refused before any
// page exists when users, locks or codes exceed their regions or a field does
// not fit; the message names the limit.
Result<KeyPages> encodeLockSetup(const LockSetupMission &m);

// The one-off code key of lock maintenance: every lock of the site, the codes
// alone.
Result<KeyPages> encodeOneOffCodeKey(const FacilityBytes &fc, const QStringList &allLocks, const QStringList &codes);

// A lock setup key read back (by a lock, or to describe a key).
struct LockSetupContents
{
    uint8_t flags = 0;
    bool classroomSchedule = false;
    QStringList lockSerials;
    QByteArray scheduleBlock; // with content::kTables
    QVector<LockUser> users;  // with content::kUsers
    QStringList oneOffCodes;  // with content::kOneOffCodes
};
LockSetupContents decodeLockSetup(const QByteArray &image);

// `count` registration numbers from `firstPage`, eight per page (bounded by the key).
QStringList lockListAt(const QByteArray &image, int firstPage, int count);

// Lock list helpers shared by the missions that address locks.
Result<QVector<onewire::RomBytes>> romsFromSerials(const QStringList &serials);

} // namespace keyformat
