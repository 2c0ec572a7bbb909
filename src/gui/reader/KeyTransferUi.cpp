#include "reader/KeyTransferUi.h"

#include "common/AppContext.h"
#include "common/MessageService.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

onewire::KeyTransferContext makeKeyTransferContext(QWidget *window)
{
    const AppContext &app = AppContext::instance();
    onewire::KeyTransferContext ctx;
    ctx.bus = app.bus();
    ctx.portNumber = app.settings.PortNumber;
    ctx.portType = app.settings.PortType;
    QPointer<QWidget> parent(window);
    ctx.message = [parent](onewire::KeyMessageKind kind, const QString &text) {
        switch (kind) {
        case onewire::KeyMessageKind::Information:
            msg::information(text, parent);
            break;
        case onewire::KeyMessageKind::Warning:
            msg::warning(text, parent);
            break;
        case onewire::KeyMessageKind::Error:
            msg::error(text, parent);
            break;
        }
    };
    ctx.processEvents = [] { QCoreApplication::processEvents(); };
    return ctx;
}
