#include "TestDataDir.h"
#include "common/PasswordHash.h"
#include "ibutton/EmulatedBus.h"
#include "session/OperatorLogin.h"
#include "session/ReaderIdentification.h"
#include "settings/Settings.h"
#include "store/Database.h"
#include "store/DbValue.h"

#include <QFile>
#include <QtTest>

using session::recordLogin;
using session::recordLogout;

namespace {

QDateTime at(int h, int m, int s) { return QDateTime(QDate(2026, 5, 6), QTime(h, m, s)); }

struct Row
{
    int id;
    QString login, logout, name, level;
};

QList<Row> loginRows()
{
    QList<Row> rows;
    auto q = store::exec(QStringLiteral("SELECT LoginHistoryID, LoginTime, LogoutTime, LoginName, LoginLevel "
                                        "FROM LoginHistory ORDER BY rowid"));
    while (q.ok && q.value.next())
        rows.append({q.value.value(0).toInt(), q.value.value(1).toString(), q.value.value(2).toString(),
                     q.value.value(3).toString(), q.value.value(4).toString()});
    return rows;
}

void addAdmin(const QString &name, const QString &password, const QString &level)
{
    QVERIFY(store::exec(QStringLiteral("INSERT INTO Admin (UserName, UserPassword, UserLevel) VALUES (:n, :p, :l)"),
                        {{QStringLiteral("n"), name}, {QStringLiteral("p"), PasswordHash::hash(password)},
                         {QStringLiteral("l"), level}})
                .ok);
}

} // namespace

class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void seededOperatorLogsIn()
    {
        TestDataDir dir;
        const auto m = session::checkLogin(QStringLiteral("riradu"), QStringLiteral("61837294"));
        QVERIFY(m.matched);
        QCOMPARE(m.operatorLevel, 2);
        // The stored password is a salted hash, not the typed text.
        auto q = store::exec(QStringLiteral("SELECT UserPassword FROM Admin"));
        QVERIFY(q.ok && q.value.next());
        QVERIFY(q.value.value(0).toString() != QLatin1String("61837294"));
        QVERIFY(PasswordHash::isHash(q.value.value(0).toString()));
    }

    void loginMatchesExactlyAndMapsLevels_data()
    {
        QTest::addColumn<QString>("storedLevel");
        QTest::addColumn<QString>("typedName");
        QTest::addColumn<QString>("typedPassword");
        QTest::addColumn<int>("expectedLevel"); // 0 = refused
        QTest::newRow("administrator") << "Administrator" << "ann" << "pw1" << 2;
        QTest::newRow("operator") << "Operator" << "ann" << "pw1" << 1;
        QTest::newRow("empty level") << "" << "ann" << "pw1" << 1;
        QTest::newRow("other case level") << "administrator" << "ann" << "pw1" << 1;
        QTest::newRow("wrong password") << "Administrator" << "ann" << "pw2" << 0;
        QTest::newRow("password case") << "Administrator" << "ann" << "PW1" << 0;
        QTest::newRow("name case") << "Administrator" << "Ann" << "pw1" << 0;
    }
    void loginMatchesExactlyAndMapsLevels()
    {
        QFETCH(QString, storedLevel);
        QFETCH(QString, typedName);
        QFETCH(QString, typedPassword);
        QFETCH(int, expectedLevel);
        TestDataDir dir;
        addAdmin(QStringLiteral("ann"), QStringLiteral("pw1"), storedLevel);
        const auto m = session::checkLogin(typedName, typedPassword);
        QCOMPARE(m.matched, expectedLevel != 0);
        QCOMPARE(m.operatorLevel, expectedLevel);
    }

    void loginRecordRepairsAnOpenSession()
    {
        TestDataDir dir;
        QCOMPARE(recordLogin(QStringLiteral("ann"), 1, at(8, 0, 0)).value, 1);
        // The program ended without quitting: the next start closes that row.
        QCOMPARE(recordLogin(QStringLiteral("bob"), 2, at(9, 0, 0)).value, 2);
        const auto rows = loginRows();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].logout, QStringLiteral("2026-05-06 09:00:00"));
        QCOMPARE(rows[1].login, QStringLiteral("2026-05-06 09:00:00"));
        QVERIFY(rows[1].logout.isEmpty());
        QCOMPARE(rows[1].name, QStringLiteral("bob"));
        QCOMPARE(rows[1].level, QStringLiteral("Administrator"));
        QCOMPARE(rows[0].level, QStringLiteral("Operator"));
    }

    void logoutRecord_data()
    {
        QTest::addColumn<QDateTime>("quitAt");
        QTest::addColumn<QString>("expected");
        QTest::newRow("normal") << at(10, 30, 0) << "2026-05-06 10:30:00";
        QTest::newRow("clock set back") << at(9, 0, 0) << "2026-05-06 10:00:05";
        QTest::newRow("same second") << at(10, 0, 0) << "2026-05-06 10:00:05";
    }
    void logoutRecord()
    {
        QFETCH(QDateTime, quitAt);
        QFETCH(QString, expected);
        TestDataDir dir;
        QVERIFY(recordLogin(QStringLiteral("ann"), 1, at(10, 0, 0)).ok);
        QVERIFY(recordLogout(quitAt).ok);
        QCOMPARE(loginRows().last().logout, expected);
    }

    void newIdsFollowTheLargest()
    {
        TestDataDir dir;
        QVERIFY(store::exec(QStringLiteral("INSERT INTO LoginHistory (LoginHistoryID, LoginTime, LogoutTime) "
                                           "VALUES (41, '2026-01-01 00:00:00', '2026-01-01 01:00:00')"))
                    .ok);
        QCOMPARE(recordLogin(QStringLiteral("ann"), 1, at(8, 0, 0)).value, 42);
        // A closed last row is left as it was.
        QCOMPARE(loginRows().first().logout, QStringLiteral("2026-01-01 01:00:00"));
    }
};

