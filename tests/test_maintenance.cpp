// Backup, restore, compaction and the purge of old history, as the operator runs them from the menu.
#include "data/Clock.h"
#include "data/ServerDump.h"
#include "maintenance/Maintenance.h"
#include "reception/Grid.h"
#include "support/AllOrNothing.h"
#include "support/Files.h"
#include "support/TestApp.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace rp;
using rp::test::DumpStore;
using rp::test::TestApp;

using rp::test::readAll;
using rp::test::writeFile;

namespace {

// Runs statements on a file that the program does not have open.
void execOn(const QString &path, const QStringList &statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "side");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        for (const QString &sql : statements) {
            QSqlQuery q(db);
            QVERIFY2(q.exec(sql), qPrintable(sql));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("side");
}

// Two shops, two companions, a customer with bookings around 2005/09/30; shop Ａ店 on the board with
// あい on duty there.
struct Agency
{
    TestApp t;
    qint32 shopA = 0, shopB = 0, ai = 0, mai = 0;

    Agency()
    {
        Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 0)));
        if (!t.start())
            qFatal("start-up failed");
        shopA = t.addShop("Ａ店");
        shopB = t.addShop("Ｂ店");
        t.module().LoadShopList();
        ai = t.addCompanion("あい", {"アイ", "アイコ"});
        mai = t.addCompanion("まい", {"マイ", ""});
        t.module().LoadCompanionList();
        for (qint32 id : {ai, mai})
            t.module().SyncStatusRows(id);
        t.db().exec("INSERT INTO \"顧客\"(\"名前\",\"TEL\") VALUES('山田','0312345678');");
        for (const char *day : {"2005-09-29", "2005-09-30", "2005-10-01"})
            booking(shopA, ai, day);
        t.db().exec("UPDATE \"現在状況\" SET \"出退勤\"=1 WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;", {shopA, ai});
        choose(0);
    }
    ~Agency() { Clock::reset(); }

    void booking(qint32 shop, qint32 girl, const QString &day)
    {
        t.db().insert("履歴", {"顧客ID", "店舗ID", "コンパニオンID", "年月日", "開始時刻"}, {1, shop, girl, day, "21:00:00"});
    }
    void choose(int p)
    {
        t.board().Combo_Shop_Name->setCurrentIndex(p);
        emit t.board().Combo_Shop_Name->activated(p);
    }
    QString path(const QString &name) const { return t.folder() + "/" + name; }
    QString dbPath() { return t.app().DbPath; }
    QString dutyShown(int row) { return t.board().Grid_Girl->text(row, 2); }
    QStringList partials() const { return QDir(t.folder()).entryList({"*.part"}, QDir::Files); }
    QStringList remaining(const QString &sql)
    {
        QStringList out;
        for (const Row &r : t.db().rows(sql))
            out << r.value(0).toString();
        return out;
    }
    void backup(const QString &target)
    {
        t.prompt().answerText(target);
        t.board().mnuBackup->trigger();
    }
    void restore(const QString &source)
    {
        t.prompt().answerText(source);
        t.prompt().answer(Answer::Ok);   // replace the database with it
        t.board().mnuRestore->trigger();
    }
    void purge(const QString &answer, Answer confirm = Answer::Yes)
    {
        t.prompt().answerText(answer);
        t.prompt().answer(confirm);
        t.board().mnuDel->trigger();
    }
};

} // namespace

class MaintenanceTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { maintenance::FailFileCopiesAfter(-1); }
    void backupThenRestoreGivesTheSameRows();
    void restoreKeepsOrCreatesTheStatusTable_data();
    void restoreKeepsOrCreatesTheStatusTable();
    void refusedOrFailedOperationsChangeNothing_data();
    void refusedOrFailedOperationsChangeNothing();
    void compactionTwiceInARow();
    void anUnfinishedCompactionIsClearedAway();
    void purgeRefusesTheRunningDay_data();
    void purgeRefusesTheRunningDay();
    void purgeDeletesUpToTheDateAndUnusedDeletedEntries();
    void purgeIsAllOrNothing();
    void serverRefusesTheFileOperations();
    void serverBackupIsADump();
};

