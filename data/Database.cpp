#include "data/Database.h"

#include "data/Schema.h"

#include <QAtomicInt>
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

AppError toError(const QSqlError &error)
{
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
    if (!query.prepare(sql))
        throw toError(query.lastError());
    for (const QVariant &value : binds)
        query.addBindValue(value);
    if (!query.exec())
        throw toError(query.lastError());
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
        for (const QString &sql : PermanentTablesSql() + QStringList{CreateChargeTableSql()} + IndexesSql()) {
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
            any = query.exec(QStringLiteral("SELECT CASE WHEN EXISTS(SELECT 1 FROM 顧客) OR EXISTS(SELECT 1 FROM 店舗) "
                                            "OR EXISTS(SELECT 1 FROM コンパニオン) OR EXISTS(SELECT 1 FROM 履歴) "
                                            "THEN 1 ELSE 0 END;"))
                && query.next() && query.value(0).toInt() == 1;
        });
    } catch (const AppError &) {
        return false;
    }
    return any;
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
                exec(CreateChargeTableSql());
            for (const QString &sql : IndexesSql())
                exec(sql);
        }
    } catch (...) {
        close();
        throw;
    }
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
    m_path.clear();
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
    QSqlQuery query = prepared(handle(), sql, binds);
    return query.numRowsAffected();
}

int Database::insert(const QString &table, const QStringList &columns, const QVariantList &values)
{
    QStringList names, marks;
    for (const QString &column : columns) {
        names << QLatin1Char('[') + column + QLatin1Char(']');
        marks << QStringLiteral("?");
    }
    return exec(QStringLiteral("INSERT INTO ") + table + QLatin1Char('(') + names.join(QLatin1Char(','))
                    + QStringLiteral(") VALUES(") + marks.join(QLatin1Char(',')) + QStringLiteral(");"),
                values);
}

Rows Database::rows(const QString &sql, const QVariantList &binds)
{
    QSqlQuery query = prepared(handle(), sql, binds);
    Rows result;
    while (query.next())
        result.append(query.record());
    return result;
}

void Database::forEachRow(const QString &sql, const QVariantList &binds,
                          const std::function<void(const std::function<QVariant(int)> &row)> &visit)
{
    QSqlQuery query = prepared(handle(), sql, binds);
    const std::function<QVariant(int)> column = [&query](int i) { return query.value(i); };
    while (query.next())
        visit(column);
}

std::optional<Row> Database::first(const QString &sql, const QVariantList &binds)
{
    QSqlQuery query = prepared(handle(), sql, binds);
    if (!query.next())
        return std::nullopt;
    return query.record();
}

QVariant Database::scalar(const QString &sql, const QVariantList &binds)
{
    QSqlQuery query = prepared(handle(), sql, binds);
    return query.next() ? query.value(0) : QVariant();
}

bool Database::tableExists(const QString &table)
{
    return scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?;"), {table})
               .toInt()
        > 0;
}

void Database::beginTransaction()
{
    QSqlDatabase db = handle();
    if (!db.transaction())
        throw toError(db.lastError());
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
        throw toError(query.lastError());
    m_inTransaction = false;
}

void Database::rollback()
{
    QSqlDatabase db = handle();
    m_inTransaction = false;
    if (!db.rollback())
        throw toError(db.lastError());
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
    exec(QStringLiteral("VACUUM INTO ?;"), {target});
}

} // namespace rp
