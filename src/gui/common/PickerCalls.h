#pragma once

#include <QString>

class QWidget;

// The caller side of the picker windows: set the window's select mode and
// the value to preselect on the main window, show the picker modally, and
// read back what was chosen. An id of 0 means the picker was left without a
// choice, and the caller keeps what it had.
namespace picker {

struct Choice
{
    int id = 0;
    QString text; // group or schedule name, or the date range text
    bool chosen() const { return id != 0; }
};

Choice timeShiftGroup(int current, QWidget *parent);
Choice actExpGroup(int current, QWidget *parent);
Choice holidayGroup(int current, QWidget *parent);
Choice lockSchedule(int current, QWidget *parent);

} // namespace picker