void MaintenanceTest::backupThenRestoreGivesTheSameRows()
{
    if (rp::test::OnPostgres())
        QSKIP("the file operations are SQLite's");
    Agency f;
    const QStringList before = DumpStore(f.t.db());
    const QStringList shopsBefore = f.t.module().ShopNames;
    const QString target = f.path("save.mdb");
    QString lastName;

    f.t.prompt().answerCancel();
    QVERIFY(maintenance::Backup(f.t.app(), &f.t.board(), lastName) == maintenance::Outcome::Cancelled);
    f.t.prompt().answerText(target);
    QVERIFY(maintenance::Backup(f.t.app(), &f.t.board(), lastName) == maintenance::Outcome::Done);
    QCOMPARE(maintenance::RestoreDialog(lastName).initialPath, target);   // offered again
    QCOMPARE(readAll(target), readAll(f.dbPath()));                         // a byte copy
    QCOMPARE(f.t.db().path(), f.dbPath());

    // The file moves on after the backup ...
    f.choose(1);
    f.t.db().exec("DELETE FROM \"履歴\";");
    f.t.db().exec("UPDATE \"現在状況\" SET \"出退勤\"=0;");
    f.t.addShop("Ｃ店");
    f.t.module().LoadShopList();
    f.choose(0);
    QCOMPARE(f.dutyShown(1), QString("退勤"));

    // ... and the restore brings back every row, the lists and the board of that moment.
    f.t.board().Text_Tel->setText("0312345678");
    f.t.board().Cmd_Search->click();
    QVERIFY(f.t.board().Grid_Rireki->text(1, 0).isEmpty());   // the history was deleted above
    f.t.board().Text_Tel->setText("0399999999");
    f.restore(target);
    QVERIFY(f.t.board().Text_Tel->text().isEmpty());          // no customer of the file before
    QCOMPARE(DumpStore(f.t.db()), before);
    QCOMPARE(f.t.module().ShopNames, shopsBefore);
    QCOMPARE(f.t.board().Combo_Shop_Name->currentIndex(), 0);
    QCOMPARE(f.dutyShown(1), QString("出勤"));
    QCOMPARE(f.t.board().CurrentCustomerId, 0);
    // Asked first, naming both files, and told when it is done.
    const QStringList told = f.t.prompt().messages();
    QCOMPARE(told.size(), 2);
    QVERIFY(told[0].contains(f.dbPath()) && told[0].contains(target) && told[0].endsWith("よろしいですか？"));
    QVERIFY(told[1].startsWith("リストアが終了しました。\r\n" + target + " の内容に置き換えました。\r\n置き換える前のデータベースは "));
    // ... and the file as it was just before is kept, so that the restore can be undone.
    const QString keptAs = told[1].section("置き換える前のデータベースは ", 1).section(" に保存しました。", 0, 0);
    QVERIFY2(QFile::exists(keptAs), qPrintable(keptAs));
    QVERIFY(f.partials().isEmpty());
    QVERIFY(f.t.prompt().unexpected().isEmpty());
}

void MaintenanceTest::restoreKeepsOrCreatesTheStatusTable_data()
{
    QTest::addColumn<bool>("withStatus");
    QTest::newRow("with 現在状況") << true;
    QTest::newRow("without 現在状況") << false;
}

