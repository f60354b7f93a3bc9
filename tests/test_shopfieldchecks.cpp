#include "masters/ShopFieldChecks.h"

#include <QTest>

using namespace rp;

Q_DECLARE_METATYPE(rp::ShopField)

class TestShopFieldChecks : public QObject
{
    Q_OBJECT

private slots:
    void check_data();
    void check();
    void emptyIsAlwaysAccepted_data();
    void emptyIsAlwaysAccepted();
};

namespace {

const QString Accepted;   // no message
const QString Numeric = QStringLiteral("数値を入力してください。");
const QString Range = QStringLiteral("０～１００の数値を入力してください。");
const QString MinutesMsg = QStringLiteral("０～９９９の数値（分）を入力してください。");
const QString Six = QStringLiteral("６桁の金額を入力してください。");
const QString Five = QStringLiteral("５桁の金額を入力してください。");
const QString CourseMsg = QStringLiteral("コース名は全角８文字以内で入力してください。");
const QString DurationMsg = QStringLiteral("コース時間は全角４文字以内で入力してください。");
const QString OptionMsg = QStringLiteral("オプション名は全角８文字以内で入力してください。");

void row(const char *name, ShopField field, const QString &input, const QString &text, const QString &message)
{
    QTest::newRow(name) << field << input << text << message;
}

} // namespace

void TestShopFieldChecks::check_data()
{
    QTest::addColumn<ShopField>("field");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("text");      // what the box shows afterwards
    QTest::addColumn<QString>("message");   // empty: accepted

    // Text kind: width in code page 932 bytes, no conversion.
    row("course: 8 full-width", ShopField::CourseName, "ロングコース名前", "ロングコース名前", Accepted);
    row("course: 9 full-width", ShopField::CourseName, "ロングコース名前だ", "ロングコース名前だ", CourseMsg);
    row("course: 16 half-width", ShopField::CourseName, "abcdefghijklmnop", "abcdefghijklmnop", Accepted);
    row("course: 17 half-width", ShopField::CourseName, "abcdefghijklmnopq", "abcdefghijklmnopq", CourseMsg);
    row("course: 15 half + 1 full", ShopField::CourseName, "abcdefghijklmnoア", "abcdefghijklmnoア", CourseMsg);
    row("course: 16 half-width kana", ShopField::CourseName, "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀ", "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀ", Accepted);
    row("course: full-width digits kept", ShopField::CourseName, "６０分", "６０分", Accepted);
    row("duration: 4 full-width", ShopField::Duration, "１２０分", "１２０分", Accepted);
    row("duration: 5 full-width", ShopField::Duration, "１２０００", "１２０００", DurationMsg);
    row("duration: 8 half-width", ShopField::Duration, "12345678", "12345678", Accepted);
    row("duration: 9 half-width", ShopField::Duration, "123456789", "123456789", DurationMsg);
    row("duration: not a number is fine", ShopField::Duration, "ﾛﾝｸﾞ", "ﾛﾝｸﾞ", Accepted);
    row("option: 8 full-width", ShopField::OptionName, "コスチューム変更", "コスチューム変更", Accepted);
    row("option: 9 full-width", ShopField::OptionName, "コスチューム変更可", "コスチューム変更可", OptionMsg);
    row("option: 16 half-width", ShopField::OptionName, "it's a long name", "it's a long name", Accepted);

    // Whole yen: half-width, then "#,##0" if the result fits.
    row("price: full-width with comma", ShopField::CoursePrice, "１，２００", "1,200", Accepted);
    row("price: plain", ShopField::CoursePrice, "1200", "1,200", Accepted);
    row("price: already formatted", ShopField::CoursePrice, "12,000", "12,000", Accepted);
    row("price: blanks around", ShopField::CoursePrice, " 500 ", "500", Accepted);
    row("price: 999999 fits", ShopField::CoursePrice, "999999", "999,999", Accepted);
    row("price: 1000000 too long", ShopField::CoursePrice, "1000000", "1000000", Six);
    row("price: full-width too long", ShopField::CoursePrice, "１０００００００", "10000000", Six);
    row("price: half rounds up to too long", ShopField::CoursePrice, "999999.5", "999999.5", Six);
    row("price: fraction rounds", ShopField::CoursePrice, "1200.5", "1,201", Accepted);
    row("price: negative", ShopField::CoursePrice, "-500", "-500", Accepted);
    row("price: -99999 is 7 characters", ShopField::CoursePrice, "-99999", "-99,999", Accepted);
    row("price: -100000 is 8 characters", ShopField::CoursePrice, "-100000", "-100000", Six);
    row("price: zero", ShopField::CoursePrice, "0", "0", Accepted);
    row("price: letters", ShopField::CoursePrice, "abc", "abc", Numeric);
    row("price: full-width letters converted", ShopField::CoursePrice, "ａｂｃ", "abc", Numeric);
    row("price: yen sign", ShopField::CoursePrice, "1200円", "1200円", Numeric);
    row("fee: 99999 fits", ShopField::Fee, "99999", "99,999", Accepted);
    row("fee: 100000 too long", ShopField::Fee, "100000", "100000", Five);
    row("fee: full-width", ShopField::Fee, "５０００", "5,000", Accepted);
    row("fee: -9999 is 6 characters", ShopField::Fee, "-9999", "-9,999", Accepted);
    row("fee: -10000 is 7 characters", ShopField::Fee, "-10000", "-10000", Five);
    row("fee: letters", ShopField::Fee, "x", "x", Numeric);

    // Percentage: half-width, 0..100, no formatting.
    row("rate: 0", ShopField::Rate, "0", "0", Accepted);
    row("rate: 100", ShopField::Rate, "100", "100", Accepted);
    row("rate: 101", ShopField::Rate, "101", "101", Range);
    row("rate: -1", ShopField::Rate, "-1", "-1", Range);
    row("rate: 100.1", ShopField::Rate, "100.1", "100.1", Range);
    row("rate: fraction kept", ShopField::Rate, "50.5", "50.5", Accepted);
    row("rate: full-width 100", ShopField::Rate, "１００", "100", Accepted);
    row("rate: full-width 101", ShopField::Rate, "１０１", "101", Range);
    row("rate: letters", ShopField::Rate, "abc", "abc", Numeric);
    row("rate: percent sign", ShopField::Rate, "４０％", "40%", Numeric);

    // Minutes: half-width, 0..999 (a negative warning time never warns; the columns are 16-bit).
    row("minutes: 30", ShopField::Minutes, "30", "30", Accepted);
    row("minutes: full-width", ShopField::Minutes, "３０", "30", Accepted);
    row("minutes: 0", ShopField::Minutes, "0", "0", Accepted);
    row("minutes: 999", ShopField::Minutes, "999", "999", Accepted);
    row("minutes: 1000", ShopField::Minutes, "1000", "1000", MinutesMsg);
    row("minutes: negative", ShopField::Minutes, "-5", "-5", MinutesMsg);
    row("minutes: beyond 16 bits", ShopField::Minutes, "99999", "99999", MinutesMsg);
    row("minutes: with unit", ShopField::Minutes, "９０分", "90分", Numeric);
    row("minutes: letters", ShopField::Minutes, "abc", "abc", Numeric);
}

