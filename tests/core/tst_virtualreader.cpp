#include "common/Clock.h"
#include "ibutton/Checksums.h"
#include "ibutton/ClockKeyTransfer.h"
#include "ibutton/KeyCheck.h"
#include "ibutton/PageTransfer.h"
#include "ibutton/VirtualReader.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace onewire;

Q_DECLARE_METATYPE(onewire::VirtualKeyKind)

namespace {

KeyTransferContext contextFor(VirtualReader &reader)
{
    KeyTransferContext ctx;
    ctx.bus = &reader.bus();
    return ctx;
}

QString keyFile(const QTemporaryDir &dir, const QString &name) { return dir.filePath("emulator/keys/" + name); }

} // namespace

class TestVirtualReader : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Clock::reset(); }

    void createKey_data()
    {
        QTest::addColumn<VirtualKeyKind>("kind");
        QTest::addColumn<int>("family");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("fileSize");
        QTest::newRow("DS1977") << VirtualKeyKind::DS1977 << 0x37 << "bin" << 32768;
        QTest::newRow("DS1961S") << VirtualKeyKind::DS1961S << 0x33 << "ds1961s" << 0;
        QTest::newRow("DS1994") << VirtualKeyKind::DS1994 << 0x04 << "ds1994" << 556;
        QTest::newRow("DS1904") << VirtualKeyKind::DS1904 << 0x24 << "ds1904" << 13;
        QTest::newRow("user iButton") << VirtualKeyKind::UserButton << 0x01 << "button" << 0;
    }
    void createKey()
    {
        QFETCH(VirtualKeyKind, kind);
        QFETCH(int, family);
        QFETCH(QString, file);
        QFETCH(int, fileSize);
        QTemporaryDir dir;
        VirtualReader reader(dir.path());
        QSet<QString> seen;
        for (int i = 0; i < 20; ++i) {
            const auto created = reader.createKey(kind);
            QVERIFY2(created.ok, qPrintable(created.error));
            const QString id = created.value;
            QVERIFY(isValidSerialText(id));
            QCOMPARE(id.right(2).toInt(nullptr, 16), family);
            QVERIFY(!seen.contains(id));
            seen.insert(id);
            QCOMPARE(QFileInfo(keyFile(dir, id + "." + file)).size(), qint64(fileSize));
        }
        QCOMPARE(reader.keys().size(), 20);
        QVERIFY(reader.onReader().isEmpty());
        // Another session sees the same keys.
        VirtualReader again(dir.path());
        QCOMPARE(again.keys().size(), 20);
        QVERIFY(again.loadProblems().isEmpty());
    }

    // Putting a key on the reader makes it visible to the key check; taking it
    // off hides it; both survive a restart.
    void onAndOffTheReader()
    {
        QTemporaryDir dir;
        QString id;
        {
            VirtualReader reader(dir.path());
            id = reader.createKey(VirtualKeyKind::DS1977).value;
            KeyTransferContext ctx = contextFor(reader);
            QVERIFY(!IsOneWirePortOK(ctx, KeyCheckWindow::SingleLockProgramming));
            QVERIFY(reader.putOnReader(id).ok);
            QCOMPARE(reader.onReader(), QStringList{id});
            QVERIFY(IsOneWirePortOK(ctx, KeyCheckWindow::SingleLockProgramming));
            QCOMPARE(romBufferText(ctx.rom), id);
            QCOMPARE(ReadButtonID(ctx, reader.readerChipId()), id);
            QVERIFY(!reader.putOnReader(QStringLiteral("0000000000000037")).ok);
        }
        {
            VirtualReader reader(dir.path());
            QCOMPARE(reader.onReader(), QStringList{id});
            QVERIFY(reader.keys().first().onReader);
            QVERIFY(reader.takeOff(id).ok);
        }
        VirtualReader reader(dir.path());
        QVERIFY(reader.onReader().isEmpty());
    }

    // Pages written through the bus are in the key's file at once, page p at
    // 64 * p, and a new session reads them back through the bus.
    void writesPersistAtOnce()
    {
        QTemporaryDir dir;
        QString id;
        QByteArray page(64, 0);
        for (int i = 0; i < 64; ++i)
            page[i] = char(i * 3);
        {
            VirtualReader reader(dir.path());
            id = reader.createKey(VirtualKeyKind::DS1977).value;
            reader.putOnReader(id);
            KeyTransferContext ctx = contextFor(reader);
            QVERIFY(IsOneWirePortOK(ctx, KeyCheckWindow::SetupNewLock));
            QVERIFY(writeDS1977PageWithRetries(ctx, 100, page));
            QFile f(keyFile(dir, id + ".bin"));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll().mid(6400, 64), page);
            QCOMPARE(reader.readImage(id).value.mid(6400, 64), page);
        }
        VirtualReader reader(dir.path());
        KeyTransferContext ctx = contextFor(reader);
        QVERIFY(IsOneWirePortOK(ctx, KeyCheckWindow::ReadKey));
        QCOMPARE(readDS1977PageWithRetries(ctx, 100), page);
    }

    void images()
    {
        QTemporaryDir dir;
        VirtualReader reader(dir.path());
        const QString key = reader.createKey(VirtualKeyKind::DS1977).value;
        const QString clock = reader.createKey(VirtualKeyKind::DS1994).value;
        QByteArray image(32768, char(0x5A));
        QVERIFY(reader.writeImage(key, image).ok);
        QCOMPARE(reader.readImage(key).value, image);
        QFile f(keyFile(dir, key + ".bin"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), image);

        QVERIFY(!reader.writeImage(key, image.left(100)).ok);
        QCOMPARE(reader.readImage(key).value, image);
        QVERIFY(!reader.readImage(clock).ok);
        QVERIFY(!reader.writeImage(clock, image).ok);
        QVERIFY(!reader.readImage(QStringLiteral("nonsense")).ok);
    }

    // A time key keeps its clock across a restart, and the clock runs meanwhile.
    void clockSurvivesRestart()
    {
        const QDateTime t0(QDate(2026, 5, 1), QTime(8, 0, 0));
        Clock::freezeAt(t0);
        QTemporaryDir dir;
        QString id;
        {
            VirtualReader reader(dir.path());
            id = reader.createKey(VirtualKeyKind::DS1904).value;
            reader.putOnReader(id);
        }
        Clock::freezeAt(t0.addSecs(90));
        VirtualReader reader(dir.path());
        KeyTransferContext ctx = contextFor(reader);
        QVERIFY(IsOneWirePortOK(ctx, KeyCheckWindow::LockMaintenanceDS1904));
        TimeCardBuffer out{};
        QVERIFY(ReadTimeCard1(ctx, out));
        const uint32_t count = uint32_t(out[1]) | uint32_t(out[2]) << 8 | uint32_t(out[3]) << 16 | uint32_t(out[4]) << 24;
        QCOMPARE(count, clockCount(t0) + 90);
    }

    // A damaged key file is reported and left as it is, never rewritten.
    void damagedFilesAreReported()
    {
        QTemporaryDir dir;
        QString id;
        {
            VirtualReader reader(dir.path());
            id = reader.createKey(VirtualKeyKind::DS1977).value;
        }
        const QString path = keyFile(dir, id + ".bin");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("short");
        }
        QFile bad(keyFile(dir, "0123456789ABCDEF.bin"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray(32768, 0));
        bad.close();

        VirtualReader reader(dir.path());
        QCOMPARE(reader.loadProblems().size(), 2);
        QVERIFY(reader.keys().isEmpty());
        QCOMPARE(QFileInfo(path).size(), qint64(5));
    }

    // A key pulled off by the bus's fault switch is off the reader for the panel too.
    void pulledKeyLeavesTheReader()
    {
        QTemporaryDir dir;
        VirtualReader reader(dir.path());
        const QString id = reader.createKey(VirtualKeyKind::DS1977).value;
        reader.putOnReader(id);
        KeyTransferContext ctx = contextFor(reader);
        QVERIFY(IsOneWirePortOK(ctx, KeyCheckWindow::SingleLockProgramming));
        RomBytes rom{};
        busFromSerialText(id, rom);
        RomId r{};
        std::copy(rom.begin(), rom.end(), r.begin());
        reader.bus().pullAfterBytes(r, 20);
        QVERIFY(!writeDS1977PageWithRetries(ctx, 1, QByteArray(64, char(1))));
        QVERIFY(reader.onReader().isEmpty());
        QVERIFY(VirtualReader(dir.path()).onReader().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestVirtualReader)
#include "tst_virtualreader.moc"
