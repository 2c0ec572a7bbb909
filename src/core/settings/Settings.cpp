#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

bool Settings::isFactoryFacilityCode() const { return facilityCodeText() == factoryFacilityCode(); }

QString Settings::facilityCodeText() const
{
    QString s;
    for (uint8_t b : FacilityCode)
        s += QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0'));
    return s.toUpper();
}

std::array<uint8_t, Settings::kFileSize> Settings::toBytes() const
{
    return {{LockUserType, MotorPulseTime, LockBackDelayTime, PortNumber, PortType, SmallScreen, FacilityCode[0],
             FacilityCode[1], FacilityCode[2]}};
}

Settings Settings::fromBytes(const std::array<uint8_t, kFileSize> &b)
{
    Settings s;
    s.LockUserType = b[0];
    s.MotorPulseTime = b[1];
    s.LockBackDelayTime = b[2];
    s.PortNumber = b[3];
    s.PortType = b[4];
    s.SmallScreen = b[5];
    s.FacilityCode = {{b[6], b[7], b[8]}};
    return s;
}

bool facilityCodeFromText(const QString &digits, std::array<uint8_t, 3> &out)
{
    if (digits.size() != 6)
        return false;
    for (QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    for (int k = 0; k < 3; ++k) {
        const int tens = digits.at(2 * k).digitValue();
        const int units = digits.at(2 * k + 1).digitValue();
        out[k] = static_cast<uint8_t>(tens * 16 + units);
    }
    return true;
}

ConfigFile::LoadResult ConfigFile::load(const QString &dataDir)
{
    LoadResult r;
    QFile f(QDir(dataDir).filePath(fileName()));
    if (!f.exists()) {
        r.settings = Settings::defaults();
        r.outcome = LoadOutcome::Missing;
        r.message = QStringLiteral("CONFIG.DAT is not exist,We will use default parameter.");
        return r;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        r.settings = Settings::defaults();
        r.outcome = LoadOutcome::Unreadable;
        r.message = QStringLiteral("CONFIG.DAT cannot be read (%1),We will use default parameter.").arg(f.errorString());
        return r;
    }
    const QByteArray data = f.read(Settings::kFileSize);
    if (data.isEmpty()) {
        r.settings = Settings::fromBytes({});
        r.outcome = LoadOutcome::Empty;
        return r;
    }
    std::array<uint8_t, Settings::kFileSize> bytes = Settings::defaults().toBytes();
    for (int i = 0; i < data.size(); ++i)
        bytes[i] = static_cast<uint8_t>(data.at(i));
    r.settings = Settings::fromBytes(bytes);
    if (data.size() < Settings::kFileSize) {
        r.outcome = LoadOutcome::Damaged;
        r.message = QStringLiteral("CONFIG.DAT is damaged (%1 of 9 bytes),We will use default parameter for the rest.")
                        .arg(data.size());
    }
    return r;
}

Status ConfigFile::save(const QString &dataDir, const Settings &settings)
{
    QSaveFile f(QDir(dataDir).filePath(fileName()));
    if (!f.open(QIODevice::WriteOnly))
        return Status::failure(f.errorString());
    const auto bytes = settings.toBytes();
    f.write(reinterpret_cast<const char *>(bytes.data()), static_cast<qint64>(bytes.size()));
    if (!f.commit())
        return Status::failure(f.errorString());
    return Status::success();
}
