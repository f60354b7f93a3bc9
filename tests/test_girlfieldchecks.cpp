#include "masters/GirlFieldChecks.h"

#include <QTest>

using namespace rp;

Q_DECLARE_METATYPE(rp::GirlNumberField)

namespace {

const QString AgeRange = QStringLiteral("１０～９０の数値を入力してください。");
const QString HeightRange = QStringLiteral("１００～３００の数値を入力してください。");
const QString MeasureRange = QStringLiteral("５０～２００の数値を入力してください。");
const QString SurchargeRange = QStringLiteral("０～１００の数値を入力してください。");
const QString NotNumber = QStringLiteral("数値を入力してください。");
const QString CupMessage = QStringLiteral("A～Zのアルファベットを入力してください。");

} // namespace

class TestGirlFieldChecks : public QObject
{
    Q_OBJECT

private slots:
    void numbers_data();
    void numbers();
    void cup_data();
    void cup();
    void names_data();
    void names();
};

void TestGirlFieldChecks::numbers_data()
{
    QTest::addColumn<GirlNumberField>("field");
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("shown");     // the box's text afterwards
    QTest::addColumn<QString>("message");

    using F = GirlNumberField;
    QTest::newRow("age 9") << F::Age << "9" << false << "9" << AgeRange;
    QTest::newRow("age 10") << F::Age << "10" << true << "10" << QString();
    QTest::newRow("age 90") << F::Age << "90" << true << "90" << QString();
    QTest::newRow("age 91") << F::Age << "91" << false << "91" << AgeRange;
    QTest::newRow("age just above 90") << F::Age << "90.01" << false << "90.01" << AgeRange;
    QTest::newRow("age fraction inside") << F::Age << "25.5" << true << "25.5" << QString();
    QTest::newRow("age full-width digits") << F::Age << "２５" << true << "25" << QString();
    QTest::newRow("age full-width below range") << F::Age << "９" << false << "9" << AgeRange;
    QTest::newRow("age negative") << F::Age << "-20" << false << "-20" << AgeRange;
    QTest::newRow("age letters") << F::Age << "abc" << false << "abc" << NotNumber;
    QTest::newRow("age full-width letters converted") << F::Age << "ａｂ" << false << "ab" << NotNumber;
    QTest::newRow("age kanji") << F::Age << "二十" << false << "二十" << NotNumber;
    QTest::newRow("age empty") << F::Age << "" << true << "" << QString();

    QTest::newRow("height 99") << F::Height << "99" << false << "99" << HeightRange;
    QTest::newRow("height 100") << F::Height << "100" << true << "100" << QString();
    QTest::newRow("height 300") << F::Height << "300" << true << "300" << QString();
    QTest::newRow("height 301") << F::Height << "301" << false << "301" << HeightRange;
    QTest::newRow("height full-width") << F::Height << "１５８" << true << "158" << QString();

    QTest::newRow("measure 49") << F::Measure << "49" << false << "49" << MeasureRange;
    QTest::newRow("measure 50") << F::Measure << "50" << true << "50" << QString();
    QTest::newRow("measure 200") << F::Measure << "200" << true << "200" << QString();
    QTest::newRow("measure 201") << F::Measure << "201" << false << "201" << MeasureRange;
    QTest::newRow("measure blank inside") << F::Measure << "8 8" << false << "8 8" << NotNumber;

    QTest::newRow("surcharge 0") << F::Surcharge << "0" << true << "0" << QString();
    QTest::newRow("surcharge 100") << F::Surcharge << "100" << true << "100" << QString();
    QTest::newRow("surcharge 101") << F::Surcharge << "101" << false << "101" << SurchargeRange;
    QTest::newRow("surcharge -1") << F::Surcharge << "-1" << false << "-1" << SurchargeRange;
    QTest::newRow("surcharge full-width 15") << F::Surcharge << "１５" << true << "15" << QString();
    QTest::newRow("surcharge percent sign") << F::Surcharge << "10%" << false << "10%" << NotNumber;
}

void TestGirlFieldChecks::numbers()
{
    QFETCH(GirlNumberField, field);
    QFETCH(QString, input);
    QFETCH(bool, accepted);
    QFETCH(QString, shown);
    QFETCH(QString, message);

    const GirlFieldResult r = CheckGirlNumber(field, input);
    QCOMPARE(r.ok, accepted);
    QCOMPARE(r.text, shown);
    QCOMPARE(r.message, message);
}

void TestGirlFieldChecks::cup_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("shown");

    QTest::newRow("C") << "C" << true << "C";
    QTest::newRow("lower case") << "d" << true << "D";
    QTest::newRow("full-width lower case") << "ｃ" << true << "C";
    QTest::newRow("full-width upper case") << "Ｅ" << true << "E";
    QTest::newRow("A") << "A" << true << "A";
    QTest::newRow("Z") << "Z" << true << "Z";
    QTest::newRow("bracket after Z") << "[" << false << "[";
    QTest::newRow("at sign before A") << "@" << false << "@";
    QTest::newRow("digit") << "1" << false << "1";
    QTest::newRow("full-width digit") << "１" << false << "1";
    QTest::newRow("two letters") << "AB" << false << "AB";
    QTest::newRow("two letters converted first") << "ｄｄ" << false << "DD";
    QTest::newRow("kana") << "ア" << false << "ア";
    QTest::newRow("empty") << "" << true << "";
}

void TestGirlFieldChecks::cup()
{
    QFETCH(QString, input);
    QFETCH(bool, accepted);
    QFETCH(QString, shown);

    const GirlFieldResult r = CheckCup(input);
    QCOMPARE(r.ok, accepted);
    QCOMPARE(r.text, shown);
    QCOMPARE(r.message, accepted ? QString() : CupMessage);
}

void TestGirlFieldChecks::names_data()
{
    QTest::addColumn<bool>("genji");       // the working name, else her name at a shop
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("genji six full-width") << true << "あいうえおか" << true;
    QTest::newRow("genji seven full-width") << true << "あいうえおかき" << false;
    QTest::newRow("genji twelve half-width kana") << true << "ｱｲｳｴｵｶｷｸｹｺｻｼ" << true;
    QTest::newRow("genji thirteen ascii") << true << "abcdefghijklm" << false;
    QTest::newRow("shop name twelve bytes mixed") << false << "ab源氏名です" << true;
    QTest::newRow("shop name thirteen bytes") << false << "ab源氏名ですc" << false;
    QTest::newRow("shop name full-width digits not converted") << false << "１２３４５６" << true;
}

void TestGirlFieldChecks::names()
{
    QFETCH(bool, genji);
    QFETCH(QString, input);
    QFETCH(bool, accepted);

    const GirlFieldResult r = genji ? CheckGenjiName(input) : CheckCompanionName(input);
    QCOMPARE(r.ok, accepted);
    QCOMPARE(r.text, input);
    const QString expected = genji ? QStringLiteral("源氏名は全角６文字以内で入力してください。")
                                   : QStringLiteral("コンパニオン名は全角６文字以内で入力してください。");
    QCOMPARE(r.message, accepted ? QString() : expected);
}

QTEST_MAIN(TestGirlFieldChecks)
#include "test_girlfieldchecks.moc"
