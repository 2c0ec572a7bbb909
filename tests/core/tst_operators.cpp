#include "TestDataDir.h"
#include "common/PasswordHash.h"
#include "operators/LoginLog.h"
#include "operators/OperatorAccounts.h"
#include "store/Database.h"
#include "store/SortQuery.h"

#include <QtTest>

using namespace operators;

namespace {

void addAccount(const QString &name, const QString &password, const QString &level)
{
    QVERIFY(store::exec(QStringLiteral("INSERT INTO Admin (UserName, UserPassword, UserLevel) VALUES (:n, :p, :l)"),
                        {{QStringLiteral("n"), name}, {QStringLiteral("p"), PasswordHash::hash(password)},
                         {QStringLiteral("l"), level}})
                .ok);
}

QStringList passwordsOf(const QString &name)
{
    QStringList out;
    auto q = store::exec(QStringLiteral("SELECT UserPassword FROM Admin WHERE UserName = :n"), {{QStringLiteral("n"), name}});
    while (q.ok && q.value.next())
        out << q.value.value(0).toString();
    return out;
}

void addSession(int id, const QString &login, const QString &logout, const QString &name, const QString &level)
{
    const auto r = store::exec(QStringLiteral("INSERT INTO LoginHistory VALUES (:id, :i, :o, :n, :l)"),
                               {{QStringLiteral("id"), id},
                                {QStringLiteral("i"), login},
                                {QStringLiteral("o"), logout.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(logout)},
                                {QStringLiteral("n"), name.isNull() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(name)},
                                {QStringLiteral("l"), level}});
    QVERIFY2(r.ok, qPrintable(r.error));
}

// Six sessions over three days; id 6 is still running.
void fillLog()
{
    addSession(1, QStringLiteral("2026-03-01 08:00:00"), QStringLiteral("2026-03-01 17:00:00"), QStringLiteral("ann"), QStringLiteral("Operator"));
    addSession(2, QStringLiteral("2026-03-02 00:00:00"), QStringLiteral("2026-03-03 00:30:00"), QStringLiteral("bob"), QStringLiteral("Administrator"));
    addSession(3, QStringLiteral("2026-03-02 23:59:59"), QStringLiteral("2026-03-03 01:00:00"), QStringLiteral("ann"), QStringLiteral("Operator"));
    addSession(4, QStringLiteral("2026-03-03 09:00:00"), QStringLiteral("2026-03-03 10:00:00"), QStringLiteral("  "), QStringLiteral("Operator"));
    addSession(5, QStringLiteral("2026-03-03 11:00:00"), QStringLiteral("2026-03-03 12:00:00"), QString(), QStringLiteral("Operator"));
    addSession(6, QStringLiteral("2026-03-03 13:00:00"), QString(), QStringLiteral("cy"), QStringLiteral("Administrator"));
}

QList<int> ids(const QList<QVariantMap> &rows)
{
    QList<int> out;
    for (const auto &r : rows)
        out << r.value(QStringLiteral("LoginHistoryID")).toInt();
    return out;
}

} // namespace

class TestOperators : public QObject
{
    Q_OBJECT

private slots:
    void saveRefusals_data()
    {
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("refusal");
        // Stored: "clerk" as Operator.
        QTest::newRow("new, name taken") << true << "clerk" << "Administrator" << "User Name has been exist,please input again.";
        QTest::newRow("new, name taken in other case") << true << "CLERK" << "Operator" << "User Name has been exist,please input again.";
        QTest::newRow("new, free name") << true << "guard" << "Operator" << "";
        QTest::newRow("new, blank name") << true << "   " << "Operator" << "User Name empty,please input again!";
        QTest::newRow("modified, same name and level") << false << "clerk" << "Operator" << "User Name has been exist,please input again";
        QTest::newRow("modified, same name other level") << false << "clerk" << "Administrator" << "";
        QTest::newRow("modified, empty name") << false << "" << "Operator" << "User Name empty,please input again!";
    }
    void saveRefusals()
    {
        QFETCH(bool, isNew);
        QFETCH(QString, name);
        QFETCH(QString, level);
        QFETCH(QString, refusal);
        TestDataDir dir;
        addAccount(QStringLiteral("clerk"), QStringLiteral("1"), QStringLiteral("Operator"));
        QCOMPARE(accountSaveRefusal(isNew, name, level), refusal);
    }

