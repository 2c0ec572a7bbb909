#include "KeyCommands.h"

#include "keyformat/KeyEncoding.h"
#include "keyformat/KeyImageReport.h"
#include "settings/Settings.h"

#include <QFile>
#include <QJsonDocument>

namespace {

int usage(QTextStream &err)
{
    err << "usage: corvanectl key decode FILE [--json] [--facility DIGITS]" << Qt::endl;
    return keycli::kUsage;
}

} // namespace

int runKeyCommand(const QStringList &argsIn, QTextStream &out, QTextStream &err)
{
    QStringList args = argsIn;
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
    const auto description = keyformat::describeKeyImage(image);
    if (!description.ok) {
        err << args.first() << ": " << description.error << Qt::endl;
        return keycli::kWrongSize;
    }
    QJsonObject d = description.value;
    bool otherSite = false;
    if (checkSite && d.contains(QStringLiteral("facilityCode"))) {
        otherSite = d.value(QStringLiteral("facilityCode")).toString() != keyformat::facilityText(site);
        d[QStringLiteral("facilityMatches")] = !otherSite;
    }
    if (json) {
        out << QJsonDocument(d).toJson(QJsonDocument::Indented);
    } else {
        out << keyformat::describeKeyImageText(d);
        if (otherSite)
            out << "The key's facility code is not " << keyformat::facilityText(site)
                << ": this site refuses it (\"Wrong key please insert program key.\")." << Qt::endl;
    }
    out.flush();
    if (!d.value(QStringLiteral("mission")).toBool())
        return keycli::kNotAMission;
    return otherSite ? keycli::kOtherFacility : keycli::kOk;
}
