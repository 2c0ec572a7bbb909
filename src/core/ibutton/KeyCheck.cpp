#include "ibutton/KeyCheck.h"

#include "ibutton/BusSession.h"

namespace onewire {
namespace {

KeyCheckProfile profile(uint8_t searched, QList<uint8_t> accepted, const char *plugIn, bool lowerCaseReader = false)
{
    KeyCheckProfile p;
    p.searchedFamily = searched;
    p.acceptedFamilies = std::move(accepted);
    p.plugInMessage = QString::fromLatin1(plugIn);
    p.wrongPortMessage = lowerCaseReader
                             ? QStringLiteral("Please check your PC iButton reader is on the right port!")
                             : QStringLiteral("Please check your PC iButton Reader is on the right port!");
    p.readerMessage = lowerCaseReader ? QStringLiteral("Please Check your PC iButton reader!")
                                      : QStringLiteral("Please Check your PC iButton Reader!");
    return p;
}

} // namespace

const KeyCheckProfile &keyCheckProfile(KeyCheckWindow window)
{
    static const KeyCheckProfile profiles[] = {
        profile(0x37, {0x37}, "Please Plug in your DS1977 Key."),             // SingleLockProgramming
        profile(0x37, {0x37}, "Please Plug in your DS1977 Key."),             // SetupNewLock
        profile(0x37, {0x37, 0x33}, "Please Plug in your DS1977 Key!"),       // LockMaintenanceProgramKey
        profile(0x04, {0x04}, "Please Plug in your DS1994/DS1904 Key."),      // LockMaintenanceDS1994
        profile(0x24, {0x24}, "Please Plug in your DS1994/DS1904 Key."),      // LockMaintenanceDS1904
        profile(0x37, {0x37, 0x33}, "Please Plug in your DS1977 Key!"),       // ReadKey
        profile(0x37, {0x37, 0x33}, "Please Plug in your DS1977 Key!"),       // CopyLockSettings
        profile(0x37, {0x37}, "Please Plug in your Key."),                    // MultiLockProgramming
        profile(0x37, {0x37}, "Please Plug in your Key."),                    // RemoteCode
        profile(0x37, {0x37}, "Please Plug in your iButton Key.", true),      // GetAuditTrail
    };
    return profiles[static_cast<int>(window)];
}

bool IsOneWirePortOK(KeyTransferContext &ctx, KeyCheckWindow window)
{
    return IsOneWirePortOK(ctx, keyCheckProfile(window));
}

bool IsOneWirePortOK(KeyTransferContext &ctx, const KeyCheckProfile &profile)
{
    if (!ctx.bus)
        return false;
    BusSession session(*ctx.bus, ctx.portNumber, ctx.portType);
    const int32_t h = session.handle();
    if (h < 0) {
        ctx.tell(KeyMessageKind::Information, profile.wrongPortMessage);
        return false;
    }
    if (h == 0)
        return false;
    if (ctx.bus->setup(h) != 1) {
        session.end();
        ctx.tell(KeyMessageKind::Error, profile.readerMessage);
        return false;
    }
    if (ctx.bus->familySearchSetup(h, profile.searchedFamily) != 1) {
        ctx.tell(KeyMessageKind::Error, profile.plugInMessage);
        return false;
    }
    while (ctx.bus->next(h) == 1) {
        RomBuffer found{};
        found[0] = 0;
        if (ctx.bus->rom(h, found) != 1)
            continue;
        if (profile.acceptedFamilies.contains(uint8_t(found[0] & 0xFF))) {
            ctx.rom = found;
            return true;
        }
    }
    return false;
}

QString ReadButtonID(KeyTransferContext &ctx, const QString &readerId, ReadButtonVariant variant)
{
    if (!ctx.bus)
        return {};
    BusSession session(*ctx.bus, ctx.portNumber, ctx.portType);
    const int32_t h = session.handle();
    if (h < 1)
        return {};
    if (variant == ReadButtonVariant::ReadKey)
        ctx.bus->touchReset(h);
    if (ctx.bus->setup(h) != 1)
        return {};

    QString result;
    auto current = [&]() -> QString {
        RomBuffer rom{};
        rom[0] = 0;
        if (ctx.bus->rom(h, rom) != 1)
            return {};
        return romBufferText(rom);
    };
    if (ctx.bus->first(h) == 1) {
        const QString text = current();
        if (!text.isEmpty() && text != readerId)
            result = text;
    }
    while (ctx.bus->next(h) == 1) {
        const QString text = current();
        if (!text.isEmpty() && text != readerId) {
            result = text;
            break;
        }
    }
    return result;
}

} // namespace onewire
