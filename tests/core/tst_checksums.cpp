#include "ibutton/Checksums.h"

#include <QtTest>

using namespace onewire;

class TestChecksums : public QObject
{
    Q_OBJECT

private slots:
    void checkValues()
    {
        const QByteArray digits("123456789");
        const auto *d = reinterpret_cast<const uint8_t *>(digits.constData());
        QCOMPARE(crc16(d, 9), uint16_t(0xBB3D));
        const uint8_t cmd = 0x0F;
        QCOMPARE(crc16(&cmd, 1), uint16_t(0x0440));
        QCOMPARE(crc8(d, 9), uint8_t(0xA1));
        const uint8_t first[] = {0, 1, 2, 3};
        QCOMPARE(crc8Step(0, first[1]), uint8_t(94));
        QCOMPARE(crc8Step(0, first[2]), uint8_t(188));
        QCOMPARE(crc8Step(0, first[3]), uint8_t(226));
    }

    void bcd_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("bcd");
        QTest::newRow("0") << 0 << 0x00;
        QTest::newRow("59") << 59 << 0x59;
        QTest::newRow("99") << 99 << 0x99;
    }
    void bcd()
    {
        QFETCH(int, value);
        QFETCH(int, bcd);
        QCOMPARE(int(toBcd(value)), bcd);
        QCOMPARE(fromBcd(uint8_t(bcd)), value);
    }

    void changeDigit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("9") << "9" << 9;
        QTest::newRow("A") << "A" << 10;
        QTest::newRow("F") << "F" << 15;
        QTest::newRow("lower a") << "a" << 16;
        QTest::newRow("G") << "G" << 16;
        QTest::newRow("two chars") << "AB" << 16;
    }
    void changeDigit()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(Change(text), value);
    }

    void registrationNumberText()
    {
        // Family 0x0A serial bytes: each element is always two digits.
        RomBytes bus{{0x37, 0x0A, 0x00, 0x01, 0x02, 0x03, 0x04, 0x00}};
        bus[7] = crc8(bus.data(), 7);
        const QString text = serialTextFromBus(bus);
        QCOMPARE(text.size(), 16);
        QVERIFY(text.endsWith(QLatin1String("37")));
        QVERIFY(text.mid(12, 2) == QLatin1String("0A"));
        RomBytes back{};
        QVERIFY(busFromSerialText(text, back));
        QCOMPARE(back, bus);
        QVERIFY(isValidSerialText(text));
        QString broken = text;
        broken[2] = broken[2] == QLatin1Char('0') ? QLatin1Char('1') : QLatin1Char('0');
        QVERIFY(!isValidSerialText(broken));
        QVERIFY(!isValidSerialText(text.toLower()));
        QVERIFY(!isValidSerialText(text.left(15)));
    }
};

QTEST_GUILESS_MAIN(TestChecksums)
#include "tst_checksums.moc"
