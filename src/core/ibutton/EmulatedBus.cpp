#include "ibutton/EmulatedBus.h"

#include "ibutton/Checksums.h"

#include <algorithm>

namespace onewire {
namespace {

// A 1-Wire search takes the 0 branch first at every discrepancy, bit 0 first,
// so devices come out in the order of their bit-reversed numbers.
uint64_t searchKey(const RomId &rom)
{
    uint64_t v = 0;
    for (int i = 0; i < 64; ++i)
        if (rom[i / 8] & (1u << (i % 8)))
            v |= uint64_t(1) << (63 - i);
    return v;
}

} // namespace

RomId makeRomId(uint8_t family, uint64_t serial48)
{
    RomId r{};
    r[0] = family;
    for (int i = 0; i < 6; ++i)
        r[1 + i] = static_cast<uint8_t>(serial48 >> (8 * i));
    r[7] = crc8(r.data(), 7);
    return r;
}

EmulatedBus::EmulatedBus() = default;

void EmulatedBus::attach(std::shared_ptr<EmulatedDevice> device)
{
    if (!device || find(device->romId()))
        return;
    m_devices.push_back(std::move(device));
}

void EmulatedBus::detach(const RomId &rom)
{
    m_devices.erase(std::remove_if(m_devices.begin(), m_devices.end(),
                                   [&](const auto &d) { return d->romId() == rom; }),
                    m_devices.end());
    if (m_current && m_current->romId() == rom)
        m_current.reset();
    if (m_selected && m_selected->romId() == rom)
        m_selected.reset();
}

void EmulatedBus::detachAll()
{
    m_devices.clear();
    m_current.reset();
    m_selected.reset();
}

std::shared_ptr<EmulatedDevice> EmulatedBus::find(const RomId &rom) const
{
    for (const auto &d : m_devices)
        if (d->romId() == rom)
            return d;
    return nullptr;
}

std::shared_ptr<EmulatedDevice> EmulatedBus::attachReaderChip()
{
    auto chip = std::make_shared<EmulatedDevice>(makeRomId(0x81, 0x0000000A1B2CULL));
    attach(chip);
    return chip;
}

bool EmulatedBus::validHandle(int32_t handle) const { return handle > 0 && handle == m_handle; }

std::vector<std::shared_ptr<EmulatedDevice>> EmulatedBus::searchOrder() const
{
    auto v = m_devices;
    std::stable_sort(v.begin(), v.end(),
                     [](const auto &a, const auto &b) { return searchKey(a->romId()) < searchKey(b->romId()); });
    return v;
}

void EmulatedBus::resetAll()
{
    for (const auto &d : m_devices)
        d->reset();
    m_selected.reset();
}

void EmulatedBus::pullAfterBytes(const RomId &rom, int bytes)
{
    m_pullRom = rom;
    m_pullCountdown = bytes < 0 ? 0 : bytes;
}

void EmulatedBus::corruptAfterBytes(int skipBytes, Direction direction, uint8_t xorMask, int count)
{
    m_corruptCountdown = skipBytes < 0 ? 0 : skipBytes;
    m_corruptDirection = direction;
    m_corruptMask = xorMask;
    m_corruptCount = count < 1 ? 1 : count;
}

void EmulatedBus::clearFaults()
{
    m_forcedReset = -1;
    m_pullCountdown = -1;
    m_corruptCountdown = -1;
    m_corruptCount = 0;
}

void EmulatedBus::checkPull()
{
    if (m_pullCountdown != 0)
        return;
    m_pullCountdown = -1;
    if (!find(m_pullRom))
        return;
    detach(m_pullRom);
    if (m_onRemoved)
        m_onRemoved(m_pullRom);
}

int EmulatedBus::resetResult() const
{
    if (m_forcedReset >= 0)
        return m_forcedReset;
    return m_devices.empty() ? ResetNoDevice : ResetPresence;
}

void EmulatedBus::addBytes(int n)
{
    m_busTime.standardMicros += n * kByteMicros;
    m_busTime.overdriveMicros += n * kOdByteMicros;
}

void EmulatedBus::addReset()
{
    m_busTime.standardMicros += kResetMicros;
    m_busTime.overdriveMicros += kOdResetMicros;
}

void EmulatedBus::addSearch()
{
    // Reset, Search ROM command, then 64 times two read bits and one write bit.
    addReset();
    addBytes(1);
    m_busTime.standardMicros += 64 * 3 * kBitMicros;
    m_busTime.overdriveMicros += 64 * 3 * kOdBitMicros;
}

uint8_t EmulatedBus::lineByte(uint8_t fromMaster)
{
    checkPull();
    const bool corruptNow = m_corruptCount > 0 && m_corruptCountdown == 0;
    uint8_t toDevice = fromMaster;
    if (corruptNow && m_corruptDirection == Direction::ToDevice)
        toDevice ^= m_corruptMask;
    uint8_t read;
    if (m_forcedReset == ResetShorted)
        read = 0x00;
    else if (m_selected)
        read = static_cast<uint8_t>(m_selected->exchange(toDevice) & toDevice);
    else
        read = toDevice; // an idle line reads back what the master drives
    if (corruptNow && m_corruptDirection == Direction::FromDevice)
        read ^= m_corruptMask;

    if (corruptNow) {
        if (--m_corruptCount == 0)
            m_corruptCountdown = -1;
    } else if (m_corruptCountdown > 0) {
        --m_corruptCountdown;
    }
    if (m_pullCountdown > 0)
        --m_pullCountdown;
    addBytes(1);
    ++m_lineBytes;
    return read;
}

int32_t EmulatedBus::startSession(int portNumber, int portType)
{
    if (m_forcedStart != 0)
        return m_forcedStart;
    if (m_startGivesUp)
        return 0;
    if (portNumber != m_portNumber || portType < 1 || portType > 6)
        return -1;
    m_handle = m_nextHandle++;
    ++m_openSessions;
    m_searchIndex = -1;
    m_familyStart = -1;
    m_current.reset();
    m_selected.reset();
    return m_handle;
}

int EmulatedBus::setup(int32_t handle) { return validHandle(handle) && !m_setupFails ? 1 : 0; }

int EmulatedBus::touchReset(int32_t handle)
{
    if (!validHandle(handle))
        return ResetNotSetUp;
    checkPull();
    addReset();
    resetAll();
    return resetResult();
}

int EmulatedBus::familySearchSetup(int32_t handle, uint8_t family)
{
    if (!validHandle(handle))
        return 0;
    m_familyStart = family;
    m_searchIndex = -1;
    return 1;
}

int EmulatedBus::first(int32_t handle)
{
    if (!validHandle(handle))
        return 0;
    m_familyStart = -1;
    m_searchIndex = -1;
    return next(handle);
}

int EmulatedBus::next(int32_t handle)
{
    if (!validHandle(handle))
        return 0;
    checkPull();
    addSearch();
    resetAll();
    if (resetResult() != ResetPresence && resetResult() != ResetAlarming) {
        m_current.reset();
        return 0;
    }
    const auto order = searchOrder();
    int start = m_searchIndex + 1;
    if (m_searchIndex < 0 && m_familyStart >= 0) {
        // A family search begins at the first device of that family; with
        // none of that family on the line it runs over every device, so the
        // caller's own family test still sees the others.
        start = 0;
        for (size_t i = 0; i < order.size(); ++i)
            if (order[i]->family() == m_familyStart) {
                start = static_cast<int>(i);
                break;
            }
    }
    if (start >= static_cast<int>(order.size())) {
        m_current.reset();
        return 0;
    }
    m_searchIndex = start;
    m_current = order[static_cast<size_t>(start)];
    return 1;
}

int EmulatedBus::rom(int32_t handle, RomBuffer &buffer)
{
    if (!validHandle(handle))
        return 0;
    if (buffer[0] == 0) {
        if (!m_current)
            return 0;
        for (int i = 0; i < 8; ++i)
            buffer[static_cast<size_t>(i)] = m_current->romId()[static_cast<size_t>(i)];
        return 1;
    }
    RomId wanted{};
    for (int i = 0; i < 8; ++i)
        wanted[static_cast<size_t>(i)] = static_cast<uint8_t>(buffer[static_cast<size_t>(i)] & 0xFF);
    m_current = find(wanted);
    // The driver accepts any number; addressing a missing device fails in access().
    return 1;
}

int EmulatedBus::access(int32_t handle)
{
    if (!validHandle(handle))
        return 0;
    checkPull();
    // Reset, then Match ROM with the eight bytes of the number.
    addReset();
    addBytes(9);
    resetAll();
    if (resetResult() != ResetPresence)
        return 0;
    if (!m_current || !find(m_current->romId()))
        return 0;
    m_selected = m_current;
    m_selected->select();
    return 1;
}

int EmulatedBus::touchByte(int32_t handle, uint8_t byte)
{
    if (!validHandle(handle))
        return -1;
    return lineByte(byte);
}

int EmulatedBus::blockStream(int32_t handle, uint8_t *buffer, int count)
{
    if (!validHandle(handle) || count < 0 || (count > 0 && !buffer))
        return -1;
    for (int i = 0; i < count; ++i)
        buffer[i] = lineByte(buffer[i]);
    return count;
}

int EmulatedBus::oneWireLevel(int32_t handle, int operation, int levelMode, int primed)
{
    if (!validHandle(handle))
        return 0;
    if (operation == 0 && levelMode == 1 && primed == 0 && m_selected) {
        m_selected->strongPullup();
        m_busTime.pullupMicros += m_selected->lastPullupMicros();
    }
    return 1;
}

int EmulatedBus::endSession(int32_t handle)
{
    if (handle > 0 && handle == m_handle) {
        m_handle = 0;
        --m_openSessions;
        m_selected.reset();
    }
    return 1;
}

} // namespace onewire