void MaintenanceTest::restoreKeepsOrCreatesTheStatusTable()
{
    if (rp::test::OnPostgres())
        QSKIP("the file operations are SQLite's");
    QFETCH(bool, withStatus);
    Agency f;
    const QString target = f.path("save.mdb");
    f.backup(target);
    if (!withStatus)
        execOn(target, {"DROP TABLE \"現在状況\";"});
    else   // アイ is out for Ｂ店 in the saved file, a booking ending at 21:30
        execOn(target, {QString("UPDATE \"現在状況\" SET \"空\"=1,\"終了予定\"='21:30:00' WHERE \"店舗ID\"=%1 AND \"コンパニオンID\"=%2;")
                            .arg(f.shopB).arg(f.ai)});
    QStringList restored;
    {
        Database copy;
        copy.open(target);
        restored = DumpStore(copy);
    }

    // The running board shows another duty state that it has not written yet.
    f.t.board().Grid_Girl->setText(1, 2, "退勤");
    f.t.prompt().clear();
    f.restore(target);

    QCOMPARE(f.t.prompt().messages().size(), 2);
    QVERIFY(f.t.prompt().lastMessage().startsWith("リストアが終了しました。"));
    if (withStatus) {
        QCOMPARE(DumpStore(f.t.db()), restored);
        QCOMPARE(f.dutyShown(1), QString("出勤"));
        // The warning follows the restored booking at the shop that is not shown.
        const int b = f.t.module().shopPosition(f.shopB);
        QCOMPARE(f.t.module().WarnState[b][0], 1);
        QCOMPARE(f.t.module().WarnState[b][1], 30);
        QCOMPARE(f.t.module().EndTimes[b][1], QTime(21, 30));
    } else {
        // Created and filled from the register: one row per named shop slot, everyone off duty.
        QCOMPARE(f.t.db().scalar("SELECT count(*) FROM \"現在状況\";").toInt(), 3);
        QCOMPARE(f.t.db().scalar("SELECT count(*) FROM \"現在状況\" WHERE \"出退勤\"=1;").toInt(), 0);
        QCOMPARE(f.dutyShown(1), QString("退勤"));
    }
    QCOMPARE(f.t.board().BoardRowCount, 2);
    QCOMPARE(f.t.board().Grid_Girl->text(1, 0), QString("アイ"));
}

void MaintenanceTest::refusedOrFailedOperationsChangeNothing_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("chosen");   // the file chosen in the dialog, arranged as its name says
    QTest::addColumn<QString>("told");     // how the message starts
    const QString notOurs = "このファイルはリストアできません。";
    QTest::newRow("restore the database file itself") << "restore" << "rosterpad.mdb" << "使用中のデータベースファイルそのものは";
    QTest::newRow("restore a text file") << "restore" << "text.mdb" << notOurs;
    QTest::newRow("restore a truncated copy") << "restore" << "truncated.mdb" << notOurs;
    QTest::newRow("restore another program's file") << "restore" << "foreign.mdb" << notOurs;
    QTest::newRow("restore a missing file") << "restore" << "missing.mdb" << notOurs;
    const QString full = "Error!!  ディスクの空き容量が足りないため、書き込めませんでした。: ";
    QTest::newRow("restore, copy fails") << "restore" << "good.mdb" << full + "データベースのフォルダー ";
    QTest::newRow("backup onto the database file") << "backup" << "rosterpad.mdb" << "使用中のデータベースファイルそのものには";
    QTest::newRow("backup into a missing folder") << "backup" << "nowhere/save.mdb" << "バックアップ先のフォルダーがありません。";
    QTest::newRow("backup onto a folder") << "backup" << "folder" << "フォルダーにはバックアップできません。";
    QTest::newRow("backup over an older one, copy fails") << "backup" << "good.mdb" << full;
    for (const char *side : {"rosterpad.mdb-journal", "rosterpad.mdb-wal", "rosterpad.mdb-shm", "rosterpad.lck"})
        QTest::addRow("backup onto %s", side) << "backup" << side
                                             << QString(side) + " はプログラムが使用するファイルの名前のため";
    QTest::newRow("compaction with a leftover comp.mdb") << "compact" << "comp.mdb" << "前回の最適化のファイルが残っているため";
    QTest::newRow("compaction, rebuild fails") << "compact" << "" << "Error!!  ";
}

