#include "data/Database.h"

#include "data/Schema.h"

#include <QAtomicInt>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace rp {

namespace {

QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("rosterpad-%1").arg(counter.fetchAndAddRelaxed(1));
}

// What the operator is told for the engine's failures that have a cause outside the program.
QString causeText(int code)
{
    switch (code & 0xff) {
    case 5:   // busy
    case 6:   // locked
        return QStringLiteral("データベースファイルが他のプログラムで使用中のため、書き込めませんでした。");
    case 8:
        return QStringLiteral("データベースファイルが読み取り専用のため、書き込めませんでした。");
    case 10:
        return QStringLiteral("データベースファイルの読み書きに失敗しました。");
    case 11:
        return QStringLiteral("データベースファイルが壊れています。");
    case 13:
        return QStringLiteral("ディスクの空き容量が足りないため、書き込めませんでした。");
    case 14:
        return QStringLiteral("データベースファイルを開けませんでした。");
    case 19:
        return QStringLiteral("保存できない値が含まれています。");
    case 26:
        return QStringLiteral("データベースファイルではありません。");
    default:
        return QString();
    }
}

// Some failures reach us through the driver without the engine's code, only with its text.
int codeFromText(const QString &text)
{
    static const struct { const char *text; int code; } known[] = {
        {"database or disk is full", 13}, {"database is locked", 5}, {"database table is locked", 6},
        {"attempt to write a readonly database", 8}, {"disk I/O error", 10},
        {"database disk image is malformed", 11}, {"file is not a database", 26}, {"unable to open database", 14},
    };
    for (const auto &k : known)
        if (text.contains(QLatin1String(k.text), Qt::CaseInsensitive))
            return k.code;
    return 0;
}

// PostgreSQL reports a five-character state; the causes the operator is told map onto SQLite's codes,
// so that a refused value or a full disk reads the same on both engines.
AppError toServerError(const QSqlError &error)
{
    const QString state = error.nativeErrorCode();
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    int number = 0;
    if (state.startsWith(QLatin1String("23")))
        number = 19;
    else if (state == QLatin1String("53100"))
        number = 13;
    else if (state == QLatin1String("25006"))
        number = 8;
    QString cause = number ? causeText(number) : QString();
    if (state == QLatin1String("42501")) {
        number = 3033;
        cause = QStringLiteral("権限がありません。");
    } else if (ConnectionWasLost(text, state) || error.type() == QSqlError::ConnectionError
               || state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P"))) {
        // The engine's own text alone: the connection names the server and the cause (Database::lost).
        return AppError(Database::ServerProblem, text.trimmed());
    }
    if (number == 0)
        number = int(error.type()) + 3000;
    if (!cause.isEmpty())
        text = cause + QStringLiteral(" (") + text.trimmed() + QLatin1Char(')');
    return AppError(number, text);
}

AppError toError(const QSqlError &error, const QSqlDatabase &db = QSqlDatabase())
{
    if (db.driverName() == QLatin1String("QPSQL"))
        return toServerError(error);
    bool ok = false;
    int number = error.nativeErrorCode().toInt(&ok);
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    if (!ok) {
        number = codeFromText(text);
        ok = number != 0;
    }
    if (!ok)
        number = int(error.type()) + 3000;
    const QString cause = ok ? causeText(number) : QString();
    if (!cause.isEmpty())
        text = cause + QStringLiteral(" (") + text + QLatin1Char(')');
    return AppError(number, text);
}

constexpr int FullDiskCode = 13;

QSqlQuery prepared(const QSqlDatabase &db, const QString &sql, const QVariantList &binds)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // PostgreSQL prepares only queries and data changes, not DDL: a statement without values is sent as it is.
    if (binds.isEmpty() && db.driverName() == QLatin1String("QPSQL")) {
        if (!query.exec(sql))
            throw toError(query.lastError(), db);
        return query;
    }
    if (!query.prepare(sql))
        throw toError(query.lastError(), db);
    for (const QVariant &value : binds)
        query.addBindValue(value);
    if (!query.exec())
        throw toError(query.lastError(), db);
    return query;
}

