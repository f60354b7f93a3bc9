#include "masters/ShopStore.h"

#include "data/Schema.h"

namespace rp {

namespace {
const QString Shops = QStringLiteral("店舗");
const QString ShopId = QStringLiteral("店舗ID");
} // namespace

std::optional<Row> ShopById(Database &db, qint32 shopId)
{
    return db.first(QStringLiteral("SELECT * FROM \"店舗\" WHERE \"店舗ID\"=?;"), {shopId});
}

std::optional<Row> ShopColumns(Database &db, qint32 shopId, const QStringList &columns)
{
    return db.first(QStringLiteral("SELECT ") + Quoted(columns) + QStringLiteral(" FROM \"店舗\" WHERE \"店舗ID\"=?;"),
                    {shopId});
}

qint32 InsertShop(Database &db, const QStringList &columns, const QVariantList &values)
{
    return db.insertReturningId(Shops, columns, values, ShopId);
}

void UpdateShop(Database &db, qint32 shopId, const QStringList &columns, const QVariantList &values)
{
    db.update(Shops, columns, values, ShopId, shopId);
}

void MarkShopDeleted(Database &db, qint32 shopId)
{
    db.exec(QStringLiteral("UPDATE \"店舗\" SET \"削除FLAG\"=1 WHERE \"店舗ID\"=?;"), {shopId});
}

void RemoveShopFromCompanionSlots(Database &db, qint32 shopId, int maxShops)
{
    QStringList fields{QStringLiteral("\"コンパニオンID\"")};
    for (int s = 1; s <= maxShops; ++s)
        fields << QStringLiteral("\"店舗%1ID\",\"名前%1\",\"オプション%1\"").arg(s);
    const Rows companions = db.rows(QStringLiteral("SELECT ") + fields.join(QLatin1Char(','))
                                    + QStringLiteral(" FROM \"コンパニオン\" WHERE \"削除FLAG\"=0 ORDER BY \"コンパニオンID\";"));
    for (const Row &row : companions) {
        // Slot s (1-based) is fields 3s-2 .. 3s of the row.
        auto slotValue = [&row](int s, int part) { return row.value(3 * (s - 1) + 1 + part); };
        int found = 0;
        for (int s = 1; s <= maxShops && !found; ++s) {
            const QVariant id = slotValue(s, 0);
            if (!id.isNull() && id.toLongLong() == shopId)
                found = s;
        }
        if (!found)
            continue;
        QStringList assignments;
        QVariantList values;
        for (int t = found; t < maxShops; ++t) {
            assignments << QStringLiteral("\"店舗%1ID\"=?,\"名前%1\"=?,\"オプション%1\"=?").arg(t);
            values << slotValue(t + 1, 0) << slotValue(t + 1, 1) << slotValue(t + 1, 2);
        }
        assignments << QStringLiteral("\"店舗%1ID\"=NULL,\"名前%1\"=NULL,\"オプション%1\"=0").arg(maxShops);
        values << row.value(0);
        db.exec(QStringLiteral("UPDATE \"コンパニオン\" SET ") + assignments.join(QLatin1Char(','))
                    + QStringLiteral(" WHERE \"コンパニオンID\"=?;"),
                values);
    }
}

} // namespace rp
