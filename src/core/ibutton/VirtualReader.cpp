#include "ibutton/VirtualReader.h"

#include "common/Clock.h"
#include "ibutton/Checksums.h"
#include "ibutton/ClockKeyTransfer.h"
#include "ibutton/EmulatedClockKeys.h"
#include "ibutton/EmulatedDS1977.h"
#include "ibutton/KeyPassword.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

namespace onewire {

struct VirtualReader::Key
{
    QString serialId;
    VirtualKeyKind kind = VirtualKeyKind::UserButton;
    RomId rom{};
    std::shared_ptr<EmulatedDevice> device;
    std::shared_ptr<EmulatedDS1977> ds1977;
    std::shared_ptr<EmulatedDS1994> ds1994;
    std::shared_ptr<EmulatedDS1904> ds1904;
};

namespace {

struct KindFile
{
    VirtualKeyKind kind;
    const char *suffix;
};
const KindFile kKindFiles[] = {
    {VirtualKeyKind::DS1977, "bin"},     {VirtualKeyKind::DS1994, "ds1994"}, {VirtualKeyKind::DS1904, "ds1904"},
    {VirtualKeyKind::DS1961S, "ds1961s"}, {VirtualKeyKind::UserButton, "button"},
};

QString suffixOf(VirtualKeyKind kind)
{
    for (const auto &k : kKindFiles)
        if (k.kind == kind)
            return QString::fromLatin1(k.suffix);
    return {};
}

bool kindOfSuffix(const QString &suffix, VirtualKeyKind &kind)
{
    for (const auto &k : kKindFiles)
        if (suffix.compare(QLatin1String(k.suffix), Qt::CaseInsensitive) == 0) {
            kind = k.kind;
            return true;
        }
    return false;
}

QString textOf(const RomId &rom)
{
    RomBytes b{};
    std::copy(rom.begin(), rom.end(), b.begin());
    return serialTextFromBus(b);
}

Status writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return Status::failure(QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), f.errorString()));
    f.write(bytes);
    if (!f.commit())
        return Status::failure(QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), f.errorString()));
    return Status::success();
}

} // namespace

uint8_t familyOf(VirtualKeyKind kind)
{
    switch (kind) {
    case VirtualKeyKind::UserButton:
        return 0x01;
    case VirtualKeyKind::DS1977:
        return 0x37;
    case VirtualKeyKind::DS1961S:
        return 0x33;
    case VirtualKeyKind::DS1994:
        return 0x04;
    case VirtualKeyKind::DS1904:
        return 0x24;
    }
    return 0x01;
}

QString kindName(VirtualKeyKind kind)
{
    switch (kind) {
    case VirtualKeyKind::UserButton:
        return QStringLiteral("User iButton");
    case VirtualKeyKind::DS1977:
        return QStringLiteral("DS1977 program key");
    case VirtualKeyKind::DS1961S:
        return QStringLiteral("DS1961S key");
    case VirtualKeyKind::DS1994:
        return QStringLiteral("DS1994 time key");
    case VirtualKeyKind::DS1904:
        return QStringLiteral("DS1904 time key");
    }
    return {};
}

VirtualReader::VirtualReader(const QString &dataDir) : m_dataDir(dataDir)
{
    m_chip = m_bus.attachReaderChip();
    m_bus.setOnDeviceRemoved([this](const RomId &) { persistReader(); });
    load();
}

VirtualReader::~VirtualReader() = default;

EmulatedBus &VirtualReader::bus() { return m_bus; }

QString VirtualReader::readerChipId() const { return textOf(m_chip->romId()); }

QString VirtualReader::keysFolder() const { return QDir(m_dataDir).filePath(QStringLiteral("emulator/keys")); }

QString VirtualReader::fileFor(const Key &key) const
{
    return QDir(keysFolder()).filePath(key.serialId + QLatin1Char('.') + suffixOf(key.kind));
}

