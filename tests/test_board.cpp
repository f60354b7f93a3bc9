// The reception board: shop selection with its tariff, the status board and the end-time warning.
#include "data/Clock.h"
#include "masters/Form_GirlData.h"
#include "masters/Form_ShopData.h"
#include "reception/Grid.h"
#include "sales/Form_Sales.h"
#include "support/TestApp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace rp;
using rp::test::TestApp;

namespace {

const QColor Warning(240, 90, 40);

struct Status
{
    bool duty, busy, other;
    QVariant end;
};

Status statusOf(TestApp &t, qint32 shop, qint32 girl)
{
    const Row r = *t.db().first("SELECT \"出退勤\",\"空\",\"他店舗\",\"終了予定\" FROM \"現在状況\" WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;",
                                {shop, girl});
    return {r.value(0).toInt() == 1, r.value(1).toInt() == 1, r.value(2).toInt() == 1, r.value(3)};
}

// Two shops, three companions: あい at both shops, まい at A only, みい at B only.
struct TwoShops
{
    TestApp t;
    qint32 shopA = 0, shopB = 0, ai = 0, mai = 0, mii = 0;

    TwoShops()
    {
        Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 0)));
        if (!t.start())
            qFatal("start-up failed");
        shopA = t.addShop("Ａ店", 10);
        shopB = t.addShop("Ｂ店", 15);
        t.module().LoadShopList();
        ai = t.addCompanion("あい", {"アイ", "アイコ"}, {5, 1});
        mai = t.addCompanion("まい", {"マイ", ""}, {3, 0});
        mii = t.addCompanion("みい", {"", "ミイ"});
        t.module().LoadCompanionList();
        for (qint32 id : {ai, mai, mii})
            t.module().SyncStatusRows(id);
    }
    ~TwoShops() { Clock::reset(); }

    Main_Form &b() { return t.board(); }
    Grid &grid() { return *t.board().Grid_Girl; }
    void choose(int p)
    {
        b().Combo_Shop_Name->setCurrentIndex(p);
        emit b().Combo_Shop_Name->activated(p);
    }
    int rowOf(qint32 girl)
    {
        for (int r = 1; r <= b().BoardRowCount; ++r)
            if (grid().text(r, 8) == QString::number(girl))
                return r;
        return 0;
    }
};

} // namespace

class BoardTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Clock::reset(); }
    void shopSelectionLoadsTheStoredTariff();
    void courseLinesRunWithoutGaps();
    void emptyTermsLoadAsZero();
    void boardShowsTheShopsCompanionsInIdOrder();
    void switchingShopsKeepsTheDutyState();
    void reloadingTheShopListKeepsTheBoardsShop();
    void shopListBecomingEmptyLeavesAnEmptyBoard();
    void buttonsOpenTheirWindowsOrExplainWhyNot();
    void resetClearsTheBookingEntry();
    void onlyDutyBusyAndOtherShopCanBeEdited();
    void dutyReachesTheStoreAtOnce();
    void busyToggleStartsAndEndsABooking();
    void offDutyCompanionCannotBeOut();
    void companionOutForAnotherShopCannotBeChanged();
    void endOfDutyFreesHerEverywhere();
    void clicksOnEmptyRowsChangeNothing();
    void remainingMinutesWhenTheBoardIsShown();
    void timerCountsDownColoursAndNamesTheShops();
    void timerLatchesTheEnd();
    void manyCompanionsGrowTheBoard();
    void mouseClicksReachTheBoard();
};

