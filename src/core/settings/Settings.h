#pragma once

#include "common/Result.h"

#include <QString>
#include <array>
#include <cstdint>

// The nine bytes of Config.dat, in file order.
struct Settings
{
    uint8_t LockUserType = 1;       // 1 = iButton lock users only; anything else = iButton + keypad
    uint8_t MotorPulseTime = 10;    // tenths of a second
    uint8_t LockBackDelayTime = 50; // tenths of a second
    uint8_t PortNumber = 1;
    uint8_t PortType = 6; // 6 = USB reader
    uint8_t SmallScreen = 0;
    std::array<uint8_t, 3> FacilityCode{{0x48, 0x26, 0x15}}; // BCD, first digit in the high nibble

    static constexpr int kFileSize = 9;
    static constexpr uint8_t kUsbPortType = 6;
    static QString factoryFacilityCode() { return QStringLiteral("482615"); }

    static Settings defaults() { return {}; }
    bool isFactoryFacilityCode() const;
    QString facilityCodeText() const; // six digits

    std::array<uint8_t, kFileSize> toBytes() const;
    static Settings fromBytes(const std::array<uint8_t, kFileSize> &bytes);

    bool operator==(const Settings &o) const { return toBytes() == o.toBytes(); }
};

// Six decimal digits to three BCD bytes, pair by pair. False when the text is
// not exactly six digits.
bool facilityCodeFromText(const QString &digits, std::array<uint8_t, 3> &out);

// Reading and writing Config.dat in the data folder.
class ConfigFile
{
public:
    static QString fileName() { return QStringLiteral("Config.dat"); }

    enum class LoadOutcome {
        Loaded,  // nine bytes read
        Missing, // no file: defaults
        Empty,   // empty file: every setting 0
        Damaged, // one to eight bytes: those bytes, defaults for the rest
        Unreadable
    };

    struct LoadResult
    {
        Settings settings;
        LoadOutcome outcome = LoadOutcome::Loaded;
        QString message; // what to tell the operator; empty when nothing
    };

    static LoadResult load(const QString &dataDir);
    // Writes the nine bytes atomically: the old file stays intact until the
    // new one is complete.
    static Status save(const QString &dataDir, const Settings &settings);
};
