#pragma once

#include "common/Result.h"
#include "keyformat/KeyPage.h"
#include "keyformat/MultipleMission.h"
#include "keyformat/UserRecord.h"

#include <QDateTime>
#include <QJsonObject>
#include <QStringList>
#include <QVector>

namespace lockemu {

// What a lock did when a key or a person came to it.
struct LockAnswer
{
    bool accepted = false; // the mission was executed / the door opened
    QString text;          // what the lock did, for the person watching
    int eventCode = -1;    // the audit event written (-1: none)
};

// A stand-alone lock simulated in software, for training and tests. It keeps
// what a real lock keeps (registration number, facility code, clock, settings,
// users, schedule tables, one-off codes, audit log), executes the mission on a
// program key image the way the key layouts say a lock does, and decides
// openings by its users and rules, recording every event in its audit log.
class EmulatedLock
{
public:
    enum class Lockout { None, HeldOpen, HeldClosed };

    static constexpr int kMaxAuditRecords = 3000; // oldest records are dropped beyond this

    EmulatedLock() = default;
    // A factory-new lock, in set-up mode, waiting for a system setup key.
    EmulatedLock(const QString &serialId, const keyformat::FacilityBytes &facility);

    QString serialId() const { return m_serialId; }
    keyformat::FacilityBytes facility() const { return m_facility; }
    bool inSetupMode() const { return m_setupMode; }
    // The reset button: the lock waits for a system setup key.
    void pressReset() { m_setupMode = true; }

    // The lock's clock while the PC's clock shows `hostNow`.
    QDateTime lockTime(const QDateTime &hostNow) const;
    void setLockTime(const QDateTime &lockNow, const QDateTime &hostNow);

    // The key with registration number `keySerial` and contents `image` (32768
    // bytes) is touched to the lock; the lock executes its mission and writes
    // its answer into `image`. A mission with another facility code, or one
    // not addressed to this lock, leaves the key and the lock unchanged.
    LockAnswer touch(QByteArray &image, const QString &keySerial, const QDateTime &hostNow);

    // A person presents an iButton, or types a code, at the lock's time `at`.
    LockAnswer presentKey(const QString &keySerial, const QDateTime &at);
    LockAnswer enterCode(const QString &code, const QDateTime &at);

    // State, for the panel and tests.
    const QVector<keyformat::LockUser> &users() const { return m_users; }
    const QByteArray &tables() const { return m_tables; }
    const QStringList &oneOffCodes() const { return m_oneOffCodes; }
    const QVector<QByteArray> &auditLog() const { return m_audit; }
    Lockout lockout() const { return m_lockout; }
    bool classroomMode() const { return m_classroom; }
    bool doorHeldOpen() const { return m_doorHeldOpen || m_scheduleUnlocked; }
    bool unlockedBySchedule() const { return m_scheduleUnlocked; }
    int motorPulseTenths() const { return m_motorPulse; }
    int lockBackDelayTenths() const { return m_lockBackDelay; }
    bool daylightSaving() const { return m_daylightSaving; }
    bool blink() const { return m_blink; }
    bool timeFunctionActive() const { return m_timeFunctionActive; }
    bool systemCodeConfirmed() const { return m_systemCodeConfirmed; }
    const QVector<keyformat::DeleteCodeEntry> &deletedCodes() const { return m_deletedCodes; }
    // Adds a record as the lock would (used by lock-side events).
    void record(const QByteArray &identity8, const QDateTime &at, uint8_t eventCode);

    QJsonObject toJson() const;
    static Result<EmulatedLock> fromJson(const QJsonObject &o);

private:
    LockAnswer takeSystemSetup(QByteArray &image, const QByteArray &keyRom, const QDateTime &hostNow);
    LockAnswer takeLockSetup(const QByteArray &image, const QByteArray &keyRom, const QDateTime &hostNow);
    LockAnswer takeMultiple(const QByteArray &image, const QByteArray &keyRom, const QDateTime &hostNow);
    LockAnswer fillInformation(QByteArray &image, const QByteArray &keyRom, const QDateTime &hostNow);
    LockAnswer fillSingleAudit(QByteArray &image, uint8_t type, const QByteArray &keyRom, const QDateTime &hostNow);
    LockAnswer fillMultiAudit(QByteArray &image, const QByteArray &keyRom, const QDateTime &hostNow);
    LockAnswer takeParameters(const QByteArray &page0, const QByteArray &keyRom, const QDateTime &hostNow);
    // Why a user may not open at `at`: 0x05 time shift, 0x06 act/exp date, 0x07 holiday; 0 when allowed.
    int ruleRefusal(const keyformat::LockUser &u, const QDateTime &at) const;
    bool classroomAt(const QDateTime &at) const;
    // Lets the lock's clock run to `until`: the Lock/Unlock entries of its
    // schedule passed on the way open and close the door by themselves, and
    // are logged as "Lock Auto Opened"/"Lock Auto Closed".
    void runSchedule(const QDateTime &until);
    LockAnswer open(const QByteArray &identity, bool isCode, int codeType, const QDateTime &at);

    QString m_serialId;
    keyformat::FacilityBytes m_facility{};
    bool m_setupMode = true;
    qint64 m_clockSkewSecs = 0;
    int m_motorPulse = 5;
    int m_lockBackDelay = 50;
    bool m_daylightSaving = false;
    bool m_blink = false;
    bool m_classroom = false;
    bool m_classroomSchedule = false;
    bool m_timeFunctionActive = false;
    bool m_systemCodeConfirmed = false;
    bool m_doorHeldOpen = false;
    Lockout m_lockout = Lockout::None;
    QByteArray m_tables = QByteArray(1024, char(0xFF));
    QVector<keyformat::LockUser> m_users;
    QStringList m_oneOffCodes;
    QVector<keyformat::DeleteCodeEntry> m_deletedCodes;
    QVector<QByteArray> m_audit;
    bool m_scheduleUnlocked = false;
    QDateTime m_scheduleCheckedTo; // lock time up to which the schedule has run
    QString m_complexStepSerial;   // a complex user who has presented the key and owes the code
    QDateTime m_complexStepAt;
};

} // namespace lockemu