void BoardTest::shopSelectionLoadsTheStoredTariff()
{
    TwoShops f;
    f.t.db().exec("UPDATE \"店舗\" SET \"C1名\"='A',\"C1時間1\"='60',\"C1料金1\"=12000,\"C1時間2\"='９０',\"C1料金2\"=16000,"
                  "\"C1時間3\"='フリー',\"C1料金3\"=30000,\"C1割合\"=40,\"C3名\"='B''s',\"C3時間1\"='120',\"C3料金1\"=22000,\"C3割合\"=NULL,"
                  "\"OP1名\"='コス''プレ',\"OP1料金\"=2000,\"OP1割合\"=30,\"OP3名\"='延長&OK',\"OP3料金\"=1500,\"OP3割合\"=NULL,\"OP2名\"='',"
                  "\"延長時間\"=30,\"延長料金\"=6000,\"延長割合\"=45,\"指名料\"=2000,\"指名割合\"=50,\"キャンセル料\"=5000,"
                  "\"キャンセル割合\"=NULL,\"OP割合\"=35 WHERE \"店舗ID\"=?;",
                  {f.shopA});
    f.choose(0);
    Main_Form &b = f.b();
    const ShopTariff &tf = b.Tariff;
    QCOMPARE(tf.SelectedShopID, f.shopA);
    QStringList lines;
    for (int i = 0; i < b.Combo_Course->count(); ++i)
        lines << b.Combo_Course->itemText(i);
    QCOMPARE(lines, QStringList({"A..60", "A..９０", "A..フリー", "B's..120"}));
    QCOMPARE(b.Combo_Course->currentIndex(), -1);
    QCOMPARE(b.Combo_Course->placeholderText(), QString("コースを選択してください"));
    QCOMPARE(tf.CourseMinutes[0], qint16(60));
    QCOMPARE(tf.CourseMinutes[1], qint16(90));
    QCOMPARE(tf.CourseMinutes[2], qint16(0));
    QCOMPARE(tf.CourseMinutes[3], qint16(120));
    QCOMPARE(tf.CourseFee[1], Money::fromYen(16000));
    QCOMPARE(tf.CourseFee[3], Money::fromYen(22000));
    QCOMPARE(tf.CourseRate[0], qint16(40));
    QCOMPARE(tf.CourseRate[3], qint16(0));
    QCOMPARE(tf.CourseNo[2], qint16(0));
    QCOMPARE(tf.CourseNo[3], qint16(2));
    QCOMPARE(tf.CourseFee[4], Money());

    QCOMPARE(tf.ShopOptionMask, qint16(5));
    QVERIFY(b.Check_Option[0]->isVisibleTo(&b));
    QCOMPARE(b.Check_Option[0]->text(), QString("コス'プレ"));
    QVERIFY(!b.Check_Option[1]->isVisibleTo(&b));
    QVERIFY(b.Check_Option[2]->isVisibleTo(&b));
    // An "&" in a name is shown as typed, not taken as a keyboard accelerator.
    QVERIFY(QKeySequence::mnemonic(b.Check_Option[2]->text()).isEmpty());
    QCOMPARE(b.Check_Option[2]->text().replace("&&", "&"), QString("延長&OK"));
    QVERIFY(!b.Check_Option[3]->isVisibleTo(&b));
    QCOMPARE(tf.OptionFee[0], Money::fromYen(2000));
    QCOMPARE(tf.OptionRate[0], qint16(30));
    QCOMPARE(tf.OptionRate[2], qint16(0));
    QCOMPARE(tf.ExtMinutes, qint16(30));
    QCOMPARE(tf.ExtFee, Money::fromYen(6000));
    QCOMPARE(tf.ExtRate, qint16(45));
    QCOMPARE(b.UpDown_Ext->singleStep(), 30);
    QCOMPARE(b.UpDown_Ext->maximum(), 990);   // a whole number of 30-minute units
    QCOMPARE(tf.NomFee, Money::fromYen(2000));
    QCOMPARE(tf.NomRate, qint16(50));
    QCOMPARE(tf.CancelFee, Money::fromYen(5000));
    QCOMPARE(tf.CancelRate, qint16(0));
    QCOMPARE(tf.OptRateAll, qint16(35));

    // Another shop replaces the tariff as a whole.
    f.choose(1);
    QCOMPARE(b.Tariff.SelectedShopID, f.shopB);
    QCOMPARE(b.Tariff.ShopOptionMask, qint16(0));
    QCOMPARE(b.Combo_Course->count(), 1);
    QCOMPARE(b.Combo_Course->itemText(0), QString("A..60"));
    QCOMPARE(b.Tariff.CourseFee[1], Money());
    QVERIFY(!b.Check_Option[0]->isVisibleTo(&b));
}

