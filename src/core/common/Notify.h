#pragma once

#include <QString>
#include <functional>

// How core routines tell the operator something without showing a dialog:
// the window passes a callback that forwards to its message service.
enum class NoticeKind { Information, Warning, Error };
using Notify = std::function<void(NoticeKind, const QString &)>;
