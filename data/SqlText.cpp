#include "data/SqlText.h"

#include "data/AppError.h"
#include "data/TextUtil.h"

namespace rp {

QVariant SqlQuote(const QString &text)
{
    if (text.isEmpty())
        return QVariant(QMetaType(QMetaType::QString));
    return text;
}

QVariant SqlNumber(const QString &text)
{
    if (text.isEmpty())
        return QVariant(QMetaType(QMetaType::Int));
    const std::optional<double> value = ParseNumber(text);
    if (!value)
        throw AppError(AppError::TypeMismatch, QStringLiteral("型が一致しません。"));
    const std::optional<qint32> whole = ToLong(text);
    if (!whole)
        throw AppError(AppError::Overflow, QStringLiteral("オーバーフローしました。"));
    return *whole;
}

QString NullToEmpty(const QVariant &value)
{
    if (value.isNull())
        return QString();
    return value.toString();
}

int SqlBool(const QString &text)
{
    return text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 || text == QLatin1String("1")
            || text == QLatin1String("-1")
        ? 1
        : 0;
}

int SqlBool(bool value) { return value ? 1 : 0; }

} // namespace rp
