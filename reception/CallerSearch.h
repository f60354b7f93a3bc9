#pragma once

#include "data/Prompt.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <optional>

namespace rp {

// A caller who gives only the last digits of the number: when 検索 finds nobody with exactly the typed
// number, the customers whose number ends with it are offered, newest visit first.

struct CallerMatch
{
    qint32 id = 0;
    QString name, tel, rank;
    QDate lastVisit;   // invalid: never booked
};

constexpr int MinTailDigits = 4;
// At most this many are offered: more would say the digits were too few to tell callers apart.
constexpr int MaxCallerMatches = 50;

// The typed number when it can stand for the end of stored numbers: at least MinTailDigits, digits only.
std::optional<QString> TailSearchDigits(const QString &typed);
// The digits the store's index is searched by: the last TelTailDigits of them.
QString TailKey(const QString &digits);
// Whether a stored number is offered for the typed digits: it ends with them, is not the typed number
// itself (that is the exact search's), and is a real number, not the "00000" of a caller without one.
bool OfferedForTail(const QString &tel, const QString &digits);
// Keeps the offered ones, newest visit first (never booked last), then by customer number; at most
// MaxCallerMatches.
QVector<CallerMatch> OfferedCallers(QVector<CallerMatch> candidates, const QString &digits);
// The list as the operator sees it: name, number, rank, last visit.
ChoiceSpec CallerChoice(const QVector<CallerMatch> &callers, const QString &digits);

} // namespace rp