void TestShopFieldChecks::check()
{
    QFETCH(ShopField, field);
    QFETCH(QString, input);
    QFETCH(QString, text);
    QFETCH(QString, message);

    const ShopCheckResult result = CheckShopField(field, input);
    QCOMPARE(result.ok, message.isEmpty());
    QCOMPARE(result.text, text);
    QCOMPARE(result.message, message);
}

void TestShopFieldChecks::emptyIsAlwaysAccepted_data()
{
    QTest::addColumn<ShopField>("field");
    QTest::newRow("course") << ShopField::CourseName;
    QTest::newRow("duration") << ShopField::Duration;
    QTest::newRow("option") << ShopField::OptionName;
    QTest::newRow("price") << ShopField::CoursePrice;
    QTest::newRow("fee") << ShopField::Fee;
    QTest::newRow("rate") << ShopField::Rate;
    QTest::newRow("minutes") << ShopField::Minutes;
}

void TestShopFieldChecks::emptyIsAlwaysAccepted()
{
    QFETCH(ShopField, field);
    const ShopCheckResult result = CheckShopField(field, QString());
    QVERIFY(result.ok);
    QVERIFY(result.text.isEmpty());
    QVERIFY(result.message.isEmpty());
}

QTEST_APPLESS_MAIN(TestShopFieldChecks)
#include "test_shopfieldchecks.moc"
