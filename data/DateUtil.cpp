#include "data/DateUtil.h"

#include <QRegularExpression>

namespace rp {

namespace {

constexpr int SecondsPerDay = 24 * 60 * 60;

// Strictly "yyyy/MM/dd" with a date that exists; the typed forms are all completed to this.
std::optional<QDate> readSlashDate(const QString &text)
{
    // [0-9] rather than \d: full-width or other script digits must not slip through.
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{4})/([0-9]{2})/([0-9]{2})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

} // namespace

std::optional<QTime> ParseTime(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9]{1,2}):([0-9]{2})(?::([0-9]{2}))?$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const int hours = match.captured(1).toInt();
    const int minutes = match.captured(2).toInt();
    const int seconds = match.hasCaptured(3) ? match.captured(3).toInt() : 0;
    if (hours > 23 || minutes > 59 || seconds > 59)
        return std::nullopt;
    return QTime(hours, minutes, seconds);
}

QString FormatHHMM(const QTime &t)
{
    return t.isValid() ? t.toString(QStringLiteral("hh:mm")) : QString();
}

QTime AddMinutesWrapping(const QTime &t, int minutes)
{
    // Reduce first: whole days do not move the clock, and minutes * 60 could overflow an int.
    return t.addSecs((minutes % (24 * 60)) * 60);
}

QDate BusinessDate(const QDateTime &now)
{
    const QDate calendarDate = now.date();
    return now.time() < QTime(5, 0) ? calendarDate.addDays(-1) : calendarDate;
}

int RemainingMinutes(const QTime &end, const QTime &now)
{
    if (!end.isValid() || !now.isValid())
        return 0;
    int seconds = now.secsTo(end);
    if (seconds < 0)
        seconds += SecondsPerDay;
    return seconds / 60;
}

QDate MonthFirst(int year, int month)
{
    return QDate(year, month, 1);
}

QDate MonthLast(int year, int month)
{
    const QDate first = MonthFirst(year, month);
    return first.isValid() ? QDate(year, month, first.daysInMonth()) : QDate();
}

std::optional<Period> ReadTypedPeriod(const QString &text)
{
    const QString century = QStringLiteral("20");
    switch (text.size()) {
    case 8: {
        const std::optional<QDate> day = readSlashDate(century + text);
        if (!day)
            return std::nullopt;
        return Period{*day, *day};
    }
    case 5: {
        const std::optional<QDate> first = readSlashDate(century + text + QStringLiteral("/01"));
        if (!first)
            return std::nullopt;
        return Period{*first, MonthLast(first->year(), first->month())};
    }
    case 2: {
        const std::optional<QDate> first = readSlashDate(century + text + QStringLiteral("/01/01"));
        if (!first)
            return std::nullopt;
        return Period{*first, QDate(first->year(), 12, 31)};
    }
    default:
        return std::nullopt;
    }
}

std::optional<QDate> ReadTwoDigitYearDate(const QString &text)
{
    if (text.size() != 8)
        return std::nullopt;
    return readSlashDate(QStringLiteral("20") + text);
}

QString IsoDate(const QDate &d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

QString IsoTime(const QTime &t)
{
    return t.toString(QStringLiteral("HH:mm:ss"));
}

} // namespace rp
