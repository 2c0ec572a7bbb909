#pragma once

#include "ibutton/EmulatedBus.h"
#include "ibutton/KeyTransfer.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// An emulated reader for the iButton tests: the bus with the reader chip,
// a context that records the routines' messages, and a switch that makes the
// family search fail (the one driver result the emulated line never gives).
class IButtonTestBus : public onewire::EmulatedBus
{
public:
    IButtonTestBus()
    {
        attachReaderChip();
        ctx.bus = this;
        ctx.portNumber = 1;
        ctx.portType = onewire::kUsbPortType;
        ctx.message = [this](onewire::KeyMessageKind kind, const QString &text) { messages.append({kind, text}); };
        ctx.processEvents = [this] { ++pumps; };
    }

    int familySearchSetup(int32_t handle, uint8_t family) override
    {
        return familySearchFails ? 0 : onewire::EmulatedBus::familySearchSetup(handle, family);
    }
    int touchReset(int32_t handle) override
    {
        ++resets;
        return onewire::EmulatedBus::touchReset(handle);
    }

    void selectKey(const onewire::RomId &rom)
    {
        for (size_t i = 0; i < 8; ++i)
            ctx.rom[i] = rom[i];
    }
    QStringList texts() const
    {
        QStringList out;
        for (const auto &m : messages)
            out << m.second;
        return out;
    }

    onewire::KeyTransferContext ctx;
    QList<QPair<onewire::KeyMessageKind, QString>> messages;
    bool familySearchFails = false;
    int resets = 0;
    int pumps = 0;
};
