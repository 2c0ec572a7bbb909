#pragma once

#include "ibutton/EmulatedDevice.h"

#include <QByteArray>
#include <QDateTime>
#include <functional>

namespace onewire {

// A running seconds counter as the clock keys keep it: the count at a
// reference instant of the program's clock (Clock::now) and whether the
// oscillator runs.
class EmulatedSecondsCounter
{
public:
    uint32_t count() const;
    void set(uint32_t count);
    void setRunning(bool running);
    bool running() const { return m_running; }

    // 12 bytes: count at the reference instant (4, low first) and the instant
    // in ms since 1970 UTC (8, low first).
    QByteArray save() const;
    bool restore(const QByteArray &bytes);

private:
    uint32_t m_count = 0;
    QDateTime m_reference;
    bool m_running = false;
};

// A DS1994 time key (family 0x04): 512 bytes of memory, a 32-byte scratchpad,
// and the register page at 0x0200-0x021F whose bytes 0x0203-0x0206 are the
// running seconds counter. Write Scratchpad, Read Scratchpad, Copy
// Scratchpad and Read Memory behave as on the device (no CRC).
class EmulatedDS1994 : public EmulatedDevice
{
public:
    static constexpr int kMemorySize = 512;
    static constexpr int kRegisterBase = 0x200;
    static constexpr int kEnd = 0x220;

    explicit EmulatedDS1994(const RomId &rom);

    uint8_t read(int address) const;
    // Sets the counter and starts (or stops) the oscillator, as a copy to the register page would.
    void setClock(uint32_t count, bool running);
    uint32_t secondsCounter() const { return m_counter.count(); }
    const EmulatedSecondsCounter &counter() const { return m_counter; }

    // Memory, registers and the running counter, for the key's file.
    QByteArray saveState() const;
    bool restoreState(const QByteArray &state);
    void setOnChanged(std::function<void()> callback) { m_onChanged = std::move(callback); }

    void reset() override;
    void select() override;
    uint8_t exchange(uint8_t fromMaster) override;

private:
    void write(int address, uint8_t value);

    QByteArray m_memory;
    std::array<uint8_t, 32> m_registers{};
    std::array<uint8_t, 32> m_scratchpad{};
    EmulatedSecondsCounter m_counter;
    uint16_t m_ta = 0;
    uint8_t m_es = 0;

    enum class State { Idle, Command, Receiving, Sending } m_state = State::Idle;
    uint8_t m_command = 0;
    int m_received = 0;
    int m_offset = 0;
    int m_readAddress = 0;
    std::array<uint8_t, 3> m_copyParams{};
    std::vector<uint8_t> m_out;
    size_t m_outPos = 0;
    uint8_t m_fill = 0xFF;
    std::function<void()> m_onChanged;
};

// A DS1904 time key (family 0x24): a control byte and a running seconds
// counter. Read Clock repeats control byte and counter; Write Clock takes the
// control byte at once and the new count at the next reset.
class EmulatedDS1904 : public EmulatedDevice
{
public:
    explicit EmulatedDS1904(const RomId &rom);

    uint8_t control() const { return m_control; }
    void setClock(uint32_t count, uint8_t control = 0x0C);
    uint32_t secondsCounter() const { return m_counter.count(); }

    QByteArray saveState() const;
    bool restoreState(const QByteArray &state);
    void setOnChanged(std::function<void()> callback) { m_onChanged = std::move(callback); }

    void reset() override;
    void select() override;
    uint8_t exchange(uint8_t fromMaster) override;

private:
    void setControl(uint8_t control);

    uint8_t m_control = 0x0C;
    EmulatedSecondsCounter m_counter;
    enum class State { Idle, Command, Receiving, Sending } m_state = State::Idle;
    uint8_t m_command = 0;
    std::array<uint8_t, 5> m_snapshot{};
    int m_pos = 0;
    std::array<uint8_t, 4> m_pending{};
    int m_pendingBytes = 0;
    std::function<void()> m_onChanged;
};

} // namespace onewire
