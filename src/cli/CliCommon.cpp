#include "CliCommon.h"

#include <QStandardPaths>

QString defaultDataDir() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }

QString takeDataDir(QStringList &args)
{
    const int i = args.indexOf(QStringLiteral("--data"));
    if (i >= 0 && i + 1 < args.size()) {
        const QString dir = args.at(i + 1);
        args.remove(i, 2);
        return dir;
    }
    return defaultDataDir();
}
