#pragma once

#include "ibutton/OneWireBus.h"

namespace onewire {

// One driver session: started in the constructor, ended in the destructor,
// so a routine ends its session on every path.
class BusSession
{
public:
    BusSession(OneWireBus &bus, int portNumber, int portType)
        : m_bus(bus), m_handle(bus.startSession(portNumber, portType))
    {
    }
    ~BusSession() { end(); }
    BusSession(const BusSession &) = delete;
    BusSession &operator=(const BusSession &) = delete;

    // > 0: a session; 0: give up silently; < 0: wrong port.
    int32_t handle() const { return m_handle; }
    // Ends the session now (a second call does nothing).
    void end()
    {
        if (!m_ended) {
            m_ended = true;
            m_bus.endSession(m_handle);
        }
    }

private:
    OneWireBus &m_bus;
    int32_t m_handle;
    bool m_ended = false;
};

} // namespace onewire