void BoardTest::courseLinesRunWithoutGaps()
{
    TwoShops f;
    f.t.db().exec("UPDATE \"店舗\" SET \"C1名\"='S',\"C1時間1\"='1',\"C1料金1\"=1,\"C1時間2\"='2',\"C1料金2\"=2,\"C1時間3\"=NULL,"
                  "\"C1時間4\"='4',\"C1料金4\"=4,\"C2名\"=NULL,\"C2時間1\"='99',\"C2料金1\"=99 WHERE \"店舗ID\"=?;",
                  {f.shopA});
    f.choose(0);
    const ShopTariff &tf = f.b().Tariff;
    QCOMPARE(f.b().Combo_Course->count(), 3);
    QCOMPARE(f.b().Combo_Course->itemText(2), QString("S..4"));
    for (int e = 0; e < 3; ++e)
        QCOMPARE(tf.CourseNo[e], qint16(0));
    QCOMPARE(tf.CourseFee[2], Money::fromYen(4));
    QCOMPARE(tf.CourseMinutes[2], qint16(4));
}

void BoardTest::emptyTermsLoadAsZero()
{
    TwoShops f;
    f.t.db().exec("UPDATE \"店舗\" SET \"延長時間\"=NULL,\"延長料金\"=NULL,\"指名料\"=NULL,\"キャンセル料\"=NULL,\"OP割合\"=NULL WHERE \"店舗ID\"=?;",
                  {f.shopA});
    f.choose(0);
    QVERIFY(f.t.prompt().shown().isEmpty());
    QCOMPARE(f.b().Tariff.ExtMinutes, qint16(0));
    QCOMPARE(f.b().Tariff.ExtFee, Money());
    QCOMPARE(f.b().Tariff.NomFee, Money());
    QCOMPARE(f.b().Tariff.CancelFee, Money());
    QCOMPARE(f.b().UpDown_Ext->singleStep(), 0);
    QCOMPARE(f.b().shownShopPosition(), 0);
}

void BoardTest::boardShowsTheShopsCompanionsInIdOrder()
{
    TwoShops f;
    f.t.db().exec("UPDATE \"現在状況\" SET \"出退勤\"=1,\"場所\"='ホテル''A' WHERE \"コンパニオンID\"=?;", {f.mai});
    f.choose(0);
    Grid &g = f.grid();
    QCOMPARE(f.b().BoardRowCount, 2);
    QCOMPARE(f.t.module().WarnState[0][0], 2);
    QCOMPARE(g.text(1, 0), QString("アイ"));
    QCOMPARE(g.text(1, 1), QString("あい"));
    QCOMPARE(g.text(1, 2), QString("退勤"));
    QCOMPARE(g.text(1, 3), QString("False"));
    QCOMPARE(g.text(1, 10), QString("5"));
    QCOMPARE(g.text(2, 0), QString("マイ"));
    QCOMPARE(g.text(2, 2), QString("出勤"));
    QCOMPARE(g.text(2, 7), QString("ホテル'A"));
    QCOMPARE(g.text(2, 8), QString::number(f.mai));
    QCOMPARE(g.text(3, 0), QString());
    QCOMPARE(f.t.module().WarnState[0][1], -1);

    f.choose(1);
    QCOMPARE(f.b().BoardRowCount, 2);
    QCOMPARE(g.text(1, 0), QString("アイコ"));
    QCOMPARE(g.text(2, 0), QString("ミイ"));
    QCOMPARE(g.text(3, 0), QString());
}

void BoardTest::switchingShopsKeepsTheDutyState()
{
    TwoShops f;
    f.choose(0);
    const int row = f.rowOf(f.mai);
    QVERIFY(f.grid().editCell(row, 2, "出勤"));
    f.choose(1);
    QVERIFY(statusOf(f.t, f.shopA, f.mai).duty);
    f.choose(0);
    QCOMPARE(f.grid().text(f.rowOf(f.mai), 2), QString("出勤"));
    QCOMPARE(f.grid().text(f.rowOf(f.ai), 2), QString("退勤"));
}

void BoardTest::reloadingTheShopListKeepsTheBoardsShop()
{
    TwoShops f;
    f.choose(1);
    // A shop with a lower position appears; the board stays on B wherever B now stands.
    f.t.db().exec("UPDATE \"店舗\" SET \"削除FLAG\"=1 WHERE \"店舗ID\"=?;", {f.shopA});
    f.t.module().LoadShopList();
    QCOMPARE(f.b().Combo_Shop_Name->currentIndex(), 0);
    QCOMPARE(f.b().Combo_Shop_Name->currentText(), QString("Ｂ店"));
    QCOMPARE(f.b().Tariff.SelectedShopID, f.shopB);

    // The shown shop itself is gone: the first shop is shown.
    const qint32 c = f.t.addShop("Ｃ店");
    f.t.module().LoadShopList();
    f.t.db().exec("UPDATE \"店舗\" SET \"削除FLAG\"=1 WHERE \"店舗ID\"=?;", {f.shopB});
    f.t.module().LoadShopList();
    QCOMPARE(f.b().Combo_Shop_Name->currentText(), QString("Ｃ店"));
    QCOMPARE(f.b().Tariff.SelectedShopID, c);
}