void MaintenanceTest::refusedOrFailedOperationsChangeNothing()
{
    if (rp::test::OnPostgres())
        QSKIP("the file operations are SQLite's");
    QFETCH(QString, menu);
    QFETCH(QString, chosen);
    QFETCH(QString, told);
    Agency f;
    const QString path = f.path(chosen);
    QVERIFY(QDir(f.t.folder()).mkdir("folder"));
    if (chosen == "text.mdb") {
        writeFile(path, "顧客,店舗\r\n山田,Ａ店\r\n");
    } else if (chosen == "truncated.mdb") {
        f.backup(path);
        const QByteArray whole = readAll(path);
        QVERIFY(whole.size() > 8192);
        writeFile(path, whole.left(whole.size() / 2));
    } else if (chosen == "comp.mdb") {
        f.backup(path);   // a complete copy: somebody's, not an unfinished one
    } else if (chosen == "foreign.mdb") {
        execOn(path, {"CREATE TABLE notes(id INTEGER PRIMARY KEY, body TEXT);"});
    } else if (chosen == "good.mdb") {
        f.backup(path);
        f.t.db().exec("DELETE FROM \"履歴\";");
        maintenance::FailFileCopiesAfter(4096);
    } else if (chosen.isEmpty()) {
        f.t.db().failNthWrite(1);
    }
    const QStringList rows = DumpStore(f.t.db());
    const QByteArray dbBytes = readAll(f.dbPath());
    const QByteArray chosenBytes = readAll(path);
    const QStringList files = QDir(f.t.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    f.t.prompt().clear();

    if (menu == "compact") {
        f.t.prompt().answer(Answer::Ok);
        f.t.board().mnuCompact->trigger();
    } else {
        f.t.prompt().answerText(path);
        if (menu == "restore")
            f.t.prompt().answer(Answer::Ok);
        (menu == "backup" ? f.t.board().mnuBackup : f.t.board().mnuRestore)->trigger();
    }
    f.t.db().failNthWrite(0);

    QVERIFY2(f.t.prompt().lastMessage().startsWith(told), qPrintable(f.t.prompt().lastMessage()));
    if (chosen == "good.mdb")   // the place named is the one the operator knows, never the database file
        QVERIFY(f.t.prompt().lastMessage().contains(": " + (menu == "backup" ? path : "データベースのフォルダー " + f.t.folder()) + "  Error No.= "));
    QCOMPARE(f.t.db().path(), f.dbPath());
    QCOMPARE(readAll(f.dbPath()), dbBytes);
    QCOMPARE(DumpStore(f.t.db()), rows);
    QCOMPARE(readAll(path), chosenBytes);   // an older backup or a leftover is never touched
    QCOMPARE(QDir(f.t.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), files);
    QCOMPARE(f.dutyShown(1), QString("出勤"));
}

void MaintenanceTest::compactionTwiceInARow()
{
    if (rp::test::OnPostgres())
        QSKIP("the file operations are SQLite's");
    Agency f;
    const QStringList before = DumpStore(f.t.db());
    f.t.prompt().answer(Answer::Cancel);
    for (int i = 0; i < 2; ++i)
        f.t.prompt().answer(Answer::Ok);
    for (int i = 0; i < 3; ++i)
        f.t.board().mnuCompact->trigger();
    const QString ask = "データベースファイルの最適化を行います。", done = "最適化が終了しました。";
    QCOMPARE(f.t.prompt().messages(), QStringList({ask, ask, done, ask, done}));
    QVERIFY(!QFile::exists(f.path("comp.mdb")));
    QCOMPARE(f.t.db().path(), f.dbPath());
    QCOMPARE(DumpStore(f.t.db()), before);
}

void MaintenanceTest::anUnfinishedCompactionIsClearedAway()
{
    if (rp::test::OnPostgres())
        QSKIP("the file operations are SQLite's");
    Agency f;
    const QStringList before = DumpStore(f.t.db());
    // What a compaction killed half-way leaves: the start of a copy, and its journal.
    writeFile(f.path("comp.mdb"), readAll(f.dbPath()).left(1024));
    writeFile(f.path("comp.mdb-journal"), QByteArray(512, '\0'));
    f.t.prompt().answer(Answer::Ok);
    f.t.board().mnuCompact->trigger();
    const QStringList told = f.t.prompt().messages();
    QCOMPARE(told.size(), 3);
    QVERIFY(told[1].startsWith("前回中断された最適化の途中のファイルを削除しました。"));
    QCOMPARE(told[2], QString("最適化が終了しました。"));
    QVERIFY(!QFile::exists(f.path("comp.mdb")));
    QVERIFY(!QFile::exists(f.path("comp.mdb-journal")));
    QCOMPARE(DumpStore(f.t.db()), before);
}

void MaintenanceTest::purgeRefusesTheRunningDay_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("refused");
    const QDateTime evening(QDate(2026, 12, 8), QTime(21, 0)), smallHours(QDate(2026, 12, 9), QTime(3, 0));
    QTest::newRow("yesterday") << evening << "26/12/07" << false;
    QTest::newRow("today") << evening << "26/12/08" << true;
    QTest::newRow("far ahead") << evening << "99/12/31" << true;
    QTest::newRow("03:00 belongs to the day before") << smallHours << "26/12/08" << true;
    QTest::newRow("03:00, the day before that") << smallHours << "26/12/07" << false;
}

