#pragma once

#include "KeyEncoding.h"
#include "common/Result.h"

#include <QDateTime>
#include <QString>
#include <QVector>

#include <functional>

namespace keyformat {

// Audit trail requests: "READ" types 0x01 (one key, 2000 records), 0x02/0x03
// (first and second of two keys) and 0xFB (several locks, with page 1).
Result<KeyPages> encodeAuditRequest(uint8_t type, const FacilityBytes &fc, int recordsPerLock = 0);

// Block length of a multi-lock audit key for the records wanted per lock
// (25, 50, 100, 200, 400, 1000); 0 for any other value.
int pagesPerLock(int recordsWanted);
int locksThatFit(int recordsWanted);

constexpr int kAuditRecordSize = 16;
constexpr int kAuditFirstPage = 2;
constexpr int kMaxSingleKeyRecords = (kLastPage - kAuditFirstPage + 1) * 4; // 2036

enum class AuditKind { RegisteredKey, Code, Lock, ProgramKey };

// One 16-byte record, decoded.
struct AuditRecord
{
    QByteArray raw;
    AuditKind kind = AuditKind::ProgramKey;
    QString serialId;                    // identity text (byte 7 first), or the code digits of a code record
    QString eventText;                   // OpenLockType
    QString codeType;                    // code records only, else null
    QString firstName, lastName, status; // defaults for records without a registered person
    QDateTime time;                      // OpenLockTime
};

// Validity: none of bytes 8-14 is 0xFF and every field passes its range.
bool auditRecordPassesRules(const QByteArray &record);
// Decodes a record that passes the rules. `isRegisteredKey` says whether an
// identity text is a user key of the site (KeyManagement); without it no key
// counts as registered.
AuditRecord decodeAuditRecord(const QByteArray &record,
                              const std::function<bool(const QString &)> &isRegisteredKey = {});
// Builds a record (the way a lock writes one).
QByteArray encodeAuditRecord(const QByteArray &identity8, const QDateTime &at, uint8_t eventCode);
QByteArray codeIdentity(const QString &digits); // 0xFF, count, digits high nibble first, 0xF padding

// Records of a run, with the ones left out counted.
struct AuditRun
{
    QVector<AuditRecord> records;
    int skippedByRules = 0;    // unwritten or out-of-range records
    int skippedUnrealDate = 0; // passed the rules but name no real moment (31 April, 24:00)
};

// A single-lock audit key (types 0x01-0x03) as the lock filled it.
struct SingleLockAudit
{
    bool touched = false; // page 0 bytes 10-17 are not all 0xFF
    QString lockSerial;
    int recordsInLock = 0;
    int recordsInKey = 0;
    BcdStamp lockClock;
    QString lockClockText; // date-time text or "Lock Time Is Invalid value"
    AuditRun run;
};
SingleLockAudit decodeSingleLockAudit(const QByteArray &image,
                                      const std::function<bool(const QString &)> &isRegisteredKey = {});

// A multi-lock audit key (type 0xFB).
struct AuditBlock
{
    int index = 0;
    int firstPage = 0;
    QString lockSerial;
    int recordsInBlock = 0;
    AuditRun run;
};
struct MultiLockAudit
{
    int recordsPerLock = 0;
    int pagesPerLock = 0;
    int locksAudited = 0;
    QString problem; // set when the blocks cannot be located
    QVector<AuditBlock> blocks;
};
MultiLockAudit decodeMultiLockAudit(const QByteArray &image,
                                    const std::function<bool(const QString &)> &isRegisteredKey = {});

QString lockClockText(const BcdStamp &clock);

} // namespace keyformat