    void passwordChange_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("oldPassword");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<int>("outcome");
        QTest::newRow("changed") << "clerk" << "1111" << "2222" << "2222" << int(PasswordChange::Changed);
        QTest::newRow("confirm differs") << "clerk" << "1111" << "2222" << "2223" << int(PasswordChange::ConfirmMismatch);
        QTest::newRow("both empty") << "clerk" << "1111" << "" << "" << int(PasswordChange::ConfirmMismatch);
        QTest::newRow("unknown name") << "nobody" << "1111" << "2222" << "2222" << int(PasswordChange::NoSuchAccount);
        QTest::newRow("name in other case") << "Clerk" << "1111" << "2222" << "2222" << int(PasswordChange::NoSuchAccount);
        QTest::newRow("wrong old password") << "clerk" << "1112" << "2222" << "2222" << int(PasswordChange::WrongOldPassword);
    }
    void passwordChange()
    {
        QFETCH(QString, name);
        QFETCH(QString, oldPassword);
        QFETCH(QString, newPassword);
        QFETCH(QString, confirm);
        QFETCH(int, outcome);
        TestDataDir dir;
        addAccount(QStringLiteral("clerk"), QStringLiteral("1111"), QStringLiteral("Operator"));
        addAccount(QStringLiteral("clerk"), QStringLiteral("9999"), QStringLiteral("Administrator"));
        QCOMPARE(int(changePassword(name, oldPassword, newPassword, confirm)), outcome);
        const QStringList stored = passwordsOf(QStringLiteral("clerk"));
        QCOMPARE(stored.size(), 2);
        for (const QString &h : stored) {
            QVERIFY(PasswordHash::isHash(h)); // never the typed text
            if (outcome == int(PasswordChange::Changed))
                QVERIFY(PasswordHash::verify(h, QStringLiteral("2222"))); // every account of the name
            else
                QVERIFY(!PasswordHash::verify(h, QStringLiteral("2222")));
        }
    }

    void loginNamesAreDistinctInTableOrder()
    {
        TestDataDir dir;
        fillLog();
        QCOMPARE(loginNames(), (QStringList{QStringLiteral("ann"), QStringLiteral("bob"), QStringLiteral("cy")}));
    }

    void search_data()
    {
        QTest::addColumn<QString>("conditions");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("all, by login time") << "" << QList<int>{1, 2, 3, 4, 5, 6};
        QTest::newRow("login on one day, whole day") << "login 2026-03-02 2026-03-02" << QList<int>{2, 3};
        QTest::newRow("login over two days") << "login 2026-03-01 2026-03-02" << QList<int>{1, 2, 3};
        QTest::newRow("logout on a day") << "logout 2026-03-03 2026-03-03" << QList<int>{2, 3, 4, 5};
        QTest::newRow("name") << "name ann" << QList<int>{1, 3};
        QTest::newRow("level, ordered by name") << "level Administrator order name" << QList<int>{2, 6};
        QTest::newRow("ordered by logout time") << "order logout" << QList<int>{6, 1, 2, 3, 4, 5};
        QTest::newRow("title clicked twice") << "sort LoginTime sort LoginTime" << QList<int>{6, 5, 4, 3, 2, 1};
        QTest::newRow("title clicked twice, with a condition") << "name ann sort LoginTime sort LoginTime" << QList<int>{3, 1};
    }
    void search()
    {
        QFETCH(QString, conditions);
        QFETCH(QList<int>, expected);
        TestDataDir dir;
        fillLog();
        LoginLogQuery q;
        QStringList sorts;
        const QStringList w = conditions.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (int i = 0; i < w.size(); ++i) {
            if (w[i] == QLatin1String("login")) {
                q.byLoginTime = true;
                q.loginFrom = QDate::fromString(w[++i], Qt::ISODate);
                q.loginTo = QDate::fromString(w[++i], Qt::ISODate);
            } else if (w[i] == QLatin1String("logout")) {
                q.byLogoutTime = true;
                q.logoutFrom = QDate::fromString(w[++i], Qt::ISODate);
                q.logoutTo = QDate::fromString(w[++i], Qt::ISODate);
            } else if (w[i] == QLatin1String("name")) {
                q.byName = true;
                q.name = w[++i];
            } else if (w[i] == QLatin1String("level")) {
                q.byLevel = true;
                q.level = w[++i];
            } else if (w[i] == QLatin1String("order")) {
                const QString o = w[++i];
                q.order = o == QLatin1String("name") ? LoginLogQuery::Order::LoginName : LoginLogQuery::Order::LogoutTime;
            } else if (w[i] == QLatin1String("sort")) {
                sorts << w[++i];
            }
        }
        QCOMPARE(q.refusal(), QString());
        QString sql = q.sql();
        for (const QString &field : sorts)
            sql = store::sortQuerySql(sql, field);
        const auto found = searchLoginLog(sql, q.params());
        QVERIFY2(found.ok, qPrintable(found.error));
        QCOMPARE(ids(found.value), expected);
    }

    void searchRefusals()
    {
        LoginLogQuery q;
        q.byLogoutTime = true;
        q.logoutFrom = QDate(2026, 3, 2);
        q.logoutTo = QDate(2026, 3, 1);
        QCOMPARE(q.refusal(), QStringLiteral("Login Time period input error."));
        q = LoginLogQuery();
        q.byLoginTime = true;
        q.loginFrom = q.loginTo = QDate(2026, 3, 2);
        QCOMPARE(q.refusal(), QString());
        q.byName = true; // checked with nothing chosen
        QVERIFY(!q.refusal().isEmpty());
    }

    void clearKeepsRunningSessionAndOthersOutsideTheResult()
    {
        TestDataDir dir;
        fillLog();
        LoginLogQuery q;
        q.byName = true;
        q.name = QStringLiteral("ann");
        auto cleared = clearLoginLog(q);
        QVERIFY(cleared.ok);
        QCOMPARE(cleared.value, 2);
        QCOMPARE(ids(searchLoginLog(LoginLogQuery()).value), (QList<int>{2, 4, 5, 6}));

        cleared = clearLoginLog(LoginLogQuery());
        QVERIFY(cleared.ok);
        QCOMPARE(cleared.value, 3);
        QCOMPARE(ids(searchLoginLog(LoginLogQuery()).value), (QList<int>{6}));
    }
};

QTEST_GUILESS_MAIN(TestOperators)
#include "tst_operators.moc"
