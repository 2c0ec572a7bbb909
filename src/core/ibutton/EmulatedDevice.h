#pragma once

#include <array>
#include <cstdint>

namespace onewire {

// A registration number in bus order: byte 0 the family code, byte 7 the CRC-8.
using RomId = std::array<uint8_t, 8>;

// One device on the emulated 1-Wire line. The bus resets and selects it;
// after selection every byte the master sends is handed to exchange(), which
// returns what the device drives onto the line in the same slots (0xFF when it
// stays passive). Devices without function commands (the reader's ID chip,
// plain user iButtons, the DS1961S, which only has to be found) keep the defaults.
class EmulatedDevice
{
public:
    explicit EmulatedDevice(const RomId &rom) : m_rom(rom) {}
    virtual ~EmulatedDevice() = default;

    const RomId &romId() const { return m_rom; }
    uint8_t family() const { return m_rom[0]; }

    // A reset pulse on the line: any transaction in progress ends.
    virtual void reset() {}
    // The device has just been addressed by Match ROM (or Skip ROM).
    virtual void select() {}
    // One byte from the master; returns the byte read back.
    virtual uint8_t exchange(uint8_t fromMaster) { return fromMaster; }
    // The master switched the line to strong pull-up.
    virtual void strongPullup() {}
    // How long the device needs the strong pull-up it was just given, in
    // microseconds (for the bus-time accounting).
    virtual double lastPullupMicros() const { return 0.0; }

private:
    RomId m_rom;
};

} // namespace onewire
