#pragma once

// The key check run just before a window writes or reads a key, and the
// identification of whatever key lies on the reader. See KeyTransfer.h for
// how a window uses them.

#include "ibutton/KeyTransfer.h"

#include <QList>
#include <QString>

namespace onewire {

// The windows that check for a key, each with its families and texts.
enum class KeyCheckWindow {
    SingleLockProgramming,
    SetupNewLock,
    LockMaintenanceProgramKey,
    LockMaintenanceDS1994,
    LockMaintenanceDS1904,
    ReadKey,
    CopyLockSettings,
    MultiLockProgramming,
    RemoteCode,
    GetAuditTrail,
};

struct KeyCheckProfile
{
    uint8_t searchedFamily = 0x37;
    QList<uint8_t> acceptedFamilies;
    QString plugInMessage;     // the family search could not be set up (error)
    QString wrongPortMessage;  // negative session handle (information)
    QString readerMessage;     // the bus could not be set up (error)
};

const KeyCheckProfile &keyCheckProfile(KeyCheckWindow window);

// Confirms that the reader answers and that a key of an accepted family lies
// on it; on success the context's ROM buffer holds that key's number (on
// failure it is left as it was). An empty reader gives false without a
// message: the calling window shows its own.
bool IsOneWirePortOK(KeyTransferContext &ctx, KeyCheckWindow window);
bool IsOneWirePortOK(KeyTransferContext &ctx, const KeyCheckProfile &profile);

enum class ReadButtonVariant {
    Plain,
    ReadKey, // the Read Key window's copy: one extra reset right after the session starts
};

// The registration number text of the key on the reader, skipping the
// reader's own chip (`readerId`); empty when no key was found. No messages.
QString ReadButtonID(KeyTransferContext &ctx, const QString &readerId,
                     ReadButtonVariant variant = ReadButtonVariant::Plain);

} // namespace onewire
