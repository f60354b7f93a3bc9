// The booking's price and the end time, as rules without any window.
#include "data/TextUtil.h"
#include "reception/BookingEntry.h"
#include "reception/Pricing.h"

#include <QTest>

using namespace rp;

namespace {

// Course line 0: 20,000 for 90 minutes at 40 (course 1); line 1: 15,000 for 60 at 50 (course 2).
// Option 1: 1,001 at its own 50; option 2: 3,000 at the shop's 30. Extension 30 minutes for 5,000 at 40,
// nomination 2,000 at 50, cancellation 1,010 at 40.
ShopTariff tariff()
{
    ShopTariff t;
    t.CourseFee[0] = Money::fromYen(20000);
    t.CourseMinutes[0] = 90;
    t.CourseRate[0] = 40;
    t.CourseFee[1] = Money::fromYen(15000);
    t.CourseMinutes[1] = 60;
    t.CourseRate[1] = 50;
    t.CourseNo[1] = 1;
    t.OptionFee[0] = Money::fromYen(1001);
    t.OptionRate[0] = 50;
    t.OptionFee[1] = Money::fromYen(3000);
    t.OptRateAll = 30;
    t.ShopOptionMask = 3;
    t.ExtMinutes = 30;
    t.ExtFee = Money::fromYen(5000);
    t.ExtRate = 40;
    t.NomFee = Money::fromYen(2000);
    t.NomRate = 50;
    t.CancelFee = Money::fromYen(1010);
    t.CancelRate = 40;
    return t;
}

using Marks = QList<int>;   // surcharges: course 1..4, option, extension, nomination, cancellation

Surcharges surcharges(const Marks &m)
{
    Surcharges s{};
    for (int i = 0; i < m.size(); ++i)
        s[i] = qint16(m[i]);
    return s;
}

} // namespace

class TestPricing : public QObject
{
    Q_OBJECT
private slots:
    void priceBooking_data();
    void priceBooking();
    void endTime_data();
    void endTime();
};

void TestPricing::priceBooking_data()
{
    QTest::addColumn<int>("course");
    QTest::addColumn<int>("offered");
    QTest::addColumn<int>("ticked");
    QTest::addColumn<int>("extension");
    QTest::addColumn<int>("extUnit");
    QTest::addColumn<bool>("nomination");
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<Marks>("marks");
    QTest::addColumn<QString>("total");
    QTest::addColumn<qint64>("payUnits");   // exact pay before display; -1 for a cancellation (never converted)
    QTest::addColumn<QString>("pay");

    const Marks plain{5, 0, 0, 0, 0, 0, 0, 5};
    // 20000 x 0.65f = 12999.99952... -> 12999.9995
    QTest::newRow("course only") << 0 << 0 << 0 << 0 << 30 << false << false << plain << "20,000" << qint64(129999995) << "13,000";
    QTest::newRow("course and nomination") << 0 << 0 << 0 << 0 << 30 << true << false << plain << "22,000" << qint64(139999995) << "14,000";
    QTest::newRow("option at its own rate") << -1 << 1 << 1 << 0 << 30 << false << false << plain << "1,001" << qint64(5005000) << "501";
    QTest::newRow("option at the shop's rate") << -1 << 2 << 2 << 0 << 30 << false << false << plain << "3,000" << qint64(21000000) << "2,100";
    QTest::newRow("option surcharge on the shop's rate") << -1 << 2 << 2 << 0 << 30 << false << false << Marks{0, 0, 0, 0, 10} << "3,000" << qint64(24000000) << "2,400";
    QTest::newRow("ticked option she lacks adds nothing") << -1 << 1 << 3 << 0 << 30 << false << false << plain << "1,001" << qint64(5005000) << "501";
    QTest::newRow("extension of 1 unit") << -1 << 0 << 0 << 30 << 30 << false << false << plain << "5,000" << qint64(30000001) << "3,000";
    QTest::newRow("extension of 3 units") << -1 << 0 << 0 << 90 << 30 << false << false << plain << "15,000" << qint64(90000004) << "9,000";
    QTest::newRow("extension at unit 0 is one unit") << -1 << 0 << 0 << 60 << 0 << false << false << plain << "5,000" << qint64(30000001) << "3,000";
    QTest::newRow("nomination") << -1 << 0 << 0 << 0 << 30 << true << false << plain << "2,000" << qint64(10000000) << "1,000";
    QTest::newRow("surcharge over 100 is capped") << 1 << 0 << 0 << 0 << 30 << false << false << Marks{0, 70} << "15,000" << qint64(150000000) << "15,000";
    QTest::newRow("negative share stays negative") << -1 << 0 << 0 << 0 << 30 << true << false << Marks{0, 0, 0, 0, 0, 0, -80} << "2,000" << qint64(-6000000) << "-600";
    QTest::newRow("everything at once") << 1 << 3 << 3 << 30 << 30 << true << false << plain << "26,001" << qint64(141005001) << "14,101";
    // 1010 x 0.65f = 656.49997...: shown as 656, where a currency step first would have made it 657.
    QTest::newRow("cancellation ignores the rest") << 0 << 3 << 3 << 30 << 30 << true << true << plain << "1,010" << qint64(-1) << "656";
}

