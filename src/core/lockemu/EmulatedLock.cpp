#include "EmulatedLock.h"

#include "keyformat/AuditTrail.h"
#include "keyformat/KeyEncoding.h"
#include "keyformat/LockReadBack.h"
#include "keyformat/LockSetupMission.h"
#include "keyformat/MaintenanceMissions.h"
#include "keyformat/MissionHeader.h"
#include "keyformat/ScheduleTable.h"
#include "keyformat/SystemSetupMission.h"

#include <QJsonArray>

#include <algorithm>

namespace lockemu {

using namespace keyformat;

namespace {

// Lock clocks are kept as wall-clock readings; arithmetic is done in UTC so a
// daylight-saving change of the PC never shifts them.
QDateTime wall(const QDateTime &dt)
{
    return QDateTime(dt.date(), dt.time(), Qt::UTC);
}
QDateTime local(const QDateTime &w)
{
    return wallClock(w.date(), w.time());
}

QByteArray romBytes(const QString &serial)
{
    onewire::RomBytes r{};
    if (!onewire::busFromSerialText(serial, r))
        return QByteArray(8, char(0xFF));
    return QByteArray(reinterpret_cast<const char *>(r.data()), 8);
}

int dayBit(const QDate &d)
{
    return 1 << (d.dayOfWeek() % 7); // Sunday 0x01 ... Saturday 0x40
}

QTime bcdTime(uint8_t h, uint8_t m)
{
    const int hh = onewire::fromBcd(h), mm = onewire::fromBcd(m);
    return (hh < 0 || mm < 0) ? QTime() : QTime(hh, mm);
}

QDateTime slotDate(const QByteArray &block, int offset)
{
    return stampToDateTime(ymdhmAt(block, offset));
}

} // namespace

EmulatedLock::EmulatedLock(const QString &serialId, const FacilityBytes &facility)
    : m_serialId(serialId.toUpper()), m_facility(facility)
{
}

QDateTime EmulatedLock::lockTime(const QDateTime &hostNow) const
{
    return local(wall(hostNow).addSecs(m_clockSkewSecs));
}

void EmulatedLock::setLockTime(const QDateTime &lockNow, const QDateTime &hostNow)
{
    m_clockSkewSecs = wall(hostNow).secsTo(wall(lockNow));
    m_scheduleCheckedTo = QDateTime(); // setting the clock is no time passing: nothing is replayed
}

void EmulatedLock::record(const QByteArray &identity8, const QDateTime &at, uint8_t eventCode)
{
    m_audit.append(encodeAuditRecord(identity8, at, eventCode));
    while (m_audit.size() > kMaxAuditRecords)
        m_audit.removeFirst();
}

LockAnswer EmulatedLock::touch(QByteArray &image, const QString &keySerial, const QDateTime &hostNow)
{
    if (image.size() != kImageSize)
        return {false, QStringLiteral("The key is not a 32768-byte program key."), -1};
    const QByteArray page0 = pageOf(image, 0);
    const MissionHeader h = parseHeader(page0);
    const QByteArray keyRom = romBytes(keySerial);
    if (!h.isMission())
        return {false, QStringLiteral("The key carries no mission; the lock ignores it."), -1};
    if (!m_setupMode)
        runSchedule(lockTime(hostNow));

    if (h.form == HeaderForm::Write && h.type == mission::kNewLockSetup)
        return takeSystemSetup(image, keyRom, hostNow);
    if (h.facilityOffset < 0 || h.facility != m_facility || m_setupMode)
        return {false,
                m_setupMode ? QStringLiteral("The lock is in set-up mode and takes only a system setup key.")
                            : QStringLiteral("Refused: the key carries facility code %1, the lock %2.")
                                  .arg(facilityText(h.facility), facilityText(m_facility)),
                -1};

    if (h.form == HeaderForm::Write) {
        switch (h.type) {
        case mission::kLockout: {
            const LockoutOrder o = decodeLockout(image);
            if (!o.lockSerials.contains(m_serialId))
                return {false, QStringLiteral("This lock is not on the lockout key's list."), -1};
            const Lockout wanted = o.closeDoor ? Lockout::HeldClosed : Lockout::HeldOpen;
            m_lockout = m_lockout == wanted ? Lockout::None : wanted;
            m_doorHeldOpen = m_lockout == Lockout::HeldOpen;
            return {true,
                    m_lockout == Lockout::None ? QStringLiteral("Lockout released.")
                                               : (o.closeDoor ? QStringLiteral("Lockout: door held closed.")
                                                              : QStringLiteral("Lockout: door held open.")),
                    -1};
        }
        case mission::kLockSetup:
            return takeLockSetup(image, keyRom, hostNow);
        case mission::kMultiple:
            return takeMultiple(image, keyRom, hostNow);
        case mission::kSystemCode:
            if (!systemCodeIsIntact(page0))
                return {false, QStringLiteral("The system code key is damaged (check bytes wrong)."), -1};
            m_systemCodeConfirmed = true;
            return {true, QStringLiteral("System code confirmed."), -1};
        default:
            return {false, QStringLiteral("The lock does not know this mission."), -1};
        }
    }

    switch (h.type) {
    case mission::kGetInformation:
        return fillInformation(image, keyRom, hostNow);
    case mission::kAuditOneKey:
    case mission::kAuditFirstKey:
    case mission::kAuditSecondKey:
        return fillSingleAudit(image, h.type, keyRom, hostNow);
    case mission::kMultiAudit:
        return fillMultiAudit(image, keyRom, hostNow);
    case mission::kParameter:
        return takeParameters(page0, keyRom, hostNow);
    case mission::kOneOffKey: {
        const OneOffOrder o = decodeOneOffKey(image);
        if (!o.crcOk)
            return {false, QStringLiteral("The one-off key is damaged (header check byte wrong)."), -1};
        if (!o.lockSerials.contains(m_serialId))
            return {false, QStringLiteral("This lock is not on the one-off key's list."), -1};
        return {true, QStringLiteral("One-off key acknowledged."), -1};
    }
    default:
        return {false, QStringLiteral("The lock does not know this mission."), -1};
    }
}

LockAnswer EmulatedLock::takeSystemSetup(QByteArray &image, const QByteArray &keyRom, const QDateTime &hostNow)
{
    const QByteArray p0 = pageOf(image, 0);
    if (!m_setupMode)
        return {false, QStringLiteral("Press the lock's reset button before touching a system setup key."), -1};
    if (p0.mid(11, 8) != systemSetupCode())
        return {false, QStringLiteral("Refused: the setup key does not carry this system's setup code."), -1};
    const QDateTime clock = stampToDateTime(clockAt(p0, 20));
    if (!clock.isValid())
        return {false, QStringLiteral("Refused: the setup key's date and time are not valid."), -1};

    // Factory state, then the key's settings.
    const QString serial = m_serialId;
    const QVector<QByteArray> audit = m_audit;
    *this = EmulatedLock(serial, facilityAt(p0, 8));
    m_audit = audit;
    m_setupMode = false;
    m_motorPulse = byteAt(p0, 6);
    m_lockBackDelay = byteAt(p0, 7);
    m_daylightSaving = isOn(byteAt(p0, 19));
    m_blink = isOn(byteAt(p0, 27));
    m_classroom = isOn(byteAt(p0, 28));
    setLockTime(clock, hostNow);

    // Leave the lock's serial entry on the key (once).
    QByteArray p1 = pageOf(image, 1);
    const int n = byteAt(p1, 0) == 0xFF ? 0 : byteAt(p1, 0);
    bool listed = false;
    for (int i = 0; i < n && !listed; ++i) {
        const QByteArray p = pageOf(image, 2 + i);
        listed = byteAt(p, 8) == kOn && serialTextAt(p, 0) == m_serialId;
    }
    if (!listed && n < 255 && 2 + n <= kLastPage) {
        QByteArray entry = blankPage();
        entry.replace(0, 8, romBytes(m_serialId));
        setByte(entry, 8, kOn);
        putPage(image, 2 + n, entry);
        setByte(p1, 0, static_cast<uint8_t>(n + 1));
        putPage(image, 1, p1);
    }
    record(keyRom, clock, 0xF6);
    return {true, QStringLiteral("Lock initialised; its serial ID is on the key."), 0xF6};
}

LockAnswer EmulatedLock::takeLockSetup(const QByteArray &image, const QByteArray &keyRom, const QDateTime &hostNow)
{
    const LockSetupContents c = decodeLockSetup(image);
    if (!c.lockSerials.contains(m_serialId))
        return {false, QStringLiteral("This lock is not on the key's lock list."), -1};
    QStringList done;
    if (c.flags & content::kTables) {
        m_tables = c.scheduleBlock;
        m_classroomSchedule = c.classroomSchedule;
        done << QStringLiteral("schedule tables");
    }
    if (c.flags & content::kUsers) {
        m_users = c.users;
        done << QStringLiteral("%1 users").arg(c.users.size());
    }
    if (c.flags & content::kOneOffCodes) {
        m_oneOffCodes = c.oneOffCodes;
        done << QStringLiteral("%1 one-off codes").arg(c.oneOffCodes.size());
    }
    record(keyRom, lockTime(hostNow), 0xF8);
    return {true, QStringLiteral("Loaded ") + done.join(QStringLiteral(", ")) + QLatin1Char('.'), 0xF8};
}

LockAnswer EmulatedLock::takeMultiple(const QByteArray &image, const QByteArray &keyRom, const QDateTime &hostNow)
{
    const MultipleMissionContents c = decodeMultipleMission(image);
    QVector<LockUser> users;
    bool gotUsers = false, gotTables = false, gotCodes = false;
    for (const MissionBlock &b : c.blocks) {
        // A delete-code key carries one block; a programming key three per lock.
        if (b.lockSerial != m_serialId || (c.blockCount == 1 && b.index != 0))
            continue;
        if (b.kind == block::kSchedule) {
            m_tables = b.scheduleBlock;
            gotTables = true;
        } else if (b.kind == block::kUsers) {
            users = b.users;
            gotUsers = true;
        } else if (b.kind == block::kContinuation && gotUsers) {
            users += b.users;
        } else if (b.kind == block::kDeleteCodes || b.kind == block::kDeleteCodesClear) {
            if (b.clearMemory)
                m_deletedCodes.clear();
            m_deletedCodes += b.codes;
            gotCodes = true;
        }
    }
    if (!gotUsers && !gotTables && !gotCodes)
        return {false, QStringLiteral("No block of this key is meant for this lock."), -1};
    if (gotUsers)
        m_users = users;
    record(keyRom, lockTime(hostNow), 0xFA);
    QStringList done;
    if (gotTables)
        done << QStringLiteral("schedule tables");
    if (gotUsers)
        done << QStringLiteral("%1 users").arg(m_users.size());
    if (gotCodes)
        done << QStringLiteral("codes to delete");
    return {true, QStringLiteral("Loaded ") + done.join(QStringLiteral(", ")) + QLatin1Char('.'), 0xFA};
}

LockAnswer EmulatedLock::fillInformation(QByteArray &image, const QByteArray &keyRom, const QDateTime &hostNow)
{
    QByteArray p1 = blankPage();
    setByte(p1, 0, kOn); // key list enabled
    setByte(p1, 1, kOff);
    setByte(p1, 14, kOn);
    setByte(p1, 15, switchByte(m_daylightSaving));
    p1.replace(16, 8, romBytes(m_serialId));
    setByte(p1, 24, switchByte(m_blink));
    setByte(p1, 25, switchByte(m_classroom));
    setByte(p1, 44, 0x01);
    setByte(p1, 45, 0x20);
    p1.replace(46, 3, "E10");
    putU16(p1, 49, m_users.size());
    putClock(p1, 57, lockTime(hostNow));
    putPage(image, 1, p1);

    QByteArray p2 = blankPage();
    putU16(p2, 0, m_audit.size()); // below 3328, so high byte first
    setByte(p2, 24, 110);          // about 4.8 V
    setByte(p2, 25, 3);            // "High"
    putPage(image, 2, p2);

    for (int k = 0; k < m_users.size() && k < kMaxInfoUsers; k += 2) {
        QByteArray p = blankPage();
        p.replace(0, kInfoUserSize, encodeInfoUser(m_users.at(k)));
        if (k + 1 < m_users.size())
            p.replace(32, kInfoUserSize, encodeInfoUser(m_users.at(k + 1)));
        putPage(image, kInfoUserFirstPage + k / 2, p);
    }
    for (int i = 0; i < 16; ++i)
        putPage(image, kInfoTableFirstPage + i, m_tables.mid(i * kPageSize, kPageSize));
    record(keyRom, lockTime(hostNow), 0xF3);
    return {true, QStringLiteral("Lock information written to the key."), 0xF3};
}

LockAnswer EmulatedLock::fillSingleAudit(QByteArray &image, uint8_t type, const QByteArray &keyRom,
                                         const QDateTime &hostNow)
{
    int first = 0, count = 0;
    const int n = m_audit.size();
    if (type == mission::kAuditOneKey) {
        count = qMin(n, 2000);
        first = n - count; // the newest 2000
    } else if (type == mission::kAuditFirstKey) {
        count = qMin(n, kMaxSingleKeyRecords);
    } else {
        first = qMin(n, kMaxSingleKeyRecords);
        count = n - first;
    }
    QByteArray p0 = pageOf(image, 0);
    p0.replace(10, 8, romBytes(m_serialId));
    putPage(image, 0, p0);
    QByteArray p1 = blankPage();
    putU16(p1, 0, n);
    putU16(p1, 2, count);
    putClock(p1, 4, lockTime(hostNow));
    putPage(image, 1, p1);
    for (int i = 0; i < count; i += 4) {
        QByteArray p = blankPage();
        for (int s = 0; s < 4 && i + s < count; ++s)
            p.replace(16 * s, kAuditRecordSize, m_audit.at(first + i + s));
        putPage(image, kAuditFirstPage + i / 4, p);
    }
    record(keyRom, lockTime(hostNow), 0xF4);
    return {true, QStringLiteral("%1 audit records written to the key.").arg(count), 0xF4};
}

LockAnswer EmulatedLock::fillMultiAudit(QByteArray &image, const QByteArray &keyRom, const QDateTime &hostNow)
{
    const int wanted = getU16(pageOf(image, 0), 8);
    const int P = pagesPerLock(wanted);
    if (P == 0)
        return {false,
                QStringLiteral("The key asks for %1 records per lock, which the lock does not know.").arg(wanted), -1};
    QByteArray p1 = pageOf(image, 1);
    int n = byteAt(p1, 0) == 0xFF ? 0 : byteAt(p1, 0);
    int slot = n;
    for (int k = 0; k < n; ++k)
        if (serialTextAt(pageOf(image, 2 + k * P), 4) == m_serialId)
            slot = k; // this lock was here before: its block is written again
    if (slot == n && n >= locksThatFit(wanted))
        return {false, QStringLiteral("The key is full: it holds %1 locks already.").arg(n), -1};
    const int count = qMin(m_audit.size(), wanted);
    const int first = m_audit.size() - count;
    const int base = 2 + slot * P;
    QByteArray h = blankPage();
    putU16(h, 0, m_audit.size());
    putU16(h, 2, count);
    h.replace(4, 8, romBytes(m_serialId));
    putPage(image, base, h);
    for (int i = 0; i < (P - 1) * 4; i += 4) {
        QByteArray p = blankPage();
        for (int s = 0; s < 4 && i + s < count; ++s)
            p.replace(16 * s, kAuditRecordSize, m_audit.at(first + i + s));
        putPage(image, base + 1 + i / 4, p);
    }
    if (slot == n) {
        setByte(p1, 0, static_cast<uint8_t>(n + 1));
        putPage(image, 1, p1);
    }
    record(keyRom, lockTime(hostNow), 0xF5);
    return {true, QStringLiteral("%1 audit records written to block %2.").arg(count).arg(slot + 1), 0xF5};
}

LockAnswer EmulatedLock::takeParameters(const QByteArray &page0, const QByteArray &keyRom, const QDateTime &hostNow)
{
    const ParameterOrder o = decodeParameterKey(page0);
    if (o.timeFunctionActive) {
        m_timeFunctionActive = true;
        record(keyRom, lockTime(hostNow), 0xE0);
        return {true, QStringLiteral("Time function activated."), 0xE0};
    }
    const SetParameterMission &v = o.values;
    if (v.motorPulseTenths && *v.motorPulseTenths >= 1 && *v.motorPulseTenths <= 255)
        m_motorPulse = *v.motorPulseTenths;
    if ((o.mask & 0x02) && v.lockBackDelayTenths >= 1 && v.lockBackDelayTenths <= 255)
        m_lockBackDelay = v.lockBackDelayTenths;
    if (v.daylightSaving)
        m_daylightSaving = *v.daylightSaving;
    if (v.blink)
        m_blink = *v.blink;
    if (v.clock)
        setLockTime(*v.clock, hostNow);
    if (!v.newLockSerial.isEmpty() && onewire::isValidSerialText(v.newLockSerial))
        m_serialId = v.newLockSerial;
    record(keyRom, lockTime(hostNow), 0xE0);
    return {true, QStringLiteral("Parameters set."), 0xE0};
}

int EmulatedLock::ruleRefusal(const LockUser &u, const QDateTime &at) const
{
    if (u.timeShiftId > 1) {
        const int g = u.timeShiftId - 1;
        bool inShift = false;
        for (int e = 0; e < kPeriodsPerGroup && !inShift; ++e) {
            const int o = kTimeShiftOffset + 35 * g + 5 * e;
            if (byteAt(m_tables, o) == 0xFF)
                continue;
            const QTime b = bcdTime(byteAt(m_tables, o), byteAt(m_tables, o + 1));
            const QTime en = bcdTime(byteAt(m_tables, o + 2), byteAt(m_tables, o + 3));
            const QTime now(at.time().hour(), at.time().minute());
            inShift =
                b.isValid() && en.isValid() && (byteAt(m_tables, o + 4) & dayBit(at.date())) && b <= now && now <= en;
        }
        if (!inShift)
            return 0x05;
    }
    if (u.actExpDateId > 1) {
        const int o = kActExpOffset + 10 * (u.actExpDateId - 1);
        const QDateTime from = slotDate(m_tables, o), to = slotDate(m_tables, o + 5);
        if (from.isValid() && to.isValid() && (at < from || at > to))
            return 0x06;
    }
    if (u.holiday) {
        for (int s = 0; s < kDateSlots; ++s) {
            const int o = kHolidayOffset + 10 * s;
            const QDateTime from = slotDate(m_tables, o), to = slotDate(m_tables, o + 5);
            if (from.isValid() && to.isValid() && at >= from && at <= to)
                return 0x07;
        }
    }
    return 0;
}

bool EmulatedLock::classroomAt(const QDateTime &at) const
{
    // The latest mode-schedule entry of the day that has begun decides; without one the lock's own mode.
    bool classroom = m_classroom;
    QTime latest;
    for (int i = 0; i < kScheduleEntries; ++i) {
        const int o = kModeScheduleOffset + 4 * i;
        if (byteAt(m_tables, o) == 0xFF || !(byteAt(m_tables, o + 2) & dayBit(at.date())))
            continue;
        const QTime b = bcdTime(byteAt(m_tables, o), byteAt(m_tables, o + 1));
        if (b.isValid() && b <= at.time() && (!latest.isValid() || b >= latest)) {
            latest = b;
            classroom = byteAt(m_tables, o + 3) != 0x00;
        }
    }
    return classroom;
}

void EmulatedLock::runSchedule(const QDateTime &until)
{
    if (!until.isValid())
        return;
    if (!m_scheduleCheckedTo.isValid() || until <= m_scheduleCheckedTo) {
        if (!m_scheduleCheckedTo.isValid())
            m_scheduleCheckedTo = until;
        return;
    }
    // A lock left alone for long only replays its last two weeks.
    const QDateTime from = qMax(m_scheduleCheckedTo, until.addDays(-14));
    QVector<QPair<QDateTime, uint8_t>> due;
    for (QDate d = from.date(); d <= until.date(); d = d.addDays(1)) {
        for (int i = 0; i < kScheduleEntries; ++i) {
            const int o = kLockScheduleOffset + 4 * i;
            const uint8_t mode = byteAt(m_tables, o + 3);
            if (byteAt(m_tables, o) == 0xFF || (mode != 1 && mode != 2) || !(byteAt(m_tables, o + 2) & dayBit(d)))
                continue;
            const QTime t = bcdTime(byteAt(m_tables, o), byteAt(m_tables, o + 1));
            const QDateTime when = t.isValid() ? wallClock(d, t) : QDateTime();
            if (when.isValid() && when > from && when <= until)
                due.append({when, mode});
        }
    }
    std::stable_sort(due.begin(), due.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &e : due) {
        const bool unlock = e.second == 1;
        if (unlock == m_scheduleUnlocked)
            continue;
        m_scheduleUnlocked = unlock;
        record(QByteArray("\x00\x00\x00\x00\x00\x00\x00", 7) + char(unlock ? 0x01 : 0x02), e.first, 0x00);
    }
    m_scheduleCheckedTo = until;
}

LockAnswer EmulatedLock::open(const QByteArray &identity, bool isCode, int codeType, const QDateTime &at)
{
    uint8_t ev;
    QString text;
    if (m_scheduleUnlocked) {
        ev = classroomAt(at) ? 0x01 : 0x00;
        text = QStringLiteral("Opened: the lock schedule holds the door unlocked.");
    } else if (classroomAt(at)) {
        m_doorHeldOpen = !m_doorHeldOpen;
        ev = m_doorHeldOpen ? 0x01 : 0x02;
        text = m_doorHeldOpen ? QStringLiteral("Opened (Classroom Mode): the door stays open.")
                              : QStringLiteral("Closed (Classroom Mode).");
    } else {
        ev = 0x00;
        text = QStringLiteral("Opened (Storehouse Mode).");
    }
    const uint8_t code = isCode ? static_cast<uint8_t>((codeType << 4) | ev) : ev;
    record(identity, at, code);
    return {true, text, code};
}

LockAnswer EmulatedLock::presentKey(const QString &keySerial, const QDateTime &at)
{
    if (m_setupMode)
        return {false, QStringLiteral("The lock is in set-up mode."), -1};
    runSchedule(at);
    const QString serial = keySerial.toUpper();
    QByteArray identity = romBytes(serial);
    const LockUser *user = nullptr;
    for (const LockUser &u : m_users)
        if (u.hasKey() && u.serialId == serial)
            user = &u;
    if (!user) {
        // A key the lock does not know is logged without its family code.
        identity[0] = 0x00;
        record(identity, at, 0x03);
        return {false, QStringLiteral("Refused: the lock does not know this key."), 0x03};
    }
    if (m_lockout == Lockout::HeldClosed) {
        record(identity, at, 0x04);
        return {false, QStringLiteral("Refused: the lock is locked out."), 0x04};
    }
    if (const int refusal = ruleRefusal(*user, at)) {
        record(identity, at, static_cast<uint8_t>(refusal));
        static const char *why[] = {"its time shift", "its activation/expiration dates", "a holiday"};
        return {false, QStringLiteral("Refused by ") + QLatin1String(why[refusal - 5]) + QLatin1Char('.'), refusal};
    }
    if (user->hasCode()) {
        m_complexStepSerial = serial;
        m_complexStepAt = at;
        record(identity, at, 0x60);
        return {false, QStringLiteral("Key accepted; now type the code."), 0x60};
    }
    return open(identity, false, 0, at);
}

LockAnswer EmulatedLock::enterCode(const QString &code, const QDateTime &at)
{
    const QByteArray identity = codeIdentity(code);
    if (m_setupMode)
        return {false, QStringLiteral("The lock is in set-up mode."), -1};
    runSchedule(at);
    const LockUser *user = nullptr;
    for (const LockUser &u : m_users)
        if (u.hasCode() && u.keyCode == code)
            user = &u;
    const bool oneOff = !user && m_oneOffCodes.contains(code);
    if (!user && !oneOff) {
        record(identity, at, 0x08);
        return {false, QStringLiteral("Refused: unknown code."), 0x08};
    }
    const int type = oneOff ? 0x2 : 0x1;
    if (user && user->hasKey()) {
        const bool stepped = m_complexStepSerial == user->serialId && m_complexStepAt.isValid() &&
                             m_complexStepAt.secsTo(at) >= 0 && m_complexStepAt.secsTo(at) <= 30;
        m_complexStepSerial.clear();
        if (!stepped) {
            record(identity, at, 0x18);
            return {false, QStringLiteral("Refused: this code needs the user's key first."), 0x18};
        }
    }
    if (m_lockout == Lockout::HeldClosed) {
        record(identity, at, static_cast<uint8_t>((type << 4) | 0x04));
        return {false, QStringLiteral("Refused: the lock is locked out."), (type << 4) | 0x04};
    }
    if (user) {
        if (const int refusal = ruleRefusal(*user, at)) {
            record(identity, at, static_cast<uint8_t>((type << 4) | refusal));
            return {false, QStringLiteral("Refused by the user's time rules."), (type << 4) | refusal};
        }
    } else {
        m_oneOffCodes.removeAll(code); // a one-off code opens once
    }
    return open(identity, true, type, at);
}

QJsonObject EmulatedLock::toJson() const
{
    QJsonObject o;
    o[QStringLiteral("serialId")] = m_serialId;
    o[QStringLiteral("facilityCode")] = facilityText(m_facility);
    o[QStringLiteral("setupMode")] = m_setupMode;
    o[QStringLiteral("clockSkewSecs")] = double(m_clockSkewSecs);
    o[QStringLiteral("motorPulseTenths")] = m_motorPulse;
    o[QStringLiteral("lockBackDelayTenths")] = m_lockBackDelay;
    o[QStringLiteral("daylightSaving")] = m_daylightSaving;
    o[QStringLiteral("blink")] = m_blink;
    o[QStringLiteral("classroom")] = m_classroom;
    o[QStringLiteral("classroomSchedule")] = m_classroomSchedule;
    o[QStringLiteral("timeFunctionActive")] = m_timeFunctionActive;
    o[QStringLiteral("systemCodeConfirmed")] = m_systemCodeConfirmed;
    o[QStringLiteral("doorHeldOpen")] = m_doorHeldOpen;
    o[QStringLiteral("scheduleUnlocked")] = m_scheduleUnlocked;
    o[QStringLiteral("scheduleCheckedTo")] = m_scheduleCheckedTo.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    o[QStringLiteral("lockout")] = int(m_lockout);
    o[QStringLiteral("tables")] = QString::fromLatin1(m_tables.toHex());
    QJsonArray users;
    for (const LockUser &u : m_users) {
        const auto rec = encodeUserRecord(u);
        if (rec)
            users.append(QString::fromLatin1(rec.value.toHex()));
    }
    o[QStringLiteral("users")] = users;
    o[QStringLiteral("oneOffCodes")] = QJsonArray::fromStringList(m_oneOffCodes);
    QJsonArray del;
    for (const DeleteCodeEntry &d : m_deletedCodes)
        del.append(QJsonObject{{QStringLiteral("start"), d.startDate.toString(Qt::ISODate)},
                               {QStringLiteral("end"), d.endDate.toString(Qt::ISODate)},
                               {QStringLiteral("once"), d.once},
                               {QStringLiteral("version"), d.version}});
    o[QStringLiteral("deletedCodes")] = del;
    QJsonArray audit;
    for (const QByteArray &r : m_audit)
        audit.append(QString::fromLatin1(r.toHex()));
    o[QStringLiteral("audit")] = audit;
    return o;
}

Result<EmulatedLock> EmulatedLock::fromJson(const QJsonObject &o)
{
    using R = Result<EmulatedLock>;
    EmulatedLock l;
    l.m_serialId = o.value(QStringLiteral("serialId")).toString().toUpper();
    if (!onewire::isValidSerialText(l.m_serialId))
        return R::failure(QStringLiteral("The lock file names no valid registration number."));
    const QString fc = o.value(QStringLiteral("facilityCode")).toString();
    const QByteArray fcBytes = QByteArray::fromHex(fc.toLatin1());
    if (fc.size() != 6 || fcBytes.size() != 3)
        return R::failure(QStringLiteral("The lock file has no valid facility code."));
    for (int i = 0; i < 3; ++i)
        l.m_facility[static_cast<size_t>(i)] = static_cast<uint8_t>(fcBytes.at(i));
    l.m_setupMode = o.value(QStringLiteral("setupMode")).toBool(true);
    l.m_clockSkewSecs = static_cast<qint64>(o.value(QStringLiteral("clockSkewSecs")).toDouble());
    l.m_motorPulse = o.value(QStringLiteral("motorPulseTenths")).toInt(5);
    l.m_lockBackDelay = o.value(QStringLiteral("lockBackDelayTenths")).toInt(50);
    l.m_daylightSaving = o.value(QStringLiteral("daylightSaving")).toBool();
    l.m_blink = o.value(QStringLiteral("blink")).toBool();
    l.m_classroom = o.value(QStringLiteral("classroom")).toBool();
    l.m_classroomSchedule = o.value(QStringLiteral("classroomSchedule")).toBool();
    l.m_timeFunctionActive = o.value(QStringLiteral("timeFunctionActive")).toBool();
    l.m_systemCodeConfirmed = o.value(QStringLiteral("systemCodeConfirmed")).toBool();
    l.m_doorHeldOpen = o.value(QStringLiteral("doorHeldOpen")).toBool();
    l.m_scheduleUnlocked = o.value(QStringLiteral("scheduleUnlocked")).toBool();
    {
        const QDateTime c = QDateTime::fromString(o.value(QStringLiteral("scheduleCheckedTo")).toString(),
                                                  QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (c.isValid())
            l.m_scheduleCheckedTo = wallClock(c.date(), c.time());
    }
    l.m_lockout = static_cast<Lockout>(qBound(0, o.value(QStringLiteral("lockout")).toInt(), 2));
    const QByteArray tables = QByteArray::fromHex(o.value(QStringLiteral("tables")).toString().toLatin1());
    if (tables.size() == kScheduleBlockSize)
        l.m_tables = tables;
    for (const QJsonValue &v : o.value(QStringLiteral("users")).toArray()) {
        const auto u = decodeUserRecord(QByteArray::fromHex(v.toString().toLatin1()));
        if (u)
            l.m_users.append(u.value);
    }
    for (const QJsonValue &v : o.value(QStringLiteral("oneOffCodes")).toArray())
        if (isDigitCode(v.toString()))
            l.m_oneOffCodes.append(v.toString());
    for (const QJsonValue &v : o.value(QStringLiteral("deletedCodes")).toArray()) {
        const QJsonObject d = v.toObject();
        l.m_deletedCodes.append({QDateTime::fromString(d.value(QStringLiteral("start")).toString(), Qt::ISODate),
                                 QDateTime::fromString(d.value(QStringLiteral("end")).toString(), Qt::ISODate),
                                 d.value(QStringLiteral("once")).toBool(), d.value(QStringLiteral("version")).toInt()});
    }
    for (const QJsonValue &v : o.value(QStringLiteral("audit")).toArray()) {
        const QByteArray r = QByteArray::fromHex(v.toString().toLatin1());
        if (r.size() == kAuditRecordSize)
            l.m_audit.append(r);
    }
    return R::success(l);
}

} // namespace lockemu
