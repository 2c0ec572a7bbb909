#include "IButtonTestBus.h"
#include "ibutton/Checksums.h"
#include "ibutton/KeyCheck.h"

#include <QtTest>

using namespace onewire;

Q_DECLARE_METATYPE(onewire::KeyCheckWindow)

class TestKeyCheck : public QObject
{
    Q_OBJECT

private slots:
    // Which family each window accepts: the key found must land in the ROM
    // buffer, a refused one must leave it alone and say nothing.
    void acceptedFamilies_data()
    {
        QTest::addColumn<KeyCheckWindow>("window");
        QTest::addColumn<int>("family");
        QTest::addColumn<bool>("accepted");
        using W = KeyCheckWindow;
        QTest::newRow("single-lock DS1977") << W::SingleLockProgramming << 0x37 << true;
        QTest::newRow("single-lock DS1961S") << W::SingleLockProgramming << 0x33 << false;
        QTest::newRow("setup new lock DS1961S") << W::SetupNewLock << 0x33 << false;
        QTest::newRow("maintenance DS1961S") << W::LockMaintenanceProgramKey << 0x33 << true;
        QTest::newRow("read key DS1961S") << W::ReadKey << 0x33 << true;
        QTest::newRow("copy settings DS1961S") << W::CopyLockSettings << 0x33 << true;
        QTest::newRow("maintenance DS1994") << W::LockMaintenanceDS1994 << 0x04 << true;
        QTest::newRow("maintenance DS1994 given DS1904") << W::LockMaintenanceDS1994 << 0x24 << false;
        QTest::newRow("maintenance DS1904") << W::LockMaintenanceDS1904 << 0x24 << true;
        QTest::newRow("multi-lock user iButton") << W::MultiLockProgramming << 0x01 << false;
        QTest::newRow("get audit trail DS1977") << W::GetAuditTrail << 0x37 << true;
    }
    void acceptedFamilies()
    {
        QFETCH(KeyCheckWindow, window);
        QFETCH(int, family);
        QFETCH(bool, accepted);
        IButtonTestBus bus;
        // A user's iButton on the reader as well, so the search has to pass it by.
        bus.attach(std::make_shared<EmulatedDevice>(makeRomId(0x01, 0x123456)));
        const RomId key = makeRomId(uint8_t(family), 0xABCDEF0102ULL);
        bus.attach(std::make_shared<EmulatedDevice>(key));
        bus.ctx.rom.fill(0x77);

        QCOMPARE(IsOneWirePortOK(bus.ctx, window), accepted);
        QVERIFY(bus.messages.isEmpty());
        QCOMPARE(bus.openSessions(), 0);
        RomBuffer expected{};
        if (accepted)
            std::copy(key.begin(), key.end(), expected.begin());
        else
            expected.fill(0x77);
        QCOMPARE(bus.ctx.rom, expected);
    }

    // The failures before the search, each with the window's own text.
    void readerFailures_data()
    {
        QTest::addColumn<KeyCheckWindow>("window");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        using W = KeyCheckWindow;
        const int info = int(KeyMessageKind::Information);
        const int err = int(KeyMessageKind::Error);
        QTest::newRow("wrong port") << W::SingleLockProgramming << "port" << info
                                    << "Please check your PC iButton Reader is on the right port!";
        QTest::newRow("wrong port, audit trail") << W::GetAuditTrail << "port" << info
                                                 << "Please check your PC iButton reader is on the right port!";
        QTest::newRow("setup fails") << W::ReadKey << "setup" << err << "Please Check your PC iButton Reader!";
        QTest::newRow("setup fails, audit trail") << W::GetAuditTrail << "setup" << err
                                                  << "Please Check your PC iButton reader!";
        QTest::newRow("search, single-lock") << W::SingleLockProgramming << "search" << err
                                             << "Please Plug in your DS1977 Key.";
        QTest::newRow("search, read key") << W::ReadKey << "search" << err << "Please Plug in your DS1977 Key!";
        QTest::newRow("search, time key") << W::LockMaintenanceDS1904 << "search" << err
                                          << "Please Plug in your DS1994/DS1904 Key.";
        QTest::newRow("search, remote code") << W::RemoteCode << "search" << err << "Please Plug in your Key.";
        QTest::newRow("search, audit trail") << W::GetAuditTrail << "search" << err
                                             << "Please Plug in your iButton Key.";
        QTest::newRow("no session") << W::SingleLockProgramming << "silent" << -1 << "";
        QTest::newRow("empty reader") << W::SingleLockProgramming << "empty" << -1 << "";
    }
    void readerFailures()
    {
        QFETCH(KeyCheckWindow, window);
        QFETCH(QString, fault);
        QFETCH(int, kind);
        QFETCH(QString, text);
        IButtonTestBus bus;
        if (fault != QLatin1String("empty"))
            bus.attach(std::make_shared<EmulatedDevice>(makeRomId(0x37, 42)));
        if (fault == QLatin1String("port"))
            bus.setPort(3);
        else if (fault == QLatin1String("setup"))
            bus.setSetupFails(true);
        else if (fault == QLatin1String("search"))
            bus.familySearchFails = true;
        else if (fault == QLatin1String("silent"))
            bus.setStartGivesUp(true);

        QVERIFY(!IsOneWirePortOK(bus.ctx, window));
        QCOMPARE(bus.openSessions(), 0);
        if (kind < 0) {
            QVERIFY(bus.messages.isEmpty());
        } else {
            QCOMPARE(bus.messages.size(), 1);
            QCOMPARE(int(bus.messages[0].first), kind);
            QCOMPARE(bus.messages[0].second, text);
        }
    }

