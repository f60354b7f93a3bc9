// The customer area: search, the visit history and total, the customer's own data, the field checks
// and the deletion of one history row.
#include "data/Clock.h"
#include "reception/BookingEntry.h"
#include "reception/BookingStore.h"
#include "reception/Grid.h"
#include "support/AllOrNothing.h"
#include "support/TestApp.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QTest>

using namespace rp;
using rp::test::TestApp;

namespace {

struct Area
{
    TestApp t;
    qint32 shop = 0, girl = 0;

    Area()
    {
        if (!t.start())
            qFatal("start-up failed");
        shop = t.addShop("Ａ店");
        t.db().exec("UPDATE \"店舗\" SET \"OP1名\"='足湯',\"OP2名\"='写真',\"OP3名\"='延長割';");
        t.module().LoadShopList();
        girl = t.addCompanion("あい", {"アイ"});
        t.module().LoadCompanionList();
    }
    Main_Form &b() { return t.board(); }
    Grid &history() { return *t.board().Grid_Rireki; }
    qint32 customer(const QString &name, const QString &tel, const QString &rank = {}, const QString &note = {})
    {
        t.db().insert("顧客", {"名前", "TEL", "ランク", "備考"},
                      {name.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(name), tel, rank, note});
        return t.db().scalar("SELECT max(\"顧客ID\") FROM \"顧客\";").toInt();
    }
    void visit(qint32 cid, const QString &date, const QString &start, int pay, int options = 0, qint32 shopId = 0,
               qint32 girlId = 0)
    {
        t.db().insert("履歴", {"顧客ID", "店舗ID", "コンパニオンID", "年月日", "開始時刻", "終了時刻", "場所", "オプション", "指名",
                               "キャンセル", "店売上"},
                      {cid, shopId ? shopId : shop, girlId ? girlId : girl, date, start, "23:00:00", "駅前", options, 1, 0, pay});
    }
    void search(const QString &tel)
    {
        b().Text_Tel->setText(tel);
        b().Cmd_Search_Click();
    }
    int historyCount(qint32 cid) { return t.db().scalar("SELECT count(*) FROM \"履歴\" WHERE \"顧客ID\"=?;", {cid}).toInt(); }
};

} // namespace

class CustomerTest : public QObject
{
    Q_OBJECT
private slots:
    void fieldChecks_data();
    void fieldChecks();
    void leavingABoxChecksIt();
    void aRefusedBoxIsNeverStoredByAClick_data();
    void aRefusedBoxIsNeverStoredByAClick();
    void searchTwoNamesOnOneNumber();
    void historyColumns();
    void longHistoryAndVanishedNames();
    void userUpdateRefreshes_data();
    void userUpdateRefreshes();
    void deleteOneRowByIds();
};

void CustomerTest::fieldChecks_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("message");   // empty: accepted

    const auto wide = [](int n) { return QString(n, QChar(0x5C71)); };
    QTest::newRow("tel digits") << "Text_Tel" << "09012345678" << "09012345678" << "";
    QTest::newRow("tel hyphens") << "Text_Tel" << "090-1234-5678" << "090-1234-5678" << TelMessage();
    QTest::newRow("tel full-width") << "Text_Tel" << "０９０１" << "0901" << "";
    QTest::newRow("tel letters") << "Text_Tel" << "090abc" << "090abc" << TelMessage();
    QTest::newRow("name 12 wide") << "Combo_Name" << wide(12) << wide(12) << "";
    QTest::newRow("name 13 wide") << "Combo_Name" << wide(13) << wide(13) << "名前は全角１２文字以内で入力してください。";
    QTest::newRow("note 25 wide") << "Text_Note" << wide(25) << wide(25) << "";
    QTest::newRow("note 26 wide") << "Text_Note" << wide(26) << wide(26) << "備考は全角２５文字以内で入力してください。";
    QTest::newRow("place 12 wide") << "Text_Place" << wide(12) << wide(12) << "";
    QTest::newRow("place 13 wide") << "Text_Place" << wide(13) << wide(13) << PlaceMessage();
    QTest::newRow("place 25 narrow") << "Text_Place" << QString(25, 'a') << QString(25, 'a') << PlaceMessage();
    QTest::newRow("empty") << "Text_Tel" << "" << "" << "";
}

