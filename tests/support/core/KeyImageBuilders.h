#pragma once

#include "keyformat/KeyPage.h"
#include "keyformat/UserRecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Builders for key images and registration numbers used by the key-format tests.
namespace keytest {

// A valid registration number text (correct CRC-8) of `family` with serial `n`.
QString serial(uint8_t family, quint32 n);
QStringList serials(uint8_t family, int count, quint32 first = 1);
// Bytes from a hex text with blanks ("57 52 49").
QByteArray hex(const char *text);
// The page with `number` from a page list; empty when not there.
QByteArray pageData(const keyformat::KeyPages &pages, int number);
QList<int> pageNumbers(const keyformat::KeyPages &pages);
// A blank image with `pages` applied.
QByteArray imageOf(const keyformat::KeyPages &pages);
keyformat::FacilityBytes facility(const char *sixDigits = "482615");
// A lock user of the given type with its code, iButton, time shift,
// activation/expiration group and holiday flag.
keyformat::LockUser lockUser(const QString &type, const QString &code, const QString &serial, int ts = 1, int ae = 1,
                             bool hol = false);

} // namespace keytest
