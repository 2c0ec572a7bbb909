#pragma once

#include "ibutton/EmulatedDevice.h"
#include "ibutton/OneWireBus.h"

#include <functional>
#include <memory>
#include <vector>

namespace onewire {

// Time the transfers would take on a real line, in microseconds, at standard
// speed and at overdrive speed.
struct BusTime
{
    double standardMicros = 0.0;
    double overdriveMicros = 0.0;
    // Strong pull-up time (copy and read-memory waits): the same at both speeds.
    double pullupMicros = 0.0;

    double standardTotalMicros() const { return standardMicros + pullupMicros; }
    double overdriveTotalMicros() const { return overdriveMicros + pullupMicros; }
};

// The emulated USB reader: a 1-Wire line with the reader's own ID chip and
// whatever devices have been put on it.
//
// Fault switches let tests break a transfer the way the line or a key can:
// a reset that reports no device, an alarming or shorted line, a key pulled
// off after a number of bytes, and bytes corrupted on their way in either
// direction. Every operation adds the time it would take on the line.
class EmulatedBus : public OneWireBus
{
public:
    EmulatedBus();

    // The port the emulated reader answers on; another port number gives a
    // negative handle, as a reader looked for on the wrong port does.
    void setPort(int portNumber) { m_portNumber = portNumber; }
    // Forces the result of startSession (for tests); 0 removes the override.
    void forceStartResult(int32_t result) { m_forcedStart = result; }
    void setSetupFails(bool fails) { m_setupFails = fails; }
    // startSession answers 0 ("give up") while set.
    void setStartGivesUp(bool givesUp) { m_startGivesUp = givesUp; }

    void attach(std::shared_ptr<EmulatedDevice> device);
    void detach(const RomId &rom);
    void detachAll();
    const std::vector<std::shared_ptr<EmulatedDevice>> &devices() const { return m_devices; }
    std::shared_ptr<EmulatedDevice> find(const RomId &rom) const;

    // Adds the reader's own ID chip (family 0x81) with a valid number.
    std::shared_ptr<EmulatedDevice> attachReaderChip();

    // Number of sessions currently open (0 after every complete operation).
    int openSessions() const { return m_openSessions; }

    // --- Fault switches -------------------------------------------------
    // Every touchReset (and the reset inside access) reports this result
    // instead of the real one (ResetNoDevice, ResetAlarming, ResetShorted,
    // ResetNotSetUp, ResetNotSupported); ResetPresence removes the override.
    // On a shorted line every byte reads 0x00.
    void forceResetResult(int result) { m_forcedReset = result == ResetPresence ? -1 : result; }
    // The device is taken off the line after `bytes` more bytes have gone
    // over the line (0: before the next byte).
    void pullAfterBytes(const RomId &rom, int bytes);
    enum class Direction { ToDevice, FromDevice };
    // The byte that goes over the line after `skipBytes` more bytes arrives
    // with its bits in `xorMask` flipped; `count` bytes in a row are hit.
    void corruptAfterBytes(int skipBytes, Direction direction, uint8_t xorMask = 0x01, int count = 1);
    // Removes every fault switch.
    void clearFaults();
    // Called when a fault takes a device off the line.
    void setOnDeviceRemoved(std::function<void(const RomId &)> callback) { m_onRemoved = std::move(callback); }

    // --- Bus time -------------------------------------------------------
    const BusTime &busTime() const { return m_busTime; }
    void resetBusTime()
    {
        m_busTime = {};
        m_lineBytes = 0;
    }
    // Bytes that went over the line since the last resetBusTime.
    long long lineBytes() const { return m_lineBytes; }

    int32_t startSession(int portNumber, int portType) override;
    int setup(int32_t handle) override;
    int touchReset(int32_t handle) override;
    int familySearchSetup(int32_t handle, uint8_t family) override;
    int first(int32_t handle) override;
    int next(int32_t handle) override;
    int rom(int32_t handle, RomBuffer &rom) override;
    int access(int32_t handle) override;
    int touchByte(int32_t handle, uint8_t byte) override;
    int blockStream(int32_t handle, uint8_t *buffer, int count) override;
    int oneWireLevel(int32_t handle, int operation, int levelMode, int primed) override;
    int endSession(int32_t handle) override;

    // Standard-speed and overdrive figures of the line.
    static constexpr double kByteMicros = 560.0;
    static constexpr double kResetMicros = 960.0;
    static constexpr double kBitMicros = 70.0;
    static constexpr double kOdByteMicros = 80.0;
    static constexpr double kOdResetMicros = 120.0;
    static constexpr double kOdBitMicros = 10.0;

protected:
    bool validHandle(int32_t handle) const;
    // Devices in the order a 1-Wire search finds them.
    std::vector<std::shared_ptr<EmulatedDevice>> searchOrder() const;
    void resetAll();
    int resetResult() const;
    void addBytes(int n);
    void addReset();
    void addSearch();
    // One byte slot on the line, with the fault switches applied.
    uint8_t lineByte(uint8_t fromMaster);
    // Takes the device of pullAfterBytes off the line when its time has come.
    void checkPull();

    std::vector<std::shared_ptr<EmulatedDevice>> m_devices;
    std::shared_ptr<EmulatedDevice> m_current;  // current device of the search / ROM call
    std::shared_ptr<EmulatedDevice> m_selected; // device addressed by access()
    int m_searchIndex = -1;
    int m_familyStart = -1;
    int m_portNumber = 1;
    int32_t m_forcedStart = 0;
    bool m_setupFails = false;
    bool m_startGivesUp = false;
    int32_t m_handle = 0;
    int32_t m_nextHandle = 1;
    int m_openSessions = 0;

    int m_forcedReset = -1;
    RomId m_pullRom{};
    long long m_pullCountdown = -1;
    long long m_corruptCountdown = -1;
    int m_corruptCount = 0;
    Direction m_corruptDirection = Direction::FromDevice;
    uint8_t m_corruptMask = 0;
    std::function<void(const RomId &)> m_onRemoved;

    BusTime m_busTime;
    long long m_lineBytes = 0;
};

// A registration number with the given family and serial and a correct CRC-8.
RomId makeRomId(uint8_t family, uint64_t serial48);

} // namespace onewire
