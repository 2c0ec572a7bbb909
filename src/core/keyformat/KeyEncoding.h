#pragma once

#include "KeyPage.h"
#include "ibutton/Checksums.h"

#include <QDateTime>
#include <QString>
#include <QVector>

// The encodings every key layout shares: 0xFF-filled pages, big-endian counts,
// 0x5A switches, BCD date-times, digit codes, registration numbers in bus
// order and the eight-per-page lock lists. Every encoder and decoder of the
// key formats goes through these, so one layout rule lives in one place.
namespace keyformat {

constexpr uint8_t kOn = 0x5A;
constexpr uint8_t kOff = 0x00;

QByteArray blankPage(uint8_t fill = 0xFF);
KeyPage makePage(int number, const QByteArray &data);

inline uint8_t byteAt(const QByteArray &buf, int offset)
{
    return (offset >= 0 && offset < buf.size()) ? static_cast<uint8_t>(buf.at(offset)) : 0xFF;
}
inline void setByte(QByteArray &buf, int offset, uint8_t v)
{
    if (offset >= 0 && offset < buf.size())
        buf[offset] = static_cast<char>(v);
}

// Two-byte counts, high byte first.
void putU16(QByteArray &buf, int offset, int value);
int getU16(const QByteArray &buf, int offset);

inline uint8_t switchByte(bool on)
{
    return on ? kOn : kOff;
}
inline bool isOn(uint8_t b)
{
    return b == kOn;
}

void putFacility(QByteArray &buf, int offset, const FacilityBytes &fc);
FacilityBytes facilityAt(const QByteArray &buf, int offset);
QString facilityText(const FacilityBytes &fc); // six digits; hex digits kept as found

// Registration numbers: eight bytes in bus order (family code first). The text
// form is 16 upper-case hex digits, byte 7 first.
void putRom(QByteArray &buf, int offset, const onewire::RomBytes &rom);
onewire::RomBytes romAt(const QByteArray &buf, int offset);
QString serialTextAt(const QByteArray &buf, int offset);
bool isAllFF(const QByteArray &buf, int offset, int n);

// BCD date-time fields as a lock keeps them (two-digit year meaning 20YY).
struct BcdStamp
{
    uint8_t year = 0xFF, month = 0xFF, day = 0xFF, hour = 0xFF, minute = 0xFF, second = 0x00;
};
BcdStamp stampFrom(const QDateTime &dt);
// Year, month, day, hour, minute (5 bytes).
void putYmdhm(QByteArray &buf, int offset, const QDateTime &dt);
BcdStamp ymdhmAt(const QByteArray &buf, int offset);
// Year, month, 0x00, day, hour, minute, second (7 bytes): the form that sets a lock's clock.
void putClock(QByteArray &buf, int offset, const QDateTime &dt);
BcdStamp clockAt(const QByteArray &buf, int offset);

// The lock's range test for a stored date-time: year <= 0x99, month 0x01-0x12,
// day 0x01-0x31, hour <= 0x24, minute and second <= 0x60 (compared as bytes).
bool stampPassesRangeTest(const BcdStamp &s);
// The stamp as a real date-time (20YY); invalid when a nibble is not a digit
// or the fields form no real moment (31 April, hour 24, minute 60).
QDateTime stampToDateTime(const BcdStamp &s);
QString stampText(const BcdStamp &s);
// A lock's wall-clock reading as a date-time. Locks know no time zones: a
// reading that falls into the PC's daylight-saving gap (02:30 on the spring
// change) is still a real reading, so it is kept with the same fields
// instead of becoming invalid.
QDateTime wallClock(const QDate &date, const QTime &time); // "yyyy-MM-dd HH:mm:ss" or the raw digits when not real

// Digit codes: a count byte then five bytes holding the code right-padded with
// 0 to ten digits, first digit in the high nibble. False (and nothing
// written) when the code is empty, longer than ten digits or not all digits.
constexpr int kMaxDigitCode = 10;
bool isDigitCode(const QString &code);
bool putDigitCode(QByteArray &buf, int offset, const QString &code);
// The first `count` hex digits of `nBytes` bytes from `offset` (high nibble first).
QString nibbleDigits(const QByteArray &buf, int offset, int nBytes, int count);

// Packs fixed-size entries into pages: `perPage` entries of `entrySize` bytes
// at offsets 0, entrySize, ... from `firstPage` on. A page is emitted when it
// is full, and after the last entry the current page is emitted even when it
// holds none, unless that page would lie beyond `lastPage` (a full region).
KeyPages packEntries(int firstPage, int lastPage, int perPage, int entrySize, const QVector<QByteArray> &entries,
                     uint8_t fill = 0xFF);

// The lock list of a mission: eight registration numbers per page.
KeyPages lockListPages(int firstPage, int lastPage, const QVector<onewire::RomBytes> &locks);

// A 32768-byte key image and its pages.
QByteArray pageOf(const QByteArray &image, int page); // kPageSize bytes, 0xFF beyond the image
void putPage(QByteArray &image, int page, const QByteArray &data);
QByteArray blankImage();
void applyPages(QByteArray &image, const KeyPages &pages);

} // namespace keyformat
