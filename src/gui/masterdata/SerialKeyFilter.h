#pragma once

#include <QValidator>

namespace masterdata {

// Serial number input: "0"-"9" and "A"-"F" are taken, "a"-"f" become upper
// case, every other character is dropped.
class SerialKeyFilter : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

} // namespace masterdata
