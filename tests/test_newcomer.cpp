// What a newcomer stumbled on: Qt's own texts in Japanese, prompts that typing replaces, a new caller
// said plainly and the previous caller cleared when the number changes, a visit history that fits the
// screen, the board's shop kept between runs on this PC, and rates that say whose share they are.
#include "data/Clock.h"
#include "masters/Form_GirlData.h"
#include "masters/Form_ShopData.h"
#include "reception/Grid.h"
#include "support/TestApp.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace rp;
using rp::test::TestApp;

namespace {

struct Started
{
    TestApp t;
    qint32 shopA = 0, shopB = 0;
    Started()
    {
        if (!t.start())
            qFatal("start-up failed");
        shopA = t.addShop("Ａ店");
        shopB = t.addShop("Ｂ店");
        t.module().LoadShopList();
    }
    Main_Form &b() { return t.board(); }
    void choose(int p)
    {
        b().Combo_Shop_Name->setCurrentIndex(p);
        emit b().Combo_Shop_Name->activated(p);
    }
};

} // namespace

class NewcomerTest : public QObject
{
    Q_OBJECT
private slots:
    void qtSpeaksJapanese();
    void typingReplacesThePrompt_data();
    void typingReplacesThePrompt();
    void newCallerAndChangedNumber();
    void historyFitsTheScreen();
    void boardShowsItsLastShopAgain();
    void ratesSayWhoseShareTheyAre();
};

void NewcomerTest::qtSpeaksJapanese()
{
    TestApp t;
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QString("キャンセル"));
}

void NewcomerTest::typingReplacesThePrompt_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<bool>("byMouse");
    QTest::newRow("shop editor, Tab") << "Form_ShopData" << false;
    QTest::newRow("shop editor, click") << "Form_ShopData" << true;
    QTest::newRow("companion editor, Tab") << "Form_GirlData" << false;
    QTest::newRow("companion editor, click") << "Form_GirlData" << true;
}

void NewcomerTest::typingReplacesThePrompt()
{
    QFETCH(QString, editor);
    QFETCH(bool, byMouse);
    Started s;
    ChildWindow *w = editor == "Form_ShopData" ? static_cast<ChildWindow *>(s.t.app().shopForm())
                                               : static_cast<ChildWindow *>(s.t.app().girlForm());
    w->showModal();
    QVERIFY(QTest::qWaitForWindowActive(w));
    auto *combo = w->findChild<QComboBox *>(editor == "Form_ShopData" ? "Combo_Shop_Name" : "Combo_Genji");
    const QString prompt = combo->currentText();
    QCOMPARE(prompt, editor == "Form_ShopData" ? QString("店舗名を選択、または入力") : QString("源氏名は？"));

    // From another box back to the list, as the operator comes to it.
    for (QLineEdit *other : w->findChildren<QLineEdit *>())
        if (other != combo->lineEdit() && other->isVisible() && other->isEnabled()) {
            other->setFocus(Qt::OtherFocusReason);
            break;
        }
    QVERIFY(!combo->hasFocus());
    if (byMouse)
        QTest::mouseClick(combo->lineEdit(), Qt::LeftButton, Qt::NoModifier, QPoint(4, combo->lineEdit()->height() / 2));
    else
        combo->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QVERIFY(combo->hasFocus());
    QCOMPARE(combo->lineEdit()->selectedText(), prompt);
    QTest::keyClicks(combo->lineEdit(), "Aoyama");
    QCOMPARE(combo->currentText(), QString("Aoyama"));
}

