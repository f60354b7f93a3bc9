#include "masters/CompanionStore.h"

#include "data/Locks.h"
#include "data/Schema.h"

namespace rp {

namespace {
const QString Companions = QStringLiteral("コンパニオン");
const QString CompanionId = QStringLiteral("コンパニオンID");
} // namespace

std::optional<Row> CompanionById(Database &db, qint32 companionId)
{
    return db.first(QStringLiteral("SELECT * FROM \"コンパニオン\" WHERE \"コンパニオンID\"=?;"), {companionId});
}

std::optional<Row> CompanionColumns(Database &db, qint32 companionId, const QStringList &columns)
{
    return db.first(QStringLiteral("SELECT ") + Quoted(columns)
                        + QStringLiteral(" FROM \"コンパニオン\" WHERE \"コンパニオンID\"=?;"),
                    {companionId});
}

qint32 InsertCompanion(Database &db, const QStringList &columns, const QVariantList &values)
{
    return db.insertReturningId(Companions, columns, values, CompanionId);
}

void UpdateCompanion(Database &db, qint32 companionId, const QStringList &columns, const QVariantList &values)
{
    db.update(Companions, columns, values, CompanionId, companionId);
}

void MarkCompanionDeleted(Database &db, qint32 companionId)
{
    db.exec(QStringLiteral("UPDATE \"コンパニオン\" SET \"削除FLAG\"=1 WHERE \"コンパニオンID\"=?;"), {companionId});
}

void LockCompanion(Database &db, qint32 companionId)
{
    if (SharedDatabase(db))
        db.scalar(QStringLiteral("SELECT \"コンパニオンID\" FROM \"コンパニオン\" WHERE \"コンパニオンID\"=?") + ForUpdate(db)
                      + QLatin1Char(';'),
                  {companionId});
}

} // namespace rp
