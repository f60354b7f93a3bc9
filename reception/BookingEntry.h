#pragma once

#include "data/Money.h"

#include <QString>
#include <QtGlobal>
#include <optional>

namespace rp {

// A booking as the store holds it, ready to be shown in the entry area again (a recall from the board).
struct StoredEntry
{
    QString shopName, companionName, companionId, date, start, end, place, course;
    std::optional<int> extension;
    bool nomination = false, cancelled = false;
    qint16 offeredMask = 0, selectedMask = 0;
    Money pay, girlPay;
};

} // namespace rp
