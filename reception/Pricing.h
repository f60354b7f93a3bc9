#pragma once

#include "data/Money.h"
#include "reception/ShopTariff.h"

#include <array>
#include <optional>
#include <QString>
#include <QVector>
#include <QtGlobal>

namespace rp {

// The picked companion's surcharges in percentage points, in the order her register keeps them.
using Surcharges = std::array<qint16, 8>;
enum SurchargeIndex { SurchargeCourse1 = 0, SurchargeOption = 4, SurchargeExtension = 5, SurchargeNomination = 6,
                      SurchargeCancel = 7 };

// What the operator chose for the booking, as the entry area shows it.
struct BookingChoices
{
    int course = -1;            // course entry (line of the course list); -1 for none
    qint16 offeredMask = 0;     // options she offers at this shop
    qint16 tickedMask = 0;      // option boxes ticked
    int extensionMinutes = 0;
    bool nomination = false;
};

struct Charges
{
    Money total;   // what the customer pays
    Money pay;     // the companion's part of it
};

// One priced charge of a booking and her part of it, as the shop's tariff and her terms give it.
enum class ChargeKind { Course, Option, Extension, Nomination, Cancellation };
QString ChargeKindName(ChargeKind kind);   // コース, オプション, 延長, 指名, キャンセル

struct ChargeLine
{
    ChargeKind kind = ChargeKind::Course;
    QString name;         // the course line, option name, "60分", "指名料" or "キャンセル料"
    Money price;          // what the customer pays for it
    int rate = 0;         // the shop's rate applied (an option's own, else the shop's option rate)
    int surcharge = 0;    // her surcharge on it
    Money pay;            // her part, brought back to currency: what the booking's pay adds up
    double exactPay = 0;  // her part before that step (the cancellation's pay is shown from it)
};

// The booking's charges line by line, in the order they are priced: course, options (each), extension,
// nomination. PriceBooking is their sum, so the total and the lines can never disagree.
QVector<ChargeLine> SplitBooking(const ShopTariff &tariff, const Surcharges &surcharges, const BookingChoices &choices);
// A cancelled booking: the cancellation fee, one line.
QVector<ChargeLine> SplitCancellation(const ShopTariff &tariff, const Surcharges &surcharges);

// Total and pay of a booking that is not cancelled. Each priced item's pay is its price times her
// share, brought back to currency item by item, so the sum is exactly what the ledger has always shown.
// A non-zero extension at a shop whose extension unit is 0 minutes counts as one unit: the customer
// took an extension, and the fee of one unit is the only price the shop states for it.
Charges PriceBooking(const ShopTariff &tariff, const Surcharges &surcharges, const BookingChoices &choices);

// A cancelled booking is charged the cancellation fee alone. Her pay is the fee times her share
// left unrounded; the display rounds it.
struct CancelCharges
{
    Money total;
    double pay = 0;
};
CancelCharges PriceCancellation(const ShopTariff &tariff, const Surcharges &surcharges);

// A charge line as the ledger keeps it, in whole yen. The lines of a booking add up exactly to the
// whole-yen amounts stored for it: each line gets the step of the rounded running total, so a line
// may differ by one yen from its own product rounded alone (two halves of 500.5 keep as 501 and 500,
// as the booking's 1,001 does).
struct StoredCharge
{
    QString kind;         // ChargeKindName
    QString name;
    qint64 price = 0;
    int rate = 0;
    int surcharge = 0;
    qint64 pay = 0;

    bool operator==(const StoredCharge &) const = default;
};
QVector<StoredCharge> ToStoredCharges(const QVector<ChargeLine> &lines, bool cancelled);

// Her share of a charge as a whole percentage (65 for rate 40 and surcharge 5), capped at 100.
int SharePercent(int rate, int surcharge);

// The lines behind the amounts the entry area shows: the split of the booking as it is entered, when
// its whole-yen totals are the amounts shown. The area may show a recalled booking's stored amounts
// instead (priced from an older tariff): then there is nothing that explains them, and nullopt.
std::optional<QVector<StoredCharge>> ChargesBehind(const ShopTariff &tariff, const Surcharges &surcharges,
                                                   const BookingChoices &choices, bool cancelled, qint64 shownPay,
                                                   qint64 shownGirlPay);

} // namespace rp
