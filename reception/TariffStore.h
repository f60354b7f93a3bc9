#pragma once

#include "reception/ShopTariff.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace rp {

class Database;

// One shop's tariff as the board prices from it, with the texts the board shows for it. The board and
// anything else that prices a booking (the demo agency) load it here, so both price alike.
struct ShopTariffLoad
{
    ShopTariff tariff;                     // SelectedShopID is the shop loaded
    QStringList courseLines;               // "name..duration" by course entry, as the course list shows them
    std::array<QString, 15> optionNames;   // by option index; empty: the shop has no such option
};

// Reads the shop's row; nullopt when there is none. Empty rates and terms read as 0.
std::optional<ShopTariffLoad> LoadShopTariff(Database &db, qint32 shopId);

// Minutes of a duration text as typed in the shop editor: numbers (full-width too) count, anything else is 0.
qint16 CourseMinutes(const QString &duration);

} // namespace rp
