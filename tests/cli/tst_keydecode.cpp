#include "KeyCommands.h"
#include "KeyImageBuilders.h"
#include "TestDataDir.h"
#include "keyformat/AuditTrail.h"
#include "keyformat/LockSetupMission.h"
#include "keyformat/MaintenanceMissions.h"
#include "keyformat/MultipleMission.h"
#include "keyformat/SystemSetupMission.h"
#include "lockemu/EmulatedLock.h"
#include "store/Database.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace keyformat;

namespace {

const QDateTime kNow(QDate(2026, 12, 3), QTime(12, 30, 0));
const QString kProgramKey = keytest::serial(0x37, 0x42);

// A lock that has been set up, programmed with two users and used a little.
lockemu::EmulatedLock usedLock()
{
    lockemu::EmulatedLock lock(keytest::serial(0x2D, 1), keytest::facility("000000"));
    SystemSetupMission s;
    s.facility = keytest::facility();
    s.clock = kNow;
    QByteArray key = keytest::imageOf(encodeSystemSetup(s).value);
    lock.touch(key, kProgramKey, kNow);
    LockSetupMission m;
    m.facility = keytest::facility();
    m.lockSerials = {lock.serialId()};
    LockUser a;
    a.userType = QStringLiteral("KeyCode");
    a.keyCode = QStringLiteral("2468");
    LockUser b;
    b.userType = QStringLiteral("iButton");
    b.serialId = keytest::serial(0x01, 9);
    m.users = {a, b};
    key = keytest::imageOf(encodeLockSetup(m).value);
    lock.touch(key, kProgramKey, kNow);
    lock.enterCode(QStringLiteral("2468"), kNow);
    lock.presentKey(keytest::serial(0x01, 10), kNow.addSecs(5));
    lock.presentKey(b.serialId, kNow.addSecs(10));
    return lock;
}

QByteArray answered(const KeyPages &request)
{
    QByteArray key = keytest::imageOf(request);
    lockemu::EmulatedLock lock = usedLock();
    lock.touch(key, kProgramKey, kNow);
    return key;
}

} // namespace

