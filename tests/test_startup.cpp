// Start-up, shutdown and the database file: what the operator finds on disk and on the board.
#include "app/frmAbout.h"
#include "app/frmSplash.h"
#include "data/Schema.h"
#include "data/SqlText.h"
#include "masters/Form_GirlData.h"
#include "masters/Form_ShopData.h"
#include "reception/Grid.h"
#include "sales/Form_Sales.h"
#include "support/Files.h"
#include "support/TestApp.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QSpinBox>
#include <QTimer>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

using namespace rp;
using rp::test::TestApp;

using rp::test::readAll;
using rp::test::writeFile;

namespace {

QStringList userTables(Database &db)
{
    QStringList names;
    for (const Row &r : db.rows(QStringLiteral(
             "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%' ORDER BY rowid;")))
        names << r.value(0).toString();
    return names;
}

QStringList columnsOf(Database &db, const QString &table)
{
    QStringList names;
    for (const Row &r : db.rows(QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid;"), {table}))
        names << r.value(0).toString();
    return names;
}

int statusRows(Database &db) { return db.scalar(QStringLiteral("SELECT count(*) FROM \"現在状況\";")).toInt(); }

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT
private slots:
    void firstRunCreatesTheFileWithItsTables();
    void schemaKeepsColumnsInOrder();
    void storeRefusesWhatDoesNotFit();
    void secondRunBacksUpTheFileAsTheFirstRunLeftIt();
    void exitWithNobodyOnDutyDropsTheStatusTable();
    void exitAnsweredNoKeepsTheDutyStateForTheNextRun();
    void exitAnsweredCancelKeepsRunningWithListsReloaded();
    void damagedFileIsNeitherBackedUpNorReplaced();
    void fileLeftByAPowerCutIsRecovered();
    void syncStatusRowsInsertsUpdatesAndDeletes();
    void syncStatusRowsReportsAFailureAndWritesNothing();
    void terminationKeepsTheDutyState();
    void quotesRoundTripInEveryKindOfText();
    void sqlValueHelpers();
    void bitMasks();
    void compactionRefusesAnExistingTarget();
    void boardControlsAndMenusAreNamed();
    void gridsArePrepared();
    void gridGrowsPastItsFirstRows();
    void aboutBoxShowsVersionAndSystemInformation();
    void splashClosesOnKey();
};

void StartupTest::firstRunCreatesTheFileWithItsTables()
{
    TestApp t;
    QVERIFY(!QFile::exists(t.folder() + "/rosterpad.mdb"));
    QVERIFY(t.start());
    QVERIFY(QFile::exists(t.folder() + "/rosterpad.mdb"));
    QVERIFY(!QFile::exists(t.folder() + "/rosterpad.md_"));
    QCOMPARE(userTables(t.db()), QStringList({"顧客", "店舗", "コンパニオン", "履歴", "履歴明細", "NG", "現在状況"}));
    QCOMPARE(t.board().Combo_Shop_Name->count(), 0);
    QCOMPARE(t.board().Combo_Shop_Name->currentIndex(), -1);
    QCOMPARE(t.board().Combo_Shop_Name->placeholderText(), QString("店舗名を選択してください。"));
    QVERIFY(t.board().isVisible());
    QVERIFY(!t.app().shopForm()->isVisible());
    QVERIFY(!t.app().girlForm()->isVisible());
    QVERIFY(!t.app().salesForm()->isVisible());
    QVERIFY(t.app().salesForm()->Frame5->isVisibleTo(t.app().salesForm()));
    QVERIFY(t.board().warningTimer()->isActive());
    QCOMPARE(t.board().warningTimer()->interval(), 10000);
    QCOMPARE(t.board().Label_Pay->text(), QString("0"));
    QVERIFY(t.prompt().shown().isEmpty());
}

void StartupTest::schemaKeepsColumnsInOrder()
{
    TestApp t;
    QVERIFY(t.start());
    QCOMPARE(columnsOf(t.db(), "顧客"), QStringList({"顧客ID", "名前", "TEL", "ランク", "備考"}));
    QCOMPARE(columnsOf(t.db(), "現在状況"),
             QStringList({"店舗ID", "コンパニオンID", "源氏名", "名前", "オプション", "出退勤", "空", "他店舗",
                          "終了予定", "場所", "顧客ID", "選択OP", "年月日", "開始時刻"}));
    QCOMPARE(columnsOf(t.db(), "履歴"),
             QStringList({"顧客ID", "店舗ID", "コンパニオンID", "年月日", "開始時刻", "終了時刻", "場所", "コース名",
                          "コース時間", "オプション", "延長", "指名", "キャンセル", "店売上", "コンパニオン支払", "未入力"}));
    const QStringList shop = columnsOf(t.db(), "店舗");
    QCOMPARE(shop.size(), 113);
    QCOMPARE(shop.mid(0, 6), QStringList({"店舗ID", "削除FLAG", "店舗名", "C1名", "C1時間1", "C1料金1"}));
    QCOMPARE(shop.at(15), QString("C1料金6"));
    QCOMPARE(shop.at(16), QString("C1割合"));
    QCOMPARE(shop.at(58), QString("C4割合"));
    QCOMPARE(shop.mid(59, 3), QStringList({"OP1名", "OP1料金", "OP1割合"}));
    QCOMPARE(shop.at(103), QString("OP15割合"));
    QCOMPARE(shop.mid(104), QStringList({"延長時間", "延長料金", "延長割合", "指名料", "指名割合", "キャンセル料",
                                         "キャンセル割合", "OP割合", "警告時間"}));
    const QStringList girl = columnsOf(t.db(), "コンパニオン");
    QCOMPARE(girl.size(), 77);
    QCOMPARE(girl.mid(0, 6), QStringList({"コンパニオンID", "削除FLAG", "源氏名", "店舗1ID", "名前1", "オプション1"}));
    QCOMPARE(girl.at(62), QString("オプション20"));
    QCOMPARE(girl.mid(63), QStringList({"年齢", "身長", "バスト", "カップ", "ウエスト", "ヒップ", "C1割増", "C2割増",
                                        "C3割増", "C4割増", "OP割増", "延長割増", "指名割増", "キャンセル割増"}));
}

void StartupTest::storeRefusesWhatDoesNotFit()
{
    TestApp t;
    QVERIFY(t.start());
    Database &db = t.db();
    // Counters are assigned in ascending order; bits not given read as False.
    db.exec("INSERT INTO \"店舗\"(\"店舗名\") VALUES(?);", {"一号店"});
    db.exec("INSERT INTO \"店舗\"(\"店舗名\") VALUES(?);", {"二号店"});
    const Rows shops = db.rows("SELECT \"店舗ID\",\"削除FLAG\" FROM \"店舗\" ORDER BY \"店舗ID\";");
    QCOMPARE(shops.size(), 2);
    QCOMPARE(shops[1].value(0).toInt(), shops[0].value(0).toInt() + 1);
    QCOMPARE(shops[0].value(1).toInt(), 0);

    // Widths count characters and a value that does not fit is refused, never cut.
    db.exec("INSERT INTO \"顧客\"(\"名前\",\"TEL\") VALUES(?,?);", {QString(24, QChar(0x3042)), "0312345678"});
    QVERIFY_THROWS_EXCEPTION(AppError, db.exec("INSERT INTO \"顧客\"(\"名前\",\"TEL\") VALUES(?,?);",
                                               {QString(25, QChar(0x3042)), "0312345678"}));
    QVERIFY_THROWS_EXCEPTION(AppError, db.exec("INSERT INTO \"顧客\"(\"名前\") VALUES(?);", {"電話なし"}));
    QVERIFY_THROWS_EXCEPTION(AppError, db.exec("INSERT INTO \"店舗\"(\"店舗名\",\"警告時間\") VALUES(?,?);", {"x", 40000}));
    QCOMPARE(db.scalar("SELECT count(*) FROM \"顧客\";").toInt(), 1);

    // Times are stored as HH:mm:ss and found again by the same time; anything else is refused.
    db.exec("INSERT INTO \"履歴\"(\"顧客ID\",\"年月日\",\"開始時刻\") VALUES(1,?,?);", {"2026-12-08", "21:30:00"});
    QCOMPARE(db.scalar("SELECT count(*) FROM \"履歴\" WHERE \"年月日\"=? AND \"開始時刻\"=?;", {"2026-12-08", "21:30:00"}).toInt(), 1);
    QCOMPARE(db.scalar("SELECT \"未入力\" FROM \"履歴\";").toInt(), 0);
    QVERIFY(db.scalar("SELECT \"コース時間\" FROM \"履歴\";").isNull());
    QVERIFY_THROWS_EXCEPTION(AppError, db.exec("INSERT INTO \"履歴\"(\"開始時刻\") VALUES(?);", {"9:30"}));
    QVERIFY_THROWS_EXCEPTION(AppError, db.exec("INSERT INTO \"履歴\"(\"年月日\") VALUES(?);", {"2026/12/08"}));
    QVERIFY_THROWS_EXCEPTION(AppError, db.exec("INSERT INTO \"履歴\"(\"年月日\") VALUES(?);", {"2026-02-30"}));
}

void StartupTest::secondRunBacksUpTheFileAsTheFirstRunLeftIt()
{
    auto first = std::make_unique<TestApp>();
    QVERIFY(first->start());
    first->addShop("本店");
    QVERIFY(first->close());
    const QByteArray leftBehind = readAll(first->folder() + "/rosterpad.mdb");
    QVERIFY(!leftBehind.isEmpty());

    auto second = first->restart();
    QVERIFY(second->start());
    QCOMPARE(readAll(second->folder() + "/rosterpad.md_"), leftBehind);
    QCOMPARE(second->board().Combo_Shop_Name->count(), 1);
    QCOMPARE(second->board().Combo_Shop_Name->itemText(0), QString("本店"));
    QCOMPARE(second->app().girlForm()->Label_Shop[0]->text(), QString("本店"));
    QVERIFY(second->close());
}

void StartupTest::exitWithNobodyOnDutyDropsTheStatusTable()
{
    TestApp t;
    QVERIFY(t.start());
    t.addShop("本店");
    t.module().LoadShopList();
    t.addCompanion("あい", {"アイ"});
    t.module().SyncStatusRows(t.db().scalar("SELECT max(\"コンパニオンID\") FROM \"コンパニオン\";").toInt());
    QCOMPARE(statusRows(t.db()), 1);
    QVERIFY(t.close());
    QVERIFY(t.prompt().shown().isEmpty());
    QVERIFY(!t.db().isOpen());

    Database check;
    check.open(t.folder() + "/rosterpad.mdb");
    QVERIFY(!check.tableExists("現在状況"));
}

void StartupTest::exitAnsweredNoKeepsTheDutyStateForTheNextRun()
{
    auto first = std::make_unique<TestApp>();
    QVERIFY(first->start());
    first->addShop("本店");
    first->module().LoadShopList();
    const qint32 a = first->addCompanion("あい", {"アイ"});
    const qint32 b = first->addCompanion("まい", {"マイ"});
    first->module().SyncStatusRows(a);
    first->module().SyncStatusRows(b);
    first->db().exec("UPDATE \"現在状況\" SET \"出退勤\"=1,\"空\"=1,\"終了予定\"='23:10:00',\"場所\"='駅前' WHERE \"コンパニオンID\"=?;", {a});
    first->prompt().answer(Answer::No);
    QVERIFY(first->close());
    QCOMPARE(first->prompt().messages(),
             QStringList({"まだ勤務中のコンパニオンがいます。勤務状態をクリアして終了しますか？"}));
    QCOMPARE(first->prompt().shown().first().buttons, Buttons::YesNoCancel);

    auto second = first->restart();
    QVERIFY(second->start());
    QCOMPARE(statusRows(second->db()), 2);
    const Row row = *second->db().first("SELECT \"出退勤\",\"空\",\"終了予定\",\"場所\" FROM \"現在状況\" WHERE \"コンパニオンID\"=?;", {a});
    QCOMPARE(row.value(0).toInt(), 1);
    QCOMPARE(row.value(1).toInt(), 1);
    QCOMPARE(row.value(2).toString(), QString("23:10:00"));
    QCOMPARE(row.value(3).toString(), QString("駅前"));

    // Yes clears the duty state: the next start builds the table afresh, everyone off duty.
    second->prompt().answer(Answer::Yes);
    QVERIFY(second->close());
    auto third = second->restart();
    QVERIFY(third->start());
    QCOMPARE(statusRows(third->db()), 2);
    QCOMPARE(third->db().scalar("SELECT count(*) FROM \"現在状況\" WHERE \"出退勤\"=1 OR \"空\"=1;").toInt(), 0);
}

void StartupTest::exitAnsweredCancelKeepsRunningWithListsReloaded()
{
    TestApp t;
    QVERIFY(t.start());
    t.addShop("本店");
    t.module().LoadShopList();
    const qint32 a = t.addCompanion("あい", {"アイ"});
    t.module().SyncStatusRows(a);
    t.db().exec("UPDATE \"現在状況\" SET \"出退勤\"=1;");
    // Added behind the lists' back: only a reload shows them.
    t.addShop("二号店");
    t.addCompanion("まい", {"マイ"});
    t.prompt().answer(Answer::Cancel);
    QVERIFY(!t.close());
    QVERIFY(t.board().isVisible());
    QVERIFY(t.db().isOpen());
    QVERIFY(t.db().tableExists("現在状況"));
    QCOMPARE(t.board().Combo_Shop_Name->count(), 2);
    QCOMPARE(t.app().shopForm()->Combo_Shop_Name->count(), 2);
    QCOMPARE(t.app().girlForm()->Combo_Genji->count(), 2);
    QCOMPARE(t.app().salesForm()->Combo_GirlName->count(), 2);
    QCOMPARE(t.module().ShopCount, 2);
    QCOMPARE(t.module().CompanionCount, 2);
}

void StartupTest::damagedFileIsNeitherBackedUpNorReplaced()
{
    for (const QByteArray &content : {QByteArray("this is not a database at all, just text\n"),
                                      QByteArray("SQLite format 3").append(QByteArray(4096, '\x07'))}) {
        QTemporaryDir dir;
        const QString db = dir.path() + "/rosterpad.mdb";
        const QString backup = dir.path() + "/rosterpad.md_";
        QFile f(db);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        QFile b(backup);
        QVERIFY(b.open(QIODevice::WriteOnly));
        b.write("last good start-up copy");
        b.close();

        TestApp t(dir.path());
        QVERIFY(!t.start());
        QCOMPARE(t.prompt().messages().size(), 1);
        QVERIFY(t.prompt().lastMessage().startsWith("Error!!  "));
        QVERIFY(t.prompt().lastMessage().contains("  Error No.= "));
        QVERIFY(t.prompt().lastMessage().contains("rosterpad.mdb"));
        QCOMPARE(readAll(db), content);
        QCOMPARE(readAll(backup), QByteArray("last good start-up copy"));
        QVERIFY(t.board().isVisible());
        QVERIFY(t.close());
        QCOMPARE(readAll(db), content);
    }
}

void StartupTest::fileLeftByAPowerCutIsRecovered()
{
    // The files as a power cut in the middle of a write leaves them: the database and its journal.
    QTemporaryDir crashed;
    {
        TestApp t;
        QVERIFY(t.start());
        t.addShop("本店");
        t.db().beginTransaction();
        t.db().exec("UPDATE \"店舗\" SET \"店舗名\"='途中' ;");
        t.db().exec("INSERT INTO \"顧客\"(\"TEL\") VALUES('0312345678');");
        const QString journal = t.folder() + "/rosterpad.mdb-journal";
        QVERIFY(QFile::exists(journal));
        QVERIFY(QFile::copy(t.folder() + "/rosterpad.mdb", crashed.path() + "/rosterpad.mdb"));
        QVERIFY(QFile::copy(journal, crashed.path() + "/rosterpad.mdb-journal"));
        t.db().rollback();
    }
    TestApp after(crashed.path());
    QVERIFY(after.start());
    QVERIFY(after.prompt().shown().isEmpty());
    QCOMPARE(after.db().scalar("SELECT \"店舗名\" FROM \"店舗\";").toString(), QString("本店"));
    QCOMPARE(after.db().scalar("SELECT count(*) FROM \"顧客\";").toInt(), 0);
}

void StartupTest::syncStatusRowsInsertsUpdatesAndDeletes()
{
    TestApp t;
    QVERIFY(t.start());
    const qint32 s0 = t.addShop("本店");
    const qint32 s1 = t.addShop("二号店");
    t.module().LoadShopList();
    const qint32 a = t.addCompanion("あい", {"", "アイ"}, {0, 5});
    const qint32 none = t.addCompanion("まい", {"", ""});
    t.module().SyncStatusRows(a);
    t.module().SyncStatusRows(none);

    // One row, for the shop at position 1 only.
    Rows rows = t.db().rows("SELECT \"店舗ID\",\"コンパニオンID\",\"源氏名\",\"名前\",\"オプション\",\"出退勤\",\"空\",\"他店舗\",\"終了予定\" FROM \"現在状況\";");
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].value(0).toInt(), s1);
    QCOMPARE(rows[0].value(1).toInt(), a);
    QCOMPARE(rows[0].value(2).toString(), QString("あい"));
    QCOMPARE(rows[0].value(3).toString(), QString("アイ"));
    QCOMPARE(rows[0].value(4).toInt(), 5);
    QCOMPARE(rows[0].value(5).toInt(), 0);
    QCOMPARE(rows[0].value(6).toInt(), 0);
    QCOMPARE(rows[0].value(7).toInt(), 0);
    QVERIFY(rows[0].value(8).isNull());

