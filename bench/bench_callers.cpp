// The caller who gives only the last four digits: the customers whose number ends with them, with their
// last visits, in the order the board lists them. The bare figure is the statement alone.
#include "bench/Bench.h"

#include "data/Database.h"
#include "data/Schema.h"
#include "reception/BookingStore.h"
#include "reception/CallerSearch.h"

namespace {

RP_BENCH("callers")
{
    using namespace rp;
    const QString folder = bench::Agency::freshFolder(QStringLiteral("callers"));
    Database db;
    db.open(folder + QStringLiteral("/rosterpad.mdb"));
    // A different ending each run, as callers come; "0001" is shared by the customer with 500 visits.
    int run = 0;
    const auto digits = [&run] { return QStringLiteral("%1").arg(1 + 37 * (run++ % 200), 4, 10, QLatin1Char('0')); };
    bench::Measure(
        QStringLiteral("suffix lookup (4 digits, last visits, ordered)"), 50,
        [&] {
            const QString d = digits();
            OfferedCallers(CustomersByTelTail(db, TailKey(d)), d);
        },
        [&] {
            db.rows(QStringLiteral("SELECT \"顧客ID\" FROM \"顧客\" WHERE ") + TelTailSql(Engine::SQLite) + QStringLiteral("=?;"),
                    {digits()});
        },
        bench::Target{16});
}

} // namespace
