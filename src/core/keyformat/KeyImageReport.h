#pragma once

#include "common/Result.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <functional>

namespace keyformat {

// Everything a DS1977 image holds, described for a person or a program: the
// header and mission, the facility code, the mission's own contents and
// everything a lock wrote back. Refused (not a description) when the image is
// not exactly 32768 bytes. A page 0 that is no mission is described as such.
// `isRegisteredKey` says whether an identity is a user key of the site
// (KeyManagement); without it audit records of user keys read as the
// program-key operations they would be for a key the site does not know.
Result<QJsonObject> describeKeyImage(const QByteArray &image,
                                     const std::function<bool(const QString &)> &isRegisteredKey = {});
// The same description as readable text.
QString describeKeyImageText(const QJsonObject &description);

} // namespace keyformat
