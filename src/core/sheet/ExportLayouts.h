#pragma once

#include "sheet/SheetData.h"

#include <QDateTime>
#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QVariantMap>

// The worksheets the program exports. Each takes the rows of the window's
// list (column name -> stored value) and gives the sheet to write; a null or
// empty value leaves its cell empty.
namespace sheet {

inline const char *kDateTimeNumberFormat = "yyyy-mm-dd hh:mm:ss";

// "Lock List Report": SerialID, LockName, LockLocation, LockStatusID, LockType.
SheetData lockListSheet(const QList<QVariantMap> &locks, const QDateTime &printTime);
// "Key Lock Assignment Report": the users programmed into one lock.
SheetData lockKeyListSheet(const QString &lockName, const QString &lockLocation, const QList<QVariantMap> &users,
                           const QDateTime &printTime);
// "Key List Report": the users of the User Settings list.
SheetData userListSheet(const QList<QVariantMap> &users, const QDateTime &printTime);
// "Login Log Report": LoginTime, LogoutTime, LoginName, LoginLevel.
SheetData loginLogSheet(const QList<QVariantMap> &sessions, const QDateTime &printTime);

// Every remaining row of an active query, from its first record.
QList<QVariantMap> recordsOf(QSqlQuery &query);

// <dataDir>/exports/<what> <date> <time>.xlsx, not yet existing.
QString exportFilePath(const QString &dataDir, const QString &what, const QDateTime &when);

} // namespace sheet
