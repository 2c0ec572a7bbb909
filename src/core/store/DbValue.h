#pragma once

#include <QDateTime>
#include <QSqlQuery>
#include <QVariant>

// The one way values travel between the program and the database.
// Date-times are stored as "yyyy-MM-dd HH:mm:ss" text (local time, whole
// seconds), times of day as "HH:mm:ss", booleans as 0/1. Binding a QDateTime
// directly through Qt would store an ISO text with a 'T' and milliseconds, and
// text comparisons in SQL would silently go wrong.
namespace store {

inline const char *kDateTimeFormat = "yyyy-MM-dd HH:mm:ss";
inline const char *kTimeFormat = "HH:mm:ss";

// Converts a program value into the stored representation (null stays null).
QVariant toDb(const QVariant &value);
QString dateTimeText(const QDateTime &dt);
QString timeText(const QTime &t);

// Binds through toDb().
void bind(QSqlQuery &q, const QString &placeholder, const QVariant &value);

// Reads a stored value back. Null or unparsable gives an invalid value.
QDateTime toDateTime(const QVariant &stored);
QTime toTime(const QVariant &stored);
bool toBool(const QVariant &stored);

} // namespace store
