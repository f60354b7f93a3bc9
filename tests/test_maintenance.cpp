// Backup, restore, compaction and the purge of old history, as the operator runs them from the menu.
#include "data/Clock.h"
#include "maintenance/Maintenance.h"
#include "reception/Grid.h"
#include "support/AllOrNothing.h"
#include "support/TestApp.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace rp;
using rp::test::DumpStore;
using rp::test::TestApp;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

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

// Records what the file dialogs were set to, answering from the test's script.
struct DialogRecorder : PromptService
{
    explicit DialogRecorder(test::ScriptedPrompt &s) : script(s) { InstallPrompt(this); }
    ~DialogRecorder() override { InstallPrompt(&script); }
    Answer message(QWidget *p, const QString &text, Buttons b, const QString &title) override
    {
        return script.message(p, text, b, title);
    }
    std::optional<QString> input(QWidget *p, const QString &title, const QString &prompt, const QString &initial) override
    {
        return script.input(p, title, prompt, initial);
    }
    std::optional<QString> fileName(QWidget *p, const FileDialogSpec &spec) override
    {
        specs << spec;
        return script.fileName(p, spec);
    }
    test::ScriptedPrompt &script;
    QList<FileDialogSpec> specs;
};

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
        t.db().exec("INSERT INTO 顧客([名前],[TEL]) VALUES('山田','0312345678');");
        for (const char *day : {"2005-09-29", "2005-09-30", "2005-10-01"})
            booking(shopA, ai, day);
        t.db().exec("UPDATE 現在状況 SET [出退勤]=1 WHERE [店舗ID]=? AND [コンパニオンID]=?;", {shopA, ai});
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
    void purgeDateRule_data();
    void purgeDateRule();
    void backupThenRestoreGivesTheSameRows();
    void restoreKeepsOrCreatesTheStatusTable_data();
    void restoreKeepsOrCreatesTheStatusTable();
    void restoreRefusesFilesThatAreNotOurs_data();
    void restoreRefusesFilesThatAreNotOurs();
    void backupRefusesBadTargets_data();
    void backupRefusesBadTargets();
    void failedCopiesLeaveEverythingAsItWas_data();
    void failedCopiesLeaveEverythingAsItWas();
    void compaction();
    void compactionLeavesALeftoverAlone();
    void purgeDeletesUpToTheDateAndUnusedDeletedEntries();
    void purgeRefusesOtherAnswers_data();
    void purgeRefusesOtherAnswers();
    void purgeIsAllOrNothing();
};

void MaintenanceTest::purgeDateRule_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("two-digit year in the 2000s") << "05/09/30" << QDate(2005, 9, 30);
    QTest::newRow("first day") << "00/01/01" << QDate(2000, 1, 1);
    QTest::newRow("last day") << "99/12/31" << QDate(2099, 12, 31);
    QTest::newRow("leap day") << "08/02/29" << QDate(2008, 2, 29);
    QTest::newRow("no such day") << "05/02/29" << QDate();
    QTest::newRow("7 characters") << "05/9/30" << QDate();
    QTest::newRow("9 characters") << "2005/9/30" << QDate();
    QTest::newRow("8 characters, four-digit year") << "2005/9/3" << QDate();
    QTest::newRow("other separators") << "05-09-30" << QDate();
}

void MaintenanceTest::purgeDateRule()
{
    QFETCH(QString, answer);
    QFETCH(QDate, expected);
    QCOMPARE(maintenance::ReadPurgeDate(answer).value_or(QDate()), expected);
}

