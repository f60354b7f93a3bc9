// The program by keyboard: Enter in TEL searches, Enter presses a focused button, Enter in a sales date
// box is its own 表示, Tab runs through the entry area in the order a booking is taken, the arrows set
// the extension, and F12 or Ctrl+Enter is 登録 with its refusals.
#include "data/Clock.h"
#include "masters/Form_ShopData.h"
#include "reception/BookingEntry.h"
#include "reception/BookingStore.h"
#include "reception/Grid.h"
#include "sales/Form_Sales.h"
#include "support/TestApp.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace rp;
using rp::test::TestApp;

namespace {

// Ａ店 with two options; あい works there offering both and is on duty; 花子 is a known caller.
struct Desk
{
    TestApp t;

    Desk()
    {
        Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 0)));
        if (!t.start())
            qFatal("start-up failed");
        t.addShop("Ａ店", 10);
        t.db().exec("UPDATE \"店舗\" SET \"OP1名\"='浴衣',\"OP1料金\"=2000,\"OP2名\"='写真',\"OP2料金\"=1000;");
        t.module().LoadShopList();
        const qint32 ai = t.addCompanion("あい", {"アイ"}, {3});
        t.module().LoadCompanionList();
        t.module().SyncStatusRows(ai);
        t.db().insert("顧客", {"名前", "TEL"}, {"花子", "0901"});
        b().Combo_Shop_Name->setCurrentIndex(0);
        emit b().Combo_Shop_Name->activated(0);
        b().Grid_Girl->editCell(1, 2, "出勤");
    }
    ~Desk() { Clock::reset(); }
    Main_Form &b() { return t.board(); }
    // Her booking started on the board, for 花子, with a course chosen.
    void takeBooking()
    {
        b().Grid_Girl->clickCell(1, 3);
        b().Combo_Name->setEditText("花子");
        b().Text_Tel->setText("0901");
        b().Combo_Course->setCurrentIndex(0);
        emit b().Combo_Course->activated(0);
    }
    int bookings() { return t.db().scalar("SELECT count(*) FROM \"履歴\";").toInt(); }
};

void activate(QWidget *window)
{
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
}

} // namespace

class KeysTest : public QObject
{
    Q_OBJECT
private slots:
    void keys_data();
    void keys();
};