// Opens a short-lived connection on path, runs body, and always removes the connection again.
template<typename Body>
void withConnection(const QString &path, const QString &options, Body body)
{
    const QString name = nextConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(options);
        try {
            if (!db.open())
                throw toError(db.lastError());
            body(db);
        } catch (...) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            throw;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

Database::Database() : m_connection(nextConnectionName()) {}

Database::~Database()
{
    close();
}

void Database::createFile(const QString &path)
{
    if (QFileInfo::exists(path))
        throw AppError(3204, QStringLiteral("データベースは既に存在します。: ") + path);
    withConnection(path, QString(), [](QSqlDatabase &db) {
        for (const QString &sql : PermanentTablesSql(Engine::SQLite) + QStringList{CreateChargeTableSql(Engine::SQLite), CreateNgTableSql(Engine::SQLite)} + IndexesSql()) {
            QSqlQuery query(db);
            if (!query.exec(sql))
                throw toError(query.lastError());
        }
    });
}

void Database::checkFile(const QString &path)
{
    checkSchema(path);
    checkIntegrity(path);
}

void Database::checkIntegrity(const QString &path)
{
    // Read-write, so that a journal left by a power cut is rolled back before the file is judged.
    withConnection(path, QString(), [&path](QSqlDatabase &db) {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("PRAGMA quick_check;")))
            throw AppError(AppError::NotADatabase,
                           QStringLiteral("データベースとして開けません (") + query.lastError().databaseText()
                               + QStringLiteral("): ") + path);
        if (!query.next() || query.value(0).toString() != QLatin1String("ok"))
            throw AppError(AppError::NotADatabase, QStringLiteral("データベースが壊れています。: ") + path);
    });
}

QStringList Database::sideFiles(const QString &path)
{
    return {path + QStringLiteral("-journal"), path + QStringLiteral("-wal"), path + QStringLiteral("-shm")};
}

bool Database::holdsData(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    bool any = false;
    try {
        withConnection(path, QStringLiteral("QSQLITE_OPEN_READONLY"), [&any](QSqlDatabase &db) {
            QSqlQuery query(db);
            any = query.exec(QStringLiteral("SELECT CASE WHEN EXISTS(SELECT 1 FROM \"顧客\") OR EXISTS(SELECT 1 FROM \"店舗\") "
                                            "OR EXISTS(SELECT 1 FROM \"コンパニオン\") OR EXISTS(SELECT 1 FROM \"履歴\") "
                                            "THEN 1 ELSE 0 END;"))
                && query.next() && query.value(0).toInt() == 1;
        });
    } catch (const AppError &) {
        return false;
    }
    return any;
}

std::optional<qint64> Database::bookingCount(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    std::optional<qint64> count;
    try {
        withConnection(path, QStringLiteral("QSQLITE_OPEN_READONLY"), [&count](QSqlDatabase &db) {
            QSqlQuery query(db);
            if (query.exec(QStringLiteral("SELECT count(*) FROM \"履歴\";")) && query.next())
                count = query.value(0).toLongLong();
        });
    } catch (const AppError &) {
        return std::nullopt;
    }
    return count;
}

void Database::whileReadLocked(const QString &path, const std::function<void()> &body)
{
    withConnection(path, QString(), [&body](QSqlDatabase &db) {
        QSqlQuery lock(db);
        if (!lock.exec(QStringLiteral("BEGIN;")) || !lock.exec(QStringLiteral("SELECT count(*) FROM sqlite_master;")))
            throw toError(lock.lastError());
        lock.finish();
        try {
            body();
        } catch (...) {
            lock.exec(QStringLiteral("COMMIT;"));
            throw;
        }
        lock.exec(QStringLiteral("COMMIT;"));
    });
}

