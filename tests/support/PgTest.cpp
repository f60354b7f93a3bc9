#include "support/PgTest.h"

#include "data/AppError.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace rp::test {

namespace {

QString variable() { return qEnvironmentVariable("ROSTERPAD_TEST_PG").trimmed(); }

QVariant runAs(const ConnectionSettings &s, const QString &database, const QStringList &statements)
{
    QVariant last;
    static QAtomicInt counter;
    const QString name = QStringLiteral("rosterpad-test-admin-%1").arg(counter.fetchAndAddRelaxed(1));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(s.host);
        db.setPort(s.port);
        db.setUserName(s.user);
        db.setDatabaseName(database);
        db.setConnectOptions(QStringLiteral("options=-cclient_min_messages=warning"));
        QString failure;
        if (!db.open()) {
            failure = db.lastError().text();
        } else {
            for (const QString &sql : statements) {
                QSqlQuery query(db);
                if (!query.exec(sql)) {
                    failure = sql + QStringLiteral(": ") + query.lastError().text();
                    break;
                }
                last = query.next() ? query.value(0) : QVariant();
            }
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        if (!failure.isEmpty())
            throw AppError(3000, QStringLiteral("test server: ") + failure);
    }
    return last;
}

} // namespace

bool OnPostgres() { return !variable().isEmpty(); }

ConnectionSettings TestServer()
{
    ConnectionSettings s;
    s.engine = Engine::PostgreSQL;
    for (const QString &pair : variable().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString key = pair.section(QLatin1Char('='), 0, 0);
        const QString value = pair.section(QLatin1Char('='), 1);
        if (key == QLatin1String("host"))
            s.host = value;
        else if (key == QLatin1String("port"))
            s.port = value.toInt();
        else if (key == QLatin1String("user"))
            s.user = value;
    }
    return s;
}

void AdministerServer(const QStringList &statements) { runAs(TestServer(), QStringLiteral("postgres"), statements); }

PgTestDatabase::PgTestDatabase() : m_settings(TestServer())
{
    static QAtomicInt counter;
    m_settings.name = QStringLiteral("rosterpad_test_%1_%2_%3")
                          .arg(QCoreApplication::applicationPid())
                          .arg(counter.fetchAndAddRelaxed(1))
                          .arg(QRandomGenerator::global()->generate() % 100000);
    AdministerServer({QStringLiteral("CREATE DATABASE \"%1\"").arg(m_settings.name)});
}

PgTestDatabase::~PgTestDatabase()
{
    try {
        AdministerServer({QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(m_settings.name)});
    } catch (const AppError &error) {
        qWarning("%s", error.what());
    }
}

void PgTestDatabase::administer(const QStringList &statements) const
{
    runAs(m_settings, m_settings.name, statements);
}

QVariant PgTestDatabase::value(const QString &sql) const { return runAs(m_settings, m_settings.name, {sql}); }

} // namespace rp::test
