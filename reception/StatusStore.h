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
// A status row as the board reads it.
BoardRowState BoardRowStateOf(const Row &row);
// The same duty, booking and customer in both (an empty text and NULL are the same).
bool SameBoardRow(const BoardRowState &a, const BoardRowState &b);

// One of a companion's status rows, at one shop.
struct StatusCell
{
    qint32 shopId = 0;
    BoardRowState state;
};
// Her rows at every shop, in shop order. On a server her register row and these rows stay locked until
// the transaction ends, always taken in this order, so two PCs acting on her take turns and never wait
// for each other in a circle.
QVector<StatusCell> LockCompanionStatus(Database &db, const QVariant &companionId);

// What a board action needs of her rows as the database holds them now. Start: a new booking at the
// shop, so she must be as the board read her there and out nowhere. Change: anything else done to her
// row (duty, the end of a booking, a registration), so it must be as the board read it.
enum class BoardAction { Start, Change };
// Why the action may not go ahead, for the operator; empty when it may.
QString BoardActionRefusal(BoardAction action, qint32 shopId, const QVector<StatusCell> &her, const BoardRowState &read);
QString TakenElsewhereMessage();
QString ChangedElsewhereMessage();

// The 空 tick (or an end of duty that ends her booking) in the caller's transaction: her rows at the
// other shops out for this one (Start) or free again (Change), then her row here as the board now shows
// it. On a server her rows are locked first and must still hold what the board read there; otherwise
// AppError::ChangedElsewhere, with the operator's message, and nothing is written.
void WriteTick(Database &db, BoardAction action, qint32 shopId, const QVector<qint32> &otherShopIds,
               const QVariant &companionId, const BoardRowState &row, const BoardRowState &read);

// Her row at a shop that is not the booking's: out, for another shop.
void MarkOutForOtherShop(Database &db, qint32 shopId, const QVariant &companionId);
// Her row at a shop that is not the booking's: free again.
void MarkFreeAtShop(Database &db, qint32 shopId, const QVariant &companionId);

} // namespace rp
