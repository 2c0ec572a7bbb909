#pragma once

#include "KeyPage.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVector>

#include <array>

namespace keyformat {

// One row of TimeShift: a period of time-shift group `groupId` (1..16).
struct TimeShiftRow
{
    int groupId = 1;
    QTime beginTime;
    QTime endTime;
    QString dayOfWeek; // "Sunday" .. "Saturday"
};

// One row of LockStatusST for the lock's schedule.
struct ScheduleRow
{
    QTime beginTime;
    QString lockStatus;         // "Storehouse Mode", "Classroom Mode", "Lock Mode", "Unlock Mode"
    std::array<bool, 7> days{}; // Sunday .. Saturday
};

// One row of ActExpDateST or ExceptionDateST, in GroupID order.
struct DateGroupRow
{
    int groupId = 1;
    QDateTime from; // ActivationDate / ExceptionDateFrom; null: no date
    QDateTime to;   // ExpirationDate / ExceptionDateTo
};

// What the schedule table block is built from.
struct ScheduleTables
{
    QVector<TimeShiftRow> timeShifts;
    QVector<ScheduleRow> schedule;     // the lock schedule's entries, any order
    QVector<DateGroupRow> actExpDates; // every row of ActExpDateST, group 1 included
    QVector<DateGroupRow> holidays;    // every row of ExceptionDateST, group 1 included
};

// Offsets inside the 1024-byte block.
constexpr int kTimeShiftOffset = 0;
constexpr int kModeScheduleOffset = 560;
constexpr int kLockScheduleOffset = 624;
constexpr int kActExpOffset = 688;
constexpr int kHolidayOffset = 848;
constexpr int kTimeShiftGroups = 16;
constexpr int kPeriodsPerGroup = 7;
constexpr int kScheduleEntries = 16;
constexpr int kDateSlots = 16;

uint8_t dayCodeOf(const QString &dayOfWeek); // 0x01 Sunday .. 0x20 Friday, 0x40 otherwise
QString dayNameOf(uint8_t dayCode);          // empty for any other code
uint8_t dayMaskOf(const std::array<bool, 7> &days);

// The 1024-byte block: 0xFF, then every table at its offset. Rows beyond a
// table's limit are left out, as the lock has no room for them.
QByteArray encodeScheduleBlock(const ScheduleTables &tables);
KeyPages scheduleBlockPages(const QByteArray &block, int firstPage);

// A lock's copy of the block, read back into rows (pages 285-300 of an
// information key; also how an emulated lock reads a block it is given).
struct DecodedScheduleEntry
{
    QTime beginTime;
    uint8_t dayMask = 0;
    QString lockStatus;
};
struct DecodedScheduleBlock
{
    QVector<TimeShiftRow> timeShifts;       // used entries, DayOfWeek empty for other day codes
    QVector<uint8_t> timeShiftDayCodes;     // parallel to timeShifts
    QVector<DecodedScheduleEntry> schedule; // Storehouse/Classroom entries, then Lock/Unlock
    QVector<DateGroupRow> actExpDates;      // group 1 without dates, then slots 1-15 that pass the test
    QVector<DateGroupRow> holidays;         // slots 0-14 that pass (groups 2-16), then group 1
    QStringList problems;                   // entries that pass the range test but are no real time
};
DecodedScheduleBlock decodeScheduleBlock(const QByteArray &block);

} // namespace keyformat
