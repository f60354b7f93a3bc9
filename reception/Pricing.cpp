#include "reception/Pricing.h"

#include <algorithm>
#include <cmath>

namespace rp {

namespace {

bool has(qint16 mask, int bit) { return (quint16(mask) >> bit) & 1u; }

// A price times her share, the share widened from single precision, then back to currency.
ChargeLine line(ChargeKind kind, const QString &name, Money price, double exactPrice, int rate, int surcharge)
{
    const double exact = exactPrice * double(CompanionShare(rate, surcharge));
    return ChargeLine{kind, name, price, rate, surcharge, ToCurrency(exact), exact};
}

} // namespace

QString ChargeKindName(ChargeKind kind)
{
    switch (kind) {
    case ChargeKind::Course: return QStringLiteral("コース");
    case ChargeKind::Option: return QStringLiteral("オプション");
    case ChargeKind::Extension: return QStringLiteral("延長");
    case ChargeKind::Nomination: return QStringLiteral("指名");
    case ChargeKind::Cancellation: return QStringLiteral("キャンセル");
    }
    return QString();
}

QVector<ChargeLine> SplitBooking(const ShopTariff &t, const Surcharges &s, const BookingChoices &c)
{
    QVector<ChargeLine> lines;

    if (c.course >= 0 && c.course < ShopTariff::MaxCourseEntries) {
        const int courseNo = t.CourseNo[c.course];
        const int surcharge = courseNo >= 0 && courseNo < 4 ? s[SurchargeCourse1 + courseNo] : 0;
        const Money fee = t.CourseFee[c.course];
        lines << line(ChargeKind::Course, t.CourseName[c.course], fee, fee.toDouble(), t.CourseRate[c.course], surcharge);
    }

    for (int i = 0; i < 15; ++i) {
        // A ticked box counts only for an option she offers.
        if (!has(c.offeredMask, i) || !has(c.tickedMask, i))
            continue;
        const int rate = t.OptionRate[i] != 0 ? t.OptionRate[i] : t.OptRateAll;
        lines << line(ChargeKind::Option, t.OptionName[i], t.OptionFee[i], t.OptionFee[i].toDouble(), rate,
                      s[SurchargeOption]);
    }

    if (c.extensionMinutes != 0) {
        // A non-zero extension at a shop whose unit is 0 minutes counts as one unit.
        const double units = t.ExtMinutes != 0 ? double(c.extensionMinutes) / double(t.ExtMinutes) : 1.0;
        const double fee = t.ExtFee.toDouble() * units;
        // Her part is taken from the unrounded fee, as it always was.
        lines << line(ChargeKind::Extension, QStringLiteral("%1分").arg(c.extensionMinutes), ToCurrency(fee), fee,
                      t.ExtRate, s[SurchargeExtension]);
    }

    if (c.nomination)
        lines << line(ChargeKind::Nomination, QStringLiteral("指名料"), t.NomFee, t.NomFee.toDouble(), t.NomRate,
                      s[SurchargeNomination]);
    return lines;
}

QVector<ChargeLine> SplitCancellation(const ShopTariff &t, const Surcharges &s)
{
    return {line(ChargeKind::Cancellation, QStringLiteral("キャンセル料"), t.CancelFee, t.CancelFee.toDouble(),
                 t.CancelRate, s[SurchargeCancel])};
}

Charges PriceBooking(const ShopTariff &t, const Surcharges &s, const BookingChoices &c)
{
    Charges out;
    for (const ChargeLine &l : SplitBooking(t, s, c)) {
        out.total += l.price;
        out.pay += l.pay;
    }
    return out;
}

CancelCharges PriceCancellation(const ShopTariff &t, const Surcharges &s)
{
    const ChargeLine l = SplitCancellation(t, s).constFirst();
    return {l.price, l.exactPay};
}

QVector<StoredCharge> ToStoredCharges(const QVector<ChargeLine> &lines, bool cancelled)
{
    QVector<StoredCharge> out;
    Money price, pay;
    qint64 pricePrinted = 0, payPrinted = 0;
    for (const ChargeLine &l : lines) {
        price += l.price;
        pay += l.pay;
        // The running totals rounded as the display rounds them; the cancellation's pay is shown
        // from its unrounded product.
        const qint64 priceNow = price.roundedYen();
        const qint64 payNow = cancelled ? qint64(std::round(l.exactPay)) + payPrinted : pay.roundedYen();
        out << StoredCharge{ChargeKindName(l.kind), l.name, priceNow - pricePrinted, l.rate, l.surcharge,
                            payNow - payPrinted};
        pricePrinted = priceNow;
        payPrinted = payNow;
    }
    return out;
}

int SharePercent(int rate, int surcharge)
{
    // The same 16-bit percentage that CompanionShare divides.
    return std::min(100, int(static_cast<qint16>(qint64(100) - rate + surcharge)));
}

std::optional<QVector<StoredCharge>> ChargesBehind(const ShopTariff &tariff, const Surcharges &surcharges,
                                                   const BookingChoices &choices, bool cancelled, qint64 shownPay,
                                                   qint64 shownGirlPay)
{
    const QVector<StoredCharge> lines =
        ToStoredCharges(cancelled ? SplitCancellation(tariff, surcharges) : SplitBooking(tariff, surcharges, choices),
                        cancelled);
    qint64 price = 0, pay = 0;
    for (const StoredCharge &l : lines) {
        price += l.price;
        pay += l.pay;
    }
    if (price != shownPay || pay != shownGirlPay)
        return std::nullopt;
    return lines;
}

} // namespace rp
