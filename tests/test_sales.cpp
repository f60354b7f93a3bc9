// The sales window: the periods it shows, how the history rows are counted, and what the operator sees.
#include "data/Clock.h"
#include "sales/Form_Sales.h"
#include "sales/SalesRules.h"
#include "support/TestApp.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace rp;
using rp::test::TestApp;

namespace {

const QString ShopMessage = QStringLiteral("表示する店舗を選択してください。");
const QString CompanionMessage = QStringLiteral("表示するコンパニオンを選択してください。");
const QString DateMessage = QStringLiteral("日付を入力してください。年は西暦下２桁で入力(YY/MM/DD or YY/MM or YY)");

void addBooking(TestApp &t, qint32 shop, qint32 companion, const QString &date, const QVariant &gross,
                const QVariant &pay)
{
    t.db().insert(QStringLiteral("履歴"),
                  {QStringLiteral("顧客ID"), QStringLiteral("店舗ID"), QStringLiteral("コンパニオンID"),
                   QStringLiteral("年月日"), QStringLiteral("開始時刻"), QStringLiteral("店売上"),
                   QStringLiteral("コンパニオン支払")},
                  {1, shop, companion, date, QStringLiteral("20:00:00"), gross, pay});
}

const QVariant Empty = QVariant(QMetaType(QMetaType::LongLong));

// Shops A and B listed, C deleted; companions ゆき (X) and はな (Y). The clock stands at 04:59 on
// 2005/10/01, so today is 09/30, yesterday 09/29, this month October and last month September.
struct Agency
{
    TestApp t;
    qint32 a = 0, b = 0, c = 0, x = 0, y = 0;

    Agency()
    {
        Clock::set(QDateTime(QDate(2005, 10, 1), QTime(4, 59)));
        if (!t.start())
            qFatal("start-up failed");
        a = t.addShop(QStringLiteral("Ａ店"));
        b = t.addShop(QStringLiteral("Ｂ店"));
        c = t.addShop(QStringLiteral("Ｃ店"));
        t.module().LoadShopList();
        x = t.addCompanion(QStringLiteral("ゆき"), {QStringLiteral("ユキ"), QStringLiteral("ユキ")});
        y = t.addCompanion(QStringLiteral("はな"), {QStringLiteral("ハナ")});
        t.db().exec(QStringLiteral("UPDATE \"店舗\" SET \"削除FLAG\"=1 WHERE \"店舗ID\"=?;"), {c});
        t.module().LoadShopList();
        t.module().LoadCompanionList();
        addBooking(t, a, x, "2005-09-30", 12000, 7000);
        addBooking(t, a, x, "2005-09-30", 12000, 7000);
        addBooking(t, a, y, "2005-09-30", Empty, Empty);
        addBooking(t, c, x, "2005-09-30", 50000, 30000);
        addBooking(t, b, x, "2005-09-29", 1000, 400);
        addBooking(t, a, x, "2005-09-01", 3000, 1000);
        addBooking(t, a, x, "2005-10-01", 5000, 2000);
    }
    ~Agency() { Clock::reset(); }

    Form_Sales &form() { return *t.app().salesForm(); }
    void open()
    {
        t.board().Cmd_Sales->click();
        if (!form().isVisible())
            qFatal("the sales window did not open");
    }
    void pick(QComboBox *combo, int position)
    {
        combo->setCurrentIndex(position);
        emit combo->activated(position);
    }
};

QStringList texts(const std::array<QLabel *, 8> &labels, int from, int count)
{
    QStringList out;
    for (int i = from; i < from + count; ++i)
        out << labels[i]->text();
    return out;
}

QStringList girlTexts(Form_Sales &f) { return texts(f.Label_Girl_Sales, 0, 8); }

} // namespace

