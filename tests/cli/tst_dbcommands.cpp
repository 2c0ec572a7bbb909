#include "DbCommands.h"
#include "TestDataDir.h"
#include "store/Database.h"

#include <QSqlQuery>
#include <QtTest>

class TestDbCommands : public QObject
{
    Q_OBJECT

    int run(const QStringList &args, QString *outText = nullptr, QString *errText = nullptr)
    {
        QString o, e;
        QTextStream out(&o), err(&e);
        const int rc = runDbCommand(args, out, err);
        out.flush();
        err.flush();
        if (outText)
            *outText = o;
        if (errText)
            *errText = e;
        return rc;
    }

private slots:
    void initThenCheckReportsACompleteSchema()
    {
        TestDataDir dir(false);
        const QString data = dir.path() + QStringLiteral("/new/folder");
        QString out, err;
        QCOMPARE(run({QStringLiteral("init"), QStringLiteral("--data"), data}, &out, &err), 0);
        QVERIFY(out.contains(QLatin1String("TavolixLockDB.db")));
        QCOMPARE(run({QStringLiteral("check"), QStringLiteral("--data"), data}, &out, &err), 0);
        QVERIFY2(out.contains(QLatin1String("schema complete")), qPrintable(out + err));
        // A second init refuses and leaves the database alone.
        QCOMPARE(run({QStringLiteral("init"), QStringLiteral("--data"), data}, &out, &err), 1);
        QVERIFY(err.contains(QLatin1String("already exists")));
    }

    void checkFindsMissingColumnsAndTables()
    {
        TestDataDir dir;
        QSqlQuery q(store::Database::connection());
        QVERIFY(q.exec(QStringLiteral("DROP TABLE TempLock2")));
        QVERIFY(q.exec(QStringLiteral("ALTER TABLE OneOffCode RENAME COLUMN CodeNo TO Other")));
        store::Database::close();
        QString out, err;
        QCOMPARE(run({QStringLiteral("check"), QStringLiteral("--data"), dir.path()}, &out, &err), 1);
        QVERIFY2(err.contains(QLatin1String("Missing table: TempLock2")), qPrintable(err));
        QVERIFY(err.contains(QLatin1String("Missing column: OneOffCode.CodeNo")));
    }

    void checkOfAMissingDatabaseFails()
    {
        TestDataDir dir(false);
        QString err;
        QCOMPARE(run({QStringLiteral("check"), QStringLiteral("--data"), dir.path()}, nullptr, &err), 1);
        QVERIFY(err.contains(QLatin1String("does not exist")));
        QVERIFY(!QFile::exists(store::Database::filePath(dir.path())));
    }
};

QTEST_GUILESS_MAIN(TestDbCommands)
#include "tst_dbcommands.moc"