void BoardTest::shopListBecomingEmptyLeavesAnEmptyBoard()
{
    TwoShops f;
    f.choose(0);
    QVERIFY(f.b().BoardRowCount > 0);
    f.t.db().exec("UPDATE \"店舗\" SET \"削除FLAG\"=1;");
    f.t.module().LoadShopList();
    QVERIFY(f.t.prompt().shown().isEmpty());
    QCOMPARE(f.b().Combo_Shop_Name->count(), 0);
    QCOMPARE(f.b().Combo_Shop_Name->currentIndex(), -1);
    QCOMPARE(f.b().BoardRowCount, 0);
    QCOMPARE(f.grid().text(1, 0), QString());
    QCOMPARE(f.b().Tariff.SelectedShopID, 0);
    QCOMPARE(f.b().Combo_Course->count(), 0);
    // The timer has nothing to look at and says nothing.
    f.b().TimerWarningTick();
    QVERIFY(!f.b().Text_Warning->isVisibleTo(&f.b()));
}

void BoardTest::buttonsOpenTheirWindowsOrExplainWhyNot()
{
    TestApp t;
    QVERIFY(t.start());
    t.board().Cmd_GirlData->click();
    t.board().Cmd_Sales->click();
    QCOMPARE(t.prompt().messages(), QStringList({"店舗データが設定されていません。", "データがありません。"}));
    QVERIFY(!t.app().girlForm()->isVisible());
    t.board().Cmd_ShopData->click();
    QVERIFY(t.app().shopForm()->isVisible());
    QCOMPARE(t.app().shopForm()->windowModality(), Qt::ApplicationModal);
    t.app().shopForm()->hide();

    t.addShop("本店");
    t.module().LoadShopList();
    t.board().Cmd_GirlData->click();
    QVERIFY(t.app().girlForm()->isVisible());
    t.app().girlForm()->hide();
    t.board().Cmd_Sales->click();
    QVERIFY(t.app().salesForm()->isVisible());
    QCOMPARE(t.prompt().messages().size(), 2);
}

void BoardTest::resetClearsTheBookingEntry()
{
    TwoShops f;
    f.t.db().exec("UPDATE \"店舗\" SET \"OP2名\"='二' WHERE \"店舗ID\"=?;", {f.shopA});
    f.choose(0);
    Main_Form &b = f.b();
    b.Label_Shop_Name->setText("x");
    b.Label_Girl_Name->setText("x");
    b.Label_GirlID->setText("1");
    b.Label_Date->setText("2026/12/08");
    b.Text_Start_Time->setText("21:00");
    b.Text_End_Time->setText("22:00");
    b.Text_Place->setText("駅");
    b.Text_Place->setEnabled(false);
    b.Text_Ext->setText("30");
    b.UpDown_Ext->setValue(30);
    b.Check_Shimei->setChecked(true);
    b.Check_Cancel->setChecked(true);
    b.Label_Pay->setText("12,000");
    b.Combo_Course->setCurrentIndex(0);
    b.Check_Option[1]->setChecked(true);
    b.Check_Option[1]->setEnabled(false);
    b.LoadedStartTime = "20:00";
    b.CompanionSurcharges.fill(5);
    b.SelectedOptionMask = 2;
    b.ResetBookingEntry();
    for (QLabel *l : {b.Label_Shop_Name, b.Label_Girl_Name, b.Label_GirlID, b.Label_Date})
        QVERIFY(l->text().isEmpty());
    QVERIFY(b.Text_Start_Time->text().isEmpty());
    QVERIFY(b.Text_Place->isEnabled());
    QVERIFY(b.Text_Ext->text().isEmpty());
    QCOMPARE(b.UpDown_Ext->value(), 0);
    QVERIFY(!b.Check_Shimei->isChecked());
    QVERIFY(!b.Check_Cancel->isChecked());
    QCOMPARE(b.Label_Pay->text(), QString("0"));
    QCOMPARE(b.Label_GirlPay->text(), QString("0"));
    QCOMPARE(b.Combo_Course->currentIndex(), -1);
    QVERIFY(!b.Check_Option[1]->isChecked());
    QVERIFY(b.Check_Option[1]->isEnabled());
    QVERIFY(!b.Check_Option[5]->isVisibleTo(&b));   // the shop does not offer it
    QVERIFY(b.LoadedStartTime.isEmpty());
    QCOMPARE(b.CompanionSurcharges[7], qint16(0));
    QCOMPARE(b.SelectedOptionMask, qint16(2));       // belongs to the picked companion, not the entry
}