void MaintenanceTest::backupThenRestoreGivesTheSameRows()
{
    Agency f;
    DialogRecorder dialogs(f.t.prompt());
    const QStringList before = DumpStore(f.t.db());
    const QStringList shopsBefore = f.t.module().ShopNames;
    const QString target = f.path("save.mdb");

    for (QAction *a : {f.t.board().mnuBackup, f.t.board().mnuRestore, f.t.board().mnuCompact, f.t.board().mnuDel})
        QVERIFY(a->isEnabled());
    f.backup(target);
    QCOMPARE(readAll(target), readAll(f.dbPath()));   // a byte copy
    QVERIFY(f.t.db().isOpen());
    QCOMPARE(f.t.db().path(), f.dbPath());

    // The file moves on after the backup ...
    f.choose(1);
    f.t.db().exec("DELETE FROM 履歴;");
    f.t.db().exec("UPDATE 現在状況 SET [出退勤]=0;");
    f.t.addShop("Ｃ店");
    f.t.module().LoadShopList();
    f.choose(0);
    QCOMPARE(f.dutyShown(1), QString("退勤"));

    // ... and the restore brings back every row, the lists and the board of that moment.
    f.restore(target);
    QCOMPARE(DumpStore(f.t.db()), before);
    QCOMPARE(f.t.module().ShopNames, shopsBefore);
    QCOMPARE(f.t.board().Combo_Shop_Name->currentIndex(), 0);
    QCOMPARE(f.dutyShown(1), QString("出勤"));
    QCOMPARE(f.t.board().CurrentCustomerId, 0);
    QVERIFY(f.t.prompt().messages().isEmpty());
    QVERIFY(f.partials().isEmpty());

    QCOMPARE(dialogs.specs.size(), 2);
    const FileDialogSpec &save = dialogs.specs[0], &open = dialogs.specs[1];
    QCOMPARE(save.title, QString("データベースファイルをバックアップ"));
    QCOMPARE(open.title, QString("データベースファイルをリストア"));
    QVERIFY(save.save && save.confirmOverwrite && !open.save);
    for (const FileDialogSpec &s : dialogs.specs) {
        QCOMPARE(s.filter, QString("データベース　ファイル(*.mdb)|*.mdb|すべてのファイル(*.*)|*.*"));
        QCOMPARE(s.defaultSuffix, QString("mdb"));
    }
    QCOMPARE(open.initialPath, target);   // the name chosen last is offered again
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
    QFETCH(bool, withStatus);
    Agency f;
    const QString target = f.path("save.mdb");
    f.backup(target);
    if (!withStatus)
        execOn(target, {"DROP TABLE 現在状況;"});
    QStringList restored;
    {
        Database copy;
        copy.open(target);
        restored = DumpStore(copy);
    }

    // The running board shows another duty state that it has not written yet.
    f.t.board().Grid_Girl->setText(1, 2, "退勤");
    f.restore(target);

    QVERIFY(f.t.prompt().messages().isEmpty());
    if (withStatus) {
        QCOMPARE(DumpStore(f.t.db()), restored);
        QCOMPARE(f.dutyShown(1), QString("出勤"));
    } else {
        // Created and filled from the register: one row per named shop slot, everyone off duty.
        QCOMPARE(f.t.db().scalar("SELECT count(*) FROM 現在状況;").toInt(), 3);
        QCOMPARE(f.t.db().scalar("SELECT count(*) FROM 現在状況 WHERE [出退勤]=1;").toInt(), 0);
        QCOMPARE(f.dutyShown(1), QString("退勤"));
    }
    QCOMPARE(f.t.board().BoardRowCount, 2);
    QCOMPARE(f.t.board().Grid_Girl->text(1, 0), QString("アイ"));
}

void MaintenanceTest::restoreRefusesFilesThatAreNotOurs_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("the database file itself") << "itself" << "使用中のデータベースファイルそのものはリストアできません。";
    QTest::newRow("a text file") << "text" << "このファイルはリストアできません。";
    QTest::newRow("a truncated copy") << "truncated" << "このファイルはリストアできません。";
    QTest::newRow("another program's database") << "foreign" << "このファイルはリストアできません。";
    QTest::newRow("a missing file") << "missing" << "このファイルはリストアできません。";
}

void MaintenanceTest::restoreRefusesFilesThatAreNotOurs()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    Agency f;
    QString source = f.path("chosen.mdb");
    if (kind == "itself") {
        source = f.dbPath();
    } else if (kind == "text") {
        writeFile(source, "顧客,店舗\r\n山田,Ａ店\r\n");
    } else if (kind == "truncated") {
        f.backup(source);
        const QByteArray whole = readAll(source);
        QVERIFY(whole.size() > 8192);
        writeFile(source, whole.left(whole.size() / 2));
    } else if (kind == "foreign") {
        execOn(source, {"CREATE TABLE notes(id INTEGER PRIMARY KEY, body TEXT);", "INSERT INTO notes(body) VALUES('x');"});
    }
    const QStringList before = DumpStore(f.t.db());
    const QByteArray bytes = readAll(f.dbPath());
    f.t.prompt().clear();

    f.restore(source);

    QCOMPARE(f.t.prompt().messages().size(), 1);
    QVERIFY2(f.t.prompt().lastMessage().startsWith(reason), qPrintable(f.t.prompt().lastMessage()));
    QVERIFY(f.t.db().isOpen());
    QCOMPARE(readAll(f.dbPath()), bytes);
    QCOMPARE(DumpStore(f.t.db()), before);
    QCOMPARE(f.dutyShown(1), QString("出勤"));
    QVERIFY(f.partials().isEmpty());
}

