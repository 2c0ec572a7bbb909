#pragma once

#include "EmulatedLock.h"

#include <QStringList>

namespace lockemu {

// The emulated locks of a data folder: one JSON file per lock in
// <dataDir>/emulator/locks/, named by its registration number.
class LockStore
{
public:
    explicit LockStore(const QString &dataDir);

    QString folder() const { return m_folder; }
    QStringList serials() const;
    Result<EmulatedLock> load(const QString &serialId) const;
    Status save(const EmulatedLock &lock) const;
    // A new lock: the registration number must be valid and not used yet.
    Result<EmulatedLock> create(const QString &serialId, const keyformat::FacilityBytes &facility) const;
    // A fresh registration number of family 0x2D with a correct CRC that no lock here has yet.
    QString unusedSerial() const;

private:
    QString pathOf(const QString &serialId) const;
    QString m_folder;
};

} // namespace lockemu
