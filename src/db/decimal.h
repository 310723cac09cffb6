#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

#include <compare>
#include <cstdint>
#include <optional>

namespace db {

// An exact decimal number: an integer count of units of 10^-scale.
// Money travels as scale 2 (cents), product prices as scale 3. Arithmetic
// never goes through binary floating point; conversions to double are for
// display or for the few places where the dairy's rules compute in floating
// point, and rescaling rounds half away from zero.
class Decimal
{
public:
    constexpr Decimal() = default;
    constexpr Decimal(qint64 units, int scale) : m_units(units), m_scale(scale) {}

    static Decimal fromInt(qint64 value, int scale = 0);
    // Rounds to the given scale, half away from zero.
    static Decimal fromDouble(double value, int scale);
    // Reads "1234.56", "1234,56", "-0,5", "12" (no thousands separators).
    static std::optional<Decimal> parse(QStringView text);
    // Extracts a Decimal from a variant holding a Decimal, an integer, a
    // double or a text; null or invalid gives zero at the given scale.
    static Decimal fromVariant(const QVariant &value, int scale = 2);

    constexpr qint64 units() const { return m_units; }
    constexpr int scale() const { return m_scale; }
    bool isZero() const { return m_units == 0; }
    bool isNegative() const { return m_units < 0; }

    Decimal rescaled(int scale) const;
    double toDouble() const;
    // Plain text with a point and exactly scale() decimals: "-1234.50".
    QString toString() const;
    // Text with the Brazilian decimal comma, no thousands separators.
    QString toBrazilian() const;

    Decimal operator-() const { return Decimal(-m_units, m_scale); }
    friend Decimal operator+(const Decimal &a, const Decimal &b);
    friend Decimal operator-(const Decimal &a, const Decimal &b);
    // Product rounded to the larger of the two scales.
    friend Decimal operator*(const Decimal &a, const Decimal &b);
    Decimal &operator+=(const Decimal &o) { return *this = *this + o; }
    Decimal &operator-=(const Decimal &o) { return *this = *this - o; }
    // Multiplies and rounds to the given scale.
    Decimal multipliedBy(const Decimal &o, int scale) const;

    friend bool operator==(const Decimal &a, const Decimal &b);
    friend std::strong_ordering operator<=>(const Decimal &a, const Decimal &b);

    QVariant toVariant() const { return QVariant::fromValue(*this); }

private:
    qint64 m_units = 0;
    int m_scale = 0;
};

// Registers the converters that let QVariant::toDouble()/toString() read a
// Decimal. Called once by the database layer before any value is produced.
void registerDecimalType();

} // namespace db

Q_DECLARE_METATYPE(db::Decimal)
