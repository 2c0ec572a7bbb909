#include "KeyImageBuilders.h"
#include "keyformat/AuditTrail.h"
#include "keyformat/KeyImageReport.h"
#include "keyformat/LockReadBack.h"
#include "keyformat/LockSetupMission.h"
#include "keyformat/MaintenanceMissions.h"
#include "keyformat/MissionHeader.h"
#include "keyformat/MultipleMission.h"
#include "lockemu/EmulatedLock.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace keyformat;

namespace {

// Bytes that steer decoders into their branches: markers, counts at their
// limits, BCD edges and plain noise.
uint8_t interestingByte(QRandomGenerator &rng)
{
    static const uint8_t picks[] = {0x00, 0x01, 0x02, 0x03, 0x0D, 0x12, 0x24, 0x31, 0x59,
                                    0x5A, 0x60, 0x99, 0xAA, 0xE0, 0xF9, 0xFB, 0xFE, 0xFF};
    if (rng.bounded(3) == 0)
        return static_cast<uint8_t>(rng.bounded(256));
    return picks[rng.bounded(int(sizeof picks))];
}

QByteArray randomImage(QRandomGenerator &rng, int size)
{
    QByteArray img(size, char(0xFF));
    for (int i = 0; i < size; ++i)
        img[i] = static_cast<char>(interestingByte(rng));
    return img;
}

const QList<QByteArray> &headers()
{
    static const QList<QByteArray> h{QByteArray("WRITE\x00", 6), QByteArray("WRITE\x01", 6), QByteArray("WRITE\x02", 6),
                                     QByteArray("WRITE\x03", 6), QByteArray("WRITE\x05", 6), QByteArray("READ\x00", 5),
                                     QByteArray("READ\x01", 5),  QByteArray("READ\x02", 5),  QByteArray("READ\x03", 5),
                                     QByteArray("READ\xE0", 5),  QByteArray("READ\xFB", 5),  QByteArray("READ\xFC", 5),
                                     QByteArray("READ\xFE", 5),  QByteArray("RE", 2),        QByteArray()};
    return h;
}

} // namespace

class TestKeyDecodersRobustness : public QObject
{
    Q_OBJECT

private slots:
    // Every decoder, and an emulated lock, is fed generated images of every
    // mission type, of the right size and of wrong sizes. Nothing may crash or
    // read outside the image (the AddressSanitizer build checks the latter).
    void generatedImages_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("rounds");
        QTest::newRow("empty") << 0 << 20;
        QTest::newRow("one byte") << 1 << 20;
        QTest::newRow("short page") << 63 << 40;
        QTest::newRow("one page") << 64 << 40;
        QTest::newRow("truncated") << 5000 << 60;
        QTest::newRow("one byte short") << kImageSize - 1 << 40;
        QTest::newRow("full") << kImageSize << 300;
        QTest::newRow("too long") << kImageSize + 77 << 20;
    }
    void generatedImages()
    {
        QFETCH(int, size);
        QFETCH(int, rounds);
        QRandomGenerator rng(0xC0FFEE + size);
        int described = 0;
        for (int round = 0; round < rounds; ++round) {
            QByteArray img = randomImage(rng, size);
            const QByteArray &h = headers().at(round % headers().size());
            img.replace(0, qMin(h.size(), img.size()), h.left(img.size()));

            const MissionHeader hdr = parseHeader(img.left(64));
            QVERIFY(!hdr.kind.isEmpty());
            const auto reg = [](const QString &id) { return id.endsWith(QLatin1String("01")); };
            decodeSingleLockAudit(img, reg);
            decodeMultiLockAudit(img, reg);
            decodeLockInformation(img);
            decodeNewLockList(img);
            decodeLockSetup(img);
            decodeMultipleMission(img);
            decodeLockout(img);
            decodeOneOffKey(img);
            decodeParameterKey(img.left(64));
            systemCodeIsIntact(img.left(64));
            decodeScheduleBlock(img.left(kScheduleBlockSize));
            decodeUserRecord(img.mid(100, 20));
            decodeInfoUser(img.mid(100, 32));
            decodeAuditRecord(img.mid(200, 16), reg);

            const auto d = describeKeyImage(img);
            QCOMPARE(d.ok, size == kImageSize);
            if (d.ok) {
                ++described;
                QVERIFY(!describeKeyImageText(d.value).isEmpty());
            } else {
                QVERIFY(d.error.contains(QString::number(size)));
            }

            lockemu::EmulatedLock lock(keytest::serial(0x2D, 1), keytest::facility(round % 2 ? "482615" : "FFFFFF"));
            if (round % 3 == 0)
                lock.pressReset();
            else
                lock.touch(img, keytest::serial(0x37, 1), QDateTime(QDate(2026, 1, 1), QTime(0, 0)));
            QByteArray copy = img;
            lock.touch(copy, keytest::serial(0x37, 1), QDateTime(QDate(2026, 1, 1), QTime(0, 0)));
            QCOMPARE(copy.size(), img.size());
        }
        QCOMPARE(described, size == kImageSize ? rounds : 0);
    }

    // Counts at their largest: decoders stop at the end of the key.
    void countsAtTheirLimits()
    {
        QByteArray img = blankImage();
        QByteArray p0 = headerPage(HeaderForm::Read, 0x01, keytest::facility());
        p0.replace(8, 10, QByteArray(10, char(0x01)));
        putPage(img, 0, p0);
        putPage(img, 1, QByteArray(64, char(0xFF)));
        const SingleLockAudit a = decodeSingleLockAudit(img);
        QCOMPARE(a.recordsInKey, 0xFFFF);
        QCOMPARE(a.run.skippedByRules, kMaxSingleKeyRecords);

        putPage(img, 1, QByteArray(64, char(0x01)).replace(16, 8, QByteArray(8, char(0x2D))));
        QByteArray p1 = pageOf(img, 1);
        p1.replace(49, 2, QByteArray(2, char(0xFF)));
        putPage(img, 1, p1);
        QCOMPARE(decodeLockInformation(img).users.size(), kMaxInfoUsers);

        QByteArray m0 = headerPage(HeaderForm::Read, 0xFB, keytest::facility());
        m0.replace(8, 2, QByteArray("\x00\x19", 2));
        putPage(img, 0, m0);
        putPage(img, 1, QByteArray(64, char(0xFF)));
        const MultiLockAudit m = decodeMultiLockAudit(img);
        QCOMPARE(m.locksAudited, 255);
        QCOMPARE(m.blocks.size(), 63);
        QVERIFY(!m.problem.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestKeyDecodersRobustness)
#include "tst_keydecoders_robustness.moc"
