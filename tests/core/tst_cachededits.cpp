#include "TestDataDir.h"
#include "store/CachedQuery.h"
#include "store/Database.h"
#include "store/SortQuery.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const store::UpdateSql kLockSql = {
    QStringLiteral("INSERT INTO LockManagement (LockID, SerialID, LockName, LockLocation, LockStatusID, LockType) "
                   "VALUES (:LockID, :SerialID, :LockName, :LockLocation, :LockStatusID, :LockType)"),
    QStringLiteral("UPDATE LockManagement SET LockID = :LockID, SerialID = :SerialID, LockName = :LockName, "
                   "LockLocation = :LockLocation, LockStatusID = :LockStatusID, LockType = :LockType "
                   "WHERE LockID = :OLD_LockID"),
    QStringLiteral("DELETE FROM LockManagement WHERE LockID = :OLD_LockID"),
};

int count(const QString &sql)
{
    auto q = store::exec(sql);
    return q.ok && q.value.next() ? q.value.value(0).toInt() : -1;
}

QString text(const QString &sql)
{
    auto q = store::exec(sql);
    return q.ok && q.value.next() ? q.value.value(0).toString() : QStringLiteral("<none>");
}

store::PendingChange insertLock(int id, const QString &name)
{
    store::PendingChange c;
    c.kind = store::PendingChange::Kind::Insert;
    c.values = {{"LockID", id}, {"SerialID", QStringLiteral("S%1").arg(id)}, {"LockName", name},
                {"LockLocation", "Hall"}, {"LockStatusID", 1}, {"LockType", "iButton"}};
    return c;
}

} // namespace

