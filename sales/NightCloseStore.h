#pragma once

#include "reception/BookingStore.h"
#include "reception/Pricing.h"
#include "sales/SalesRules.h"

#include <QDate>
#include <QStringList>
#include <QVector>
#include <optional>

namespace rp {

class Database;

// The night close (精算) of one business day as plain records: every booking of the day at the listed
// shops, by companion, with its charge lines where they were kept, and the sums per companion, per
// shop and for the day. Read in a handful of queries, whatever the number of bookings.

struct NightCloseBooking
{
    HistoryKey key;
    QString shopName, customerName;
    std::optional<QTime> start, end;
    QString course;                 // as booked
    QStringList options;            // the shop's current names of the booked options
    std::optional<int> extension;   // minutes
    bool nomination = false, cancelled = false;
    Money takings, pay;             // 店売上 and コンパニオン支払; an empty amount reads as 0
    Money shopShare() const { return takings - pay; }
    // Her pay charge by charge; empty for a booking registered before the lines were kept (or whose
    // lines no longer add up to its amounts): it shows its totals only.
    QVector<StoredCharge> charges;
};

struct NightCloseCompanion
{
    qint32 id = 0;
    QString genji;                        // 源氏名
    QVector<NightCloseBooking> bookings;  // in the order of the business day (05:00 to 05:00)
    SalesFigures totals;
};

struct NightCloseShop
{
    qint32 id = 0;
    QString name;
    SalesFigures totals;
};

struct NightClose
{
    QDate day;
    QVector<NightCloseCompanion> companions;   // those who worked that day, in the register's order
    QVector<NightCloseShop> shops;             // every listed shop, in the list's order
    SalesFigures totals;

    const NightCloseCompanion *companion(qint32 id) const;
};

// The shops the sales window and the night close count: the listed (not deleted) ones, in list order.
QVector<qint32> ListedShopIds(Database &db);

// The night close of a business day over the given shops (as SumSales counts them). Throws AppError.
NightClose LoadNightClose(Database &db, const QDate &day, const QVector<qint32> &shopIds);

// The day's order of start times: the small hours after the evening; a booking without a time last.
int BusinessMinute(const std::optional<QTime> &start);

} // namespace rp
