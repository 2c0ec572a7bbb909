#include "TestDataDir.h"

#include "ibutton/Checksums.h"
#include "ibutton/EmulatedBus.h"
#include "ibutton/KeyCheck.h"
#include "ibutton/PageTransfer.h"
#include "ibutton/VirtualReader.h"
#include "keyformat/AuditTrail.h"
#include "keyformat/KeyMissionWriter.h"
#include "keyformat/LockReadBack.h"
#include "keyformat/SystemSetupMission.h"
#include "lockemu/EmulatedLock.h"

#include <QtTest>

using namespace onewire;

// A program key's whole journey on the emulated hardware: a mission written
// through the reader, locks touched with the key, the answer read back page by
// page through the reader and decoded, and the key surviving a restart.
class TestKeyJourney : public QObject
{
    Q_OBJECT

    const keyformat::FacilityBytes m_site{{0x13, 0x57, 0x90}};

    static KeyTransferContext contextFor(VirtualReader &reader)
    {
        KeyTransferContext ctx;
        ctx.bus = &reader.bus();
        ctx.portNumber = 1;
        ctx.portType = kUsbPortType;
        return ctx;
    }

    // Reads the whole key back through the page transfer, as Read Key does.
    static QByteArray readWholeKey(KeyTransferContext &ctx)
    {
        QByteArray image;
        for (int page = 0; page < kDS1977Pages; ++page) {
            const QByteArray p = readDS1977PageWithRetries(ctx, page);
            if (p.size() != 64)
                return {};
            image += p;
        }
        return image;
    }

    static void touch(VirtualReader &reader, const QString &key, lockemu::EmulatedLock &lock, const QDateTime &at)
    {
        auto image = reader.readImage(key);
        QVERIFY(image.ok);
        const auto answer = lock.touch(image.value, key, at);
        QVERIFY2(answer.accepted, qPrintable(answer.text));
        QVERIFY(reader.writeImage(key, image.value).ok);
    }

private slots:
    void newLocksReportThroughTheKey()
    {
        TestDataDir dir(false);
        const QDateTime now(QDate(2026, 4, 1), QTime(9, 0, 0));
        QString key;
        QStringList lockSerials;
        {
            VirtualReader reader(dir.path());
            auto created = reader.createKey(VirtualKeyKind::DS1977);
            QVERIFY(created.ok);
            key = created.value;
            QVERIFY(reader.putOnReader(key).ok);

            KeyTransferContext ctx = contextFor(reader);
            QVERIFY(IsOneWirePortOK(ctx, KeyCheckWindow::SetupNewLock));
            QCOMPARE(romBufferText(ctx.rom), key);

            keyformat::SystemSetupMission setup;
            setup.facility = m_site;
            setup.motorPulseTenths = 10;
            setup.lockBackDelayTenths = 50;
            setup.clock = now;
            const auto pages = keyformat::encodeSystemSetup(setup);
            QVERIFY(pages.ok);
            const auto written = keyformat::writeMissionToKey(ctx, pages.value);
            QVERIFY2(written.ok, qPrintable(written.error));

            // Two factory-new locks take the setup and leave their numbers on the key.
            for (uint64_t n : {0x11ULL, 0x22ULL}) {
                lockemu::EmulatedLock lock(serialTextFromBus(makeRomId(0x3A, n)), {{0x48, 0x26, 0x15}});
                touch(reader, key, lock, now.addSecs(60));
                QVERIFY(!lock.inSetupMode());
                QCOMPARE(lock.facility(), m_site);
                lockSerials << lock.serialId();
            }
            QCOMPARE(reader.bus().openSessions(), 0);
        }

        // After a restart the key is still on the reader with what the locks wrote.
        VirtualReader again(dir.path());
        QCOMPARE(again.onReader(), QStringList{key});
        KeyTransferContext ctx = contextFor(again);
        QVERIFY(IsOneWirePortOK(ctx, KeyCheckWindow::ReadKey));
        const QByteArray image = readWholeKey(ctx);
        QCOMPARE(image.size(), 32768);
        // User memory as stored in the key's file (page 511 holds the passwords, which never read back).
        QCOMPARE(image.left(511 * 64), again.readImage(key).value.left(511 * 64));
        const auto list = keyformat::decodeNewLockList(image);
        QCOMPARE(list.locksTaken, 2);
        QCOMPARE(list.serials, lockSerials);
    }

    void auditTrailComesBackThroughTheKey()
    {
        TestDataDir dir(false);
        VirtualReader reader(dir.path());
        const QString key = reader.createKey(VirtualKeyKind::DS1977).value;
        QVERIFY(reader.putOnReader(key).ok);
        KeyTransferContext ctx = contextFor(reader);
        QVERIFY(IsOneWirePortOK(ctx, KeyCheckWindow::GetAuditTrail));

        // A lock of this site, set up with a system setup key first.
        const QDateTime t0(QDate(2026, 4, 2), QTime(8, 0, 0));
        lockemu::EmulatedLock lock(serialTextFromBus(makeRomId(0x3A, 0x33)), {{0x48, 0x26, 0x15}});
        keyformat::SystemSetupMission setup;
        setup.facility = m_site;
        setup.clock = t0;
        QVERIFY(keyformat::writeMissionToKey(ctx, keyformat::encodeSystemSetup(setup).value).ok);
        touch(reader, key, lock, t0);

        // Somebody types an unknown code at the lock.
        const auto refused = lock.enterCode(QStringLiteral("4711"), t0.addSecs(3600));
        QVERIFY(!refused.accepted);

        const auto request = keyformat::encodeAuditRequest(0x01, m_site);
        QVERIFY(request.ok);
        QVERIFY(keyformat::writeMissionToKey(ctx, request.value).ok);
        touch(reader, key, lock, t0.addSecs(7200));

        const auto audit = keyformat::decodeSingleLockAudit(readWholeKey(ctx));
        QVERIFY(audit.touched);
        QCOMPARE(audit.lockSerial, lock.serialId());
        bool found = false;
        for (const auto &r : audit.run.records)
            if (r.serialId.contains(QLatin1String("4711")) && r.time == t0.addSecs(3600))
                found = true;
        QVERIFY2(found, "the typed code is not among the records read back");
    }
};

QTEST_GUILESS_MAIN(TestKeyJourney)
#include "tst_keyjourney.moc"
