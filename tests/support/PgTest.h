#pragma once

#include "data/Connection.h"

#include <QString>
#include <QVariant>

namespace rp::test {

// Tests that touch the store run on PostgreSQL when ROSTERPAD_TEST_PG names a server, as libpq
// keywords: "host=/tmp/rp-pg port=5432 user=postgres" (no password: trusted, or PostgreSQL's password
// file). Empty or unset: the SQLite file, as the program runs without a settings file.
bool OnPostgres();
// The server of ROSTERPAD_TEST_PG, with no database named.
ConnectionSettings TestServer();

// A fresh, empty database on the test server, dropped again (with any session still on it) when this
// object goes. Throws AppError when the server cannot be used.
class PgTestDatabase
{
public:
    PgTestDatabase();
    ~PgTestDatabase();
    PgTestDatabase(const PgTestDatabase &) = delete;
    PgTestDatabase &operator=(const PgTestDatabase &) = delete;

    ConnectionSettings settings() const { return m_settings; }
    // Runs statements as the server's administrator on this database (roles, rights).
    void administer(const QStringList &statements) const;
    // The first value of a query run as the administrator on this database.
    QVariant value(const QString &sql) const;

private:
    ConnectionSettings m_settings;
};

// Runs statements as the administrator on the server's maintenance database ("postgres").
void AdministerServer(const QStringList &statements);

} // namespace rp::test
