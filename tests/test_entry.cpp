// The booking-entry area on the real board: a companion picked by ticking 空, then priced clicks.
#include "data/Clock.h"
#include "reception/Grid.h"
#include "support/TestApp.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

using namespace rp;
using rp::test::TestApp;

namespace {

// One shop: course A of 60 (10,000 at 40) and 90 minutes (20,000), option 1 "コス" 1,001 at 50 and
// option 2 "写真" 3,000; extension 30 minutes 5,000 at 40, nomination 2,000 at 50, cancellation
// 3,000 at 50. あい offers option 1 only and has a course-1 surcharge of 5; いい offers none.
struct Picked
{
    TestApp t;
    qint32 shop = 0, ai = 0;
    int row = 0;

    Picked()
    {
        Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 0)));
        if (!t.start())
            qFatal("start-up failed");
        shop = t.addShop("Ａ店");
        t.db().exec("UPDATE \"店舗\" SET \"C1時間2\"='90',\"C1料金2\"=20000,\"OP1名\"='コス',\"OP1料金\"=1001,\"OP1割合\"=50,"
                    "\"OP2名\"='写真',\"OP2料金\"=3000 WHERE \"店舗ID\"=?;", {shop});
        t.module().LoadShopList();
        ai = t.addCompanion("あい", {"アイ"}, {1});
        t.db().exec("UPDATE \"コンパニオン\" SET \"C1割増\"=5 WHERE \"コンパニオンID\"=?;", {ai});
        t.module().LoadCompanionList();
        t.module().SyncStatusRows(ai);
        t.module().SyncStatusRows(t.addCompanion("いい", {"イイ"}));   // row 2: no options
        b().Combo_Shop_Name->setCurrentIndex(0);
        emit b().Combo_Shop_Name->activated(0);
        row = 1;
        b().Grid_Girl->editCell(row, 2, "出勤");
    }
    ~Picked() { Clock::reset(); }

    Main_Form &b() { return t.board(); }
    void pick() { b().Grid_Girl->clickCell(row, 3); }
    void course(int line)
    {
        b().Combo_Course->setCurrentIndex(line);
        emit b().Combo_Course->activated(line);
    }
    QString amounts() { return b().Label_Pay->text() + " / " + b().Label_GirlPay->text(); }
    void focus(QWidget *w)
    {
        w->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(w->hasFocus());
    }
};

} // namespace

class TestEntry : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Clock::reset(); }
    void everyPricedClickRepricesAndCancelComesBack();
    void timesAreHalfWidthAndChecked();
    void storedBookingShowsAsStoredUntilChanged();
};

void TestEntry::everyPricedClickRepricesAndCancelComesBack()
{
    Picked f;
    Main_Form &b = f.b();
    // No companion yet: box clicks are undone, and without a start the course and spinner do nothing.
    for (QCheckBox *box : {b.Check_Shimei, b.Check_Cancel, b.Check_Option[0]}) {
        box->click();
        QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
    }
    f.course(0);
    b.UpDown_Ext->stepUp();
    QCOMPARE(b.Text_Ext->text(), QString("30"));
    QVERIFY(b.Text_End_Time->text().isEmpty());
    QCOMPARE(f.amounts(), QString("0 / 0"));

    f.pick();   // the reset empties the spinner again
    QCOMPARE(b.Text_Start_Time->text(), QString("21:00"));
    QCOMPARE(f.amounts(), QString("0 / 0"));

    f.course(1);   // A..90: 20,000, her share 0.65f
    QCOMPARE(b.Text_End_Time->text(), QString("22:30"));
    QCOMPARE(f.amounts(), QString("20,000 / 13,000"));
    b.Check_Option[0]->click();   // 12999.9995 + 500.5 stays below the half
    QCOMPARE(b.SelectedOptionMask, qint16(1));
    QCOMPARE(f.amounts(), QString("21,001 / 13,500"));
    QVERIFY(!b.Check_Option[1]->isEnabled());   // she does not offer it
    b.UpDown_Ext->stepUp();
    QCOMPARE(b.Text_Ext->text(), QString("30"));
    QCOMPARE(b.Text_End_Time->text(), QString("23:00"));
    QCOMPARE(f.amounts(), QString("26,001 / 16,500"));
    b.Check_Shimei->click();
    QCOMPARE(f.amounts(), QString("28,001 / 17,500"));

    // A look at another companion's name: the booking stays priced with her own options.
    b.Grid_Girl->clickCell(2, 0);
    b.Check_Cancel->click();
    QCOMPARE(f.amounts(), QString("3,000 / 1,500"));
    for (QWidget *w : std::initializer_list<QWidget *>{b.Text_Start_Time, b.Text_End_Time, b.Text_Place, b.Combo_Course,
                                                       b.UpDown_Ext, b.Check_Shimei, b.Check_Option[0]})
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(b.Check_Option[0]->isChecked());   // kept for the cancelled booking

    b.Check_Cancel->click();
    QCOMPARE(f.amounts(), QString("28,001 / 17,500"));
    QVERIFY(b.Combo_Course->isEnabled() && b.UpDown_Ext->isEnabled() && b.Check_Option[0]->isEnabled());
    QVERIFY(!b.Check_Option[1]->isEnabled());

    b.Check_Option[0]->click();
    QCOMPARE(b.SelectedOptionMask, qint16(0));
    QCOMPARE(f.amounts(), QString("27,000 / 17,000"));
}

