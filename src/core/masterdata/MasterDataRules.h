#pragma once

#include "store/CachedEdits.h"
#include "store/CachedQuery.h"

#include <QString>
#include <QTime>

// Statements and checks of the master-data windows (locks, users, time
// shifts, date groups, schedules), kept apart from the windows.
namespace masterdata {

store::UpdateSql lockManagementSql();
store::UpdateSql keyManagementSql();
store::UpdateSql timeShiftSql();
store::UpdateSql actExpDateSql();
store::UpdateSql exceptionDateSql();
store::UpdateSql lockStatusSTSql();

// Grid columns of a schedule's entries: "Begin Time" (HH:MM), "Lock
// Status" and the seven weekdays (painted, no text).
QVector<store::CachedQuery::Column> scheduleEntryColumns();

// A registration number text whose eight bytes check with CRC-8 (letters
// of either case).
bool serialCrcOk(const QString &serial);
bool isDigitsOnly(const QString &text);

// The first refused check, as the operator is told.
struct Refusal
{
    enum class Kind { None, Information, Warning };
    Kind kind = Kind::None;
    QString text;
    bool refused() const { return kind != Kind::None; }
};

struct LockInput
{
    int lockId = 0;
    QString serial;
    QString name;
    QString location;
    bool inserting = false;
};
// Lock Settings' checks in order (every message is a warning); empty when
// the lock may be saved.
QString checkLock(const LockInput &in);

struct UserInput
{
    int keyId = 0;
    QString serial;
    QString keyCode;
    QString firstName;
    QString lastName;
    QString status;
    QString userType;
    bool inserting = false;
};
// User Settings' checks in order.
Refusal checkUser(const UserInput &in);

// Time Shifts' checks of one period.
Refusal checkPeriod(int groupId, const QTime &begin, const QTime &end, const QString &day);

} // namespace masterdata
