#include "masters/ShopFieldChecks.h"

#include "data/Money.h"
#include "data/TextUtil.h"

namespace rp {

namespace {

ShopCheckResult accepted(const QString &text) { return ShopCheckResult{true, text, QString()}; }
ShopCheckResult refused(const QString &text, const QString &message) { return ShopCheckResult{false, text, message}; }

} // namespace


ShopCheckResult CheckWholeYen(const QString &text, int maxChars, const QString &tooLong)
{
    if (text.isEmpty())
        return accepted(text);
    const QString half = ToHalfWidth(text);
    const std::optional<double> value = ParseNumber(half);
    if (!value)
        return refused(half, ShopMessages::notNumeric());
    // The limit is on what the box would show, so "-99,999" fits where "100,000" does not.
    const QString formatted = FormatNumber(*value);
    if (formatted.size() > maxChars)
        return refused(half, tooLong);
    return accepted(formatted);
}

ShopCheckResult CheckPercentage(const QString &text)
{
    return CheckNumberInRange(text, 0, 100, ShopMessages::rateRange());
}

ShopCheckResult CheckPlainNumber(const QString &text)
{
    return CheckNumber(text);
}

ShopCheckResult CheckMinutes(const QString &text)
{
    // The columns are 16-bit, and a negative warning time would never warn.
    return CheckNumberInRange(text, 0, 999, ShopMessages::minutesRange());
}

ShopCheckResult CheckShopField(ShopField field, const QString &text)
{
    switch (field) {
    case ShopField::CourseName: return CheckTextWidth(text, 16, ShopMessages::courseName());
    case ShopField::Duration: return CheckTextWidth(text, 8, ShopMessages::duration());
    case ShopField::OptionName: return CheckTextWidth(text, 16, ShopMessages::optionName());
    case ShopField::CoursePrice: return CheckWholeYen(text, 7, ShopMessages::sixDigits());
    case ShopField::Fee: return CheckWholeYen(text, 6, ShopMessages::fiveDigits());
    case ShopField::Rate: return CheckPercentage(text);
    case ShopField::Minutes: return CheckMinutes(text);
    }
    return accepted(text);
}

} // namespace rp