    // A rename updates names and options and leaves duty and booking alone; a new name adds a row.
    t.db().exec("UPDATE \"現在状況\" SET \"出退勤\"=1,\"空\"=1,\"終了予定\"='22:00:00' WHERE \"コンパニオンID\"=?;", {a});
    t.db().exec("UPDATE \"コンパニオン\" SET \"名前1\"='エー',\"名前2\"='アイコ',\"オプション2\"=4 WHERE \"コンパニオンID\"=?;", {a});
    t.module().SyncStatusRows(a);
    const Row renamed = *t.db().first("SELECT \"名前\",\"オプション\",\"出退勤\",\"空\",\"終了予定\" FROM \"現在状況\" WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;", {s1, a});
    QCOMPARE(renamed.value(0).toString(), QString("アイコ"));
    QCOMPARE(renamed.value(1).toInt(), 4);
    QCOMPARE(renamed.value(2).toInt(), 1);
    QCOMPARE(renamed.value(3).toInt(), 1);
    QCOMPARE(renamed.value(4).toString(), QString("22:00:00"));
    QCOMPARE(t.db().scalar("SELECT count(*) FROM \"現在状況\" WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;", {s0, a}).toInt(), 1);

    // Clearing a name removes that shop's row.
    t.db().exec("UPDATE \"コンパニオン\" SET \"名前2\"=NULL WHERE \"コンパニオンID\"=?;", {a});
    t.module().SyncStatusRows(a);
    QCOMPARE(t.db().scalar("SELECT count(*) FROM \"現在状況\" WHERE \"コンパニオンID\"=?;", {a}).toInt(), 1);
    QCOMPARE(t.db().scalar("SELECT \"店舗ID\" FROM \"現在状況\" WHERE \"コンパニオンID\"=?;", {a}).toInt(), s0);