void BoardTest::onlyDutyBusyAndOtherShopCanBeEdited()
{
    TwoShops f;
    f.choose(0);
    for (int col = 0; col < 12; ++col) {
        bool cancel = false;
        emit f.grid().beforeEdit(1, col, cancel);
        QCOMPARE(cancel, !(col >= 2 && col <= 4));
    }
    QVERIFY(!f.grid().editCell(1, 7, "場所"));
    QCOMPARE(f.grid().text(1, 7), QString());
}

void BoardTest::dutyReachesTheStoreAtOnce()
{
    TwoShops f;
    f.choose(0);
    const int row = f.rowOf(f.ai);
    QVERIFY(f.grid().editCell(row, 2, "出勤"));
    QVERIFY(statusOf(f.t, f.shopA, f.ai).duty);
    QVERIFY(!statusOf(f.t, f.shopB, f.ai).duty);   // duty is per shop
    f.grid().clickCell(row, 3);
    QVERIFY(statusOf(f.t, f.shopA, f.ai).busy);
}

void BoardTest::busyToggleStartsAndEndsABooking()
{
    TwoShops f;
    Clock::set(QDateTime(QDate(2026, 12, 9), QTime(2, 30)));
    f.t.db().exec("UPDATE \"コンパニオン\" SET \"C1割増\"=5,\"C4割増\"=-3,\"OP割増\"=10,\"指名割増\"=NULL,\"キャンセル割増\"=100 "
                  "WHERE \"コンパニオンID\"=?;", {f.ai});
    f.choose(0);
    const int row = f.rowOf(f.ai);
    QVERIFY(f.grid().editCell(row, 2, "出勤"));
    f.grid().clickCell(row, 3);
    Main_Form &b = f.b();
    QCOMPARE(f.grid().text(row, 3), QString("True"));
    QCOMPARE(b.SelectedBoardRow, row);
    QCOMPARE(b.Label_Shop_Name->text(), QString("Ａ店"));
    QCOMPARE(b.Label_Girl_Name->text(), QString("アイ"));
    QCOMPARE(b.Label_GirlID->text(), QString::number(f.ai));
    QCOMPARE(b.Label_Date->text(), QString("2026/12/08"));   // before 05:00 the business day is yesterday
    QCOMPARE(b.Text_Start_Time->text(), QString("02:30"));
    QCOMPARE(f.grid().text(row, 11), QString("0"));
    QCOMPARE(b.SelectedOptionMask, qint16(0));
    QCOMPARE(b.CompanionSurcharges, (std::array<qint16, 8>{5, 0, 0, -3, 10, 0, 0, 100}));
    // She offers options 1 and 3 here (mask 5).
    QVERIFY(b.Check_Option[0]->isEnabled());
    QVERIFY(!b.Check_Option[1]->isEnabled());
    QVERIFY(b.Check_Option[2]->isEnabled());

    Status a = statusOf(f.t, f.shopA, f.ai), other = statusOf(f.t, f.shopB, f.ai);
    QVERIFY(a.duty && a.busy && !a.other);
    QVERIFY(other.busy && other.other);
    QVERIFY(!statusOf(f.t, f.shopB, f.mii).busy);

    // On B's board she shows out for another shop.
    f.choose(1);
    const int rowB = f.rowOf(f.ai);
    QCOMPARE(f.grid().text(rowB, 3), QString("True"));
    QCOMPARE(f.grid().text(rowB, 4), QString("True"));

    // Back at A: unticking frees her everywhere.
    f.choose(0);
    f.grid().setText(row, 5, "03:30");
    f.grid().setText(row, 7, "駅前");
    f.t.module().EndTimes[0][row] = QTime(3, 30);
    f.t.module().WarnState[0][row] = 60;
    f.grid().clickCell(row, 3);
    QCOMPARE(f.grid().text(row, 3), QString("False"));
    QCOMPARE(f.grid().text(row, 5), QString());
    QCOMPARE(f.grid().text(row, 7), QString());
    QCOMPARE(f.t.module().WarnState[0][row], -1);
    QVERIFY(b.Label_Girl_Name->text().isEmpty());
    a = statusOf(f.t, f.shopA, f.ai);
    other = statusOf(f.t, f.shopB, f.ai);
    QVERIFY(a.duty && !a.busy && !a.other);
    QVERIFY(a.end.isNull());
    QVERIFY(!other.busy && !other.other);
    QVERIFY(f.t.prompt().shown().isEmpty());
}

