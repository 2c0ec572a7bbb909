#pragma once

#include "masterdata/DateGroupSettingForm.h"

// Holiday Schedule: the holiday (exception) range of each group.
class TExceptionDateSetting_Form : public DateGroupSettingForm
{
    Q_OBJECT
public:
    explicit TExceptionDateSetting_Form(QWidget *parent = nullptr);
};
