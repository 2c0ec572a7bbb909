#include "KeyEncoding.h"

namespace keyformat {

using onewire::fromBcd;
using onewire::RomBytes;
using onewire::toBcd;

QByteArray blankPage(uint8_t fill)
{
    return QByteArray(kPageSize, static_cast<char>(fill));
}

KeyPage makePage(int number, const QByteArray &data)
{
    KeyPage p;
    p.number = number;
    p.data = data.left(kPageSize);
    if (p.data.size() < kPageSize)
        p.data.append(QByteArray(kPageSize - p.data.size(), char(0xFF)));
    return p;
}

void putU16(QByteArray &buf, int offset, int value)
{
    setByte(buf, offset, static_cast<uint8_t>((value >> 8) & 0xFF));
    setByte(buf, offset + 1, static_cast<uint8_t>(value & 0xFF));
}

int getU16(const QByteArray &buf, int offset)
{
    return byteAt(buf, offset) * 256 + byteAt(buf, offset + 1);
}

void putFacility(QByteArray &buf, int offset, const FacilityBytes &fc)
{
    for (int i = 0; i < 3; ++i)
        setByte(buf, offset + i, fc[static_cast<size_t>(i)]);
}

FacilityBytes facilityAt(const QByteArray &buf, int offset)
{
    return {{byteAt(buf, offset), byteAt(buf, offset + 1), byteAt(buf, offset + 2)}};
}

QString facilityText(const FacilityBytes &fc)
{
    QString s;
    for (uint8_t b : fc)
        s += QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    return s;
}

void putRom(QByteArray &buf, int offset, const RomBytes &rom)
{
    for (int i = 0; i < 8; ++i)
        setByte(buf, offset + i, rom[static_cast<size_t>(i)]);
}

RomBytes romAt(const QByteArray &buf, int offset)
{
    RomBytes r{};
    for (int i = 0; i < 8; ++i)
        r[static_cast<size_t>(i)] = byteAt(buf, offset + i);
    return r;
}

QString serialTextAt(const QByteArray &buf, int offset)
{
    return onewire::serialTextFromBus(romAt(buf, offset));
}

bool isAllFF(const QByteArray &buf, int offset, int n)
{
    for (int i = 0; i < n; ++i)
        if (byteAt(buf, offset + i) != 0xFF)
            return false;
    return true;
}

BcdStamp stampFrom(const QDateTime &dt)
{
    BcdStamp s;
    const QDate d = dt.date();
    const QTime t = dt.time();
    s.year = toBcd(d.year() % 100);
    s.month = toBcd(d.month());
    s.day = toBcd(d.day());
    s.hour = toBcd(t.hour());
    s.minute = toBcd(t.minute());
    s.second = toBcd(t.second());
    return s;
}

void putYmdhm(QByteArray &buf, int offset, const QDateTime &dt)
{
    const BcdStamp s = stampFrom(dt);
    const uint8_t v[5] = {s.year, s.month, s.day, s.hour, s.minute};
    for (int i = 0; i < 5; ++i)
        setByte(buf, offset + i, v[i]);
}

BcdStamp ymdhmAt(const QByteArray &buf, int offset)
{
    BcdStamp s;
    s.year = byteAt(buf, offset);
    s.month = byteAt(buf, offset + 1);
    s.day = byteAt(buf, offset + 2);
    s.hour = byteAt(buf, offset + 3);
    s.minute = byteAt(buf, offset + 4);
    s.second = 0;
    return s;
}

void putClock(QByteArray &buf, int offset, const QDateTime &dt)
{
    const BcdStamp s = stampFrom(dt);
    const uint8_t v[7] = {s.year, s.month, 0x00, s.day, s.hour, s.minute, s.second};
    for (int i = 0; i < 7; ++i)
        setByte(buf, offset + i, v[i]);
}

BcdStamp clockAt(const QByteArray &buf, int offset)
{
    BcdStamp s;
    s.year = byteAt(buf, offset);
    s.month = byteAt(buf, offset + 1);
    s.day = byteAt(buf, offset + 3);
    s.hour = byteAt(buf, offset + 4);
    s.minute = byteAt(buf, offset + 5);
    s.second = byteAt(buf, offset + 6);
    return s;
}

bool stampPassesRangeTest(const BcdStamp &s)
{
    return s.year <= 0x99 && s.month >= 0x01 && s.month <= 0x12 && s.day >= 0x01 && s.day <= 0x31 && s.hour <= 0x24 &&
           s.minute <= 0x60 && s.second <= 0x60;
}

QDateTime stampToDateTime(const BcdStamp &s)
{
    const int y = fromBcd(s.year), mo = fromBcd(s.month), d = fromBcd(s.day);
    const int h = fromBcd(s.hour), mi = fromBcd(s.minute), se = fromBcd(s.second);
    if (y < 0 || mo < 0 || d < 0 || h < 0 || mi < 0 || se < 0)
        return {};
    const QDate date(2000 + y, mo, d);
    const QTime time(h, mi, se);
    if (!date.isValid() || !time.isValid())
        return {};
    return wallClock(date, time);
}

QDateTime wallClock(const QDate &date, const QTime &time)
{
    const QDateTime local(date, time);
    if (local.isValid() || !date.isValid() || !time.isValid())
        return local;
    return QDateTime(date, time, Qt::UTC);
}

QString stampText(const BcdStamp &s)
{
    const QDateTime dt = stampToDateTime(s);
    if (dt.isValid())
        return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    auto h = [](uint8_t b) { return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper(); };
    return QStringLiteral("20%1-%2-%3 %4:%5:%6")
        .arg(h(s.year), h(s.month), h(s.day), h(s.hour), h(s.minute), h(s.second));
}

bool isDigitCode(const QString &code)
{
    if (code.isEmpty() || code.size() > kMaxDigitCode)
        return false;
    for (QChar c : code)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

bool putDigitCode(QByteArray &buf, int offset, const QString &code)
{
    if (!isDigitCode(code))
        return false;
    const QString padded = code.leftJustified(kMaxDigitCode, QLatin1Char('0'));
    setByte(buf, offset, static_cast<uint8_t>(code.size()));
    for (int i = 0; i < 5; ++i) {
        const int hi = onewire::Change(padded.mid(2 * i, 1));
        const int lo = onewire::Change(padded.mid(2 * i + 1, 1));
        setByte(buf, offset + 1 + i, static_cast<uint8_t>(hi * 16 + lo));
    }
    return true;
}

QString nibbleDigits(const QByteArray &buf, int offset, int nBytes, int count)
{
    QString all;
    for (int i = 0; i < nBytes; ++i)
        all += QStringLiteral("%1").arg(byteAt(buf, offset + i), 2, 16, QLatin1Char('0')).toUpper();
    return all.left(qMax(0, count));
}

KeyPages packEntries(int firstPage, int lastPage, int perPage, int entrySize, const QVector<QByteArray> &entries,
                     uint8_t fill)
{
    KeyPages pages;
    int page = firstPage;
    int slot = 0;
    QByteArray buf = blankPage(fill);
    for (const QByteArray &e : entries) {
        buf.replace(slot * entrySize, qMin(entrySize, int(e.size())), e.left(entrySize));
        if (++slot == perPage) {
            pages.append(makePage(page++, buf));
            buf = blankPage(fill);
            slot = 0;
        }
    }
    if (page <= lastPage)
        pages.append(makePage(page, buf));
    return pages;
}

KeyPages lockListPages(int firstPage, int lastPage, const QVector<RomBytes> &locks)
{
    QVector<QByteArray> entries;
    entries.reserve(locks.size());
    for (const RomBytes &r : locks) {
        QByteArray e(8, char(0xFF));
        putRom(e, 0, r);
        entries.append(e);
    }
    return packEntries(firstPage, lastPage, 8, 8, entries);
}

QByteArray pageOf(const QByteArray &image, int page)
{
    QByteArray out = image.mid(page * kPageSize, kPageSize);
    if (page < 0)
        out.clear();
    if (out.size() < kPageSize)
        out.append(QByteArray(kPageSize - out.size(), char(0xFF)));
    return out;
}

void putPage(QByteArray &image, int page, const QByteArray &data)
{
    if (page < 0 || page >= kPageCount)
        return;
    if (image.size() < kImageSize)
        image.append(QByteArray(kImageSize - image.size(), char(0xFF)));
    image.replace(page * kPageSize, kPageSize, makePage(page, data).data);
}

QByteArray blankImage()
{
    return QByteArray(kImageSize, char(0xFF));
}

void applyPages(QByteArray &image, const KeyPages &pages)
{
    for (const KeyPage &p : pages)
        putPage(image, p.number, p.data);
}

} // namespace keyformat
