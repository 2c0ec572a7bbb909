#pragma once

#include "common/Result.h"
#include "ibutton/EmulatedBus.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace onewire {

enum class VirtualKeyKind { UserButton /*family 0x01*/, DS1977 /*0x37*/, DS1961S /*0x33*/, DS1994 /*0x04*/, DS1904 /*0x24*/ };

struct VirtualKeyInfo
{
    QString serialId;
    VirtualKeyKind kind;
    bool onReader;
};

uint8_t familyOf(VirtualKeyKind kind);
QString kindName(VirtualKeyKind kind);

// The emulated USB reader with its virtual keys, kept as files in
// <dataDir>/emulator/keys/ and named by their registration number (SerialID):
//   <SerialID>.bin     DS1977, the raw 32768-byte image (page p at 64 * p)
//   <SerialID>.ds1994  DS1994, 512 bytes of memory, 32 register bytes and the
//                      running clock (count and reference instant, 12 bytes)
//   <SerialID>.ds1904  DS1904, control byte and the running clock (13 bytes)
//   <SerialID>.ds1961s DS1961S and <SerialID>.button user iButtons (empty)
// Every change a key takes on the bus is written to its file at once. What lies
// on the reader is kept in <dataDir>/emulator/reader.txt (one SerialID a
// line), so the reader looks after a restart as it did before.
class VirtualReader
{
public:
    explicit VirtualReader(const QString &dataDir);
    ~VirtualReader();

    EmulatedBus &bus(); // with the reader's ID chip always attached
    // The reader chip's registration number text.
    QString readerChipId() const;

    QList<VirtualKeyInfo> keys() const;
    // New key with a valid registration number unique among the keys; returns its SerialID.
    Result<QString> createKey(VirtualKeyKind kind);
    Status putOnReader(const QString &serialId);
    Status takeOff(const QString &serialId);
    QStringList onReader() const;

    // A DS1977's whole memory (32768 bytes, page p at 64*p) as it is now, and
    // writing it back (kept in the emulated device and persisted at once).
    Result<QByteArray> readImage(const QString &serialId) const;
    Status writeImage(const QString &serialId, const QByteArray &image);

    // Errors met while loading the key folder (unreadable or damaged files).
    QStringList loadProblems() const { return m_loadProblems; }
    QString keysFolder() const;

private:
    struct Key;
    void load();
    Status persist(const Key &key) const;
    void persistReader() const;
    void wire(Key &key);
    QString fileFor(const Key &key) const;
    const Key *key(const QString &serialId) const;

    QString m_dataDir;
    EmulatedBus m_bus;
    std::shared_ptr<EmulatedDevice> m_chip;
    QList<std::shared_ptr<Key>> m_keys;
    QStringList m_loadProblems;
};

} // namespace onewire