void BoardTest::offDutyCompanionCannotBeOut()
{
    TwoShops f;
    f.choose(0);
    const int row = f.rowOf(f.ai);
    f.grid().clickCell(row, 3);
    QCOMPARE(f.grid().text(row, 3), QString("False"));
    QVERIFY(f.b().Label_Girl_Name->text().isEmpty());
    for (qint32 shop : {f.shopA, f.shopB}) {
        const Status s = statusOf(f.t, shop, f.ai);
        QVERIFY(!s.duty && !s.busy && !s.other);
    }
}

void BoardTest::companionOutForAnotherShopCannotBeChanged()
{
    TwoShops f;
    f.choose(0);
    const int row = f.rowOf(f.ai);
    QVERIFY(f.grid().editCell(row, 2, "出勤"));
    f.grid().clickCell(row, 3);
    f.choose(1);
    const int rowB = f.rowOf(f.ai);
    QVERIFY(f.grid().editCell(rowB, 2, "出勤"));
    f.grid().clickCell(rowB, 3);   // untick attempt
    QCOMPARE(f.grid().text(rowB, 3), QString("True"));
    f.grid().clickCell(rowB, 4);   // 他店 cannot be unticked either
    QCOMPARE(f.grid().text(rowB, 4), QString("True"));
    QVERIFY(f.b().Label_Girl_Name->text().isEmpty());
    QVERIFY(statusOf(f.t, f.shopA, f.ai).busy);
    QVERIFY(statusOf(f.t, f.shopB, f.ai).other);
}

void BoardTest::endOfDutyFreesHerEverywhere()
{
    TwoShops f;
    f.choose(0);
    const int row = f.rowOf(f.ai);
    QVERIFY(f.grid().editCell(row, 2, "出勤"));
    f.grid().clickCell(row, 3);
    f.grid().setText(row, 5, "22:00");
    f.grid().setText(row, 6, "5");
    f.grid().setText(row, 7, "駅前");
    f.grid().setCellBackground(row, 6, Warning);
    QVERIFY(f.grid().editCell(row, 2, "退勤"));
    QCOMPARE(f.grid().text(row, 3), QString("False"));
    QCOMPARE(f.grid().text(row, 4), QString("False"));
    QCOMPARE(f.grid().text(row, 5), QString());
    QCOMPARE(f.grid().text(row, 6), QString());
    QCOMPARE(f.grid().text(row, 7), QString());
    QVERIFY(!f.grid().cellBackground(row, 6).isValid());
    QCOMPARE(f.grid().row(), row);
    QCOMPARE(f.grid().col(), 2);
    const Status a = statusOf(f.t, f.shopA, f.ai), b = statusOf(f.t, f.shopB, f.ai);
    QVERIFY(!a.duty && !a.busy && !a.other);
    QVERIFY(!b.busy && !b.other);
}

void BoardTest::clicksOnEmptyRowsChangeNothing()
{
    TwoShops f;
    f.choose(0);
    const int empty = f.b().BoardRowCount + 1;
    f.grid().clickCell(empty, 3);
    QCOMPARE(f.grid().text(empty, 3), QString("False"));
    f.grid().clickCell(empty, 4);
    QCOMPARE(f.grid().text(empty, 4), QString("False"));
    QVERIFY(!f.grid().editCell(empty, 2, "出勤"));
    QCOMPARE(f.grid().text(empty, 2), QString());
    f.b().WriteBackBoard();
    QCOMPARE(f.t.db().scalar("SELECT count(*) FROM \"現在状況\";").toInt(), 4);
}

