#include "sales/NightCloseStore.h"

#include "data/Database.h"
#include "data/DateUtil.h"
#include "data/Module1.h"
#include "data/SqlText.h"

#include <QHash>
#include <QWidget>
#include <algorithm>

namespace rp {

namespace {

QString marks(int n)
{
    QStringList m;
    for (int i = 0; i < n; ++i)
        m << QStringLiteral("?");
    return m.join(QLatin1Char(','));
}

std::optional<QTime> readTime(const QVariant &v)
{
    if (v.isNull())
        return std::nullopt;
    const QTime t = QTime::fromString(v.toString(), QStringLiteral("HH:mm:ss"));
    return t.isValid() ? std::optional<QTime>(t) : std::nullopt;
}

Money yen(const QVariant &v) { return v.isNull() ? Money() : Money::fromYen(v.toLongLong()); }

// The booking a line belongs to, within the day.
QString lineKey(qint32 customer, qint32 shop, qint32 companion, const QVariant &start)
{
    return QStringLiteral("%1|%2|%3|%4").arg(customer).arg(shop).arg(companion).arg(start.isNull() ? QStringLiteral("-") : start.toString());
}

void count(SalesFigures &f, const NightCloseBooking &b)
{
    f.gross += b.takings;
    f.pay += b.pay;
    f.shopShare = f.gross - f.pay;
    ++f.visits;
}

bool addsUp(const QVector<StoredCharge> &lines, const NightCloseBooking &b)
{
    qint64 price = 0, pay = 0;
    for (const StoredCharge &l : lines) {
        price += l.price;
        pay += l.pay;
    }
    return Money::fromYen(price) == b.takings && Money::fromYen(pay) == b.pay;
}

} // namespace

const NightCloseCompanion *NightClose::companion(qint32 id) const
{
    for (const NightCloseCompanion &c : companions)
        if (c.id == id)
            return &c;
    return nullptr;
}

QVector<qint32> ListedShopIds(Database &db)
{
    // As the shop lists are loaded: the first MaxShops shops not marked deleted, by ID.
    QVector<qint32> ids;
    db.forEachRow(QStringLiteral("SELECT \"店舗ID\" FROM \"店舗\" WHERE \"削除FLAG\" = 0 ORDER BY \"店舗ID\";"), {},
                  [&ids](const std::function<QVariant(int)> &v) {
                      if (ids.size() < MaxShops)
                          ids << v(0).toInt();
                  });
    return ids;
}

int BusinessMinute(const std::optional<QTime> &start)
{
    if (!start || !start->isValid())
        return 48 * 60;
    const int minute = start->hour() * 60 + start->minute();
    return minute < 5 * 60 ? minute + 24 * 60 : minute;
}

NightClose LoadNightClose(Database &db, const QDate &day, const QVector<qint32> &shopIds)
{
    NightClose close;
    close.day = day;
    if (shopIds.isEmpty())
        return close;
    QVariantList shopBinds;
    for (qint32 id : shopIds)
        shopBinds << id;

    // The shops: names and option names, to name the booked options as the history does.
    QHash<qint32, QStringList> optionNames;
    QHash<qint32, QString> shopNames;
    QString optionColumns;
    for (int n = 1; n <= 15; ++n)
        optionColumns += QStringLiteral(",\"OP%1名\"").arg(n);
    db.forEachRow(QStringLiteral("SELECT \"店舗ID\",\"店舗名\"") + optionColumns
                      + QStringLiteral(" FROM \"店舗\" WHERE \"店舗ID\" IN (") + marks(shopIds.size()) + QStringLiteral(");"),
                  shopBinds, [&](const std::function<QVariant(int)> &v) {
                      const qint32 id = v(0).toInt();
                      shopNames.insert(id, NullToEmpty(v(1)));
                      QStringList names;
                      for (int n = 0; n < 15; ++n)
                          names << NullToEmpty(v(2 + n));
                      optionNames.insert(id, names);
                  });
    for (qint32 id : shopIds)
        close.shops << NightCloseShop{id, shopNames.value(id), {}};

    // The day's charge lines, by booking.
    QHash<QString, QVector<StoredCharge>> lines;
    db.forEachRow(QStringLiteral("SELECT \"顧客ID\",\"店舗ID\",\"コンパニオンID\",\"開始時刻\",\"種別\",\"名称\",\"料金\",\"割合\","
                                 "\"割増\",\"支払\" FROM \"履歴明細\" WHERE \"年月日\"=? "
                                 "ORDER BY \"顧客ID\",\"店舗ID\",\"コンパニオンID\",\"開始時刻\",\"行番号\";"),
                  {IsoDate(day)}, [&lines](const std::function<QVariant(int)> &v) {
                      lines[lineKey(v(0).toInt(), v(1).toInt(), v(2).toInt(), v(3))]
                          << StoredCharge{NullToEmpty(v(4)), NullToEmpty(v(5)), v(6).toLongLong(), v(7).toInt(),
                                          v(8).toInt(), v(9).toLongLong()};
                  });

    // The bookings, with the names of customer and companion.
    QVariantList binds{IsoDate(day)};
    binds += shopBinds;
    db.forEachRow(
        QStringLiteral("SELECT h.\"顧客ID\",h.\"店舗ID\",h.\"コンパニオンID\",h.\"開始時刻\",h.\"終了時刻\",h.\"コース名\","
                       "h.\"オプション\",h.\"延長\",h.\"指名\",h.\"キャンセル\",h.\"店売上\",h.\"コンパニオン支払\","
                       "c.\"源氏名\",k.\"名前\" "
                       "FROM (\"履歴\" h LEFT JOIN \"コンパニオン\" c ON c.\"コンパニオンID\"=h.\"コンパニオンID\") "
                       "LEFT JOIN \"顧客\" k ON k.\"顧客ID\"=h.\"顧客ID\" "
                       "WHERE h.\"年月日\"=? AND h.\"店舗ID\" IN (")
            + marks(shopIds.size()) + QStringLiteral(") ORDER BY h.\"コンパニオンID\",h.\"開始時刻\";"),
        binds, [&](const std::function<QVariant(int)> &v) {
            NightCloseBooking b;
            b.key = HistoryKey{v(0).toInt(), v(1).toInt(), v(2).toInt(), day, readTime(v(3))};
            b.start = b.key.start;
            b.end = readTime(v(4));
            b.shopName = shopNames.value(b.key.shopId);
            b.course = NullToEmpty(v(5));
            const quint16 mask = quint16(v(6).toInt());
            const QStringList names = optionNames.value(b.key.shopId);
            for (int n = 0; n < 15 && n < names.size(); ++n)
                if ((mask >> n) & 1u && !names[n].isEmpty())
                    b.options << names[n];
            if (!v(7).isNull())
                b.extension = v(7).toInt();
            b.nomination = v(8).toInt() != 0;
            b.cancelled = v(9).toInt() != 0;
            b.takings = yen(v(10));
            b.pay = yen(v(11));
            b.customerName = NullToEmpty(v(13));
            const QVector<StoredCharge> own = lines.value(lineKey(b.key.customerId, b.key.shopId, b.key.companionId, v(3)));
            if (addsUp(own, b))
                b.charges = own;

            if (close.companions.isEmpty() || close.companions.last().id != b.key.companionId)
                close.companions << NightCloseCompanion{b.key.companionId, NullToEmpty(v(12)), {}, {}};
            NightCloseCompanion &her = close.companions.last();
            count(her.totals, b);
            count(close.totals, b);
            for (NightCloseShop &s : close.shops)
                if (s.id == b.key.shopId)
                    count(s.totals, b);
            her.bookings << b;
        });

    for (NightCloseCompanion &her : close.companions)
        std::stable_sort(her.bookings.begin(), her.bookings.end(), [](const NightCloseBooking &a, const NightCloseBooking &b) {
            return BusinessMinute(a.start) < BusinessMinute(b.start);
        });
    return close;
}

} // namespace rp
