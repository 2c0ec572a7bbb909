#include "common/AppContext.h"

AppContext &AppContext::instance()
{
    static AppContext ctx;
    return ctx;
}

void AppContext::reset()
{
    settings = Settings::defaults();
    session = Session{};
    ReaderId.clear();
    handOver = PickerHandOver{};
    SkipLogoutRecord = false;
    mainWindow = nullptr;
    virtualReader = nullptr;
}
