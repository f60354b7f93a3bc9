#include "reception/TariffStore.h"

#include "data/Database.h"
#include "data/SqlText.h"
#include "data/TextUtil.h"

namespace rp {

namespace {

qint16 shortOrZero(const QVariant &value) { return value.isNull() ? 0 : qint16(value.toInt()); }
Money moneyOrZero(const QVariant &value) { return value.isNull() ? Money() : Money::fromYen(value.toLongLong()); }

} // namespace

qint16 CourseMinutes(const QString &duration)
{
    const std::optional<double> value = ParseNumber(ToHalfWidth(duration));
    if (!value)
        return 0;
    const double rounded = RoundHalfEven(*value);
    if (rounded < -32768 || rounded > 32767)
        return 0;
    return qint16(rounded);
}

std::optional<ShopTariffLoad> LoadShopTariff(Database &db, qint32 shopId)
{
    // Options first, then courses and terms: one row, read by position.
    QStringList fields;
    for (int n = 1; n <= 15; ++n)
        fields << QStringLiteral("\"OP%1名\",\"OP%1料金\",\"OP%1割合\"").arg(n);
    fields << QStringLiteral("\"C1名\",\"C2名\",\"C3名\",\"C4名\",\"C1割合\",\"C2割合\",\"C3割合\",\"C4割合\"");
    for (int m = 1; m <= 4; ++m)
        for (int j = 1; j <= 6; ++j)
            fields << QStringLiteral("\"C%1時間%2\",\"C%1料金%2\"").arg(m).arg(j);
    fields << QStringLiteral("\"延長時間\",\"延長料金\",\"延長割合\",\"指名料\",\"指名割合\",\"キャンセル料\",\"キャンセル割合\",\"OP割合\"");
    const std::optional<Row> row = db.first(
        QStringLiteral("SELECT ") + fields.join(QLatin1Char(',')) + QStringLiteral(" FROM \"店舗\" WHERE \"店舗ID\"=?;"), {shopId});
    if (!row)
        return std::nullopt;

    ShopTariffLoad load;
    ShopTariff &t = load.tariff;
    t.SelectedShopID = shopId;
    for (int k = 0; k < 15; ++k) {
        const QString name = NullToEmpty(row->value(k * 3));
        if (name.isEmpty())
            continue;
        load.optionNames[k] = name;
        t.OptionName[k] = name;
        t.OptionFee[k] = moneyOrZero(row->value(k * 3 + 1));
        t.OptionRate[k] = shortOrZero(row->value(k * 3 + 2));
        t.ShopOptionMask = qint16(t.ShopOptionMask | (1 << k));
    }

    // Courses: one line per named course and filled duration, numbered without gaps.
    const int courses = 45;
    int e = 0;
    for (int m = 0; m < 4; ++m) {
        const QString courseName = NullToEmpty(row->value(courses + m));
        if (courseName.isEmpty())
            continue;
        for (int j = 0; j < 6 && e < ShopTariff::MaxCourseEntries; ++j) {
            const int base = courses + 8 + m * 12 + j * 2;
            const QString duration = NullToEmpty(row->value(base));
            if (duration.isEmpty())
                continue;
            load.courseLines << courseName + QStringLiteral("..") + duration;
            t.CourseName[e] = load.courseLines.last();
            t.CourseFee[e] = moneyOrZero(row->value(base + 1));
            t.CourseRate[e] = shortOrZero(row->value(courses + 4 + m));
            t.CourseNo[e] = qint16(m);
            t.CourseMinutes[e] = CourseMinutes(duration);
            ++e;
        }
    }

    // A term left empty in the shop editor reads as 0, so pricing never fails on it.
    const int terms = courses + 8 + 4 * 12;
    t.ExtMinutes = shortOrZero(row->value(terms));
    t.ExtFee = moneyOrZero(row->value(terms + 1));
    t.ExtRate = shortOrZero(row->value(terms + 2));
    t.NomFee = moneyOrZero(row->value(terms + 3));
    t.NomRate = shortOrZero(row->value(terms + 4));
    t.CancelFee = moneyOrZero(row->value(terms + 5));
    t.CancelRate = shortOrZero(row->value(terms + 6));
    t.OptRateAll = shortOrZero(row->value(terms + 7));
    return load;
}

} // namespace rp
