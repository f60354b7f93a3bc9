#pragma once

#include <QDateTime>

namespace rp {

// The one source of the current date and time. Tests pin it; the program reads the system clock.
class Clock
{
public:
    static QDateTime now();
    static void set(const QDateTime &fixed);   // from now on now() returns this (until advance/reset)
    static void advance(qint64 seconds);       // moves a pinned clock forward
    static void reset();                       // back to the system clock
    static bool isPinned();
};

} // namespace rp
