#pragma once

#include "data/AppError.h"

#include <QSqlDatabase>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <QVector>
#include <optional>

namespace rp {

using Row = QSqlRecord;
using Rows = QVector<QSqlRecord>;

// The one connection to the database file. Every value reaches SQL as a bound parameter ("?");
// failures are raised as AppError with the engine's code and text.
class Database
{
public:
    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Creates a new database file with the four permanent tables. Refuses an existing file.
    static void createFile(const QString &path);
    // Throws unless the file exists and reads as an intact database of ours. Opens nothing for good.
    static void checkFile(const QString &path);

    void open(const QString &path);          // throws
    void close();
    bool isOpen() const;
    QString path() const { return m_path; }

    // Executes one statement; returns the number of rows it changed.
    int exec(const QString &sql, const QVariantList &binds = {});
    // INSERT INTO table([c1],[c2],...) VALUES(?,?,...) with one value per column.
    int insert(const QString &table, const QStringList &columns, const QVariantList &values);
    Rows rows(const QString &sql, const QVariantList &binds = {});
    std::optional<Row> first(const QString &sql, const QVariantList &binds = {});
    QVariant scalar(const QString &sql, const QVariantList &binds = {});   // null when there is no row
    bool tableExists(const QString &table);

    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

    // Writes a compacted copy of the open database to target; fails when target exists.
    void compactInto(const QString &target);

    QSqlDatabase handle() const;

private:
    QString m_connection;
    QString m_path;
    bool m_inTransaction = false;
};

} // namespace rp
