// The engine choice: no settings file is the SQLite file; rosterpad.ini naming PostgreSQL is the server,
// never a local file. A server that cannot be used is told in Japanese, with the server and the engine's
// text, and the program ends without writing anything. The server cases run in test_engine_pg.
#include "data/Connection.h"
#include "reception/StatusStore.h"
#include "support/Files.h"
#include "support/TestApp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace rp;
using rp::test::TestApp;

namespace {

bool hasFile(const QString &folder, const char *name) { return QFileInfo::exists(QDir(folder).filePath(QString::fromUtf8(name))); }

// The program started on a folder whose rosterpad.ini names settings; the one message it showed.
struct Refused
{
    QStringList messages;
    bool started = true, ended = false, localFiles = true;
};

Refused startOn(const ConnectionSettings &settings)
{
    QTemporaryDir dir;
    WriteSettings(dir.path(), settings);
    TestApp t(dir.path());
    Refused r;
    r.started = t.start();
    r.ended = t.app().finished();
    r.messages = t.prompt().messages();
    r.localFiles = hasFile(dir.path(), "rosterpad.mdb") || hasFile(dir.path(), "rosterpad.md_")
        || hasFile(dir.path(), "rosterpad.lck");
    return r;
}

QString uniqueRole(const char *what)
{
    return QStringLiteral("rosterpad_%1_%2").arg(QString::fromUtf8(what)).arg(QCoreApplication::applicationPid());
}

// A role of its own with a password, and a password file that gives passwordInFile for it.
struct PasswordRole
{
    QString name;
    QTemporaryDir dir;
    QByteArray previous = qgetenv("PGPASSFILE");

    PasswordRole(const char *what, const QString &passwordInFile) : name(uniqueRole(what))
    {
        rp::test::AdministerServer({QStringLiteral("DROP ROLE IF EXISTS %1").arg(name),
                                    QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'right-one'").arg(name)});
        const QString file = dir.filePath(QStringLiteral("pgpass"));
        rp::test::writeFile(file, QStringLiteral("*:*:*:%1:%2\n").arg(name, passwordInFile).toUtf8());
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
        qputenv("PGPASSFILE", file.toLocal8Bit());
    }
    ~PasswordRole()
    {
        qputenv("PGPASSFILE", previous);
        try {
            rp::test::AdministerServer({QStringLiteral("DROP ROLE IF EXISTS %1").arg(name)});
        } catch (const AppError &) {
        }
    }
};

} // namespace

class EngineTest : public QObject
{
    Q_OBJECT

private slots:
    // --- The settings file, read as the program reads it ---
    void settings_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<bool>("server");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no file") << QString() << false << QString();
        QTest::newRow("no engine") << "[Database]\nHost=db1\nName=rp\n" << false << QString();
        QTest::newRow("another engine") << "[Database]\nEngine=SQLite\nHost=db1\n" << false << QString();
        QTest::newRow("PostgreSQL, default port") << "[Database]\nEngine=PostgreSQL\nHost=db1\nName=rp\nUser=uke\n" << true
                                                  << "db1:5432/rp";
        QTest::newRow("port and password ignored") << "[Database]\nEngine=PostgreSQL\nHost=10.0.0.5\nPort=6543\nName=agency\n"
                                                      "User=uke\nPassword=secret\n"
                                                   << true << "10.0.0.5:6543/agency";
    }
    void settings()
    {
        QFETCH(QString, ini);
        QFETCH(bool, server);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        if (!ini.isNull())
            rp::test::writeFile(dir.filePath(SettingsFileName()), ini.toUtf8());
        const ConnectionSettings s = ReadSettings(dir.path());
        QCOMPARE(s.engine == Engine::PostgreSQL, server);
        if (server) {
            QCOMPARE(s.server(), shown);
            QCOMPARE(s.user, QStringLiteral("uke"));
        }
    }

