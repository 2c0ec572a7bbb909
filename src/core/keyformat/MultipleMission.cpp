#include "MultipleMission.h"

#include "KeyEncoding.h"
#include "MissionHeader.h"

#include <QSet>

namespace keyformat {

namespace {

QByteArray blockHeader(const onewire::RomBytes &rom, uint8_t kind)
{
    QByteArray h = blankPage();
    putRom(h, 0, rom);
    for (int i = 8; i <= 17; ++i)
        setByte(h, i, 0x00);
    setByte(h, 8, kind);
    return h;
}

// The 19 data pages of a user block: up to 57 records, three per page.
KeyPages userBlockPages(int firstDataPage, const QVector<QByteArray> &records)
{
    KeyPages pages;
    for (int i = 0; i < kBlockPages - 1; ++i) {
        QByteArray p = blankPage();
        for (int s = 0; s < 3; ++s) {
            const int r = 3 * i + s;
            if (r < records.size())
                p.replace(20 * s, kUserRecordSize, records.at(r));
        }
        pages.append(makePage(firstDataPage + i, p));
    }
    return pages;
}

} // namespace

Result<KeyPages> encodeMultiLockMission(const FacilityBytes &fc, const QVector<MultiLockTarget> &locks)
{
    using R = Result<KeyPages>;
    QSet<int> tabs;
    for (const MultiLockTarget &t : locks) {
        if (t.tab < 0 || t.tab >= kMultiLockTabs)
            return R::failure(QStringLiteral("A multi-lock key has tabs 1 to %1 only.").arg(kMultiLockTabs));
        if (tabs.contains(t.tab))
            return R::failure(QStringLiteral("Lock %1 is given twice.").arg(t.tab + 1));
        tabs.insert(t.tab);
        if (t.users.size() > kMaxMultiLockUsers)
            return R::failure(QStringLiteral("A lock on a multi-lock key takes at most %1 users; lock %2 has %3.")
                                  .arg(kMaxMultiLockUsers)
                                  .arg(t.lockSerial)
                                  .arg(t.users.size()));
    }

    KeyPages pages;
    int blocks = 0;
    for (int tab = 0; tab < kMultiLockTabs; ++tab) {
        const MultiLockTarget *t = nullptr;
        for (const MultiLockTarget &c : locks)
            if (c.tab == tab)
                t = &c;
        if (!t)
            continue;
        onewire::RomBytes rom{};
        if (!onewire::busFromSerialText(t->lockSerial, rom))
            return R::failure(
                QStringLiteral("The lock serial ID \"%1\" is not a registration number.").arg(t->lockSerial));
        QVector<QByteArray> records;
        for (const LockUser &u : t->users) {
            const auto rec = encodeUserRecord(u);
            if (!rec)
                return R::failure(rec.error);
            records.append(rec.value);
        }
        const int base = 60 * tab;

        QByteArray sh = blockHeader(rom, block::kSchedule);
        setByte(sh, 15, kOn);
        pages.append(makePage(base + 1, sh));
        pages += scheduleBlockPages(encodeScheduleBlock(t->tables), base + 2);

        QByteArray uh = blockHeader(rom, block::kUsers);
        setByte(uh, 12, kOn);
        setByte(uh, 13, static_cast<uint8_t>(qMin<int>(records.size(), kUsersPerBlock)));
        pages.append(makePage(base + 21, uh));
        pages += userBlockPages(base + 22, records.mid(0, kUsersPerBlock));

        pages.append(makePage(base + 41, blankPage()));
        if (records.size() > kUsersPerBlock) {
            QByteArray ch = blockHeader(rom, block::kContinuation);
            setByte(ch, 13, static_cast<uint8_t>(records.size() - kUsersPerBlock));
            pages.append(makePage(base + 41, ch));
            pages += userBlockPages(base + 42, records.mid(kUsersPerBlock));
        }
        blocks += 3;
    }

    QByteArray p0 = headerPage(HeaderForm::Write, mission::kMultiple, fc);
    setByte(p0, 6, static_cast<uint8_t>(blocks));
    pages.append(makePage(0, p0));
    return R::success(pages);
}

Result<KeyPages> encodeDeleteCodeMission(const FacilityBytes &fc, const QString &lockSerial,
                                         const QVector<DeleteCodeEntry> &codes, bool clearMemory)
{
    using R = Result<KeyPages>;
    if (codes.size() > kMaxDeleteCodes)
        return R::failure(QStringLiteral("A delete-code key holds at most %1 codes; %2 are selected.")
                              .arg(kMaxDeleteCodes)
                              .arg(codes.size()));
    onewire::RomBytes rom{};
    if (!onewire::busFromSerialText(lockSerial, rom))
        return R::failure(QStringLiteral("The lock serial ID \"%1\" is not a registration number.").arg(lockSerial));
    QByteArray h = blockHeader(rom, clearMemory ? block::kDeleteCodesClear : block::kDeleteCodes);
    setByte(h, 16, clearMemory ? kOn : kOff);
    setByte(h, 17, static_cast<uint8_t>(codes.size()));
    KeyPages pages{makePage(1, h)};

    QVector<QByteArray> entries;
    for (const DeleteCodeEntry &c : codes) {
        if (!c.startDate.isValid() || !c.endDate.isValid())
            return R::failure(QStringLiteral("A code to delete has no valid start or end date."));
        QByteArray e(16, char(0xFF));
        auto put = [&](int at, const QDateTime &dt) {
            const BcdStamp s = stampFrom(dt);
            setByte(e, at, s.year);
            setByte(e, at + 1, s.month);
            setByte(e, at + 2, s.day);
            setByte(e, at + 3, s.hour);
            setByte(e, at + 4, 0x00);
        };
        put(0, c.startDate);
        put(5, c.endDate);
        setByte(e, 10, c.once ? 0x00 : 0x01);
        setByte(e, 11, static_cast<uint8_t>(qBound(0, c.version, 255)));
        entries.append(e);
    }
    for (int i = 0; i < kBlockPages - 1; ++i) {
        QByteArray p = blankPage();
        for (int s = 0; s < 4; ++s)
            if (4 * i + s < entries.size())
                p.replace(16 * s, 16, entries.at(4 * i + s));
        pages.append(makePage(2 + i, p));
    }
    QByteArray p0 = headerPage(HeaderForm::Write, mission::kMultiple, fc);
    setByte(p0, 6, 1);
    pages.append(makePage(0, p0));
    return R::success(pages);
}

MultipleMissionContents decodeMultipleMission(const QByteArray &image)
{
    MultipleMissionContents c;
    c.blockCount = byteAt(pageOf(image, 0), 6);
    // Every block position a key can hold; positions that name no lock are left out.
    for (int b = 0; 20 * b + kBlockPages <= kLastPage; ++b) {
        const int hp = 20 * b + 1;
        const QByteArray h = pageOf(image, hp);
        if (isAllFF(h, 0, 8))
            continue;
        const uint8_t kind = byteAt(h, 8);
        MissionBlock mb;
        mb.index = b;
        mb.headerPage = hp;
        mb.lockSerial = serialTextAt(h, 0);
        mb.kind = kind;
        if (kind == block::kSchedule) {
            mb.kindText = QStringLiteral("schedule tables");
            for (int i = 0; i < 16; ++i)
                mb.scheduleBlock += pageOf(image, hp + 1 + i);
        } else if (kind == block::kUsers || kind == block::kContinuation) {
            mb.kindText = kind == block::kUsers ? QStringLiteral("users") : QStringLiteral("more users");
            mb.userCount = qMin<int>(byteAt(h, 13), kUsersPerBlock);
            for (int r = 0; r < mb.userCount; ++r) {
                const QByteArray p = pageOf(image, hp + 1 + r / 3);
                const auto u = decodeUserRecord(p.mid(20 * (r % 3), kUserRecordSize));
                if (u)
                    mb.users.append(u.value);
            }
        } else if (kind == block::kDeleteCodes || kind == block::kDeleteCodesClear) {
            mb.kindText = QStringLiteral("codes to delete");
            mb.clearMemory = kind == block::kDeleteCodesClear;
            mb.codeCount = qMin<int>(byteAt(h, 17), kMaxDeleteCodes);
            for (int r = 0; r < mb.codeCount; ++r) {
                const QByteArray e = pageOf(image, hp + 1 + r / 4).mid(16 * (r % 4), 16);
                DeleteCodeEntry d;
                BcdStamp s{byteAt(e, 0), byteAt(e, 1), byteAt(e, 2), byteAt(e, 3), 0x00, 0x00};
                BcdStamp t{byteAt(e, 5), byteAt(e, 6), byteAt(e, 7), byteAt(e, 8), 0x00, 0x00};
                d.startDate = stampToDateTime(s);
                d.endDate = stampToDateTime(t);
                d.once = byteAt(e, 10) == 0x00;
                d.version = byteAt(e, 11);
                mb.codes.append(d);
            }
        } else {
            mb.kindText = QStringLiteral("unknown block kind 0x%1")
                              .arg(QStringLiteral("%1").arg(kind, 2, 16, QLatin1Char('0')).toUpper());
        }
        c.blocks.append(mb);
    }
    return c;
}

} // namespace keyformat
