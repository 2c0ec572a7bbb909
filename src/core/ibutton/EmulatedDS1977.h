#pragma once

#include "ibutton/EmulatedDevice.h"

#include <QByteArray>
#include <deque>
#include <functional>

namespace onewire {

// A DS1977 program key: 32768 bytes in 512 pages of 64 bytes, a 64-byte
// scratchpad, and passwords on page 511 (read-access password at 0x7FC0,
// full-access password at 0x7FC8, control byte at 0x7FD0; checking is on when
// the control byte is 0xAA). Answers Write/Read Scratchpad, Copy Scratchpad
// with password, Read Memory with password, Verify Password and Read Version
// as the device does, CRC-16 included.
class EmulatedDS1977 : public EmulatedDevice
{
public:
    static constexpr int kMemorySize = 32768;
    static constexpr int kPageSize = 64;
    static constexpr int kReadPasswordAddress = 0x7FC0;
    static constexpr int kFullPasswordAddress = 0x7FC8;
    static constexpr int kPasswordControlAddress = 0x7FD0;
    static constexpr uint8_t kPasswordsEnabled = 0xAA;
    static constexpr uint8_t kVersion = 0x01;
    static constexpr double kCopyPullupMicros = 10000.0;
    static constexpr double kReadPullupMicros = 2640.0;
    static constexpr double kVerifyPullupMicros = 620.0;

    // `image` shorter than the memory is padded with 0xFF.
    EmulatedDS1977(const RomId &rom, const QByteArray &image = QByteArray());

    const QByteArray &memory() const { return m_memory; }
    void setMemory(const QByteArray &image);
    // Writes both passwords and switches checking on (or off).
    void setPasswords(const std::array<uint8_t, 8> &readPassword, const std::array<uint8_t, 8> &fullPassword,
                      bool enabled = true);

    // The next `count` copies answer 0xFF and leave the memory unchanged.
    void failNextCopies(int count) { m_failCopies = count; }
    // Called after every copy that changed the memory.
    void setOnMemoryChanged(std::function<void()> callback) { m_onChanged = std::move(callback); }
    int copiesDone() const { return m_copies; }

    void reset() override;
    void select() override;
    uint8_t exchange(uint8_t fromMaster) override;
    void strongPullup() override;
    double lastPullupMicros() const override { return m_lastPullup; }

private:
    enum class State {
        Idle,          // not addressed
        Command,       // waiting for the function command
        Receiving,     // taking the command's parameters
        AwaitPullup,   // parameters complete, waiting for the strong pull-up
        Sending,       // answering from m_out, then 0xFF (or m_fill)
    };

    void startCommand(uint8_t command);
    void receive(uint8_t byte);
    void parametersDone();
    bool passwordMatches(int address) const;
    uint8_t memoryRead(int address) const;
    void queuePage(int address, bool withHeader);

    QByteArray m_memory;
    std::array<uint8_t, kPageSize> m_scratchpad{};
    uint16_t m_ta = 0;
    uint8_t m_es = 0;

    State m_state = State::Idle;
    uint8_t m_command = 0;
    std::vector<uint8_t> m_params;
    uint16_t m_crc = 0;
    int m_writeOffset = 0;
    std::deque<uint8_t> m_out;
    uint8_t m_fill = 0xFF;
    int m_readNextPage = -1;
    double m_lastPullup = 0.0;
    int m_failCopies = 0;
    int m_copies = 0;
    std::function<void()> m_onChanged;
};

} // namespace onewire