void BoardTest::remainingMinutesWhenTheBoardIsShown()
{
    TwoShops f;
    Clock::set(QDateTime(QDate(2026, 12, 8), QTime(23, 50)));
    f.t.db().exec("UPDATE \"現在状況\" SET \"出退勤\"=1,\"空\"=1,\"終了予定\"='00:10:00' WHERE \"コンパニオンID\"=? AND \"店舗ID\"=?;", {f.ai, f.shopA});
    f.t.db().exec("UPDATE \"現在状況\" SET \"出退勤\"=1,\"空\"=1,\"終了予定\"='23:20:00' WHERE \"コンパニオンID\"=?;", {f.mai});
    f.choose(0);
    const int ai = f.rowOf(f.ai), mai = f.rowOf(f.mai);
    QCOMPARE(f.grid().text(ai, 5), QString("00:10"));
    QCOMPARE(f.grid().text(ai, 6), QString("20"));
    QVERIFY(!f.grid().cellBackground(ai, 6).isValid());
    QCOMPARE(f.grid().text(mai, 6), QString("0"));         // passed 30 minutes ago
    QCOMPARE(f.grid().cellBackground(mai, 6), Warning);
    QCOMPARE(f.t.module().WarnState[0][mai], 0);

    Clock::set(QDateTime(QDate(2026, 12, 9), QTime(1, 20)));
    f.choose(1);
    f.choose(0);
    QCOMPARE(f.grid().text(f.rowOf(f.mai), 6), QString("1320"));   // passed 2 hours ago: read as tomorrow
    QVERIFY(!f.grid().cellBackground(f.rowOf(f.mai), 6).isValid());
}

void BoardTest::timerCountsDownColoursAndNamesTheShops()
{
    TwoShops f;
    Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 49)));
    f.t.db().exec("UPDATE \"現在状況\" SET \"出退勤\"=1,\"空\"=1,\"終了予定\"='22:00:00' WHERE \"コンパニオンID\"=? AND \"店舗ID\"=?;", {f.ai, f.shopA});
    f.t.db().exec("UPDATE \"現在状況\" SET \"出退勤\"=1,\"空\"=1,\"終了予定\"='22:05:00' WHERE \"コンパニオンID\"=? AND \"店舗ID\"=?;", {f.mii, f.shopB});
    f.choose(1);   // B's rows become tracked
    f.choose(0);
    const int row = f.rowOf(f.ai);
    QCOMPARE(f.grid().text(row, 6), QString("11"));
    f.grid().select(2, 1);

    // 21:49 -> 11 left at A (warning 10): no colour; B has 16 left (warning 15): nothing yet.
    f.b().TimerWarningTick();
    QVERIFY(!f.b().Text_Warning->isVisibleTo(&f.b()));
    QVERIFY(!f.grid().cellBackground(row, 6).isValid());
    QCOMPARE(f.grid().row(), 2);
    QCOMPARE(f.grid().col(), 1);

    Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 50)));
    f.b().TimerWarningTick();
    QCOMPARE(f.grid().text(row, 6), QString("10"));
    QCOMPARE(f.grid().cellBackground(row, 6), Warning);
    QVERIFY(f.b().Text_Warning->isVisibleTo(&f.b()));
    QCOMPARE(f.b().warningText(), QString("！終了予定！Ａ店\r\nＢ店\r\n"));
    QCOMPARE(f.b().Text_Warning->toPlainText(), QString("！終了予定！Ａ店\nＢ店\n"));
    // The other shop is named but its cells are not on this board.
    const int miiOnB = 2;
    QCOMPARE(f.t.module().WarnState[1][miiOnB], 15);

    // The booking ends: the row is free again and the warning goes.
    f.grid().clickCell(row, 3);
    f.t.db().exec("UPDATE \"現在状況\" SET \"空\"=0,\"終了予定\"=NULL WHERE \"コンパニオンID\"=?;", {f.mii});
    f.t.module().WarnState[1][miiOnB] = -1;
    f.b().TimerWarningTick();
    QVERIFY(!f.b().Text_Warning->isVisibleTo(&f.b()));
}

