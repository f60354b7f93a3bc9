#pragma once

#include "data/Money.h"

#include <array>
#include <QString>
#include <QtGlobal>

namespace rp {

class Database;

// The selected shop's tariff, as the board prices a booking from it.
struct ShopTariff
{
    static constexpr int MaxCourseEntries = 25;   // 4 courses x 6 durations, one spare as in the store layout
    static constexpr int MaxOptions = 16;

    qint32 SelectedShopID = 0;
    std::array<Money, MaxCourseEntries> CourseFee{};
    std::array<qint16, MaxCourseEntries> CourseMinutes{};
    std::array<qint16, MaxCourseEntries> CourseRate{};
    std::array<qint16, MaxCourseEntries> CourseNo{};
    std::array<Money, MaxOptions> OptionFee{};
    std::array<qint16, MaxOptions> OptionRate{};
    qint16 ShopOptionMask = 0;
    qint16 ExtMinutes = 0;
    Money ExtFee;
    qint16 ExtRate = 0;
    Money NomFee;
    qint16 NomRate = 0;
    Money CancelFee;
    qint16 CancelRate = 0;
    qint16 OptRateAll = 0;
    // What the shop calls each course line ("name..duration", as the course list shows it) and option.
    std::array<QString, MaxCourseEntries> CourseName{};
    std::array<QString, MaxOptions> OptionName{};

    // Course and option tables back to zero, as before every load.
    void zeroTables()
    {
        CourseFee.fill(Money());
        CourseMinutes.fill(0);
        CourseRate.fill(0);
        CourseNo.fill(0);
        OptionFee.fill(Money());
        OptionRate.fill(0);
        CourseName.fill(QString());
        OptionName.fill(QString());
    }
};

} // namespace rp
