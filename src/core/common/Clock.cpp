#include "common/Clock.h"

namespace {
std::function<QDateTime()> &source()
{
    static std::function<QDateTime()> s;
    return s;
}
} // namespace

QDateTime Clock::now()
{
    if (source())
        return source()();
    QDateTime n = QDateTime::currentDateTime();
    // Stored values carry whole seconds only.
    return n.addMSecs(-n.time().msec());
}

void Clock::setSource(std::function<QDateTime()> s) { source() = std::move(s); }

void Clock::freezeAt(const QDateTime &at)
{
    setSource([at] { return at; });
}

void Clock::reset() { source() = nullptr; }
