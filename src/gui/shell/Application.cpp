#include "shell/Application.h"

#include "common/AppContext.h"
#include "common/MessageService.h"
#include "ibutton/VirtualReader.h"
#include "shell/TLogin_Form.h"
#include "shell/TMain_Form.h"
#include "store/Database.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>
#include <memory>

int runApplication(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Corvane"));
    QApplication::setApplicationName(QStringLiteral("CorvaneLock"));
    QApplication::setApplicationDisplayName(QStringLiteral("Corvane Lock"));
    QApplication::setApplicationVersion(QStringLiteral("3.5"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Management of stand-alone electronic locks"));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption dataOption(QStringLiteral("data"), QStringLiteral("Data folder (database, settings, keys)."),
                                  QStringLiteral("DIR"));
    parser.addOption(dataOption);
    parser.process(app);

    AppContext &ctx = AppContext::instance();
    ctx.dataDir = parser.isSet(dataOption) ? parser.value(dataOption)
                                           : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!QDir().mkpath(ctx.dataDir)) {
        msg::error(QStringLiteral("The data folder \"%1\" cannot be created.").arg(QDir::toNativeSeparators(ctx.dataDir)));
        return 1;
    }
    const Status opened = store::Database::open(ctx.dataDir);
    if (!opened.ok) {
        msg::error(opened.error + QStringLiteral("\n\nThe program ends; the file has not been changed."));
        return 1;
    }

    // Until a hardware backend exists the program talks to the emulated USB
    // reader, whose virtual keys live in the data folder.
    auto reader = std::make_unique<onewire::VirtualReader>(ctx.dataDir);
    ctx.setBus(&reader->bus());
    ctx.virtualReader = reader.get();

    int rc = 0;
    {
        TLogin_Form login;
        login.exec();
        if (login.succeeded()) {
            TMain_Form main;
            main.FormCreate();
            main.show();
            rc = app.exec();
        }
    }
    ctx.setBus(nullptr);
    ctx.virtualReader = nullptr;
    store::Database::close();
    return rc;
}