class TestCachedEdits : public QObject
{
    Q_OBJECT

private slots:
    // The text before ORDER keeps its blank, so a re-sorted statement has two.
    void sortQuery_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first click") << "SELECT * FROM LockManagement" << "LockName"
                                     << "SELECT * FROM LOCKMANAGEMENT Order By LOCKNAME Asc";
        QTest::newRow("second click") << "SELECT * FROM LOCKMANAGEMENT Order By LOCKNAME Asc" << "LockName"
                                      << "SELECT * FROM LOCKMANAGEMENT  Order By LOCKNAME Desc";
        QTest::newRow("third click") << "SELECT * FROM LOCKMANAGEMENT Order By LOCKNAME Desc" << "LockName"
                                     << "SELECT * FROM LOCKMANAGEMENT  Order By LOCKNAME Asc";
        QTest::newRow("other column") << "SELECT * FROM LOCKMANAGEMENT Order By LOCKNAME Asc" << "SerialID"
                                      << "SELECT * FROM LOCKMANAGEMENT  Order By SERIALID Asc";
        QTest::newRow("own order without direction")
            << "SELECT * FROM KeyManagement ORDER BY LastName,Status" << "LastName"
            << "SELECT * FROM KEYMANAGEMENT  Order By LASTNAME Asc";
        QTest::newRow("look-up key fields") << "SELECT * FROM TimeShift WHERE GroupID = :GroupID" << "GroupID;DayOfWeek"
                                            << "SELECT * FROM TIMESHIFT WHERE GROUPID = :GROUPID Order By GROUPID,DAYOFWEEK Asc";
    }

    void sortQuery()
    {
        QFETCH(QString, sql);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(store::sortQuerySql(sql, key), expected);
    }

    void errorClassification()
    {
        TestDataDir dir;
        QVERIFY(store::exec("INSERT INTO LockManagement (LockID, LockName) VALUES (1, 'A')").ok);
        QSqlQuery q(store::Database::connection());
        QVERIFY(!q.exec("INSERT INTO LockManagement (LockID, LockName) VALUES (1, 'B')"));
        QCOMPARE(store::classifyError(q.lastError()), store::ApplyError::Duplicate);
        QVERIFY(!q.exec("INSERT INTO NoSuchTable VALUES (1)"));
        QCOMPARE(store::classifyError(q.lastError()), store::ApplyError::Other);
        QCOMPARE(store::applyErrorText(store::ApplyError::Duplicate),
                 QStringLiteral("This item can not be duplicate!please input again."));
        QCOMPARE(store::applyErrorText(store::ApplyError::Relation), QStringLiteral("This item can not be delete!"));
        // Readable text, not code-page bytes.
        QCOMPARE(store::applyErrorText(store::ApplyError::Other), QString::fromUtf8("数据更新发生错误!"));
    }

    // A refused change leaves nothing written, not even the changes and
    // companion statements before it, and everything stays pending.
    void refusedApplyWritesNothingAndKeepsChanges()
    {
        TestDataDir dir;
        QVERIFY(store::exec("INSERT INTO LockManagement (LockID, SerialID, LockName) VALUES (5, 'S5', 'Old')").ok);
        QVERIFY(store::exec("INSERT INTO AccessCode (SerialID, LockName) VALUES ('S5', 'Old')").ok);
        store::CachedEdits edits;
        edits.setStatements(kLockSql);
        store::PendingChange first = insertLock(6, "Six");
        first.after.append({"UPDATE AccessCode SET LockName = :LockName WHERE SerialID = :SerialID",
                            {{"LockName", "Renamed"}, {"SerialID", "S5"}}});
        edits.add(first);
        edits.add(insertLock(5, "Dup"));
        const store::ApplyResult r = edits.apply();
        QCOMPARE(r.kind, store::ApplyError::Duplicate);
        QCOMPARE(edits.pending().size(), 2);
        QCOMPARE(count("SELECT count(*) FROM LockManagement"), 1);
        QCOMPARE(text("SELECT LockName FROM AccessCode"), QStringLiteral("Old"));

        // Once the cause is gone, the same pending changes go through.
        QVERIFY(store::exec("DELETE FROM LockManagement").ok);
        QVERIFY(edits.apply().ok());
        QVERIFY(edits.isEmpty());
        QCOMPARE(count("SELECT count(*) FROM LockManagement"), 2);
        QCOMPARE(text("SELECT LockName FROM AccessCode"), QStringLiteral("Renamed"));
    }

    // Modify and delete find the row by the values it had when read.
    void modifyAndDeleteUseOldValues()
    {
        TestDataDir dir;
        QVERIFY(store::exec("INSERT INTO LockManagement (LockID, SerialID, LockName) VALUES (7, 'S7', 'Seven')").ok);
        store::CachedEdits edits;
        edits.setStatements(kLockSql);
        store::PendingChange m = insertLock(8, "Eight");
        m.kind = store::PendingChange::Kind::Modify;
        m.oldValues = {{"LockID", 7}};
        edits.add(m);
        QVERIFY(edits.apply().ok());
        QCOMPARE(text("SELECT LockName FROM LockManagement WHERE LockID = 8"), QStringLiteral("Eight"));

        store::PendingChange d;
        d.kind = store::PendingChange::Kind::Delete;
        d.oldValues = {{"LockID", 7}}; // no longer there
        edits.add(d);
        const store::ApplyResult r = edits.apply();
        QCOMPARE(r.kind, store::ApplyError::Other);
        QVERIFY(!r.dbError.isEmpty());
        QCOMPARE(edits.pending().size(), 1);
    }

    // The editing states of the query and what posting leaves in the cache.
    void queryEditingFlow()
    {
        TestDataDir dir;
        QVERIFY(store::exec("INSERT INTO LockManagement (LockID, SerialID, LockName) VALUES (1, 'S1', 'One')").ok);
        store::CachedQuery q;
        q.setSql("SELECT * FROM LockManagement");
        q.setUpdateSql(kLockSql);
        q.onNewRecord = [](store::CachedQuery &r) {
            r.setValue("LockID", store::nextId("LockManagement", "LockID"));
            r.setValue("LockType", "iButton");
        };
        bool accept = false;
        q.beforePost = [&accept](store::CachedQuery &) { return accept; };
        QVERIFY(q.open().ok);
        QCOMPARE(q.state(), store::CachedQuery::State::Browse);

        QVERIFY(q.append());
        QCOMPARE(q.value("LockID").toInt(), 2); // allocated on creation
        q.setValue("LockName", "Two");
        QVERIFY(!q.setCurrentRow(0)); // cannot leave the edited record
        QVERIFY(!q.post());           // refused: stays in insert with what was typed
        QCOMPARE(q.state(), store::CachedQuery::State::Insert);
        QCOMPARE(q.value("LockName").toString(), QStringLiteral("Two"));
        QVERIFY(!q.hasPendingUpdates());

        accept = true;
        QVERIFY(q.post());
        QCOMPARE(q.state(), store::CachedQuery::State::Browse);
        // Edited again before it was written: still one insert, newest values.
        QVERIFY(q.edit());
        q.setValue("LockName", "Deux");
        QVERIFY(q.post());
        QCOMPARE(q.cachedEdits().pending().size(), 1);
        QCOMPARE(q.cachedEdits().pending().first().kind, store::PendingChange::Kind::Insert);
        QVERIFY(q.applyUpdates().ok());
        QCOMPARE(text("SELECT LockName FROM LockManagement WHERE LockID = 2"), QStringLiteral("Deux"));

        // Cancel of an edit restores the row; cancel of an insert removes it.
        QVERIFY(q.setCurrentRow(0));
        QVERIFY(q.edit());
        q.setValue("LockName", "Changed");
        q.cancel();
        QCOMPARE(q.value("LockName").toString(), QStringLiteral("One"));
        QVERIFY(q.append());
        q.cancel();
        QCOMPARE(q.recordCount(), 2);
        QVERIFY(!q.hasPendingUpdates());
    }
};

QTEST_GUILESS_MAIN(TestCachedEdits)
#include "tst_cachededits.moc"
