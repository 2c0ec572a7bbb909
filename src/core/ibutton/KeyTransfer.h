#pragma once

// Everything a window needs to talk to a key on the reader.
//
// Usage (one context per window; the GUI helper makeKeyTransferContext() in
// src/gui/reader/KeyTransferUi.h fills it from the main window's settings and
// routes the messages to the message service):
//
//   onewire::KeyTransferContext ctx = makeKeyTransferContext(this);
//   if (!onewire::IsOneWirePortOK(ctx, onewire::KeyCheckWindow::SingleLockProgramming)) {
//       msg::error("...the window's own message...");   // empty reader
//       return;
//   }
//   for (int page = 0; page < pages; ++page)             // ctx.rom now selects the key
//       if (!onewire::writeDS1977PageWithRetries(ctx, page, buffer[page]))
//           { msg::error("Write ... Error."); return; }
//
// Reading goes the same way with readDS1977PageWithRetries(); clock keys use
// WriteTimeCard/WriteTimeCard1/ReadTimeCard/ReadTimeCard1 after a key check for
// family 0x04 or 0x24. Core code never shows a dialog: every text goes out
// through ctx.message, and ctx.processEvents is called between blocks so the
// window repaints and its progress bar moves.

#include "common/Notify.h"
#include "ibutton/OneWireBus.h"

#include <QString>
#include <functional>

namespace onewire {

// The kinds of message a routine gives: the program's one notice kind.
using KeyMessageKind = NoticeKind;

struct KeyTransferContext
{
    OneWireBus *bus = nullptr;
    int portNumber = 1;
    int portType = kUsbPortType;
    // The window's ROM buffer: filled by the key check, used by every transfer.
    RomBuffer rom{};
    // Called between blocks of a long transfer (may be empty).
    std::function<void()> processEvents;
    // Receives every message of the routines (may be empty).
    std::function<void(KeyMessageKind, const QString &)> message;

    void tell(KeyMessageKind kind, const QString &text) const
    {
        if (message)
            message(kind, text);
    }
    void pump() const
    {
        if (processEvents)
            processEvents();
    }
};

// The warning for a reset result other than presence (empty for presence).
QString microLanWarning(int touchResetResult);

// The registration number of the ROM buffer as text (CRC-8 first, family last)
// and a buffer filled from such a text (false when the text is not 16 hex digits).
QString romBufferText(const RomBuffer &rom);
bool romBufferFromText(const QString &serialId, RomBuffer &rom);

class BusSession;

// Shared steps of the transfer routines.
// TMRom with the window's ROM buffer, then TMAccess; true when both succeed.
bool addressKey(KeyTransferContext &ctx, int32_t handle);
// Reset and address the key again (the caller judges the result by what follows).
void selectKey(KeyTransferContext &ctx, int32_t handle);
// Setup, reset with its MicroLan warning, and the key addressed. False when any
// of it fails (the session guard then ends the session).
bool openKey(KeyTransferContext &ctx, BusSession &session);
// Runs `body` with the key opened in a driver session of its own (ended on
// every path); false when there is no bus or the key could not be opened.
bool withOpenKey(KeyTransferContext &ctx, const std::function<bool(int32_t handle)> &body);

} // namespace onewire
