#include "reception/StatusStore.h"

#include "data/Locks.h"
#include "data/Schema.h"
#include "data/SqlText.h"
#include "masters/CompanionStore.h"

namespace rp {

namespace {
const QString StatusTableName = QStringLiteral("現在状況");
} // namespace

bool StatusTableExists(Database &db) { return db.tableExists(StatusTableName); }

void CreateStatusTable(Database &db) { db.exec(CreateStatusTableSql(db.engine())); }

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

BoardRowState BoardRowStateOf(const Row &row)
{
    return {row.value(QStringLiteral("出退勤")).toInt(), row.value(QStringLiteral("空")).toInt(),
            row.value(QStringLiteral("他店舗")).toInt(), row.value(QStringLiteral("終了予定")),
            row.value(QStringLiteral("場所")), row.value(QStringLiteral("顧客ID")), row.value(QStringLiteral("選択OP"))};
}

bool SameBoardRow(const BoardRowState &a, const BoardRowState &b)
{
    const auto same = [](const QVariant &x, const QVariant &y) { return NullToEmpty(x) == NullToEmpty(y); };
    return (a.onDuty != 0) == (b.onDuty != 0) && (a.busy != 0) == (b.busy != 0) && (a.otherShop != 0) == (b.otherShop != 0)
        && same(a.end, b.end) && same(a.place, b.place) && same(a.customerId, b.customerId)
        && same(a.selectedOptions, b.selectedOptions);
}

QVector<StatusCell> LockCompanionStatus(Database &db, const QVariant &companionId)
{
    const QString lock = ForUpdate(db);
    LockCompanion(db, companionId.toInt());
    QVector<StatusCell> her;
    for (const Row &row : db.rows(QStringLiteral("SELECT * FROM \"現在状況\" WHERE \"コンパニオンID\"=? ORDER BY \"店舗ID\"")
                                      + lock + QLatin1Char(';'),
                                  {companionId}))
        her << StatusCell{row.value(QStringLiteral("店舗ID")).toInt(), BoardRowStateOf(row)};
    return her;
}

QString TakenElsewhereMessage()
{
    return QStringLiteral("このコンパニオンは他の受付PCで先に案内されました。\r\nボードを最新の状態に読み直しました。");
}

QString ChangedElsewhereMessage()
{
    return QStringLiteral("このコンパニオンの状態は他の受付PCで変更されています。何も変更していません。\r\n"
                          "ボードを最新の状態に読み直しました。");
}

QString BoardActionRefusal(BoardAction action, qint32 shopId, const QVector<StatusCell> &her, const BoardRowState &read)
{
    const StatusCell *here = nullptr;
    bool outSomewhere = false;
    for (const StatusCell &cell : her) {
        if (cell.shopId == shopId)
            here = &cell;
        else
            outSomewhere = outSomewhere || cell.state.busy != 0;
    }
    if (action == BoardAction::Start && (outSomewhere || (here && here->state.busy != 0 && read.busy == 0)))
        return TakenElsewhereMessage();
    if (!here || !SameBoardRow(here->state, read))
        return ChangedElsewhereMessage();
    return QString();
}

void WriteTick(Database &db, BoardAction action, qint32 shopId, const QVector<qint32> &otherShopIds,
               const QVariant &companionId, const BoardRowState &row, const BoardRowState &read)
{
    if (SharedDatabase(db)) {
        const QString refusal = BoardActionRefusal(action, shopId, LockCompanionStatus(db, companionId), read);
        if (!refusal.isEmpty())
            throw AppError(AppError::ChangedElsewhere, refusal);
    }
    for (qint32 other : otherShopIds) {
        if (action == BoardAction::Start)
            MarkOutForOtherShop(db, other, companionId);
        else
            MarkFreeAtShop(db, other, companionId);
    }
    WriteBoardRow(db, shopId, companionId, row);
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