void Database::checkSchema(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw AppError(AppError::PathFileAccess,
                       QStringLiteral("データベースファイルの場所にフォルダーがあります。: ") + path);
    if (!info.isFile())
        throw AppError(AppError::FileNotFound, QStringLiteral("ファイルが見つかりません。: ") + path);
    if (info.size() == 0)
        throw AppError(AppError::NotADatabase, QStringLiteral("データベースファイルが空です。: ") + path);
    // Read-write, although nothing is written: a journal left by a crash inside a commit can only be
    // rolled back by a connection that may write, and a read-only one would refuse the intact file.
    withConnection(path, QString(), [&path](QSqlDatabase &db) {
        for (const TableDef *table : {&CustomerTable(), &ShopTable(), &CompanionTable(), &HistoryTable()}) {
            QSqlQuery query(db);
            if (!query.exec(QStringLiteral("PRAGMA table_info(\"") + table->name + QStringLiteral("\");")))
                throw AppError(AppError::NotADatabase,
                               QStringLiteral("データベースとして開けません (") + query.lastError().databaseText()
                                   + QStringLiteral("): ") + path);
            QStringList present;
            while (query.next())
                present << query.value(1).toString();
            if (present.isEmpty())
                throw AppError(AppError::NotADatabase,
                               QStringLiteral("このプログラムのデータベースではありません (テーブル ") + table->name
                                   + QStringLiteral(" がありません): ") + path);
            for (const ColumnDef &column : table->columns)
                if (!present.contains(column.name))
                    throw AppError(AppError::NotADatabase,
                                   QStringLiteral("このプログラムのデータベースではありません (") + table->name
                                       + QStringLiteral(".") + column.name + QStringLiteral(" がありません): ") + path);
        }
    });
}

void Database::open(const QString &path)
{
    close();
    if (!QFileInfo(path).isFile())
        throw AppError(AppError::FileNotFound, QStringLiteral("ファイルが見つかりません。: ") + path);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(path);
    if (!db.open()) {
        const AppError error = toError(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
        throw error;
    }
    m_path = path;
    m_engine = Engine::SQLite;
    try {
        // Reading the catalogue is where SQLite notices a file that is not a database.
        QSqlQuery probe = prepared(db, QStringLiteral("SELECT count(*) FROM sqlite_master;"), {});
        probe.finish();
        // Ten years of history do not fit the engine's default 2 MB page cache: a long visit history
        // would be read from the file page by page on every lookup.
        prepared(db, QStringLiteral("PRAGMA cache_size=-65536;"), {}).finish();
        // Ten years of bookings stay quick to search; a file from elsewhere gets its indexes once, and a
        // file from before the charge lines were kept gets their table.
        if (tableExists(QStringLiteral("履歴")) && tableExists(QStringLiteral("顧客"))) {
            if (!tableExists(ChargeTable().name))
                exec(CreateChargeTableSql(m_engine));
            if (!tableExists(NgTable().name))
                exec(CreateNgTableSql(m_engine));
            for (const QString &sql : IndexesSql(m_engine))
                exec(sql);
        }
    } catch (...) {
        close();
        throw;
    }
}

void Database::openServer(const ConnectionSettings &settings, int timeoutSeconds)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connection);
    db.setHostName(settings.host);
    db.setPort(settings.port);
    db.setDatabaseName(settings.name);
    db.setUserName(settings.user);
    // No password here: the client library reads PostgreSQL's password file itself. Keep-alives find a
    // cut line within seconds rather than the system's two hours.
    db.setConnectOptions(QStringLiteral("connect_timeout=%1;application_name=rosterpad;"
                                        "keepalives_idle=10;keepalives_interval=3;keepalives_count=3;"
                                        "options=-cclient_min_messages=warning")
                             .arg(timeoutSeconds));
    if (!db.open()) {
        const QSqlError error = db.lastError();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
        throw AppError(ServerProblem, ServerProblemText(settings, error.databaseText().isEmpty() ? error.text()
                                                                                                   : error.databaseText(),
                                                        error.nativeErrorCode()));
    }
}