void MaintenanceTest::purgeRefusesTheRunningDay()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, answer);
    QFETCH(bool, refused);
    Agency f;
    f.booking(f.shopA, f.ai, "2026-12-07");
    Clock::set(now);
    const int rows = f.t.db().scalar("SELECT count(*) FROM 履歴;").toInt();
    f.purge(answer);
    if (refused) {
        QCOMPARE(f.t.prompt().messages().size(), 1);
        QVERIFY(f.t.prompt().lastMessage().startsWith("本日（2026/12/08）以降の履歴データは削除できません。"));
        QCOMPARE(f.t.db().scalar("SELECT count(*) FROM 履歴;").toInt(), rows);
    } else {
        QCOMPARE(f.t.prompt().lastMessage(), QString("2026/12/07までの履歴データを削除しました。"));
        QCOMPARE(f.t.db().scalar("SELECT count(*) FROM 履歴;").toInt(), 0);
    }
}

void MaintenanceTest::purgeDeletesUpToTheDateAndUnusedDeletedEntries()
{
    Agency f;
    // Ｂ店 and まい are marked deleted: Ｂ店's last booking is on the purge day, まい's the day after.
    f.booking(f.shopB, f.mai, "2005-09-30");
    f.booking(f.shopA, f.mai, "2005-10-01");
    const qint32 shopC = f.t.addShop("Ｃ店");   // deleted and never booked
    f.t.db().exec("UPDATE \"店舗\" SET \"削除FLAG\"=1 WHERE \"店舗ID\" IN (?,?);", {f.shopB, shopC});
    f.t.db().exec("UPDATE \"コンパニオン\" SET \"削除FLAG\"=1 WHERE \"コンパニオンID\"=?;", {f.mai});

    // A wrong answer is told, an empty one ends silently; neither deletes anything.
    const QStringList before = DumpStore(f.t.db());
    for (const char *answer : {"05/9/30", "2005/9/30", "05/02/29", ""}) {
        f.t.prompt().answerText(answer);
        f.t.board().mnuDel->trigger();
    }
    QCOMPARE(f.t.prompt().messages(), QStringList(3, "日付を入力してください。（入力形式：YY/MM/DD）"));
    QCOMPARE(DumpStore(f.t.db()), before);

    f.t.prompt().clear();
    f.t.board().Text_Tel->setText("0312345678");
    f.t.board().Cmd_Search->click();
    QCOMPARE(f.t.board().HistoryKeys.size(), 5);
    f.purge("05/09/30");
    // The customer shown lists only the visits that are left.
    QCOMPARE(f.t.board().HistoryKeys.size(), 2);
    QVERIFY(!f.t.board().Grid_Rireki->text(2, 0).isEmpty());
    QVERIFY(f.t.board().Grid_Rireki->text(3, 0).isEmpty());
    QCOMPARE(f.t.prompt().shown().first().title, QString("履歴データの削除"));
    QCOMPARE(f.t.prompt().shown().first().text,
             QString("いつまでの履歴データを削除するか入力してください。\r\n（入力形式：YY/MM/DD）"));
    QCOMPARE(f.t.prompt().messages(), QStringList({"2005/09/30までの履歴データを削除します。よろしいですか？",
                                                    "2005/09/30までの履歴データを削除しました。"}));
    QCOMPARE(f.remaining("SELECT \"年月日\" FROM \"履歴\" ORDER BY \"年月日\";"), QStringList({"2005-10-01", "2005-10-01"}));
    QCOMPARE(f.remaining("SELECT \"店舗名\" FROM \"店舗\" ORDER BY \"店舗ID\";"), QStringList({"Ａ店"}));
    QCOMPARE(f.remaining("SELECT \"源氏名\" FROM \"コンパニオン\" ORDER BY \"コンパニオンID\";"), QStringList({"あい", "まい"}));

    // No at the question deletes nothing; a later purge takes まい with her last booking.
    f.purge("05/10/01", Answer::No);
    QCOMPARE(f.t.db().scalar("SELECT count(*) FROM \"履歴\";").toInt(), 2);
    f.purge("05/10/01");
    QCOMPARE(f.t.db().scalar("SELECT count(*) FROM \"履歴\";").toInt(), 0);
    QCOMPARE(f.remaining("SELECT \"源氏名\" FROM \"コンパニオン\" ORDER BY \"コンパニオンID\";"), QStringList({"あい"}));
    QVERIFY(f.t.prompt().unexpected().isEmpty());
}

