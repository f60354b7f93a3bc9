#include "data/Money.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace rp;

class TestMoney : public QObject
{
    Q_OBJECT

private slots:
    void arithmeticIsExact();
    void roundedYen_data();
    void roundedYen();
    void companionShare_data();
    void companionShare();
    void pricing_data();
    void pricing();
    void toCurrency_data();
    void toCurrency();
    void formatDouble_data();
    void formatDouble();
    void formatMoney_data();
    void formatMoney();
};

void TestMoney::arithmeticIsExact()
{
    // Ten-thousandths add without drift where doubles would not: 0.1 yen ten times.
    Money sum;
    for (int i = 0; i < 10; ++i)
        sum += Money::fromUnits(1000);
    QCOMPARE(sum, Money::fromYen(1));
    QCOMPARE((Money::fromYen(5) - Money::fromYen(7)).units(), qint64(-20000));
    QCOMPARE((Money::fromYen(20000) + Money::fromUnits(5)).toDouble(), 20000.0005);
    Money m = Money::fromYen(3);
    m -= Money::fromUnits(1);
    QCOMPARE(m.units(), qint64(29999));
    QVERIFY(Money::fromUnits(-1) < Money());
    static_assert(Money::fromYen(2).units() == 20000);
}

void TestMoney::roundedYen_data()
{
    QTest::addColumn<qint64>("units");
    QTest::addColumn<qint64>("yen");

    QTest::newRow("12999.9995") << qint64(129999995) << qint64(13000);
    QTest::newRow("12999.5") << qint64(129995000) << qint64(13000);
    QTest::newRow("12999.4999") << qint64(129994999) << qint64(12999);
    QTest::newRow("0.5") << qint64(5000) << qint64(1);
    QTest::newRow("2.5 away from zero, not even") << qint64(25000) << qint64(3);
    QTest::newRow("-0.5") << qint64(-5000) << qint64(-1);
    QTest::newRow("-0.4999") << qint64(-4999) << qint64(0);
    QTest::newRow("-1.5") << qint64(-15000) << qint64(-2);
    QTest::newRow("zero") << qint64(0) << qint64(0);
}

void TestMoney::roundedYen()
{
    QFETCH(qint64, units);
    QFETCH(qint64, yen);
    QCOMPARE(Money::fromUnits(units).roundedYen(), yen);
}

void TestMoney::companionShare_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("surcharge");
    QTest::addColumn<float>("expected");

    QTest::newRow("40 with 5 surcharge") << 40 << 5 << 0.65f;
    QTest::newRow("half") << 50 << 0 << 0.5f;
    QTest::newRow("nothing kept by the shop") << 0 << 0 << 1.0f;
    QTest::newRow("surcharge lifts above 100, capped") << 0 << 20 << 1.0f;
    QTest::newRow("exactly 100 after surcharge") << 10 << 10 << 1.0f;
    QTest::newRow("101 capped") << 10 << 11 << 1.0f;
    QTest::newRow("all kept by the shop") << 100 << 0 << 0.0f;
    QTest::newRow("negative surcharge goes below zero") << 100 << -10 << -0.1f;
    // The percentage is a 16-bit value: 32800 wraps to -32736.
    QTest::newRow("16-bit wrap") << 0 << 32700 << -327.36f;
}

void TestMoney::companionShare()
{
    QFETCH(int, rate);
    QFETCH(int, surcharge);
    QFETCH(float, expected);
    // Exact equality on purpose (QCOMPARE is fuzzy for floats): the pricing depends on the exact float.
    const float share = CompanionShare(rate, surcharge);
    QVERIFY2(share == expected, QByteArray::number(double(share), 'g', 10).constData());
}

// The pricing chain: price * share in double precision, then ToCurrency, then the display.
void TestMoney::pricing_data()
{
    QTest::addColumn<qint64>("price");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("surcharge");
    QTest::addColumn<qint64>("units");
    QTest::addColumn<QString>("shown");

    QTest::newRow("course 20000 at 40 + 5") << qint64(20000) << 40 << 5 << qint64(129999995) << "13,000";
    QTest::newRow("nomination 2000 at 50") << qint64(2000) << 50 << 0 << qint64(10000000) << "1,000";
    QTest::newRow("option 1001 at 50") << qint64(1001) << 50 << 0 << qint64(5005000) << "501";
    QTest::newRow("surcharge capped at full price") << qint64(3000) << 0 << 30 << qint64(30000000) << "3,000";
}