void MaintenanceTest::backupRefusesBadTargets_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("reason");
    QTest::newRow("the database file itself") << "rosterpad.mdb" << "使用中のデータベースファイルそのものには";
    QTest::newRow("a missing folder") << "nowhere/save.mdb" << "バックアップ先のフォルダーがありません。";
    QTest::newRow("a folder") << "folder" << "フォルダーにはバックアップできません。";
}

void MaintenanceTest::backupRefusesBadTargets()
{
    QFETCH(QString, target);
    QFETCH(QString, reason);
    Agency f;
    QVERIFY(QDir(f.t.folder()).mkdir("folder"));
    const QByteArray bytes = readAll(f.dbPath());
    const QStringList files = QDir(f.t.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    f.backup(f.path(target));

    QCOMPARE(f.t.prompt().messages().size(), 1);
    QVERIFY2(f.t.prompt().lastMessage().startsWith(reason), qPrintable(f.t.prompt().lastMessage()));
    QVERIFY(f.t.db().isOpen());
    QCOMPARE(readAll(f.dbPath()), bytes);
    QCOMPARE(QDir(f.t.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), files);
    QVERIFY(QFileInfo(f.path("folder")).isDir());
}

void MaintenanceTest::failedCopiesLeaveEverythingAsItWas_data()
{
    QTest::addColumn<bool>("isBackup");
    QTest::newRow("backup over an older backup") << true;
    QTest::newRow("restore") << false;
}

void MaintenanceTest::failedCopiesLeaveEverythingAsItWas()
{
    QFETCH(bool, isBackup);
    Agency f;
    const QString other = f.path("other.mdb");
    f.backup(other);
    f.t.db().exec("DELETE FROM 履歴;");
    const QByteArray otherBytes = readAll(other);
    const QByteArray dbBytes = readAll(f.dbPath());
    const QStringList before = DumpStore(f.t.db());

    maintenance::FailFileCopiesAfter(4096);
    isBackup ? f.backup(other) : f.restore(other);

    QVERIFY2(f.t.prompt().lastMessage().startsWith("Error!!  "), qPrintable(f.t.prompt().lastMessage()));
    QCOMPARE(readAll(other), otherBytes);   // the last good backup is never half overwritten
    QCOMPARE(readAll(f.dbPath()), dbBytes);
    QVERIFY(f.t.db().isOpen());
    QCOMPARE(DumpStore(f.t.db()), before);
    QVERIFY(f.partials().isEmpty());
}

void MaintenanceTest::compaction()
{
    Agency f;
    const QStringList before = DumpStore(f.t.db());
    const QString comp = f.path("comp.mdb");

    f.t.prompt().answer(Answer::Cancel);
    f.t.board().mnuCompact->trigger();
    QCOMPARE(f.t.prompt().messages(), QStringList({"データベースファイルの最適化を行います。"}));

    // A failing rebuild leaves nothing behind and the connection open.
    f.t.prompt().clear();
    f.t.prompt().answer(Answer::Ok);
    f.t.db().failNthWrite(1);
    f.t.board().mnuCompact->trigger();
    f.t.db().failNthWrite(0);
    QVERIFY(f.t.prompt().lastMessage().startsWith("Error!!  "));
    QVERIFY(!QFile::exists(comp));
    QVERIFY(f.t.db().isOpen());

    f.t.prompt().clear();
    for (int i = 0; i < 2; ++i) {
        f.t.prompt().answer(Answer::Ok);
        f.t.board().mnuCompact->trigger();
        QVERIFY(!QFile::exists(comp));
    }
    QCOMPARE(f.t.prompt().messages(),
             QStringList({"データベースファイルの最適化を行います。", "最適化が終了しました。",
                          "データベースファイルの最適化を行います。", "最適化が終了しました。"}));
    QVERIFY(f.t.db().isOpen());
    QCOMPARE(f.t.db().path(), f.dbPath());
    QCOMPARE(DumpStore(f.t.db()), before);
    QVERIFY(f.t.prompt().unexpected().isEmpty());
}

void MaintenanceTest::compactionLeavesALeftoverAlone()
{
    Agency f;
    const QString comp = f.path("comp.mdb");
    writeFile(comp, "an earlier run's file");
    const QByteArray bytes = readAll(f.dbPath());

    f.t.prompt().answer(Answer::Ok);
    f.t.board().mnuCompact->trigger();

    QCOMPARE(f.t.prompt().messages().size(), 2);
    QVERIFY(f.t.prompt().lastMessage().startsWith("前回の最適化のファイルが残っているため、最適化を行いませんでした。"));
    QVERIFY(f.t.prompt().lastMessage().contains(QDir::toNativeSeparators(comp)));
    QCOMPARE(readAll(comp), QByteArray("an earlier run's file"));
    QCOMPARE(readAll(f.dbPath()), bytes);
    QVERIFY(f.t.db().isOpen());
}

void MaintenanceTest::purgeDeletesUpToTheDateAndUnusedDeletedEntries()
{
    Agency f;
    // Ｂ店 and まい are marked deleted: Ｂ店's last booking is on the purge day, まい's the day after.
    f.booking(f.shopB, f.mai, "2005-09-30");
    f.booking(f.shopA, f.mai, "2005-10-01");
    const qint32 shopC = f.t.addShop("Ｃ店");   // deleted and never booked
    f.t.db().exec("UPDATE 店舗 SET [削除FLAG]=1 WHERE [店舗ID] IN (?,?);", {f.shopB, shopC});
    f.t.db().exec("UPDATE コンパニオン SET [削除FLAG]=1 WHERE [コンパニオンID]=?;", {f.mai});

    f.purge("05/09/30");
    QCOMPARE(f.t.prompt().shown().first().title, QString("履歴データの削除"));
    QCOMPARE(f.t.prompt().shown().first().text,
             QString("いつまでの履歴データを削除するか入力してください。\r\n（入力形式：YY/MM/DD）"));
    QCOMPARE(f.t.prompt().messages(), QStringList({"2005/09/30までの履歴データを削除します。よろしいですか？",
                                                    "2005/09/30までの履歴データを削除しました。"}));
    QCOMPARE(f.remaining("SELECT [年月日] FROM 履歴 ORDER BY [年月日];"), QStringList({"2005-10-01", "2005-10-01"}));
    QCOMPARE(f.remaining("SELECT [店舗名] FROM 店舗 ORDER BY [店舗ID];"), QStringList({"Ａ店"}));
    QCOMPARE(f.remaining("SELECT [源氏名] FROM コンパニオン ORDER BY [コンパニオンID];"), QStringList({"あい", "まい"}));

    // No at the question deletes nothing; a later purge takes まい with her last booking.
    f.purge("05/10/01", Answer::No);
    QCOMPARE(f.t.db().scalar("SELECT count(*) FROM 履歴;").toInt(), 2);
    f.purge("05/10/01");
    QCOMPARE(f.t.db().scalar("SELECT count(*) FROM 履歴;").toInt(), 0);
    QCOMPARE(f.remaining("SELECT [源氏名] FROM コンパニオン ORDER BY [コンパニオンID];"), QStringList({"あい"}));
    QVERIFY(f.t.prompt().unexpected().isEmpty());
}

void MaintenanceTest::purgeRefusesOtherAnswers_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("told");
    QTest::newRow("7 characters") << "05/9/30" << true;
    QTest::newRow("9 characters") << "2005/9/30" << true;
    QTest::newRow("not a date") << "05/13/01" << true;
    QTest::newRow("empty") << "" << false;
}

