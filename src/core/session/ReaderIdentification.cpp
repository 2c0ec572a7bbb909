#include "session/ReaderIdentification.h"

#include "ibutton/BusSession.h"
#include "ibutton/Checksums.h"

namespace session {
namespace {

void tell(const Notify &notify, NoticeKind kind, const char *text)
{
    if (notify)
        notify(kind, QString::fromLatin1(text));
}

} // namespace

ReaderIdentification identifyReaderOnce(onewire::OneWireBus &bus, int portNumber, int portType, int run,
                                        const Notify &notify)
{
    ReaderIdentification r;
    r.runs = 1;
    onewire::BusSession session(bus, portNumber, portType); // ends the session on every path
    const int32_t handle = session.handle();
    if (handle < 0) {
        tell(notify, NoticeKind::Information, "Please check your PC iButton Reader is on the right port.");
        return r;
    }
    if (handle == 0)
        return r;
    if (bus.setup(handle) != 1) {
        tell(notify, NoticeKind::Error,
             run == 1 ? "Please check your PC iButton Reader." : "Read and write PC iButton Reader error.");
        return r;
    }
    if (portType != onewire::kUsbPortType) {
        r.ok = true;
        return r;
    }
    int found = 0;
    for (int more = bus.first(handle); more == 1; more = bus.next(handle)) {
        onewire::RomBuffer rom{};
        rom[0] = 0;
        if (bus.rom(handle, rom) != 1)
            continue;
        onewire::RomBytes bytes{};
        for (size_t i = 0; i < 8; ++i)
            bytes[i] = static_cast<uint8_t>(rom[i] & 0xFF);
        if (bytes[0] == 0x01 || bytes[0] == 0x81) {
            ++found;
            r.readerId = onewire::serialTextFromBus(bytes);
        }
    }
    if (found == 1) {
        r.ok = true;
    } else if (found == 0) {
        tell(notify, NoticeKind::Warning,
             run == 1 ? "Please pulg in PC iButton Reader into USB port." : "Check PC iButton Reader error.");
    } else {
        tell(notify, NoticeKind::Warning,
             run == 1 ? "Please pull out key button from PC iButton Reader."
                      : "You must pull out key button from PC iButton Reader.");
    }
    return r;
}

ReaderIdentification identifyReader(onewire::OneWireBus &bus, int portNumber, int portType, const Notify &notify)
{
    ReaderIdentification r = identifyReaderOnce(bus, portNumber, portType, 1, notify);
    if (!r.ok) {
        r = identifyReaderOnce(bus, portNumber, portType, 2, notify);
        r.runs = 2;
    }
    return r;
}

} // namespace session
