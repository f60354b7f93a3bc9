// A first section: the bare statements the board's hottest read needs, as a sanity figure.
#include "bench/Bench.h"

#include "data/Database.h"

namespace {

RP_BENCH("lookup")
{
    using namespace rp;
    const QString folder = bench::Agency::freshFolder(QStringLiteral("lookup"));
    Database db;
    db.open(folder + QStringLiteral("/rosterpad.mdb"));
    bench::Measure(QStringLiteral("customer by telephone (bare)"), 50, [&] {
        db.first(QStringLiteral("SELECT * FROM \"顧客\" WHERE \"TEL\"=?;"), {bench::Agency::telWith500Visits()});
    }, {}, bench::Target{1});
}

} // namespace
