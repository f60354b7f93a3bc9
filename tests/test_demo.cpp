// The demo agency: what its generator registered is what the sales window shows for it, its board is
// live when it opens, and bringing it up to a later time never changes a stored booking.
#include "app/Application.h"
#include "data/Clock.h"
#include "data/DateUtil.h"
#include "demogen/DemoAgency.h"
#include "reception/Grid.h"
#include "sales/Form_Sales.h"
#include "support/TestApp.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace rp;
using namespace rp::demo;
using rp::test::TestApp;

namespace {

const QDateTime Now(QDate(2026, 12, 8), QTime(21, 30, 20));

SalesFigures expected(const Ledger &ledger, const QVector<qint32> &shops, const Period &period)
{
    SalesFigures sum;
    for (auto it = ledger.begin(); it != ledger.end(); ++it) {
        if (!shops.contains(it.key().first) || it.key().second < period.first || it.key().second > period.last)
            continue;
        sum.gross += it->gross;
        sum.shopShare += it->shopShare;
        sum.pay += it->pay;
        sum.visits += it->visits;
    }
    return sum;
}

QStringList shown(const SalesFigures &f)
{
    return {FormatNumber(f.gross), FormatNumber(f.shopShare), FormatNumber(f.pay), FormatNumber(double(f.visits))};
}

QStringList texts(const std::array<QLabel *, 8> &labels, int base)
{
    QStringList out;
    for (int i = base; i < base + 4; ++i)
        out << labels[i]->text();
    return out;
}

// Every stored booking, one line each, in a fixed order.
QStringList bookings(Database &db)
{
    QStringList out;
    for (const Row &row : db.rows(QStringLiteral("SELECT * FROM \"履歴\";"))) {
        QStringList fields;
        for (int i = 0; i < row.count(); ++i)
            fields << row.value(i).toString();
        out << fields.join(QLatin1Char('|'));
    }
    out.sort();
    return out;
}

} // namespace

class DemoTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Clock::reset(); }
    void runningBooking_data();
    void runningBooking();
    void figuresEqualTheSalesWindow();
};

void DemoTest::runningBooking_data()
{
    QTest::addColumn<bool>("busy");
    QTest::addColumn<bool>("otherShop");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QTime>("start");
    QTest::addColumn<QTime>("end");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<bool>("live");

    const QDate day(2026, 12, 8);
    const QDateTime evening(day, QTime(21, 30));
    QTest::newRow("ends in 30 minutes") << true << false << day << QTime(20, 0) << QTime(22, 0) << evening << true;
    QTest::newRow("ends in exactly an hour") << true << false << day << QTime(21, 0) << QTime(22, 30) << evening << true;
    QTest::newRow("ends in two hours") << true << false << day << QTime(21, 0) << QTime(23, 30) << evening << false;
    QTest::newRow("ended a minute ago") << true << false << day << QTime(20, 0) << QTime(21, 29) << evening << false;
    QTest::newRow("not out") << false << false << day << QTime(20, 0) << QTime(22, 0) << evening << false;
    QTest::newRow("out for another shop") << true << true << day << QTime(20, 0) << QTime(22, 0) << evening << false;
    QTest::newRow("the same hours a day ago") << true << false << day.addDays(-1) << QTime(20, 0) << QTime(22, 0) << evening
                                              << false;
    QTest::newRow("started before midnight, ends after it")
        << true << false << day << QTime(23, 50) << QTime(0, 50) << QDateTime(day.addDays(1), QTime(0, 20)) << true;
    QTest::newRow("small hours belong to the business day before")
        << true << false << day << QTime(4, 30) << QTime(5, 20) << QDateTime(day.addDays(1), QTime(4, 50)) << true;
    QTest::newRow("not started yet") << true << false << day << QTime(21, 45) << QTime(22, 15) << evening << false;
}

void DemoTest::runningBooking()
{
    QFETCH(bool, busy);
    QFETCH(bool, otherShop);
    QFETCH(QDate, date);
    QFETCH(QTime, start);
    QFETCH(QTime, end);
    QFETCH(QDateTime, now);
    QFETCH(bool, live);
    QCOMPARE(EndsWithinTheHour(busy, otherShop, date, start, end, now), live);
}

