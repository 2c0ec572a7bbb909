#include "ibutton/EmulatedClockKeys.h"

#include "common/Clock.h"

#include <QtEndian>

namespace onewire {

// ---------------------------------------------------------------- counter

uint32_t EmulatedSecondsCounter::count() const
{
    if (!m_running || !m_reference.isValid())
        return m_count;
    const qint64 elapsed = m_reference.secsTo(Clock::now());
    return uint32_t(qint64(m_count) + (elapsed > 0 ? elapsed : 0));
}

void EmulatedSecondsCounter::set(uint32_t count)
{
    m_count = count;
    m_reference = Clock::now();
}

void EmulatedSecondsCounter::setRunning(bool running)
{
    if (running == m_running)
        return;
    const uint32_t now = count();
    m_running = running;
    set(now);
}

QByteArray EmulatedSecondsCounter::save() const
{
    QByteArray out(12, 0);
    qToLittleEndian<quint32>(m_count, out.data());
    const qint64 ms = m_reference.isValid() ? m_reference.toMSecsSinceEpoch() : 0;
    qToLittleEndian<qint64>(ms, out.data() + 4);
    return out;
}

bool EmulatedSecondsCounter::restore(const QByteArray &bytes)
{
    if (bytes.size() != 12)
        return false;
    m_count = qFromLittleEndian<quint32>(bytes.constData());
    m_reference = QDateTime::fromMSecsSinceEpoch(qFromLittleEndian<qint64>(bytes.constData() + 4));
    return true;
}

// ---------------------------------------------------------------- DS1994

namespace {
constexpr uint8_t kWriteScratchpad = 0x0F;
constexpr uint8_t kReadScratchpad = 0xAA;
constexpr uint8_t kCopyScratchpad = 0x55;
constexpr uint8_t kReadMemory = 0xF0;
constexpr uint8_t kOscillatorBit = 0x10;
constexpr int kControlRegister = 0x201;
constexpr int kCounterFirst = 0x203;
constexpr int kCounterLast = 0x206;
} // namespace

EmulatedDS1994::EmulatedDS1994(const RomId &rom) : EmulatedDevice(rom), m_memory(kMemorySize, char(0x00))
{
    m_scratchpad.fill(0xFF);
    m_counter.set(0);
}

uint8_t EmulatedDS1994::read(int address) const
{
    if (address < 0 || address >= kEnd)
        return 0xFF;
    if (address < kRegisterBase)
        return uint8_t(m_memory[address]);
    if (address >= kCounterFirst && address <= kCounterLast)
        return uint8_t(m_counter.count() >> (8 * (address - kCounterFirst)));
    return m_registers[size_t(address - kRegisterBase)];
}

void EmulatedDS1994::setClock(uint32_t count, bool running)
{
    write(kControlRegister, running ? kOscillatorBit : 0x00);
    m_counter.set(count);
}

void EmulatedDS1994::write(int address, uint8_t value)
{
    if (address < 0 || address >= kEnd)
        return;
    if (address < kRegisterBase) {
        m_memory[address] = char(value);
    } else if (address >= kCounterFirst && address <= kCounterLast) {
        const int shift = 8 * (address - kCounterFirst);
        uint32_t c = m_counter.count();
        c = (c & ~(uint32_t(0xFF) << shift)) | (uint32_t(value) << shift);
        m_counter.set(c);
    } else {
        m_registers[size_t(address - kRegisterBase)] = value;
        if (address == kControlRegister)
            m_counter.setRunning(value & kOscillatorBit);
    }
}

QByteArray EmulatedDS1994::saveState() const
{
    QByteArray out = m_memory;
    out.append(reinterpret_cast<const char *>(m_registers.data()), int(m_registers.size()));
    out.append(m_counter.save());
    return out;
}

bool EmulatedDS1994::restoreState(const QByteArray &state)
{
    if (state.size() != kMemorySize + 32 + 12)
        return false;
    m_memory = state.left(kMemorySize);
    for (int i = 0; i < 32; ++i)
        m_registers[size_t(i)] = uint8_t(state[kMemorySize + i]);
    m_counter.setRunning(m_registers[kControlRegister - kRegisterBase] & kOscillatorBit);
    return m_counter.restore(state.mid(kMemorySize + 32));
}

void EmulatedDS1994::reset()
{
    m_state = State::Idle;
    m_out.clear();
    m_outPos = 0;
}

void EmulatedDS1994::select()
{
    reset();
    m_state = State::Command;
}

uint8_t EmulatedDS1994::exchange(uint8_t fromMaster)
{
    switch (m_state) {
    case State::Idle:
        return 0xFF;
    case State::Command:
        m_command = fromMaster;
        m_received = 0;
        m_fill = 0xFF;
        if (m_command == kReadScratchpad) {
            m_out = {uint8_t(m_ta & 0xFF), uint8_t(m_ta >> 8), m_es};
            for (int off = m_ta & 0x1F; off < 32; ++off)
                m_out.push_back(m_scratchpad[size_t(off)]);
            m_outPos = 0;
            m_state = State::Sending;
        } else if (m_command == kWriteScratchpad || m_command == kCopyScratchpad || m_command == kReadMemory) {
            m_state = State::Receiving;
        } else {
            m_state = State::Idle;
        }
        return 0xFF;
    case State::Receiving: {
        ++m_received;
        if (m_command == kWriteScratchpad) {
            if (m_received == 1) {
                m_ta = fromMaster;
            } else if (m_received == 2) {
                m_ta = uint16_t(m_ta | (fromMaster << 8));
                m_offset = m_ta & 0x1F;
                m_es = uint8_t(m_offset);
            } else if (m_offset < 32) {
                m_scratchpad[size_t(m_offset)] = fromMaster;
                m_es = uint8_t(m_offset);
                ++m_offset;
            }
            return 0xFF;
        }
        if (m_command == kCopyScratchpad) {
            auto &params = m_copyParams;
            params[size_t(m_received - 1)] = fromMaster;
            if (m_received == 3) {
                const uint16_t ta = uint16_t(params[0] | (params[1] << 8));
                m_state = State::Sending;
                m_out.clear();
                if (ta == m_ta && params[2] == m_es) {
                    const int base = m_ta & ~0x1F;
                    for (int off = m_ta & 0x1F; off <= (m_es & 0x1F); ++off)
                        write(base + off, m_scratchpad[size_t(off)]);
                    m_es |= 0x80;
                    m_fill = 0x00; // the copy is done: 0 bits until reset
                    if (m_onChanged)
                        m_onChanged();
                }
            }
            return 0xFF;
        }
        // Read memory: two address bytes, then data to the end of memory.
        if (m_received == 1) {
            m_readAddress = fromMaster;
        } else {
            m_readAddress |= fromMaster << 8;
            m_state = State::Sending;
            m_out.clear();
            m_outPos = 0;
        }
        return 0xFF;
    }
    case State::Sending:
        if (m_command == kReadMemory)
            return m_readAddress < kEnd ? read(m_readAddress++) : 0xFF;
        if (m_outPos < m_out.size())
            return m_out[m_outPos++];
        return m_fill;
    }
    return 0xFF;
}

// ---------------------------------------------------------------- DS1904

namespace {
constexpr uint8_t kReadClock = 0x66;
constexpr uint8_t kWriteClock = 0x99;
constexpr uint8_t kOscillatorBits = 0x0C;
} // namespace

EmulatedDS1904::EmulatedDS1904(const RomId &rom) : EmulatedDevice(rom)
{
    m_counter.setRunning(true);
    m_counter.set(0);
}

void EmulatedDS1904::setControl(uint8_t control)
{
    m_control = uint8_t(control & 0xFC); // bits 1-0 read 0
    m_counter.setRunning((m_control & kOscillatorBits) == kOscillatorBits);
}

void EmulatedDS1904::setClock(uint32_t count, uint8_t control)
{
    setControl(control);
    m_counter.set(count);
}

QByteArray EmulatedDS1904::saveState() const
{
    QByteArray out(1, char(m_control));
    out.append(m_counter.save());
    return out;
}

bool EmulatedDS1904::restoreState(const QByteArray &state)
{
    if (state.size() != 13)
        return false;
    setControl(uint8_t(state[0]));
    return m_counter.restore(state.mid(1));
}

void EmulatedDS1904::reset()
{
    if (m_state != State::Idle && m_command == kWriteClock && m_pendingBytes == 4) {
        uint32_t c = 0;
        for (int i = 0; i < 4; ++i)
            c |= uint32_t(m_pending[size_t(i)]) << (8 * i);
        m_counter.set(c);
        if (m_onChanged)
            m_onChanged();
    }
    m_pendingBytes = 0;
    m_state = State::Idle;
}

void EmulatedDS1904::select()
{
    reset();
    m_state = State::Command;
}

uint8_t EmulatedDS1904::exchange(uint8_t fromMaster)
{
    switch (m_state) {
    case State::Idle:
        return 0xFF;
    case State::Command:
        m_command = fromMaster;
        m_pos = 0;
        m_pendingBytes = 0;
        if (m_command == kReadClock) {
            const uint32_t c = m_counter.count();
            m_snapshot = {m_control, uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), uint8_t(c >> 24)};
            m_state = State::Sending;
        } else if (m_command == kWriteClock) {
            m_state = State::Receiving;
        } else {
            m_state = State::Idle;
        }
        return 0xFF;
    case State::Receiving:
        if (m_pos == 0) {
            setControl(fromMaster);
            if (m_onChanged)
                m_onChanged();
        } else if (m_pos <= 4) {
            m_pending[size_t(m_pos - 1)] = fromMaster;
            m_pendingBytes = m_pos;
        }
        ++m_pos;
        return 0xFF;
    case State::Sending: {
        const uint8_t b = m_snapshot[size_t(m_pos % 5)];
        ++m_pos;
        return b;
    }
    }
    return 0xFF;
}

} // namespace onewire
