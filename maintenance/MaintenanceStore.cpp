// The maintenance operations that are statements on the store (declared in Maintenance.h).
#include "maintenance/Maintenance.h"

#include "data/Database.h"
#include "data/DateUtil.h"
#include "reception/ChargeStore.h"

namespace rp::maintenance {

void PurgeHistory(Database &db, const QDate &upTo)
{
    db.atomic([&] {
        db.exec(QStringLiteral("DELETE FROM \"履歴\" WHERE \"年月日\" <= ?;"), {IsoDate(upTo)});
        PurgeCharges(db, upTo);
        // One pass over the remaining history each, however many entries are marked deleted.
        db.exec(QStringLiteral("DELETE FROM \"店舗\" WHERE \"削除FLAG\"<>0 AND \"店舗ID\" NOT IN "
                               "(SELECT \"店舗ID\" FROM \"履歴\" WHERE \"店舗ID\" IS NOT NULL);"));
        db.exec(QStringLiteral("DELETE FROM \"コンパニオン\" WHERE \"削除FLAG\"<>0 AND \"コンパニオンID\" NOT IN "
                               "(SELECT \"コンパニオンID\" FROM \"履歴\" WHERE \"コンパニオンID\" IS NOT NULL);"));
    });
}

} // namespace rp::maintenance