    t.module().DeleteStatusRows(2, s0);
    QCOMPARE(statusRows(t.db()), 0);
    QVERIFY(t.prompt().shown().isEmpty());
}

void StartupTest::syncStatusRowsReportsAFailureAndWritesNothing()
{
    TestApp t;
    QVERIFY(t.start());
    const qint32 s0 = t.addShop("本店");
    t.addShop("二号店");
    t.module().LoadShopList();
    const qint32 a = t.addCompanion("あい", {"アイ", "アイコ"});
    // The second shop's row cannot be written.
    t.db().exec(QString("CREATE TRIGGER refuse BEFORE INSERT ON \"現在状況\" WHEN NEW.\"店舗ID\"<>%1 "
                        "BEGIN SELECT RAISE(ABORT,'書き込めません'); END;").arg(s0));
    t.module().SyncStatusRows(a);
    QCOMPARE(t.prompt().messages().size(), 1);
    QVERIFY(t.prompt().lastMessage().startsWith("Error!!  "));
    QVERIFY(t.prompt().lastMessage().contains("書き込めません)  Error No.= "));
    QCOMPARE(statusRows(t.db()), 0);
    QVERIFY(!t.db().inTransaction());
}

void StartupTest::terminationKeepsTheDutyState()
{
    auto first = std::make_unique<TestApp>();
    QVERIFY(first->start());
    first->addShop("本店");
    first->module().LoadShopList();
    const qint32 a = first->addCompanion("あい", {"アイ"});
    first->module().SyncStatusRows(a);
    first->board().Combo_Shop_Name->setCurrentIndex(0);
    emit first->board().Combo_Shop_Name->activated(0);
    QVERIFY(first->board().Grid_Girl->editCell(1, 2, "出勤"));
    // The system ends the program: no question, the board is written back and the table kept.
    first->app().terminate();
    QVERIFY(first->prompt().shown().isEmpty());
    QVERIFY(!first->db().isOpen());
    auto second = first->restart();
    QVERIFY(second->start());
    QCOMPARE(second->db().scalar("SELECT \"出退勤\" FROM \"現在状況\" WHERE \"コンパニオンID\"=?;", {a}).toInt(), 1);
}

