// The sales charts: every figure set equals the sales window's sums for the same periods, and the
// chart window a manager looks at.
#include "data/Clock.h"
#include "sales/Form_Sales.h"
#include "sales/Form_SalesChart.h"
#include "support/AllOrNothing.h"
#include "support/TestApp.h"

#include <QAbstractBarSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace rp;
using rp::test::TestApp;

namespace {

// Shops Ａ店 and Ｂ店 listed, Ｃ店 deleted; twelve companions; a fixed pseudo-random history from
// 2025-11 to 2027-01 with empty amounts, rows of the deleted shop and bookings on month ends.
struct Agency
{
    TestApp t;
    qint32 a = 0, b = 0, c = 0;
    QVector<qint32> girls;

    Agency()
    {
        Clock::set(QDateTime(QDate(2026, 11, 20), QTime(21, 0)));
        if (!t.start())
            qFatal("start-up failed");
        a = t.addShop("Ａ店");
        b = t.addShop("Ｂ店");
        c = t.addShop("Ｃ店");
        t.module().LoadShopList();
        for (int g = 1; g <= 12; ++g)
            girls << t.addCompanion(QString("嬢%1").arg(g), {"名", "名"});
        t.db().exec("UPDATE \"店舗\" SET \"削除FLAG\"=1 WHERE \"店舗ID\"=?;", {c});
        t.module().LoadShopList();
        t.module().LoadCompanionList();
        quint32 seed = 20261120u;
        auto next = [&seed](int n) { return int(((seed = seed * 1664525u + 1013904223u) >> 8) % quint32(n)); };
        const QVariant empty = QVariant(QMetaType(QMetaType::LongLong));
        t.db().atomic([&] {
            for (int i = 0; i < 406; ++i) {
                const int girl = next(12), fee = 5000 + 1000 * next(20);
                const bool none = next(25) == 0;
                const QDate day = i < 400 ? QDate(2025, 11, 1).addDays(next(430)) : QDate(2026, 10, 31).addDays(i - 400);
                t.db().insert("履歴", {"顧客ID", "店舗ID", "コンパニオンID", "年月日", "開始時刻", "店売上", "コンパニオン支払"},
                              {1, QVector<qint32>{a, a, b, c}[next(4)], girls[girl], IsoDate(day), "20:00:00",
                               none ? empty : QVariant(fee), none ? empty : QVariant(fee * (40 + girl) / 100)});
            }
        });
    }
    ~Agency() { Clock::reset(); }
};

QList<qint64> yen(const SalesFigures &f)
{
    return {f.gross.roundedYen(), f.shopShare.roundedYen(), f.pay.roundedYen(), f.visits};
}

QList<QBarSet *> barSets(QChart *chart) { return qobject_cast<QAbstractBarSeries *>(chart->series().first())->barSets(); }

QStringList categories(QChart *chart, Qt::Orientation orientation)
{
    return qobject_cast<QBarCategoryAxis *>(chart->axes(orientation).first())->categories();
}

} // namespace

class SalesChartTest : public QObject
{
    Q_OBJECT
private slots:
    void figuresEqualTheWindowSums_data();
    void figuresEqualTheWindowSums();
    void chartWindow();
};

void SalesChartTest::figuresEqualTheWindowSums_data()
{
    QTest::addColumn<QString>("shops");   // "AB" listed, "A" one shop, "AC" with the deleted shop
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<bool>("byMonth");

    QTest::newRow("a month by day, listed shops") << "AB" << QDate(2026, 11, 1) << QDate(2026, 11, 30) << false;
    QTest::newRow("a month by day, one shop") << "A" << QDate(2026, 10, 1) << QDate(2026, 10, 31) << false;
    QTest::newRow("a year by month") << "AB" << QDate(2026, 1, 1) << QDate(2026, 12, 31) << true;
    QTest::newRow("a year, the deleted shop asked for") << "AC" << QDate(2026, 1, 1) << QDate(2026, 12, 31) << true;
    QTest::newRow("across a new year, months cut") << "AB" << QDate(2025, 12, 15) << QDate(2026, 2, 10) << true;
    QTest::newRow("nothing booked") << "AB" << QDate(2024, 2, 1) << QDate(2024, 2, 29) << false;
}

void SalesChartTest::figuresEqualTheWindowSums()
{
    QFETCH(QString, shops);
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(bool, byMonth);

    Agency f;
    const QVector<qint32> ids = shops == "A" ? QVector<qint32>{f.a} : QVector<qint32>{f.a, shops == "AC" ? f.c : f.b};
    const Period period{first, last};
    const SalesSeries series = SalesByStep(f.t.db(), ids, period, byMonth ? SeriesStep::Month : SeriesStep::Day);
    QCOMPARE(series.steps.size(), byMonth ? (last.year() - first.year()) * 12 + last.month() - first.month() + 1
                                          : first.daysTo(last) + 1);
    for (int i = 0; i < series.steps.size(); ++i) {
        for (int s = 0; s < ids.size(); ++s)
            QCOMPARE(yen(series.byShop[s][i]), yen(SumSales(f.t.db(), {ids[s]}, std::nullopt, series.steps[i])));
        QCOMPARE(yen(series.total(i)), yen(SumSales(f.t.db(), ids, std::nullopt, series.steps[i])));
    }
    // Steps without gap or overlap: together they are the period.
    QCOMPARE(yen(series.grandTotal()), yen(SumSales(f.t.db(), ids, std::nullopt, period)));
    QCOMPARE(series.grandTotal().visits > 0, first.year() != 2024);

    // The ten with the most pay, as the companion frame would show each of them, ranked by hand.
    QVector<CompanionPay> ranked;
    for (int g = 0; g < f.girls.size(); ++g)
        if (const SalesFigures s = SumSales(f.t.db(), ids, f.girls[g], period); s.visits > 0)
            ranked << CompanionPay{f.girls[g], QString("嬢%1").arg(g + 1), s.pay, s.visits};
    std::stable_sort(ranked.begin(), ranked.end(), [](const CompanionPay &x, const CompanionPay &y) { return x.pay > y.pay; });
    ranked.resize(std::min<qsizetype>(ranked.size(), 10));
    const QVector<CompanionPay> top = TopCompanionsByPay(f.t.db(), ids, period, 10);
    QCOMPARE(top.size(), ranked.size());
    for (int i = 0; i < top.size(); ++i)
        QCOMPARE(QVariantList({top[i].companionId, top[i].genjiName, top[i].pay.roundedYen(), top[i].visits}),
                 QVariantList({ranked[i].companionId, ranked[i].genjiName, ranked[i].pay.roundedYen(), ranked[i].visits}));
}