void KeysTest::keys_data()
{
    QTest::addColumn<QString>("window");     // "board" or "sales"
    QTest::addColumn<bool>("booking");       // her booking taken on the board first
    QTest::addColumn<QString>("focus");      // the control the keys go to
    QTest::addColumn<QString>("typed");      // typed into it first
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("message");    // the box shown; empty: none
    QTest::addColumn<QString>("effect");     // what must follow

    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("Enter in TEL searches") << "board" << false << "Text_Tel" << "0901" << int(Qt::Key_Return) << none << 1
                                           << "" << "customer 花子";
    QTest::newRow("Enter in TEL, a new number") << "board" << false << "Text_Tel" << "0999" << int(Qt::Key_Enter)
                                                << int(Qt::KeypadModifier) << 1 << "" << "new caller";
    QTest::newRow("Enter in TEL, checked as leaving it is") << "board" << false << "Text_Tel" << "09-1" << int(Qt::Key_Return)
                                                            << none << 1 << TelMessage() << "focus Text_Tel";
    QTest::newRow("Enter on a focused button") << "board" << false << "Cmd_ShopData" << "" << int(Qt::Key_Return) << none << 1
                                               << "" << "shown Form_ShopData";
    QTest::newRow("F12 with no caller is refused as 登録 refuses") << "board" << false << "Text_Place" << "" << int(Qt::Key_F12)
                                                                  << none << 1 << NoCustomerMessage() << "bookings 0";
    QTest::newRow("F12 registers") << "board" << true << "Text_Place" << "" << int(Qt::Key_F12) << none << 1 << ""
                                   << "bookings 1";
    QTest::newRow("Ctrl+Enter registers") << "board" << true << "Combo_Course" << "" << int(Qt::Key_Return) << ctrl << 1
                                          << "" << "bookings 1";
    QTest::newRow("Ctrl+Enter on the keypad registers") << "board" << true << "Check_Shimei" << "" << int(Qt::Key_Enter)
                                                        << int(Qt::ControlModifier | Qt::KeypadModifier) << 1 << ""
                                                        << "bookings 1";
    QTest::newRow("F12 checks the box it leaves first") << "board" << true << "Text_Start_Time" << "99" << int(Qt::Key_F12)
                                                        << none << 1 << TimeMessage() << "focus Text_Start_Time";
    QTest::newRow("Up in the extension box") << "board" << true << "Text_Ext" << "" << int(Qt::Key_Up) << none << 2 << ""
                                             << "extension 60";
    // Tab through the entry area in the order the booking is taken; hidden option boxes are passed by.
    const char *const order[] = {"Text_End_Time", "Text_Place",  "Combo_Course",   "Text_Ext",  "Check_Shimei",
                                 "Check_Cancel",  "Check_Option_0", "Check_Option_1", "Cmd_Regist"};
    for (int n = 1; n <= int(std::size(order)); ++n)
        QTest::addRow("Tab x%d from the start time", n) << "board" << false << "Text_Start_Time" << "" << int(Qt::Key_Tab)
                                                        << none << n << "" << QStringLiteral("focus ") + order[n - 1];
    QTest::newRow("Enter in the shop's date box is its own 表示")
        << "sales" << false << "Text_Date" << "26" << int(Qt::Key_Return) << none << 1 << "表示する店舗を選択してください。" << "";
    QTest::newRow("Enter in the all-shops date box is its own 表示")
        << "sales" << false << "Text_Date_All" << "26" << int(Qt::Key_Return) << none << 1 << "" << "figures";
    QTest::newRow("Enter in the companion's date box is its own 表示")
        << "sales" << false << "Text_Girl_Date" << "26" << int(Qt::Key_Return) << none << 1
        << "表示するコンパニオンを選択してください。" << "";
    QTest::newRow("Enter on Ｏ　Ｋ") << "sales" << false << "Cmd_Quit" << "" << int(Qt::Key_Return) << none << 1 << ""
                                    << "hidden Form_Sales";
}

void KeysTest::keys()
{
    QFETCH(QString, window);
    QFETCH(bool, booking);
    QFETCH(QString, focus);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, presses);
    QFETCH(QString, message);
    QFETCH(QString, effect);

    Desk d;
    if (booking)
        d.takeBooking();
    QWidget *host = &d.b();
    if (window == "sales") {
        d.b().Cmd_Sales->click();
        host = d.t.app().salesForm();
    }
    activate(host);
    auto *target = host->findChild<QWidget *>(focus);
    QVERIFY(target);
    target->setFocus(Qt::OtherFocusReason);
    QCOMPARE(QApplication::focusWidget(), target);
    if (auto *box = qobject_cast<QLineEdit *>(target))
        box->selectAll();   // typing replaces what the box holds
    QTest::keyClicks(target, typed);
    for (int i = 0; i < presses; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    QCOMPARE(d.t.prompt().messages(), message.isEmpty() ? QStringList() : QStringList{message});
    const QString what = effect.section(' ', 0, 0);
    const QString arg = effect.section(' ', 1);
    if (what == "customer") {
        QCOMPARE(d.b().Combo_Name->currentText(), arg);
        QVERIFY(d.b().CurrentCustomerId != 0);
    } else if (what == "new") {
        QVERIFY(d.b().Label_NewCaller->isVisibleTo(&d.b()));
    } else if (what == "focus") {
        QCOMPARE(QApplication::focusWidget()->objectName(), arg);
    } else if (what == "shown" || what == "hidden") {
        QWidget *w = d.b().findChild<QWidget *>(arg);
        QVERIFY(w);
        QCOMPARE(w->isVisible(), what == "shown");
    } else if (what == "bookings") {
        QCOMPARE(d.bookings(), arg.toInt());
    } else if (what == "extension") {
        QCOMPARE(d.b().Text_Ext->text(), arg);
        QCOMPARE(d.b().Text_End_Time->text(), "23:00");   // 21:00, a 60-minute course and one hour more
    } else if (what == "figures") {
        QCOMPARE(d.t.app().salesForm()->Label_TargetDate[7]->text(), "0");
    } else {
        QVERIFY(effect.isEmpty());
    }
}

QTEST_MAIN(KeysTest)
#include "test_keys.moc"