void MaintenanceTest::purgeIsAllOrNothing()
{
    Agency f;
    f.t.db().exec("UPDATE \"店舗\" SET \"削除FLAG\"=1 WHERE \"店舗ID\"=?;", {f.shopB});
    f.t.db().exec("UPDATE \"コンパニオン\" SET \"削除FLAG\"=1 WHERE \"コンパニオンID\"=?;", {f.mai});
    const int writes = test::ForEachFailedWrite(
        f.t.db(), [&] { f.t.prompt().clear(); }, [&] { f.purge("05/09/30"); },
        [&](int) { QVERIFY(f.t.prompt().lastMessage().startsWith("Error!!  ")); });
    QCOMPARE(writes, 4);   // three deletes and the commit
    QCOMPARE(f.t.prompt().lastMessage(), QString("2005/09/30までの履歴データを削除しました。"));
    QCOMPARE(f.t.db().scalar("SELECT count(*) FROM \"店舗\";").toInt(), 1);
}

// On a server, restore and compaction are its administrator's: each says so and changes nothing.
void MaintenanceTest::serverRefusesTheFileOperations()
{
    if (!rp::test::OnPostgres())
        QSKIP("needs ROSTERPAD_TEST_PG");
    Agency f;
    const QStringList before = DumpStore(f.t.db());
    for (QAction *menu : {f.t.board().mnuRestore, f.t.board().mnuCompact})
        menu->trigger();
    QCOMPARE(f.t.prompt().messages(), QStringList(2, maintenance::ServerMaintenanceMessage()));
    QVERIFY(f.t.prompt().unexpected().isEmpty());
    QCOMPARE(DumpStore(f.t.db()), before);
    QVERIFY(QDir(f.t.folder()).entryList(QDir::Files).filter(QStringLiteral("rosterpad.m")).isEmpty());
}

// On a server, backup is the server's own dump, put in place only when complete; without pg_dump the
// operator is told and nothing is written.
void MaintenanceTest::serverBackupIsADump()
{
    if (!rp::test::OnPostgres())
        QSKIP("needs ROSTERPAD_TEST_PG");
    Agency f;
    const QString target = f.path("night.dump");
    f.backup(target);
    QVERIFY(f.t.prompt().messages().isEmpty());
    QCOMPARE(f.t.prompt().shown().first().title, QString("データベースをバックアップ"));
    QVERIFY(readAll(target).startsWith("PGDMP"));   // pg_dump's custom format, for pg_restore

    // A dump that fails (here: a database that is not there) leaves neither a file nor a part of one.
    const QString failed = f.path("failed.dump");
    f.t.app().Settings.name += "_gone";
    f.backup(failed);
    QVERIFY(f.t.prompt().lastMessage().startsWith("Error!!  "));
    QVERIFY(f.t.prompt().lastMessage().contains("pg_dump"));
    QVERIFY(!QFile::exists(failed));
    QVERIFY(QDir(f.t.folder()).entryList({"*.part"}, QDir::Files).isEmpty());

    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    f.t.prompt().clear();
    f.t.board().mnuBackup->trigger();
    qputenv("PATH", path);
    QCOMPARE(f.t.prompt().messages(), QStringList{PgDumpMissingMessage()});
    QCOMPARE(f.t.prompt().shown().size(), 1);   // no file dialog either
    QVERIFY(f.t.prompt().unexpected().isEmpty());
}

QTEST_MAIN(MaintenanceTest)
#include "test_maintenance.moc"
