#include "KeyImageBuilders.h"

#include "ibutton/Checksums.h"
#include "keyformat/KeyEncoding.h"

namespace keytest {

QString serial(uint8_t family, quint32 n)
{
    onewire::RomBytes rom{};
    rom[0] = family;
    for (int i = 0; i < 4; ++i)
        rom[static_cast<size_t>(1 + i)] = static_cast<uint8_t>((n >> (8 * i)) & 0xFF);
    rom[5] = 0x00;
    rom[6] = 0x00;
    rom[7] = onewire::crc8(rom.data(), 7);
    return onewire::serialTextFromBus(rom);
}

QStringList serials(uint8_t family, int count, quint32 first)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << serial(family, first + static_cast<quint32>(i));
    return out;
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray pageData(const keyformat::KeyPages &pages, int number)
{
    for (const keyformat::KeyPage &p : pages)
        if (p.number == number)
            return p.data;
    return {};
}

QList<int> pageNumbers(const keyformat::KeyPages &pages)
{
    QList<int> out;
    for (const keyformat::KeyPage &p : pages)
        out << p.number;
    return out;
}

QByteArray imageOf(const keyformat::KeyPages &pages)
{
    QByteArray img = keyformat::blankImage();
    keyformat::applyPages(img, pages);
    return img;
}

keyformat::FacilityBytes facility(const char *d)
{
    const QByteArray b = QByteArray::fromHex(QByteArray(d));
    return {{static_cast<uint8_t>(b.at(0)), static_cast<uint8_t>(b.at(1)), static_cast<uint8_t>(b.at(2))}};
}

keyformat::LockUser lockUser(const QString &type, const QString &code, const QString &serial, int ts, int ae,
                             bool hol)
{
    keyformat::LockUser u;
    u.userType = type;
    u.keyCode = code;
    u.serialId = serial;
    u.timeShiftId = ts;
    u.actExpDateId = ae;
    u.holiday = hol;
    return u;
}

} // namespace keytest
