#include "data/FieldCheck.h"

#include "data/TextUtil.h"

namespace rp {

QString NotNumericMessage() { return QStringLiteral("数値を入力してください。"); }

FieldCheck CheckTextWidth(const QString &text, int maxBytes, const QString &tooLong)
{
    if (ByteLength(text) > maxBytes)
        return {false, text, tooLong};
    return {true, text, {}};
}

FieldCheck CheckNumber(const QString &text)
{
    if (text.isEmpty())
        return {true, text, {}};
    const QString half = ToHalfWidth(text);
    if (!IsNumeric(half))
        return {false, half, NotNumericMessage()};
    return {true, half, {}};
}

FieldCheck CheckNumberInRange(const QString &text, double lower, double upper, const QString &outOfRange)
{
    const FieldCheck number = CheckNumber(text);
    if (!number.ok || number.text.isEmpty())
        return number;
    const double value = *ParseNumber(number.text);
    if (value < lower || value > upper)
        return {false, number.text, outOfRange};
    return number;
}

} // namespace rp
