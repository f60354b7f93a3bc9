#include "reception/ChargeStore.h"

#include "data/Database.h"
#include "data/DateUtil.h"
#include "data/SqlText.h"

#include <QStringList>

namespace rp {

namespace {

const QString Table = QStringLiteral("\"履歴明細\"");

// The booking's five key columns; a missing date or start is matched as NULL.
QString keyWhere(const HistoryKey &key, QVariantList &binds)
{
    binds << key.customerId << key.shopId << key.companionId;
    QString sql = QStringLiteral(" WHERE \"顧客ID\"=? AND \"店舗ID\"=? AND \"コンパニオンID\"=?");
    if (key.date.isValid()) {
        sql += QStringLiteral(" AND \"年月日\"=?");
        binds << IsoDate(key.date);
    } else {
        sql += QStringLiteral(" AND \"年月日\" IS NULL");
    }
    if (key.start && key.start->isValid()) {
        sql += QStringLiteral(" AND \"開始時刻\"=?");
        binds << IsoTime(*key.start);
    } else {
        sql += QStringLiteral(" AND \"開始時刻\" IS NULL");
    }
    return sql;
}

QVariant timeOrNull(const std::optional<QTime> &t)
{
    return t && t->isValid() ? QVariant(IsoTime(*t)) : QVariant(QMetaType(QMetaType::QString));
}

bool sameKey(const HistoryKey &a, const HistoryKey &b)
{
    const auto time = [](const std::optional<QTime> &t) { return t && t->isValid() ? IsoTime(*t) : QString(); };
    return a.customerId == b.customerId && a.shopId == b.shopId && a.companionId == b.companionId
        && a.date == b.date && time(a.start) == time(b.start);
}

bool anyUnder(Database &db, const HistoryKey &key)
{
    QVariantList binds;
    const QString where = keyWhere(key, binds);
    return db.scalar(QStringLiteral("SELECT count(*) FROM ") + Table + where + QLatin1Char(';'), binds).toInt() > 0;
}

void insertLines(Database &db, const HistoryKey &key, const QVector<StoredCharge> &lines)
{
    if (lines.isEmpty())
        return;
    // One statement for the whole booking.
    QStringList rows;
    QVariantList binds;
    int no = 0;
    for (const StoredCharge &l : lines) {
        rows << QStringLiteral("(?,?,?,?,?,?,?,?,?,?,?,?)");
        binds << key.customerId << key.shopId << key.companionId
              << (key.date.isValid() ? QVariant(IsoDate(key.date)) : QVariant(QMetaType(QMetaType::QString)))
              << timeOrNull(key.start) << ++no << l.kind << SqlQuote(l.name) << l.price << l.rate << l.surcharge
              << l.pay;
    }
    db.exec(QStringLiteral("INSERT INTO ") + Table
                + QStringLiteral("(\"顧客ID\",\"店舗ID\",\"コンパニオンID\",\"年月日\",\"開始時刻\",\"行番号\",\"種別\",\"名称\","
                                 "\"料金\",\"割合\",\"割増\",\"支払\") VALUES ")
                + rows.join(QLatin1Char(',')) + QLatin1Char(';'),
            binds);
}

bool addsUp(const QVector<StoredCharge> &lines, qint64 pay, qint64 girlPay)
{
    qint64 price = 0, part = 0;
    for (const StoredCharge &l : lines) {
        price += l.price;
        part += l.pay;
    }
    return price == pay && part == girlPay;
}

} // namespace

QVector<StoredCharge> LoadCharges(Database &db, const HistoryKey &key)
{
    QVariantList binds;
    const QString where = keyWhere(key, binds);
    QVector<StoredCharge> lines;
    db.forEachRow(QStringLiteral("SELECT \"種別\",\"名称\",\"料金\",\"割合\",\"割増\",\"支払\" FROM ") + Table + where
                      + QStringLiteral(" ORDER BY \"行番号\";"),
                  binds, [&lines](const std::function<QVariant(int)> &v) {
                      lines << StoredCharge{NullToEmpty(v(0)), NullToEmpty(v(1)), v(2).toLongLong(), v(3).toInt(),
                                            v(4).toInt(), v(5).toLongLong()};
                  });
    return lines;
}

void StoreCharges(Database &db, const HistoryKey &from, const HistoryKey &to,
                  const std::optional<QVector<StoredCharge>> &lines, qint64 pay, qint64 girlPay, bool amountsKept)
{
    const bool moved = !sameKey(from, to);
    // Whatever lies under the new key belongs to no booking that is stored there now.
    if (moved && anyUnder(db, to))
        DeleteCharges(db, to);
    if (lines) {
        DeleteCharges(db, from);
        if (addsUp(*lines, pay, girlPay))
            insertLines(db, to, *lines);
        return;
    }
    if (!amountsKept) {
        DeleteCharges(db, from);
        return;
    }
    if (moved && anyUnder(db, from)) {
        QVariantList binds{timeOrNull(to.start)};
        const QString where = keyWhere(from, binds);
        db.exec(QStringLiteral("UPDATE ") + Table + QStringLiteral(" SET \"開始時刻\"=?") + where + QLatin1Char(';'), binds);
    }
}

void DeleteCharges(Database &db, const HistoryKey &key)
{
    if (!anyUnder(db, key))
        return;
    QVariantList binds;
    const QString where = keyWhere(key, binds);
    db.exec(QStringLiteral("DELETE FROM ") + Table + where + QLatin1Char(';'), binds);
}

void PurgeCharges(Database &db, const QDate &upTo)
{
    const QVariantList binds{IsoDate(upTo)};
    if (db.scalar(QStringLiteral("SELECT count(*) FROM ") + Table + QStringLiteral(" WHERE \"年月日\" <= ?;"), binds).toInt()
        == 0)
        return;
    db.exec(QStringLiteral("DELETE FROM ") + Table + QStringLiteral(" WHERE \"年月日\" <= ?;"), binds);
}

} // namespace rp
