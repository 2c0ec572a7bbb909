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
        return R::failure(QStringLiteral("A key holds at most %1 users; this mission has %2.").arg(kMaxUsers).arg(userCount));
    if (m.lockSerials.size() > kMaxLocks)
        return R::failure(
            QStringLiteral("A key holds at most %1 locks; this mission has %2.").arg(kMaxLocks).arg(m.lockSerials.size()));
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
                return R::failure(QStringLiteral("The one-off code \"%1\" must be 1 to %2 digits.").arg(code).arg(kMaxDigitCode));
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

} // namespace keyformat