void MaintenanceTest::purgeRefusesOtherAnswers()
{
    QFETCH(QString, answer);
    QFETCH(bool, told);
    Agency f;
    const QStringList before = DumpStore(f.t.db());
    f.t.prompt().answerText(answer);
    f.t.board().mnuDel->trigger();
    QCOMPARE(f.t.prompt().messages(),
             told ? QStringList({"日付を入力してください。（入力形式：YY/MM/DD）"}) : QStringList());
    QCOMPARE(DumpStore(f.t.db()), before);
    QVERIFY(f.t.prompt().unexpected().isEmpty());
}

void MaintenanceTest::purgeIsAllOrNothing()
{
    Agency f;
    f.t.db().exec("UPDATE 店舗 SET [削除FLAG]=1 WHERE [店舗ID]=?;", {f.shopB});
    f.t.db().exec("UPDATE コンパニオン SET [削除FLAG]=1 WHERE [コンパニオンID]=?;", {f.mai});
    const int writes = test::ForEachFailedWrite(
        f.t.db(), [&] { f.t.prompt().clear(); }, [&] { f.purge("05/09/30"); },
        [&](int) { QVERIFY(f.t.prompt().lastMessage().startsWith("Error!!  ")); });
    QCOMPARE(writes, 4);   // three deletes and the commit
    QCOMPARE(f.t.prompt().lastMessage(), QString("2005/09/30までの履歴データを削除しました。"));
    QCOMPARE(f.t.db().scalar("SELECT count(*) FROM 店舗;").toInt(), 1);
}

QTEST_MAIN(MaintenanceTest)
#include "test_maintenance.moc"
