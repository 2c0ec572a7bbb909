#pragma once

#include "KeyPage.h"
#include "common/Result.h"

#include <QDateTime>

namespace keyformat {

// The eight digit characters every system setup mission carries at bytes
// 11-18; the site's locks match them before taking the setup.
QByteArray systemSetupCode();

// "WRITE" type 0x00: initialises a new lock.
struct SystemSetupMission
{
    FacilityBytes facility{};
    int motorPulseTenths = 5;     // 1..255
    int lockBackDelayTenths = 50; // 1..255
    bool daylightSaving = false;
    bool blink = false;
    bool classroom = false;      // lock mode: Classroom, else Storehouse
    bool timingRevealed = false; // the operator revealed and used the timing fields
    QDateTime clock;             // the PC's clock when the page is built
};

// Seconds as typed ("2.5") to tenths, rounded to the nearest integer.
int tenthsOfSeconds(double seconds);

// Pages 0 and 1; refused when a timing value lies outside 1..255 tenths.
Result<KeyPages> encodeSystemSetup(const SystemSetupMission &m);

} // namespace keyformat
