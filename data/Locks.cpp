#include "data/Locks.h"

#include <QThread>

namespace rp {

namespace {

// The server's advisory locks are numbers of our choosing: one for "a reception PC is connected", one
// for start-up, and a class of two-part keys for texts. The one-number and the two-number keys are
// separate spaces on the server.
constexpr qint64 ReceptionPCsKey = 0x726f737465720001LL;
constexpr qint64 StartupKey = 0x726f737465720002LL;
constexpr int TextKeyClass = 0x72700001;

} // namespace

bool SharedDatabase(const Database &db) { return db.engine() == Engine::PostgreSQL; }

QString ForUpdate(const Database &db) { return SharedDatabase(db) ? QStringLiteral(" FOR UPDATE") : QString(); }

void LockTextForTransaction(Database &db, const QString &text)
{
    if (SharedDatabase(db))
        db.scalar(QStringLiteral("SELECT pg_advisory_xact_lock(?, hashtext(?));"), {TextKeyClass, text});
}

void LockStartupForTransaction(Database &db)
{
    if (SharedDatabase(db))
        db.scalar(QStringLiteral("SELECT pg_advisory_xact_lock(?);"), {StartupKey});
}

void JoinReceptionPCs(Database &db)
{
    if (SharedDatabase(db))
        db.scalar(QStringLiteral("SELECT pg_advisory_lock_shared(?);"), {ReceptionPCsKey});
}

bool LastReceptionPC(Database &db)
{
    if (!SharedDatabase(db))
        return true;
    // The server does not count a PC's own shared lock against its exclusive one. A PC that has just
    // closed may hold its lock for a few more milliseconds, until its session has ended on the server:
    // asked again for half a second, two PCs closing one after the other do not both leave the night.
    for (int attempt = 0;; ++attempt) {
        if (db.scalar(QStringLiteral("SELECT pg_try_advisory_lock(?);"), {ReceptionPCsKey}).toBool())
            return true;
        if (attempt == 5)
            return false;
        QThread::msleep(100);
    }
}

void StayAmongReceptionPCs(Database &db)
{
    if (SharedDatabase(db))
        db.scalar(QStringLiteral("SELECT pg_advisory_unlock(?);"), {ReceptionPCsKey});
}

} // namespace rp
