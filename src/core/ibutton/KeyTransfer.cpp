#include "ibutton/KeyTransfer.h"

#include "ibutton/Checksums.h"

namespace onewire {

QString microLanWarning(int touchResetResult)
{
    switch (touchResetResult) {
    case ResetPresence:
        return {};
    case ResetNoDevice:
        return QStringLiteral("No device on MicroLan!");
    case ResetAlarming:
        return QStringLiteral("Alarming device on MicroLan!");
    case ResetShorted:
        return QStringLiteral("MicroLan shorted!");
    case ResetNotSetUp:
        return QStringLiteral("MicroLan not setup!");
    case ResetNotSupported:
        return QStringLiteral("TMTouchReset not supported!");
    default:
        // Not a documented result: no warning of its own; the caller's error follows.
        return {};
    }
}

QString romBufferText(const RomBuffer &rom)
{
    RomBytes bytes{};
    for (size_t i = 0; i < 8; ++i)
        bytes[i] = uint8_t(rom[i] & 0xFF);
    return serialTextFromBus(bytes);
}

bool romBufferFromText(const QString &serialId, RomBuffer &rom)
{
    RomBytes bytes{};
    if (!busFromSerialText(serialId, bytes))
        return false;
    for (size_t i = 0; i < 8; ++i)
        rom[i] = bytes[i];
    return true;
}

} // namespace onewire
