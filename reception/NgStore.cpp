#include "reception/NgStore.h"

#include "data/Database.h"
#include "data/DateUtil.h"
#include "data/SqlText.h"

namespace rp {

QVector<NgBar> NgBarsOf(Database &db, qint32 customerId)
{
    QVector<NgBar> out;
    db.forEachRow(QStringLiteral("SELECT n.\"ID\",n.\"顧客ID\",n.\"店舗ID\",n.\"コンパニオンID\",n.\"理由\",n.\"登録日\","
                                 "s.\"店舗名\",s.\"削除FLAG\",c.\"源氏名\",c.\"削除FLAG\" "
                                 "FROM (\"NG\" n LEFT JOIN \"店舗\" s ON s.\"店舗ID\"=n.\"店舗ID\") "
                                 "LEFT JOIN \"コンパニオン\" c ON c.\"コンパニオンID\"=n.\"コンパニオンID\" "
                                 "WHERE n.\"顧客ID\"=? ORDER BY n.\"ID\";"),
                  {customerId}, [&out](const std::function<QVariant(int)> &value) {
                      NgBar bar;
                      bar.id = value(0).toInt();
                      bar.customerId = value(1).toInt();
                      bar.shopId = value(2).toInt();
                      if (!value(3).isNull())
                          bar.companionId = value(3).toInt();
                      bar.reason = NullToEmpty(value(4));
                      bar.date = QDate::fromString(value(5).toString(), Qt::ISODate);
                      bar.shopName = NullToEmpty(value(6));
                      bar.shopListed = !value(6).isNull() && value(7).toInt() == 0;
                      bar.companionName = NullToEmpty(value(8));
                      bar.companionListed = !value(8).isNull() && value(9).toInt() == 0;
                      out << bar;
                  });
    return out;
}

qint32 AddNgBar(Database &db, const NgBar &bar)
{
    qint32 id = 0;
    db.atomic([&] {
        id = db.insertReturningId(
            QStringLiteral("NG"),
            {QStringLiteral("顧客ID"), QStringLiteral("店舗ID"), QStringLiteral("コンパニオンID"), QStringLiteral("理由"),
             QStringLiteral("登録日")},
            {bar.customerId, bar.shopId, bar.companionId ? QVariant(*bar.companionId) : QVariant(QMetaType(QMetaType::Int)),
             bar.reason, bar.date.isValid() ? QVariant(IsoDate(bar.date)) : QVariant(QMetaType(QMetaType::QString))},
            QStringLiteral("ID"));
    });
    return id;
}

void LiftNgBar(Database &db, qint32 id)
{
    db.atomic([&] { db.exec(QStringLiteral("DELETE FROM \"NG\" WHERE \"ID\"=?;"), {id}); });
}

} // namespace rp
