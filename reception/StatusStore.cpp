#include "reception/StatusStore.h"

#include "data/Schema.h"

namespace rp {

namespace {
const QString StatusTableName = QStringLiteral("現在状況");
} // namespace

bool StatusTableExists(Database &db) { return db.tableExists(StatusTableName); }

void CreateStatusTable(Database &db)
{
    db.exec(CreateStatusTableSql(db.engine()));
    // The other PCs' boards hear of every change to it (PostgreSQL; nothing on SQLite).
    db.addChangeNotices(StatusTableName);
}

void DropStatusTable(Database &db) { db.exec(QStringLiteral("DROP TABLE \"現在状況\"")); }

int OnDutyCount(Database &db)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM \"現在状況\" WHERE \"出退勤\"=1;")).toInt();
}

int RunningBookingsAtShop(Database &db, qint32 shopId)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM \"現在状況\" WHERE \"店舗ID\"=? AND \"空\"=1 AND \"他店舗\"=0;"),
                     {shopId})
        .toInt();
}

Rows StatusRowsOfShop(Database &db, qint32 shopId)
{
    return db.rows(QStringLiteral("SELECT * FROM \"現在状況\" WHERE \"店舗ID\"=? ORDER BY \"コンパニオンID\";"), {shopId});
}

std::optional<Row> StatusRowOf(Database &db, qint32 shopId, const QVariant &companionId)
{
    return db.first(QStringLiteral("SELECT * FROM \"現在状況\" WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;"),
                    {shopId, companionId});
}

void WriteBoardRow(Database &db, qint32 shopId, const QVariant &companionId, const BoardRowState &row)
{
    db.exec(QStringLiteral("UPDATE \"現在状況\" SET \"出退勤\"=?,\"空\"=?,\"他店舗\"=?,\"終了予定\"=?,\"場所\"=?,\"顧客ID\"=?,\"選択OP\"=? "
                           "WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;"),
            {row.onDuty, row.busy, row.otherShop, row.end, row.place, row.customerId, row.selectedOptions, shopId,
             companionId});
}

void MarkOutForOtherShop(Database &db, qint32 shopId, const QVariant &companionId)
{
    db.exec(QStringLiteral("UPDATE \"現在状況\" SET \"空\"=1,\"他店舗\"=1 WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;"),
            {shopId, companionId});
}

void MarkFreeAtShop(Database &db, qint32 shopId, const QVariant &companionId)
{
    db.exec(QStringLiteral("UPDATE \"現在状況\" SET \"空\"=0,\"他店舗\"=0 WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;"),
            {shopId, companionId});
}

} // namespace rp
