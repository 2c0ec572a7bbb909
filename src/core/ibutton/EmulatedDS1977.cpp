#include "ibutton/EmulatedDS1977.h"

#include "ibutton/Checksums.h"

#include <algorithm>

namespace onewire {
namespace {

constexpr uint8_t kWriteScratchpad = 0x0F;
constexpr uint8_t kReadScratchpad = 0xAA;
constexpr uint8_t kCopyScratchpad = 0x99;
constexpr uint8_t kReadMemory = 0x69;
constexpr uint8_t kVerifyPassword = 0xC3;
constexpr uint8_t kReadVersion = 0xCC;

} // namespace

EmulatedDS1977::EmulatedDS1977(const RomId &rom, const QByteArray &image) : EmulatedDevice(rom)
{
    setMemory(image);
    m_scratchpad.fill(0xFF);
}

void EmulatedDS1977::setMemory(const QByteArray &image)
{
    m_memory = image.left(kMemorySize);
    if (m_memory.size() < kMemorySize)
        m_memory.append(QByteArray(kMemorySize - m_memory.size(), char(0xFF)));
}

void EmulatedDS1977::setPasswords(const std::array<uint8_t, 8> &readPassword,
                                  const std::array<uint8_t, 8> &fullPassword, bool enabled)
{
    for (int i = 0; i < 8; ++i) {
        m_memory[kReadPasswordAddress + i] = char(readPassword[size_t(i)]);
        m_memory[kFullPasswordAddress + i] = char(fullPassword[size_t(i)]);
    }
    m_memory[kPasswordControlAddress] = char(enabled ? kPasswordsEnabled : 0x00);
}

void EmulatedDS1977::reset()
{
    m_state = State::Idle;
    m_out.clear();
    m_params.clear();
    m_readNextPage = -1;
}

void EmulatedDS1977::select()
{
    reset();
    m_state = State::Command;
}

uint8_t EmulatedDS1977::exchange(uint8_t fromMaster)
{
    switch (m_state) {
    case State::Idle:
        return 0xFF;
    case State::Command:
        startCommand(fromMaster);
        return 0xFF;
    case State::Receiving:
        receive(fromMaster);
        return 0xFF;
    case State::AwaitPullup:
        // Time slots without the strong pull-up: the device lacks the power
        // for the copy or the read and gives up.
        m_state = State::Sending;
        m_fill = 0xFF;
        m_out.clear();
        return 0xFF;
    case State::Sending:
        if (!m_out.empty()) {
            const uint8_t b = m_out.front();
            m_out.pop_front();
            return b;
        }
        return m_fill;
    }
    return 0xFF;
}

void EmulatedDS1977::startCommand(uint8_t command)
{
    m_command = command;
    m_params.clear();
    m_out.clear();
    m_fill = 0xFF;
    switch (command) {
    case kWriteScratchpad:
        m_crc = crc16Step(0, command);
        m_state = State::Receiving;
        break;
    case kReadScratchpad: {
        uint16_t crc = crc16Step(0, command);
        const uint8_t head[3] = {uint8_t(m_ta & 0xFF), uint8_t(m_ta >> 8), m_es};
        for (uint8_t b : head) {
            m_out.push_back(b);
            crc = crc16Step(crc, b);
        }
        for (int off = m_ta & 0x3F; off < kPageSize; ++off) {
            m_out.push_back(m_scratchpad[size_t(off)]);
            crc = crc16Step(crc, m_scratchpad[size_t(off)]);
        }
        crc = uint16_t(~crc);
        m_out.push_back(uint8_t(crc & 0xFF));
        m_out.push_back(uint8_t(crc >> 8));
        m_state = State::Sending;
        break;
    }
    case kCopyScratchpad:
    case kReadMemory:
    case kVerifyPassword:
    case kReadVersion:
        m_state = State::Receiving;
        break;
    default:
        m_state = State::Idle; // unknown command: the device waits for a reset
        break;
    }
}

void EmulatedDS1977::receive(uint8_t byte)
{
    m_params.push_back(byte);
    const size_t n = m_params.size();
    switch (m_command) {
    case kWriteScratchpad:
        m_crc = crc16Step(m_crc, byte);
        if (n == 2) {
            m_ta = uint16_t(m_params[0] | (m_params[1] << 8));
            m_writeOffset = m_ta & 0x3F;
            m_es = uint8_t(m_writeOffset); // AA and PF cleared
        } else if (n > 2) {
            m_scratchpad[size_t(m_writeOffset)] = byte;
            m_es = uint8_t(m_writeOffset);
            if (++m_writeOffset == kPageSize) {
                const uint16_t inv = uint16_t(~m_crc);
                m_out.push_back(uint8_t(inv & 0xFF));
                m_out.push_back(uint8_t(inv >> 8));
                m_state = State::Sending;
            }
        }
        break;
    case kCopyScratchpad:
        if (n == 11)
            m_state = State::AwaitPullup;
        break;
    case kReadMemory:
    case kVerifyPassword:
        if (n == 10)
            m_state = State::AwaitPullup;
        break;
    case kReadVersion:
        if (n == 2) {
            m_out = {kVersion, kVersion};
            m_state = State::Sending;
        }
        break;
    default:
        break;
    }
}

bool EmulatedDS1977::passwordMatches(int address) const
{
    // The password follows the two address bytes (and E/S for a copy).
    const size_t first = m_command == kCopyScratchpad ? 3 : 2;
    for (int i = 0; i < 8; ++i)
        if (m_params[first + size_t(i)] != uint8_t(m_memory[address + i]))
            return false;
    return true;
}

uint8_t EmulatedDS1977::memoryRead(int address) const
{
    // Passwords never read back; the rest of page 511 above the control byte reads 0xFF.
    if (address >= kReadPasswordAddress && address < kPasswordControlAddress)
        return 0xFF;
    if (address > kPasswordControlAddress)
        return 0xFF;
    return uint8_t(m_memory[address]);
}

void EmulatedDS1977::queuePage(int address, bool withHeader)
{
    uint16_t crc = 0;
    if (withHeader) {
        crc = crc16Step(crc, kReadMemory);
        crc = crc16Step(crc, uint8_t(address & 0xFF));
        crc = crc16Step(crc, uint8_t(address >> 8));
    }
    const int pageEnd = (address / kPageSize + 1) * kPageSize;
    for (int a = address; a < pageEnd; ++a) {
        const uint8_t b = memoryRead(a);
        m_out.push_back(b);
        crc = crc16Step(crc, b);
    }
    crc = uint16_t(~crc);
    m_out.push_back(uint8_t(crc & 0xFF));
    m_out.push_back(uint8_t(crc >> 8));
    m_readNextPage = pageEnd < kMemorySize ? pageEnd / kPageSize : -1;
}

void EmulatedDS1977::strongPullup()
{
    m_lastPullup = 0.0;
    if (m_state == State::Sending && m_command == kReadMemory && m_readNextPage >= 0 && m_out.empty()) {
        // Reading on: the next whole page with a CRC of its data alone.
        m_lastPullup = kReadPullupMicros;
        queuePage(m_readNextPage * kPageSize, false);
        return;
    }
    if (m_state != State::AwaitPullup)
        return;
    const bool checking = uint8_t(m_memory[kPasswordControlAddress]) == kPasswordsEnabled;
    const int address = m_params[0] | (m_params[1] << 8);
    m_state = State::Sending;
    m_fill = 0xFF;
    switch (m_command) {
    case kCopyScratchpad: {
        m_lastPullup = kCopyPullupMicros;
        const bool ok = address == m_ta && m_params[2] == m_es && address < kMemorySize
                        && (!checking || passwordMatches(kFullPasswordAddress));
        if (!ok)
            return;
        if (m_failCopies > 0) {
            --m_failCopies;
            return;
        }
        const int base = address & ~0x3F;
        for (int off = address & 0x3F; off <= (m_es & 0x3F); ++off)
            m_memory[base + off] = char(m_scratchpad[size_t(off)]);
        m_es |= 0x80;
        ++m_copies;
        m_fill = 0xAA;
        if (m_onChanged)
            m_onChanged();
        break;
    }
    case kReadMemory:
        m_lastPullup = kReadPullupMicros;
        if (address >= kMemorySize)
            return;
        if (checking && !passwordMatches(kReadPasswordAddress) && !passwordMatches(kFullPasswordAddress))
            return;
        queuePage(address, true);
        break;
    case kVerifyPassword:
        m_lastPullup = kVerifyPullupMicros;
        if ((address == kReadPasswordAddress || address == kFullPasswordAddress) && passwordMatches(address))
            m_fill = 0xAA;
        break;
    default:
        break;
    }
}

} // namespace onewire
