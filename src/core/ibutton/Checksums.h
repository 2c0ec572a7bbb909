#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>

namespace onewire {

// 1-Wire CRC-8 (x^8 + x^5 + x^4 + 1), table-driven, accumulator starts at `crc`.
uint8_t crc8(const uint8_t *data, size_t n, uint8_t crc = 0);
uint8_t crc8Step(uint8_t crc, uint8_t byte);
// 1-Wire CRC-16 (reflected polynomial 0xA001), accumulator starts at `crc`.
uint16_t crc16(const uint8_t *data, size_t n, uint16_t crc = 0);
uint16_t crc16Step(uint16_t crc, uint8_t byte);

// BCD: 0..99 -> 0x00..0x99, and back (a nibble above 9 gives -1).
uint8_t toBcd(int value);
int fromBcd(uint8_t bcd);

// Hexadecimal digit value of a one-character text: 0..15 for "0".."9",
// "A".."F"; 16 for anything else, lower-case letters included.
int Change(const QString &oneChar);

// Registration number text (16 upper-case hex characters, CRC-8 byte first,
// family code last) and bus order (family code first).
using RomBytes = std::array<uint8_t, 8>;
QString serialTextFromBus(const RomBytes &busOrder);
// Converts the text pair by pair from the end; false when the text is not 16
// characters of 0-9/A-F.
bool busFromSerialText(const QString &text, RomBytes &busOrder);
// 16 upper-case hex characters whose bytes in bus order give CRC-8 0.
bool isValidSerialText(const QString &text);

} // namespace onewire
