#pragma once

#include "KeyEncoding.h"
#include "ScheduleTable.h"
#include "UserRecord.h"

#include <QStringList>
#include <QVector>

namespace keyformat {

// What new locks left on a system setup key.
struct NewLockList
{
    BcdStamp timeInLock;
    QString timeInLockText;        // date-time text or "Lock Time Is Invalid value"
    bool classroomDefault = false; // page 0 byte 28 = 0x5A: schedule 1, else schedule 2
    int locksTaken = 0;            // page 1 byte 0
    QStringList serials;           // valid entries, each listed once, in key order
    int skippedEntries = 0;        // entries without the 0x5A mark
};
NewLockList decodeNewLockList(const QByteArray &image);

constexpr int kInfoUserFirstPage = 3;
constexpr int kInfoTableFirstPage = 285;
constexpr int kMaxInfoUsers = (kInfoTableFirstPage - kInfoUserFirstPage) * 2; // 564

// What one lock wrote on an information key.
struct LockInformation
{
    bool touched = false;  // page 1 bytes 16-23 are not all 0xFF
    QString keyListStatus; // "Enable"/"Disable"
    QString manualSetupStatus;
    QString daylightSavingStatus;
    QString daylightSaving; // "Yes"/"No", empty when the status is not on
    QString lockSerial;
    QString blink;
    QString lockMode;        // "Classroom Mode"/"Storehouse Mode"
    QString hardwareVersion; // four hex digits
    QString softwareVersion; // three characters
    int userNumber = 0;
    BcdStamp timeInLock;
    QString timeInLockText;
    int auditTrailNumber = 0;
    QString batteryVoltage;       // "####.#"
    QString lockLevel;            // "Low", "Midium", "High", empty for other values
    QVector<InfoUserEntry> users; // as many as fit before page 285
    DecodedScheduleBlock tables;
};
LockInformation decodeLockInformation(const QByteArray &image);

int auditTrialNumber(uint8_t a, uint8_t b);
QString batteryVoltageText(uint8_t raw);

} // namespace keyformat