void Database::connect(const ConnectionSettings &settings)
{
    close();
    openServer(settings, 10);
    m_engine = Engine::PostgreSQL;
    m_settings = settings;
    m_path = settings.server();
    m_lost = false;
    try {
        ensureSchema();
    } catch (...) {
        close();
        throw;
    }
}

void Database::reconnect()
{
    if (m_engine != Engine::PostgreSQL || !m_lost || m_inTransaction)
        return;
    // A server that is still away is asked again after a pause, not at every statement of a handler.
    if (m_lastAttempt.isValid() && m_lastAttempt.elapsed() < 1000 && m_lastAttemptError)
        throw *m_lastAttemptError;
    m_lastAttempt.start();
    if (QSqlDatabase::contains(m_connection)) {
        {
            QSqlDatabase old = QSqlDatabase::database(m_connection, false);
            old.close();
        }
        QSqlDatabase::removeDatabase(m_connection);
    }
    try {
        openServer(m_settings, 3);
    } catch (const AppError &error) {
        m_lastAttemptError = error;
        throw;
    }
    m_lastAttemptError.reset();
    m_lost = false;
    if (m_onReconnected)
        m_onReconnected();
}

void Database::setConnectionListener(std::function<void(const QString &)> lost, std::function<void()> reconnected)
{
    m_onLost = std::move(lost);
    m_onReconnected = std::move(reconnected);
}

bool Database::connectionGone()
{
    // The server answers a refused statement with a state of its own; a connection that went away
    // while nobody talked to it (its last words read by the notice socket) fails the next statement
    // without one. One trivial statement tells the two apart.
    QSqlQuery probe(handle());
    if (probe.exec(QStringLiteral("SELECT 1")))
        return false;
    const QSqlError error = probe.lastError();
    return error.nativeErrorCode().isEmpty() || ConnectionWasLost(error.text(), error.nativeErrorCode());
}

AppError Database::noteFailure(const AppError &error)
{
    if (m_engine != Engine::PostgreSQL)
        return error;
    if (error.number() != ServerProblem && !connectionGone())
        return error;
    // Whatever this connection had open is gone with it: the transaction was rolled back by the server.
    m_inTransaction = false;
    const bool first = !m_lost;
    m_lost = true;
    const AppError told(ServerProblem, ServerProblemText(m_settings, error.description(), QStringLiteral("08006")));
    if (first && m_onLost)
        m_onLost(told.description());
    return told;
}

QSqlQuery Database::run(const QString &sql, const QVariantList &binds)
{
    ensureConnected();
    try {
        return prepared(handle(), sql, binds);
    } catch (const AppError &error) {
        throw noteFailure(error);
    }
}

void Database::ensureConnected()
{
    if (!m_lost)
        return;
    if (m_inTransaction)
        throw AppError(ServerProblem, ServerProblemText(m_settings, QString(), QStringLiteral("08006")));
    reconnect();
}

