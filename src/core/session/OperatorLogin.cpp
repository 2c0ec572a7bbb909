#include "session/OperatorLogin.h"

#include "common/PasswordHash.h"
#include "store/Database.h"
#include "store/DbValue.h"

#include <QSqlError>

namespace session {

TitleInfo readTitle()
{
    TitleInfo t;
    auto q = store::exec(QStringLiteral("Select * from TitleName"));
    if (q.ok && q.value.next()) {
        t.title = q.value.value(QStringLiteral("Title")).toString();
        t.level = q.value.value(QStringLiteral("Level")).toInt();
    }
    return t;
}

LoginMatch checkLogin(const QString &userName, const QString &password)
{
    LoginMatch m;
    auto q = store::exec(QStringLiteral("Select * from Admin"));
    if (!q.ok)
        return m;
    while (q.value.next()) {
        const QString name = q.value.value(QStringLiteral("UserName")).toString();
        if (name != userName) // exact, case-sensitive
            continue;
        if (!PasswordHash::verify(q.value.value(QStringLiteral("UserPassword")).toString(), password))
            continue;
        m.matched = true;
        m.operatorName = name;
        m.operatorLevel = q.value.value(QStringLiteral("UserLevel")).toString() == QLatin1String("Administrator") ? 2 : 1;
        return m;
    }
    return m;
}

namespace {

struct LastRow
{
    bool exists = false;
    qint64 rowid = 0;
    QDateTime loginTime;
    bool logoutNull = false;
};

LastRow lastRow()
{
    LastRow r;
    auto q = store::exec(QStringLiteral("SELECT rowid, LoginTime, LogoutTime FROM LoginHistory ORDER BY rowid DESC LIMIT 1"));
    if (q.ok && q.value.next()) {
        r.exists = true;
        r.rowid = q.value.value(0).toLongLong();
        r.loginTime = store::toDateTime(q.value.value(1));
        r.logoutNull = q.value.value(2).isNull();
    }
    return r;
}

Status setLogout(qint64 rowid, const QDateTime &when)
{
    auto u = store::exec(QStringLiteral("UPDATE LoginHistory SET LogoutTime = :LogoutTime WHERE rowid = :r"),
                         {{QStringLiteral("LogoutTime"), when}, {QStringLiteral("r"), rowid}});
    return u.ok ? Status::success() : Status::failure(u.error);
}

} // namespace

Result<int> recordLogin(const QString &operatorName, int operatorLevel, const QDateTime &now)
{
    store::Transaction tx;
    const int id = store::nextId(QStringLiteral("LoginHistory"), QStringLiteral("LoginHistoryID"));
    const LastRow last = lastRow();
    if (last.exists && last.logoutNull) {
        const Status s = setLogout(last.rowid, now);
        if (!s.ok)
            return Result<int>::failure(s.error);
    }
    auto ins = store::exec(QStringLiteral("INSERT INTO LoginHistory (LoginHistoryID, LoginTime, LogoutTime, LoginName, "
                                          "LoginLevel) VALUES (:LoginHistoryID, :LoginTime, NULL, :LoginName, :LoginLevel)"),
                           {{QStringLiteral("LoginHistoryID"), id},
                            {QStringLiteral("LoginTime"), now},
                            {QStringLiteral("LoginName"), operatorName},
                            {QStringLiteral("LoginLevel"), levelName(operatorLevel)}});
    if (!ins.ok)
        return Result<int>::failure(ins.error);
    if (!tx.commit())
        return Result<int>::failure(store::Database::connection().lastError().text());
    return Result<int>::success(id);
}

Status recordLogout(const QDateTime &now)
{
    const LastRow last = lastRow();
    if (!last.exists)
        return Status::success();
    const QDateTime when = last.loginTime.isValid() && last.loginTime < now ? now : last.loginTime.addSecs(5);
    return setLogout(last.rowid, when.isValid() ? when : now);
}

} // namespace session
