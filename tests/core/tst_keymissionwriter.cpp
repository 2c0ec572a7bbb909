#include "IButtonTestBus.h"

#include "ibutton/Checksums.h"
#include "ibutton/EmulatedDS1977.h"
#include "ibutton/KeyCheck.h"
#include "ibutton/PageTransfer.h"
#include "keyformat/KeyMissionWriter.h"
#include "keyformat/MaintenanceMissions.h"
#include "keyformat/MissionHeader.h"

#include <QtTest>

using namespace onewire;

// Missions written through the real page transfer onto an emulated DS1977.
class TestKeyMissionWriter : public QObject
{
    Q_OBJECT

    keyformat::KeyPages lockoutPages()
    {
        keyformat::LockoutMission m;
        m.facility = {{0x12, 0x34, 0x56}};
        for (uint64_t i = 0; i < 20; ++i) // three lock-list pages after page 0
            m.lockSerials << serialTextFromBus(makeRomId(0x3A, 0x500 + i));
        const auto pages = keyformat::encodeLockout(m);
        return pages.value;
    }

private slots:
    void missionLandsOnTheKeyPageByPage()
    {
        IButtonTestBus bus;
        auto key = std::make_shared<EmulatedDS1977>(makeRomId(0x37, 0x777));
        bus.attach(key);
        QVERIFY(IsOneWirePortOK(bus.ctx, KeyCheckWindow::LockMaintenanceProgramKey));
        const auto pages = lockoutPages();
        QVERIFY(pages.size() > 1);
        QList<int> progress;
        const auto r = keyformat::writeMissionToKey(bus.ctx, pages, [&](int done, int) { progress << done; });
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.pagesWritten, pages.size());
        QCOMPARE(progress.last(), int(pages.size()));
        for (const auto &p : pages)
            QCOMPARE(key->memory().mid(p.number * 64, 64), p.data);
        QCOMPARE(keyformat::parseHeader(key->memory().left(64)).name, keyformat::parseHeader(pages.first().data).name);
        QCOMPARE(bus.openSessions(), 0);
    }

    void pulledKeyStopsAtTheFailingPage()
    {
        IButtonTestBus bus;
        const RomId rom = makeRomId(0x37, 0x778);
        auto key = std::make_shared<EmulatedDS1977>(rom);
        bus.attach(key);
        QVERIFY(IsOneWirePortOK(bus.ctx, KeyCheckWindow::LockMaintenanceProgramKey));
        const auto pages = lockoutPages();
        // Enough bytes for the first page, then the key leaves the reader.
        bus.pullAfterBytes(rom, 200);
        const auto r = keyformat::writeMissionToKey(bus.ctx, pages);
        QVERIFY(!r.ok);
        QVERIFY(r.failedPage >= 0);
        QVERIFY(r.pagesWritten < pages.size());
        QVERIFY(!r.error.isEmpty());
        QCOMPARE(bus.openSessions(), 0);
        // What was written before the failure stays on the key.
        for (int i = 0; i < r.pagesWritten; ++i)
            QCOMPARE(key->memory().mid(pages[i].number * 64, 64), pages[i].data);
    }
};

QTEST_GUILESS_MAIN(TestKeyMissionWriter)
#include "tst_keymissionwriter.moc"
