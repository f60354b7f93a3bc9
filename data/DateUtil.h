#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <optional>

namespace rp {

// A time of day typed on the 24-hour clock: "h:mm", "hh:mm", optionally ":ss"; blanks around it
// are allowed. Expects half-width text (see ToHalfWidth).
std::optional<QTime> ParseTime(const QString &text);

// "hh:mm"; an empty text for an invalid time.
QString FormatHHMM(const QTime &t);

// Clock arithmetic: the result wraps around midnight in either direction.
QTime AddMinutesWrapping(const QTime &t, int minutes);

// The shop's day runs from 05:00 to 05:00, so the small hours still belong to the day before.
QDate BusinessDate(const QDateTime &now);

// Whole minutes until a booking's end. An end earlier than now lies after midnight.
// Seconds are dropped from the difference. Invalid times give 0.
int RemainingMinutes(const QTime &end, const QTime &now);

struct Period
{
    QDate first;
    QDate last;
};

QDate MonthFirst(int year, int month);
QDate MonthLast(int year, int month);

// The period typed in the sales window, picked by the text's length: "yy/MM/dd" a day,
// "yy/MM" a month, "yy" a year, all in the 2000s. The text is used as typed (no trimming).
std::optional<Period> ReadTypedPeriod(const QString &text);

// Exactly "yy/MM/dd", read as 20yy-MM-dd.
std::optional<QDate> ReadTwoDigitYearDate(const QString &text);

QString IsoDate(const QDate &d); // "yyyy-MM-dd"
QString IsoTime(const QTime &t); // "HH:mm:ss"

} // namespace rp
