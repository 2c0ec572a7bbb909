#include "ibutton/Checksums.h"

namespace onewire {
namespace {

struct Crc8Table
{
    uint8_t t[256];
    Crc8Table()
    {
        for (int i = 0; i < 256; ++i) {
            uint8_t crc = 0;
            uint8_t b = static_cast<uint8_t>(i);
            for (int bit = 0; bit < 8; ++bit) {
                const bool mix = (crc ^ b) & 1;
                crc >>= 1;
                if (mix)
                    crc ^= 0x8C;
                b >>= 1;
            }
            t[i] = crc;
        }
    }
};

const Crc8Table &table()
{
    static const Crc8Table t;
    return t;
}

} // namespace

uint8_t crc8Step(uint8_t crc, uint8_t byte) { return table().t[crc ^ byte]; }

uint8_t crc8(const uint8_t *data, size_t n, uint8_t crc)
{
    for (size_t i = 0; i < n; ++i)
        crc = crc8Step(crc, data[i]);
    return crc;
}

uint16_t crc16Step(uint16_t crc, uint8_t byte)
{
    for (int i = 0; i < 8; ++i) {
        if ((byte ^ crc) & 1)
            crc = static_cast<uint16_t>((crc >> 1) ^ 0xA001);
        else
            crc = static_cast<uint16_t>(crc >> 1);
        byte >>= 1;
    }
    return crc;
}

uint16_t crc16(const uint8_t *data, size_t n, uint16_t crc)
{
    for (size_t i = 0; i < n; ++i)
        crc = crc16Step(crc, data[i]);
    return crc;
}

uint8_t toBcd(int value) { return static_cast<uint8_t>((value / 10) * 16 + value % 10); }

int fromBcd(uint8_t bcd)
{
    const int hi = bcd >> 4, lo = bcd & 0x0F;
    if (hi > 9 || lo > 9)
        return -1;
    return hi * 10 + lo;
}

int Change(const QString &oneChar)
{
    if (oneChar.size() != 1)
        return 16;
    const QChar c = oneChar.at(0);
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return c.unicode() - '0';
    if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
        return c.unicode() - 'A' + 10;
    return 16;
}

QString serialTextFromBus(const RomBytes &b)
{
    QString s;
    for (int i = 7; i >= 0; --i)
        s += QStringLiteral("%1").arg(b[static_cast<size_t>(i)], 2, 16, QLatin1Char('0')).toUpper();
    return s;
}

bool busFromSerialText(const QString &text, RomBytes &out)
{
    if (text.size() != 16)
        return false;
    for (int i = 0; i < 8; ++i) {
        const int pos = 14 - 2 * i; // byte 0 = characters 15-16
        const int hi = Change(text.mid(pos, 1));
        const int lo = Change(text.mid(pos + 1, 1));
        if (hi > 15 || lo > 15)
            return false;
        out[static_cast<size_t>(i)] = static_cast<uint8_t>(hi * 16 + lo);
    }
    return true;
}

bool isValidSerialText(const QString &text)
{
    RomBytes b{};
    return busFromSerialText(text, b) && crc8(b.data(), b.size()) == 0;
}

} // namespace onewire