class SalesTest : public QObject
{
    Q_OBJECT
private slots:
    void periods_data();
    void periods();
    void sums_data();
    void sums();
    void showingAndPickingAShop();
    void typedPeriodForAllShops_data();
    void typedPeriodForAllShops();
    void shopMustBePicked_data();
    void shopMustBePicked();
    void companionFrame();
    void yearOfAnAgencyShowsEveryDigit();
    void storeFailureLeavesTheLabels();
};

void SalesTest::periods_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("thisMonth");
    QTest::addColumn<QDate>("lastMonth");

    QTest::newRow("04:59: the day before, the calendar's month")
        << QDateTime(QDate(2005, 10, 1), QTime(4, 59)) << QDate(2005, 9, 30) << QDate(2005, 10, 1) << QDate(2005, 9, 1);
    QTest::newRow("05:00: the new day")
        << QDateTime(QDate(2005, 10, 1), QTime(5, 0)) << QDate(2005, 10, 1) << QDate(2005, 10, 1) << QDate(2005, 9, 1);
    QTest::newRow("January: last month is December before")
        << QDateTime(QDate(2006, 1, 15), QTime(12, 0)) << QDate(2006, 1, 15) << QDate(2006, 1, 1) << QDate(2005, 12, 1);
    QTest::newRow("small hours of New Year")
        << QDateTime(QDate(2006, 1, 1), QTime(3, 0)) << QDate(2005, 12, 31) << QDate(2006, 1, 1) << QDate(2005, 12, 1);
    QTest::newRow("March of a leap year")
        << QDateTime(QDate(2004, 3, 1), QTime(1, 0)) << QDate(2004, 2, 29) << QDate(2004, 3, 1) << QDate(2004, 2, 1);
}

void SalesTest::periods()
{
    QFETCH(QDateTime, now);
    QFETCH(QDate, today);
    QFETCH(QDate, thisMonth);
    QFETCH(QDate, lastMonth);

    const FixedPeriods p = SalesPeriods(now);
    QCOMPARE(p.today.first, today);
    QCOMPARE(p.today.last, today);
    QCOMPARE(p.yesterday.first, today.addDays(-1));
    QCOMPARE(p.yesterday.last, today.addDays(-1));
    QCOMPARE(p.thisMonth.first, thisMonth);
    QCOMPARE(p.thisMonth.last, thisMonth.addMonths(1).addDays(-1));
    QCOMPARE(p.lastMonth.first, lastMonth);
    QCOMPARE(p.lastMonth.last, thisMonth.addDays(-1));
}

void SalesTest::sums_data()
{
    QTest::addColumn<QString>("shops");     // "AB", "A", "" (letters of the fixture's shops)
    QTest::addColumn<QString>("companion"); // "", "x", "y"
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<QList<qint64>>("expected"); // gross, shop share, pay, visits

    const QDate day(2005, 9, 30);
    QTest::newRow("one shop, a day: 2 x 12,000 with 7,000 pay")
        << "A" << "x" << day << day << QList<qint64>{24000, 10000, 14000, 2};
    QTest::newRow("listed shops: deleted shop out, empty amount still a visit")
        << "AB" << "" << day << day << QList<qint64>{24000, 10000, 14000, 3};
    QTest::newRow("only an empty amount") << "A" << "y" << day << day << QList<qint64>{0, 0, 0, 1};
    QTest::newRow("companion over listed shops, a month with both bounds")
        << "AB" << "x" << QDate(2005, 9, 1) << day << QList<qint64>{28000, 12600, 15400, 4};
    QTest::newRow("companion at one shop") << "A" << "x" << QDate(2005, 9, 1) << day << QList<qint64>{27000, 12000, 15000, 3};
    QTest::newRow("period without rows") << "AB" << "" << QDate(2005, 8, 1) << QDate(2005, 8, 31) << QList<qint64>{0, 0, 0, 0};
    QTest::newRow("no shop listed") << "" << "" << QDate(2005, 1, 1) << QDate(2005, 12, 31) << QList<qint64>{0, 0, 0, 0};
}

