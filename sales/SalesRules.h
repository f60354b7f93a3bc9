#pragma once

#include "data/DateUtil.h"
#include "data/Money.h"

#include <QDateTime>
#include <QVariant>
#include <QVector>
#include <optional>

namespace rp {

class Database;

// What a set of bookings brought in: the charges, the part the shop keeps, the companions' pay and
// the number of visits (a booking with no amount recorded is still a visit).
struct SalesFigures
{
    Money gross;
    Money shopShare;
    Money pay;
    qint64 visits = 0;

    bool operator==(const SalesFigures &) const = default;
};

// The periods the window shows without being asked. Today and yesterday follow the 05:00 day change;
// the months follow the calendar, so between 00:00 and 05:00 on the 1st "today" still lies in the
// previous month while "this month" is already the new one.
struct FixedPeriods
{
    Period today;
    Period yesterday;
    Period thisMonth;
    Period lastMonth;
};
FixedPeriods SalesPeriods(const QDateTime &now);

// A sum read from the store in whole yen (NULL is 0). Fails with a Japanese message on a value that is
// not a number, or on a total beyond what the currency type holds.
qint64 SalesYen(const QVariant &value);
qint64 CheckedSalesYen(qint64 yen);

// Sums the history rows of the given shops (each row once, whatever the list holds) dated within the
// period, bounds included; with a companion, only her rows. An empty amount adds 0 yen. An empty shop
// list sums nothing. Throws AppError when the store fails or a total does not fit the currency.
// (A statement on the store: defined in SalesStore.cpp.)
SalesFigures SumSales(Database &db, const QVector<qint32> &shopIds, std::optional<qint32> companionId,
                      const Period &period);

} // namespace rp
