#include "IButtonTestBus.h"
#include "common/Clock.h"
#include "ibutton/ClockKeyTransfer.h"
#include "ibutton/EmulatedClockKeys.h"

#include <QtTest>

using namespace onewire;

namespace {

const std::array<uint8_t, 3> kFacility{{0x12, 0x34, 0x56}};

uint32_t countAt(const TimeCardBuffer &b, int first)
{
    return uint32_t(b[size_t(first)]) | uint32_t(b[size_t(first + 1)]) << 8 | uint32_t(b[size_t(first + 2)]) << 16
           | uint32_t(b[size_t(first + 3)]) << 24;
}

} // namespace

class TestClockKey : public QObject
{
    Q_OBJECT

    QDateTime m_now{QDate(2026, 3, 14), QTime(15, 9, 26)};

private slots:
    void init() { Clock::freezeAt(m_now); }
    void cleanup() { Clock::reset(); }

    void clockCount_data()
    {
        QTest::addColumn<QDateTime>("time");
        QTest::addColumn<quint32>("count");
        QTest::addColumn<QByteArray>("lowFirst");
        QTest::newRow("one day and a second") << QDateTime(QDate(1970, 1, 2), QTime(0, 0, 1)) << 86401u
                                              << QByteArray::fromHex("81510100");
        QTest::newRow("half a second rounds up") << QDateTime(QDate(1970, 1, 1), QTime(0, 0, 0, 500)) << 1u
                                                 << QByteArray::fromHex("01000000");
        QTest::newRow("2026") << QDateTime(QDate(2026, 3, 14), QTime(15, 9, 26)) << 1773500966u
                              << QByteArray::fromHex("267ab569");
    }
    void clockCount()
    {
        QFETCH(QDateTime, time);
        QFETCH(quint32, count);
        QFETCH(QByteArray, lowFirst);
        const uint32_t c = onewire::clockCount(time);
        QCOMPARE(c, count);
        const char bytes[4] = {char(c), char(c >> 8), char(c >> 16), char(c >> 24)};
        QCOMPARE(QByteArray(bytes, 4), lowFirst);
        QCOMPARE(clockCountToDateTime(c), QDateTime(time.date(), QTime(time.time().hour(), time.time().minute(),
                                                                      time.time().second()))
                                              .addSecs(time.time().msec() >= 500 ? 1 : 0));
    }