void Database::ensureSchema()
{
    const TableDef *permanent[] = {&CustomerTable(), &ShopTable(), &CompanionTable(), &HistoryTable()};
    // Any failure here is the server's or the rights': told with the server's name, and nothing is kept.
    const auto serverProblem = [this](const AppError &error, const QString &state) {
        return AppError(ServerProblem, ServerProblemText(m_settings, error.description(), state));
    };
    try {
        int present = 0;
        for (const TableDef *table : permanent)
            present += tableExists(table->name) ? 1 : 0;
        if (present == 0) {
            // An empty database: the permanent tables, as an empty folder gets its file.
            atomic([&] {
                for (const QString &sql : PermanentTablesSql(m_engine) + QStringList{CreateChargeTableSql(m_engine), CreateNgTableSql(m_engine)} + IndexesSql(m_engine))
                    exec(sql);
                ensureChangeNotices();
            });
            return;
        }
        for (const TableDef *table : permanent) {
            const Rows columns = rows(QStringLiteral("SELECT column_name FROM information_schema.columns "
                                                     "WHERE table_schema=current_schema() AND table_name=?;"),
                                      {table->name});
            QStringList names;
            for (const Row &row : columns)
                names << row.value(0).toString();
            for (const ColumnDef &column : table->columns)
                if (!names.contains(column.name))
                    throw AppError(AppError::NotADatabase,
                                   QStringLiteral("このプログラムのデータベースではありません (") + table->name
                                       + QStringLiteral(".") + column.name + QStringLiteral(" がありません): ") + m_path);
            // Reading every table is where missing rights show.
            scalar(QStringLiteral("SELECT count(*) FROM ") + QuotedName(table->name) + QStringLiteral(" WHERE 1=0;"));
        }
        // A database from before the charge lines were kept gets their table.
        atomic([&] {
            if (!tableExists(ChargeTable().name))
                exec(CreateChargeTableSql(m_engine));
            if (!tableExists(NgTable().name))
                exec(CreateNgTableSql(m_engine));
            for (const QString &sql : IndexesSql(m_engine))
                exec(sql);
            // A database from before the PCs were told of each other's changes gets its triggers.
            ensureChangeNotices();
        });
    } catch (const AppError &error) {
        if (error.number() == AppError::NotADatabase)
            throw;
        throw serverProblem(error, error.number() == 3033 ? QStringLiteral("42501") : QString());
    }
}

void Database::ensureChangeNotices()
{
    for (const QString &table : ChangeNoticeTables())
        if (tableExists(table))
            addChangeNotices(table);
}

void Database::addChangeNotices(const QString &table)
{
    if (m_engine != Engine::PostgreSQL)
        return;
    const int present = scalar(QStringLiteral("SELECT count(*) FROM pg_trigger t JOIN pg_class c ON c.oid=t.tgrelid "
                                              "WHERE c.relnamespace=current_schema()::regnamespace AND c.relname=? "
                                              "AND t.tgname LIKE 'rosterpad_notice_%';"),
                               {table})
                            .toInt();
    if (present == 3)
        return;
    atomic([&] {
        if (scalar(QStringLiteral("SELECT count(*) FROM pg_proc WHERE proname='rosterpad_notice' "
                                  "AND pronamespace=current_schema()::regnamespace;"))
                .toInt()
            == 0)
            exec(ChangeNoticeFunctionSql());
        for (const QString &sql : ChangeNoticeTriggersSql(table))
            exec(sql);
    });
}

void Database::close()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (m_inTransaction)
            db.rollback();
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_inTransaction = false;
    m_lost = false;
    m_path.clear();
    m_engine = Engine::SQLite;
}

bool Database::isOpen() const
{
    return QSqlDatabase::contains(m_connection) && QSqlDatabase::database(m_connection, false).isOpen();
}

QSqlDatabase Database::handle() const
{
    if (!QSqlDatabase::contains(m_connection))
        throw AppError(3420, QStringLiteral("データベースが開かれていません。"));
    return QSqlDatabase::database(m_connection, false);
}

void Database::failNthWrite(int n)
{
    m_failAt = n;
    m_writesSeen = 0;
}

void Database::countWrite()
{
    ++m_writesSeen;
    if (m_failAt > 0 && m_writesSeen == m_failAt)
        throw AppError(FullDiskCode, causeText(FullDiskCode) + QStringLiteral(" (injected failure)"));
}

int Database::exec(const QString &sql, const QVariantList &binds)
{
    countWrite();
    QSqlQuery query = run(sql, binds);
    return query.numRowsAffected();
}

int Database::insert(const QString &table, const QStringList &columns, const QVariantList &values)
{
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    return exec(QStringLiteral("INSERT INTO ") + QuotedName(table) + QLatin1Char('(') + Quoted(columns)
                    + QStringLiteral(") VALUES(") + marks.join(QLatin1Char(',')) + QStringLiteral(");"),
                values);
}

