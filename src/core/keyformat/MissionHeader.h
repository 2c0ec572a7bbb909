#pragma once

#include "KeyPage.h"

#include <QString>

namespace keyformat {

enum class HeaderForm { None, Write, Read };

// Mission type bytes.
namespace mission {
constexpr uint8_t kNewLockSetup = 0x00;    // write
constexpr uint8_t kLockout = 0x01;         // write
constexpr uint8_t kLockSetup = 0x02;       // write
constexpr uint8_t kMultiple = 0x03;        // write
constexpr uint8_t kSystemCode = 0x05;      // write
constexpr uint8_t kGetInformation = 0x00;  // read
constexpr uint8_t kAuditOneKey = 0x01;     // read
constexpr uint8_t kAuditFirstKey = 0x02;   // read
constexpr uint8_t kAuditSecondKey = 0x03;  // read
constexpr uint8_t kParameter = 0xE0;       // read
constexpr uint8_t kMultiAudit = 0xFB;      // read
constexpr uint8_t kOneOffKey = 0xFC;       // read
constexpr uint8_t kClockData = 0xFD;       // read
constexpr uint8_t kSetParameterOld = 0xFE; // read
constexpr uint8_t kIrStarter = 0xFF;       // read
} // namespace mission

// Page 0 as the Read Key window sees it.
struct MissionHeader
{
    HeaderForm form = HeaderForm::None;
    uint8_t type = 0xFF;
    int facilityOffset = -1; // -1: this type carries no facility code the reader checks
    FacilityBytes facility{{0xFF, 0xFF, 0xFF}};
    QString name; // the key name shown by Read Key; empty when not named
    QString kind; // a short description for any header, named or not

    bool isMission() const { return form != HeaderForm::None; }
    // The check the Read Key window makes: the code at this type's place equals the site's.
    bool facilityIs(const FacilityBytes &site) const { return facilityOffset >= 0 && facility == site; }
};

// Byte where the facility code sits for a mission type, -1 for unknown types.
int facilityOffsetFor(HeaderForm form, uint8_t type);
// A 0xFF page with "WRITE"/"READ", the type byte and the facility code at its place.
QByteArray headerPage(HeaderForm form, uint8_t type, const FacilityBytes &fc);
MissionHeader parseHeader(const QByteArray &page0);

} // namespace keyformat