void CustomerTest::fieldChecks()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, after);
    QFETCH(QString, message);
    Area a;
    QWidget *w = a.b().findChild<QWidget *>(box);
    QVERIFY(w);
    auto *line = qobject_cast<QLineEdit *>(w);
    auto *combo = qobject_cast<QComboBox *>(w);
    if (line)
        line->setMaxLength(100);   // the check, not the box's own limit, is under test
    line ? line->setText(text) : combo->setEditText(text);

    QCOMPARE(a.b().CheckCustomerField(w), message.isEmpty());
    QCOMPARE(line ? line->text() : combo->currentText(), after);
    QCOMPARE(a.t.prompt().messages(), message.isEmpty() ? QStringList() : QStringList{message});
}

void CustomerTest::leavingABoxChecksIt()
{
    Area a;
    a.b().show();
    QVERIFY(QTest::qWaitForWindowActive(&a.b()));
    a.b().Text_Tel->setFocus(Qt::TabFocusReason);
    a.b().Text_Tel->setText("090-1");
    a.b().Text_Note->setFocus(Qt::TabFocusReason);
    QCOMPARE(a.t.prompt().messages(), QStringList{TelMessage()});
    QVERIFY(a.b().Text_Tel->hasFocus());

    // A rank typed and entered is the customer's, not a new line of the fixed list.
    QTest::keyClicks(a.b().Combo_Rank->lineEdit(), "VIP");
    QTest::keyClick(a.b().Combo_Rank->lineEdit(), Qt::Key_Return);
    QCOMPARE(a.b().Combo_Rank->count(), 4);
    QCOMPARE(a.b().Combo_Rank->currentText(), QString("VIP"));
}

void CustomerTest::aRefusedBoxIsNeverStoredByAClick_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString wide13(13, QChar(0x5C71)), wide26(26, QChar(0x5C71));
    for (const char *button : {"Cmd_Regist", "Cmd_UserUpdate"}) {
        const QString b = QString::fromLatin1(button);
        QTest::addRow("%s: tel", button) << b << "Text_Tel" << "0901111x9" << TelMessage();
        QTest::addRow("%s: name", button) << b << "Combo_Name" << wide13 << NameMessage();
        QTest::addRow("%s: note", button) << b << "Text_Note" << wide26 << NoteMessage();
    }
    QTest::newRow("Cmd_Regist: place") << "Cmd_Regist" << "Text_Place" << wide13 << PlaceMessage();
    QTest::newRow("Cmd_Regist: start") << "Cmd_Regist" << "Text_Start_Time" << "25:00" << TimeMessage();
    QTest::newRow("Cmd_Regist: end") << "Cmd_Regist" << "Text_End_Time" << "9x" << TimeMessage();
}

void CustomerTest::aRefusedBoxIsNeverStoredByAClick()
{
    QFETCH(QString, button);
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, message);
    Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 0)));
    Area a;
    a.customer("花子", "0901");
    a.b().Combo_Shop_Name->setCurrentIndex(0);
    emit a.b().Combo_Shop_Name->activated(0);
    a.t.module().SyncStatusRows(a.girl);
    a.b().ReloadShownShop();
    a.b().Grid_Girl->editCell(1, 2, "出勤");
    a.search("0901");
    a.b().Grid_Girl->clickCell(1, 3);   // out for this booking: the entry area is filled
    a.b().Combo_Course->setCurrentIndex(0);
    emit a.b().Combo_Course->activated(0);
    a.b().show();
    QVERIFY(QTest::qWaitForWindowActive(&a.b()));

    auto *w = a.b().findChild<QWidget *>(box);
    auto *line = qobject_cast<QLineEdit *>(w);
    line ? line->setText(text) : qobject_cast<QComboBox *>(w)->setEditText(text);
    const QStringList before = test::DumpStore(a.t.db());
    a.t.prompt().clear();
    a.t.prompt().answer(Answer::Ok);   // should 顧客データ修正 get as far as its question
    auto *click = a.b().findChild<QPushButton *>(button);
    // Refused once and told, the second click is refused again: nothing reaches the file either time.
    for (int i = 1; i <= 2; ++i) {
        click->click();
        QCOMPARE(a.t.prompt().messages(), QStringList(i, message));
        QCOMPARE(QApplication::focusWidget(), w);
        QCOMPARE(test::DumpStore(a.t.db()), before);
    }
    Clock::reset();
}