void TestMoney::pricing()
{
    QFETCH(qint64, price);
    QFETCH(int, rate);
    QFETCH(int, surcharge);
    QFETCH(qint64, units);
    QFETCH(QString, shown);

    const Money pay = ToCurrency(double(price) * double(CompanionShare(rate, surcharge)));
    QCOMPARE(pay.units(), units);
    QCOMPARE(FormatNumber(pay), shown);
}

void TestMoney::toCurrency_data()
{
    QTest::addColumn<double>("input");
    QTest::addColumn<qint64>("units");

    QTest::newRow("20000 * 0.65f") << 20000.0 * double(0.65f) << qint64(129999995);
    QTest::newRow("1001 * 0.5") << 1001 * 0.5 << qint64(5005000);
    QTest::newRow("half unit to even, down") << 0.00025 << qint64(2);
    QTest::newRow("half unit to even, up") << 0.00035 << qint64(4);
    QTest::newRow("negative half unit") << -0.00025 << qint64(-2);
    // 1.00005 is stored a little above, and its product is 10000.5000000000018: no tie.
    QTest::newRow("product decides") << 1.00005 << qint64(10001);
    QTest::newRow("below half a unit") << 0.00004 << qint64(0);
    QTest::newRow("whole") << -1234.0 << qint64(-12340000);
    QTest::newRow("saturates high") << 1e300 << std::numeric_limits<qint64>::max();
    QTest::newRow("saturates low") << -1e300 << std::numeric_limits<qint64>::min();
    QTest::newRow("nan") << std::nan("") << qint64(0);
}

void TestMoney::toCurrency()
{
    QFETCH(double, input);
    QFETCH(qint64, units);
    QCOMPARE(ToCurrency(input).units(), units);
}

void TestMoney::formatDouble_data()
{
    QTest::addColumn<double>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("12999.9995") << 12999.9995 << "13,000";
    QTest::newRow("500.5") << 500.5 << "501";
    QTest::newRow("0.5") << 0.5 << "1";
    QTest::newRow("-0.5") << -0.5 << "-1";
    QTest::newRow("1.5") << 1.5 << "2";
    QTest::newRow("2.5") << 2.5 << "3";
    QTest::newRow("just under a half") << 0.49999999999999994 << "0";
    QTest::newRow("millions") << 1234567.0 << "1,234,567";
    QTest::newRow("exactly a thousand") << 1000.0 << "1,000";
    QTest::newRow("999") << 999.0 << "999";
    QTest::newRow("negative") << -500.0 << "-500";
    QTest::newRow("negative grouped") << -1234567.4 << "-1,234,567";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("no minus zero") << -0.4 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("large") << 1e15 << "1,000,000,000,000,000";
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << "";
}

void TestMoney::formatDouble()
{
    QFETCH(double, input);
    QFETCH(QString, expected);
    QCOMPARE(FormatNumber(input), expected);
}

void TestMoney::formatMoney_data()
{
    QTest::addColumn<qint64>("units");
    QTest::addColumn<QString>("expected");

    QTest::newRow("12999.9995") << qint64(129999995) << "13,000";
    QTest::newRow("500.5") << qint64(5005000) << "501";
    QTest::newRow("-0.5") << qint64(-5000) << "-1";
    QTest::newRow("-0.4") << qint64(-4000) << "0";
    QTest::newRow("grouped") << qint64(12345670000) << "1,234,567";
    QTest::newRow("negative grouped") << qint64(-10000000) << "-1,000";
    QTest::newRow("most negative") << std::numeric_limits<qint64>::min() << "-922,337,203,685,478";
}

void TestMoney::formatMoney()
{
    QFETCH(qint64, units);
    QFETCH(QString, expected);
    QCOMPARE(FormatNumber(Money::fromUnits(units)), expected);
}

QTEST_APPLESS_MAIN(TestMoney)
#include "test_money.moc"