void SalesTest::sums()
{
    QFETCH(QString, shops);
    QFETCH(QString, companion);
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(QList<qint64>, expected);

    Agency f;
    QVector<qint32> ids;
    for (QChar s : shops)
        ids << (s == 'A' ? f.a : f.b);
    std::optional<qint32> who;
    if (!companion.isEmpty())
        who = companion == "x" ? f.x : f.y;

    const SalesFigures got = SumSales(f.t.db(), ids, who, Period{first, last});
    QCOMPARE(QList<qint64>({got.gross.roundedYen(), got.shopShare.roundedYen(), got.pay.roundedYen(), got.visits}),
             expected);
}

void SalesTest::showingAndPickingAShop()
{
    Agency f;
    f.open();
    Form_Sales &w = f.form();
    QCOMPARE(w.windowModality(), Qt::ApplicationModal);
    QVERIFY(!w.closeCommandEnabled());
    QCOMPARE(texts(w.Label_Today, 4, 4), QStringList({"24,000", "10,000", "14,000", "3"}));
    QCOMPARE(texts(w.Label_Yesterday, 4, 4), QStringList({"1,000", "600", "400", "1"}));
    QCOMPARE(texts(w.Label_ThisMonth, 4, 4), QStringList({"5,000", "3,000", "2,000", "1"}));
    QCOMPARE(texts(w.Label_LastMonth, 4, 4), QStringList({"28,000", "12,600", "15,400", "5"}));
    QCOMPARE(w.Combo_Shop_Name->currentText(), QString("店舗名を選択してください。"));
    QCOMPARE(w.Combo_GirlName->currentText(), QString("源氏名を選択"));
    QCOMPARE(w.Combo_Shop_Name->count(), 2); // the deleted shop cannot be picked
    for (QLineEdit *box : {w.Text_Date, w.Text_Date_All, w.Text_Girl_Date}) {
        QCOMPARE(box->maxLength(), 8);
        QVERIFY(!box->testAttribute(Qt::WA_InputMethodEnabled));
        QCOMPARE(box->toolTip(), QString("YY・・・入力された２桁の年の売上　YY/MM・・・入力された年月の売上　"
                                         "YY/MM/DD・・・入力された年月日の売上"));
    }

    // Enter in a date box presses no button of another frame (it is the box's own 表示: the companion
    // frame asks for its companion, never for a shop).
    for (QLineEdit *box : {w.Text_Date_All, w.Text_Girl_Date}) {
        box->setText("05/09");
        QTest::keyClick(box, Qt::Key_Return);
        box->clear();
    }
    QCOMPARE(f.t.prompt().messages(), QStringList{"表示するコンパニオンを選択してください。"});
    f.t.prompt().clear();

    f.pick(w.Combo_Shop_Name, 0);
    QCOMPARE(texts(w.Label_Today, 0, 4), QStringList({"24,000", "10,000", "14,000", "3"}));
    QCOMPARE(texts(w.Label_Yesterday, 0, 4), QStringList({"0", "0", "0", "0"}));
    QCOMPARE(texts(w.Label_ThisMonth, 0, 4), QStringList({"5,000", "3,000", "2,000", "1"}));
    QCOMPARE(texts(w.Label_LastMonth, 0, 4), QStringList({"27,000", "12,000", "15,000", "4"}));
    w.Text_Date->setText("05/09");
    w.Cmd_Disp->click();
    QCOMPARE(texts(w.Label_TargetDate, 0, 4), QStringList({"27,000", "12,000", "15,000", "4"}));

    // Leaving and coming back: nothing of the earlier showing survives.
    w.Cmd_Quit->click();
    QVERIFY(!w.isVisible());
    f.open();
    QCOMPARE(texts(w.Label_Today, 0, 4), QStringList({"", "", "", ""}));
    QCOMPARE(texts(w.Label_TargetDate, 0, 8), QStringList(8, QString()));
    QVERIFY(w.Text_Date->text().isEmpty());
    QCOMPARE(w.Combo_Shop_Name->currentIndex(), -1);
    QVERIFY(f.t.prompt().messages().isEmpty());
}