    void readButtonId_data()
    {
        QTest::addColumn<QList<quint64>>("userSerials");
        QTest::addColumn<int>("expectedIndex"); // -1: nothing found
        QTest::newRow("reader chip only") << QList<quint64>{} << -1;
        QTest::newRow("one key") << QList<quint64>{0x0A0B0C} << 0;
        QTest::newRow("two keys: the later one found replaces the first") << QList<quint64>{0x01, 0x80} << 1;
    }
    void readButtonId()
    {
        QFETCH(QList<quint64>, userSerials);
        QFETCH(int, expectedIndex);
        IButtonTestBus bus;
        QList<RomId> keys;
        for (quint64 s : userSerials) {
            keys << makeRomId(0x01, s);
            bus.attach(std::make_shared<EmulatedDevice>(keys.last()));
        }
        RomBytes chip{};
        const RomId chipRom = makeRomId(0x81, 0x0000000A1B2CULL);
        std::copy(chipRom.begin(), chipRom.end(), chip.begin());
        const QString readerId = serialTextFromBus(chip);

        // The search order of the line decides which key is "later".
        QStringList order;
        searchOrder(bus, order);
        QString expected;
        if (expectedIndex >= 0) {
            QStringList keyTexts = order;
            keyTexts.removeAll(readerId);
            expected = keyTexts.last();
        }
        const QString found = ReadButtonID(bus.ctx, readerId);
        QCOMPARE(found, expected);
        QVERIFY(found.isEmpty() || isValidSerialText(found));
        QCOMPARE(bus.openSessions(), 0);
        QVERIFY(bus.messages.isEmpty());
    }

    void readButtonIdReadKeyVariantResetsOnce()
    {
        IButtonTestBus bus;
        const RomId key = makeRomId(0x37, 0x0A);
        bus.attach(std::make_shared<EmulatedDevice>(key));
        RomBytes b{};
        std::copy(key.begin(), key.end(), b.begin());
        const QString chip = serialTextFromBus([] {
            RomBytes c{};
            const RomId r = makeRomId(0x81, 0x0000000A1B2CULL);
            std::copy(r.begin(), r.end(), c.begin());
            return c;
        }());
        QCOMPARE(ReadButtonID(bus.ctx, chip, ReadButtonVariant::Plain), serialTextFromBus(b));
        QCOMPARE(bus.resets, 0);
        QCOMPARE(ReadButtonID(bus.ctx, chip, ReadButtonVariant::ReadKey), serialTextFromBus(b));
        QCOMPARE(bus.resets, 1);

        bus.forceStartResult(-1);
        QCOMPARE(ReadButtonID(bus.ctx, chip), QString());
        bus.forceStartResult(0);
        bus.setSetupFails(true);
        QCOMPARE(ReadButtonID(bus.ctx, chip), QString());
        QCOMPARE(bus.openSessions(), 0);
    }

private:
    // The numbers in the order the line's search finds them.
    static void searchOrder(IButtonTestBus &bus, QStringList &order)
    {
        const int32_t h = bus.startSession(1, kUsbPortType);
        for (int r = bus.first(h); r == 1; r = bus.next(h)) {
            RomBuffer rom{};
            bus.rom(h, rom);
            order << romBufferText(rom);
        }
        bus.endSession(h);
    }
};

QTEST_GUILESS_MAIN(TestKeyCheck)
#include "tst_keycheck.moc"
