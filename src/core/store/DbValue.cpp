#include "store/DbValue.h"

namespace store {

QString dateTimeText(const QDateTime &dt)
{
    return dt.isValid() ? dt.toString(QLatin1String(kDateTimeFormat)) : QString();
}

QString timeText(const QTime &t) { return t.isValid() ? t.toString(QLatin1String(kTimeFormat)) : QString(); }

QVariant toDb(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return value;
    switch (value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return dt.isValid() ? QVariant(dateTimeText(dt)) : QVariant(QMetaType(QMetaType::QString));
    }
    case QMetaType::QDate: {
        const QDate d = value.toDate();
        return d.isValid() ? QVariant(dateTimeText(d.startOfDay())) : QVariant(QMetaType(QMetaType::QString));
    }
    case QMetaType::QTime: {
        const QTime t = value.toTime();
        return t.isValid() ? QVariant(timeText(t)) : QVariant(QMetaType(QMetaType::QString));
    }
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    default:
        return value;
    }
}

void bind(QSqlQuery &q, const QString &placeholder, const QVariant &value)
{
    q.bindValue(placeholder, toDb(value));
}

QDateTime toDateTime(const QVariant &stored)
{
    if (stored.isNull())
        return {};
    if (stored.typeId() == QMetaType::QDateTime)
        return stored.toDateTime();
    const QString s = stored.toString().trimmed();
    QDateTime dt = QDateTime::fromString(s, QLatin1String(kDateTimeFormat));
    if (!dt.isValid())
        dt = QDateTime::fromString(s, Qt::ISODate);
    if (!dt.isValid()) {
        const QDate d = QDate::fromString(s, QLatin1String("yyyy-MM-dd"));
        if (d.isValid())
            dt = d.startOfDay();
    }
    return dt;
}

QTime toTime(const QVariant &stored)
{
    if (stored.isNull())
        return {};
    if (stored.typeId() == QMetaType::QTime)
        return stored.toTime();
    const QString s = stored.toString().trimmed();
    QTime t = QTime::fromString(s, QLatin1String(kTimeFormat));
    if (!t.isValid())
        t = QTime::fromString(s, QLatin1String("HH:mm"));
    if (!t.isValid()) {
        // A full date-time stored in a time column: keep its time of day.
        const QDateTime dt = toDateTime(stored);
        if (dt.isValid())
            t = dt.time();
    }
    return t;
}

bool toBool(const QVariant &stored)
{
    if (stored.isNull())
        return false;
    if (stored.typeId() == QMetaType::QString) {
        const QString s = stored.toString().trimmed().toLower();
        return s == QLatin1String("1") || s == QLatin1String("true") || s == QLatin1String("-1") ||
               s == QLatin1String("yes");
    }
    return stored.toLongLong() != 0;
}

} // namespace store
