// The sales charts: every figure set equals the sales window's sums for the same periods, and the
// chart window a manager looks at.
#include "data/Clock.h"
#include "sales/Form_Sales.h"
#include "sales/Form_SalesChart.h"
#include "sales/SalesSeries.h"
#include "support/AllOrNothing.h"
#include "support/TestApp.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
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

const QVariant Empty = QVariant(QMetaType(QMetaType::LongLong));

// Shops Ａ店 and Ｂ店 listed, Ｃ店 deleted; twelve companions; history from 2025-11 to 2027-01 with
// bookings on month ends, empty amounts and rows of the deleted shop. The clock stands in 2026-11.
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
        a = t.addShop(QStringLiteral("Ａ店"));
        b = t.addShop(QStringLiteral("Ｂ店"));
        c = t.addShop(QStringLiteral("Ｃ店"));
        t.module().LoadShopList();
        for (int g = 1; g <= 12; ++g)
            girls << t.addCompanion(QStringLiteral("嬢%1").arg(g), {QStringLiteral("名%1").arg(g), QStringLiteral("名%1").arg(g)});
        t.db().exec(QStringLiteral("UPDATE \"店舗\" SET \"削除FLAG\"=1 WHERE \"店舗ID\"=?;"), {c});
        t.module().LoadShopList();
        t.module().LoadCompanionList();

        // A fixed pseudo-random history: the same rows on every run.
        quint32 seed = 20261120u;
        auto next = [&seed](int n) {
            seed = seed * 1664525u + 1013904223u;
            return int((seed >> 8) % quint32(n));
        };
        const QDate start(2025, 11, 1);
        t.db().atomic([&] {
            for (int i = 0; i < 400; ++i) {
                const qint32 shop = QVector<qint32>{a, a, b, c}[next(4)];
                const int girl = next(12);
                const int fee = 5000 + 1000 * next(20);
                const bool empty = next(25) == 0;
                add(shop, girls[girl], start.addDays(next(430)), empty ? Empty : QVariant(fee),
                    empty ? Empty : QVariant(fee * (40 + girl) / 100));
            }
            for (const QDate &d : {QDate(2026, 10, 31), QDate(2026, 11, 1), QDate(2026, 11, 30), QDate(2026, 12, 1),
                                   QDate(2025, 12, 31), QDate(2026, 1, 1)})
                add(a, girls[0], d, 7000, 3000);
        });
    }
    ~Agency() { Clock::reset(); }

    void add(qint32 shop, qint32 girl, const QDate &day, const QVariant &gross, const QVariant &pay)
    {
        t.db().insert(QStringLiteral("履歴"),
                      {QStringLiteral("顧客ID"), QStringLiteral("店舗ID"), QStringLiteral("コンパニオンID"),
                       QStringLiteral("年月日"), QStringLiteral("開始時刻"), QStringLiteral("店売上"),
                       QStringLiteral("コンパニオン支払")},
                      {1, shop, girl, IsoDate(day), QStringLiteral("20:00:00"), gross, pay});
    }
    QVector<qint32> listed() const { return {a, b}; }
    QVector<qint32> shops(const QString &which) const
    {
        if (which == "A")
            return {a};
        if (which == "AC")
            return {a, c};
        return listed();
    }

    Form_Sales &sales() { return *t.app().salesForm(); }
    Form_SalesChart &openChart(int shopPosition)
    {
        t.board().Cmd_Sales->click();
        if (shopPosition >= 0) {
            sales().Combo_Shop_Name->setCurrentIndex(shopPosition);
            emit sales().Combo_Shop_Name->activated(shopPosition);
        }
        sales().Cmd_Chart->click();
        return *sales().chartForm();
    }
};

QList<qint64> yen(const SalesFigures &f)
{
    return {f.gross.roundedYen(), f.shopShare.roundedYen(), f.pay.roundedYen(), f.visits};
}

QList<qreal> values(const QBarSet *set)
{
    QList<qreal> out;
    for (int i = 0; i < set->count(); ++i)
        out << set->at(i);
    return out;
}

