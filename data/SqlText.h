#pragma once

#include <QString>
#include <QVariant>

namespace rp {

// Values for bound parameters. The empty text means NULL.
QVariant SqlQuote(const QString &text);
// The empty text is NULL; otherwise a 32-bit whole number ("1,200" is 1200, halves round to even).
// Throws AppError (type mismatch, overflow) for anything else: the calling operation fails.
QVariant SqlNumber(const QString &text);
// A NULL field value reads as the empty text.
QString NullToEmpty(const QVariant &value);
// "True"/"False" as a board cell shows it, as a stored bit.
int SqlBool(const QString &text);
int SqlBool(bool value);

} // namespace rp
