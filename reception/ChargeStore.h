#pragma once

#include "reception/BookingStore.h"
#include "reception/Pricing.h"

#include <QDate>
#include <QVector>
#include <optional>

namespace rp {

class Database;

// The charge lines of the bookings (履歴明細), kept in step with 履歴 wherever its rows are written or go.
// Every function runs inside the caller's action; none of them writes when there is nothing to change.

// The lines stored for a booking, by line number.
QVector<StoredCharge> LoadCharges(Database &db, const HistoryKey &key);

// After a booking's 履歴 row was written: `from` is the key it was stored under (the new key for a new
// booking), `to` its key now. Lines given replace the old ones, if they add up to the amounts written;
// without lines the old ones follow the booking as long as its amounts stayed what they were
// (amountsKept), and go otherwise. Lines that would not add up are not kept: the booking then shows
// its totals only.
void StoreCharges(Database &db, const HistoryKey &from, const HistoryKey &to,
                  const std::optional<QVector<StoredCharge>> &lines, qint64 pay, qint64 girlPay, bool amountsKept);

// The lines of the bookings with exactly this key go.
void DeleteCharges(Database &db, const HistoryKey &key);
// The lines of every booking dated upTo or earlier go.
void PurgeCharges(Database &db, const QDate &upTo);

} // namespace rp