QList<QBarSet *> barSets(QChart *chart)
{
    const auto series = chart->series();
    return series.size() == 1 ? qobject_cast<QAbstractBarSeries *>(series.first())->barSets() : QList<QBarSet *>();
}

QStringList categoryLabels(QChart *chart, Qt::Orientation orientation)
{
    for (QAbstractAxis *axis : chart->axes(orientation))
        if (auto *categories = qobject_cast<QBarCategoryAxis *>(axis))
            return categories->categories();
    return {};
}

} // namespace

class SalesChartTest : public QObject
{
    Q_OBJECT
private slots:
    void steps_data();
    void steps();
    void seriesEqualTheWindowSums_data();
    void seriesEqualTheWindowSums();
    void topCompanionsEqualTheirPay_data();
    void topCompanionsEqualTheirPay();
    void chartWindow();
};

void SalesChartTest::steps_data()
{
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<bool>("byMonth");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("ends");   // the first and the last step

    QTest::newRow("a day") << QDate(2026, 11, 5) << QDate(2026, 11, 5) << false << 1 << QStringList{"11/05-11/05", "11/05-11/05"};
    QTest::newRow("February of a leap year, by day")
        << QDate(2028, 2, 1) << QDate(2028, 2, 29) << false << 29 << QStringList{"02/01-02/01", "02/29-02/29"};
    QTest::newRow("a year by month")
        << QDate(2026, 1, 1) << QDate(2026, 12, 31) << true << 12 << QStringList{"01/01-01/31", "12/01-12/31"};
    QTest::newRow("cut at both ends")
        << QDate(2026, 10, 15) << QDate(2026, 12, 10) << true << 3 << QStringList{"10/15-10/31", "12/01-12/10"};
}

void SalesChartTest::steps()
{
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(bool, byMonth);
    QFETCH(int, count);
    QFETCH(QStringList, ends);

    const QVector<Period> steps = SeriesSteps(Period{first, last}, byMonth ? SeriesStep::Month : SeriesStep::Day);
    QCOMPARE(steps.size(), count);
    auto text = [](const Period &p) { return p.first.toString("MM/dd") + '-' + p.last.toString("MM/dd"); };
    QCOMPARE(QStringList({text(steps.first()), text(steps.last())}), ends);
    for (int i = 1; i < steps.size(); ++i) {
        QCOMPARE(steps[i].first, steps[i - 1].last.addDays(1));   // no gap, no overlap
        QCOMPARE(steps[i].first.month() != steps[i - 1].first.month(), byMonth);
    }
}

void SalesChartTest::seriesEqualTheWindowSums_data()
{
    QTest::addColumn<QString>("shops");   // "AB" listed, "A" one shop, "AC" with the deleted shop
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<bool>("byMonth");

    QTest::newRow("a month by day, listed shops") << "AB" << QDate(2026, 11, 1) << QDate(2026, 11, 30) << false;
    QTest::newRow("a month by day, one shop") << "A" << QDate(2026, 10, 1) << QDate(2026, 10, 31) << false;
    QTest::newRow("a year by month, listed shops") << "AB" << QDate(2026, 1, 1) << QDate(2026, 12, 31) << true;
    QTest::newRow("a year by month, deleted shop asked for") << "AC" << QDate(2026, 1, 1) << QDate(2026, 12, 31) << true;
    QTest::newRow("across a new year, cut months") << "AB" << QDate(2025, 12, 15) << QDate(2026, 2, 10) << true;
    QTest::newRow("a month without bookings") << "AB" << QDate(2024, 2, 1) << QDate(2024, 2, 29) << false;
}

