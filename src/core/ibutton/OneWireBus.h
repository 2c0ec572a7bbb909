#pragma once

#include <array>
#include <cstdint>

namespace onewire {

// ROM buffer as the driver uses it: element i = byte i of the 64-bit
// registration number (0 = family code, 7 = CRC-8).
using RomBuffer = std::array<uint16_t, 8>;

// Results of touchReset().
enum TouchResetResult : int {
    ResetNoDevice = 0,
    ResetPresence = 1,
    ResetAlarming = 2,
    ResetShorted = 3,
    ResetNotSetUp = 4,
    ResetNotSupported = 5,
};

constexpr int kUsbPortType = 6;

// The iButton driver's twelve operations. Every reader routine is written
// once against this interface; the emulated reader and any hardware backend
// implement it.
class OneWireBus
{
public:
    virtual ~OneWireBus() = default;

    // > 0: session handle; 0: give up silently; < 0: wrong port.
    virtual int32_t startSession(int portNumber, int portType) = 0;
    // 1 = bus ready.
    virtual int setup(int32_t handle) = 0;
    // One of TouchResetResult.
    virtual int touchReset(int32_t handle) = 0;
    // 1 = the next search starts at that family (the caller still checks each device's family).
    virtual int familySearchSetup(int32_t handle, uint8_t family) = 0;
    // 1 = a device was found and is now the current device.
    virtual int first(int32_t handle) = 0;
    virtual int next(int32_t handle) = 0;
    // Element 0 set to 0: fills the buffer with the current device's number.
    // A number in the buffer: that device becomes current. 1 = success.
    virtual int rom(int32_t handle, RomBuffer &rom) = 0;
    // Reset and address (Match ROM) the current device. 1 = success.
    virtual int access(int32_t handle) = 0;
    // Sends a byte and returns the byte read in the same slots (0xFF reads).
    virtual int touchByte(int32_t handle, uint8_t byte) = 0;
    // Sends count bytes; the buffer is overwritten with the bytes read.
    // Negative = failure, otherwise the count.
    virtual int blockStream(int32_t handle, uint8_t *buffer, int count) = 0;
    // (0, 1, 0): switch the line to strong pull-up at once.
    virtual int oneWireLevel(int32_t handle, int operation, int levelMode, int primed) = 0;
    // Ends the session; a second call is harmless.
    virtual int endSession(int32_t handle) = 0;
};

} // namespace onewire
