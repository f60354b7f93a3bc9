#include "masters/OptionSheet.h"

#include "data/Database.h"
#include "data/Module1.h"
#include "data/SqlText.h"

#include <QWidget>

namespace rp {

OptionSheet LoadOptionSheet(Database &db, qint32 shopId, int slot, const QDate &made)
{
    OptionSheet sheet;
    sheet.made = made;
    if (slot < 1 || slot > ShopSlots)
        return sheet;
    QString columns = QStringLiteral("\"店舗名\"");
    for (int n = 1; n <= 15; ++n)
        columns += QStringLiteral(",\"OP%1名\",\"OP%1料金\"").arg(n);
    const std::optional<Row> shop =
        db.first(QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM \"店舗\" WHERE \"店舗ID\"=?;"), {shopId});
    if (!shop)
        return sheet;
    sheet.shopName = NullToEmpty(shop->value(0));
    for (int n = 1; n <= 15; ++n) {
        const QString name = NullToEmpty(shop->value(2 * n - 1));
        const QVariant price = shop->value(2 * n);
        if (!name.isEmpty())
            sheet.options << OptionSheet::Option{n, name, price.isNull() ? Money() : Money::fromYen(price.toLongLong())};
    }
    // She works at the shop when her name in its slot is set, as the status board counts her.
    db.forEachRow(QStringLiteral("SELECT \"源氏名\",\"名前%1\",\"オプション%1\" FROM \"コンパニオン\" "
                                 "WHERE \"削除FLAG\" = 0 AND \"名前%1\" IS NOT NULL ORDER BY \"コンパニオンID\";")
                      .arg(slot),
                  {}, [&sheet](const std::function<QVariant(int)> &v) {
                      sheet.companions << OptionSheet::Companion{NullToEmpty(v(0)), NullToEmpty(v(1)), qint16(v(2).toInt())};
                  });
    return sheet;
}

} // namespace rp