void SalesChartTest::seriesEqualTheWindowSums()
{
    QFETCH(QString, shops);
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(bool, byMonth);

    Agency f;
    const QVector<qint32> ids = f.shops(shops);
    const Period period{first, last};
    const SalesSeries series = SalesByStep(f.t.db(), ids, period, byMonth ? SeriesStep::Month : SeriesStep::Day);
    QCOMPARE(series.shopIds, ids);
    QCOMPARE(series.steps.size(), SeriesSteps(period, series.step).size());
    qint64 visits = 0;
    for (int i = 0; i < series.steps.size(); ++i) {
        for (int s = 0; s < ids.size(); ++s)
            QCOMPARE(yen(series.byShop[s][i]), yen(SumSales(f.t.db(), {ids[s]}, std::nullopt, series.steps[i])));
        QCOMPARE(yen(series.total(i)), yen(SumSales(f.t.db(), ids, std::nullopt, series.steps[i])));
        visits += series.total(i).visits;
    }
    QCOMPARE(yen(series.grandTotal()), yen(SumSales(f.t.db(), ids, std::nullopt, period)));
    // The fixture is meant to reach these periods (except the empty one).
    QCOMPARE(visits > 0, first.year() != 2024);
}

void SalesChartTest::topCompanionsEqualTheirPay_data()
{
    QTest::addColumn<QString>("shops");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<int>("count");

    QTest::newRow("a year, listed shops, ten of twelve") << "AB" << QDate(2026, 1, 1) << QDate(2026, 12, 31) << 10;
    QTest::newRow("a month, one shop") << "A" << QDate(2026, 11, 1) << QDate(2026, 11, 30) << 10;
    QTest::newRow("three") << "AB" << QDate(2026, 1, 1) << QDate(2026, 12, 31) << 3;
    QTest::newRow("nothing booked") << "AB" << QDate(2024, 1, 1) << QDate(2024, 12, 31) << 10;
}

void SalesChartTest::topCompanionsEqualTheirPay()
{
    QFETCH(QString, shops);
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(int, count);

    Agency f;
    const QVector<qint32> ids = f.shops(shops);
    const Period period{first, last};
    // What the window's companion frame would show for each of them, ranked by hand.
    QVector<CompanionPay> expected;
    for (int g = 0; g < f.girls.size(); ++g) {
        const SalesFigures s = SumSales(f.t.db(), ids, f.girls[g], period);
        if (s.visits > 0)
            expected << CompanionPay{f.girls[g], QStringLiteral("嬢%1").arg(g + 1), s.pay, s.visits};
    }
    std::stable_sort(expected.begin(), expected.end(), [](const CompanionPay &x, const CompanionPay &y) {
        return x.pay > y.pay || (x.pay == y.pay && x.companionId < y.companionId);
    });
    expected.resize(std::min<qsizetype>(expected.size(), count));

    const QVector<CompanionPay> top = TopCompanionsByPay(f.t.db(), ids, period, count);
    QCOMPARE(top.size(), expected.size());
    for (int i = 0; i < top.size(); ++i) {
        QCOMPARE(top[i].companionId, expected[i].companionId);
        QCOMPARE(top[i].genjiName, expected[i].genjiName);
        QCOMPARE(top[i].pay.roundedYen(), expected[i].pay.roundedYen());
        QCOMPARE(top[i].visits, expected[i].visits);
    }
}

