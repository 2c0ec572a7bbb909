#pragma once

// Setting and reading the clock of a time key: DS1994 (family 0x04, clock and
// memory) and DS1904 (family 0x24, clock only). The key is addressed through
// the context's ROM buffer, filled by IsOneWirePortOK for that family or from
// the key's registration number (romBufferFromText). Each call is one
// complete driver session; see KeyTransfer.h.

#include "ibutton/KeyTransfer.h"

#include <QDateTime>
#include <array>

namespace onewire {

// Seconds since 1970-01-01 00:00:00 of the same local time, rounded to the
// nearest second: the count the locks' clocks run on.
uint32_t clockCount(const QDateTime &localTime);
// The local date and time of a count.
QDateTime clockCountToDateTime(uint32_t count);

// How often a DS1994 block write is repeated while its read-back differs.
constexpr int kMaxClockVerifyRepeats = 5;

// The DS1994's page 0 as the program writes it: "READ", 0xFD, the facility
// code, then zeros.
std::array<uint8_t, 32> timeKeyPage(const std::array<uint8_t, 3> &facilityCode);

// DS1994: writes page 0 and sets the clock to Clock::now(), each block
// verified through the scratchpad before it is copied.
bool WriteTimeCard(KeyTransferContext &ctx, const std::array<uint8_t, 3> &facilityCode);
// DS1904: sets the clock to Clock::now(); not read back.
bool WriteTimeCard1(KeyTransferContext &ctx);

using TimeCardBuffer = std::array<uint8_t, 64>;
// DS1994: bytes 0-31 page 0, bytes 32-35 the clock count (low byte first).
bool ReadTimeCard(KeyTransferContext &ctx, TimeCardBuffer &out);
// DS1904: byte 0 the control byte, bytes 1-4 the clock count (low byte first).
bool ReadTimeCard1(KeyTransferContext &ctx, TimeCardBuffer &out);

} // namespace onewire