void CustomerTest::searchTwoNamesOnOneNumber()
{
    Area a;
    const qint32 hanako = a.customer("花子", "0901", "上", "A");
    const qint32 momoko = a.customer("桃子", "0901", "危険", "B");
    a.visit(hanako, "2026-01-01", "20:00:00", 10000);
    a.visit(momoko, "2026-02-01", "20:00:00", 20000);
    a.visit(momoko, "2026-03-01", "20:00:00", 30000);
    const auto shown = [&] {
        return QStringList{QString::number(a.b().Combo_Name->count()), a.b().Combo_Name->currentText(),
                           a.b().Combo_Rank->currentText(), a.b().Text_Note->text(), a.b().Label_Total->text(),
                           QString::number(a.b().HistoryKeys.size())}.join('|');
    };

    a.search("0901");   // both listed, the first loaded
    QCOMPARE(shown(), QString("2|花子|上|A|¥10,000|1"));
    QCOMPARE(a.b().CurrentCustomerId, hanako);
    a.b().Combo_Name->setCurrentIndex(1);
    a.b().Combo_Name_Click(1);
    QCOMPARE(shown(), QString("2|桃子|危険|B|¥50,000|2"));
    QCOMPARE(a.b().CurrentCustomerId, momoko);
    a.search("0999");   // a number nobody has empties the area
    QCOMPARE(shown(), QString("0|||||0"));
    QCOMPARE(a.b().CurrentCustomerId, 0);
}

void CustomerTest::historyColumns()
{
    Area a;
    const qint32 c = a.customer("花子", "0901");
    a.visit(c, "2026-12-08", "21:00:00", 13000, 1 | 4);
    // Options are named as the shop names them now.
    a.t.db().exec("UPDATE \"店舗\" SET \"OP1名\"='足湯２';");
    a.search("0901");

    const QStringList expected{"Ａ店", "アイ", "あい", "True", "2026/12/08", "21:00 - 23:00", "駅前", "13000", "False",
                               "足湯２   延長割   "};
    for (int col = 0; col < 10; ++col)
        QCOMPARE(a.history().text(1, col), expected[col]);
    QCOMPARE(a.history().item(0, 7)->text(), QString("¥13,000"));
    // A click on a check-box column of the history changes nothing shown.
    a.history().clickCell(1, 3);
    a.history().clickCell(1, 8);
    QCOMPARE(a.history().text(1, 3) + a.history().text(1, 8), QString("TrueFalse"));
}

void CustomerTest::longHistoryAndVanishedNames()
{
    Area a;
    const qint32 c = a.customer("花子", "0901");
    for (int i = 0; i < 60; ++i)
        a.visit(c, QDate(2026, 1, 1).addDays(i).toString(Qt::ISODate), "20:00:00", 1000 + i);
    a.visit(c, "2026-12-31", "20:00:00", 500, 1, 999, 998);   // shop and companion purged since
    a.search("0901");

    QCOMPARE(a.history().rows(), 62);
    QCOMPARE(a.history().text(60, 4), QString("2026/03/01"));
    QCOMPARE(a.history().text(61, 0) + a.history().text(61, 1) + a.history().text(61, 2) + a.history().text(61, 7),
             QString("500"));
    // 60 x 1000 + (0 + ... + 59) + 500
    QCOMPARE(a.b().Label_Total->text(), QString("¥62,270"));

    // A customer with a short history after a long one: the grid is back to its usual size.
    const qint32 d = a.customer("桃子", "0902");
    a.visit(d, "2026-01-01", "20:00:00", 100);
    a.search("0902");
    QCOMPARE(a.history().rows(), Grid::InitialRows);
    QCOMPARE(a.b().HistoryKeys.size(), 1);
}

