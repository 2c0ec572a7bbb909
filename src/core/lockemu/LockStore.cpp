#include "LockStore.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QSaveFile>

namespace lockemu {

LockStore::LockStore(const QString &dataDir) : m_folder(QDir(dataDir).filePath(QStringLiteral("emulator/locks"))) {}

QString LockStore::pathOf(const QString &serialId) const
{
    return QDir(m_folder).filePath(serialId.toUpper() + QStringLiteral(".json"));
}

QStringList LockStore::serials() const
{
    QStringList out;
    const QStringList files = QDir(m_folder).entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    for (const QString &f : files) {
        const QString s = f.chopped(5).toUpper();
        if (onewire::isValidSerialText(s))
            out.append(s);
    }
    return out;
}

Result<EmulatedLock> LockStore::load(const QString &serialId) const
{
    QFile f(pathOf(serialId));
    if (!f.open(QIODevice::ReadOnly))
        return Result<EmulatedLock>::failure(QStringLiteral("No emulated lock %1.").arg(serialId));
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        return Result<EmulatedLock>::failure(
            QStringLiteral("The file of emulated lock %1 is damaged: %2").arg(serialId, err.errorString()));
    return EmulatedLock::fromJson(doc.object());
}

Status LockStore::save(const EmulatedLock &lock) const
{
    if (!QDir().mkpath(m_folder))
        return Status::failure(QStringLiteral("Cannot create the folder %1.").arg(m_folder));
    QSaveFile f(pathOf(lock.serialId()));
    if (!f.open(QIODevice::WriteOnly))
        return Status::failure(QStringLiteral("Cannot write %1: %2").arg(f.fileName(), f.errorString()));
    f.write(QJsonDocument(lock.toJson()).toJson(QJsonDocument::Indented));
    if (!f.commit())
        return Status::failure(QStringLiteral("Cannot write %1: %2").arg(f.fileName(), f.errorString()));
    return Status::success();
}

Result<EmulatedLock> LockStore::create(const QString &serialIdIn, const keyformat::FacilityBytes &facility) const
{
    const QString serialId = serialIdIn.trimmed().toUpper();
    if (!onewire::isValidSerialText(serialId))
        return Result<EmulatedLock>::failure(
            QStringLiteral("\"%1\" is not a valid registration number (16 hex digits with a correct CRC).")
                .arg(serialId));
    if (QFile::exists(pathOf(serialId)))
        return Result<EmulatedLock>::failure(QStringLiteral("An emulated lock %1 exists already.").arg(serialId));
    EmulatedLock lock(serialId, facility);
    const Status s = save(lock);
    if (!s)
        return Result<EmulatedLock>::failure(s.error);
    return Result<EmulatedLock>::success(lock);
}

QString LockStore::unusedSerial() const
{
    const QStringList used = serials();
    for (;;) {
        onewire::RomBytes rom{};
        rom[0] = 0x2D;
        for (int i = 1; i < 7; ++i)
            rom[static_cast<size_t>(i)] = static_cast<uint8_t>(QRandomGenerator::global()->bounded(256));
        rom[7] = onewire::crc8(rom.data(), 7);
        const QString s = onewire::serialTextFromBus(rom);
        if (!used.contains(s))
            return s;
    }
}

} // namespace lockemu
