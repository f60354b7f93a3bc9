#pragma once

#include "data/Database.h"

#include <QStringList>
#include <QVariantList>
#include <optional>

namespace rp {

// The companion register as store operations; a companion's row is read by column name.

std::optional<Row> CompanionById(Database &db, qint32 companionId);   // every column
// The named columns, in the order given.
std::optional<Row> CompanionColumns(Database &db, qint32 companionId, const QStringList &columns);
// A new companion with these column values; returns her コンパニオンID.
qint32 InsertCompanion(Database &db, const QStringList &columns, const QVariantList &values);
void UpdateCompanion(Database &db, qint32 companionId, const QStringList &columns, const QVariantList &values);
void MarkCompanionDeleted(Database &db, qint32 companionId);
// On a server: her register row stays locked until the transaction ends, as a 空 tick locks it first.
void LockCompanion(Database &db, qint32 companionId);

} // namespace rp
