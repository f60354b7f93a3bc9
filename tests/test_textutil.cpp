#include "data/TextUtil.h"

#include <QTest>

using namespace rp;

class TestTextUtil : public QObject
{
    Q_OBJECT

private slots:
    void toHalfWidth_data();
    void toHalfWidth();
    void byteLength_data();
    void byteLength();
    void parseNumber_data();
    void parseNumber();
    void roundHalfEven_data();
    void roundHalfEven();
    void toLong_data();
    void toLong();
};

void TestTextUtil::toHalfWidth_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("grouped price") << QStringLiteral("１，２００") << QStringLiteral("1,200");
    QTest::newRow("lower-case cup") << QStringLiteral("ｃ") << QStringLiteral("c");
    QTest::newRow("time") << QStringLiteral("２３：３０") << QStringLiteral("23:30");
    QTest::newRow("first and last of the block") << QStringLiteral("！～") << QStringLiteral("!~");
    QTest::newRow("ideographic space") << QStringLiteral("１\u3000２") << QStringLiteral("1 2");
    QTest::newRow("kana and kanji untouched") << QStringLiteral("ｱイ源") << QStringLiteral("ｱイ源");
    QTest::newRow("yen sign outside the block") << QStringLiteral("￥５") << QStringLiteral("￥5");
    QTest::newRow("ascii untouched") << QStringLiteral("a-1") << QStringLiteral("a-1");
    QTest::newRow("empty") << QString() << QString();
}

void TestTextUtil::toHalfWidth()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(ToHalfWidth(input), expected);
}

void TestTextUtil::byteLength_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("expected");

    QTest::newRow("ascii") << QStringLiteral("ABC") << 3;
    QTest::newRow("kanji") << QStringLiteral("源氏名") << 6;
    QTest::newRow("half-width katakana") << QStringLiteral("ｱｲｳ") << 3;
    QTest::newRow("half-width kana bounds") << QStringLiteral("｡ﾟ") << 2;     // U+FF61, U+FF9F
    QTest::newRow("just outside kana block") << QStringLiteral("･ﾠ") << 3;  // U+FF65 in, U+FFA0 out
    QTest::newRow("mixed") << QStringLiteral("Aｱあ１ ") << 7;
    QTest::newRow("12 full-width") << QStringLiteral("あいうえおかきくけこさし") << 24;
    QTest::newRow("13 full-width") << QStringLiteral("あいうえおかきくけこさしす") << 26;
    QTest::newRow("surrogate pair counts once") << QStringLiteral("𠮷a") << 3;
    QTest::newRow("latin-1 symbol") << QStringLiteral("\u00e9") << 2;
    QTest::newRow("empty") << QString() << 0;
}

void TestTextUtil::byteLength()
{
    QFETCH(QString, input);
    QFETCH(int, expected);
    QCOMPARE(ByteLength(input), expected);
}

