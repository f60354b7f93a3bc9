// The sales sums as a statement on the store (declared in SalesRules.h).
#include "sales/SalesRules.h"

#include "data/AppError.h"
#include "data/Database.h"
#include "data/DateUtil.h"

#include <limits>

namespace rp {

namespace {

constexpr int NoCurrentRecord = 3021;

} // namespace

// The store sums in 64-bit integers and fails on overflow; a total must also fit the currency type,
// which keeps ten-thousandths of a yen.
qint64 CheckedSalesYen(qint64 yen)
{
    constexpr qint64 YenLimit = std::numeric_limits<qint64>::max() / Money::UnitsPerYen;
    if (yen > YenLimit || yen < -YenLimit)
        throw AppError(AppError::Overflow, QStringLiteral("売上の合計が大きすぎて計算できません。"));
    return yen;
}

qint64 SalesYen(const QVariant &value)
{
    if (value.isNull())
        return 0;
    bool ok = false;
    const qint64 yen = value.toLongLong(&ok);
    if (!ok)
        throw AppError(AppError::TypeMismatch, QStringLiteral("売上の金額が読み取れません。"));
    return CheckedSalesYen(yen);
}

SalesFigures SumSales(Database &db, const QVector<qint32> &shopIds, std::optional<qint32> companionId,
                      const Period &period)
{
    if (shopIds.isEmpty())
        return SalesFigures{};

    // One aggregate over the index instead of visiting ten years of rows; IN counts a row once even
    // if an ID were listed twice, and rows of shops not listed (deleted ones) stay out.
    QString marks;
    QVariantList binds;
    for (qint32 id : shopIds) {
        marks += marks.isEmpty() ? QStringLiteral("?") : QStringLiteral(",?");
        binds << id;
    }
    QString sql = QStringLiteral("SELECT CAST(COALESCE(SUM(\"店売上\"),0) AS BIGINT),CAST(COALESCE(SUM(\"コンパニオン支払\"),0) AS BIGINT),COUNT(*) "
                                 "FROM \"履歴\" WHERE \"店舗ID\" IN (")
                  + marks + QStringLiteral(")");
    if (companionId) {
        sql += QStringLiteral(" AND \"コンパニオンID\"=?");
        binds << *companionId;
    }
    sql += QStringLiteral(" AND \"年月日\" BETWEEN ? AND ?;");
    binds << IsoDate(period.first) << IsoDate(period.last);

    const std::optional<Row> row = db.first(sql, binds);
    // An aggregate always yields its one row; none means the read broke off.
    if (!row)
        throw AppError(NoCurrentRecord, QStringLiteral("売上を読み取れませんでした。"));

    const qint64 gross = SalesYen(row->value(0));
    const qint64 pay = SalesYen(row->value(1));
    SalesFigures figures;
    figures.gross = Money::fromYen(CheckedSalesYen(gross));
    figures.pay = Money::fromYen(CheckedSalesYen(pay));
    figures.shopShare = Money::fromYen(CheckedSalesYen(gross - pay));   // both within the limit: the difference cannot wrap
    figures.visits = row->value(2).toLongLong();
    return figures;
}

} // namespace rp
