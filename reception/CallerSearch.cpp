#include "reception/CallerSearch.h"

#include "data/Schema.h"
#include "reception/BookingStore.h"

#include <algorithm>

namespace rp {

std::optional<QString> TailSearchDigits(const QString &typed)
{
    if (typed.size() < MinTailDigits)
        return std::nullopt;
    for (const QChar c : typed)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    return typed;
}

QString TailKey(const QString &digits) { return digits.right(TelTailDigits); }

bool OfferedForTail(const QString &tel, const QString &digits)
{
    return tel.endsWith(digits) && tel != digits && tel != TelPlaceholder();
}

QVector<CallerMatch> OfferedCallers(QVector<CallerMatch> candidates, const QString &digits)
{
    candidates.erase(std::remove_if(candidates.begin(), candidates.end(),
                                    [&](const CallerMatch &c) { return !OfferedForTail(c.tel, digits); }),
                     candidates.end());
    std::sort(candidates.begin(), candidates.end(), [](const CallerMatch &a, const CallerMatch &b) {
        if (a.lastVisit != b.lastVisit)
            return a.lastVisit.isValid() && (!b.lastVisit.isValid() || a.lastVisit > b.lastVisit);
        return a.id < b.id;
    });
    if (candidates.size() > MaxCallerMatches)
        candidates.resize(MaxCallerMatches);
    return candidates;
}

ChoiceSpec CallerChoice(const QVector<CallerMatch> &callers, const QString &digits)
{
    ChoiceSpec spec;
    spec.title = QStringLiteral("お客様の候補");
    spec.text = QStringLiteral("「%1」の番号のお客様は登録されていません。\n番号の末尾が「%1」のお客様：").arg(digits);
    spec.headers = {QStringLiteral("名前"), QStringLiteral("ＴＥＬ"), QStringLiteral("ランク"), QStringLiteral("最終利用日")};
    for (const CallerMatch &c : callers)
        spec.rows << QStringList{c.name, c.tel, c.rank, ShortDate(c.lastVisit)};
    return spec;
}

} // namespace rp
