#include "DbCommands.h"

#include "CliCommon.h"
#include "store/Database.h"

#include <QDir>

int runDbCommand(const QStringList &argsIn, QTextStream &out, QTextStream &err)
{
    QStringList args = argsIn;
    const QString dataDir = takeDataDir(args);
    const QString sub = args.value(0);
    if (sub == QLatin1String("init")) {
        const Status s = store::Database::create(dataDir);
        if (!s.ok) {
            err << s.error << Qt::endl;
            return 1;
        }
        out << "Created " << QDir::toNativeSeparators(store::Database::filePath(dataDir)) << Qt::endl;
        return 0;
    }
    if (sub == QLatin1String("check")) {
        const Status s = store::Database::open(dataDir, false);
        if (!s.ok) {
            err << s.error << Qt::endl;
            return 1;
        }
        const QStringList problems = store::Database::check(store::Database::connection());
        store::Database::close();
        if (!problems.isEmpty()) {
            for (const QString &p : problems)
                err << p << Qt::endl;
            return 1;
        }
        out << "Database " << QDir::toNativeSeparators(store::Database::filePath(dataDir))
            << ": schema complete, integrity ok." << Qt::endl;
        return 0;
    }
    err << "usage: corvanectl db init|check [--data DIR]" << Qt::endl;
    return 2;
}