void TestEntry::timesAreHalfWidthAndChecked()
{
    Picked f;
    Main_Form &b = f.b();
    b.show();
    QApplication::setActiveWindow(&b);
    QVERIFY(QTest::qWaitForWindowActive(&b));
    f.pick();
    f.course(0);
    QCOMPARE(b.Text_End_Time->text(), QString("22:00"));
    f.t.prompt().clear();

    f.focus(b.Text_Start_Time);
    b.Text_Start_Time->setText("２１：３０");
    f.focus(b.Text_Place);
    QCOMPARE(b.Text_Start_Time->text(), QString("21:30"));
    QCOMPARE(b.Text_End_Time->text(), QString("22:30"));

    // A refused start: told, the focus goes back, the end stays; the next valid start moves the end
    // from 21:30, not from the refused text.
    f.focus(b.Text_Start_Time);
    b.Text_Start_Time->setText("2130");
    b.Text_Place->setFocus(Qt::TabFocusReason);
    QCOMPARE(f.t.prompt().messages(), QStringList{"時刻を２４時制で入力してください。(PM10:00 --> 22:00)"});
    QCOMPARE(QApplication::focusWidget(), b.Text_Start_Time);
    QCOMPARE(b.Text_End_Time->text(), QString("22:30"));
    b.Text_Start_Time->setText("21:45");
    f.focus(b.Text_Place);
    QCOMPARE(b.Text_End_Time->text(), QString("22:45"));

    f.focus(b.Text_End_Time);
    b.Text_End_Time->setText("２３：６０");
    b.Text_Place->setFocus(Qt::TabFocusReason);
    QCOMPARE(f.t.prompt().messages().size(), 2);
    QCOMPARE(b.Text_End_Time->text(), QString("23:60"));
    QCOMPARE(QApplication::focusWidget(), b.Text_End_Time);
    QCOMPARE(f.amounts(), QString("10,000 / 6,500"));   // no re-pricing from the time boxes
    QVERIFY(f.t.prompt().unexpected().isEmpty());
}

void TestEntry::storedBookingShowsAsStoredUntilChanged()
{
    Picked f;
    Main_Form &b = f.b();
    f.pick();
    b.ResetBookingEntry();
    StoredEntry e{"Ａ店", "アイ", QString::number(f.ai), "2026/12/08", "21:00", "23:00", "駅前", "A..90", 30,
                  true, false, 1, 1, Money::fromYen(99999), Money::fromYen(50000)};
    b.ShowStoredBooking(e);
    QCOMPARE(b.LoadedStartTime, QString("21:00"));
    QCOMPARE(b.Combo_Course->currentIndex(), 1);
    QCOMPARE(b.Text_Ext->text(), QString("30"));
    QCOMPARE(b.Text_End_Time->text(), QString("23:00"));
    QVERIFY(b.Check_Shimei->isChecked() && b.Check_Option[0]->isChecked() && !b.Check_Option[1]->isEnabled());
    QCOMPARE(b.CompanionSurcharges[0], qint16(5));
    QCOMPARE(f.amounts(), QString("99,999 / 50,000"));

    // One click, one unit: the stored end already holds the stored extension.
    b.UpDown_Ext->stepUp();
    QCOMPARE(b.Text_End_Time->text(), QString("23:30"));
    QCOMPARE(f.amounts(), QString("33,001 / 20,500"));

    // A cancelled booking comes back with its priced controls locked.
    e.cancelled = true;
    e.extension.reset();
    b.ResetBookingEntry();
    b.ShowStoredBooking(e);
    QVERIFY(b.Text_Ext->text().isEmpty());
    QVERIFY(!b.Combo_Course->isEnabled() && !b.Check_Option[0]->isEnabled() && !b.Text_Start_Time->isEnabled());
    b.Check_Cancel->click();
    QVERIFY(b.Combo_Course->isEnabled() && b.Check_Option[0]->isEnabled());
    QCOMPARE(f.amounts(), QString("23,001 / 14,500"));
}

QTEST_MAIN(TestEntry)
#include "test_entry.moc"
