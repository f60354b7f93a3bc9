#pragma once

#include "data/Database.h"

#include <QStringList>
#include <QVariantList>
#include <optional>

namespace rp {

// The shop register and its tariffs as store operations. A shop's row is read by column name; the
// editor and the board decide which columns they need.

// Every column of the shop; none when it is not stored.
std::optional<Row> ShopById(Database &db, qint32 shopId);
// The named columns, in the order given.
std::optional<Row> ShopColumns(Database &db, qint32 shopId, const QStringList &columns);
// A new shop with these column values; returns its 店舗ID.
qint32 InsertShop(Database &db, const QStringList &columns, const QVariantList &values);
void UpdateShop(Database &db, qint32 shopId, const QStringList &columns, const QVariantList &values);
void MarkShopDeleted(Database &db, qint32 shopId);
// Every companion that lists the shop in one of her first maxShops slots gets the later slots moved up
// by one and the last one emptied, so slot p+1 keeps naming the shop at list position p.
void RemoveShopFromCompanionSlots(Database &db, qint32 shopId, int maxShops);

} // namespace rp