void SalesChartTest::chartWindow()
{
    Agency f;
    const QStringList store = test::DumpStore(f.t.db());

    // From the sales window with Ａ店 picked: this month by day, Ａ店 alone.
    Form_Sales &sales = *f.t.app().salesForm();
    f.t.board().Cmd_Sales->click();
    sales.Combo_Shop_Name->setCurrentIndex(0);
    emit sales.Combo_Shop_Name->activated(0);
    sales.Cmd_Chart->click();
    Form_SalesChart &w = *sales.chartForm();
    QVERIFY(w.isVisible());
    QCOMPARE(w.Combo_Chart_Shop->currentText(), QString("Ａ店"));
    QCOMPARE(w.Combo_Chart_Shop->count(), 3);   // 全店舗, Ａ店, Ｂ店: not the deleted shop
    QCOMPARE(w.Text_Chart_Date->text(), QString("26/11"));
    QCOMPARE(w.chart()->title(), QString("2026年11月　日別売上（Ａ店）"));
    QCOMPARE(barSets(w.chart()).size(), 1);
    QCOMPARE(categories(w.chart(), Qt::Horizontal).size(), 30);
    const SalesFigures a = SumSales(f.t.db(), {f.a}, std::nullopt, Period{QDate(2026, 11, 1), QDate(2026, 11, 30)});
    QCOMPARE(w.Label_Chart_Total->text(), QString("総売上 %1円　店舗取り分 %2円　コンパニオン支払 %3円　来客本数 %4")
                                              .arg(FormatNumber(a.gross), FormatNumber(a.shopShare), FormatNumber(a.pay))
                                              .arg(a.visits));

    // A typed year, all shops: twelve months stacked by shop, in ten thousands of yen.
    w.Combo_Chart_Shop->setCurrentIndex(0);
    emit w.Combo_Chart_Shop->activated(0);
    w.Text_Chart_Date->setText("26");
    w.Cmd_Chart_Disp->click();
    QCOMPARE(w.chart()->title(), QString("2026年　月別売上（全店舗）"));
    QCOMPARE(categories(w.chart(), Qt::Horizontal).first(), QString("1月"));
    QList<QBarSet *> sets = barSets(w.chart());
    QCOMPARE(sets.size(), 2);
    QCOMPARE(sets[1]->label(), QString("Ｂ店"));
    QCOMPARE(sets[1]->at(10), w.shownSeries().byShop[1][10].gross.roundedYen() / 10000.0);

    // The shop's share and the companions' pay stack up to the takings of every month.
    w.Combo_Chart_Kind->setCurrentIndex(Form_SalesChart::ShareAndPay);
    emit w.Combo_Chart_Kind->activated(Form_SalesChart::ShareAndPay);
    sets = barSets(w.chart());
    QCOMPARE(QStringList({sets[0]->label(), sets[1]->label()}), QStringList({"店舗取り分", "コンパニオン支払"}));
    for (int i = 0; i < 12; ++i)
        QCOMPARE(qRound64((sets[0]->at(i) + sets[1]->at(i)) * 10000), w.shownSeries().total(i).gross.roundedYen());

    // The ten with the most pay, the first at the top.
    w.Combo_Chart_Kind->setCurrentIndex(Form_SalesChart::TopCompanions);
    emit w.Combo_Chart_Kind->activated(Form_SalesChart::TopCompanions);
    QCOMPARE(w.shownTop().size(), 10);
    QCOMPARE(categories(w.chart(), Qt::Vertical).last(), "1. " + w.shownTop().first().genjiName);
    QCOMPARE(barSets(w.chart())[0]->at(9), w.shownTop().first().pay.roundedYen() / 10000.0);

    // A wrong date is told and the chart stays.
    w.Text_Chart_Date->setText("26/13");
    w.Cmd_Chart_Disp->click();
    QCOMPARE(f.t.prompt().messages(), QStringList({"日付を入力してください。年は西暦下２桁で入力(YY/MM/DD or YY/MM or YY)"}));
    QCOMPARE(w.shownTop().size(), 10);

    w.Cmd_Chart_Quit->click();
    QVERIFY(!w.isVisible() && sales.isVisible());
    QCOMPARE(test::DumpStore(f.t.db()), store);   // read, never written
    QVERIFY(f.t.prompt().unexpected().isEmpty());
}

QTEST_MAIN(SalesChartTest)
#include "test_saleschart.moc"
