#include "KeyCommands.h"

#include "keyformat/KeyImageReport.h"

#include <QFile>
#include <QJsonDocument>

namespace {

int usage(QTextStream &err)
{
    err << "usage: corvanectl key decode FILE [--json]" << Qt::endl;
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
    if (json)
        out << QJsonDocument(description.value).toJson(QJsonDocument::Indented);
    else
        out << keyformat::describeKeyImageText(description.value);
    out.flush();
    return description.value.value(QStringLiteral("mission")).toBool() ? keycli::kOk : keycli::kNotAMission;
}