    // --- What the operator is told ---
    void problemText_data()
    {
        QTest::addColumn<QString>("engineText");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("cause");
        QTest::newRow("refused") << "connection to server at \"db1\" (10.0.0.5), port 5432 failed: Connection refused"
                                 << QString() << "サーバーに接続できません。";
        QTest::newRow("no socket") << "connection to server on socket \"/x/.s.PGSQL.5432\" failed: No such file or directory"
                                   << QString() << "サーバーに接続できません。";
        QTest::newRow("password") << "FATAL:  password authentication failed for user \"uke\"" << QString()
                                  << "パスワードが違います。";
        QTest::newRow("no password") << "fe_sendauth: no password supplied" << QString() << "パスワードが違います。";
        QTest::newRow("rights") << "ERROR:  permission denied for schema public" << "42501" << "権限がありません。";
        QTest::newRow("no database") << "FATAL:  database \"rp\" does not exist" << QString() << "データベースがありません。";
    }
    void problemText()
    {
        QFETCH(QString, engineText);
        QFETCH(QString, state);
        QFETCH(QString, cause);
        ConnectionSettings s;
        s.host = QStringLiteral("db1");
        s.name = QStringLiteral("rp");
        const QString text = ServerProblemText(s, engineText, state);
        QVERIFY2(text.startsWith(cause), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("db1:5432/rp")));
        QVERIFY(text.endsWith(engineText));
    }

    // An INI that does not name PostgreSQL leaves the program on its file beside it.
    void iniWithoutEngineIsTheFile()
    {
        QTemporaryDir dir;
        rp::test::writeFile(dir.filePath(SettingsFileName()), "[Database]\nHost=db1\n");
        TestApp t(dir.path());
        QVERIFY(t.start());
        QCOMPARE(t.db().engine(), Engine::SQLite);
        QVERIFY(hasFile(dir.path(), "rosterpad.mdb"));
        QVERIFY(t.close());
    }

    // --- On the server (test_engine_pg) ---

    // An empty database gets the tables, as an empty folder gets its file; nothing is written beside the program.
    void emptyDatabaseGetsTheSchema()
    {
        if (!rp::test::OnPostgres())
            QSKIP("needs ROSTERPAD_TEST_PG");
        TestApp t;
        QVERIFY(t.start());
        QCOMPARE(t.db().engine(), Engine::PostgreSQL);
        for (const char *table : {"顧客", "店舗", "コンパニオン", "履歴", "現在状況"})
            QVERIFY2(t.db().tableExists(QString::fromUtf8(table)), table);
        QVERIFY(t.prompt().messages().isEmpty());
        QVERIFY(!hasFile(t.folder(), "rosterpad.mdb"));
        QVERIFY(!hasFile(t.folder(), "rosterpad.lck"));
        const qint32 shop = t.addShop(QStringLiteral("Ａ店"));
        QVERIFY(shop > 0);
        QVERIFY(t.close());

        // The second start reads what the first one stored.
        auto again = t.restart();
        QVERIFY(again->start());
        QCOMPARE(again->module().ShopCount, 1);
        QVERIFY(!hasFile(t.folder(), "rosterpad.md_"));
        QVERIFY(again->close());
    }

    void unusableServer_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("cause");
        QTest::newRow("unreachable") << "host" << "サーバーに接続できません。";
        QTest::newRow("wrong password") << "password" << "パスワードが違います。";
        QTest::newRow("missing rights") << "rights" << "権限がありません。";
    }
    void unusableServer()
    {
        if (!rp::test::OnPostgres())
            QSKIP("needs ROSTERPAD_TEST_PG");
        QFETCH(QString, kind);
        QFETCH(QString, cause);
        rp::test::PgTestDatabase database;
        ConnectionSettings s = database.settings();
        std::unique_ptr<PasswordRole> role;
        if (kind == QLatin1String("host")) {
            s.host = QDir::tempPath() + QStringLiteral("/rosterpad-no-server-here");
        } else {
            role = std::make_unique<PasswordRole>(kind == QLatin1String("password") ? "pw" : "rights",
                                                  kind == QLatin1String("password") ? QStringLiteral("wrong-one")
                                                                                   : QStringLiteral("right-one"));
            s.user = role->name;
        }
        const Refused r = startOn(s);
        QVERIFY(!r.started);
        QVERIFY(r.ended);
        QVERIFY(!r.localFiles);
        QCOMPARE(r.messages.size(), 1);
        QVERIFY2(r.messages.first().contains(cause), qPrintable(r.messages.first()));
        QVERIFY2(r.messages.first().contains(s.server()), qPrintable(r.messages.first()));
        // Nothing was created on the server either.
        QCOMPARE(database.value(QStringLiteral("SELECT count(*) FROM information_schema.tables WHERE table_schema='public'")).toInt(), 0);
    }
};

QTEST_MAIN(EngineTest)
#include "test_engine.moc"