void StartupTest::quotesRoundTripInEveryKindOfText()
{
    TestApp t;
    QVERIFY(t.start());
    const QString quoted = "O'Neil's \"bar\"; --";
    const qint32 shop = t.addShop("Bob's");
    t.module().LoadShopList();
    QCOMPARE(t.module().ShopNames, QStringList({"Bob's"}));
    const qint32 girl = t.addCompanion("ア'イ", {"Ai's"});
    t.module().SyncStatusRows(girl);
    QVERIFY(t.prompt().shown().isEmpty());
    const Row status = *t.db().first("SELECT \"源氏名\",\"名前\" FROM \"現在状況\" WHERE \"店舗ID\"=?;", {shop});
    QCOMPARE(status.value(0).toString(), QString("ア'イ"));
    QCOMPARE(status.value(1).toString(), QString("Ai's"));

    t.db().exec("INSERT INTO \"顧客\"(\"名前\",\"TEL\",\"備考\") VALUES(?,?,?);", {SqlQuote("D'Arcy"), SqlQuote("0312345678"), SqlQuote(quoted)});
    const Row customer = *t.db().first("SELECT \"名前\",\"備考\",\"ランク\" FROM \"顧客\" WHERE \"名前\"=?;", {"D'Arcy"});
    QCOMPARE(customer.value(1).toString(), quoted);
    QVERIFY(customer.value(2).isNull());
}