class TestKeyDecodeCli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    struct Run
    {
        int code = -1;
        QString out, err;
    };
    Run corvanectl(const QStringList &args)
    {
        QProcess p;
        p.start(qEnvironmentVariable("CORVANECTL"), args);
        if (!p.waitForFinished(30000))
            return {};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(!qEnvironmentVariableIsEmpty("CORVANECTL"));
        QVERIFY(m_dir.isValid());
    }

    void describesEachKind_data()
    {
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<QStringList>("textHas");
        QTest::addColumn<QString>("jsonPath"); // "a/b/0/c" into the JSON
        QTest::addColumn<QString>("jsonValue");
        const FacilityBytes fc = keytest::facility();
        QTest::newRow("single-lock audit") << answered(encodeAuditRequest(0x01, fc).value)
                                           << QStringList{"Mission: Get Audit Trail Key (READ type 0x01)",
                                                          "Facility code: 482615",
                                                          "Open Lock With Code(Storehouse Mode)",
                                                          "Invalid Key",
                                                          "Initialize Lock",
                                                          "[Perm.]",
                                                          "Skipped records: 0"}
                                           << "contents/records/2/serialId"
                                           << "2468";
        QTest::newRow("multi-lock audit")
            << answered(encodeAuditRequest(0xFB, fc, 25).value)
            << QStringList{"Multi-Lock Audit Trail Key", "Locks audited: 1", "Pages per lock: 8"}
            << "contents/blocks/0/recordsInBlock"
            << "5";
        QTest::newRow("information") << answered(encodeGetInformation(fc))
                                     << QStringList{"Get Information Key", "User Number: 2", "Battery Voltage: 4.8",
                                                    "code=2468"}
                                     << "contents/lockInformation/Lock Serial ID" << keytest::serial(0x2D, 1);
        SystemSetupMission s;
        s.facility = fc;
        s.clock = kNow;
        lockemu::EmulatedLock fresh(keytest::serial(0x2D, 3), fc);
        QByteArray setup = keytest::imageOf(encodeSystemSetup(s).value);
        fresh.touch(setup, kProgramKey, kNow);
        QTest::newRow("new lock setup") << setup
                                        << QStringList{"New Lock Setup Mission Key",
                                                       "Time in lock: 2026-12-03 12:30:00", keytest::serial(0x2D, 3)}
                                        << "contents/locksTaken"
                                        << "1";
        LockSetupMission m;
        m.facility = fc;
        m.lockSerials = {keytest::serial(0x2D, 1)};
        LockUser u;
        u.userType = QStringLiteral("KeyCode");
        u.keyCode = QStringLiteral("90210");
        u.timeShiftId = 4;
        m.users = {u};
        QTest::newRow("lock setup") << keytest::imageOf(encodeLockSetup(m).value)
                                    << QStringList{"Key Management Mission Key", "keyCode=90210", "Content flags: 0x1C"}
                                    << "contents/users/0/timeShiftId"
                                    << "4";
        MultiLockTarget t{1, keytest::serial(0x2D, 1), {}, {u}};
        QTest::newRow("multiple") << keytest::imageOf(encodeMultiLockMission(fc, {t}).value)
                                  << QStringList{"Multi-Lock Key", "Block count: 3", "Kind: users"}
                                  << "contents/blocks/1/page"
                                  << "81";
        QTest::newRow("system code") << keytest::imageOf(encodeSystemCode(fc))
                                     << QStringList{"System Code Key, not named by Read Key", "System code intact: yes"}
                                     << "type"
                                     << "0x05";
    }
    void describesEachKind()
    {
        QFETCH(QByteArray, image);
        QFETCH(QStringList, textHas);
        QFETCH(QString, jsonPath);
        QFETCH(QString, jsonValue);
        const QString file = write(QStringLiteral("key.bin"), image);
        const Run text = corvanectl({QStringLiteral("key"), QStringLiteral("decode"), file});
        QCOMPARE(text.code, keycli::kOk);
        for (const QString &s : textHas)
            QVERIFY2(text.out.contains(s), qPrintable(s + QStringLiteral(" missing from:\n") + text.out));

        const Run json = corvanectl({QStringLiteral("key"), QStringLiteral("decode"), file, QStringLiteral("--json")});
        QCOMPARE(json.code, keycli::kOk);
        QJsonParseError e{};
        const QJsonDocument doc = QJsonDocument::fromJson(json.out.toUtf8(), &e);
        QCOMPARE(e.error, QJsonParseError::NoError);
        QJsonValue v = doc.object();
        for (const QString &step : jsonPath.split(QLatin1Char('/'))) {
            bool isIndex = false;
            const int i = step.toInt(&isIndex);
            v = isIndex ? v.toArray().at(i) : v.toObject().value(step);
        }
        QCOMPARE(v.toVariant().toString(), jsonValue);
    }

    void namesUserKeysFromTheDatabase()
    {
        const QString file =
            write(QStringLiteral("audit.bin"), answered(encodeAuditRequest(0x01, keytest::facility()).value));
        const QStringList args{QStringLiteral("key"), QStringLiteral("decode"), file, QStringLiteral("--data")};
        const QString user = keytest::serial(0x01, 9);
        const QString opened = QStringLiteral("Open Lock With Key(Storehouse Mode)  ") + user;

        QTemporaryDir empty;
        const Run without = corvanectl(args + QStringList{empty.path()});
        QCOMPARE(without.code, keycli::kOk);
        QVERIFY(!without.out.contains(opened));
        QVERIFY(without.out.contains(QStringLiteral("Unknown Type  ") + user));
        QVERIFY(without.out.contains(QStringLiteral("give --data DIR")));

        TestDataDir site;
        QVERIFY2(site.ok(), qPrintable(site.error()));
        QSqlQuery q(store::Database::connection());
        QVERIFY(q.exec(QStringLiteral("INSERT INTO KeyManagement (KeyID, SerialID, FirstName, LastName, Status) "
                                      "VALUES (1, '%1', 'Ada', 'Byron', 'Active')")
                           .arg(user)));
        const Run with = corvanectl(args + QStringList{site.path()});
        QCOMPARE(with.code, keycli::kOk);
        QVERIFY2(with.out.contains(opened), qPrintable(with.out));
        QVERIFY(!with.out.contains(QStringLiteral("give --data DIR")));
    }

    void refusesWhatIsNoKey_data()
    {
        QTest::addColumn<QStringList>("args"); // "@" stands for the written file
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::newRow("blank key") << QStringList{"@"} << QByteArray(32768, char(0xFF)) << int(keycli::kNotAMission)
                                   << "Not a mission";
        QTest::newRow("blank key json") << QStringList{"@", "--json"} << QByteArray(32768, char(0x00))
                                        << int(keycli::kNotAMission) << "\"mission\": false";
        QTest::newRow("too short") << QStringList{"@"} << QByteArray(1000, 'W') << int(keycli::kWrongSize)
                                   << "this one is 1000 bytes";
        QTest::newRow("too long") << QStringList{"@"} << QByteArray(40000, char(0xFF)) << int(keycli::kWrongSize)
                                  << "32768 bytes";
        QTest::newRow("empty file") << QStringList{"@"} << QByteArray() << int(keycli::kWrongSize) << "0 bytes";
        QTest::newRow("missing file") << QStringList{"/nonexistent/key.bin"} << QByteArray() << int(keycli::kUnreadable)
                                      << "Cannot read";
        QTest::newRow("no file") << QStringList{} << QByteArray() << int(keycli::kUsage) << "usage:";
        const QByteArray other = keytest::imageOf(encodeGetInformation(keytest::facility("123456")));
        QTest::newRow("other site") << QStringList{"@", "--facility", "482615"} << other << int(keycli::kOtherFacility)
                                    << "this site refuses it";
        QTest::newRow("other site json") << QStringList{"@", "--json", "--facility", "482615"} << other
                                         << int(keycli::kOtherFacility) << "\"facilityMatches\": false";
        QTest::newRow("same site") << QStringList{"@", "--facility", "123456"} << other << int(keycli::kOk)
                                   << "Get Information Key";
        QTest::newRow("bad facility") << QStringList{"@", "--facility", "12x456"} << other << int(keycli::kUsage)
                                      << "six digits";
    }
    void refusesWhatIsNoKey()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, bytes);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        const QString file = write(QStringLiteral("odd.bin"), bytes);
        QStringList full{QStringLiteral("key"), QStringLiteral("decode")};
        for (const QString &a : args)
            full << (a == QLatin1String("@") ? file : a);
        const Run r = corvanectl(full);
        QCOMPARE(r.code, exitCode);
        QVERIFY2((r.out + r.err).contains(says), qPrintable(r.out + r.err));
    }
};

QTEST_GUILESS_MAIN(TestKeyDecodeCli)
#include "tst_keydecode.moc"
