#pragma once

#include "data/AppError.h"
#include "data/Connection.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <optional>

namespace rp {

using Row = QSqlRecord;
using Rows = QVector<QSqlRecord>;

// The one connection to the database: the SQLite file beside the program, or a PostgreSQL database.
// Every value reaches SQL as a bound parameter ("?"); failures are raised as AppError with the engine's
// code and text. What is one engine's own (file checks, pragmas, the catalogue, compaction) stays in here.
class Database
{
public:
    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Creates a new database file with the four permanent tables. Refuses an existing file.
    static void createFile(const QString &path);
    // Throws unless the file exists and reads as an intact database of ours: the engine finds no damage
    // and the four permanent tables are there with every column. Opens nothing for good.
    static void checkFile(const QString &path);
    // True when the file holds any customer, shop, companion or booking (false for a new, empty file
    // and for a file that cannot be read).
    static bool holdsData(const QString &path);
    // The number of bookings (履歴 rows) in a database file that is not open; nullopt when unreadable.
    static std::optional<qint64> bookingCount(const QString &path);
    // Runs body while a read transaction keeps every writer out of the file; a journal left by a power
    // cut is rolled back first. Throws when the file cannot be read.
    static void whileReadLocked(const QString &path, const std::function<void()> &body);
    // The cheap half of checkFile: a database whose permanent tables have their columns. Throws otherwise.
    static void checkSchema(const QString &path);
    // The costly half: the engine reads every page and finds no damage. Throws otherwise.
    static void checkIntegrity(const QString &path);
    // The files the engine keeps beside a database file while it writes (journal, write-ahead log and
    // its index). Left behind by a crash, they belong to that file alone.
    static QStringList sideFiles(const QString &path);

    void open(const QString &path);          // the SQLite file; throws
    // The PostgreSQL database of settings; an empty one gets the permanent tables. A server that cannot
    // be reached or used throws AppError(ServerProblem) with the operator's message; nothing is written then.
    void connect(const ConnectionSettings &settings);
    void close();
    bool isOpen() const;

    // A server that went away (restarted, stopped, line cut): the failing statement raises ServerProblem
    // with the operator's message naming the server and the cause, the transaction is gone, and the
    // connection counts as lost. The next statement outside a transaction opens it again first, as does
    // reconnect(); a server still away is asked at most once a second.
    bool connectionLost() const { return m_lost; }
    void reconnect();
    // Told when the connection is found lost, and when it was opened again (before the statement that
    // opened it runs). One listener: the change feed, which subscribes again.
    void setConnectionListener(std::function<void(const QString &message)> lost, std::function<void()> reconnected);
    // The server's change notices on table (PostgreSQL; nothing on SQLite): its triggers, added when
    // missing. The permanent tables get them with the schema and on opening; 現在状況 when it is made.
    void addChangeNotices(const QString &table);
    ConnectionSettings settings() const { return m_settings; }
    QString path() const { return m_path; }   // the file, or the server as "host:port/name"
    Engine engine() const { return m_engine; }
    static constexpr int ServerProblem = 3151;

    // Executes one statement; returns the number of rows it changed.
    int exec(const QString &sql, const QVariantList &binds = {});
    // INSERT INTO "table"("c1","c2",...) VALUES(?,?,...) with one value per column.
    int insert(const QString &table, const QStringList &columns, const QVariantList &values);
    // UPDATE "table" SET "c1"=?,"c2"=?,... WHERE "keyColumn"=? with one value per column, then the key.
    int update(const QString &table, const QStringList &columns, const QVariantList &values, const QString &keyColumn,
               const QVariant &key);
    // The same insert; returns the value the engine gave the new row's counter column idColumn.
    qint32 insertReturningId(const QString &table, const QStringList &columns, const QVariantList &values,
                             const QString &idColumn);
    Rows rows(const QString &sql, const QVariantList &binds = {});
    // Visits the rows in order without copying them; row(i) is the i-th column of the current row.
    void forEachRow(const QString &sql, const QVariantList &binds,
                    const std::function<void(const std::function<QVariant(int)> &row)> &visit);
    std::optional<Row> first(const QString &sql, const QVariantList &binds = {});
    QVariant scalar(const QString &sql, const QVariantList &binds = {});   // null when there is no row
    bool tableExists(const QString &table);

    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

    // Runs one operator action as one transaction: every write of body reaches the file at once, or
    // none does. Called inside another atomic action it joins that one. A failure rolls back and is
    // raised again to the caller, which reports it.
    template<typename Body>
    void atomic(Body &&body)
    {
        if (m_inTransaction) {
            body();
            return;
        }
        beginTransaction();
        try {
            body();
            commit();
        } catch (...) {
            rollbackQuietly();
            throw;
        }
    }
    // Rolls back if a transaction is open; never throws.
    void rollbackQuietly() noexcept;

    // For tests: the n-th write from now on (statement or commit, counted from 1) fails as a full disk
    // would; 0 turns it off. writesSeen() counts the writes since the last call.
    void failNthWrite(int n);
    int writesSeen() const { return m_writesSeen; }

    // Writes a compacted copy of the open database to target; fails when target exists. SQLite only.
    void compactInto(const QString &target);

    QSqlDatabase handle() const;

private:
    void countWrite();
    void openServer(const ConnectionSettings &settings, int timeoutSeconds);
    void ensureConnected();
    AppError noteFailure(const AppError &error);
    bool connectionGone();
    QSqlQuery run(const QString &sql, const QVariantList &binds);

    void ensureSchema();
    void ensureChangeNotices();

    QString m_connection;
    QString m_path;
    Engine m_engine = Engine::SQLite;
    ConnectionSettings m_settings;
    bool m_inTransaction = false;
    int m_failAt = 0;
    bool m_lost = false;
    QElapsedTimer m_lastAttempt;
    std::optional<AppError> m_lastAttemptError;
    std::function<void(const QString &)> m_onLost;
    std::function<void()> m_onReconnected;
    int m_writesSeen = 0;
};

} // namespace rp