void TestTextUtil::parseNumber_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<double>("value");

    QTest::newRow("digits") << "123" << true << 123.0;
    QTest::newRow("leading zeros") << "007" << true << 7.0;
    QTest::newRow("grouped") << "1,200" << true << 1200.0;
    QTest::newRow("odd grouping") << "12,00" << true << 1200.0;
    QTest::newRow("many groups") << "1,234,567.5" << true << 1234567.5;
    QTest::newRow("blanks around") << "  42 " << true << 42.0;
    QTest::newRow("plus") << "+5" << true << 5.0;
    QTest::newRow("minus") << "-5" << true << -5.0;
    QTest::newRow("minus grouped") << "-1,000" << true << -1000.0;
    QTest::newRow("decimal") << "2.5" << true << 2.5;
    QTest::newRow("no integer part") << ".5" << true << 0.5;
    QTest::newRow("no fraction digits") << "5." << true << 5.0;
    QTest::newRow("exponent") << "1e3" << true << 1000.0;
    QTest::newRow("signed exponent") << "2.5E-1" << true << 0.25;

    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("blanks only") << "   " << false << 0.0;
    QTest::newRow("letters") << "abc" << false << 0.0;
    QTest::newRow("trailing letter") << "12a" << false << 0.0;
    QTest::newRow("range") << "1-2" << false << 0.0;
    QTest::newRow("telephone") << "090-1234-5678" << false << 0.0;
    QTest::newRow("double sign") << "--5" << false << 0.0;
    QTest::newRow("sign only") << "-" << false << 0.0;
    QTest::newRow("point only") << "." << false << 0.0;
    QTest::newRow("two points") << "1.2.3" << false << 0.0;
    QTest::newRow("leading comma") << ",100" << false << 0.0;
    QTest::newRow("trailing comma") << "100," << false << 0.0;
    QTest::newRow("double comma") << "1,,000" << false << 0.0;
    QTest::newRow("comma after sign") << "-,100" << false << 0.0;
    QTest::newRow("comma before point") << "1,.5" << false << 0.0;
    QTest::newRow("blank inside") << "1 200" << false << 0.0;
    QTest::newRow("blank after sign") << "- 5" << false << 0.0;
    QTest::newRow("bare exponent") << "1e" << false << 0.0;
    QTest::newRow("exponent without mantissa") << "e3" << false << 0.0;
    QTest::newRow("inf") << "inf" << false << 0.0;
    QTest::newRow("nan") << "nan" << false << 0.0;
    QTest::newRow("hex") << "0x1F" << false << 0.0;
    QTest::newRow("vb hex") << "&H1F" << false << 0.0;
    QTest::newRow("overflow") << "1e999" << false << 0.0;
    QTest::newRow("full-width digits need converting") << "１２" << false << 0.0;
}

void TestTextUtil::parseNumber()
{
    QFETCH(QString, input);
    QFETCH(bool, numeric);
    QFETCH(double, value);

    const std::optional<double> parsed = ParseNumber(input);
    QCOMPARE(parsed.has_value(), numeric);
    QCOMPARE(IsNumeric(input), numeric);
    if (numeric)
        QCOMPARE(*parsed, value);
}

void TestTextUtil::roundHalfEven_data()
{
    QTest::addColumn<double>("input");
    QTest::addColumn<double>("expected");

    QTest::newRow("2.5") << 2.5 << 2.0;
    QTest::newRow("3.5") << 3.5 << 4.0;
    QTest::newRow("-2.5") << -2.5 << -2.0;
    QTest::newRow("-3.5") << -3.5 << -4.0;
    QTest::newRow("0.5") << 0.5 << 0.0;
    QTest::newRow("2.4") << 2.4 << 2.0;
    QTest::newRow("2.6") << 2.6 << 3.0;
    QTest::newRow("-2.6") << -2.6 << -3.0;
    QTest::newRow("just under a half") << 0.49999999999999994 << 0.0;
    QTest::newRow("whole") << 7.0 << 7.0;
}

void TestTextUtil::roundHalfEven()
{
    QFETCH(double, input);
    QFETCH(double, expected);
    QCOMPARE(RoundHalfEven(input), expected);
}

void TestTextUtil::toLong_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint32>("expected");

    QTest::newRow("leading zeros") << "007" << true << 7;
    QTest::newRow("grouped") << "1,200" << true << 1200;
    QTest::newRow("half to even down") << "2.5" << true << 2;
    QTest::newRow("half to even up") << "3.5" << true << 4;
    QTest::newRow("negative half") << "-2.5" << true << -2;
    QTest::newRow("largest") << "2147483647" << true << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << true << qint32(-2147483647 - 1);
    QTest::newRow("rounds back into range") << "2147483647.4" << true << 2147483647;
    QTest::newRow("one past largest") << "2147483648" << false << 0;
    QTest::newRow("rounds out of range") << "2147483647.5" << false << 0;
    QTest::newRow("one below smallest") << "-2147483649" << false << 0;
    QTest::newRow("not a number") << "abc" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
}

void TestTextUtil::toLong()
{
    QFETCH(QString, input);
    QFETCH(bool, ok);
    QFETCH(qint32, expected);

    const std::optional<qint32> value = ToLong(input);
    QCOMPARE(value.has_value(), ok);
    if (ok)
        QCOMPARE(*value, expected);
}

QTEST_APPLESS_MAIN(TestTextUtil)
#include "test_textutil.moc"
