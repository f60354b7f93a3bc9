#pragma once

#include <QString>
#include <QtGlobal>

#include <compare>

namespace rp {

// An amount of yen held exactly as a count of ten-thousandths, the precision of the database's
// currency columns. Sums stay exact; rounding happens only in the functions that name it.
class Money
{
public:
    constexpr Money() = default;

    static constexpr Money fromYen(qint64 yen) { return Money(yen * UnitsPerYen); }
    static constexpr Money fromUnits(qint64 units) { return Money(units); }

    constexpr qint64 units() const { return m_units; }
    double toDouble() const;
    // Whole yen, halves away from zero (12999.5 -> 13000, -0.5 -> -1), as the "#,##0" format shows it.
    qint64 roundedYen() const;

    constexpr Money operator+(Money other) const { return Money(m_units + other.m_units); }
    constexpr Money operator-(Money other) const { return Money(m_units - other.m_units); }
    constexpr Money &operator+=(Money other)
    {
        m_units += other.m_units;
        return *this;
    }
    constexpr Money &operator-=(Money other)
    {
        m_units -= other.m_units;
        return *this;
    }

    bool operator==(const Money &) const = default;
    auto operator<=>(const Money &) const = default;

    static constexpr qint64 UnitsPerYen = 10000;

private:
    constexpr explicit Money(qint64 units) : m_units(units) { }

    qint64 m_units = 0;
};

// A floating-point amount (a price times a share) brought back to currency: x * 10000 is computed
// in double precision and that product rounded to a whole number of units, an exact half to the
// even neighbour. Beyond the range of Money the result saturates; NaN gives 0.
Money ToCurrency(double x);

// The "#,##0" display: whole yen, halves away from zero, "," between thousands, "-" for
// negatives and never "-0". A non-finite value gives an empty text.
QString FormatNumber(double x);
QString FormatNumber(Money m);

// The companion's share of a charge: (100 - rate + surcharge) percent, never above 100 percent.
// The percentage lives in a 16-bit integer and the share in single precision, so the result is
// exactly the float the pricing has always used (40 / 5 gives 0.65f, not 0.65).
float CompanionShare(int rate, int surcharge);

} // namespace rp
