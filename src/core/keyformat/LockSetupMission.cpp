#include "LockSetupMission.h"

#include "KeyEncoding.h"
#include "MissionHeader.h"

namespace keyformat {

Result<QVector<onewire::RomBytes>> romsFromSerials(const QStringList &serials)
{
    QVector<onewire::RomBytes> roms;
    roms.reserve(serials.size());
    for (const QString &s : serials) {
        onewire::RomBytes r{};
        if (!onewire::busFromSerialText(s, r))
            return Result<QVector<onewire::RomBytes>>::failure(
                QStringLiteral("The lock serial ID \"%1\" is not a registration number.").arg(s));
        roms.append(r);
    }
    return Result<QVector<onewire::RomBytes>>::success(roms);
}

Result<KeyPages> encodeLockSetup(const LockSetupMission &m)
{
    using R = Result<KeyPages>;
    const bool withUsers = m.flags & content::kUsers;
    const bool withTables = m.flags & content::kTables;
    const bool withCodes = m.flags & content::kOneOffCodes;
    const int userCount = withUsers ? m.users.size() : 0;

    if (userCount > kMaxUsers)
        return R::failure(
            QStringLiteral("A key holds at most %1 users; this mission has %2.").arg(kMaxUsers).arg(userCount));
    if (m.lockSerials.size() > kMaxLocks)
        return R::failure(QStringLiteral("A key holds at most %1 locks; this mission has %2.")
                              .arg(kMaxLocks)
                              .arg(m.lockSerials.size()));
    if (withCodes && m.oneOffCodes.size() > kMaxOneOffCodes)
        return R::failure(QStringLiteral("A key holds at most %1 one-off codes; this mission has %2.")
                              .arg(kMaxOneOffCodes)
                              .arg(m.oneOffCodes.size()));
    const auto roms = romsFromSerials(m.lockSerials);
    if (!roms)
        return R::failure(roms.error);

    QVector<QByteArray> userRecords;
    for (int i = 0; i < userCount; ++i) {
        const auto rec = encodeUserRecord(m.users.at(i));
        if (!rec)
            return R::failure(rec.error);
        userRecords.append(rec.value);
    }
    QVector<QByteArray> codeEntries;
    if (withCodes) {
        for (const QString &code : m.oneOffCodes) {
            QByteArray e(8, char(0x00));
            if (!putDigitCode(e, 0, code))
                return R::failure(
                    QStringLiteral("The one-off code \"%1\" must be 1 to %2 digits.").arg(code).arg(kMaxDigitCode));
            codeEntries.append(e);
        }
    }

    KeyPages pages;
    QByteArray p0 = headerPage(HeaderForm::Write, mission::kLockSetup, m.facility);
    putU16(p0, 9, m.lockSerials.size());
    pages.append(makePage(0, p0));

    QByteArray p1 = blankPage();
    setByte(p1, 0, m.flags);
    setByte(p1, 1, 0x00);
    setByte(p1, 2, 0x00);
    setByte(p1, 3, switchByte(m.classroomSchedule));
    putU16(p1, 4, userCount);
    pages.append(makePage(1, p1));

    if (withTables)
        pages += scheduleBlockPages(encodeScheduleBlock(m.tables), kScheduleFirstPage);
    if (userCount > 0)
        pages += packEntries(kUserFirstPage, kUserLastPage, kUsersPerPage, kUserRecordSize, userRecords);
    pages += lockListPages(kLockListFirstPage, kLockListLastPage, roms.value);
    if (withCodes)
        pages += packEntries(kOneOffFirstPage, kLastPage, 8, 8, codeEntries, 0x00);
    return R::success(pages);
}

Result<KeyPages> encodeOneOffCodeKey(const FacilityBytes &fc, const QStringList &allLocks, const QStringList &codes)
{
    LockSetupMission m;
    m.facility = fc;
    m.lockSerials = allLocks;
    m.flags = content::kOneOffCodes;
    m.oneOffCodes = codes;
    return encodeLockSetup(m);
}

QStringList lockListAt(const QByteArray &image, int firstPage, int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i) {
        const int page = firstPage + i / 8;
        if (page > kLastPage)
            break;
        out.append(serialTextAt(pageOf(image, page), 8 * (i % 8)));
    }
    return out;
}

LockSetupContents decodeLockSetup(const QByteArray &image)
{
    LockSetupContents c;
    const QByteArray p0 = pageOf(image, 0);
    const QByteArray p1 = pageOf(image, 1);
    c.flags = byteAt(p1, 0);
    c.classroomSchedule = byteAt(p1, 3) == kOn;
    c.lockSerials = lockListAt(image, kLockListFirstPage, qMin(getU16(p0, 9), kMaxLocks));
    if (c.flags & content::kTables)
        for (int i = 0; i < 16; ++i)
            c.scheduleBlock += pageOf(image, kScheduleFirstPage + i);
    if (c.flags & content::kUsers) {
        const int n = qMin(getU16(p1, 4), kMaxUsers);
        for (int i = 0; i < n; ++i) {
            const QByteArray p = pageOf(image, kUserFirstPage + i / kUsersPerPage);
            const auto u = decodeUserRecord(p.mid(20 * (i % kUsersPerPage), kUserRecordSize));
            if (u)
                c.users.append(u.value);
        }
    }
    if (c.flags & content::kOneOffCodes) {
        for (int i = 0; i < kMaxOneOffCodes; ++i) {
            const QByteArray e = pageOf(image, kOneOffFirstPage + i / 8).mid(8 * (i % 8), 8);
            const int n = byteAt(e, 0);
            if (n == 0 || n > kMaxDigitCode)
                break; // the zero-filled entry after the last code
            c.oneOffCodes.append(nibbleDigits(e, 1, 5, n));
        }
    }
    return c;
}

} // namespace keyformat
