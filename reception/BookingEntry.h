#pragma once

#include "data/Money.h"

#include <QString>
#include <QtGlobal>

#include <optional>

namespace rp {

// A booking as it was registered, ready to be shown in the entry area again. The amounts are the
// stored ones: showing the booking never re-prices it, so the operator sees what was charged until
// a priced control is changed.
struct StoredEntry
{
    QString shopName, companionName, companionId, date, start, end, place, course;
    std::optional<int> extension;
    bool nomination = false, cancelled = false;
    qint16 offeredMask = 0, selectedMask = 0;
    Money pay, girlPay;
};

} // namespace rp
