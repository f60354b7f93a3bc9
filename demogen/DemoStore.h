#pragma once

#include "reception/BookingStore.h"
#include "reception/Pricing.h"

#include <QDate>
#include <QStringList>
#include <QTime>
#include <QVariantList>
#include <QVector>
#include <optional>

namespace rp {
class Database;
}

namespace rp::demo {

// The demo agency's own reads and writes of the store, beside those of the program that it uses.

// Inserts one row of 店舗 or コンパニオン (columns by name) and returns its new ID.
qint32 InsertShop(Database &db, const QStringList &columns, const QVariantList &values);
qint32 InsertCompanion(Database &db, const QStringList &columns, const QVariantList &values);

// Her surcharges, as the board reads them when a booking starts.
Surcharges CompanionSurcharges(Database &db, qint32 companionId);

QVector<CustomerRecord> AllCustomers(Database &db);
// The latest booking date in the history; invalid when there is none.
QDate LastBookingDate(Database &db);

// One row of 現在状況, as far as the live state needs it.
struct StatusRow
{
    qint32 shopId = 0;
    qint32 companionId = 0;
    qint16 options = 0;   // what she offers at this shop
    bool onDuty = false, busy = false, otherShop = false;
    QDate date;
    std::optional<QTime> start, end;
};
QVector<StatusRow> StatusRows(Database &db);

// Everyone off duty and free, no booking on any row.
void ClearStatus(Database &db);
void SetOnDuty(Database &db, qint32 shopId, qint32 companionId);
// Her row at a shop she is not out for, while she is out for another one.
void SetOutForOtherShop(Database &db, qint32 shopId, qint32 companionId);

} // namespace rp::demo
