#pragma once

#include "common/Result.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// The record of operator sessions (table LoginHistory): searching it and
// clearing finished sessions.
namespace operators {

struct LoginLogQuery
{
    enum class Order { LoginTime, LogoutTime, LoginName, LoginLevel };

    bool byLoginTime = false;
    QDate loginFrom, loginTo; // whole days, both included
    bool byLogoutTime = false;
    QDate logoutFrom, logoutTo;
    bool byName = false;
    QString name;
    bool byLevel = false;
    QString level;
    Order order = Order::LoginTime;

    // The error text that refuses the search, or empty when it may run.
    QString refusal() const;
    QString sql() const;
    QVariantMap params() const;
};

// Distinct, non-blank login names in table order (first occurrence kept).
QStringList loginNames();

// The sessions the query finds, in its order. The statement may have been
// re-sorted by a column title (store::sortQuerySql).
Result<QList<QVariantMap>> searchLoginLog(const QString &sql, const QVariantMap &params);
inline Result<QList<QVariantMap>> searchLoginLog(const LoginLogQuery &query)
{
    return searchLoginLog(query.sql(), query.params());
}

// Deletes the finished sessions (with a logout time) among those the query
// finds; a running session is never deleted. Gives the number deleted.
Result<int> clearLoginLog(const QString &sql, const QVariantMap &params);
inline Result<int> clearLoginLog(const LoginLogQuery &query) { return clearLoginLog(query.sql(), query.params()); }

} // namespace operators
