#pragma once

#include <QDateTime>
#include <functional>

// The one source of "now" for the whole program. Tests replace it to pin
// login records, missions, clock keys and code creation to the second.
class Clock
{
public:
    static QDateTime now();

    // Installs a fixed or moving source; an empty function restores the system clock.
    static void setSource(std::function<QDateTime()> source);
    // Convenience for tests: the clock stands at `at` until changed again.
    static void freezeAt(const QDateTime &at);
    static void reset();
};
