// What start-up does with files it cannot use, with a second copy of the program and with the
// system ending the program: the last good start-up backup is never lost, and every end is clean.
#include "app/frmSplash.h"
#include "data/Schema.h"
#include "support/Files.h"
#include "support/TestApp.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

using namespace rp;
using rp::test::TestApp;

using rp::test::readAll;
using rp::test::writeFile;

namespace {

// A database of ours holding the given shops (and, for a bigger file, many customers).
void makeFile(const QString &path, const QStringList &shops, int customers = 0)
{
    Database::createFile(path);
    Database db;
    db.open(path);
    db.atomic([&] {
        for (const QString &name : shops)
            db.exec("INSERT INTO \"店舗\"(\"店舗名\") VALUES(?);", {name});
        for (int c = 0; c < customers; ++c)
            db.exec("INSERT INTO \"顧客\"(\"名前\",\"TEL\",\"備考\") VALUES(?,?,?);",
                    {QString("顧客%1").arg(c), QString("090%1").arg(c, 8, 10, QChar('0')), QString(20, QChar(0x78))});
    });
}

// Makes path what the row names: a file this program cannot use.
void makeUnusable(const QString &path, const QString &kind)
{
    if (kind == "empty") {
        writeFile(path, {});
    } else if (kind == "folder") {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == "foreign") {
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "foreign");
            raw.setDatabaseName(path);
            QVERIFY(raw.open());
            QSqlQuery(raw).exec("CREATE TABLE notes(id INTEGER, body TEXT);");
            raw.close();
        }
        QSqlDatabase::removeDatabase("foreign");
    } else if (kind == "damaged") {
        // Intact catalogue, a data page in the middle overwritten: only reading every page shows it.
        makeFile(path, {"本店"}, 3000);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.size() > 40 * 4096);
        f.seek(f.size() / 2 / 4096 * 4096);
        f.write(QByteArray(4096, '\x5a'));
    } else {
        makeFile(path, {});
        Database db;
        db.open(path);
        db.exec(kind);
    }
}

} // namespace

class StartupSafetyTest : public QObject
{
    Q_OBJECT
private slots:
    void unusableFileIsReportedAndTheBackupKept_data();
    void unusableFileIsReportedAndTheBackupKept();
    void missingFileOffersTheBackup_data();
    void missingFileOffersTheBackup();
    void failedCopyStartsAnywayAndKeepsTheBackup_data();
    void failedCopyStartsAnywayAndKeepsTheBackup();
    void secondCopyInTheSameFolderRefusesToStart();
    void terminationEndsStartupCleanly_data();
    void terminationEndsStartupCleanly();
    void terminationDuringTheExitQuestionKeepsTheDutyState();
    void terminationDuringTheBackupNoticeEndsTheProgram();
};

void StartupSafetyTest::unusableFileIsReportedAndTheBackupKept_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("told");
    QTest::newRow("empty") << "empty" << "データベースファイルが空です。";
    QTest::newRow("foreign sqlite") << "foreign" << "テーブル 顧客 がありません";
    QTest::newRow("missing table") << "DROP TABLE \"履歴\";" << "テーブル 履歴 がありません";
    QTest::newRow("missing column") << "ALTER TABLE \"顧客\" DROP COLUMN \"備考\";" << "顧客.備考 がありません";
    QTest::newRow("folder in place") << "folder" << "データベースファイルの場所にフォルダーがあります。";
    QTest::newRow("damaged page") << "damaged" << "データベースが壊れています。";
}

void StartupSafetyTest::unusableFileIsReportedAndTheBackupKept()
{
    QFETCH(QString, kind);
    QFETCH(QString, told);
    QTemporaryDir dir;
    const QString db = dir.path() + "/rosterpad.mdb";
    const QString backup = dir.path() + "/rosterpad.md_";
    makeFile(backup, {"前回の店"});
    const QByteArray good = readAll(backup);
    makeUnusable(db, kind);

    TestApp t(dir.path());
    const bool started = t.start();
    // Damage in a page may be found only after the board is up; everything else stops start-up.
    if (kind != "damaged")
        QVERIFY(!started);
    QCOMPARE(t.prompt().messages().size(), 1);
    QVERIFY2(t.prompt().lastMessage().startsWith("Error!!  ") && t.prompt().lastMessage().contains(told),
             qPrintable(t.prompt().lastMessage()));
    QVERIFY(!t.prompt().lastMessage().contains("見つかりません"));
    QCOMPARE(readAll(backup), good);
    QVERIFY(!QFile::exists(backup + ".tmp"));
    QVERIFY(t.board().isVisible());

    // Closing says nothing more and leaves both files as they were.
    const QByteArray unusable = readAll(db);
    QVERIFY(t.close());
    QCOMPARE(t.prompt().messages().size(), 1);
    QCOMPARE(readAll(backup), good);
    if (kind != "damaged")
        QCOMPARE(readAll(db), unusable);
}