const VirtualReader::Key *VirtualReader::key(const QString &serialId) const
{
    for (const auto &k : m_keys)
        if (k->serialId.compare(serialId, Qt::CaseInsensitive) == 0)
            return k.get();
    return nullptr;
}

void VirtualReader::wire(Key &key)
{
    // Every change the key takes on the bus goes to its file at once.
    const Key *k = &key;
    if (key.ds1977)
        key.ds1977->setOnMemoryChanged([this, k] { persist(*k); });
    if (key.ds1994)
        key.ds1994->setOnChanged([this, k] { persist(*k); });
    if (key.ds1904)
        key.ds1904->setOnChanged([this, k] { persist(*k); });
}

void VirtualReader::load()
{
    const QDir dir(keysFolder());
    if (!dir.exists())
        return;
    const auto files = dir.entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &fi : files) {
        VirtualKeyKind kind;
        if (!kindOfSuffix(fi.suffix(), kind))
            continue;
        const QString serial = fi.completeBaseName().toUpper();
        RomBytes bytes{};
        if (!isValidSerialText(serial) || !busFromSerialText(serial, bytes) || bytes[0] != familyOf(kind)) {
            m_loadProblems << QStringLiteral("%1: not a valid registration number for a %2")
                                  .arg(fi.fileName(), kindName(kind));
            continue;
        }
        if (key(serial))
            continue;
        QFile f(fi.absoluteFilePath());
        if (!f.open(QIODevice::ReadOnly)) {
            m_loadProblems << QStringLiteral("%1: %2").arg(fi.fileName(), f.errorString());
            continue;
        }
        const QByteArray content = f.readAll();
        auto k = std::make_shared<Key>();
        k->serialId = serial;
        k->kind = kind;
        std::copy(bytes.begin(), bytes.end(), k->rom.begin());
        bool ok = true;
        switch (kind) {
        case VirtualKeyKind::DS1977:
            ok = content.size() == EmulatedDS1977::kMemorySize;
            k->ds1977 = std::make_shared<EmulatedDS1977>(k->rom, content);
            k->device = k->ds1977;
            break;
        case VirtualKeyKind::DS1994:
            k->ds1994 = std::make_shared<EmulatedDS1994>(k->rom);
            ok = k->ds1994->restoreState(content);
            k->device = k->ds1994;
            break;
        case VirtualKeyKind::DS1904:
            k->ds1904 = std::make_shared<EmulatedDS1904>(k->rom);
            ok = k->ds1904->restoreState(content);
            k->device = k->ds1904;
            break;
        default:
            k->device = std::make_shared<EmulatedDevice>(k->rom);
            break;
        }
        if (!ok) {
            // Left untouched on disk: a damaged file is reported, never overwritten.
            m_loadProblems << QStringLiteral("%1: damaged (%2 bytes)").arg(fi.fileName()).arg(content.size());
            continue;
        }
        wire(*k);
        m_keys << k;
    }

    QFile reader(QDir(m_dataDir).filePath(QStringLiteral("emulator/reader.txt")));
    if (reader.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const auto lines = QString::fromLatin1(reader.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString &line : lines)
            if (const Key *k = key(line.trimmed()))
                m_bus.attach(k->device);
    }
}

Status VirtualReader::persist(const Key &key) const
{
    if (!QDir().mkpath(keysFolder()))
        return Status::failure(QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(keysFolder())));
    QByteArray content;
    if (key.ds1977)
        content = key.ds1977->memory();
    else if (key.ds1994)
        content = key.ds1994->saveState();
    else if (key.ds1904)
        content = key.ds1904->saveState();
    return writeFile(fileFor(key), content);
}

void VirtualReader::persistReader() const
{
    const QString path = QDir(m_dataDir).filePath(QStringLiteral("emulator/reader.txt"));
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeFile(path, onReader().join(QLatin1Char('\n')).toLatin1() + '\n');
}

