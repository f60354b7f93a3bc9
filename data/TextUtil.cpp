#include "data/TextUtil.h"

#include <QList>

#include <cmath>
#include <limits>

namespace rp {

QString ToHalfWidth(const QString &text)
{
    QString result = text;
    for (QChar &c : result) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(char16_t(u - 0xFF01 + 0x21));
        else if (u == 0x3000)
            c = QLatin1Char(' ');
    }
    return result;
}

int ByteLength(const QString &text)
{
    int bytes = 0;
    for (const char32_t cp : text.toUcs4()) {
        const bool singleByte = cp <= 0x7F || (cp >= 0xFF61 && cp <= 0xFF9F);
        bytes += singleByte ? 1 : 2;
    }
    return bytes;
}

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

std::optional<double> ParseNumber(const QString &text)
{
    // Checked by hand rather than with QString::toDouble alone: that one also takes "inf", "nan"
    // and refuses grouping commas, and the fields must accept "1,200" as typed.
    const QString t = text.trimmed();
    QString plain; // the text without grouping commas, in a form toDouble reads
    plain.reserve(t.size());
    qsizetype i = 0;
    const qsizetype n = t.size();

    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        plain += t[i++];

    int mantissaDigits = 0;
    while (i < n && (isDigit(t[i]) || t[i] == QLatin1Char(','))) {
        if (t[i] == QLatin1Char(',')) {
            // A comma only counts as grouping when it sits between two digits.
            if (i == 0 || !isDigit(t[i - 1]) || i + 1 >= n || !isDigit(t[i + 1]))
                return std::nullopt;
        } else {
            plain += t[i];
            ++mantissaDigits;
        }
        ++i;
    }
    if (i < n && t[i] == QLatin1Char('.')) {
        plain += t[i++];
        while (i < n && isDigit(t[i])) {
            plain += t[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;

    if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        plain += QLatin1Char('e');
        ++i;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
            plain += t[i++];
        int exponentDigits = 0;
        while (i < n && isDigit(t[i])) {
            plain += t[i++];
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;

    bool ok = false;
    const double value = plain.toDouble(&ok);
    // "1e999" is well formed but no field can hold it.
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool IsNumeric(const QString &text)
{
    return ParseNumber(text).has_value();
}

double RoundHalfEven(double x)
{
    if (!std::isfinite(x))
        return x;
    const double below = std::floor(x);
    const double fraction = x - below; // exact for every finite double
    if (fraction > 0.5)
        return below + 1.0;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

std::optional<qint32> ToLong(const QString &text)
{
    const std::optional<double> value = ParseNumber(text);
    if (!value)
        return std::nullopt;
    const double rounded = RoundHalfEven(*value);
    if (rounded < double(std::numeric_limits<qint32>::min())
        || rounded > double(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return static_cast<qint32>(rounded);
}

QString ToFullWidthDigits(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            c = QChar(char16_t(c.unicode() - u'0' + 0xFF10));
    return out;
}

} // namespace rp