int Database::update(const QString &table, const QStringList &columns, const QVariantList &values,
                     const QString &keyColumn, const QVariant &key)
{
    QStringList assignments;
    for (const QString &column : columns)
        assignments << QuotedName(column) + QStringLiteral("=?");
    QVariantList binds = values;
    binds << key;
    return exec(QStringLiteral("UPDATE ") + QuotedName(table) + QStringLiteral(" SET ") + assignments.join(QLatin1Char(','))
                    + QStringLiteral(" WHERE ") + QuotedName(keyColumn) + QStringLiteral("=?;"),
                binds);
}

qint32 Database::insertReturningId(const QString &table, const QStringList &columns, const QVariantList &values,
                                   const QString &idColumn)
{
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    countWrite();
    // RETURNING: both engines give the counter's value in the statement itself.
    QSqlQuery query = run(QStringLiteral("INSERT INTO ") + QuotedName(table) + QLatin1Char('(') + Quoted(columns)
                                   + QStringLiteral(") VALUES(") + marks.join(QLatin1Char(','))
                                   + QStringLiteral(") RETURNING ") + QuotedName(idColumn) + QLatin1Char(';'),
                               values);
    if (!query.next())
        throw AppError(3000, QStringLiteral("新しい行の番号を読めませんでした。"));
    return query.value(0).toInt();
}

Rows Database::rows(const QString &sql, const QVariantList &binds)
{
    QSqlQuery query = run(sql, binds);
    Rows result;
    while (query.next())
        result.append(query.record());
    return result;
}

void Database::forEachRow(const QString &sql, const QVariantList &binds,
                          const std::function<void(const std::function<QVariant(int)> &row)> &visit)
{
    QSqlQuery query = run(sql, binds);
    const std::function<QVariant(int)> column = [&query](int i) { return query.value(i); };
    while (query.next())
        visit(column);
}

std::optional<Row> Database::first(const QString &sql, const QVariantList &binds)
{
    QSqlQuery query = run(sql, binds);
    if (!query.next())
        return std::nullopt;
    return query.record();
}

QVariant Database::scalar(const QString &sql, const QVariantList &binds)
{
    QSqlQuery query = run(sql, binds);
    return query.next() ? query.value(0) : QVariant();
}

bool Database::tableExists(const QString &table)
{
    if (m_engine == Engine::PostgreSQL)
        return scalar(QStringLiteral("SELECT count(*) FROM information_schema.tables "
                                     "WHERE table_schema=current_schema() AND table_name=?;"),
                      {table})
                   .toInt()
            > 0;
    return scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?;"), {table})
               .toInt()
        > 0;
}

void Database::beginTransaction()
{
    ensureConnected();
    QSqlDatabase db = handle();
    if (!db.transaction())
        throw noteFailure(toError(db.lastError(), db));
    m_inTransaction = true;
}

void Database::commit()
{
    QSqlDatabase db = handle();
    countWrite();
    // Through a statement rather than the driver's commit: only the statement's failure carries the
    // engine's code, which tells a full disk from a locked file.
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("COMMIT")))
        throw noteFailure(toError(query.lastError(), db));
    m_inTransaction = false;
}

void Database::rollback()
{
    QSqlDatabase db = handle();
    m_inTransaction = false;
    if (!db.rollback())
        throw noteFailure(toError(db.lastError(), db));
}

void Database::rollbackQuietly() noexcept
{
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    if (QSqlDatabase::contains(m_connection))
        QSqlDatabase::database(m_connection, false).rollback();
}

void Database::compactInto(const QString &target)
{
    if (QFileInfo::exists(target))
        throw AppError(3204, QStringLiteral("ファイルは既に存在します。: ") + target);
    if (m_engine != Engine::SQLite)
        throw AppError(3000, QStringLiteral("データベースサーバーの最適化はサーバーの管理者が行います。"));
    exec(QStringLiteral("VACUUM INTO ?;"), {target});
}

} // namespace rp