void CustomerTest::userUpdateRefreshes_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK stores") << true;
    QTest::newRow("Cancel stores nothing") << false;
}

void CustomerTest::userUpdateRefreshes()
{
    QFETCH(bool, ok);
    Area a;
    a.customer("花子", "0901", "上", "A");
    const qint32 momoko = a.customer("桃子", "0901", "並", "B");
    a.search("0901");
    a.b().Combo_Name->setCurrentIndex(1);
    a.b().Combo_Name_Click(1);
    a.b().Text_Note->setText("B2");
    a.b().Combo_Rank->setEditText("下");
    a.t.prompt().answer(ok ? Answer::Ok : Answer::Cancel);
    a.b().Cmd_UserUpdate_Click();

    QCOMPARE(a.t.prompt().messages(), QStringList{"顧客の基本データを修正します。"});
    const QString note = ok ? "B2" : "B";
    QCOMPARE(a.t.db().scalar("SELECT \"備考\" FROM \"顧客\" WHERE \"顧客ID\"=?;", {momoko}).toString(), note);
    QCOMPARE(a.t.db().scalar("SELECT \"名前\" FROM \"顧客\" WHERE \"備考\"='A';").toString(), QString("花子"));
    // Refreshed from the file, still showing the customer that was edited.
    QCOMPARE(a.b().CurrentCustomerId, momoko);
    QCOMPARE(a.b().Text_Note->text(), note);
    QCOMPARE(a.b().Combo_Rank->currentText(), QString(ok ? "下" : "並"));

    // Without a number there is nothing to store it under.
    a.b().Text_Tel->clear();
    a.b().Cmd_UserUpdate_Click();
    QCOMPARE(a.t.prompt().lastMessage(), QString("電話番号が入力されていません。"));
}

void CustomerTest::deleteOneRowByIds()
{
    Area a;
    const qint32 hanako = a.customer("花子", "0901");
    const qint32 other = a.customer("花子", "0902");
    a.visit(hanako, "2026-12-01", "20:00:00", 1000);
    a.visit(hanako, "2026-12-08", "21:00:00", 2000);
    a.visit(hanako, "2026-12-08", "21:00:00", 2000);   // the same booking twice
    a.visit(other, "2026-12-08", "21:00:00", 3000);    // same shop, companion, date and start: another customer
    a.search("0901");
    // Names change after the grid was filled; the row is still found by its ids.
    a.t.db().exec("UPDATE \"店舗\" SET \"店舗名\"='改名店';");
    a.t.db().exec("UPDATE \"コンパニオン\" SET \"源氏名\"='改名';");

    a.history().select(2, 0);
    a.t.prompt().answer(Answer::No);
    a.b().mnuRDel_Click();
    QCOMPARE(a.historyCount(hanako), 3);

    a.t.prompt().answer(Answer::Yes);
    a.b().mnuRDel_Click();
    QCOMPARE(a.t.prompt().shown().at(1).title, QString("履歴データ削除"));
    QCOMPARE(a.t.prompt().lastMessage(), QString("履歴データを削除しました。"));
    QCOMPARE(a.historyCount(hanako), 1);
    QCOMPARE(a.historyCount(other), 1);
    QCOMPARE(a.b().HistoryKeys.size(), 1);
    QCOMPARE(a.b().Label_Total->text(), QString("¥1,000"));
    QVERIFY(a.t.prompt().unexpected().isEmpty());
}

QTEST_MAIN(CustomerTest)
#include "test_customer.moc"
