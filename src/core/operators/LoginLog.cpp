#include "operators/LoginLog.h"

#include "sheet/ExportLayouts.h"
#include "store/Database.h"

namespace operators {

QString LoginLogQuery::refusal() const
{
    if (byLoginTime && loginFrom > loginTo)
        return QStringLiteral("Login Time period input error.");
    if (byLogoutTime && logoutFrom > logoutTo)
        return QStringLiteral("Login Time period input error.");
    if (byName && name.isEmpty())
        return QStringLiteral("Please select a login name.");
    if (byLevel && level.isEmpty())
        return QStringLiteral("Please select a login level.");
    return QString();
}

QString LoginLogQuery::sql() const
{
    QString s = QStringLiteral("SELECT * FROM LoginHistory WHERE LoginHistoryID <> 0");
    if (byLoginTime)
        s += QStringLiteral(" AND (LoginTime >= :LoginTime1 AND LoginTime < :LoginTime2)");
    if (byLogoutTime)
        s += QStringLiteral(" AND (LogoutTime >= :LogoutTime1 AND LogoutTime < :LogoutTime2)");
    if (byName)
        s += QStringLiteral(" AND LoginName = :LoginName");
    if (byLevel)
        s += QStringLiteral(" AND LoginLevel = :LoginLevel");
    switch (order) {
    case Order::LoginTime:
        s += QStringLiteral(" ORDER BY LoginTime");
        break;
    case Order::LogoutTime:
        s += QStringLiteral(" ORDER BY LogoutTime");
        break;
    case Order::LoginName:
        s += QStringLiteral(" ORDER BY LoginName");
        break;
    case Order::LoginLevel:
        s += QStringLiteral(" ORDER BY LoginLevel");
        break;
    }
    return s;
}

QVariantMap LoginLogQuery::params() const
{
    QVariantMap p;
    if (byLoginTime) {
        p.insert(QStringLiteral("LoginTime1"), loginFrom.startOfDay());
        p.insert(QStringLiteral("LoginTime2"), loginTo.addDays(1).startOfDay());
    }
    if (byLogoutTime) {
        p.insert(QStringLiteral("LogoutTime1"), logoutFrom.startOfDay());
        p.insert(QStringLiteral("LogoutTime2"), logoutTo.addDays(1).startOfDay());
    }
    if (byName)
        p.insert(QStringLiteral("LoginName"), name);
    if (byLevel)
        p.insert(QStringLiteral("LoginLevel"), level);
    return p;
}

QStringList loginNames()
{
    QStringList names;
    auto q = store::exec(QStringLiteral("SELECT * FROM LoginHistory"));
    while (q.ok && q.value.next()) {
        const QVariant v = q.value.value(QStringLiteral("LoginName"));
        const QString name = v.toString();
        if (v.isNull() || name.trimmed().isEmpty() || names.contains(name))
            continue;
        names.append(name);
    }
    return names;
}

Result<QList<QVariantMap>> searchLoginLog(const QString &sql, const QVariantMap &params)
{
    auto q = store::exec(sql, params);
    if (!q.ok)
        return Result<QList<QVariantMap>>::failure(q.error);
    return Result<QList<QVariantMap>>::success(sheet::recordsOf(q.value));
}

Result<int> clearLoginLog(const QString &sql, const QVariantMap &params)
{
    const auto found = searchLoginLog(sql, params);
    if (!found.ok)
        return Result<int>::failure(found.error);
    store::Transaction tx;
    int deleted = 0;
    for (const QVariantMap &row : found.value) {
        if (row.value(QStringLiteral("LogoutTime")).toString().trimmed().isEmpty())
            continue; // the running session
        const auto del = store::exec(QStringLiteral("DELETE FROM LoginHistory WHERE LoginHistoryID = :LoginHistoryID"),
                                     {{QStringLiteral("LoginHistoryID"), row.value(QStringLiteral("LoginHistoryID"))}});
        if (!del.ok)
            return Result<int>::failure(del.error);
        ++deleted;
    }
    if (!tx.commit())
        return Result<int>::failure(QStringLiteral("The log could not be cleared."));
    return Result<int>::success(deleted);
}

} // namespace operators