class TestConfigFile : public QObject
{
    Q_OBJECT

private slots:
    void missingFileGivesDefaultsAndTheMessage()
    {
        TestDataDir dir(false);
        const auto r = ConfigFile::load(dir.path());
        QCOMPARE(int(r.outcome), int(ConfigFile::LoadOutcome::Missing));
        QCOMPARE(r.message, QStringLiteral("CONFIG.DAT is not exist,We will use default parameter."));
        QVERIFY(r.settings == Settings::defaults());
        QCOMPARE(r.settings.LockUserType, uint8_t(1));
        QCOMPARE(r.settings.MotorPulseTime, uint8_t(10));
        QCOMPARE(r.settings.LockBackDelayTime, uint8_t(50));
        QCOMPARE(r.settings.PortType, uint8_t(6));
        QVERIFY(r.settings.isFactoryFacilityCode());
    }

    void shortAndEmptyFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray defaults = QByteArray::fromHex("010a32010600482615");
        QTest::newRow("empty: every setting 0") << QByteArray() << int(ConfigFile::LoadOutcome::Empty)
                                                << QByteArray(9, '\0');
        QTest::newRow("three bytes: rest default")
            << QByteArray::fromHex("00141e") << int(ConfigFile::LoadOutcome::Damaged)
            << QByteArray::fromHex("00141e") + defaults.mid(3);
        QTest::newRow("eight bytes") << QByteArray::fromHex("0014140203011234") << int(ConfigFile::LoadOutcome::Damaged)
                                     << QByteArray::fromHex("001414020301123415");
        QTest::newRow("longer file: first nine bytes") << QByteArray::fromHex("00141402030112345699")
                                                       << int(ConfigFile::LoadOutcome::Loaded)
                                                       << QByteArray::fromHex("001414020301123456");
    }
    void shortAndEmptyFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, outcome);
        QFETCH(QByteArray, expected);
        TestDataDir dir(false);
        QFile f(dir.file(QStringLiteral("Config.dat")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        const auto r = ConfigFile::load(dir.path());
        QCOMPARE(int(r.outcome), outcome);
        const auto bytes = r.settings.toBytes();
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(bytes.data()), 9), expected);
        if (outcome == int(ConfigFile::LoadOutcome::Damaged))
            QVERIFY(r.message.contains(QLatin1String("damaged")));
        else
            QVERIFY(r.message.isEmpty());
    }

    void roundTripKeepsFacilityCodeInBcd()
    {
        TestDataDir dir(false);
        Settings s;
        QVERIFY(facilityCodeFromText(QStringLiteral("123456"), s.FacilityCode));
        s.SmallScreen = 1;
        s.MotorPulseTime = 25;
        QVERIFY(ConfigFile::save(dir.path(), s).ok);
        QFile f(dir.file(QStringLiteral("Config.dat")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray raw = f.readAll();
        QCOMPARE(raw.size(), 9);
        QCOMPARE(raw.mid(6).toHex(), QByteArray("123456"));
        const auto back = ConfigFile::load(dir.path());
        QVERIFY(back.settings == s);
        QCOMPARE(back.settings.facilityCodeText(), QStringLiteral("123456"));
    }

    void facilityCodeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::newRow("six digits") << "098765" << true;
        QTest::newRow("five digits") << "12345" << false;
        QTest::newRow("letter") << "12a456" << false;
        QTest::newRow("blank") << "12 456" << false;
    }
    void facilityCodeText()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        std::array<uint8_t, 3> b{};
        QCOMPARE(facilityCodeFromText(text, b), ok);
        if (ok)
            QCOMPARE(b[0], uint8_t(0x09));
    }
};

