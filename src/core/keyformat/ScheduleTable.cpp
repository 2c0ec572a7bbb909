#include "ScheduleTable.h"

#include "KeyEncoding.h"

#include <algorithm>

namespace keyformat {

using onewire::fromBcd;
using onewire::toBcd;

uint8_t dayCodeOf(const QString &d)
{
    static const char *names[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday"};
    for (int i = 0; i < 6; ++i)
        if (d == QLatin1String(names[i]))
            return static_cast<uint8_t>(1 << i);
    return 0x40;
}

QString dayNameOf(uint8_t code)
{
    static const char *names[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    for (int i = 0; i < 7; ++i)
        if (code == (1 << i))
            return QLatin1String(names[i]);
    return {};
}

uint8_t dayMaskOf(const std::array<bool, 7> &days)
{
    uint8_t m = 0;
    for (int i = 0; i < 7; ++i)
        if (days[static_cast<size_t>(i)])
            m |= static_cast<uint8_t>(1 << i);
    return m;
}

namespace {

void putDateSlot(QByteArray &block, int offset, const DateGroupRow &row)
{
    if (row.from.isValid() && row.to.isValid()) {
        putYmdhm(block, offset, row.from);
        putYmdhm(block, offset + 5, row.to);
    }
}

void putScheduleTable(QByteArray &block, int offset, QVector<ScheduleRow> rows, const QString &modeA, uint8_t codeA,
                      const QString &modeB, uint8_t codeB)
{
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [&](const ScheduleRow &r) {
                                  return !r.beginTime.isValid() || (r.lockStatus != modeA && r.lockStatus != modeB);
                              }),
               rows.end());
    std::stable_sort(rows.begin(), rows.end(),
                     [](const ScheduleRow &a, const ScheduleRow &b) { return a.beginTime < b.beginTime; });
    for (int i = 0; i < rows.size() && i < kScheduleEntries; ++i) {
        const ScheduleRow &r = rows.at(i);
        const int at = offset + 4 * i;
        setByte(block, at, toBcd(r.beginTime.hour()));
        setByte(block, at + 1, toBcd(r.beginTime.minute()));
        setByte(block, at + 2, dayMaskOf(r.days));
        setByte(block, at + 3, r.lockStatus == modeA ? codeA : codeB);
    }
}

QTime bcdTime(uint8_t h, uint8_t m)
{
    const int hh = fromBcd(h), mm = fromBcd(m);
    if (hh < 0 || mm < 0)
        return {};
    return QTime(hh, mm, 0);
}

// Both dates of a slot: year below 0x99, month 0x01-0x12, day 0x01-0x31,
// hour up to 0x24, minute up to 0x60.
bool slotPasses(const BcdStamp &s)
{
    return s.year < 0x99 && s.month >= 0x01 && s.month <= 0x12 && s.day >= 0x01 && s.day <= 0x31 && s.hour <= 0x24 &&
           s.minute <= 0x60;
}

} // namespace

QByteArray encodeScheduleBlock(const ScheduleTables &t)
{
    QByteArray block(kScheduleBlockSize, char(0xFF));

    for (int g = 0; g < kTimeShiftGroups; ++g) {
        QVector<TimeShiftRow> rows;
        for (const TimeShiftRow &r : t.timeShifts)
            if (r.groupId == g + 1 && r.beginTime.isValid() && r.endTime.isValid())
                rows.append(r); // a row without both times cannot be written
        std::stable_sort(rows.begin(), rows.end(),
                         [](const TimeShiftRow &a, const TimeShiftRow &b) { return a.beginTime < b.beginTime; });
        for (int e = 0; e < rows.size() && e < kPeriodsPerGroup; ++e) {
            const TimeShiftRow &r = rows.at(e);
            const int at = kTimeShiftOffset + 35 * g + 5 * e;
            setByte(block, at, toBcd(r.beginTime.hour()));
            setByte(block, at + 1, toBcd(r.beginTime.minute()));
            setByte(block, at + 2, toBcd(r.endTime.hour()));
            setByte(block, at + 3, toBcd(r.endTime.minute()));
            setByte(block, at + 4, dayCodeOf(r.dayOfWeek));
        }
    }

    putScheduleTable(block, kModeScheduleOffset, t.schedule, QStringLiteral("Storehouse Mode"), 0x00,
                     QStringLiteral("Classroom Mode"), 0x01);
    putScheduleTable(block, kLockScheduleOffset, t.schedule, QStringLiteral("Lock Mode"), 0x02,
                     QStringLiteral("Unlock Mode"), 0x01);

    // Activation/expiration: row r goes to slot r; the first row (group 1,
    // "No Limit") is left out, so slot 0 stays 0xFF.
    for (int r = 1; r < t.actExpDates.size() && r < kDateSlots; ++r)
        putDateSlot(block, kActExpOffset + 10 * r, t.actExpDates.at(r));
    // Holidays: the first row left out, the others fill slots 0, 1, ...
    for (int r = 1; r < t.holidays.size() && r - 1 < kDateSlots; ++r)
        putDateSlot(block, kHolidayOffset + 10 * (r - 1), t.holidays.at(r));
    return block;
}

KeyPages scheduleBlockPages(const QByteArray &block, int firstPage)
{
    KeyPages pages;
    for (int i = 0; i < kScheduleBlockSize / kPageSize; ++i)
        pages.append(makePage(firstPage + i, block.mid(i * kPageSize, kPageSize)));
    return pages;
}

DecodedScheduleBlock decodeScheduleBlock(const QByteArray &block)
{
    DecodedScheduleBlock d;
    auto note = [&](const QString &what, int offset) {
        d.problems << QStringLiteral("%1 at offset %2 is not a real time; not loaded").arg(what).arg(offset);
    };

    for (int g = 0; g < kTimeShiftGroups; ++g) {
        for (int e = 0; e < kPeriodsPerGroup; ++e) {
            const int at = kTimeShiftOffset + 35 * g + 5 * e;
            if (byteAt(block, at) == 0xFF)
                continue;
            const QTime b = bcdTime(byteAt(block, at), byteAt(block, at + 1));
            const QTime en = bcdTime(byteAt(block, at + 2), byteAt(block, at + 3));
            if (!b.isValid() || !en.isValid()) {
                note(QStringLiteral("time shift"), at);
                continue;
            }
            const uint8_t code = byteAt(block, at + 4);
            d.timeShifts.append({g + 1, b, en, dayNameOf(code)});
            d.timeShiftDayCodes.append(code);
        }
    }

    for (int i = 0; i < kScheduleEntries; ++i) {
        const int at = kModeScheduleOffset + 4 * i;
        if (byteAt(block, at) == 0xFF)
            continue;
        const QTime b = bcdTime(byteAt(block, at), byteAt(block, at + 1));
        if (!b.isValid()) {
            note(QStringLiteral("schedule entry"), at);
            continue;
        }
        d.schedule.append(
            {b, byteAt(block, at + 2),
             byteAt(block, at + 3) == 0 ? QStringLiteral("Storehouse Mode") : QStringLiteral("Classroom Mode")});
    }
    for (int i = 0; i < kScheduleEntries; ++i) {
        const int at = kLockScheduleOffset + 4 * i;
        const uint8_t mode = byteAt(block, at + 3);
        if (byteAt(block, at) == 0xFF || (mode != 1 && mode != 2))
            continue;
        const QTime b = bcdTime(byteAt(block, at), byteAt(block, at + 1));
        if (!b.isValid()) {
            note(QStringLiteral("schedule entry"), at);
            continue;
        }
        d.schedule.append(
            {b, byteAt(block, at + 2), mode == 2 ? QStringLiteral("Lock Mode") : QStringLiteral("Unlock Mode")});
    }

    auto slot = [&](int offset, int groupId, QVector<DateGroupRow> &out) {
        const BcdStamp a = ymdhmAt(block, offset);
        const BcdStamp b = ymdhmAt(block, offset + 5);
        if (!slotPasses(a) || !slotPasses(b))
            return;
        const QDateTime from = stampToDateTime(a), to = stampToDateTime(b);
        if (!from.isValid() || !to.isValid()) {
            note(QStringLiteral("date slot"), offset);
            return;
        }
        out.append({groupId, from, to});
    };
    d.actExpDates.append({1, {}, {}});
    for (int s = 1; s < kDateSlots; ++s)
        slot(kActExpOffset + 10 * s, s + 1, d.actExpDates);
    for (int s = 0; s < kDateSlots - 1; ++s)
        slot(kHolidayOffset + 10 * s, s + 2, d.holidays);
    d.holidays.append({1, {}, {}});
    return d;
}

} // namespace keyformat
