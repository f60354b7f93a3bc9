#pragma once

#include "data/DateUtil.h"
#include "data/Money.h"
#include "sales/SalesRules.h"

#include <QString>
#include <QVector>

namespace rp {

class Database;

// The figures behind the sales charts, summed by the store in one grouped query per figure set, with
// the same rules as the sales window's SumSales: 店売上 and コンパニオン支払 of the listed shops' 履歴
// rows, dates within the period, bounds included, an empty amount counting 0.

enum class SeriesStep { Day, Month };

// The days or the calendar months that cover the period, in order; the first and the last may be cut
// to the period.
QVector<Period> SeriesSteps(const Period &period, SeriesStep step);

struct SalesSeries
{
    SeriesStep step = SeriesStep::Day;
    QVector<Period> steps;
    QVector<qint32> shopIds;                   // as asked, in that order
    QVector<QVector<SalesFigures>> byShop;     // byShop[s][i]: shop s in step i

    SalesFigures total(int step) const;        // every shop of the series in step i
    SalesFigures shopTotal(int shop) const;    // shop s over the whole period
    SalesFigures grandTotal() const;
};

// Each shop's figures in every step of the period (steps without bookings hold zeros).
SalesSeries SalesByStep(Database &db, const QVector<qint32> &shopIds, const Period &period, SeriesStep step);

struct CompanionPay
{
    qint32 companionId = 0;
    QString genjiName;   // empty when the companion is no longer stored
    Money pay;
    qint64 visits = 0;
};

// The companions with the most pay from the listed shops in the period, most first (equal pay: the
// lower ID first), at most count of them.
QVector<CompanionPay> TopCompanionsByPay(Database &db, const QVector<qint32> &shopIds, const Period &period,
                                         int count = 10);

} // namespace rp