void SalesTest::typedPeriodForAllShops_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("visits"); // empty: refused with the date message

    QTest::newRow("day") << "05/09/30" << "3";
    QTest::newRow("month, first day included") << "05/09" << "5";
    QTest::newRow("year") << "05" << "6";
    QTest::newRow("month of the last day only") << "05/10" << "1";
    QTest::newRow("four-digit year") << "2005" << "";
    QTest::newRow("no leading zeros") << "5/9/7" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("no such day") << "05/02/30" << "";
}

void SalesTest::typedPeriodForAllShops()
{
    QFETCH(QString, typed);
    QFETCH(QString, visits);

    Agency f;
    f.open();
    Form_Sales &w = f.form();
    w.Combo_Shop_Name->setEditText("Ａ店"); // whatever the shop combo shows
    w.Text_Date_All->setText(typed);
    w.Cmd_Disp_All->click();
    QCOMPARE(w.Label_TargetDate[7]->text(), visits);
    QCOMPARE(f.t.prompt().messages(), visits.isEmpty() ? QStringList{DateMessage} : QStringList{});
}

void SalesTest::shopMustBePicked_data()
{
    QTest::addColumn<int>("picked");   // -1: none
    QTest::addColumn<QString>("typed"); // typed afterwards; null: nothing typed
    QTest::addColumn<bool>("shown");

    QTest::newRow("picked") << 0 << QString() << true;
    QTest::newRow("prompt only") << -1 << QString() << false;
    QTest::newRow("name typed, never picked") << -1 << "Ａ店" << false;
    QTest::newRow("other name typed over a pick") << 0 << "Ｂ店" << false;
    QTest::newRow("pick's name typed again") << 0 << "Ａ店" << true;
}

void SalesTest::shopMustBePicked()
{
    QFETCH(int, picked);
    QFETCH(QString, typed);
    QFETCH(bool, shown);

    Agency f;
    f.open();
    Form_Sales &w = f.form();
    if (picked >= 0)
        f.pick(w.Combo_Shop_Name, picked);
    if (!typed.isNull())
        w.Combo_Shop_Name->setEditText(typed);
    w.Text_Date->setText("05/13"); // the shop is asked for before the date is read
    if (shown)
        w.Text_Date->setText("05/09");
    w.Cmd_Disp->click();
    QCOMPARE(f.t.prompt().messages(), shown ? QStringList{} : QStringList{ShopMessage});
    QCOMPARE(w.Label_TargetDate[0]->text(), shown ? QString("27,000") : QString());
}

void SalesTest::companionFrame()
{
    Agency f;
    f.open();
    Form_Sales &w = f.form();
    const QStringList nothing(8, QString());

    // A shop picked without a companion changes nothing; the typed period needs a companion.
    f.pick(w.Combo_SName_Girl, 0);
    QCOMPARE(girlTexts(w), nothing);
    w.Text_Girl_Date->setText("05/09");
    w.Cmd_Gir_Disp->click();
    QCOMPARE(f.t.prompt().messages(), QStringList{CompanionMessage});
    QCOMPARE(girlTexts(w), nothing);

    // Opened afresh: the shop combo shows its prompt, so the companion's figures cover the listed shops.
    w.Cmd_Quit->click();
    f.open();
    f.pick(w.Combo_GirlName, 0);
    QCOMPARE(girlTexts(w), QStringList({"14,000", "2,000", "2", "400", "15,400", "1", "", ""}));

    // Narrowed to Ａ店.
    f.pick(w.Combo_SName_Girl, 0);
    QCOMPARE(girlTexts(w), QStringList({"14,000", "2,000", "2", "0", "15,000", "0", "", ""}));
    w.Text_Girl_Date->setText("05/09");
    w.Cmd_Gir_Disp->click();
    QCOMPARE(texts(w.Label_Girl_Sales, 6, 2), QStringList({"15,000", "3"}));

    // The shop combo emptied: the typed period covers the listed shops again.
    w.Combo_SName_Girl->setEditText(QString());
    w.Cmd_Gir_Disp->click();
    QCOMPARE(texts(w.Label_Girl_Sales, 6, 2), QStringList({"15,400", "4"}));
    w.Text_Girl_Date->setText("05/09/30");
    w.Cmd_Gir_Disp->click();
    QCOMPARE(texts(w.Label_Girl_Sales, 6, 2), QStringList({"14,000", "2"}));
    QCOMPARE(f.t.prompt().messages(), QStringList{CompanionMessage});
}

