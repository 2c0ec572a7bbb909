#pragma once

// Page writes and reads on a DS1977 program key, addressed through the
// context's ROM buffer (filled by IsOneWirePortOK). Each call is one complete
// driver session. Callers use the three-attempt wrappers; see KeyTransfer.h.

#include "ibutton/KeyTransfer.h"

#include <QByteArray>
#include <array>

namespace onewire {

constexpr int kDS1977Pages = 512;
constexpr int kPageBytes = 64;
using PageData = std::array<uint8_t, kPageBytes>;
// The 64 bytes of a page, then the two CRC bytes of the transfer (low first).
using PageReadBuffer = std::array<uint8_t, kPageBytes + 2>;

// Page p starts at byte address 64 * p: TA1 is its low byte, TA2 its high byte.
constexpr uint8_t pageTA1(int page) { return uint8_t((page * kPageBytes) & 0xFF); }
constexpr uint8_t pageTA2(int page) { return uint8_t(page / 4); }

// How often one call repeats the scratchpad write, or the page read, while
// the CRC-16 does not check (as when the key is pulled off mid-transfer)
// before it gives up with false.
constexpr int kMaxCrcRepeats = 5;
// Attempts per page of the wrappers every caller uses.
constexpr int kPageAttempts = 3;

// Writes the 64 bytes to the page: write scratchpad (CRC-16 checked), read
// scratchpad for E/S, copy with the key password. True only when the key
// confirmed the copy with 0xAA. The reset results other than presence go out
// as warnings.
bool WriteDS1977Data(KeyTransferContext &ctx, int page, const PageData &data);
// Reads the page with the key password; true when the CRC-16 checked.
bool ReadDS1977Data(KeyTransferContext &ctx, int page, PageReadBuffer &out);

// Up to `attempts` calls, stopping at the first success.
bool writeDS1977PageWithRetries(KeyTransferContext &ctx, int page, const PageData &data,
                                int attempts = kPageAttempts);
bool readDS1977PageWithRetries(KeyTransferContext &ctx, int page, PageReadBuffer &out,
                               int attempts = kPageAttempts);
// The same for page buffers held as byte arrays (`data` must be 64 bytes; the
// read gives the 64 page bytes, empty on failure).
bool writeDS1977PageWithRetries(KeyTransferContext &ctx, int page, const QByteArray &data,
                                int attempts = kPageAttempts);
QByteArray readDS1977PageWithRetries(KeyTransferContext &ctx, int page, int attempts = kPageAttempts);

} // namespace onewire
