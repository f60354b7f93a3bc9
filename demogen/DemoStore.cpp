#include "demogen/DemoStore.h"

#include "data/Database.h"
#include "data/SqlText.h"

namespace rp::demo {

namespace {

const QVariant NullText = QVariant(QMetaType(QMetaType::QString));

qint32 insertRow(Database &db, const QString &table, const QString &idColumn, const QStringList &columns,
                 const QVariantList &values)
{
    QStringList names, marks;
    for (const QString &column : columns) {
        names << QLatin1Char('"') + column + QLatin1Char('"');
        marks << QStringLiteral("?");
    }
    db.exec(QStringLiteral("INSERT INTO \"%1\"(%2) VALUES(%3);").arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
            values);
    return db.scalar(QStringLiteral("SELECT max(\"%1\") FROM \"%2\";").arg(idColumn, table)).toInt();
}

std::optional<QTime> readTime(const QVariant &v)
{
    if (v.isNull())
        return std::nullopt;
    const QTime t = QTime::fromString(v.toString(), QStringLiteral("HH:mm:ss"));
    return t.isValid() ? std::optional<QTime>(t) : std::nullopt;
}

} // namespace

qint32 InsertShop(Database &db, const QStringList &columns, const QVariantList &values)
{
    return insertRow(db, QStringLiteral("店舗"), QStringLiteral("店舗ID"), columns, values);
}

qint32 InsertCompanion(Database &db, const QStringList &columns, const QVariantList &values)
{
    return insertRow(db, QStringLiteral("コンパニオン"), QStringLiteral("コンパニオンID"), columns, values);
}

Surcharges CompanionSurcharges(Database &db, qint32 companionId)
{
    Surcharges s{};
    const std::optional<Row> row = db.first(
        QStringLiteral("SELECT \"C1割増\",\"C2割増\",\"C3割増\",\"C4割増\",\"OP割増\",\"延長割増\",\"指名割増\",\"キャンセル割増\" "
                       "FROM \"コンパニオン\" WHERE \"コンパニオンID\"=?;"),
        {companionId});
    if (row)
        for (int i = 0; i < 8; ++i)
            s[i] = row->value(i).isNull() ? 0 : qint16(row->value(i).toInt());
    return s;
}

QVector<CustomerRecord> AllCustomers(Database &db)
{
    QVector<CustomerRecord> out;
    for (const Row &row : db.rows(QStringLiteral("SELECT \"顧客ID\",\"名前\",\"TEL\",\"ランク\",\"備考\" FROM \"顧客\" ORDER BY \"顧客ID\";")))
        out << CustomerRecord{row.value(0).toInt(), NullToEmpty(row.value(1)), NullToEmpty(row.value(2)),
                              NullToEmpty(row.value(3)), NullToEmpty(row.value(4))};
    return out;
}

QDate LastBookingDate(Database &db)
{
    return QDate::fromString(db.scalar(QStringLiteral("SELECT max(\"年月日\") FROM \"履歴\";")).toString(), Qt::ISODate);
}

QVector<StatusRow> StatusRows(Database &db)
{
    QVector<StatusRow> out;
    for (const Row &row : db.rows(QStringLiteral("SELECT \"店舗ID\",\"コンパニオンID\",\"オプション\",\"出退勤\",\"空\",\"他店舗\","
                                                 "\"年月日\",\"開始時刻\",\"終了予定\" FROM \"現在状況\" "
                                                 "ORDER BY \"店舗ID\",\"コンパニオンID\";"))) {
        StatusRow s;
        s.shopId = row.value(0).toInt();
        s.companionId = row.value(1).toInt();
        s.options = qint16(row.value(2).toInt());
        s.onDuty = row.value(3).toInt() != 0;
        s.busy = row.value(4).toInt() != 0;
        s.otherShop = row.value(5).toInt() != 0;
        s.date = QDate::fromString(row.value(6).toString(), Qt::ISODate);
        s.start = readTime(row.value(7));
        s.end = readTime(row.value(8));
        out << s;
    }
    return out;
}

void ClearStatus(Database &db)
{
    db.exec(QStringLiteral("UPDATE \"現在状況\" SET \"出退勤\"=0,\"空\"=0,\"他店舗\"=0,\"終了予定\"=?,\"場所\"=?,\"顧客ID\"=NULL,"
                           "\"選択OP\"=NULL,\"年月日\"=?,\"開始時刻\"=?;"),
            {NullText, NullText, NullText, NullText});
}

void SetOnDuty(Database &db, qint32 shopId, qint32 companionId)
{
    db.exec(QStringLiteral("UPDATE \"現在状況\" SET \"出退勤\"=1 WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;"), {shopId, companionId});
}

void SetOutForOtherShop(Database &db, qint32 shopId, qint32 companionId)
{
    db.exec(QStringLiteral("UPDATE \"現在状況\" SET \"空\"=1,\"他店舗\"=1 WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;"),
            {shopId, companionId});
}

} // namespace rp::demo