    // Page 0 and the clock go onto the DS1994 and come back; the clock runs on.
    void ds1994RoundTrip()
    {
        IButtonTestBus bus;
        auto key = std::make_shared<EmulatedDS1994>(makeRomId(0x04, 0x1994));
        bus.attach(key);
        bus.selectKey(key->romId());

        QVERIFY(WriteTimeCard(bus.ctx, kFacility));
        QCOMPARE(bus.openSessions(), 0);
        const auto page = timeKeyPage(kFacility);
        for (int i = 0; i < 32; ++i)
            QCOMPARE(key->read(i), page[size_t(i)]);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(page.data()), 8), QByteArray("READ\xFD\x12\x34\x56", 8));
        QCOMPARE(key->read(0x201), uint8_t(0x10));
        QCOMPARE(key->secondsCounter(), onewire::clockCount(m_now));

        Clock::freezeAt(m_now.addSecs(75));
        TimeCardBuffer out{};
        out.fill(0xEE);
        QVERIFY(ReadTimeCard(bus.ctx, out));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(out.data()), 32),
                 QByteArray(reinterpret_cast<const char *>(page.data()), 32));
        QCOMPARE(countAt(out, 32), onewire::clockCount(m_now) + 75);
        for (size_t i = 36; i < out.size(); ++i)
            QCOMPARE(out[i], uint8_t(0));
        QCOMPARE(bus.openSessions(), 0);
        QVERIFY(bus.messages.isEmpty());
    }

    // A read-back that differs repeats the block; one that never matches ends
    // with false after a bounded number of tries and copies nothing.
    void ds1994Verify_data()
    {
        QTest::addColumn<int>("skip");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("ok");
        // Page block: 3 command bytes + 32 data, then 0xAA + TA1, TA2, E/S + 32 read back.
        QTest::newRow("last byte of the page read-back once") << 3 + 32 + 4 + 31 << 1 << true;
        // The clock block follows the page's copy (4 bytes).
        QTest::newRow("last byte of the clock read-back once") << 71 + 4 + 3 + 6 + 4 + 5 << 1 << true;
        QTest::newRow("line noisy for good") << 0 << (1 << 30) << false;
    }
    void ds1994Verify()
    {
        QFETCH(int, skip);
        QFETCH(int, count);
        QFETCH(bool, ok);
        long long cleanBytes = 0;
        for (bool corrupt : {false, true}) {
            IButtonTestBus bus;
            auto key = std::make_shared<EmulatedDS1994>(makeRomId(0x04, 0x1994));
            bus.attach(key);
            bus.selectKey(key->romId());
            bus.resetBusTime();
            if (corrupt)
                bus.corruptAfterBytes(skip, EmulatedBus::Direction::FromDevice, 0x01, count);
            const bool written = WriteTimeCard(bus.ctx, kFacility);
            QCOMPARE(bus.openSessions(), 0);
            if (!corrupt) {
                QVERIFY(written);
                cleanBytes = bus.lineBytes();
                continue;
            }
            QCOMPARE(written, ok);
            QCOMPARE(key->read(4), ok ? uint8_t(0xFD) : uint8_t(0x00));
            if (ok) {
                QCOMPARE(key->secondsCounter(), onewire::clockCount(m_now));
                // The block was written a second time.
                QVERIFY(bus.lineBytes() > cleanBytes);
            }
        }
    }

    void ds1904RoundTrip()
    {
        IButtonTestBus bus;
        auto key = std::make_shared<EmulatedDS1904>(makeRomId(0x24, 0x1904));
        key->setClock(5, 0x00); // stopped, far off
        bus.attach(key);
        bus.selectKey(key->romId());

        QVERIFY(WriteTimeCard1(bus.ctx));
        QCOMPARE(key->control(), uint8_t(0x0C));
        QCOMPARE(key->secondsCounter(), onewire::clockCount(m_now));

        Clock::freezeAt(m_now.addSecs(3600));
        TimeCardBuffer out{};
        QVERIFY(ReadTimeCard1(bus.ctx, out));
        QCOMPARE(out[0], uint8_t(0x0C));
        QCOMPARE(countAt(out, 1), onewire::clockCount(m_now) + 3600);
        QCOMPARE(bus.openSessions(), 0);
    }

    // The reset warnings and an absent or pulled key end every routine with false.
    void failures_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("warning");
        QTest::newRow("shorted") << "shorted" << "MicroLan shorted!";
        QTest::newRow("alarming") << "alarming" << "Alarming device on MicroLan!";
        QTest::newRow("key not on reader") << "absent" << "";
        QTest::newRow("wrong port") << "port" << "";
    }
    void failures()
    {
        QFETCH(QString, fault);
        QFETCH(QString, warning);
        IButtonTestBus bus;
        auto ds1994 = std::make_shared<EmulatedDS1994>(makeRomId(0x04, 0x1994));
        auto ds1904 = std::make_shared<EmulatedDS1904>(makeRomId(0x24, 0x1904));
        bus.attach(ds1994);
        bus.attach(ds1904);
        if (fault == "shorted")
            bus.forceResetResult(ResetShorted);
        else if (fault == "alarming")
            bus.forceResetResult(ResetAlarming);
        else if (fault == "port")
            bus.setPort(2);
        const RomId absent = makeRomId(0x04, 0x7777);
        TimeCardBuffer out{};

        bus.selectKey(fault == "absent" ? absent : ds1994->romId());
        QVERIFY(!WriteTimeCard(bus.ctx, kFacility));
        QVERIFY(!ReadTimeCard(bus.ctx, out));
        bus.selectKey(fault == "absent" ? makeRomId(0x24, 0x7777) : ds1904->romId());
        QVERIFY(!WriteTimeCard1(bus.ctx));
        QVERIFY(!ReadTimeCard1(bus.ctx, out));
        QCOMPARE(bus.openSessions(), 0);
        const QStringList expected = warning.isEmpty() ? QStringList() : QStringList(4, warning);
        QCOMPARE(bus.texts(), expected);
    }

    // A DS1904 pulled off between its selection and the read does not pass
    // for a clock reading of all ones.
    void ds1904PulledDuringRead()
    {
        IButtonTestBus bus;
        auto key = std::make_shared<EmulatedDS1904>(makeRomId(0x24, 0x1904));
        bus.attach(key);
        bus.selectKey(key->romId());
        bus.pullAfterBytes(key->romId(), 1);
        TimeCardBuffer out{};
        QVERIFY(!ReadTimeCard1(bus.ctx, out));
        QCOMPARE(bus.openSessions(), 0);
    }
};

QTEST_GUILESS_MAIN(TestClockKey)
#include "tst_clockkey.moc"
