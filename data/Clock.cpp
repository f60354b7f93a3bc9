#include "data/Clock.h"

namespace rp {

namespace {
QDateTime &pinned()
{
    static QDateTime value;
    return value;
}
} // namespace

QDateTime Clock::now()
{
    return pinned().isValid() ? pinned() : QDateTime::currentDateTime();
}

void Clock::set(const QDateTime &fixed) { pinned() = fixed; }

void Clock::advance(qint64 seconds)
{
    if (pinned().isValid())
        pinned() = pinned().addSecs(seconds);
}

void Clock::reset() { pinned() = QDateTime(); }

bool Clock::isPinned() { return pinned().isValid(); }

} // namespace rp
