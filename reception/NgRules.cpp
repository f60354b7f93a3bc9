#include "reception/NgRules.h"

#include <algorithm>

namespace rp {

bool IsShown(const NgBar &bar) { return bar.companionId ? bar.companionListed : bar.shopListed; }

QVector<NgBar> ShownBars(QVector<NgBar> bars)
{
    bars.erase(std::remove_if(bars.begin(), bars.end(), [](const NgBar &b) { return !IsShown(b); }), bars.end());
    std::stable_sort(bars.begin(), bars.end(), [](const NgBar &a, const NgBar &b) {
        return a.date != b.date ? a.date > b.date : a.id > b.id;
    });
    return bars;
}

std::optional<NgBar> BarFor(const QVector<NgBar> &bars, qint32 shopId, qint32 companionId)
{
    std::optional<NgBar> shopBar;
    for (const NgBar &bar : ShownBars(bars)) {
        if (bar.companionId && *bar.companionId == companionId)
            return bar;
        if (!bar.companionId && bar.shopId == shopId && !shopBar)
            shopBar = bar;
    }
    return shopBar;
}

QString WholeShopText() { return QStringLiteral("店舗全体"); }

QString NgTarget(const NgBar &bar) { return bar.companionId ? bar.companionName : WholeShopText(); }

QString NgQuestion(const NgBar &bar, const QString &companionName)
{
    const QString who = bar.companionId ? companionName : bar.shopName + QStringLiteral("（店舗全体）");
    return QStringLiteral("このお客様は %1 がNGです。\n理由：%2（%3 登録）\n\nこのまま続けますか？")
        .arg(who, bar.reason, bar.date.toString(QStringLiteral("yyyy/MM/dd")));
}

QString NgTip(const NgBar &bar)
{
    return QStringLiteral("NG（%1）：%2　%3 登録")
        .arg(bar.companionId ? QStringLiteral("本人") : WholeShopText(), bar.reason,
             bar.date.toString(QStringLiteral("yyyy/MM/dd")));
}

QString NgReasonMissingMessage() { return QStringLiteral("NGの理由を入力してください。"); }
QString NgReasonTooLongMessage() { return QStringLiteral("理由は全角２５文字以内で入力してください。"); }

FieldCheck CheckNgReason(const QString &text)
{
    if (text.trimmed().isEmpty())
        return {false, text, NgReasonMissingMessage()};
    return CheckTextWidth(text, NgReasonBytes, NgReasonTooLongMessage());
}

} // namespace rp