class TestReaderIdentification : public QObject
{
    Q_OBJECT

private:
    struct Heard
    {
        QStringList texts;
        QList<NoticeKind> kinds;
        Notify notify()
        {
            return [this](NoticeKind k, const QString &t) {
                kinds << k;
                texts << t;
            };
        }
    };

private slots:
    void outcomes_data()
    {
        QTest::addColumn<int>("readerChips");
        QTest::addColumn<int>("userKeys01");
        QTest::addColumn<int>("otherKeys");
        QTest::addColumn<int>("portType");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("hasReaderId");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("one reader chip") << 1 << 0 << 0 << 6 << true << true << QStringList();
        QTest::newRow("chip and a program key") << 1 << 0 << 1 << 6 << true << true << QStringList();
        QTest::newRow("no reader") << 0 << 0 << 0 << 6 << false << false
                                   << QStringList{"Please pulg in PC iButton Reader into USB port.",
                                                  "Check PC iButton Reader error."};
        QTest::newRow("user key 0x01 left on the reader")
            << 1 << 1 << 0 << 6 << false << true
            << QStringList{"Please pull out key button from PC iButton Reader.",
                           "You must pull out key button from PC iButton Reader."};
        QTest::newRow("port type not USB") << 1 << 0 << 0 << 5 << true << false << QStringList();
    }
    void outcomes()
    {
        QFETCH(int, readerChips);
        QFETCH(int, userKeys01);
        QFETCH(int, otherKeys);
        QFETCH(int, portType);
        QFETCH(bool, ok);
        QFETCH(bool, hasReaderId);
        QFETCH(QStringList, messages);
        onewire::EmulatedBus bus;
        if (readerChips)
            bus.attachReaderChip();
        for (int i = 0; i < userKeys01; ++i)
            bus.attach(std::make_shared<onewire::EmulatedDevice>(onewire::makeRomId(0x01, 0x1000 + i)));
        for (int i = 0; i < otherKeys; ++i)
            bus.attach(std::make_shared<onewire::EmulatedDevice>(onewire::makeRomId(0x37, 0x2000 + i)));
        Heard heard;
        const auto r = session::identifyReader(bus, 1, portType, heard.notify());
        QCOMPARE(r.ok, ok);
        QCOMPARE(!r.readerId.isEmpty(), hasReaderId);
        QCOMPARE(heard.texts, messages);
        for (NoticeKind k : heard.kinds)
            QCOMPARE(int(k), int(NoticeKind::Warning));
        QCOMPARE(bus.openSessions(), 0);
        if (ok && hasReaderId) {
            QCOMPARE(r.readerId.size(), 16);
            QVERIFY(r.readerId.endsWith(QLatin1String("81")));
        }
    }

    void portProblems()
    {
        onewire::EmulatedBus bus;
        bus.attachReaderChip();
        Heard heard;
        // Wrong port: a negative handle, told twice (both runs), no reader ID.
        auto r = session::identifyReader(bus, 3, 6, heard.notify());
        QVERIFY(!r.ok);
        QCOMPARE(heard.texts, QStringList(2, QStringLiteral("Please check your PC iButton Reader is on the right port.")));
        QCOMPARE(int(heard.kinds.first()), int(NoticeKind::Information));

        heard = {};
        bus.setSetupFails(true);
        r = session::identifyReader(bus, 1, 6, heard.notify());
        QVERIFY(!r.ok);
        QCOMPARE(heard.texts, (QStringList{"Please check your PC iButton Reader.", "Read and write PC iButton Reader error."}));
        QCOMPARE(int(heard.kinds.first()), int(NoticeKind::Error));
        QCOMPARE(bus.openSessions(), 0);

    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int status = 0;
    {
        TestSession t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestConfigFile t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestReaderIdentification t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}

#include "tst_session.moc"
