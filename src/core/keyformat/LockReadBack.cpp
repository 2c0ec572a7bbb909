#include "LockReadBack.h"

#include "AuditTrail.h"

namespace keyformat {

NewLockList decodeNewLockList(const QByteArray &image)
{
    NewLockList l;
    const QByteArray p0 = pageOf(image, 0);
    l.timeInLock = clockAt(p0, 20);
    l.timeInLockText = lockClockText(l.timeInLock);
    l.classroomDefault = byteAt(p0, 28) == kOn;
    l.locksTaken = byteAt(pageOf(image, 1), 0);
    for (int i = 0; i < l.locksTaken && 2 + i <= kLastPage; ++i) {
        const QByteArray p = pageOf(image, 2 + i);
        if (byteAt(p, 8) != kOn) {
            ++l.skippedEntries;
            continue;
        }
        const QString s = serialTextAt(p, 0);
        if (!l.serials.contains(s))
            l.serials.append(s);
    }
    return l;
}

int auditTrialNumber(uint8_t a, uint8_t b)
{
    if (a < 13)
        return a * 256 + b;
    if (a == 13 && b == 0)
        return 3328;
    return b * 256 + a;
}

QString batteryVoltageText(uint8_t raw)
{
    // "####.#": one decimal at most, no leading zero, no trailing ".0".
    QString s = QString::number(raw * 4.8 / 109.0, 'f', 1);
    if (s.endsWith(QLatin1String(".0")))
        s.chop(2);
    if (s.startsWith(QLatin1String("0")))
        s.remove(0, 1);
    return s;
}

LockInformation decodeLockInformation(const QByteArray &image)
{
    LockInformation info;
    const QByteArray p1 = pageOf(image, 1);
    info.touched = !isAllFF(p1, 16, 8);
    if (!info.touched)
        return info;
    auto enable = [](uint8_t b) { return b == kOn ? QStringLiteral("Enable") : QStringLiteral("Disable"); };
    info.keyListStatus = enable(byteAt(p1, 0));
    info.manualSetupStatus = byteAt(p1, 1) == kOn ? QStringLiteral("Disable") : QStringLiteral("Enable");
    info.daylightSavingStatus = enable(byteAt(p1, 14));
    if (byteAt(p1, 14) == kOn)
        info.daylightSaving = byteAt(p1, 15) == kOn ? QStringLiteral("Yes") : QStringLiteral("No");
    info.lockSerial = serialTextAt(p1, 16);
    info.blink = enable(byteAt(p1, 24));
    info.lockMode = byteAt(p1, 25) == kOn ? QStringLiteral("Classroom Mode") : QStringLiteral("Storehouse Mode");
    info.hardwareVersion = QStringLiteral("%1%2")
                               .arg(byteAt(p1, 44), 2, 16, QLatin1Char('0'))
                               .arg(byteAt(p1, 45), 2, 16, QLatin1Char('0'))
                               .toUpper();
    for (int i = 46; i <= 48; ++i)
        info.softwareVersion += QChar::fromLatin1(static_cast<char>(byteAt(p1, i)));
    info.userNumber = getU16(p1, 49);
    info.timeInLock = clockAt(p1, 57);
    info.timeInLockText = lockClockText(info.timeInLock);

    const QByteArray p2 = pageOf(image, 2);
    info.auditTrailNumber = auditTrialNumber(byteAt(p2, 0), byteAt(p2, 1));
    info.batteryVoltage = batteryVoltageText(byteAt(p2, 24));
    switch (byteAt(p2, 25)) {
    case 0:
        info.lockLevel = QStringLiteral("Low");
        break;
    case 1:
        info.lockLevel = QStringLiteral("Midium");
        break;
    case 3:
        info.lockLevel = QStringLiteral("High");
        break;
    default:
        break;
    }

    for (int k = 0; k < qMin(info.userNumber, kMaxInfoUsers); ++k) {
        const QByteArray p = pageOf(image, kInfoUserFirstPage + k / 2);
        info.users.append(decodeInfoUser(p.mid(32 * (k % 2), kInfoUserSize)));
    }
    QByteArray block;
    for (int i = 0; i < 16; ++i)
        block += pageOf(image, kInfoTableFirstPage + i);
    info.tables = decodeScheduleBlock(block);
    return info;
}

} // namespace keyformat
