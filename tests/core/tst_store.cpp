#include "TestDataDir.h"
#include "common/Clock.h"
#include "store/Database.h"
#include "store/DbValue.h"
#include "store/Schema.h"

#include <QFile>
#include <QSqlQuery>
#include <QtTest>

class TestStore : public QObject
{
    Q_OBJECT

private slots:
    void newDatabaseHasCompleteSchema()
    {
        TestDataDir dir;
        QVERIFY2(dir.ok(), qPrintable(dir.error()));
        QCOMPARE(store::schemaTables().size(), 29);
        QCOMPARE(store::Database::check(store::Database::connection()), QStringList());
        // Seeded rows the program relies on.
        auto q = store::exec(QStringLiteral("SELECT count(*) FROM TempWeek"));
        QVERIFY(q.ok && q.value.next());
        QCOMPARE(q.value.value(0).toInt(), 7);
        q = store::exec(QStringLiteral("SELECT LockStatusName FROM LockStatus WHERE LockStatusID = 1"));
        QVERIFY(q.ok && q.value.next());
        QCOMPARE(q.value.value(0).toString(), QStringLiteral("No Limit Classroom Mode"));
    }

    void idAllocation()
    {
        TestDataDir dir;
        QCOMPARE(store::nextId(QStringLiteral("LockManagement"), QStringLiteral("LockID")), 1);
        QVERIFY(store::exec(QStringLiteral("INSERT INTO LockManagement (LockID, SerialID, LockName) VALUES (41, 'A', 'B')")).ok);
        QVERIFY(store::exec(QStringLiteral("INSERT INTO LockManagement (LockID, SerialID, LockName) VALUES (3, 'C', 'D')")).ok);
        QCOMPARE(store::nextId(QStringLiteral("LockManagement"), QStringLiteral("LockID")), 42);
    }

    void valuesRoundTripInStoredFormat()
    {
        TestDataDir dir;
        const QDateTime login(QDate(2026, 3, 4), QTime(5, 6, 7, 890));
        QVERIFY(store::exec(QStringLiteral("INSERT INTO LoginHistory (LoginHistoryID, LoginTime, LoginName) "
                                           "VALUES (1, :t, 'x')"),
                            {{QStringLiteral("t"), login}})
                    .ok);
        auto q = store::exec(QStringLiteral("SELECT LoginTime FROM LoginHistory WHERE LoginTime >= :t"),
                             {{QStringLiteral("t"), QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7))}});
        QVERIFY(q.ok && q.value.next());
        QCOMPARE(q.value.value(0).toString(), QStringLiteral("2026-03-04 05:06:07"));
        QCOMPARE(store::toDateTime(q.value.value(0)), QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
        QCOMPARE(store::toDb(QTime(8, 9, 10)).toString(), QStringLiteral("08:09:10"));
        QCOMPARE(store::toDb(true).toInt(), 1);
        QVERIFY(store::toDb(QVariant(QMetaType(QMetaType::QDateTime))).isNull());
    }

    void textComparesWithoutCase()
    {
        TestDataDir dir;
        QVERIFY(store::exec(QStringLiteral("INSERT INTO KeyManagement (KeyID, FirstName, LastName) VALUES (1, 'Anna', 'Berg')")).ok);
        auto q = store::exec(QStringLiteral("SELECT KeyID FROM KeyManagement WHERE FirstName = 'ANNA'"));
        QVERIFY(q.ok && q.value.next());
    }

    void refusesForeignOrBrokenFilesWithoutTouchingThem_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("random bytes") << QByteArray(4096, '\x5a');
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("text") << QByteArray("not a database\n");
    }

    void refusesForeignOrBrokenFilesWithoutTouchingThem()
    {
        QFETCH(QByteArray, content);
        TestDataDir dir(false);
        const QString path = store::Database::filePath(dir.path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        const Status s = store::Database::open(dir.path());
        QVERIFY(!s.ok);
        QVERIFY2(s.error.contains(QStringLiteral("TavolixLockDB.db")), qPrintable(s.error));
        QVERIFY(!store::Database::isOpen());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), content);
    }

    void refusesAnotherSqliteDatabase()
    {
        TestDataDir dir(false);
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
            other.setDatabaseName(store::Database::filePath(dir.path()));
            QVERIFY(other.open());
            QSqlQuery(other).exec(QStringLiteral("CREATE TABLE foo (x)"));
            other.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        const Status s = store::Database::open(dir.path());
        QVERIFY(!s.ok);
        QVERIFY(s.error.contains(QStringLiteral("not a Corvane Lock database")));
    }

    void createRefusesExistingDatabase()
    {
        TestDataDir dir;
        store::Database::close();
        QVERIFY(!store::Database::create(dir.path()).ok);
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
