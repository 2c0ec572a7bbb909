#pragma once

#include "ScheduleTable.h"
#include "UserRecord.h"
#include "common/Result.h"

#include <QDateTime>
#include <QVector>

namespace keyformat {

constexpr int kBlockPages = 20;
constexpr int kUsersPerBlock = 57;
constexpr int kMaxMultiLockUsers = 2 * kUsersPerBlock; // 114
constexpr int kMultiLockTabs = 8;
constexpr int kMaxDeleteCodes = 76;

// Block kinds (header byte 8).
namespace block {
constexpr uint8_t kSchedule = 0x10;
constexpr uint8_t kUsers = 0x08;
constexpr uint8_t kContinuation = 0x00;
constexpr uint8_t kDeleteCodes = 0x40;
constexpr uint8_t kDeleteCodesClear = 0x60;
} // namespace block

// One lock of a multi-lock programming key, on tab 0..7.
struct MultiLockTarget
{
    int tab = 0;
    QString lockSerial;
    ScheduleTables tables;   // for the lock's own schedule
    QVector<LockUser> users; // at most 114
};

// "WRITE" type 0x03 with three blocks per lock at pages 60*tab+1 to 60*tab+60.
// Pages in writing order, page 0 last. Refused before any page when a tab is
// out of range or used twice, a lock has more than 114 users or a user does not fit.
Result<KeyPages> encodeMultiLockMission(const FacilityBytes &fc, const QVector<MultiLockTarget> &locks);

// A remote code the lock is to forget.
struct DeleteCodeEntry
{
    QDateTime startDate;
    QDateTime endDate;
    bool once = false; // CodeType "Once"
    int version = 0;   // LostTimes - 1, 0..3
};
// The delete-code key: block 0 only, page 0 last. Refused above 76 codes.
Result<KeyPages> encodeDeleteCodeMission(const FacilityBytes &fc, const QString &lockSerial,
                                         const QVector<DeleteCodeEntry> &codes, bool clearMemory);

// The blocks of a multiple mission as a lock (or the decoder) reads them.
struct MissionBlock
{
    int index = 0;
    int headerPage = 0;
    QString lockSerial;
    uint8_t kind = 0xFF;
    QString kindText;
    int userCount = 0; // user and continuation blocks
    QVector<LockUser> users;
    QByteArray scheduleBlock; // schedule blocks: the 1024 bytes
    bool clearMemory = false; // code-deletion blocks
    int codeCount = 0;
    QVector<DeleteCodeEntry> codes;
};
struct MultipleMissionContents
{
    int blockCount = 0;           // page 0 byte 6
    QVector<MissionBlock> blocks; // every block position whose header names a lock
};
MultipleMissionContents decodeMultipleMission(const QByteArray &image);

} // namespace keyformat