void StartupSafetyTest::missingFileOffersTheBackup_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("started");
    QTest::addColumn<QStringList>("shops");   // what the board offers; empty with no file made
    QTest::newRow("yes: restored") << int(Answer::Yes) << true << QStringList{"前回の店"};
    QTest::newRow("no: new empty file") << int(Answer::No) << true << QStringList{};
    QTest::newRow("cancel: ends") << int(Answer::Cancel) << false << QStringList{};
}

void StartupSafetyTest::missingFileOffersTheBackup()
{
    QFETCH(int, answer);
    QFETCH(bool, started);
    QFETCH(QStringList, shops);
    QTemporaryDir dir;
    const QString db = dir.path() + "/rosterpad.mdb";
    const QString backup = dir.path() + "/rosterpad.md_";
    makeFile(backup, {"前回の店"});
    const QByteArray good = readAll(backup);

    auto t = std::make_unique<TestApp>(dir.path());
    t->prompt().answer(Answer(answer));
    QCOMPARE(t->start(), started);
    QCOMPARE(t->prompt().messages(),
             QStringList{"データベースファイル rosterpad.mdb が見つかりません。\n起動時のバックアップ rosterpad.md_ から復元しますか？\n\n"
                         "［はい］バックアップから復元して起動します。\n［いいえ］新しい空のデータベースを作成して起動します。\n"
                         "［キャンセル］何もせずに終了します。"});
    QCOMPARE(t->prompt().shown().first().buttons, Buttons::YesNoCancel);
    QCOMPARE(readAll(backup), good);
    QCOMPARE(t->app().finished(), !started);
    if (!started) {
        QVERIFY(!QFile::exists(db));
        return;
    }
    QCOMPARE(t->module().ShopNames, shops);
    QVERIFY(t->close());

    // The next start refreshes the backup from a file with data, never from an empty one.
    auto next = t->restart();
    QVERIFY(next->start());
    if (shops.isEmpty()) {
        QCOMPARE(next->prompt().messages(),
                 QStringList{"rosterpad.mdb にはデータがないため、データのある起動時のバックアップ rosterpad.md_ は更新せずに残しました。"});
        QCOMPARE(readAll(backup), good);
    } else {
        QVERIFY(next->prompt().messages().isEmpty());
    }
    QVERIFY(!QFile::exists(backup + ".tmp"));
}

void StartupSafetyTest::failedCopyStartsAnywayAndKeepsTheBackup_data()
{
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<QString>("told");
    QTest::newRow("disk full") << true
                               << "ディスクの空き容量が足りないため、起動時のバックアップ rosterpad.md_ を更新できませんでした。"
                                  "以前のバックアップはそのまま残っています。";
    QTest::newRow("copy cannot be written") << false << "起動時のバックアップ rosterpad.md_ を更新できませんでした（";
}

void StartupSafetyTest::failedCopyStartsAnywayAndKeepsTheBackup()
{
    QFETCH(bool, diskFull);
    QFETCH(QString, told);
    QTemporaryDir dir;
    const QString backup = dir.path() + "/rosterpad.md_";
    makeFile(backup, {"前回の店"});
    makeFile(dir.path() + "/rosterpad.mdb", {"今の店"}, 200);
    const QByteArray good = readAll(backup);
    TestApp t(dir.path());
    if (diskFull)
        t.app().setBackupFreeSpaceLimit(16 * 1024);   // room for a few pages only
    else
        QVERIFY(QDir().mkpath(backup + ".tmp"));      // the copy's place is taken
    QVERIFY(t.start());
    QCOMPARE(t.prompt().messages().size(), 1);
    QVERIFY2(t.prompt().lastMessage().startsWith(told), qPrintable(t.prompt().lastMessage()));
    QVERIFY(t.prompt().lastMessage().endsWith("以前のバックアップはそのまま残っています。"));
    QCOMPARE(readAll(backup), good);
    QCOMPARE(QFileInfo(backup + ".tmp").isDir(), !diskFull);
    QVERIFY(!QFileInfo(backup + ".tmp").isFile());
    // The program works on its file as usual.
    QCOMPARE(t.module().ShopNames, QStringList{"今の店"});
    t.addShop("二号店");
    QVERIFY(t.close());
}

void StartupSafetyTest::secondCopyInTheSameFolderRefusesToStart()
{
    TestApp first;
    QVERIFY(first.start());
    first.addShop("本店");

    TestApp second(first.folder());
    QVERIFY(!second.start());
    QCOMPARE(second.prompt().messages(), QStringList{"rosterpad は既に起動しています。"});
    QVERIFY(second.app().finished());
    QVERIFY(!second.app().mainForm());
    // It touched nothing: no backup of the running program's file was made.
    QVERIFY(!QFile::exists(first.folder() + "/rosterpad.md_"));
    QVERIFY(first.db().isOpen());

    // The lock goes with the first program's end.
    QVERIFY(first.close());
    TestApp third(first.folder());
    QVERIFY(third.start());
    QCOMPARE(third.module().ShopNames, QStringList{"本店"});
    QVERIFY(third.close());
}

