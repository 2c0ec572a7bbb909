#pragma once

#include "ibutton/KeyTransfer.h"

class QWidget;

// A transfer context for a window: the application's bus and the port from
// the settings; messages go to the message service (parented to `window`),
// and pending window events are processed between blocks.
onewire::KeyTransferContext makeKeyTransferContext(QWidget *window);