void TestPricing::priceBooking()
{
    QFETCH(int, course);
    QFETCH(int, offered);
    QFETCH(int, ticked);
    QFETCH(int, extension);
    QFETCH(int, extUnit);
    QFETCH(bool, nomination);
    QFETCH(bool, cancelled);
    QFETCH(Marks, marks);
    QFETCH(QString, total);
    QFETCH(qint64, payUnits);
    QFETCH(QString, pay);

    ShopTariff t = tariff();
    t.ExtMinutes = qint16(extUnit);
    if (cancelled) {
        const CancelCharges c = PriceCancellation(t, surcharges(marks));
        QCOMPARE(FormatNumber(c.total), total);
        QCOMPARE(FormatNumber(c.pay), pay);
        return;
    }
    const Charges c = PriceBooking(t, surcharges(marks), {course, qint16(offered), qint16(ticked), extension, nomination});
    QCOMPARE(FormatNumber(c.total), total);
    QCOMPARE(c.pay.units(), payUnits);
    QCOMPARE(FormatNumber(c.pay), pay);
}

// Each step is what the operator does: "start T" (into the start box and out again), "end T",
// "course M" (a course line of M minutes), "ext V" (the spinner moved to V).
void TestPricing::endTime_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("refused");

    QTest::newRow("past midnight") << QStringList{"start 23:30", "ext 30", "course 90"} << "23:30" << "01:30" << 0;
    QTest::newRow("start moved keeps the duration") << QStringList{"start 21:00", "end 22:30", "start 21:30"} << "21:30" << "23:00" << 0;
    QTest::newRow("start moved with no end") << QStringList{"start 21:00", "start 21:30"} << "21:30" << "" << 0;
    QTest::newRow("start moved back over midnight") << QStringList{"start 00:30", "course 60", "start 23:45"} << "23:45" << "00:45" << 0;
    QTest::newRow("spinner before start, then course, then spinner")
        << QStringList{"ext 30", "ext 60", "start 21:00", "course 60", "ext 90"} << "21:00" << "23:30" << 0;
    QTest::newRow("spinner before start counted at the first tracked click")
        << QStringList{"ext 30", "start 21:00", "end 22:00", "ext 60"} << "21:00" << "23:00" << 0;
    QTest::newRow("course then spinner up and down")
        << QStringList{"start 21:00", "course 60", "ext 30", "ext 60", "ext 30"} << "21:00" << "22:30" << 0;
    QTest::newRow("course chosen twice counts the extension once")
        << QStringList{"start 21:00", "ext 30", "course 60", "course 90", "ext 60"} << "21:00" << "23:30" << 0;
    QTest::newRow("same start again") << QStringList{"start 21:00", "course 60", "start 21:00"} << "21:00" << "22:00" << 0;
    QTest::newRow("refused start then valid start")
        << QStringList{"start 21:00", "course 60", "start 25:00", "start 21:30"} << "21:30" << "22:30" << 1;
    QTest::newRow("course with a refused start leaves the end")
        << QStringList{"start 21:00", "course 60", "start 9:6", "course 90"} << "9:6" << "22:00" << 1;
    QTest::newRow("course without minutes leaves the end") << QStringList{"start 21:00", "end 22:10", "course 0"} << "21:00" << "22:10" << 0;
    QTest::newRow("full-width start") << QStringList{"start ２１：００", "course 90"} << "21:00" << "22:30" << 0;
    QTest::newRow("full-width end refused when not a time") << QStringList{"end ２２：７５"} << "" << "22:75" << 1;
}

void TestPricing::endTime()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(int, refused);

    EntryTimes t;
    int refusals = 0;
    for (const QString &step : steps) {
        const QString verb = step.section(' ', 0, 0);
        const QString arg = step.section(' ', 1);
        if (verb == "start") {
            t.startFocused();
            t.start = arg;
            refusals += !t.startLeft();
        } else if (verb == "end") {
            t.end = arg;
            refusals += !t.endLeft();
        } else if (verb == "course") {
            t.courseChosen(arg.toInt());
        } else if (verb == "ext") {
            t.extension = arg.toInt();
            t.extensionChanged(t.extension);
        } else {
            QFAIL(qPrintable(step));
        }
    }
    QCOMPARE(t.start, start);
    QCOMPARE(t.end, end);
    QCOMPARE(refusals, refused);
}

QTEST_GUILESS_MAIN(TestPricing)
#include "test_pricing.moc"
