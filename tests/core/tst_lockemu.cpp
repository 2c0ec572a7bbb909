#include "KeyImageBuilders.h"
#include "keyformat/AuditTrail.h"
#include "keyformat/LockReadBack.h"
#include "keyformat/LockSetupMission.h"
#include "keyformat/MaintenanceMissions.h"
#include "keyformat/MultipleMission.h"
#include "keyformat/SystemSetupMission.h"
#include "lockemu/EmulatedLock.h"
#include "lockemu/LockStore.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace keyformat;
using lockemu::EmulatedLock;

namespace {


const QDateTime kNow(QDate(2026, 12, 3), QTime(9, 5, 7)); // a Thursday
const QString kProgramKey = keytest::serial(0x37, 0x777);


// The rules every test lock carries: group 2 works weekdays 08:00-17:00,
// act/exp group 2 ends on 1 December 2026, holiday group 2 covers 24-26 December.
ScheduleTables siteTables()
{
    ScheduleTables t;
    for (const char *day : {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday"})
        t.timeShifts << TimeShiftRow{2, QTime(8, 0), QTime(17, 0), QLatin1String(day)};
    t.schedule
        << ScheduleRow{QTime(7, 0), QStringLiteral("Classroom Mode"), {{false, true, true, true, true, true, false}}}
        << ScheduleRow{QTime(12, 0), QStringLiteral("Storehouse Mode"), {{false, true, true, true, true, true, false}}}
        << ScheduleRow{QTime(22, 0), QStringLiteral("Lock Mode"), {{true, true, true, true, true, true, true}}};
    t.actExpDates << DateGroupRow{1, {}, {}}
                  << DateGroupRow{2, QDateTime(QDate(2026, 1, 1), QTime(0, 0)),
                                  QDateTime(QDate(2026, 12, 1), QTime(0, 0))};
    t.holidays << DateGroupRow{1, {}, {}}
               << DateGroupRow{2, QDateTime(QDate(2026, 12, 24), QTime(0, 0)),
                               QDateTime(QDate(2026, 12, 26), QTime(23, 59))};
    return t;
}

struct Site
{
    FacilityBytes fc = keytest::facility("482615");
    QString lockSerial = keytest::serial(0x2D, 1);
    QString keyUser = keytest::serial(0x01, 0x100);     // iButton, no limits
    QString shiftUser = keytest::serial(0x01, 0x101);   // iButton, time shift 2
    QString expiredUser = keytest::serial(0x01, 0x102); // iButton, act/exp 2
    QString holidayUser = keytest::serial(0x01, 0x103); // iButton, holidays apply
    QString complexUser = keytest::serial(0x01, 0x104); // key then code 5555
    QString stranger = keytest::serial(0x01, 0x1FF);

    QVector<LockUser> users() const
    {
        return {keytest::lockUser(QStringLiteral("iButton"), {}, keyUser),
                keytest::lockUser(QStringLiteral("iButton"), {}, shiftUser, 2),
                keytest::lockUser(QStringLiteral("iButton"), {}, expiredUser, 1, 2),
                keytest::lockUser(QStringLiteral("iButton"), {}, holidayUser, 1, 1, true),
                keytest::lockUser(QStringLiteral("KeyCode"), QStringLiteral("1234"), {}),
                keytest::lockUser(QStringLiteral("Complex"), QStringLiteral("5555"), complexUser)};
    }
};

QByteArray keyWith(const Result<KeyPages> &r)
{
    return keytest::imageOf(r.value);
}

// A lock that took a system setup and a lock setup with the site's users and rules.
EmulatedLock programmedLock(const Site &s)
{
    EmulatedLock lock(s.lockSerial, keytest::facility("000000"));
    SystemSetupMission sys;
    sys.facility = s.fc;
    sys.clock = kNow;
    QByteArray key = keyWith(encodeSystemSetup(sys));
    lock.touch(key, kProgramKey, kNow);
    LockSetupMission m;
    m.facility = s.fc;
    m.lockSerials = {s.lockSerial};
    m.tables = siteTables();
    m.users = s.users();
    key = keyWith(encodeLockSetup(m));
    lock.touch(key, kProgramKey, kNow);
    return lock;
}

QStringList eventsOnAuditKey(EmulatedLock &lock, const Site &s, const std::function<bool(const QString &)> &registered)
{
    QByteArray key = keyWith(encodeAuditRequest(0x01, s.fc));
    lock.touch(key, kProgramKey, kNow);
    const SingleLockAudit a = decodeSingleLockAudit(key, registered);
    QStringList out;
    for (const AuditRecord &r : a.run.records)
        out << r.eventText;
    return out;
}

} // namespace

class TestLockEmu : public QObject
{
    Q_OBJECT

private slots:
    void systemSetupLeavesSerialAndSetsLock()
    {
        const Site s;
        EmulatedLock a(s.lockSerial, keytest::facility("000000"));
        EmulatedLock b(keytest::serial(0x2D, 2), keytest::facility("000000"));
        SystemSetupMission m;
        m.facility = s.fc;
        m.motorPulseTenths = 25;
        m.lockBackDelayTenths = 120;
        m.blink = true;
        m.classroom = true;
        m.clock = kNow.addSecs(3600);
        QByteArray key = keyWith(encodeSystemSetup(m));
        QVERIFY(a.touch(key, kProgramKey, kNow).accepted);
        QVERIFY(b.touch(key, kProgramKey, kNow).accepted);
        QVERIFY(!a.touch(key, kProgramKey, kNow).accepted); // out of set-up mode now
        a.pressReset();
        QVERIFY(a.touch(key, kProgramKey, kNow).accepted); // listed once all the same
        const NewLockList l = decodeNewLockList(key);
        QCOMPARE(l.serials, (QStringList{a.serialId(), b.serialId()}));
        QCOMPARE(l.locksTaken, 2);
        QCOMPARE(a.facility(), s.fc);
        QCOMPARE(a.motorPulseTenths(), 25);
        QCOMPARE(a.lockBackDelayTenths(), 120);
        QVERIFY(a.blink() && a.classroomMode() && !a.daylightSaving());
        QCOMPARE(a.lockTime(kNow), kNow.addSecs(3600));
        QCOMPARE(a.lockTime(kNow.addDays(2)), kNow.addDays(2).addSecs(3600));
    }

    void lockSetupRoundTripThroughInformationKey()
    {
        const Site s;
        EmulatedLock lock = programmedLock(s);
        QCOMPARE(lock.users().size(), 6);
        QByteArray key = keyWith(Result<KeyPages>::success(encodeGetInformation(s.fc)));
        QVERIFY(lock.touch(key, kProgramKey, kNow).accepted);
        const LockInformation info = decodeLockInformation(key);
        QVERIFY(info.touched);
        QCOMPARE(info.lockSerial, s.lockSerial);
        QCOMPARE(info.userNumber, 6);
        QCOMPARE(info.timeInLockText, kNow.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        const QVector<LockUser> in = s.users();
        for (int i = 0; i < in.size(); ++i) {
            const InfoUserEntry &e = info.users.at(i);
            QCOMPARE(e.hasCode, in.at(i).hasCode());
            QCOMPARE(e.hasKey, in.at(i).hasKey());
            if (e.hasCode)
                QCOMPARE(e.code, in.at(i).keyCode);
            if (e.hasKey)
                QCOMPARE(e.keyDigits, in.at(i).serialId.mid(2));
            QCOMPARE(e.timeShiftId, in.at(i).timeShiftId);
            QCOMPARE(e.actExpDateId, in.at(i).actExpDateId);
            QCOMPARE(e.holidaysApply, in.at(i).holiday);
        }
        const ScheduleTables t = siteTables();
        QCOMPARE(info.tables.timeShifts.size(), t.timeShifts.size());
        QCOMPARE(info.tables.timeShifts.first().groupId, 2);
        QCOMPARE(info.tables.schedule.size(), 3);
        QCOMPARE(info.tables.actExpDates.size(), 2);
        QCOMPARE(info.tables.actExpDates.at(1).to, t.actExpDates.at(1).to);
        QCOMPARE(info.tables.holidays.first().groupId, 2);
        QCOMPARE(info.tables.holidays.first().from, t.holidays.at(1).from);
    }

    void missionsNotForThisLockChangeNothing_data()
    {
        QTest::addColumn<QString>("facility");
        QTest::addColumn<bool>("listed");
        QTest::newRow("other facility") << "123456" << true;
        QTest::newRow("not on the list") << "482615" << false;
    }
    void missionsNotForThisLockChangeNothing()
    {
        QFETCH(QString, facility);
        QFETCH(bool, listed);
        const Site s;
        EmulatedLock lock = programmedLock(s);
        const QJsonObject before = lock.toJson();
        LockSetupMission m;
        m.facility = keytest::facility(qPrintable(facility));
        m.lockSerials = {listed ? s.lockSerial : keytest::serial(0x2D, 9)};
        m.users = {};
        QByteArray key = keyWith(encodeLockSetup(m));
        const QByteArray untouched = key;
        QVERIFY(!lock.touch(key, kProgramKey, kNow).accepted);
        QCOMPARE(key, untouched);
        QCOMPARE(lock.toJson(), before);
        // Read keys with another facility code are refused too, and stay empty.
        QByteArray audit = keyWith(encodeAuditRequest(0x01, keytest::facility("123456")));
        QVERIFY(!lock.touch(audit, kProgramKey, kNow).accepted);
        QVERIFY(!decodeSingleLockAudit(audit).touched);
    }

    void openings_data()
    {
        QTest::addColumn<QString>("who"); // a key serial, or "code:" + digits
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QString>("event");
        const Site s;
        const QDateTime morning(QDate(2026, 12, 3), QTime(7, 30)); // classroom period
        const QDateTime noon(QDate(2026, 12, 3), QTime(12, 30));   // storehouse period
        const QDateTime evening(QDate(2026, 12, 3), QTime(18, 0));
        const QDateTime xmas(QDate(2026, 12, 25), QTime(12, 30));
        QTest::newRow("key, storehouse") << s.keyUser << noon << true << "Open Lock With Key(Storehouse Mode)";
        QTest::newRow("key, classroom") << s.keyUser << morning << true << "Open Lock With Key(Classroom Mode)";
        QTest::newRow("shift user inside") << s.shiftUser << noon << true << "Open Lock With Key(Storehouse Mode)";
        QTest::newRow("shift user after hours")
            << s.shiftUser << evening << false << "Invalid Access(Time Shift Setting)";
        QTest::newRow("shift user Saturday") << s.shiftUser << QDateTime(QDate(2026, 12, 5), QTime(12, 0)) << false
                                             << "Invalid Access(Time Shift Setting)";
        QTest::newRow("expired user") << s.expiredUser << noon << false << "Invalid Access(Act/Exp Date Setting)";
        QTest::newRow("holiday user at Christmas")
            << s.holidayUser << xmas << false << "Invalid Access(Exception Date Setting)";
        QTest::newRow("key user at Christmas") << s.keyUser << xmas << true << "Open Lock With Key(Storehouse Mode)";
        QTest::newRow("stranger") << s.stranger << noon << false << "Invalid Key";
        QTest::newRow("code user") << "code:1234" << noon << true << "Open Lock With Code(Storehouse Mode)";
        QTest::newRow("wrong code") << "code:9999" << noon << false << "Invalid Code(08)";
        QTest::newRow("complex code without key") << "code:5555" << noon << false << "Invalid Code(08)";
    }
    void openings()
    {
        QFETCH(QString, who);
        QFETCH(QDateTime, at);
        QFETCH(bool, opened);
        QFETCH(QString, event);
        const Site s;
        EmulatedLock lock = programmedLock(s);
        const lockemu::LockAnswer a =
            who.startsWith(QLatin1String("code:")) ? lock.enterCode(who.mid(5), at) : lock.presentKey(who, at);
        QCOMPARE(a.accepted, opened);
        // The PC reads the event back from an audit key, naming registered keys.
        const QStringList registered{s.keyUser, s.shiftUser, s.expiredUser, s.holidayUser, s.complexUser};
        const QStringList events =
            eventsOnAuditKey(lock, s, [&](const QString &id) { return registered.contains(id); });
        QVERIFY(events.size() >= 3); // initialise, programming, the opening
        QCOMPARE(events.last(), event);
        QCOMPARE(events.first(), QStringLiteral("Initialize Lock"));
    }

    void complexUserNeedsKeyThenCode()
    {
        const Site s;
        EmulatedLock lock = programmedLock(s);
        const QDateTime t(QDate(2026, 12, 3), QTime(12, 30));
        QCOMPARE(lock.presentKey(s.complexUser, t).eventCode, 0x60);
        QVERIFY(lock.enterCode(QStringLiteral("5555"), t.addSecs(10)).accepted);
        QVERIFY(!lock.enterCode(QStringLiteral("5555"), t.addSecs(20)).accepted); // the step is used up
        QCOMPARE(lock.presentKey(s.complexUser, t.addSecs(60)).eventCode, 0x60);
        QVERIFY(!lock.enterCode(QStringLiteral("5555"), t.addSecs(120)).accepted); // too late
        const QStringList events = eventsOnAuditKey(lock, s, [&](const QString &id) { return id == s.complexUser; });
        QCOMPARE(
            events.mid(2),
            (QStringList{QStringLiteral("iButton Access(Complex Type Step One)"),
                         QStringLiteral("Open Lock With Code(Storehouse Mode)"), QStringLiteral("Invalid Code(08)"),
                         QStringLiteral("iButton Access(Complex Type Step One)"), QStringLiteral("Invalid Code(08)")}));
    }

    void classroomModeToggles()
    {
        const Site s;
        EmulatedLock lock = programmedLock(s);
        const QDateTime t(QDate(2026, 12, 3), QTime(7, 30));
        QCOMPARE(lock.presentKey(s.keyUser, t).eventCode, 0x01);
        QVERIFY(lock.doorHeldOpen());
        QCOMPARE(lock.presentKey(s.keyUser, t.addSecs(5)).eventCode, 0x02);
        QVERIFY(!lock.doorHeldOpen());
    }

    void lockScheduleOpensAndClosesByItself()
    {
        const Site s;
        EmulatedLock lock = programmedLock(s);
        LockSetupMission m;
        m.facility = s.fc;
        m.lockSerials = {s.lockSerial};
        m.flags = content::kTables;
        m.tables = siteTables();
        const std::array<bool, 7> weekdays{{false, true, true, true, true, true, false}};
        m.tables.schedule << ScheduleRow{QTime(8, 0), QStringLiteral("Unlock Mode"), weekdays}
                          << ScheduleRow{QTime(18, 0), QStringLiteral("Lock Mode"), weekdays};
        QByteArray key = keyWith(encodeLockSetup(m));
        QVERIFY(lock.touch(key, kProgramKey, kNow).accepted);
        QCOMPARE(lock.users().size(), 6); // tables only

        // From Thursday 09:05 to Friday 19:00: closed at 18:00, open at 08:00, closed at 18:00.
        const QDateTime friday(QDate(2026, 12, 4), QTime(12, 0));
        QCOMPARE(lock.presentKey(s.keyUser, friday).eventCode, 0x00);
        QVERIFY(lock.unlockedBySchedule());
        QVERIFY(lock.presentKey(s.keyUser, friday.addSecs(7 * 3600)).accepted);
        QVERIFY(!lock.unlockedBySchedule());
        const QStringList events = eventsOnAuditKey(lock, s, [&](const QString &id) { return id == s.keyUser; });
        QCOMPARE(
            events.mid(3),
            (QStringList{QStringLiteral("Lock Auto Opened"), QStringLiteral("Open Lock With Key(Storehouse Mode)"),
                         QStringLiteral("Lock Auto Closed"), QStringLiteral("Open Lock With Key(Storehouse Mode)")}));
    }

    void lockoutHoldsAndReleases()
    {
        const Site s;
        EmulatedLock lock = programmedLock(s);
        LockoutMission m{s.fc, {keytest::serial(0x2D, 50), s.lockSerial}, true};
        QByteArray key = keyWith(encodeLockout(m));
        const QDateTime t(QDate(2026, 12, 3), QTime(12, 30));
        QVERIFY(lock.touch(key, kProgramKey, kNow).accepted);
        QCOMPARE(lock.lockout(), EmulatedLock::Lockout::HeldClosed);
        QCOMPARE(lock.presentKey(s.keyUser, t).eventCode, 0x04);
        QCOMPARE(lock.enterCode(QStringLiteral("1234"), t).eventCode, 0x14);
        QVERIFY(lock.touch(key, kProgramKey, kNow).accepted);
        QCOMPARE(lock.lockout(), EmulatedLock::Lockout::None);
        QVERIFY(lock.presentKey(s.keyUser, t).accepted);
        const QStringList events = eventsOnAuditKey(lock, s, [&](const QString &id) { return id == s.keyUser; });
        QVERIFY(events.contains(QStringLiteral("Forbidden Key(Access During Lockout Mode)")));
        QVERIFY(events.contains(QStringLiteral("Forbidden Code(Access During Lockout Mode)")));
    }

    void oneOffCodesOpenOnce()
    {
        const Site s;
        EmulatedLock lock = programmedLock(s);
        QByteArray key = keyWith(encodeOneOffCodeKey(s.fc, {keytest::serial(0x2D, 7), s.lockSerial},
                                                     {QStringLiteral("24680"), QStringLiteral("1357")}));
        QVERIFY(lock.touch(key, kProgramKey, kNow).accepted);
        QCOMPARE(lock.oneOffCodes(), (QStringList{QStringLiteral("24680"), QStringLiteral("1357")}));
        QCOMPARE(lock.users().size(), 6); // the code key leaves users alone
        const QDateTime t(QDate(2026, 12, 3), QTime(12, 30));
        QCOMPARE(lock.enterCode(QStringLiteral("1357"), t).eventCode, 0x20);
        QVERIFY(!lock.enterCode(QStringLiteral("1357"), t).accepted);
        QByteArray audit = keyWith(encodeAuditRequest(0x01, s.fc));
        lock.touch(audit, kProgramKey, kNow);
        const SingleLockAudit a = decodeSingleLockAudit(audit);
        const AuditRecord opened = a.run.records.at(a.run.records.size() - 2);
        QCOMPARE(opened.serialId, QStringLiteral("1357"));
        QCOMPARE(opened.codeType, QStringLiteral("OOFF"));
        QCOMPARE(opened.time, t);
    }

    void parameterKeys()
    {
        const Site s;
        EmulatedLock lock = programmedLock(s);
        SetParameterMission p;
        p.facility = s.fc;
        p.motorPulseTenths = 7;
        p.lockBackDelayTenths = 250;
        p.daylightSaving = true;
        p.blink = true;
        p.clock = QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5));
        QByteArray key = keyWith(encodeSetParameter(p));
        QVERIFY(lock.touch(key, kProgramKey, kNow).accepted);
        QCOMPARE(lock.motorPulseTenths(), 7);
        QCOMPARE(lock.lockBackDelayTenths(), 250);
        QVERIFY(lock.daylightSaving() && lock.blink());
        QCOMPARE(lock.lockTime(kNow.addSecs(10)), QDateTime(QDate(2027, 1, 2), QTime(3, 4, 15)));
        // Only what the mask names changes.
        SetParameterMission q;
        q.facility = s.fc;
        q.lockBackDelayTenths = 30;
        key = keyWith(encodeSetParameter(q));
        QVERIFY(lock.touch(key, kProgramKey, kNow).accepted);
        QCOMPARE(lock.motorPulseTenths(), 7);
        QCOMPARE(lock.lockBackDelayTenths(), 30);
        QVERIFY(lock.daylightSaving() && lock.blink());
        key = keyWith(Result<KeyPages>::success(encodeTimeFunctionActive(s.fc)));
        QVERIFY(lock.touch(key, kProgramKey, kNow).accepted);
        QVERIFY(lock.timeFunctionActive());
        key = keyWith(Result<KeyPages>::success(encodeSystemCode(s.fc)));
        QVERIFY(lock.touch(key, kProgramKey, kNow).accepted);
        QVERIFY(lock.systemCodeConfirmed());
        // A new lock ID is taken.
        SetParameterMission r;
        r.facility = s.fc;
        r.newLockSerial = keytest::serial(0x2D, 77);
        key = keyWith(encodeSetParameter(r));
        QVERIFY(lock.touch(key, kProgramKey, kNow).accepted);
        QCOMPARE(lock.serialId(), r.newLockSerial);
    }

    void twoKeyAuditSplitsTheLog()
    {
        const Site s;
        EmulatedLock lock = programmedLock(s);
        const QDateTime t(QDate(2026, 12, 3), QTime(12, 30));
        for (int i = 0; i < 2100; ++i)
            lock.record(QByteArray("\x00\x00\x00\x00\x00\x00\x00\x01", 8), t.addSecs(i), 0x00);
        const int total = lock.auditLog().size();
        QByteArray first = keyWith(encodeAuditRequest(0x02, s.fc));
        QByteArray second = keyWith(encodeAuditRequest(0x03, s.fc));
        lock.touch(first, kProgramKey, kNow);
        lock.touch(second, kProgramKey, kNow);
        const SingleLockAudit a = decodeSingleLockAudit(first), b = decodeSingleLockAudit(second);
        QCOMPARE(a.recordsInLock, total);
        QCOMPARE(a.recordsInKey, kMaxSingleKeyRecords);
        // The first download is itself logged, so the second key sees one record more.
        QCOMPARE(b.recordsInLock, total + 1);
        QCOMPARE(a.run.records.size() + b.run.records.size(), total + 1);
        QCOMPARE(b.run.records.at(b.run.records.size() - 2).time, t.addSecs(2099));
        QCOMPARE(b.run.records.last().eventText, QStringLiteral("Download Lock Audit Trial"));
        QCOMPARE(a.lockSerial, b.lockSerial);
        QCOMPARE(a.run.skippedByRules + b.run.skippedByRules, 0);
    }

    void multiLockAuditCollectsBlocks()
    {
        const Site s;
        EmulatedLock a = programmedLock(s);
        Site s2;
        s2.lockSerial = keytest::serial(0x2D, 2);
        EmulatedLock b = programmedLock(s2);
        const QDateTime t(QDate(2026, 12, 3), QTime(12, 30));
        for (int i = 0; i < 30; ++i)
            a.presentKey(s.keyUser, t.addSecs(i));
        QByteArray key = keyWith(encodeAuditRequest(0xFB, s.fc, 25));
        QVERIFY(a.touch(key, kProgramKey, kNow).accepted);
        QVERIFY(b.touch(key, kProgramKey, kNow).accepted);
        QVERIFY(a.touch(key, kProgramKey, kNow).accepted); // again: same block rewritten
        const MultiLockAudit m = decodeMultiLockAudit(key);
        QCOMPARE(m.locksAudited, 2);
        QCOMPARE(m.pagesPerLock, 8);
        QCOMPARE(m.blocks.size(), 2);
        QCOMPARE(m.blocks.at(0).lockSerial, s.lockSerial);
        QCOMPARE(m.blocks.at(0).run.records.size(), 25); // the newest 25
        const QVector<AuditRecord> &ra = m.blocks.at(0).run.records;
        QCOMPARE(ra.last().eventText, QStringLiteral("Download Lock Audit Trial")); // the first visit
        QCOMPARE(ra.at(ra.size() - 2).time, t.addSecs(29));
        QCOMPARE(m.blocks.at(1).lockSerial, s2.lockSerial);
        QCOMPARE(m.blocks.at(1).run.records.size(), 2); // initialise, programming
        QCOMPARE(m.blocks.at(1).firstPage, 10);
    }

    void multipleMissionLoadsOnlyOwnBlocks()
    {
        const Site s;
        EmulatedLock a = programmedLock(s);
        Site s2;
        s2.lockSerial = keytest::serial(0x2D, 2);
        EmulatedLock b = programmedLock(s2);
        QVector<LockUser> many;
        for (int i = 0; i < 60; ++i)
            many << keytest::lockUser(QStringLiteral("KeyCode"), QString::number(7000 + i), {});
        MultiLockTarget ta{0, s.lockSerial, siteTables(), many};
        MultiLockTarget tb{
            2, s2.lockSerial, ScheduleTables{}, {keytest::lockUser(QStringLiteral("KeyCode"), QStringLiteral("42"), {})}};
        QByteArray key = keyWith(encodeMultiLockMission(s.fc, {ta, tb}));
        QVERIFY(a.touch(key, kProgramKey, kNow).accepted);
        QVERIFY(b.touch(key, kProgramKey, kNow).accepted);
        QCOMPARE(a.users().size(), 60);
        QCOMPARE(a.users().at(59).keyCode, QStringLiteral("7059"));
        QCOMPARE(a.tables(), encodeScheduleBlock(siteTables()));
        QCOMPARE(b.users().size(), 1);
        QCOMPARE(b.tables(), encodeScheduleBlock(ScheduleTables{}));
        Site s3;
        s3.lockSerial = keytest::serial(0x2D, 3);
        EmulatedLock c = programmedLock(s3);
        QVERIFY(!c.touch(key, kProgramKey, kNow).accepted);
        QCOMPARE(c.users().size(), 6);

        DeleteCodeEntry d{QDateTime(QDate(2026, 12, 3), QTime(9, 0)), QDateTime(QDate(2026, 12, 4), QTime(9, 0)), true,
                          1};
        key = keyWith(encodeDeleteCodeMission(s.fc, s.lockSerial, {d, d}, false));
        QVERIFY(a.touch(key, kProgramKey, kNow).accepted);
        QCOMPARE(a.deletedCodes().size(), 2);
        QCOMPARE(a.deletedCodes().first().endDate, d.endDate);
        QCOMPARE(a.users().size(), 60);
        key = keyWith(encodeDeleteCodeMission(s.fc, s.lockSerial, {d}, true));
        QVERIFY(a.touch(key, kProgramKey, kNow).accepted);
        QCOMPARE(a.deletedCodes().size(), 1);
    }

    void storeKeepsLocks()
    {
        QTemporaryDir dir;
        lockemu::LockStore store(dir.path());
        const Site s;
        QVERIFY(!store.create(QStringLiteral("0123456789ABCDEF"), s.fc).ok); // bad CRC
        QVERIFY(store.create(s.lockSerial, s.fc).ok);
        QVERIFY(!store.create(s.lockSerial, s.fc).ok); // used already
        const QString fresh = store.unusedSerial();
        QVERIFY(onewire::isValidSerialText(fresh));
        QVERIFY(fresh != s.lockSerial);
        EmulatedLock lock = programmedLock(s);
        lock.presentKey(s.keyUser, kNow);
        QVERIFY(store.save(lock).ok);
        QCOMPARE(store.serials(), QStringList{s.lockSerial});
        const auto back = store.load(s.lockSerial);
        QVERIFY2(back.ok, qPrintable(back.error));
        QCOMPARE(back.value.toJson(), lock.toJson());
        QFile f(dir.filePath(QStringLiteral("emulator/locks/") + s.lockSerial + QStringLiteral(".json")));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("{ broken");
        f.close();
        QVERIFY(!store.load(s.lockSerial).ok);
    }
};

QTEST_GUILESS_MAIN(TestLockEmu)
#include "tst_lockemu.moc"
