#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace rp {

// Operators type with the IME on; fields that hold numbers, times or codes want the ASCII forms.
// Full-width ASCII (U+FF01..U+FF5E) and the ideographic space become ASCII; katakana is left alone.
QString ToHalfWidth(const QString &text);

// Column widths are counted in bytes of code page 932: ASCII and half-width katakana take 1 byte,
// every other character 2 (a surrogate pair is one character).
int ByteLength(const QString &text);
// ASCII digits become full-width digits ("015" -> "０１５"), as captions write numbers.
QString ToFullWidthDigits(const QString &text);

// The one notion of "a number" behind every field check. Expects half-width text (see ToHalfWidth).
// Accepts surrounding blanks, a sign, digits with "," between digits, a decimal part and an exponent.
std::optional<double> ParseNumber(const QString &text);
bool IsNumeric(const QString &text);

// Banker's rounding: an exact half goes to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double x);

// A number rounded half-to-even that fits a signed 32-bit column; nullopt when not numeric or out of range.
std::optional<qint32> ToLong(const QString &text);

} // namespace rp