void StartupSafetyTest::terminationEndsStartupCleanly_data()
{
    QTest::addColumn<QString>("file");          // "good" or an unusable kind
    QTest::addColumn<int>("splashMs");
    QTest::addColumn<bool>("boxOpen");           // the common error box is open when the end comes
    QTest::newRow("during the splash") << "good" << 10000 << false;
    QTest::newRow("while the error box is open") << "empty" << 0 << true;
}

void StartupSafetyTest::terminationEndsStartupCleanly()
{
    QFETCH(QString, file);
    QFETCH(int, splashMs);
    QFETCH(bool, boxOpen);
    QTemporaryDir dir;
    const QString db = dir.path() + "/rosterpad.mdb";
    if (file == "good")
        makeFile(db, {"本店"}, 500);
    else
        makeUnusable(db, file);
    const QByteArray before = readAll(db);

    // The real message boxes: the end must close one that a person would have to answer.
    bool modalWhenEnded = false;
    {
        Application app(dir.path());
        app.setSplashWaitMs(splashMs);
        QTimer::singleShot(300, &app, [&] {
            modalWhenEnded = QApplication::activeModalWidget() != nullptr;
            app.terminate();
        });
        // Should the box not close, the test fails instead of waiting for ever.
        QTimer::singleShot(8000, [] {
            if (QWidget *box = QApplication::activeModalWidget())
                box->close();
        });
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(!app.start());
        QVERIFY2(elapsed.elapsed() < 5000, "start-up did not end when told");
        QCOMPARE(modalWhenEnded, boxOpen);
        QVERIFY(app.finished());
        QVERIFY(app.terminating());
        QVERIFY(!app.database().isOpen());
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!app.mainForm() || !app.mainForm()->isVisible());
        QVERIFY(!app.splash()->isVisible());
        app.terminate();   // a second signal changes nothing
    }
    QCOMPARE(readAll(db), before);
    QVERIFY(!QFile::exists(dir.path() + "/rosterpad.md_.tmp"));
    QLockFile lock(dir.path() + "/rosterpad.lck");
    QVERIFY(lock.tryLock(0));
}

void StartupSafetyTest::terminationDuringTheExitQuestionKeepsTheDutyState()
{
    QTemporaryDir dir;
    const QString db = dir.path() + "/rosterpad.mdb";
    makeFile(db, {"本店"});
    {
        Database file;
        file.open(db);
        file.exec(CreateStatusTableSql());
        file.exec("INSERT INTO \"現在状況\"(\"店舗ID\",\"コンパニオンID\",\"源氏名\",\"名前\",\"出退勤\") VALUES(1,1,'あい','アイ',1);");
    }
    Application app(dir.path());
    app.setSplashWaitMs(0);
    QVERIFY(app.start());
    app.waitForStartupBackup();
    // The real question box is open when the end comes; it must not be taken as Cancel.
    bool modalWhenEnded = false;
    QTimer::singleShot(300, &app, [&] {
        modalWhenEnded = QApplication::activeModalWidget() != nullptr;
        app.terminate();
    });
    QTimer::singleShot(8000, [] {
        if (QWidget *box = QApplication::activeModalWidget())
            box->close();
    });
    QVERIFY(app.shutdown());
    QVERIFY(modalWhenEnded);
    QVERIFY(app.finished());
    QVERIFY(!app.database().isOpen());
    Database after;
    after.open(db);
    QCOMPARE(after.scalar("SELECT \"出退勤\" FROM \"現在状況\";").toInt(), 1);
}

void StartupSafetyTest::terminationDuringTheBackupNoticeEndsTheProgram()
{
    QTemporaryDir dir;
    makeFile(dir.path() + "/rosterpad.mdb", {"本店"}, 200);
    // The real notice that the backup could not be made is open when the end comes.
    Application app(dir.path());
    app.setSplashWaitMs(0);
    app.setBackupFreeSpaceLimit(16 * 1024);
    bool modalWhenEnded = false;
    QTimer::singleShot(300, &app, [&] {
        modalWhenEnded = QApplication::activeModalWidget() != nullptr;
        app.terminate();
    });
    QTimer::singleShot(8000, [] {
        if (QWidget *box = QApplication::activeModalWidget())
            box->close();
    });
    // One signal is enough: start-up does not hand a program that was told to end to its event loop.
    QVERIFY(!app.start());
    QVERIFY(modalWhenEnded);
    QVERIFY(app.finished());
    QVERIFY(!app.database().isOpen());
    QVERIFY(!app.mainForm()->isVisible());
}

QTEST_MAIN(StartupSafetyTest)
#include "test_startup_safety.moc"
