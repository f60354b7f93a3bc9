#pragma once

#include "data/Money.h"
#include "reception/ShopTariff.h"

#include <array>
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

} // namespace rp
