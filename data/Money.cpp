#include "data/Money.h"

#include "data/TextUtil.h"

#include <cmath>
#include <limits>

namespace rp {

double Money::toDouble() const
{
    return double(m_units) / double(UnitsPerYen);
}

qint64 Money::roundedYen() const
{
    // Integer division truncates towards zero, so the remainder carries the sign of the amount.
    qint64 yen = m_units / UnitsPerYen;
    const qint64 rest = m_units % UnitsPerYen;
    if (rest >= UnitsPerYen / 2)
        ++yen;
    else if (rest <= -UnitsPerYen / 2)
        --yen;
    return yen;
}

Money ToCurrency(double x)
{
    if (std::isnan(x))
        return Money();
    // Round the double product itself: 20000 * 0.65f is 12999.99952316..., whose product
    // 129999995.23... gives 12999.9995 yen. No attempt is made to recover the decimal the
    // caller may have meant; the product's own value decides.
    const double units = RoundHalfEven(x * double(Money::UnitsPerYen));
    // 2^63 is exactly representable; every double below it converts without overflow.
    constexpr double limit = 9223372036854775808.0;
    if (units >= limit)
        return Money::fromUnits(std::numeric_limits<qint64>::max());
    if (units < -limit)
        return Money::fromUnits(std::numeric_limits<qint64>::min());
    return Money::fromUnits(static_cast<qint64>(units));
}

namespace {

QString groupThousands(QString digits, bool negative)
{
    for (qsizetype pos = digits.size() - 3; pos > 0; pos -= 3)
        digits.insert(pos, QLatin1Char(','));
    if (negative)
        digits.prepend(QLatin1Char('-'));
    return digits;
}

} // namespace

QString FormatNumber(double x)
{
    if (!std::isfinite(x))
        return QString();
    const double whole = std::round(x); // halves away from zero
    if (whole == 0.0)
        return QStringLiteral("0");
    // 'f' with no decimals writes every digit of large values exactly, with no exponent.
    return groupThousands(QString::number(std::fabs(whole), 'f', 0), whole < 0.0);
}

QString FormatNumber(Money m)
{
    const qint64 yen = m.roundedYen();
    if (yen == 0)
        return QStringLiteral("0");
    // Through the unsigned type so that the most negative amount has a magnitude too.
    const quint64 magnitude = yen < 0 ? quint64(0) - quint64(yen) : quint64(yen);
    return groupThousands(QString::number(magnitude), yen < 0);
}

float CompanionShare(int rate, int surcharge)
{
    // Summed in 64 bits so no int overflow can occur, then wrapped into 16 bits like the stored percentage.
    const qint16 percent = static_cast<qint16>(qint64(100) - rate + surcharge);
    float share = float(percent);
    if (share > 100.0f)
        share = 100.0f;
    return share / 100.0f;
}

} // namespace rp
