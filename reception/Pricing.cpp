#include "reception/Pricing.h"

namespace rp {

namespace {

bool has(qint16 mask, int bit) { return (quint16(mask) >> bit) & 1u; }

// A price times her share, the share widened from single precision, then back to currency.
Money shareOf(Money price, int rate, int surcharge)
{
    return ToCurrency(price.toDouble() * double(CompanionShare(rate, surcharge)));
}

} // namespace

Charges PriceBooking(const ShopTariff &t, const Surcharges &s, const BookingChoices &c)
{
    Charges out;

    if (c.course >= 0 && c.course < ShopTariff::MaxCourseEntries) {
        const int courseNo = t.CourseNo[c.course];
        const int surcharge = courseNo >= 0 && courseNo < 4 ? s[SurchargeCourse1 + courseNo] : 0;
        out.total = t.CourseFee[c.course];
        out.pay = shareOf(t.CourseFee[c.course], t.CourseRate[c.course], surcharge);
    }

    for (int i = 0; i < 15; ++i) {
        // A ticked box counts only for an option she offers.
        if (!has(c.offeredMask, i) || !has(c.tickedMask, i))
            continue;
        out.total += t.OptionFee[i];
        const int rate = t.OptionRate[i] != 0 ? t.OptionRate[i] : t.OptRateAll;
        out.pay += shareOf(t.OptionFee[i], rate, s[SurchargeOption]);
    }

    if (c.extensionMinutes != 0) {
        const double units = t.ExtMinutes != 0 ? double(c.extensionMinutes) / double(t.ExtMinutes) : 1.0;
        const double fee = t.ExtFee.toDouble() * units;
        out.total += ToCurrency(fee);
        out.pay += ToCurrency(fee * double(CompanionShare(t.ExtRate, s[SurchargeExtension])));
    }

    if (c.nomination) {
        out.total += t.NomFee;
        out.pay += shareOf(t.NomFee, t.NomRate, s[SurchargeNomination]);
    }
    return out;
}

CancelCharges PriceCancellation(const ShopTariff &t, const Surcharges &s)
{
    return {t.CancelFee, t.CancelFee.toDouble() * double(CompanionShare(t.CancelRate, s[SurchargeCancel]))};
}

} // namespace rp
