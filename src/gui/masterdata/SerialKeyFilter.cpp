#include "masterdata/SerialKeyFilter.h"

namespace masterdata {

QValidator::State SerialKeyFilter::validate(QString &input, int &) const
{
    input = input.toUpper();
    for (const QChar c : input) {
        const bool hex = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
        if (!hex)
            return Invalid;
    }
    return Acceptable;
}

} // namespace masterdata