void NewcomerTest::newCallerAndChangedNumber()
{
    Started s;
    s.choose(0);
    const qint32 girl = s.t.addCompanion("あい", {"アイ"});
    s.t.module().LoadCompanionList();
    s.t.db().insert("顧客", {"名前", "TEL", "ランク", "備考"}, {"花子", "0901", "上", "常連"});
    const qint32 hanako = s.t.db().scalar("SELECT max(\"顧客ID\") FROM \"顧客\";").toInt();
    s.t.db().insert("履歴", {"顧客ID", "店舗ID", "コンパニオンID", "年月日", "開始時刻", "店売上", "コンパニオン支払"},
                    {hanako, s.shopA, girl, "2026-12-01", "20:00:00", 10000, 6000});
    Main_Form &b = s.b();

    // A number nobody has: said on the board, no box to dismiss.
    b.Text_Tel->setText("0999");
    b.Cmd_Search_Click();
    QVERIFY(b.Label_NewCaller->isVisibleTo(&b));
    QCOMPARE(b.Label_NewCaller->text(), QString("新規のお客様です（この番号は未登録）"));
    QVERIFY(s.t.prompt().messages().isEmpty());

    b.Text_Tel->setText("0901");
    b.Cmd_Search_Click();
    QVERIFY(!b.Label_NewCaller->isVisibleTo(&b));
    QCOMPARE(b.Combo_Name->currentText(), QString("花子"));
    QCOMPARE(b.Grid_Rireki->text(1, 0), QString("Ａ店"));

    // One digit changed: the caller shown is gone at once, before any search.
    b.Text_Tel->setFocus();
    QTest::keyClick(b.Text_Tel, Qt::Key_Backspace);
    QCOMPARE(b.Text_Tel->text(), QString("090"));
    QCOMPARE(b.CurrentCustomerId, 0);
    QCOMPARE(b.Combo_Name->currentText(), QString());
    QCOMPARE(b.Combo_Name->count(), 0);
    QCOMPARE(b.Combo_Rank->currentText(), QString());
    QCOMPARE(b.Text_Note->text(), QString());
    QCOMPARE(b.Label_Total->text(), QString());
    QCOMPARE(b.Grid_Rireki->text(1, 0), QString());
    QVERIFY(b.HistoryKeys.isEmpty());

    // A name typed for a new caller is the operator's, not a previous caller's: it stays.
    b.Cmd_Search_Click();
    b.Combo_Name->setEditText("太郎");
    QTest::keyClick(b.Text_Tel, Qt::Key_5);
    QCOMPARE(b.Combo_Name->currentText(), QString("太郎"));
    QVERIFY(!b.Label_NewCaller->isVisibleTo(&b));

    // The number of the customer shown, corrected: 顧客データ修正 still changes hers, nothing else.
    b.Text_Tel->setText("0901");
    b.Cmd_Search_Click();
    b.Text_Tel->setFocus();
    QTest::keyClicks(b.Text_Tel, "2");
    QCOMPARE(b.Combo_Name->currentText(), QString());
    s.t.prompt().answer(Answer::Ok);
    b.Cmd_UserUpdate->click();
    QCOMPARE(s.t.prompt().lastMessage(), QString("顧客の基本データを修正します。"));
    QCOMPARE(s.t.db().first("SELECT \"名前\",\"TEL\",\"ランク\",\"備考\" FROM \"顧客\" WHERE \"顧客ID\"=?;", {hanako})
                 .value()
                 .value(1)
                 .toString(),
             QString("09012"));
    QCOMPARE(s.t.db().scalar("SELECT count(*) FROM \"顧客\" WHERE \"名前\"='花子' AND \"ランク\"='上' AND \"備考\"='常連';").toInt(), 1);
    QCOMPARE(b.CurrentCustomerId, hanako);
    QCOMPARE(b.Combo_Name->currentText(), QString("花子"));
}

void NewcomerTest::historyFitsTheScreen()
{
    Started s;
    Main_Form &b = s.b();
    b.showNormal();
    b.setGeometry(0, 0, 1366, 740);
    QCoreApplication::processEvents();
    QCOMPARE(b.width(), 1366);
    Grid &g = *b.Grid_Rireki;
    // Everything up to ｷｬﾝｾﾙ without scrolling; the options begin on the screen too.
    for (int c = 0; c <= 8; ++c)
        QVERIFY2(g.columnViewportPosition(c) + g.columnWidth(c) <= g.viewport()->width(),
                 qPrintable(QString("column %1 ends at %2 of %3").arg(c).arg(g.columnViewportPosition(c) + g.columnWidth(c)).arg(g.viewport()->width())));
    QVERIFY(g.columnViewportPosition(9) < g.viewport()->width());
    // The header shows the words, not the blanks that pad them.
    QCOMPARE(g.model()->headerData(0, Qt::Horizontal).toString(), QString("店　名"));
    QCOMPARE(g.text(0, 0), QString("　　　　店　　　　　名　　　　"));
}

void NewcomerTest::boardShowsItsLastShopAgain()
{
    auto s = std::make_unique<Started>();
    QCOMPARE(s->b().Combo_Shop_Name->currentIndex(), -1);   // nothing shown yet on this PC
    s->choose(1);
    QVERIFY(s->t.close());
    // Kept beside the program, not in the shared database.
    QVERIFY(QFileInfo::exists(s->t.folder() + "/rosterpad-board.ini"));

    auto again = s->t.restart();
    QVERIFY(again->start());
    QCOMPARE(again->board().Combo_Shop_Name->currentIndex(), 1);
    QCOMPARE(again->board().Tariff.SelectedShopID, s->shopB);
    QVERIFY(again->close());
    // A shop no longer listed is not shown.
    {
        Database db;
        db.open(s->t.folder() + "/rosterpad.mdb");
        db.exec("UPDATE \"店舗\" SET \"削除FLAG\"=1 WHERE \"店舗ID\"=?;", {s->shopB});
    }
    auto third = again->restart();
    QVERIFY(third->start());
    QCOMPARE(third->board().Combo_Shop_Name->currentIndex(), -1);
    QVERIFY(third->close());
}

void NewcomerTest::ratesSayWhoseShareTheyAre()
{
    Started s;
    Form_ShopData &f = *s.t.app().shopForm();
    const QString share = "店の取り分（％）です。コンパニオンには残りを支払います。";
    for (QLineEdit *box : {f.Text_C1_Rate, f.Text_C2_Rate, f.Text_C3_Rate, f.Text_C4_Rate, f.Text_Opt_Rate,
                           f.Text_Ext_Rate, f.Text_Shimei_Rate, f.Text_Can_Rate})
        QCOMPARE(box->toolTip(), share);
    for (QLineEdit *box : f.Text_OneOpt_Rate)
        QVERIFY(box->toolTip().startsWith("このオプションの" + share));
}

QTEST_MAIN(NewcomerTest)
#include "test_newcomer.moc"
