#pragma once

#include "data/FieldCheck.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <optional>

namespace rp {

// NG pairs: a customer barred from a companion, or from a whole shop, with the reason the operator gave.
// The rules here need no window and no store: the store reads the bars, the board asks these.

struct NgBar
{
    qint32 id = 0;
    qint32 customerId = 0;
    qint32 shopId = 0;
    std::optional<qint32> companionId;   // none: the whole shop
    QString reason;
    QDate date;
    // As the store finds them now.
    QString shopName, companionName;     // 店舗名, 源氏名
    bool shopListed = false;             // the shop is there and not deleted
    bool companionListed = false;        // the companion is there and not deleted (companion bars only)
};

constexpr int NgReasonBytes = 50;

// A bar on a companion who was deleted stays stored but is neither shown nor applied; a whole-shop bar
// likewise follows its shop. A companion bar follows her, not the shop it was registered at.
bool IsShown(const NgBar &bar);
// The shown bars, newest first (by date, then by the order they were registered).
QVector<NgBar> ShownBars(QVector<NgBar> bars);
// The bar that keeps this customer from this companion at this shop, if any: one on her wins over the
// shop's (hers says more), the newest of each kind first. bars are one customer's.
std::optional<NgBar> BarFor(const QVector<NgBar> &bars, qint32 shopId, qint32 companionId);

// What the operator is asked before going on with a barred companion.
QString NgQuestion(const NgBar &bar, const QString &companionName);
// The board's tooltip on a barred companion's name.
QString NgTip(const NgBar &bar);
// Who a bar is on, as listed: the companion's 源氏名, or "店舗全体".
QString NgTarget(const NgBar &bar);
QString WholeShopText();   // "店舗全体"

// The reason is needed and fits its column.
FieldCheck CheckNgReason(const QString &text);
QString NgReasonMissingMessage();
QString NgReasonTooLongMessage();

} // namespace rp
