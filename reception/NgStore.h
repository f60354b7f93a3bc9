#pragma once

#include "reception/NgRules.h"

namespace rp {

class Database;

// The NG table as store operations. Each write is one action of its own.

// Every bar stored for the customer, with the names and whether shop and companion are still listed.
QVector<NgBar> NgBarsOf(Database &db, qint32 customerId);
// Stores a new bar (customer, shop, companion or none, reason, date); returns its ID.
qint32 AddNgBar(Database &db, const NgBar &bar);
// The operator lifts a bar: it goes.
void LiftNgBar(Database &db, qint32 id);

} // namespace rp