void DemoTest::figuresEqualTheSalesWindow()
{
    QTemporaryDir dir;
    Clock::set(Now);
    const Ledger ledger = CreateDemoAgency(dir.path(), Now);

    TestApp t(dir.path());
    QVERIFY(t.start());
    Database &db = t.db();
    QCOMPARE(db.scalar("SELECT count(*) FROM \"店舗\";").toInt(), DemoSize::Shops);
    QCOMPARE(db.scalar("SELECT count(*) FROM \"コンパニオン\";").toInt(), DemoSize::Companions);
    const int customers = db.scalar("SELECT count(*) FROM \"顧客\";").toInt();
    QVERIFY2(customers > 280 && customers <= DemoSize::Customers, qPrintable(QString::number(customers)));
    const QString firstDay = db.scalar("SELECT min(\"年月日\") FROM \"履歴\";").toString();
    QCOMPARE(firstDay, IsoDate(BusinessDate(Now).addDays(-(DemoSize::HistoryDays - 1))));
    QVERIFY(db.scalar("SELECT count(*) FROM \"履歴\";").toInt() > 5000);

    // The board opens on the first shop, companions out, the end-time warning up at the first tick.
    Main_Form &board = t.board();
    QCOMPARE(board.Combo_Shop_Name->currentIndex(), 0);
    int out = 0;
    for (int r = 1; r <= board.BoardRowCount; ++r)
        out += board.Grid_Girl->text(r, 3) == "True" && board.Grid_Girl->text(r, 4) == "False";
    QVERIFY(out >= 2);
    board.TimerWarningTick();
    QVERIFY(board.warningText().contains(t.module().ShopNames[0]));
    QVERIFY(LiveStateIsFresh(db, Now));

    // The sales window shows for every period, shop and all shops together what was registered.
    Form_Sales &w = *t.app().salesForm();
    board.Cmd_Sales->click();
    QVERIFY(w.isVisible());
    const FixedPeriods periods = SalesPeriods(Now);
    QVector<qint32> all(t.module().ShopIDs.begin(), t.module().ShopIDs.begin() + t.module().ShopCount);
    QCOMPARE(texts(w.Label_Today, 4), shown(expected(ledger, all, periods.today)));
    QCOMPARE(texts(w.Label_Yesterday, 4), shown(expected(ledger, all, periods.yesterday)));
    QCOMPARE(texts(w.Label_ThisMonth, 4), shown(expected(ledger, all, periods.thisMonth)));
    QCOMPARE(texts(w.Label_LastMonth, 4), shown(expected(ledger, all, periods.lastMonth)));
    for (int p = 0; p < all.size(); ++p) {
        w.Combo_Shop_Name->setCurrentIndex(p);
        emit w.Combo_Shop_Name->activated(p);
        QCOMPARE(texts(w.Label_Today, 0), shown(expected(ledger, {all[p]}, periods.today)));
        QCOMPARE(texts(w.Label_LastMonth, 0), shown(expected(ledger, {all[p]}, periods.lastMonth)));
        for (const QString &year : {"24", "25", "26"}) {
            w.Text_Date->setText(year);
            w.Cmd_Disp->click();
            const Period period = *ReadTypedPeriod(year);
            QCOMPARE(texts(w.Label_TargetDate, 0), shown(expected(ledger, {all[p]}, period)));
        }
    }
    for (const QString &year : {"24", "25", "26"}) {
        w.Text_Date_All->setText(year);
        w.Cmd_Disp_All->click();
        QCOMPARE(texts(w.Label_TargetDate, 4), shown(expected(ledger, all, *ReadTypedPeriod(year))));
    }
    QVERIFY(t.prompt().messages().isEmpty());
    w.Cmd_Quit->click();

    // Three days later the board is stale; bringing it up to now adds the missing days and new
    // companions out, and leaves every stored booking as it was.
    t.prompt().answer(Answer::No);
    QVERIFY(t.close());
    const QDateTime later = Now.addDays(3);
    Database again;
    again.open(dir.path() + "/rosterpad.mdb");
    Module1 module(again);
    module.InitBitMasks();
    module.LoadShopList();
    module.LoadCompanionList();
    QVERIFY(!LiveStateIsFresh(again, later));
    const QStringList before = bookings(again);
    Ledger added;
    FreshenDemoAgency(again, module, later, &added);
    QVERIFY(LiveStateIsFresh(again, later));
    const QStringList after = bookings(again);
    QStringList kept;
    std::set_intersection(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(kept));
    QCOMPARE(kept, before);
    qint64 visits = 0;
    for (const SalesFigures &f : added)
        visits += f.visits;
    QCOMPARE(after.size(), before.size() + visits);
    QVERIFY(added.contains({all[0], BusinessDate(later).addDays(-1)}) || added.contains({all[1], BusinessDate(later).addDays(-1)})
            || added.contains({all[2], BusinessDate(later).addDays(-1)}));
}

QTEST_MAIN(DemoTest)
#include "test_demo.moc"
