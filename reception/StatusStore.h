#pragma once

#include "data/Database.h"

#include <QVariant>
#include <optional>

namespace rp {

// The working table 現在状況 behind the status board, as store operations: one row per shop and
// companion listed there.

bool StatusTableExists(Database &db);
void CreateStatusTable(Database &db);   // empty; the caller fills it from the register
void DropStatusTable(Database &db);
// How many rows show a companion on duty (any shop).
int OnDutyCount(Database &db);
// How many of the shop's companions are out on one of its own bookings.
int RunningBookingsAtShop(Database &db, qint32 shopId);

// The shop's rows, by companion.
Rows StatusRowsOfShop(Database &db, qint32 shopId);
std::optional<Row> StatusRowOf(Database &db, qint32 shopId, const QVariant &companionId);

// What the board's row holds, written back as it is shown. Values are bound as given (NULL for empty).
struct BoardRowState
{
    int onDuty = 0, busy = 0, otherShop = 0;
    QVariant end, place, customerId, selectedOptions;
};
void WriteBoardRow(Database &db, qint32 shopId, const QVariant &companionId, const BoardRowState &row);
// Her row at a shop that is not the booking's: out, for another shop.
void MarkOutForOtherShop(Database &db, qint32 shopId, const QVariant &companionId);
// Her row at a shop that is not the booking's: free again.
void MarkFreeAtShop(Database &db, qint32 shopId, const QVariant &companionId);

} // namespace rp
