#pragma once

#include "ibutton/EmulatedDevice.h"
#include "ibutton/OneWireBus.h"

#include <memory>
#include <vector>

namespace onewire {

// The emulated USB reader: a 1-Wire line with the reader's own ID chip and
// whatever devices have been put on it.
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

    void attach(std::shared_ptr<EmulatedDevice> device);
    void detach(const RomId &rom);
    void detachAll();
    const std::vector<std::shared_ptr<EmulatedDevice>> &devices() const { return m_devices; }
    std::shared_ptr<EmulatedDevice> find(const RomId &rom) const;

    // Adds the reader's own ID chip (family 0x81) with a valid number.
    std::shared_ptr<EmulatedDevice> attachReaderChip();

    // Number of sessions currently open (0 after every complete operation).
    int openSessions() const { return m_openSessions; }

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

protected:
    bool validHandle(int32_t handle) const;
    // Devices in the order a 1-Wire search finds them.
    std::vector<std::shared_ptr<EmulatedDevice>> searchOrder() const;
    void resetAll();

    std::vector<std::shared_ptr<EmulatedDevice>> m_devices;
    std::shared_ptr<EmulatedDevice> m_current;  // current device of the search / ROM call
    std::shared_ptr<EmulatedDevice> m_selected; // device addressed by access()
    int m_searchIndex = -1;
    int m_familyStart = -1;
    int m_portNumber = 1;
    int32_t m_forcedStart = 0;
    bool m_setupFails = false;
    int32_t m_handle = 0;
    int32_t m_nextHandle = 1;
    int m_openSessions = 0;
};

// A registration number with the given family and serial and a correct CRC-8.
RomId makeRomId(uint8_t family, uint64_t serial48);

} // namespace onewire
