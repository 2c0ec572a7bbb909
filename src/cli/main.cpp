#include "DbCommands.h"
#include "KeyCommands.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace {
void usage(QTextStream &err)
{
    err << "usage: corvanectl <command> ...\n"
           "  db init [--data DIR]     create the data folder and a new database\n"
           "  db check [--data DIR]    check the database schema and integrity\n"
           "  key decode FILE [--json] describe what a DS1977 key image holds\n";
    err.flush();
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("CorvaneLock"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    if (!args.isEmpty())
        args.removeFirst();
    if (command == QLatin1String("db"))
        return runDbCommand(args, out, err);
    if (command == QLatin1String("key"))
        return runKeyCommand(args, out, err);
    usage(err);
    return 2;
}