void BoardTest::timerLatchesTheEnd()
{
    TwoShops f;
    Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 58, 50)));
    f.t.db().exec("UPDATE \"現在状況\" SET \"出退勤\"=1,\"空\"=1,\"終了予定\"='22:00:00' WHERE \"コンパニオンID\"=? AND \"店舗ID\"=?;", {f.ai, f.shopA});
    f.choose(0);
    const int row = f.rowOf(f.ai);
    QCOMPARE(f.grid().text(row, 6), QString("1"));
    Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 59, 30)));
    f.b().TimerWarningTick();
    QCOMPARE(f.grid().text(row, 6), QString("0"));
    // After the end the count stays at 0 instead of starting a new day.
    Clock::set(QDateTime(QDate(2026, 12, 8), QTime(22, 30)));
    f.b().TimerWarningTick();
    QCOMPARE(f.grid().text(row, 6), QString("0"));
    QCOMPARE(f.grid().cellBackground(row, 6), Warning);

    // A tick that comes late, after the end went by, latches as well.
    Clock::set(QDateTime(QDate(2026, 12, 8), QTime(22, 58)));
    f.choose(1);   // A's board is written back first, then changed behind it
    f.t.db().exec("UPDATE \"現在状況\" SET \"終了予定\"='23:00:00' WHERE \"コンパニオンID\"=? AND \"店舗ID\"=?;", {f.ai, f.shopA});
    f.choose(0);
    QCOMPARE(f.grid().text(row, 6), QString("2"));
    Clock::set(QDateTime(QDate(2026, 12, 8), QTime(23, 1)));
    f.b().TimerWarningTick();
    QCOMPARE(f.grid().text(row, 6), QString("0"));
}

void BoardTest::manyCompanionsGrowTheBoard()
{
    TwoShops f;
    f.t.db().beginTransaction();
    QVector<qint32> ids;
    for (int i = 0; i < 60; ++i)
        ids << f.t.addCompanion(QString("g%1").arg(i), {QString("n%1").arg(i)});
    f.t.db().commit();
    f.t.module().LoadCompanionList();
    for (qint32 id : ids)
        f.t.module().SyncStatusRows(id);
    f.t.db().exec("UPDATE \"現在状況\" SET \"出退勤\"=1,\"空\"=1,\"終了予定\"='21:05:00' WHERE \"コンパニオンID\"=?;", {ids.last()});
    f.choose(0);
    QCOMPARE(f.b().BoardRowCount, 62);
    QVERIFY(f.grid().rows() >= 63);
    QCOMPARE(f.grid().text(62, 1), QString("g59"));
    QCOMPARE(f.grid().text(62, 6), QString("5"));
    f.b().TimerWarningTick();
    QCOMPARE(f.grid().cellBackground(62, 6), Warning);
    QVERIFY(f.grid().editCell(61, 2, "出勤"));
    QVERIFY(statusOf(f.t, f.shopA, ids[58]).duty);
}

void BoardTest::mouseClicksReachTheBoard()
{
    TwoShops f;
    f.b().resize(1360, 700);
    f.choose(0);
    const int row = f.rowOf(f.ai);
    QVERIFY(f.grid().editCell(row, 2, "出勤"));
    Grid &g = f.grid();
    const QPoint busy = g.visualRect(g.model()->index(row - 1, 3)).center();
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, busy);
    QCOMPARE(g.text(row, 3), QString("True"));
    QCOMPARE(f.b().Label_Girl_Name->text(), QString("アイ"));
    QVERIFY(statusOf(f.t, f.shopB, f.ai).other);

    // A click on the duty cell opens its list; choosing 退勤 ends her duty.
    const QPoint duty = g.visualRect(g.model()->index(row - 1, 2)).center();
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, duty);
    auto *editor = g.viewport()->findChild<QComboBox *>();
    QVERIFY(editor);
    editor->setCurrentIndex(1);
    emit editor->activated(1);
    QTRY_COMPARE(g.text(row, 2), QString("退勤"));
    QCOMPARE(g.text(row, 3), QString("False"));
    QVERIFY(!statusOf(f.t, f.shopA, f.ai).duty);
    QVERIFY(!statusOf(f.t, f.shopB, f.ai).other);
}

QTEST_MAIN(BoardTest)
#include "test_board.moc"
