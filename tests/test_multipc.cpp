// Several reception PCs on one PostgreSQL database: the change notices, two boards that follow each
// other, and a connection lost in the middle of an action. On the SQLite file: nothing of it runs.
#include "data/ChangeFeed.h"
#include "data/Clock.h"
#include "reception/Grid.h"
#include "support/TestApp.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace rp;
using rp::test::TestApp;

namespace {

constexpr int ColDuty = 2, ColBusy = 3, ColOther = 4, ColEnd = 5, ColPlace = 7, ColCompanionId = 8;

// Ａ店 and Ｂ店, あい at both; the first PC shows Ａ店.
struct Agency
{
    TestApp a;
    qint32 shopA = 0, shopB = 0, ai = 0;

    Agency()
    {
        Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 0)));
        if (!a.start())
            qFatal("start-up failed");
        shopA = a.addShop("Ａ店", 10);
        shopB = a.addShop("Ｂ店", 10);
        a.module().LoadShopList();
        ai = a.addCompanion("あい", {"アイ", "アイコ"});
        a.module().LoadCompanionList();
        a.module().SyncStatusRows(ai);
        choose(a, 0);
    }
    ~Agency() { Clock::reset(); }

    static void choose(TestApp &t, int p)
    {
        t.board().Combo_Shop_Name->setCurrentIndex(p);
        emit t.board().Combo_Shop_Name->activated(p);
    }
    static Grid &grid(TestApp &t) { return *t.board().Grid_Girl; }
    QString status(const QString &column, qint32 shop)
    {
        return a.db().scalar("SELECT \"" + column + "\" FROM \"現在状況\" WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;", {shop, ai}).toString();
    }
};

// A connection of the test's own to the test's database, kept open while the program's is cut off.
struct AdminLine
{
    QString name = QStringLiteral("multipc-admin");
    explicit AdminLine(const ConnectionSettings &s)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(s.host);
        db.setPort(s.port);
        db.setUserName(s.user);
        db.setDatabaseName(s.name);
        if (!db.open())
            qFatal("admin line: %s", qPrintable(db.lastError().text()));
    }
    ~AdminLine()
    {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    void exec(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(name, false));
        if (!q.exec(sql))
            qFatal("admin line: %s", qPrintable(q.lastError().text()));
    }
};

} // namespace

class MultiPcTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Clock::reset(); }

    // --- The notices, as plain functions ---
    void payloads_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::addColumn<bool>("ours");
        QTest::addColumn<int>("table");
        QTest::addColumn<int>("shop");       // -1: any
        QTest::addColumn<int>("companion");
        QTest::addColumn<int>("customer");
        QTest::newRow("board row") << "現在状況:3:17:" << true << int(ChangedTable::Status) << 3 << 17 << -1;
        QTest::newRow("board row with customer") << "現在状況:3:17:250" << true << int(ChangedTable::Status) << 3 << 17 << 250;
        QTest::newRow("three fields") << "履歴:1:2" << true << int(ChangedTable::History) << 1 << 2 << -1;
        QTest::newRow("customer") << "顧客:::88" << true << int(ChangedTable::Customer) << -1 << -1 << 88;
        QTest::newRow("shop") << "店舗:4::" << true << int(ChangedTable::Shop) << 4 << -1 << -1;
        QTest::newRow("many rows") << "コンパニオン:::" << true << int(ChangedTable::Companion) << -1 << -1 << -1;
        QTest::newRow("other table") << "履歴明細:1:2:3" << false << 0 << 0 << 0 << 0;
        QTest::newRow("not a number") << "現在状況:x:2:" << false << 0 << 0 << 0 << 0;
        QTest::newRow("too many fields") << "現在状況:1:2:3:4" << false << 0 << 0 << 0 << 0;
        QTest::newRow("empty") << "" << false << 0 << 0 << 0 << 0;
    }
    void payloads()
    {
        QFETCH(QString, payload);
        QFETCH(bool, ours);
        const std::optional<ChangeNotice> n = ParseChangeNotice(payload);
        QCOMPARE(n.has_value(), ours);
        if (!n)
            return;
        QFETCH(int, table);
        QFETCH(int, shop);
        QFETCH(int, companion);
        QFETCH(int, customer);
        QCOMPARE(int(n->table), table);
        QCOMPARE(n->shopId.value_or(-1), shop);
        QCOMPARE(n->companionId.value_or(-1), companion);
        QCOMPARE(n->customerId.value_or(-1), customer);
    }

    // Many notices, one read of what they name.
    void noticesGather()
    {
        PendingChanges p;
        QVERIFY(p.isEmpty());
        for (const char *payload : {"現在状況:1:5:", "現在状況:1:6:", "履歴:2:5:40", "店舗:2::"})
            p.add(*ParseChangeNotice(QString::fromUtf8(payload)));
        QVERIFY(!p.isEmpty());
        QCOMPARE(p.statusShops, QSet<qint32>({1}));
        QVERIFY(p.statusOf(1) && !p.statusOf(2));
        QVERIFY(p.shopList && p.tariffOf(2) && !p.tariffOf(1));
        QVERIFY(!p.companionList);
        QVERIFY(p.customer(40) && !p.customer(41) && !p.customer(0));
        p.add(*ParseChangeNotice(QStringLiteral("現在状況:::")));
        QVERIFY(p.statusOf(2));
    }

    // On the file, one PC: no triggers, nobody listening, nothing to wait for.
    void fileHasNoNotices()
    {
        if (rp::test::OnPostgres())
            QSKIP("the SQLite file only");
        Agency f;
        QVERIFY(!f.a.app().changes().listening());
        QCOMPARE(f.a.db().scalar("SELECT count(*) FROM sqlite_master WHERE type='trigger';").toInt(), 0);
        QVERIFY(!f.a.board().pendingRefresh());
        QVERIFY(f.a.close());
    }

    // --- On the server (test_multipc_pg) ---

    // What one PC does shows on the other's board within a second; what the other's operator was typing stays.
    void twoBoardsFollowEachOther()
    {
        if (!rp::test::OnPostgres())
            QSKIP("needs ROSTERPAD_TEST_PG");
        Agency f;
        TestApp &a = f.a;
        QVERIFY(a.app().changes().listening());
        for (const char *table : {"現在状況", "履歴", "顧客", "店舗", "コンパニオン"})
            QCOMPARE(a.server()->value(QStringLiteral("SELECT count(*) FROM pg_trigger t JOIN pg_class c ON c.oid=t.tgrelid "
                                                      "WHERE c.relname='%1' AND t.tgname LIKE 'rosterpad_notice_%'")
                                           .arg(QString::fromUtf8(table)))
                         .toInt(),
                     3);
        const qint32 yamada = a.db().insertReturningId("顧客", {"名前", "TEL"}, {"山田", "09011112222"}, "顧客ID");

        auto pc2 = a.anotherPc();
        TestApp &b = *pc2;
        QVERIFY(b.start());
        Agency::choose(b, 1);   // the second PC shows Ｂ店
        QCOMPARE(b.board().BoardRowCount, 1);
        // The second PC's operator has the caller on the line and is typing a place.
        b.board().Text_Tel->setText("09011112222");
        b.board().Cmd_Search->click();
        QCOMPARE(b.board().CurrentCustomerId, yamada);
        b.board().Text_Place->setText("打ち込み中");

        // Duty and 空 on the first PC: on the second, her row at Ｂ店 is out for another shop.
        QVERIFY(Agency::grid(a).editCell(1, ColDuty, "出勤"));
        Agency::grid(a).clickCell(1, ColBusy);
        QElapsedTimer seen;
        seen.start();
        QTRY_COMPARE_WITH_TIMEOUT(Agency::grid(b).text(1, ColBusy), QString("True"), 1000);
        QVERIFY2(seen.elapsed() < 1000, qPrintable(QString::number(seen.elapsed())));
        QCOMPARE(Agency::grid(b).text(1, ColOther), QString("True"));

        // A booking registered on the first PC, ending within Ａ店's warning time: the second PC warns of
        // it, and shows it in the history of the caller it has up.
        a.board().Text_End_Time->setText("21:05");
        a.board().Text_Place->setText("ホテルＡ");
        a.board().Combo_Course->setCurrentIndex(0);
        a.board().Label_Pay->setText("10,000");
        a.board().Label_GirlPay->setText("6,000");
        a.board().Combo_Name->setEditText("山田");
        a.board().Text_Tel->setText("09011112222");
        a.board().RegisterBooking();
        QCOMPARE(f.status("終了予定", f.shopA), QString("21:05:00"));
        QTRY_VERIFY_WITH_TIMEOUT(b.board().warningText().contains("Ａ店"), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(b.board().Grid_Rireki->text(1, 0), QString("Ａ店"), 1000);
        QCOMPARE(b.board().Label_Total->text().contains("10,000"), true);
        QCOMPARE(b.board().Text_Place->text(), QString("打ち込み中"));
        QCOMPARE(b.board().Text_Tel->text(), QString("09011112222"));

        // The second PC shows Ａ店 too: the first PC's end time and place are there.
        Agency::choose(b, 0);
        QCOMPARE(Agency::grid(b).text(1, ColEnd), QString("21:05"));
        // An editor's change on the first PC: the shop renamed and a fee changed, on the second PC's list
        // and in the tariff it prices from.
        a.db().exec("UPDATE \"店舗\" SET \"店舗名\"='Ａ店本館',\"C1料金1\"=12345 WHERE \"店舗ID\"=?;", {f.shopA});
        QTRY_COMPARE_WITH_TIMEOUT(b.board().Combo_Shop_Name->currentText(), QString("Ａ店本館"), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(b.board().Tariff.CourseFee[0], Money::fromYen(12345), 1000);
        QCOMPARE(b.board().Tariff.SelectedShopID, f.shopA);

        // Her 空 unticked on the second PC: free again on the first PC's board.
        b.board().ResetBookingEntry();
        Agency::grid(b).clickCell(1, ColBusy);
        QCOMPARE(f.status("空", f.shopA), QString("0"));
        QTRY_COMPARE_WITH_TIMEOUT(Agency::grid(a).text(1, ColBusy), QString("False"), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(!a.board().pendingRefresh(), 1000);
        QCOMPARE(Agency::grid(a).text(1, ColPlace), QString());
        QVERIFY(b.prompt().unexpected().isEmpty());

        b.prompt().answer(Answer::No);
        QVERIFY(b.close());
        pc2.reset();
        a.prompt().answer(Answer::Yes);
        QVERIFY(a.close());
    }

    // The server goes away in the middle of an action, and later while the PC is idle: nothing
    // half-done, the operator told in Japanese which server and why, and the board back when it is.
    void lostConnection()
    {
        if (!rp::test::OnPostgres())
            QSKIP("needs ROSTERPAD_TEST_PG");
        Agency f;
        TestApp &a = f.a;
        a.app().changes().setIntervals(100, 100);
        const ConnectionSettings server = a.server()->settings();
        QVERIFY(Agency::grid(a).editCell(1, ColDuty, "出勤"));

        // 1. The session ends between the two writes of a 空 tick (her row at Ｂ店 is written first).
        a.server()->administer(
            {"CREATE FUNCTION test_cut() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
             "PERFORM pg_terminate_backend(pg_backend_pid()); RETURN NEW; END $$",
             QStringLiteral("CREATE TRIGGER test_cut BEFORE UPDATE ON \"現在状況\" FOR EACH ROW "
                            "WHEN (NEW.\"店舗ID\"=%1) EXECUTE FUNCTION test_cut()")
                 .arg(f.shopA)});
        a.prompt().clear();
        Agency::grid(a).clickCell(1, ColBusy);
        a.server()->administer({"DROP TRIGGER test_cut ON \"現在状況\""});
        QCOMPARE(a.prompt().messages().size(), 1);
        const QString told = a.prompt().messages().first();
        QVERIFY2(told.contains("サーバーとの接続が切れました。") && told.contains(server.server()), qPrintable(told));
        QCOMPARE(f.status("空", f.shopB), QString("0"));   // nothing half-done
        QCOMPARE(f.status("空", f.shopA), QString("0"));
        QTRY_COMPARE_WITH_TIMEOUT(Agency::grid(a).text(1, ColBusy), QString("False"), 2000);
        QVERIFY(!a.db().connectionLost());

        // 2. Cut off while idle, and no way back in for a while: the board says so by itself.
        AdminLine admin(server);
        rp::test::AdministerServer(
            {QStringLiteral("ALTER DATABASE \"%1\" WITH ALLOW_CONNECTIONS false").arg(server.name),
             QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname='%1' "
                            "AND application_name='rosterpad'")
                 .arg(server.name)});
        auto reopen = qScopeGuard([&] {
            rp::test::AdministerServer({QStringLiteral("ALTER DATABASE \"%1\" WITH ALLOW_CONNECTIONS true").arg(server.name)});
        });
        QTRY_VERIFY_WITH_TIMEOUT(a.board().Label_Server->isVisible(), 3000);
        QVERIFY(a.board().Label_Server->text().contains(server.server()));
        // An action meanwhile is refused in Japanese and changes nothing.
        a.prompt().clear();
        Agency::grid(a).clickCell(1, ColBusy);
        QCOMPARE(a.prompt().messages().size(), 1);
        QVERIFY2(a.prompt().messages().first().contains(server.server()), qPrintable(a.prompt().messages().first()));
        // Another PC's change while this one hears nothing.
        admin.exec(QStringLiteral("UPDATE \"現在状況\" SET \"場所\"='駅前' WHERE \"コンパニオンID\"=%1").arg(f.ai));

        // 3. The server takes connections again: the PC is back by itself and shows what it missed.
        reopen.dismiss();
        rp::test::AdministerServer({QStringLiteral("ALTER DATABASE \"%1\" WITH ALLOW_CONNECTIONS true").arg(server.name)});
        QTRY_VERIFY_WITH_TIMEOUT(!a.board().Label_Server->isVisible(), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(Agency::grid(a).text(1, ColPlace), QString("駅前"), 1000);
        QCOMPARE(Agency::grid(a).text(1, ColBusy), QString("False"));
        QCOMPARE(f.status("空", f.shopA), QString("0"));
        QCOMPARE(f.status("空", f.shopB), QString("0"));
        // Listening again: a change from elsewhere arrives as before.
        admin.exec(QStringLiteral("UPDATE \"現在状況\" SET \"場所\"='公園' WHERE \"コンパニオンID\"=%1").arg(f.ai));
        QTRY_COMPARE_WITH_TIMEOUT(Agency::grid(a).text(1, ColPlace), QString("公園"), 1000);

        a.prompt().answer(Answer::Yes);
        QVERIFY(a.close());
    }
};

QTEST_MAIN(MultiPcTest)
#include "test_multipc.moc"