QList<VirtualKeyInfo> VirtualReader::keys() const
{
    QList<VirtualKeyInfo> out;
    for (const auto &k : m_keys)
        out.append({k->serialId, k->kind, m_bus.find(k->rom) != nullptr});
    return out;
}

Result<QString> VirtualReader::createKey(VirtualKeyKind kind)
{
    auto k = std::make_shared<Key>();
    k->kind = kind;
    const uint8_t family = familyOf(kind);
    for (int tries = 0;; ++tries) {
        if (tries > 1000)
            return Result<QString>::failure(QStringLiteral("No free registration number was found."));
        const uint64_t serial = QRandomGenerator::global()->generate64() & 0xFFFFFFFFFFFFULL;
        if (serial == 0)
            continue;
        k->rom = makeRomId(family, serial);
        k->serialId = textOf(k->rom);
        if (!key(k->serialId) && k->rom != m_chip->romId() && !QFile::exists(fileFor(*k)))
            break;
    }
    switch (kind) {
    case VirtualKeyKind::DS1977:
        k->ds1977 = std::make_shared<EmulatedDS1977>(k->rom);
        k->ds1977->setPasswords(keyPassword(), keyPassword(), true);
        k->device = k->ds1977;
        break;
    case VirtualKeyKind::DS1994:
        // Delivered with the clock running on the PC's time.
        k->ds1994 = std::make_shared<EmulatedDS1994>(k->rom);
        k->ds1994->setClock(clockCount(Clock::now()), true);
        k->device = k->ds1994;
        break;
    case VirtualKeyKind::DS1904:
        k->ds1904 = std::make_shared<EmulatedDS1904>(k->rom);
        k->ds1904->setClock(clockCount(Clock::now()));
        k->device = k->ds1904;
        break;
    default:
        k->device = std::make_shared<EmulatedDevice>(k->rom);
        break;
    }
    const Status saved = persist(*k);
    if (!saved)
        return Result<QString>::failure(saved.error);
    wire(*k);
    m_keys << k;
    return Result<QString>::success(k->serialId);
}

Status VirtualReader::putOnReader(const QString &serialId)
{
    const Key *k = key(serialId);
    if (!k)
        return Status::failure(QStringLiteral("There is no virtual key %1.").arg(serialId));
    m_bus.attach(k->device);
    persistReader();
    return Status::success();
}

Status VirtualReader::takeOff(const QString &serialId)
{
    const Key *k = key(serialId);
    if (!k)
        return Status::failure(QStringLiteral("There is no virtual key %1.").arg(serialId));
    m_bus.detach(k->rom);
    persistReader();
    return Status::success();
}

QStringList VirtualReader::onReader() const
{
    QStringList out;
    for (const auto &d : m_bus.devices())
        if (d != m_chip)
            out << textOf(d->romId());
    return out;
}

Result<QByteArray> VirtualReader::readImage(const QString &serialId) const
{
    const Key *k = key(serialId);
    if (!k)
        return Result<QByteArray>::failure(QStringLiteral("There is no virtual key %1.").arg(serialId));
    if (!k->ds1977)
        return Result<QByteArray>::failure(QStringLiteral("%1 is not a DS1977 program key.").arg(serialId));
    return Result<QByteArray>::success(k->ds1977->memory());
}

Status VirtualReader::writeImage(const QString &serialId, const QByteArray &image)
{
    const Key *k = key(serialId);
    if (!k)
        return Status::failure(QStringLiteral("There is no virtual key %1.").arg(serialId));
    if (!k->ds1977)
        return Status::failure(QStringLiteral("%1 is not a DS1977 program key.").arg(serialId));
    if (image.size() != EmulatedDS1977::kMemorySize)
        return Status::failure(QStringLiteral("A DS1977 image is %1 bytes, not %2.")
                                   .arg(EmulatedDS1977::kMemorySize)
                                   .arg(image.size()));
    k->ds1977->setMemory(image);
    return persist(*k);
}

} // namespace onewire
