#include "ibutton/KeyTransfer.h"

#include "ibutton/BusSession.h"
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

bool addressKey(KeyTransferContext &ctx, int32_t h)
{
    RomBuffer rom = ctx.rom;
    return ctx.bus->rom(h, rom) == 1 && ctx.bus->access(h) == 1;
}

void selectKey(KeyTransferContext &ctx, int32_t h)
{
    ctx.bus->touchReset(h);
    addressKey(ctx, h);
}

bool openKey(KeyTransferContext &ctx, BusSession &session)
{
    const int32_t h = session.handle();
    if (h <= 0 || ctx.bus->setup(h) != 1)
        return false;
    const int reset = ctx.bus->touchReset(h);
    if (reset != ResetPresence) {
        const QString warning = microLanWarning(reset);
        if (!warning.isEmpty())
            ctx.tell(KeyMessageKind::Warning, warning);
        return false;
    }
    return addressKey(ctx, h);
}

bool withOpenKey(KeyTransferContext &ctx, const std::function<bool(int32_t handle)> &body)
{
    if (!ctx.bus)
        return false;
    BusSession session(*ctx.bus, ctx.portNumber, ctx.portType);
    if (!openKey(ctx, session))
        return false;
    return body(session.handle());
}

} // namespace onewire
