#pragma once

#include <QString>

namespace rp {

// What checking one entry box gave when it lost focus. An empty text is always accepted; on a refusal
// the box keeps `text` (after any conversion) and the operator is shown `message`.
struct FieldCheck
{
    bool ok = true;
    QString text;      // what the box holds afterwards
    QString message;   // empty when accepted
};

QString NotNumericMessage();   // "数値を入力してください。"

// Text kept as typed; refused when wider than maxBytes (code page 932 bytes).
FieldCheck CheckTextWidth(const QString &text, int maxBytes, const QString &tooLong);
// Half-width; refused when not a number.
FieldCheck CheckNumber(const QString &text);
// Half-width; refused when not a number, or outside [lower, upper] with outOfRange. Fractions stay as typed.
FieldCheck CheckNumberInRange(const QString &text, double lower, double upper, const QString &outOfRange);

} // namespace rp
