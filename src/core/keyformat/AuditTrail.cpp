#include "AuditTrail.h"

#include "MissionHeader.h"

namespace keyformat {

using onewire::fromBcd;

Result<KeyPages> encodeAuditRequest(uint8_t type, const FacilityBytes &fc, int recordsPerLock)
{
    using R = Result<KeyPages>;
    int wanted = 0;
    switch (type) {
    case mission::kAuditOneKey:
        wanted = 2000;
        break;
    case mission::kAuditFirstKey:
    case mission::kAuditSecondKey:
        wanted = 0;
        break;
    case mission::kMultiAudit:
        if (pagesPerLock(recordsPerLock) == 0)
            return R::failure(QStringLiteral("Records per lock must be 25, 50, 100, 200, 400 or 1000."));
        wanted = recordsPerLock;
        break;
    default:
        return R::failure(QStringLiteral("0x%1 is not an audit trail request.").arg(type, 2, 16, QLatin1Char('0')));
    }
    QByteArray p0 = headerPage(HeaderForm::Read, type, fc);
    putU16(p0, 8, wanted);
    KeyPages pages{makePage(0, p0)};
    if (type == mission::kMultiAudit) {
        QByteArray p1 = blankPage();
        setByte(p1, 0, 0x00);
        pages.append(makePage(1, p1));
    }
    return R::success(pages);
}

int pagesPerLock(int r)
{
    switch (r) {
    case 25:
        return 8;
    case 50:
        return 14;
    case 100:
        return 26;
    case 200:
        return 51;
    case 400:
        return 101;
    case 1000:
        return 251;
    default:
        return 0;
    }
}

int locksThatFit(int r)
{
    switch (r) {
    case 25:
        return 63;
    case 50:
        return 36;
    case 100:
        return 19;
    case 200:
        return 9;
    case 400:
        return 5;
    case 1000:
        return 2;
    default:
        return 0;
    }
}

bool auditRecordPassesRules(const QByteArray &rec)
{
    for (int i = 8; i <= 14; ++i)
        if (byteAt(rec, i) == 0xFF)
            return false;
    const uint8_t y = byteAt(rec, 8), mo = byteAt(rec, 9), d = byteAt(rec, 11);
    const uint8_t h = byteAt(rec, 12), mi = byteAt(rec, 13), s = byteAt(rec, 14);
    if (!(y <= 0x99 && mo >= 0x01 && mo <= 0x12 && d >= 0x01 && d <= 0x31 && h <= 0x24 && mi <= 0x60 && s <= 0x60))
        return false;
    // Read as two decimal digits (a hex nibble reads as its value, as the lock's reader does).
    auto two = [](uint8_t b) { return (b >> 4) * 10 + (b & 0x0F); };
    return two(y) <= 99 && two(mo) >= 1 && two(mo) <= 12 && two(d) >= 1 && two(d) <= 31 && two(h) <= 24 &&
           two(mi) <= 60 && two(s) <= 60;
}

namespace {

QString hex2(int v)
{
    return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
}

QString registeredKeyText(uint8_t code)
{
    switch (code) {
    case 0x00:
        return QStringLiteral("Open Lock With Key(Storehouse Mode)");
    case 0x01:
        return QStringLiteral("Open Lock With Key(Classroom Mode)");
    case 0x02:
        return QStringLiteral("Close Lock With Key");
    case 0x04:
        return QStringLiteral("Forbidden Key(Access During Lockout Mode)");
    case 0x05:
        return QStringLiteral("Invalid Access(Time Shift Setting)");
    case 0x06:
        return QStringLiteral("Invalid Access(Act/Exp Date Setting)");
    case 0x07:
        return QStringLiteral("Invalid Access(Exception Date Setting)");
    case 0x60:
        return QStringLiteral("iButton Access(Complex Type Step One)");
    default:
        return QStringLiteral("Unknown Type");
    }
}

QString codeEventText(int nibble)
{
    switch (nibble) {
    case 0:
        return QStringLiteral("Open Lock With Code(Storehouse Mode)");
    case 1:
        return QStringLiteral("Open Lock With Code(Classroom Mode)");
    case 2:
        return QStringLiteral("Close Lock With Code");
    case 4:
        return QStringLiteral("Forbidden Code(Access During Lockout Mode)");
    case 5:
        return QStringLiteral("Invalid Access(Time Shift Setting)");
    case 6:
        return QStringLiteral("Invalid Access(Act/Exp Date Setting)");
    case 7:
        return QStringLiteral("Invalid Access(Exception Date Setting)");
    case 8:
    case 9:
    case 10:
    case 11:
        return QStringLiteral("Invalid Code(") + hex2(nibble) + QLatin1Char(')');
    default:
        return QStringLiteral("Unknown Type(") + hex2(nibble) + QLatin1Char(')');
    }
}

QString codeTypeText(int nibble)
{
    switch (nibble) {
    case 1:
    case 6:
        return QStringLiteral("Perm.");
    case 3:
        return QStringLiteral("TSub");
    case 4:
        return QStringLiteral("Once");
    case 2:
        return QStringLiteral("OOFF");
    default:
        return QStringLiteral("Temp");
    }
}

QString programKeyText(uint8_t code)
{
    if (code >= 0xE0 && code <= 0xEF)
        return QStringLiteral("Set Parameter Key");
    switch (code) {
    case 0xF1:
        return QStringLiteral("Setup Key Short Circuit");
    case 0xF2:
        return QStringLiteral("Setup Key Open Circuit");
    case 0xF3:
        return QStringLiteral("Download Lock Information");
    case 0xF4:
    case 0xF5:
        return QStringLiteral("Download Lock Audit Trial");
    case 0xF6:
        return QStringLiteral("Initialize Lock");
    case 0xF7:
        return QStringLiteral("Key List Enable");
    case 0xF8:
        return QStringLiteral("Single-Lock Programming");
    case 0xFA:
        return QStringLiteral("Multi-Lock Programming");
    case 0xFB:
        return QStringLiteral("Set Lock Time");
    default:
        return {};
    }
}

} // namespace

AuditRecord decodeAuditRecord(const QByteArray &recIn, const std::function<bool(const QString &)> &isRegisteredKey)
{
    const QByteArray rec = recIn.left(kAuditRecordSize).leftJustified(kAuditRecordSize, char(0xFF));
    AuditRecord r;
    r.raw = rec;
    const QString identity = serialTextAt(rec, 0);
    const uint8_t b0 = byteAt(rec, 0);
    const uint8_t ev = byteAt(rec, 15);
    r.time = stampToDateTime(
        {byteAt(rec, 8), byteAt(rec, 9), byteAt(rec, 11), byteAt(rec, 12), byteAt(rec, 13), byteAt(rec, 14)});

    if (isRegisteredKey && isRegisteredKey(identity)) {
        r.kind = AuditKind::RegisteredKey;
        r.serialId = identity;
        r.eventText = registeredKeyText(ev);
    } else if (b0 == 0xFF) {
        r.kind = AuditKind::Code;
        const int count = byteAt(rec, 1);
        r.serialId = nibbleDigits(rec, 2, 6, qMin(count, 12));
        r.eventText = codeEventText(ev & 0x0F);
        r.codeType = codeTypeText(ev >> 4);
    } else if (b0 == 0x00) {
        r.kind = AuditKind::Lock;
        r.serialId = identity;
        const uint8_t b7 = byteAt(rec, 7);
        bool zeros = true;
        for (int i = 1; i <= 6; ++i)
            zeros = zeros && byteAt(rec, i) == 0x00;
        if (zeros && b7 >= 1 && b7 <= 3) {
            static const char *texts[] = {"Lock Auto Opened", "Lock Auto Closed", "Close Lock By Push Button"};
            r.eventText = QLatin1String(texts[b7 - 1]);
        } else {
            switch (ev) {
            case 0x00:
                r.eventText = QStringLiteral("Open Lock With Key(Storehouse Mode)");
                break;
            case 0x01:
                r.eventText = QStringLiteral("Open Lock With Key(Classroom Mode)");
                break;
            case 0x02:
                r.eventText = QStringLiteral("Close Lock With Key");
                break;
            case 0x03:
                r.eventText = QStringLiteral("Invalid Key");
                break;
            default:
                r.eventText = QStringLiteral("Unknown Type");
                break;
            }
        }
    } else {
        r.kind = AuditKind::ProgramKey;
        r.serialId = identity;
        r.eventText = programKeyText(ev);
        if (r.eventText.isEmpty()) {
            r.eventText = QStringLiteral("Unknown Type");
            r.firstName = r.lastName = QStringLiteral("Unknown");
            r.status = QStringLiteral("Denied");
        } else {
            r.firstName = r.lastName = QStringLiteral("Admin");
            r.status = QStringLiteral("Permitted");
        }
    }
    return r;
}

QByteArray encodeAuditRecord(const QByteArray &identity8, const QDateTime &at, uint8_t eventCode)
{
    QByteArray r(kAuditRecordSize, char(0xFF));
    r.replace(0, 8, identity8.left(8).leftJustified(8, char(0xFF)));
    QByteArray clock(7, char(0xFF));
    putClock(clock, 0, at);
    r.replace(8, 7, clock);
    setByte(r, 15, eventCode);
    return r;
}

QByteArray codeIdentity(const QString &digits)
{
    QByteArray id(8, char(0xFF));
    setByte(id, 1, static_cast<uint8_t>(qMin<int>(digits.size(), 12)));
    const QString d = digits.left(12).leftJustified(12, QLatin1Char('F'));
    for (int i = 0; i < 6; ++i)
        setByte(id, 2 + i,
                static_cast<uint8_t>(onewire::Change(d.mid(2 * i, 1)) * 16 + onewire::Change(d.mid(2 * i + 1, 1))));
    return id;
}

namespace {

// Records i = 0..count-1 from `firstPage`, four to a page.
AuditRun readRun(const QByteArray &image, int firstPage, int count, const std::function<bool(const QString &)> &reg)
{
    AuditRun run;
    for (int i = 0; i < count; ++i) {
        const int page = firstPage + i / 4;
        if (page > kLastPage)
            break;
        const QByteArray rec = image.mid(page * kPageSize + 16 * (i % 4), kAuditRecordSize);
        if (rec.size() < kAuditRecordSize || !auditRecordPassesRules(rec)) {
            ++run.skippedByRules;
            continue;
        }
        AuditRecord r = decodeAuditRecord(rec, reg);
        if (!r.time.isValid()) {
            ++run.skippedUnrealDate;
            continue;
        }
        run.records.append(r);
    }
    return run;
}

} // namespace

QString lockClockText(const BcdStamp &c)
{
    if (!stampPassesRangeTest(c))
        return QStringLiteral("Lock Time Is Invalid value");
    const QDateTime dt = stampToDateTime(c);
    return dt.isValid() ? dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                        : QStringLiteral("Lock Time Is Invalid value");
}

SingleLockAudit decodeSingleLockAudit(const QByteArray &image, const std::function<bool(const QString &)> &reg)
{
    SingleLockAudit a;
    const QByteArray p0 = pageOf(image, 0);
    a.touched = !isAllFF(p0, 10, 8);
    if (!a.touched)
        return a;
    a.lockSerial = serialTextAt(p0, 10);
    const QByteArray p1 = pageOf(image, 1);
    a.recordsInLock = getU16(p1, 0);
    a.recordsInKey = getU16(p1, 2);
    a.lockClock = clockAt(p1, 4);
    a.lockClockText = lockClockText(a.lockClock);
    a.run = readRun(image, kAuditFirstPage, qMin(a.recordsInKey, kMaxSingleKeyRecords), reg);
    return a;
}

MultiLockAudit decodeMultiLockAudit(const QByteArray &image, const std::function<bool(const QString &)> &reg)
{
    MultiLockAudit m;
    const QByteArray p0 = pageOf(image, 0);
    m.recordsPerLock = getU16(p0, 8);
    m.locksAudited = byteAt(pageOf(image, 1), 0);
    m.pagesPerLock = pagesPerLock(m.recordsPerLock);
    if (m.locksAudited == 0)
        return m;
    if (m.pagesPerLock == 0) {
        m.problem = QStringLiteral("%1 records per lock has no block length; the blocks cannot be found.")
                        .arg(m.recordsPerLock);
        return m;
    }
    const int fit = (kLastPage - 2 + 1) / m.pagesPerLock;
    if (m.locksAudited > fit)
        m.problem = QStringLiteral("The key claims %1 locks but holds at most %2; the rest are not read.")
                        .arg(m.locksAudited)
                        .arg(fit);
    for (int k = 0; k < qMin(m.locksAudited, fit); ++k) {
        AuditBlock b;
        b.index = k;
        b.firstPage = 2 + k * m.pagesPerLock;
        const QByteArray hdr = pageOf(image, b.firstPage);
        b.recordsInBlock = getU16(hdr, 2);
        b.lockSerial = serialTextAt(hdr, 4);
        b.run = readRun(image, b.firstPage + 1, qMin(b.recordsInBlock, (m.pagesPerLock - 1) * 4), reg);
        m.blocks.append(b);
    }
    return m;
}

} // namespace keyformat
