#pragma once

#include "sales/SalesRules.h"

#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <QTime>
#include <optional>
#include <utility>

namespace rp {
class Database;
class Module1;
}

namespace rp::demo {

// A demo agency made through the program's own schema, registration and pricing: 3 shops with full
// tariffs, 20 companions, about 300 customers, two years of bookings up to now, companions on duty and
// a few out on bookings that end within the next hour. A fixed seed makes the same agency every time.
struct DemoSize
{
    static constexpr int Shops = 3;
    static constexpr int Companions = 20;
    static constexpr int Customers = 300;
    static constexpr int HistoryDays = 731;
    static constexpr int Running = 4;        // out now, ending within the next hour
};

// What the generator registered, summed by shop and booking date as the sales window sums it.
using Ledger = QMap<std::pair<qint32, QDate>, SalesFigures>;

// Makes <folder>/rosterpad.mdb as of now (it must not exist yet) and has this PC's board show the
// first shop. Returns what was registered. Throws AppError; a failed run leaves no database behind.
Ledger CreateDemoAgency(const QString &folder, const QDateTime &now);

// A running booking's row as the board holds it: out for its own shop, started by now, ending within
// the next hour. Rows of the small hours belong to the business day before.
bool EndsWithinTheHour(bool busy, bool otherShop, const QDate &date, const std::optional<QTime> &start,
                       const std::optional<QTime> &end, const QDateTime &now);

// True when some companion is out on a booking that ends within the next hour.
bool LiveStateIsFresh(Database &db, const QDateTime &now);

// Brings an existing demo agency up to now: the days since its last booking get their bookings, and
// the duty state is set afresh with a few companions out until within the next hour. Bookings already
// stored are never changed.
void FreshenDemoAgency(Database &db, Module1 &module, const QDateTime &now, Ledger *ledger = nullptr);

} // namespace rp::demo
