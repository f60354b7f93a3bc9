#include "support/AllOrNothing.h"

#include <QSqlRecord>
#include <QTest>

namespace rp::test {

QStringList DumpStore(Database &db)
{
    QStringList dump;
    // PostgreSQL has no row order of its own: its rows are listed sorted.
    const bool server = db.engine() == Engine::PostgreSQL;
    const Rows tables = server
        ? db.rows(QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema=current_schema() "
                                 "ORDER BY table_name;"))
        : db.rows(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name;"));
    for (const Row &t : tables) {
        const QString name = t.value(0).toString();
        dump << QStringLiteral("== ") + name;
        QStringList lines;
        for (const Row &row : db.rows(QStringLiteral("SELECT * FROM \"") + name + QStringLiteral("\"")
                                      + (server ? QStringLiteral(";") : QStringLiteral(" ORDER BY rowid;")))) {
            QStringList cells;
            for (int i = 0; i < row.count(); ++i)
                cells << (row.value(i).isNull() ? QStringLiteral("NULL") : row.value(i).toString());
            lines << cells.join(QLatin1Char('|'));
        }
        if (server)
            lines.sort();
        dump << lines;
    }
    return dump;
}

int ForEachFailedWrite(Database &db, const std::function<void()> &arrange, const std::function<void()> &act,
                       const std::function<void(int n)> &check)
{
    for (int n = 1; n < 500; ++n) {
        arrange();
        const QStringList before = DumpStore(db);
        db.failNthWrite(n);
        act();
        const int seen = db.writesSeen();
        db.failNthWrite(0);
        if (seen < n)
            return n - 1;   // the action ran through without reaching the n-th write
        const QStringList after = DumpStore(db);
        if (after != before) {
            QStringList diff;
            for (const QString &line : after)
                if (!before.contains(line))
                    diff << QStringLiteral("+ ") + line;
            for (const QString &line : before)
                if (!after.contains(line))
                    diff << QStringLiteral("- ") + line;
            QTest::qFail(qPrintable(QStringLiteral("write %1 failed and the file changed:\n").arg(n)
                                    + diff.join(QLatin1Char('\n'))),
                         __FILE__, __LINE__);
            return -1;
        }
        if (db.inTransaction()) {
            QTest::qFail(qPrintable(QStringLiteral("write %1 failed and a transaction was left open").arg(n)),
                         __FILE__, __LINE__);
            return -1;
        }
        if (check)
            check(n);
    }
    return -1;
}

} // namespace rp::test
