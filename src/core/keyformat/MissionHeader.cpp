#include "MissionHeader.h"

#include "KeyEncoding.h"

namespace keyformat {

int facilityOffsetFor(HeaderForm form, uint8_t type)
{
    if (form == HeaderForm::Write) {
        switch (type) {
        case mission::kNewLockSetup:
            return 8;
        case mission::kLockout:
        case mission::kLockSetup:
        case mission::kSystemCode:
            return 6;
        case mission::kMultiple:
            return 7;
        default:
            return -1;
        }
    }
    if (form == HeaderForm::Read)
        return 5; // every read type
    return -1;
}

QByteArray headerPage(HeaderForm form, uint8_t type, const FacilityBytes &fc)
{
    QByteArray p = blankPage();
    if (form == HeaderForm::Write) {
        p.replace(0, 5, "WRITE");
        setByte(p, 5, type);
    } else if (form == HeaderForm::Read) {
        p.replace(0, 4, "READ");
        setByte(p, 4, type);
    }
    const int at = facilityOffsetFor(form, type);
    if (at >= 0)
        putFacility(p, at, fc);
    return p;
}

MissionHeader parseHeader(const QByteArray &page0In)
{
    const QByteArray page0 = page0In.left(kPageSize).leftJustified(kPageSize, char(0xFF));
    MissionHeader h;
    if (page0.startsWith("WRITE")) {
        h.form = HeaderForm::Write;
        h.type = byteAt(page0, 5);
        switch (h.type) {
        case mission::kNewLockSetup:
            h.name = QStringLiteral("New Lock Setup Mission Key");
            break;
        case mission::kLockout:
            h.name = QStringLiteral("Lockout Key");
            break;
        case mission::kLockSetup:
            h.name = QStringLiteral("Key Management Mission Key");
            break;
        case mission::kMultiple:
            h.name =
                byteAt(page0, 63) == 0xAA ? QStringLiteral("Set Time Table Key") : QStringLiteral("Multi-Lock Key");
            break;
        default:
            break;
        }
        h.kind = h.type == mission::kSystemCode ? QStringLiteral("System Code Key") : h.name;
    } else if (page0.startsWith("READ")) {
        h.form = HeaderForm::Read;
        h.type = byteAt(page0, 4);
        switch (h.type) {
        case mission::kGetInformation:
            h.name = QStringLiteral("Get Information Key");
            break;
        case mission::kAuditOneKey:
        case mission::kAuditFirstKey:
        case mission::kAuditSecondKey:
            h.name = QStringLiteral("Get Audit Trail Key");
            break;
        case mission::kMultiAudit:
            h.name = QStringLiteral("Multi-Lock Audit Trail Key");
            break;
        case mission::kSetParameterOld:
            h.name = QStringLiteral("Set Parameter Key");
            break;
        case mission::kIrStarter:
            h.name = QStringLiteral("IR Starter Key");
            break;
        default:
            break;
        }
        switch (h.type) {
        case mission::kParameter:
            h.kind = byteAt(page0, 38) == kOn ? QStringLiteral("Time Function Active Key")
                                              : QStringLiteral("Set Parameter Key");
            break;
        case mission::kOneOffKey:
            h.kind = QStringLiteral("One-off Key");
            break;
        case mission::kClockData:
            h.kind = QStringLiteral("Clock data");
            break;
        default:
            h.kind = h.name;
            break;
        }
    } else {
        h.kind = QStringLiteral("not a mission");
        return h;
    }
    if (h.kind.isEmpty())
        h.kind = QStringLiteral("unknown mission type 0x%1")
                     .arg(QStringLiteral("%1").arg(h.type, 2, 16, QLatin1Char('0')).toUpper());
    h.facilityOffset = facilityOffsetFor(h.form, h.type);
    if (h.facilityOffset >= 0)
        h.facility = facilityAt(page0, h.facilityOffset);
    return h;
}

} // namespace keyformat