void SalesChartTest::chartWindow()
{
    Agency f;
    const QStringList store = test::DumpStore(f.t.db());

    // From the sales window with Ａ店 picked: this month by day, Ａ店 alone.
    Form_SalesChart &w = f.openChart(0);
    QVERIFY(w.isVisible());
    QCOMPARE(w.windowModality(), Qt::ApplicationModal);
    QVERIFY(!w.closeCommandEnabled());
    QCOMPARE(w.Combo_Chart_Shop->currentText(), QString("Ａ店"));
    QCOMPARE(w.Combo_Chart_Shop->count(), 3);   // 全店舗, Ａ店, Ｂ店: the deleted shop is not offered
    QCOMPARE(w.Text_Chart_Date->text(), QString("26/11"));
    QCOMPARE(w.chart()->title(), QString("2026年11月　日別売上（Ａ店）"));
    QList<QBarSet *> sets = barSets(w.chart());
    QCOMPARE(sets.size(), 1);
    QCOMPARE(sets[0]->label(), QString("Ａ店"));
    QCOMPARE(categoryLabels(w.chart(), Qt::Horizontal).size(), 30);
    const SalesSeries &month = w.shownSeries();
    QList<qreal> expected;
    for (int i = 0; i < 30; ++i)
        expected << month.byShop[0][i].gross.roundedYen() / 10000.0;
    QCOMPARE(values(sets[0]), expected);
    const SalesFigures a = SumSales(f.t.db(), {f.a}, std::nullopt, Period{QDate(2026, 11, 1), QDate(2026, 11, 30)});
    QCOMPARE(w.Label_Chart_Total->text(), QString("総売上 %1円　店舗取り分 %2円　コンパニオン支払 %3円　来客本数 %4")
                                              .arg(FormatNumber(a.gross), FormatNumber(a.shopShare), FormatNumber(a.pay))
                                              .arg(a.visits));

    // A typed year, all shops: twelve months stacked by shop.
    w.Combo_Chart_Shop->setCurrentIndex(0);
    emit w.Combo_Chart_Shop->activated(0);
    w.Text_Chart_Date->setText("26");
    w.Cmd_Chart_Disp->click();
    QCOMPARE(w.chart()->title(), QString("2026年　月別売上（全店舗）"));
    QCOMPARE(categoryLabels(w.chart(), Qt::Horizontal).first(), QString("1月"));
    sets = barSets(w.chart());
    QCOMPARE(sets.size(), 2);
    QCOMPARE(sets[1]->label(), QString("Ｂ店"));
    QCOMPARE(sets[1]->count(), 12);
    QCOMPARE(sets[1]->at(10), w.shownSeries().byShop[1][10].gross.roundedYen() / 10000.0);

    // The shop's share and the companions' pay stack up to the takings of every month.
    w.Combo_Chart_Kind->setCurrentIndex(Form_SalesChart::ShareAndPay);
    emit w.Combo_Chart_Kind->activated(Form_SalesChart::ShareAndPay);
    sets = barSets(w.chart());
    QCOMPARE(sets.size(), 2);
    QCOMPARE(sets[0]->label(), QString("店舗取り分"));
    QCOMPARE(sets[1]->label(), QString("コンパニオン支払"));
    for (int i = 0; i < 12; ++i)
        QCOMPARE(qRound64((sets[0]->at(i) + sets[1]->at(i)) * 10000), w.shownSeries().total(i).gross.roundedYen());

    // The ten with the most pay, the first at the top.
    w.Combo_Chart_Kind->setCurrentIndex(Form_SalesChart::TopCompanions);
    emit w.Combo_Chart_Kind->activated(Form_SalesChart::TopCompanions);
    const QVector<CompanionPay> &top = w.shownTop();
    QCOMPARE(top.size(), 10);
    const QStringList names = categoryLabels(w.chart(), Qt::Vertical);
    QCOMPARE(names.size(), 10);
    QCOMPARE(names.last(), "1. " + top.first().genjiName);
    QCOMPARE(barSets(w.chart())[0]->at(9), top.first().pay.roundedYen() / 10000.0);

    // A wrong date is told and the chart stays.
    w.Text_Chart_Date->setText("26/13");
    w.Cmd_Chart_Disp->click();
    QCOMPARE(f.t.prompt().messages(),
             QStringList({"日付を入力してください。年は西暦下２桁で入力(YY/MM/DD or YY/MM or YY)"}));
    QCOMPARE(w.shownTop().size(), 10);

    w.Cmd_Chart_Quit->click();
    QVERIFY(!w.isVisible());
    QVERIFY(f.sales().isVisible());
    QCOMPARE(test::DumpStore(f.t.db()), store);   // read, never written
    QVERIFY(f.t.prompt().unexpected().isEmpty());
}

QTEST_MAIN(SalesChartTest)
#include "test_saleschart.moc"