void SalesTest::yearOfAnAgencyShowsEveryDigit()
{
    TestApp t;
    Clock::set(QDateTime(QDate(2026, 11, 30), QTime(21, 0)));
    QVERIFY(t.start());
    const qint32 shop = t.addShop("本店");
    t.module().LoadShopList();
    const qint32 girl = t.addCompanion("ゆき", {"ユキ"});
    t.db().atomic([&] {
        for (int i = 0; i < 1001; ++i)
            addBooking(t, shop, girl, "2026-11-30", 3000000, 1800000);
    });
    t.board().Cmd_Sales->click();
    QCOMPARE(texts(t.app().salesForm()->Label_Today, 4, 4),
             QStringList({"3,003,000,000", "1,201,200,000", "1,801,800,000", "1,001"}));
    Clock::reset();
}

void SalesTest::storeFailureLeavesTheLabels()
{
    Agency f;
    f.open();
    Form_Sales &w = f.form();
    f.pick(w.Combo_Shop_Name, 0);
    f.pick(w.Combo_GirlName, 0);
    const QStringList shopBefore = texts(w.Label_Today, 0, 4) + texts(w.Label_LastMonth, 0, 4);
    const QStringList girlBefore = girlTexts(w);

    // Today gains a booking, and last month two amounts whose sum the store cannot hold: the last
    // period of each action fails after the first ones were computed.
    addBooking(f.t, f.a, f.x, "2005-09-30", 1000, 0);
    const qint64 huge = qint64(1) << 62;
    addBooking(f.t, f.a, f.x, "2005-09-02", huge, huge);
    addBooking(f.t, f.a, f.x, "2005-09-03", huge, huge);

    f.pick(w.Combo_Shop_Name, 0);
    f.pick(w.Combo_GirlName, 0);
    w.Text_Date_All->setText("05/09");
    w.Cmd_Disp_All->click();

    const QStringList boxes = f.t.prompt().messages();
    QCOMPARE(boxes.size(), 3);
    for (const QString &box : boxes)
        QVERIFY2(box.startsWith("Error!!  ") && box.contains("  Error No.= "), qPrintable(box));
    QCOMPARE(texts(w.Label_Today, 0, 4) + texts(w.Label_LastMonth, 0, 4), shopBefore);
    QCOMPARE(girlTexts(w), girlBefore);
    QCOMPARE(texts(w.Label_TargetDate, 4, 4), QStringList(4, QString()));

    // A sum that fits the store but not the currency is refused as well, not wrapped.
    f.t.db().exec("UPDATE \"履歴\" SET \"店売上\"=?,\"コンパニオン支払\"=0 WHERE \"店売上\"=?;",
                  {qint64(1) << 60, huge});
    w.Cmd_Disp_All->click();
    QCOMPARE(f.t.prompt().messages().size(), 4);
    QCOMPARE(texts(w.Label_TargetDate, 4, 4), QStringList(4, QString()));
}

QTEST_MAIN(SalesTest)
#include "test_sales.moc"
