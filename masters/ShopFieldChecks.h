#pragma once

#include "data/FieldCheck.h"

#include <QString>

namespace rp {

// The checks the shop editor's entry boxes run when they lose focus, kept apart from the widgets.
// An empty text is always accepted. On a refusal the box keeps `text` (after any conversion) and the
// operator is shown `message`.
using ShopCheckResult = FieldCheck;

// What a box holds; decides the rule, its limit and its message.
enum class ShopField {
    CourseName,    // 16 bytes
    Duration,      // 8 bytes, free text ("60", "９０分")
    OptionName,    // 16 bytes
    CoursePrice,   // course and option prices, up to 999,999
    Fee,           // extension, nomination and cancellation fees, up to 99,999
    Rate,          // the shop's percentage, 0..100
    Minutes,       // extension unit and warning time, 0..999
};

namespace ShopMessages {
inline QString notNumeric() { return NotNumericMessage(); }
inline QString rateRange() { return QStringLiteral("０～１００の数値を入力してください。"); }
inline QString sixDigits() { return QStringLiteral("６桁の金額を入力してください。"); }
inline QString fiveDigits() { return QStringLiteral("５桁の金額を入力してください。"); }
inline QString courseName() { return QStringLiteral("コース名は全角８文字以内で入力してください。"); }
inline QString duration() { return QStringLiteral("コース時間は全角４文字以内で入力してください。"); }
inline QString optionName() { return QStringLiteral("オプション名は全角８文字以内で入力してください。"); }
inline QString minutesRange() { return QStringLiteral("０～９９９の数値（分）を入力してください。"); }
inline QString shopName() { return QStringLiteral("店舗名は全角１５文字以内で入力してください。"); }
} // namespace ShopMessages

// Half-width, then "#,##0"; refused when not a number, or when the formatted text is longer than
// maxChars (the box then keeps the half-width text as typed).
ShopCheckResult CheckWholeYen(const QString &text, int maxChars, const QString &tooLong);
// Half-width; refused when not a number or outside 0..100. Fractions stay as typed.
ShopCheckResult CheckPercentage(const QString &text);
// Half-width; refused only when not a number.
ShopCheckResult CheckPlainNumber(const QString &text);
// Half-width; refused when not a number or outside 0..999 minutes.
ShopCheckResult CheckMinutes(const QString &text);

ShopCheckResult CheckShopField(ShopField field, const QString &text);

// Widest shop name the shop list takes, in bytes.
constexpr int ShopNameBytes = 30;

} // namespace rp
