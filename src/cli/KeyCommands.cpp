#include "KeyCommands.h"

#include "CliCommon.h"
#include "keyformat/KeyEncoding.h"
#include "keyformat/KeyImageReport.h"
#include "settings/Settings.h"
#include "store/Database.h"

#include <QDir>
#include <QSet>
#include <QSqlQuery>

#include <QFile>
#include <QJsonDocument>

namespace {

int usage(QTextStream &err)
{
    err << "usage: corvanectl key decode FILE [--json] [--facility DIGITS] [--data DIR]" << Qt::endl;
    return keycli::kUsage;
}

} // namespace

int runKeyCommand(const QStringList &argsIn, QTextStream &out, QTextStream &err)
{
    QStringList args = argsIn;
    const QString dataDir = takeDataDir(args);
    if (args.value(0) != QLatin1String("decode"))
        return usage(err);
    args.removeFirst();
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    std::array<uint8_t, 3> site{};
    bool checkSite = false;
    const int at = args.indexOf(QStringLiteral("--facility"));
    if (at >= 0) {
        if (!facilityCodeFromText(args.value(at + 1), site)) {
            err << "The facility code is six digits." << Qt::endl;
            return keycli::kUsage;
        }
        checkSite = true;
        args.remove(at, 2);
    }
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--")))
        return usage(err);

    QFile f(args.first());
    if (!f.open(QIODevice::ReadOnly)) {
        err << "Cannot read " << args.first() << ": " << f.errorString() << Qt::endl;
        return keycli::kUnreadable;
    }
    // Read one byte more than an image holds, so a longer file is noticed without reading it all.
    const QByteArray image = f.read(32768 + 1);
    // User keys are told apart from program-key operations by the site's
    // KeyManagement table, when the data folder has a database.
    QSet<QString> userKeys;
    bool keysLookedUp = false;
    if (QFile::exists(store::Database::filePath(dataDir)) && store::Database::open(dataDir, false).ok) {
        QSqlQuery q(store::Database::connection());
        if (q.exec(QStringLiteral("SELECT SerialID FROM KeyManagement"))) {
            keysLookedUp = true;
            while (q.next())
                userKeys.insert(q.value(0).toString().toUpper());
        }
        q.finish();
        store::Database::close();
    }
    const auto description =
        keyformat::describeKeyImage(image, [&](const QString &id) { return userKeys.contains(id); });
    if (!description.ok) {
        err << args.first() << ": " << description.error << Qt::endl;
        return keycli::kWrongSize;
    }
    QJsonObject d = description.value;
    d[QStringLiteral("userKeysLookedUp")] = keysLookedUp;
    bool otherSite = false;
    if (checkSite && d.contains(QStringLiteral("facilityCode"))) {
        otherSite = d.value(QStringLiteral("facilityCode")).toString() != keyformat::facilityText(site);
        d[QStringLiteral("facilityMatches")] = !otherSite;
    }
    if (json) {
        out << QJsonDocument(d).toJson(QJsonDocument::Indented);
    } else {
        out << keyformat::describeKeyImageText(d);
        static const QStringList auditTypes{QStringLiteral("0x01"), QStringLiteral("0x02"), QStringLiteral("0x03"),
                                            QStringLiteral("0xFB")};
        const bool audit = d.value(QStringLiteral("form")).toString() == QLatin1String("READ") &&
                           auditTypes.contains(d.value(QStringLiteral("type")).toString());
        if (audit && !keysLookedUp)
            out << "(No database in " << QDir::toNativeSeparators(dataDir)
                << ": user keys in audit records read as unknown keys; give --data DIR.)" << Qt::endl;
        if (otherSite)
            out << "The key's facility code is not " << keyformat::facilityText(site)
                << ": this site refuses it (\"Wrong key please insert program key.\")." << Qt::endl;
    }
    out.flush();
    if (!d.value(QStringLiteral("mission")).toBool())
        return keycli::kNotAMission;
    return otherSite ? keycli::kOtherFacility : keycli::kOk;
}
