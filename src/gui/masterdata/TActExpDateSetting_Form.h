#pragma once

#include "masterdata/DateGroupSettingForm.h"

// Activation / Expiration Date: the moments between which the users of a
// group may open locks.
class TActExpDateSetting_Form : public DateGroupSettingForm
{
    Q_OBJECT
public:
    explicit TActExpDateSetting_Form(QWidget *parent = nullptr);
};
