// The split of a booking into its charges, and its lines as the ledger keeps them, as plain functions.
#include "reception/Pricing.h"
#include "sales/NightCloseReport.h"

#include <QTest>

using namespace rp;

namespace {

// Course line 0 "A..90": 20,000 at 40 (course 1); line 1 "B..60": 15,000 at 50 (course 2). Options 1 "泡" and
// 3 "湯": 1,001 at their own 50; option 2 "氷": 3,000 at the shop's 30. Extension 30 minutes for 5,000 at
// 40, nomination 2,000 at 50, cancellation 1,010 at 40.
ShopTariff tariff()
{
    ShopTariff t;
    t.CourseName[0] = "A..90";
    t.CourseFee[0] = Money::fromYen(20000);
    t.CourseRate[0] = 40;
    t.CourseName[1] = "B..60";
    t.CourseFee[1] = Money::fromYen(15000);
    t.CourseRate[1] = 50;
    t.CourseNo[1] = 1;
    const char *names[] = {"泡", "氷", "湯"};
    const int fees[] = {1001, 3000, 1001};
    const int rates[] = {50, 0, 50};
    for (int i = 0; i < 3; ++i) {
        t.OptionName[i] = QString::fromUtf8(names[i]);
        t.OptionFee[i] = Money::fromYen(fees[i]);
        t.OptionRate[i] = qint16(rates[i]);
    }
    t.OptRateAll = 30;
    t.ShopOptionMask = 7;
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

QStringList text(const QVector<StoredCharge> &lines)
{
    QStringList out;
    for (const StoredCharge &l : lines)
        out << QStringLiteral("%1|%2|%3|%4|%5|%6").arg(l.kind, l.name).arg(l.price).arg(l.rate).arg(l.surcharge).arg(l.pay);
    return out;
}

} // namespace

class TestChargeSplit : public QObject
{
    Q_OBJECT
private slots:
    void split_data();
    void split();
    void chargesBehindTheShownAmounts();
    void chargeText_data();
    void chargeText();
};

void TestChargeSplit::split_data()
{
    QTest::addColumn<int>("course");
    QTest::addColumn<int>("ticked");   // every option is offered except where noted
    QTest::addColumn<int>("extension");
    QTest::addColumn<bool>("nomination");
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<Marks>("marks");
    QTest::addColumn<QStringList>("lines");   // kind|name|price|rate|surcharge|pay, whole yen as kept
    QTest::addColumn<QString>("pay");         // the booking's pay as shown (and stored)

    QTest::newRow("every charge") << 1 << 3 << 30 << true << false << Marks{5, 0, 0, 0, 0, 0, 0, 5}
                                  << QStringList{"コース|B..60|15000|50|0|7500", "オプション|泡|1001|50|0|501",
                                                 "オプション|氷|3000|30|0|2100", "延長|30分|5000|40|0|3000",
                                                 "指名|指名料|2000|50|0|1000"}
                                  << "14,101";
    // 1010 x 0.65f = 656.49997...: the line keeps 656, as the ledger always stored.
    QTest::newRow("cancellation") << 0 << 3 << 30 << true << true << Marks{5, 0, 0, 0, 0, 0, 0, 5}
                                  << QStringList{"キャンセル|キャンセル料|1010|40|5|656"} << "656";
    // 20000 x 0.65f = 12999.9995; the option at the shop's rate 30 raised by her 10 points.
    QTest::newRow("companion surcharge") << 0 << 2 << 0 << false << false << Marks{5, 0, 0, 0, 10}
                                         << QStringList{"コース|A..90|20000|40|5|13000", "オプション|氷|3000|30|10|2400"}
                                         << "15,400";
    QTest::newRow("half a yen alone rounds up") << -1 << 1 << 0 << false << false << Marks{}
                                                << QStringList{"オプション|泡|1001|50|0|501"} << "501";
    // Two halves make a whole yen: 500.5 + 500.5 = 1,001, so the lines keep 501 and 500, not 501 twice.
    QTest::newRow("two halves of a yen") << -1 << 5 << 0 << false << false << Marks{}
                                         << QStringList{"オプション|泡|1001|50|0|501", "オプション|湯|1001|50|0|500"}
                                         << "1,001";
    QTest::newRow("nothing chosen") << -1 << 0 << 0 << false << false << Marks{} << QStringList{} << "0";
}

void TestChargeSplit::split()
{
    QFETCH(int, course);
    QFETCH(int, ticked);
    QFETCH(int, extension);
    QFETCH(bool, nomination);
    QFETCH(bool, cancelled);
    QFETCH(Marks, marks);
    QFETCH(QStringList, lines);
    QFETCH(QString, pay);

    const ShopTariff t = tariff();
    const Surcharges s = surcharges(marks);
    const BookingChoices choices{course, 7, qint16(ticked), extension, nomination};
    const QVector<ChargeLine> split = cancelled ? SplitCancellation(t, s) : SplitBooking(t, s, choices);
    const QVector<StoredCharge> kept = ToStoredCharges(split, cancelled);
    QCOMPARE(text(kept), lines);

    // The booking's amounts are the sums of its lines: exactly in currency, and in whole yen as kept.
    Money total, exact;
    qint64 keptTotal = 0, keptPay = 0;
    for (const ChargeLine &l : split) {
        total += l.price;
        exact += l.pay;
    }
    for (const StoredCharge &l : kept) {
        keptTotal += l.price;
        keptPay += l.pay;
    }
    if (cancelled) {
        const CancelCharges c = PriceCancellation(t, s);
        QCOMPARE(c.total, total);
        QCOMPARE(FormatNumber(c.pay), pay);
        QCOMPARE(FormatNumber(double(keptPay)), pay);
    } else {
        const Charges c = PriceBooking(t, s, choices);
        QCOMPARE(c.total, total);
        QCOMPARE(c.pay, exact);
        QCOMPARE(FormatNumber(c.pay), pay);
        QCOMPARE(keptTotal, c.total.roundedYen());
        QCOMPARE(keptPay, c.pay.roundedYen());
    }
}

void TestChargeSplit::chargesBehindTheShownAmounts()
{
    const ShopTariff t = tariff();
    const Surcharges s = surcharges({5, 0, 0, 0, 0, 0, 0, 5});
    const BookingChoices choices{0, 7, 1, 0, true};
    // Priced now: 20,000 + 1,001 + 2,000, and 12,999.9995 + 500.5 + 1,000 shown as 14,500.
    const std::optional<QVector<StoredCharge>> priced = ChargesBehind(t, s, choices, false, 23001, 14500);
    QVERIFY(priced);
    QCOMPARE(priced->size(), 3);
    // A recalled booking shows what it was charged under an older tariff: nothing explains that.
    QVERIFY(!ChargesBehind(t, s, choices, false, 22000, 14500));
    QVERIFY(!ChargesBehind(t, s, choices, false, 23001, 14000));
    const std::optional<QVector<StoredCharge>> cancelled = ChargesBehind(t, s, choices, true, 1010, 656);
    QVERIFY(cancelled);
    QCOMPARE(text(*cancelled), QStringList{"キャンセル|キャンセル料|1010|40|5|656"});
}

void TestChargeSplit::chargeText_data()
{
    QTest::addColumn<QStringList>("line");   // kind, name, price, rate, surcharge, pay
    QTest::addColumn<QString>("shown");

    QTest::newRow("course, her share") << QStringList{"コース", "A..90", "20000", "55", "0", "9000"}
                                       << "コース A..90 20,000 × 45% = 9,000";
    QTest::newRow("surcharge named") << QStringList{"オプション", "氷", "3000", "30", "10", "2400"}
                                     << "オプション 氷 3,000 × 80%（割増10%） = 2,400";
    QTest::newRow("extension") << QStringList{"延長", "60分", "10000", "40", "0", "6000"} << "延長 60分 10,000 × 60% = 6,000";
    QTest::newRow("nomination by its fee") << QStringList{"指名", "指名料", "2000", "50", "0", "1000"}
                                           << "指名料 2,000 × 50% = 1,000";
    QTest::newRow("share capped at 100") << QStringList{"キャンセル", "キャンセル料", "3000", "20", "30", "3000"}
                                         << "キャンセル料 3,000 × 100%（割増30%） = 3,000";
}

void TestChargeSplit::chargeText()
{
    QFETCH(QStringList, line);
    QFETCH(QString, shown);
    const StoredCharge l{line[0], line[1], line[2].toLongLong(), line[3].toInt(), line[4].toInt(), line[5].toLongLong()};
    QCOMPARE(ChargeText(l), shown);
}

QTEST_GUILESS_MAIN(TestChargeSplit)
#include "test_chargesplit.moc"
