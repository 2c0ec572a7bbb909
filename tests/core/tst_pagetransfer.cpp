#include "IButtonTestBus.h"
#include "ibutton/Checksums.h"
#include "ibutton/EmulatedDS1977.h"
#include "ibutton/KeyPassword.h"
#include "ibutton/PageTransfer.h"

#include <QtTest>

using namespace onewire;

namespace {

PageData pattern(int seed)
{
    PageData d{};
    for (size_t i = 0; i < d.size(); ++i)
        d[i] = uint8_t(seed * 7 + int(i) * 13);
    return d;
}

QByteArray pageOf(const EmulatedDS1977 &key, int page) { return key.memory().mid(page * 64, 64); }
QByteArray bytes(const PageData &d) { return QByteArray(reinterpret_cast<const char *>(d.data()), int(d.size())); }

// A reader with one DS1977 carrying the program's password, selected in the context.
struct Fixture
{
    IButtonTestBus bus;
    std::shared_ptr<EmulatedDS1977> key;
    Fixture()
    {
        key = std::make_shared<EmulatedDS1977>(makeRomId(0x37, 0x1977));
        key->setPasswords(keyPassword(), keyPassword(), true);
        bus.attach(key);
        bus.selectKey(key->romId());
    }
};

} // namespace

class TestPageTransfer : public QObject
{
    Q_OBJECT

private slots:
    void targetAddress_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("ta1");
        QTest::addColumn<int>("ta2");
        QTest::newRow("0") << 0 << 0x00 << 0x00;
        QTest::newRow("352") << 352 << 0x00 << 0x58;
        QTest::newRow("477") << 477 << 0x40 << 0x77;
        QTest::newRow("511") << 511 << 0xC0 << 0x7F;
    }
    void targetAddress()
    {
        QFETCH(int, page);
        QFETCH(int, ta1);
        QFETCH(int, ta2);
        QCOMPARE(int(pageTA1(page)), ta1);
        QCOMPARE(int(pageTA2(page)), ta2);
    }

    // A page written lands exactly at 64 * p, its neighbours untouched, and
    // reads back identical with the transfer's CRC in bytes 64-65.
    void writeThenRead_data()
    {
        QTest::addColumn<int>("page");
        QTest::newRow("first") << 0;
        QTest::newRow("352") << 352;
        QTest::newRow("477") << 477;
        QTest::newRow("last user page") << 510;
    }
    void writeThenRead()
    {
        QFETCH(int, page);
        Fixture f;
        const QByteArray before = f.key->memory();
        const PageData data = pattern(page);

        QVERIFY(WriteDS1977Data(f.bus.ctx, page, data));
        QCOMPARE(f.bus.openSessions(), 0);
        QCOMPARE(pageOf(*f.key, page), bytes(data));
        QByteArray expected = before;
        expected.replace(page * 64, 64, bytes(data));
        QCOMPARE(f.key->memory(), expected);

        PageReadBuffer read{};
        QVERIFY(ReadDS1977Data(f.bus.ctx, page, read));
        QCOMPARE(f.bus.openSessions(), 0);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(read.data()), 64), bytes(data));
        // The CRC-16 of the transfer: command, TA1, TA2 and the data.
        const uint8_t head[] = {0x69, pageTA1(page), pageTA2(page)};
        const uint16_t crc = crc16(data.data(), data.size(), crc16(head, 3));
        QCOMPARE(int(read[64] | (read[65] << 8)), int(crc));
        QVERIFY(f.bus.messages.isEmpty());
        QVERIFY(f.bus.pumps > 0);
    }

    void byteArrayWrappers()
    {
        Fixture f;
        const QByteArray data = bytes(pattern(3));
        QVERIFY(writeDS1977PageWithRetries(f.bus.ctx, 12, data));
        QCOMPARE(readDS1977PageWithRetries(f.bus.ctx, 12), data);
        QVERIFY(!writeDS1977PageWithRetries(f.bus.ctx, 12, data.left(63)));
        QVERIFY(!WriteDS1977Data(f.bus.ctx, 512, pattern(1)));
    }

    // Every reset result but presence gives its warning and flag 0; the
    // wrapper shows it once per attempt.
    void microLanWarnings_data()
    {
        QTest::addColumn<int>("reset");
        QTest::addColumn<QString>("text");
        QTest::newRow("no device") << int(ResetNoDevice) << "No device on MicroLan!";
        QTest::newRow("alarming") << int(ResetAlarming) << "Alarming device on MicroLan!";
        QTest::newRow("shorted") << int(ResetShorted) << "MicroLan shorted!";
        QTest::newRow("not set up") << int(ResetNotSetUp) << "MicroLan not setup!";
        QTest::newRow("not supported") << int(ResetNotSupported) << "TMTouchReset not supported!";
    }
    void microLanWarnings()
    {
        QFETCH(int, reset);
        QFETCH(QString, text);
        Fixture f;
        f.bus.forceResetResult(reset);
        QVERIFY(!writeDS1977PageWithRetries(f.bus.ctx, 1, pattern(1)));
        QCOMPARE(f.bus.texts(), QStringList({text, text, text}));
        QCOMPARE(f.bus.messages[0].first, KeyMessageKind::Warning);
        f.bus.messages.clear();
        PageReadBuffer out{};
        QVERIFY(!ReadDS1977Data(f.bus.ctx, 1, out));
        QCOMPARE(f.bus.texts(), QStringList({text}));
        QCOMPARE(f.bus.openSessions(), 0);
        QCOMPARE(f.key->copiesDone(), 0);
    }

    // Faults on the line or the key: each single call ends false (bounded,
    // no hang) or, where the device's CRC lets the routine repeat a block,
    // still succeeds with the right data.
    void writeFaults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("param");
        QTest::addColumn<bool>("singleCallOk");
        QTest::addColumn<bool>("withRetriesOk");
        QTest::newRow("port gives up") << "start0" << 0 << false << false;
        QTest::newRow("wrong port") << "port" << 0 << false << false;
        QTest::newRow("setup fails") << "setup" << 0 << false << false;
        QTest::newRow("key not on reader") << "absent" << 0 << false << false;
        QTest::newRow("pulled in the command") << "pull" << 2 << false << false;
        QTest::newRow("pulled in the data") << "pull" << 30 << false << false;
        QTest::newRow("pulled before the CRC") << "pull" << 67 << false << false;
        QTest::newRow("pulled before the copy") << "pull" << 75 << false << false;
        // 3 command bytes + 64 data bytes, then the key's CRC.
        QTest::newRow("CRC byte corrupted once") << "crc" << 67 << true << true;
        QTest::newRow("data byte corrupted on the way in") << "echo" << 10 << false << true;
        QTest::newRow("line noisy for good") << "noise" << 0 << false << false;
        QTest::newRow("copy not confirmed once") << "copy" << 1 << false << true;
        QTest::newRow("copy never confirmed") << "copy" << 1000 << false << false;
        QTest::newRow("key with another password") << "password" << 0 << false << false;
    }
    void writeFaults()
    {
        QFETCH(QString, fault);
        QFETCH(int, param);
        QFETCH(bool, singleCallOk);
        QFETCH(bool, withRetriesOk);
        for (bool retries : {false, true}) {
            Fixture f;
            const QByteArray before = pageOf(*f.key, 5);
            if (fault == "start0")
                f.bus.setStartGivesUp(true);
            else if (fault == "port")
                f.bus.setPort(4);
            else if (fault == "setup")
                f.bus.setSetupFails(true);
            else if (fault == "absent")
                f.bus.selectKey(makeRomId(0x37, 0x9999));
            else if (fault == "pull")
                f.bus.pullAfterBytes(f.key->romId(), param);
            else if (fault == "crc")
                f.bus.corruptAfterBytes(param, EmulatedBus::Direction::FromDevice);
            else if (fault == "echo")
                f.bus.corruptAfterBytes(param, EmulatedBus::Direction::ToDevice);
            else if (fault == "noise")
                f.bus.corruptAfterBytes(param, EmulatedBus::Direction::FromDevice, 0x10, 1 << 30);
            else if (fault == "copy")
                f.key->failNextCopies(param);
            else if (fault == "password")
                f.key->setPasswords(keyPassword(), {1, 2, 3, 4, 5, 6, 7, 8}, true);

            const PageData data = pattern(9);
            const bool ok = retries ? writeDS1977PageWithRetries(f.bus.ctx, 5, data) : WriteDS1977Data(f.bus.ctx, 5, data);
            QCOMPARE(ok, retries ? withRetriesOk : singleCallOk);
            QCOMPARE(f.bus.openSessions(), 0);
            QCOMPARE(pageOf(*f.key, 5), ok ? bytes(data) : before);
            QVERIFY(f.bus.messages.isEmpty());
        }
    }

    void readFaults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("param");
        QTest::addColumn<bool>("ok");
        // 3 command bytes and 8 password bytes come before the page data.
        QTest::newRow("data byte corrupted once") << "corrupt" << 30 << true;
        QTest::newRow("CRC byte corrupted once") << "corrupt" << 11 + 65 << true;
        QTest::newRow("line noisy for good") << "noise" << 0 << false;
        QTest::newRow("pulled in the password") << "pull" << 6 << false;
        QTest::newRow("pulled in the data") << "pull" << 40 << false;
        QTest::newRow("key not on reader") << "absent" << 0 << false;
        QTest::newRow("wrong password refused") << "password" << 0 << false;
        QTest::newRow("password checking off") << "nopassword" << 0 << true;
    }
    void readFaults()
    {
        QFETCH(QString, fault);
        QFETCH(int, param);
        QFETCH(bool, ok);
        Fixture f;
        const PageData data = pattern(4);
        QVERIFY(WriteDS1977Data(f.bus.ctx, 7, data));
        if (fault == "corrupt")
            f.bus.corruptAfterBytes(param, EmulatedBus::Direction::FromDevice, 0x80);
        else if (fault == "noise")
            f.bus.corruptAfterBytes(param, EmulatedBus::Direction::FromDevice, 0x04, 1 << 30);
        else if (fault == "pull")
            f.bus.pullAfterBytes(f.key->romId(), param);
        else if (fault == "absent")
            f.bus.selectKey(makeRomId(0x37, 0x9999));
        else if (fault == "password")
            f.key->setPasswords({8, 7, 6, 5, 4, 3, 2, 1}, {8, 7, 6, 5, 4, 3, 2, 1}, true);
        else if (fault == "nopassword")
            f.key->setPasswords({8, 7, 6, 5, 4, 3, 2, 1}, {8, 7, 6, 5, 4, 3, 2, 1}, false);

        PageReadBuffer out{};
        QCOMPARE(readDS1977PageWithRetries(f.bus.ctx, 7, out), ok);
        QCOMPARE(f.bus.openSessions(), 0);
        if (ok)
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(out.data()), 64), bytes(data));
        QVERIFY(f.bus.messages.isEmpty());
    }

    // The device itself refuses a copy that is not exactly right, whoever sends it.
    void deviceRefusesCopy_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("good copy") << "";
        QTest::newRow("wrong password") << "password";
        QTest::newRow("no strong pull-up") << "pullup";
        QTest::newRow("wrong E/S") << "es";
        QTest::newRow("wrong address") << "address";
    }
    void deviceRefusesCopy()
    {
        QFETCH(QString, fault);
        Fixture f;
        EmulatedBus &bus = f.bus;
        const int32_t h = bus.startSession(1, kUsbPortType);
        RomBuffer rom = f.bus.ctx.rom;
        bus.rom(h, rom);
        QCOMPARE(bus.access(h), 1);
        uint8_t block[3 + 64 + 2];
        block[0] = 0x0F;
        block[1] = 0x40; // page 1
        block[2] = 0x00;
        for (int i = 0; i < 64; ++i)
            block[3 + i] = uint8_t(i);
        block[67] = block[68] = 0xFF;
        QCOMPARE(bus.blockStream(h, block, int(sizeof block)), int(sizeof block));
        const uint16_t crc = uint16_t(~(block[67] | (block[68] << 8)));
        QCOMPARE(crc, crc16(block, 67));

        QCOMPARE(bus.access(h), 1);
        uint8_t copy[12] = {0x99, 0x40, 0x00, 0x3F};
        std::copy(keyPassword().begin(), keyPassword().end(), copy + 4);
        if (fault == "password")
            copy[11] ^= 0x01;
        if (fault == "es")
            copy[3] = 0x3E;
        if (fault == "address")
            copy[1] = 0x80;
        bus.blockStream(h, copy, 12);
        if (fault != "pullup")
            bus.oneWireLevel(h, 0, 1, 0);
        const int answer = bus.touchByte(h, 0xFF);
        bus.endSession(h);

        const bool good = fault.isEmpty();
        QCOMPARE(answer, good ? 0xAA : 0xFF);
        QCOMPARE(f.key->memory().mid(64, 4), good ? QByteArray::fromHex("00010203") : QByteArray(4, char(0xFF)));
    }

    // The password page never reads back its passwords; Verify Password and
    // Read Version answer as the device does.
    void devicePasswordPage()
    {
        Fixture f;
        PageReadBuffer out{};
        QVERIFY(ReadDS1977Data(f.bus.ctx, 511, out));
        for (int i = 0; i < 16; ++i)
            QCOMPARE(int(out[size_t(i)]), 0xFF);
        QCOMPARE(int(out[16]), 0xAA);

        EmulatedBus &bus = f.bus;
        auto verify = [&](const std::array<uint8_t, 8> &pw) {
            const int32_t h = bus.startSession(1, kUsbPortType);
            RomBuffer rom = f.bus.ctx.rom;
            bus.rom(h, rom);
            bus.access(h);
            uint8_t cmd[11] = {0xC3, 0xC8, 0x7F};
            std::copy(pw.begin(), pw.end(), cmd + 3);
            bus.blockStream(h, cmd, 11);
            bus.oneWireLevel(h, 0, 1, 0);
            const int r = bus.touchByte(h, 0xFF);
            bus.access(h);
            uint8_t version[5] = {0xCC, 0x00, 0x00, 0xFF, 0xFF};
            bus.blockStream(h, version, 5);
            bus.endSession(h);
            return QList<int>{r, version[3], version[4]};
        };
        const int v = EmulatedDS1977::kVersion;
        QCOMPARE(verify(keyPassword()), QList<int>({0xAA, v, v}));
        QCOMPARE(verify({0, 0, 0, 0, 0, 0, 0, 0}), QList<int>({0xFF, v, v}));
    }

    // The time one transfer would take on a standard-speed line, and in overdrive.
    void busTime()
    {
        Fixture f;
        f.bus.resetBusTime();
        QVERIFY(WriteDS1977Data(f.bus.ctx, 3, pattern(3)));
        const BusTime write = f.bus.busTime();
        f.bus.resetBusTime();
        PageReadBuffer out{};
        QVERIFY(ReadDS1977Data(f.bus.ctx, 3, out));
        const BusTime read = f.bus.busTime();
        // Physical figures: a page write about 0.1 s, a read about 50 ms;
        // overdrive several times faster on the same traffic.
        QVERIFY2(write.standardTotalMicros() > 80000 && write.standardTotalMicros() < 120000,
                 qPrintable(QString::number(write.standardTotalMicros())));
        QVERIFY2(read.standardTotalMicros() > 40000 && read.standardTotalMicros() < 65000,
                 qPrintable(QString::number(read.standardTotalMicros())));
        QVERIFY(write.overdriveTotalMicros() < write.standardTotalMicros() / 2);
        QVERIFY(read.overdriveTotalMicros() < read.standardTotalMicros() / 3);
    }
};

QTEST_GUILESS_MAIN(TestPageTransfer)
#include "tst_pagetransfer.moc"