void StartupTest::sqlValueHelpers()
{
    QVERIFY(SqlQuote("").isNull());
    QCOMPARE(SqlQuote("abc").toString(), QString("abc"));
    QVERIFY(SqlNumber("").isNull());
    QCOMPARE(SqlNumber("007").toInt(), 7);
    QCOMPARE(SqlNumber("1,200").toInt(), 1200);
    QCOMPARE(SqlNumber("2.5").toInt(), 2);
    QCOMPARE(SqlNumber("3.5").toInt(), 4);
    QCOMPARE(SqlNumber("-500").toInt(), -500);
    try {
        SqlNumber("abc");
        QFAIL("a non-number was converted");
    } catch (const AppError &e) {
        QCOMPARE(e.number(), 13);
    }
    try {
        SqlNumber("2147483648");
        QFAIL("a number outside 32 bits was converted");
    } catch (const AppError &e) {
        QCOMPARE(e.number(), 6);
    }
    QCOMPARE(NullToEmpty(QVariant(QMetaType(QMetaType::QString))), QString());
    QCOMPARE(NullToEmpty(QVariant(42)), QString("42"));
    QCOMPARE(CommonErrorText(AppError(3022, "重複しています")), QString("Error!!  重複しています  Error No.= 3022"));
}

void StartupTest::bitMasks()
{
    TestApp t;
    QVERIFY(t.start());
    const Module1 &m = t.module();
    QCOMPARE(m.BitOn[0], qint16(1));
    QCOMPARE(m.BitOn[14], qint16(16384));
    QCOMPARE(m.BitOn[15], qint16(-32768));
    QCOMPARE(m.BitOff[0], qint16(-2));
    QCOMPARE(m.BitOff[4], qint16(-17));
    QCOMPARE(quint16(m.BitOff[4]), quint16(65519));
    QCOMPARE(m.BitOff[15], qint16(32767));
    qint16 mask = 0;
    mask = qint16(mask | m.BitOn[0] | m.BitOn[2]);
    QCOMPARE(mask, qint16(5));
    mask = qint16(mask & m.BitOff[0]);
    QCOMPARE(mask, qint16(4));
}

