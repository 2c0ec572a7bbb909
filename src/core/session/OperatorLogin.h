#pragma once

#include "common/Result.h"

#include <QDateTime>
#include <QString>

// Login checks and the login-session records kept in LoginHistory.
namespace session {

struct TitleInfo
{
    QString title; // TitleName.Title of the first row; empty when none
    int level = 0; // TitleName.Level of that row; 0 when none
};
TitleInfo readTitle();

struct LoginMatch
{
    bool matched = false;
    QString operatorName;
    int operatorLevel = 0; // 2 Administrator, 1 anything else
};

// Walks the Admin rows from the first; the first row whose name equals the
// typed name exactly (case-sensitive) and whose password hash accepts the
// typed password wins.
LoginMatch checkLogin(const QString &userName, const QString &password);

inline QString levelName(int level)
{
    return level == 2 ? QStringLiteral("Administrator") : QStringLiteral("Operator");
}

// At start: closes a session left open (the last row, if its LogoutTime is
// Null, gets `now`), then adds the new session row. One transaction.
Result<int> recordLogin(const QString &operatorName, int operatorLevel, const QDateTime &now);

// At quit: the last row gets LogoutTime = now, or LoginTime + 5 seconds when
// the clock now reads earlier than (or equal to) the login time.
Status recordLogout(const QDateTime &now);

} // namespace session
