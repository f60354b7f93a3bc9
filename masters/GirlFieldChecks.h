#pragma once

#include "data/FieldCheck.h"

#include <QString>

namespace rp {

// What checking one entry box of the companion editor gave.
using GirlFieldResult = FieldCheck;

// The number boxes of the companion editor, by their range.
enum class GirlNumberField { Age, Height, Measure, Surcharge };

struct GirlNumberRange
{
    double lower;
    double upper;
    QString message;   // shown for a number outside [lower, upper]
};

// The names are text(12) columns, counted in code-page-932 bytes.
constexpr int CompanionNameBytes = 12;

GirlNumberRange RangeOf(GirlNumberField field);

// 源氏名 typed into the companion list.
GirlFieldResult CheckGenjiName(const QString &text);
// Her name at one shop.
GirlFieldResult CheckCompanionName(const QString &text);
// Age, measurements and surcharges: half-width, numeric, inside the field's inclusive range.
// Fractions pass as typed; the store rounds them when the companion is registered.
GirlFieldResult CheckGirlNumber(GirlNumberField field, const QString &text);
// The cup letter: half-width, upper case, exactly one letter A to Z.
GirlFieldResult CheckCup(const QString &text);

} // namespace rp