void StartupTest::compactionRefusesAnExistingTarget()
{
    TestApp t;
    QVERIFY(t.start());
    t.addShop("本店");
    const QString target = t.folder() + "/comp.mdb";
    t.db().compactInto(target);
    Database copy;
    copy.open(target);
    QCOMPARE(copy.scalar("SELECT \"店舗名\" FROM \"店舗\";").toString(), QString("本店"));
    copy.close();
    QVERIFY_THROWS_EXCEPTION(AppError, t.db().compactInto(target));

    // Close and reopen on the same path.
    const QString path = t.db().path();
    t.db().close();
    QVERIFY(!t.db().isOpen());
    t.db().open(path);
    QCOMPARE(t.db().scalar("SELECT count(*) FROM \"店舗\";").toInt(), 1);
}

void StartupTest::boardControlsAndMenusAreNamed()
{
    TestApp t;
    QVERIFY(t.start());
    Main_Form &b = t.board();
    for (const char *name : {"Combo_Shop_Name", "Cmd_ShopData", "Cmd_GirlData", "Cmd_Sales", "Grid_Girl", "Text_Warning",
                             "Text_Tel", "Combo_Name", "Combo_Rank", "Text_Note", "Cmd_Search", "Cmd_UserUpdate",
                             "Label_Total", "Grid_Rireki", "Label_Shop_Name", "Label_Girl_Name", "Label_GirlID",
                             "Label_Date", "Text_Start_Time", "Text_End_Time", "Text_Place", "Combo_Course", "Text_Ext",
                             "UpDown_Ext", "Check_Shimei", "Check_Cancel", "Check_Option_0", "Check_Option_14",
                             "Label_Pay", "Label_GirlPay", "Cmd_Regist", "L_Tel", "L_Name", "L_Rank", "L_Note", "L_Total"})
        QVERIFY2(b.findChild<QWidget *>(name), name);
    QCOMPARE(b.findChild<QPushButton *>("Cmd_ShopData")->text(), QString("店データ"));
    QCOMPARE(b.findChild<QPushButton *>("Cmd_GirlData")->text(), QString("コンパニオンデータ"));
    QCOMPARE(b.findChild<QPushButton *>("Cmd_Sales")->text(), QString("売上情報"));
    QCOMPARE(b.findChild<QPushButton *>("Cmd_Search")->text(), QString("検 索"));
    QCOMPARE(b.findChild<QWidget *>("Frame_Entry")->property("title").toString(), QString("今回の情報"));
    QCOMPARE(b.findChild<QAction *>("mnuExit")->text(), QString("終了(&X)"));
    QCOMPARE(b.findChild<QMenu *>("mnuData")->title(), QString("ﾃﾞｰﾀ処理"));
    QStringList data;
    for (const char *name : {"mnuBackup", "mnuRestore", "mnuCompact", "mnuDel"})
        data << b.findChild<QAction *>(name)->text();
    QCOMPARE(data, QStringList({"ﾊﾞｯｸｱｯﾌﾟ", "ﾘｽﾄｱ", "最適化", "ﾃﾞｰﾀ削除"}));
    QCOMPARE(b.findChild<QMenu *>("mnuHelp")->title(), QString("ﾍﾙﾌﾟ(&H)"));
    QCOMPARE(b.findChild<QAction *>("mnuAbout")->text(), QString("ﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(b.findChild<QMenu *>("mnuRireki")->title(), QString("履歴"));
    QCOMPARE(b.findChild<QAction *>("mnuRDel")->text(), QString("削除"));
    QVERIFY(!b.Label_GirlID->isVisibleTo(&b));
    QVERIFY(!b.Label_GirlPay->isVisibleTo(&b));
    QCOMPARE(b.UpDown_Ext->maximum(), 999);
    QCOMPARE(b.Check_Option[14]->text(), QString("オプション０１５"));
    QVERIFY(b.Combo_Rank->findText("危険") >= 0);

    // The board fits a 1366x768 screen.
    QVERIFY(b.frameGeometry().width() <= 1366);
    QVERIFY(b.minimumSizeHint().width() <= 1366);
    QVERIFY(b.minimumSizeHint().height() <= 730);

    // The menu's exit item ends the program like closing the window.
    b.findChild<QAction *>("mnuExit")->trigger();
    QVERIFY(t.app().finished());
}

void StartupTest::gridsArePrepared()
{
    TestApp t;
    QVERIFY(t.start());
    Grid *girl = t.board().Grid_Girl;
    QCOMPARE(girl->cols(), 12);
    QCOMPARE(girl->rows(), 50);
    QCOMPARE(girl->text(0, 1), QString("　源 氏 名　"));
    QCOMPARE(girl->text(0, 3), QString("空"));
    QCOMPARE(girl->columnAlignment(2) & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(girl->columnAlignment(0) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(girl->columnComboList(2), QStringList({"出勤", "退勤"}));
    QCOMPARE(girl->columnType(3), Grid::ColumnType::Boolean);
    QCOMPARE(girl->columnType(6), Grid::ColumnType::Single);
    for (int c = 0; c < 12; ++c)
        QCOMPARE(girl->isColumnHidden(c), c >= 8);
    Grid *history = t.board().Grid_Rireki;
    QCOMPARE(history->cols(), 10);
    QCOMPARE(history->text(0, 9), QString("オプション"));
    QCOMPARE(history->columnAlignment(7) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(history->columnType(8), Grid::ColumnType::Boolean);
    QCOMPARE(history->columnType(7), Grid::ColumnType::Currency);
}

void StartupTest::gridGrowsPastItsFirstRows()
{
    Grid grid(3);
    grid.setFormatString("a|^b|>c");
    grid.setColumnType(1, Grid::ColumnType::Boolean);
    QCOMPARE(grid.rows(), 50);
    grid.setText(75, 0, "row 75");
    QCOMPARE(grid.rows(), 76);
    QCOMPARE(grid.text(75, 0), QString("row 75"));
    QCOMPARE(grid.text(0, 2), QString("c"));

    // A click on a check box cell asks before editing, toggles, tells after, then reports the click.
    QStringList events;
    bool refuse = false;
    QObject::connect(&grid, &Grid::beforeEdit, [&](int r, int c, bool &cancel) {
        events << QString("before %1,%2").arg(r).arg(c);
        cancel = refuse;
    });
    QObject::connect(&grid, &Grid::afterEdit, [&](int r, int c) { events << QString("after %1,%2").arg(r).arg(c); });
    QObject::connect(&grid, &Grid::cellClick, [&] { events << QString("click %1,%2").arg(grid.row()).arg(grid.col()); });
    grid.setText(2, 1, "False");
    grid.clickCell(2, 1);
    QCOMPARE(grid.text(2, 1), QString("True"));
    QCOMPARE(events, QStringList({"before 2,1", "after 2,1", "click 2,1"}));
    refuse = true;
    events.clear();
    grid.clickCell(2, 1);
    QCOMPARE(grid.text(2, 1), QString("True"));
    QCOMPARE(events, QStringList({"before 2,1", "click 2,1"}));

    grid.setCellBackground(2, 2, QColor(240, 90, 40));
    QCOMPARE(grid.cellBackground(2, 2), QColor(240, 90, 40));
    grid.clearData();
    QCOMPARE(grid.text(2, 1), QString());
    QVERIFY(!grid.cellBackground(2, 2).isValid());
    QCOMPARE(grid.text(0, 1), QString("b"));
}

void StartupTest::aboutBoxShowsVersionAndSystemInformation()
{
    TestApp t;
    QVERIFY(t.start());
    t.board().findChild<QAction *>("mnuAbout")->trigger();
    auto *about = t.board().findChild<frmAbout *>("frmAbout");
    QVERIFY(about);
    QVERIFY(about->isVisible());
    QVERIFY(!about->isModal());
    QCOMPARE(about->windowTitle(), AppTitle() + "のﾊﾞｰｼﾞｮﾝ情報");
    QCOMPARE(about->lblTitle->text(), AppTitle());
    QCOMPARE(about->lblVersion->text(), QString("ﾊﾞｰｼﾞｮﾝ %1.%2.%3").arg(ROSTERPAD_VERSION_MAJOR).arg(ROSTERPAD_VERSION_MINOR).arg(ROSTERPAD_VERSION_PATCH));

    about->setSysInfoTools({"/nonexistent/hardinfo"});
    QTest::mouseClick(about->cmdSysInfo, Qt::LeftButton);
    QCOMPARE(t.prompt().messages(), QStringList({"現時点ではｼｽﾃﾑ情報を使用できません"}));

    // A tool that exists is started on its own, and the box stays open.
    QTemporaryDir dir;
    const QString marker = dir.path() + "/started";
    const QString tool = dir.path() + "/sysinfo";
    QFile script(tool);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QString("#!/bin/sh\ntouch '%1'\n").arg(marker).toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    about->setSysInfoTools({tool});
    QTest::mouseClick(about->cmdSysInfo, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 5000);
    QCOMPARE(t.prompt().messages().size(), 1);
    QVERIFY(about->isVisible());

    QTest::mouseClick(about->cmdOK, Qt::LeftButton);
    QTRY_VERIFY(!t.board().findChild<frmAbout *>("frmAbout"));
}

void StartupTest::splashClosesOnKey()
{
    frmSplash splash;
    splash.show();
    QCOMPARE(splash.lblVersion->text(), "ﾊﾞｰｼﾞｮﾝ " + AppVersionText());
    QCOMPARE(splash.lblProductName->text(), AppTitle());
    QTest::keyClick(&splash, Qt::Key_Space);
    QVERIFY(!splash.isVisible());
    splash.show();
    QTest::mouseClick(splash.Frame1, Qt::LeftButton);
    QVERIFY(!splash.isVisible());
}

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
