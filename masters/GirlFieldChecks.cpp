#include "masters/GirlFieldChecks.h"

#include "data/TextUtil.h"

namespace rp {

namespace {

GirlFieldResult refused(const QString &text, const QString &message) { return {false, text, message}; }

} // namespace

GirlNumberRange RangeOf(GirlNumberField field)
{
    switch (field) {
    case GirlNumberField::Age:
        return {10, 90, QStringLiteral("１０～９０の数値を入力してください。")};
    case GirlNumberField::Height:
        return {100, 300, QStringLiteral("１００～３００の数値を入力してください。")};
    case GirlNumberField::Measure:
        return {50, 200, QStringLiteral("５０～２００の数値を入力してください。")};
    case GirlNumberField::Surcharge:
        break;
    }
    return {0, 100, QStringLiteral("０～１００の数値を入力してください。")};
}

GirlFieldResult CheckGenjiName(const QString &text)
{
    return CheckTextWidth(text, CompanionNameBytes, QStringLiteral("源氏名は全角６文字以内で入力してください。"));
}

GirlFieldResult CheckCompanionName(const QString &text)
{
    return CheckTextWidth(text, CompanionNameBytes, QStringLiteral("コンパニオン名は全角６文字以内で入力してください。"));
}

GirlFieldResult CheckGirlNumber(GirlNumberField field, const QString &text)
{
    const GirlNumberRange range = RangeOf(field);
    return CheckNumberInRange(text, range.lower, range.upper, range.message);
}

GirlFieldResult CheckCup(const QString &text)
{
    if (text.isEmpty())
        return {true, text, {}};
    const QString letter = ToHalfWidth(text).toUpper();
    // The column holds one character, so "AB" is refused here rather than by the store.
    if (letter.size() != 1 || letter.at(0) < QLatin1Char('A') || letter.at(0) > QLatin1Char('Z'))
        return refused(letter, QStringLiteral("A～Zのアルファベットを入力してください。"));
    return {true, letter, {}};
}

} // namespace rp
