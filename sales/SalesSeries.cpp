#include "sales/SalesSeries.h"
#include "sales/SalesRules.h"

#include "data/AppError.h"
#include "data/Database.h"

#include <limits>

namespace rp {

namespace {

SalesFigures figuresOf(qint64 gross, qint64 pay, qint64 visits)
{
    SalesFigures f;
    f.gross = Money::fromYen(gross);
    f.pay = Money::fromYen(pay);
    f.shopShare = Money::fromYen(gross - pay);
    f.visits = visits;
    return f;
}

SalesFigures &operator+=(SalesFigures &a, const SalesFigures &b)
{
    a.gross += b.gross;
    a.pay += b.pay;
    a.shopShare += b.shopShare;
    a.visits += b.visits;
    return a;
}

QString shopList(const QVector<qint32> &shopIds, QVariantList &binds)
{
    QString marks;
    for (qint32 id : shopIds) {
        marks += marks.isEmpty() ? QStringLiteral("?") : QStringLiteral(",?");
        binds << id;
    }
    return marks;
}

// The step a stored date falls in: the text's day or month, read straight from the ISO text.
int stepIndex(const SalesSeries &series, const QString &key)
{
    if (series.steps.isEmpty())
        return -1;
    const QDate first = series.steps.first().first;
    if (series.step == SeriesStep::Day) {
        const QDate day = QDate::fromString(key, Qt::ISODate);
        return day.isValid() ? int(first.daysTo(day)) : -1;
    }
    const QDate month = QDate::fromString(key + QStringLiteral("-01"), Qt::ISODate);
    return month.isValid() ? (month.year() - first.year()) * 12 + month.month() - first.month() : -1;
}

} // namespace

QVector<Period> SeriesSteps(const Period &period, SeriesStep step)
{
    QVector<Period> steps;
    if (!period.first.isValid() || !period.last.isValid())
        return steps;
    for (QDate d = period.first; d <= period.last;) {
        const QDate last = step == SeriesStep::Day ? d : std::min(period.last, MonthLast(d.year(), d.month()));
        steps << Period{d, last};
        d = last.addDays(1);
    }
    return steps;
}

SalesFigures SalesSeries::total(int step) const
{
    SalesFigures sum;
    for (const QVector<SalesFigures> &shop : byShop)
        sum += shop.value(step);
    return sum;
}

SalesFigures SalesSeries::shopTotal(int shop) const
{
    SalesFigures sum;
    for (const SalesFigures &f : byShop.value(shop))
        sum += f;
    return sum;
}

SalesFigures SalesSeries::grandTotal() const
{
    SalesFigures sum;
    for (int s = 0; s < byShop.size(); ++s)
        sum += shopTotal(s);
    return sum;
}

SalesSeries SalesByStep(Database &db, const QVector<qint32> &shopIds, const Period &period, SeriesStep step)
{
    SalesSeries series;
    series.step = step;
    series.steps = SeriesSteps(period, step);
    series.shopIds = shopIds;
    series.byShop = QVector<QVector<SalesFigures>>(shopIds.size(), QVector<SalesFigures>(series.steps.size()));
    if (shopIds.isEmpty() || series.steps.isEmpty())
        return series;

    // The days are summed along the shop-date index, which hands the rows over already in groups of one
    // shop and one day, so nothing is sorted; months are the days' text (ISO on every engine) cut to
    // yyyy-MM, summed over those few day groups. (Grouping the rows by the cut text at once would sort
    // a year's 100,000 rows first: two and a half times the work.)
    QVariantList binds;
    const QString marks = shopList(shopIds, binds);
    binds << IsoDate(period.first) << IsoDate(period.last);
    const QString days = QStringLiteral("SELECT \"店舗ID\",\"年月日\" AS \"日\",SUM(\"店売上\") AS \"売上\","
                                        "SUM(\"コンパニオン支払\") AS \"支払\",COUNT(*) AS \"本数\" FROM \"履歴\""
                                        " WHERE \"店舗ID\" IN (")
        + marks + QStringLiteral(") AND \"年月日\" BETWEEN ? AND ? GROUP BY \"店舗ID\",\"年月日\"");
    const QString key = step == SeriesStep::Day ? QStringLiteral("\"日\"") : QStringLiteral("SUBSTR(\"日\",1,7)");
    const QString sql = QStringLiteral("SELECT \"店舗ID\",") + key
        + QStringLiteral(",CAST(COALESCE(SUM(\"売上\"),0) AS BIGINT),CAST(COALESCE(SUM(\"支払\"),0) AS BIGINT),"
                         "CAST(SUM(\"本数\") AS BIGINT) FROM (")
        + days + QStringLiteral(") d GROUP BY \"店舗ID\",") + key + QLatin1Char(';');

    QVector<qint64> grossPerShop(shopIds.size()), payPerShop(shopIds.size());
    db.forEachRow(sql, binds, [&](const std::function<QVariant(int)> &value) {
        const int shop = shopIds.indexOf(value(0).toInt());
        const int i = stepIndex(series, value(1).toString());
        if (shop < 0 || i < 0 || i >= series.steps.size())
            return;
        const qint64 gross = SalesYen(value(2));
        const qint64 pay = SalesYen(value(3));
        // A shop's total over the period must fit as well, as the window's sum over it would.
        grossPerShop[shop] = CheckedSalesYen(grossPerShop[shop] + gross);
        payPerShop[shop] = CheckedSalesYen(payPerShop[shop] + pay);
        series.byShop[shop][i] = figuresOf(gross, pay, value(4).toLongLong());
    });
    return series;
}

QVector<CompanionPay> TopCompanionsByPay(Database &db, const QVector<qint32> &shopIds, const Period &period, int count)
{
    QVector<CompanionPay> top;
    if (shopIds.isEmpty() || count <= 0)
        return top;
    QVariantList binds;
    const QString marks = shopList(shopIds, binds);
    binds << IsoDate(period.first) << IsoDate(period.last) << count;
    // Summed by companion first; only the few at the top are joined to their names.
    const QString sql =
        QStringLiteral("SELECT t.\"コンパニオンID\",c.\"源氏名\",t.\"支払\",t.\"本数\" FROM"
                       " (SELECT \"コンパニオンID\",CAST(COALESCE(SUM(\"コンパニオン支払\"),0) AS BIGINT) AS \"支払\","
                       "COUNT(*) AS \"本数\" FROM \"履歴\" WHERE \"店舗ID\" IN (")
        + marks
        + QStringLiteral(") AND \"年月日\" BETWEEN ? AND ? AND \"コンパニオンID\" IS NOT NULL"
                         " GROUP BY \"コンパニオンID\" ORDER BY \"支払\" DESC,\"コンパニオンID\" LIMIT ?) t"
                         " LEFT JOIN \"コンパニオン\" c ON c.\"コンパニオンID\"=t.\"コンパニオンID\""
                         " ORDER BY t.\"支払\" DESC,t.\"コンパニオンID\";");
    db.forEachRow(sql, binds, [&top](const std::function<QVariant(int)> &value) {
        CompanionPay p;
        p.companionId = value(0).toInt();
        p.genjiName = value(1).isNull() ? QString() : value(1).toString();
        p.pay = Money::fromYen(SalesYen(value(2)));
        p.visits = value(3).toLongLong();
        top << p;
    });
    return top;
}

} // namespace rp
