// The data layer's promises that every operator action builds on: all-or-nothing actions, failures told
// in the operator's language, and the judgement of a file as this program's database.
#include "data/Database.h"
#include "data/Schema.h"
#include "support/AllOrNothing.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace rp;

class DatabaseTest : public QObject
{
    Q_OBJECT
private slots:
    void atomicActionsCommitAllOrNothing();
    void aLockedFileIsToldInJapanese();
    void aFullDiskIsToldInJapaneseAtAStatementOrTheCommit();
    void onlyOurDatabaseIsAccepted_data();
    void onlyOurDatabaseIsAccepted();
};

void DatabaseTest::atomicActionsCommitAllOrNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.mdb");
    Database::createFile(path);
    Database db;
    db.open(path);
    auto action = [&] {
        try {
            db.atomic([&] {
                db.exec("INSERT INTO \"顧客\"(\"TEL\") VALUES('1');");
                db.atomic([&] { db.exec("INSERT INTO \"顧客\"(\"TEL\") VALUES('2');"); });   // joins the outer one
                db.exec("UPDATE \"顧客\" SET \"名前\"='x';");
            });
        } catch (const AppError &) {
        }
    };
    // Three statements and the commit: a failure at any of the four leaves the file as it was.
    QCOMPARE(test::ForEachFailedWrite(db, [] {}, action), 4);
    QCOMPARE(db.scalar("SELECT count(*) FROM \"顧客\" WHERE \"名前\"='x';").toInt(), 2);
}

void DatabaseTest::aLockedFileIsToldInJapanese()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.mdb");
    Database::createFile(path);
    Database db;
    db.open(path);
    db.handle().exec("PRAGMA busy_timeout=50;");
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(path);
        QVERIFY(other.open());
        QSqlQuery(other).exec("BEGIN EXCLUSIVE;");
        try {
            db.exec("INSERT INTO \"顧客\"(\"TEL\") VALUES('1');");
            QFAIL("a write to a locked file went through");
        } catch (const AppError &e) {
            QVERIFY2(e.description().startsWith("データベースファイルが他のプログラムで使用中"), qPrintable(e.description()));
        }
        QSqlQuery(other).exec("ROLLBACK;");
        other.close();
    }
    QSqlDatabase::removeDatabase("other");
}

void DatabaseTest::aFullDiskIsToldInJapaneseAtAStatementOrTheCommit()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.mdb");
    Database::createFile(path);
    Database db;
    db.open(path);
    // The file may not grow: the engine answers exactly as on a full disk.
    db.handle().exec(QStringLiteral("PRAGMA max_page_count=%1;").arg(db.scalar("PRAGMA page_count;").toInt()));
    try {
        db.atomic([&] {
            for (int i = 0; i < 2000; ++i)
                db.exec("INSERT INTO 顧客(\"TEL\",\"備考\") VALUES('1',?);", {QString(50, 'x')});
        });
        QFAIL("a write to a full file went through");
    } catch (const AppError &e) {
        QVERIFY2(e.description().startsWith("ディスクの空き容量が足りないため、書き込めませんでした。"), qPrintable(e.description()));
    }
    QVERIFY(!db.inTransaction());

    // A failure that only the commit finds carries the engine's code too, so it is told the same way.
    db.handle().exec("PRAGMA max_page_count=1000000;");
    db.handle().exec("PRAGMA foreign_keys=ON;");
    db.exec("CREATE TABLE p(id INTEGER PRIMARY KEY);");
    db.exec("CREATE TABLE c(pid INTEGER REFERENCES p(id) DEFERRABLE INITIALLY DEFERRED);");
    try {
        db.atomic([&] { db.exec("INSERT INTO c(pid) VALUES(7);"); });
        QFAIL("a commit that breaks a rule went through");
    } catch (const AppError &e) {
        QCOMPARE(e.number() & 0xff, 19);
        QVERIFY2(e.description().startsWith("保存できない値が含まれています。"), qPrintable(e.description()));
    }
    QCOMPARE(db.scalar("SELECT count(*) FROM c;").toInt(), 0);
}

void DatabaseTest::onlyOurDatabaseIsAccepted_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("expected");
    QTest::newRow("intact") << "" << "";
    QTest::newRow("empty file") << "empty" << "空";
    QTest::newRow("text file") << "text" << "データベース";
    QTest::newRow("foreign sqlite") << "foreign" << "テーブル 顧客";
    QTest::newRow("missing table") << "DROP TABLE \"履歴\";" << "テーブル 履歴";
    QTest::newRow("missing column") << "ALTER TABLE \"店舗\" DROP COLUMN \"警告時間\";" << "店舗.警告時間";
    QTest::newRow("folder") << "folder" << "フォルダー";
}

void DatabaseTest::onlyOurDatabaseIsAccepted()
{
    QFETCH(QString, damage);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath("a.mdb");
    if (damage == "empty" || damage == "text") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (damage == "text")
            f.write(QByteArray("this is not a database, just some text\n").repeated(200));
    } else if (damage == "folder") {
        QVERIFY(QDir(dir.path()).mkdir("a.mdb"));
    } else if (damage == "foreign") {
        Database db;
        QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "foreign");
        raw.setDatabaseName(path);
        QVERIFY(raw.open());
        QSqlQuery(raw).exec("CREATE TABLE notes(id INTEGER, body TEXT);");
        raw.close();
        raw = QSqlDatabase();
        QSqlDatabase::removeDatabase("foreign");
    } else {
        Database::createFile(path);
        if (!damage.isEmpty()) {
            Database db;
            db.open(path);
            db.exec(damage);
        }
    }
    try {
        Database::checkFile(path);
        QVERIFY2(expected.isEmpty(), "a file that is not ours was accepted");
    } catch (const AppError &e) {
        QVERIFY2(!expected.isEmpty() && e.description().contains(expected), qPrintable(e.description()));
    }
}

QTEST_MAIN(DatabaseTest)
#include "test_database.moc"
