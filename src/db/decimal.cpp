#include "db/decimal.h"

#include <cmath>
#include <limits>

namespace db {

namespace {

qint64 pow10(int n)
{
    qint64 r = 1;
    for (int i = 0; i < n; ++i)
        r *= 10;
    return r;
}

__extension__ typedef __int128 Int128;

// Divides rounding half away from zero.
qint64 divRound(Int128 value, Int128 divisor)
{
    Int128 q = value / divisor;
    Int128 r = value % divisor;
    if (r < 0)
        r = -r;
    if (2 * r >= divisor)
        q += (value < 0) ? -1 : 1;
    return static_cast<qint64>(q);
}

} // namespace

Decimal Decimal::fromInt(qint64 value, int scale)
{
    return Decimal(value * pow10(scale), scale);
}

Decimal Decimal::fromDouble(double value, int scale)
{
    if (!std::isfinite(value))
        return Decimal(0, scale);
    // Round through the shortest decimal text of the double, so that 1.005
    // typed by a user (stored as 1.00499999...) still rounds as written.
    const QString text = QString::number(value, 'g', 15);
    if (auto d = parse(text))
        return d->rescaled(scale);
    return Decimal(static_cast<qint64>(std::llround(value * static_cast<double>(pow10(scale)))), scale);
}

std::optional<Decimal> Decimal::parse(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool negative = false;
    qsizetype i = 0;
    if (text[0] == u'-' || text[0] == u'+') {
        negative = text[0] == u'-';
        ++i;
    }
    qint64 units = 0;
    int scale = 0;
    bool sawDigit = false;
    bool sawPoint = false;
    int exponent = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isDigit()) {
            if (units > (std::numeric_limits<qint64>::max() - 9) / 10)
                return std::nullopt;
            units = units * 10 + c.digitValue();
            sawDigit = true;
            if (sawPoint)
                ++scale;
        } else if ((c == u'.' || c == u',') && !sawPoint) {
            sawPoint = true;
        } else if ((c == u'e' || c == u'E') && sawDigit) {
            bool ok = false;
            exponent = text.mid(i + 1).toInt(&ok);
            if (!ok)
                return std::nullopt;
            break;
        } else {
            return std::nullopt;
        }
    }
    if (!sawDigit)
        return std::nullopt;
    scale -= exponent;
    while (scale < 0) {
        units *= 10;
        ++scale;
    }
    while (scale > 18) {
        units = divRound(units, 10);
        --scale;
    }
    return Decimal(negative ? -units : units, scale);
}

Decimal Decimal::fromVariant(const QVariant &value, int scale)
{
    if (!value.isValid() || value.isNull())
        return Decimal(0, scale);
    if (value.metaType() == QMetaType::fromType<Decimal>())
        return value.value<Decimal>();
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return fromInt(value.toLongLong(), scale);
    case QMetaType::Double:
    case QMetaType::Float:
        return fromDouble(value.toDouble(), scale);
    default:
        break;
    }
    if (auto d = parse(value.toString()))
        return *d;
    return Decimal(0, scale);
}

Decimal Decimal::rescaled(int scale) const
{
    if (scale == m_scale)
        return *this;
    if (scale > m_scale)
        return Decimal(m_units * pow10(scale - m_scale), scale);
    return Decimal(divRound(m_units, pow10(m_scale - scale)), scale);
}

double Decimal::toDouble() const
{
    // Through text, so that 0.1 comes out as the double nearest to 0.1.
    return toString().toDouble();
}

QString Decimal::toString() const
{
    const bool negative = m_units < 0;
    // Widen before negating: the magnitude of INT64_MIN does not fit in qint64.
    const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(m_units)
                                                  : static_cast<unsigned long long>(m_units);
    QString digits = QString::number(magnitude);
    if (m_scale > 0) {
        if (digits.size() <= m_scale)
            digits = QString(m_scale - digits.size() + 1, u'0') + digits;
        digits.insert(digits.size() - m_scale, u'.');
    }
    return negative ? u'-' + digits : digits;
}

QString Decimal::toBrazilian() const
{
    QString s = toString();
    s.replace(u'.', u',');
    return s;
}

Decimal operator+(const Decimal &a, const Decimal &b)
{
    const int s = std::max(a.m_scale, b.m_scale);
    return Decimal(a.rescaled(s).m_units + b.rescaled(s).m_units, s);
}

Decimal operator-(const Decimal &a, const Decimal &b)
{
    const int s = std::max(a.m_scale, b.m_scale);
    return Decimal(a.rescaled(s).m_units - b.rescaled(s).m_units, s);
}

Decimal Decimal::multipliedBy(const Decimal &o, int scale) const
{
    const Int128 product = static_cast<Int128>(m_units) * o.m_units;
    const int productScale = m_scale + o.m_scale;
    if (productScale >= scale)
        return Decimal(divRound(product, static_cast<Int128>(pow10(productScale - scale))), scale);
    return Decimal(static_cast<qint64>(product * pow10(scale - productScale)), scale);
}

Decimal operator*(const Decimal &a, const Decimal &b)
{
    return a.multipliedBy(b, std::max(a.m_scale, b.m_scale));
}

bool operator==(const Decimal &a, const Decimal &b)
{
    return (a <=> b) == std::strong_ordering::equal;
}

std::strong_ordering operator<=>(const Decimal &a, const Decimal &b)
{
    const int s = std::max(a.m_scale, b.m_scale);
    return a.rescaled(s).m_units <=> b.rescaled(s).m_units;
}

void registerDecimalType()
{
    static const bool done = [] {
        QMetaType::registerConverter<Decimal, double>(&Decimal::toDouble);
        QMetaType::registerConverter<Decimal, QString>(&Decimal::toString);
        QMetaType::registerConverter<Decimal, qlonglong>(
            [](const Decimal &d) { return d.rescaled(0).units(); });
        QMetaType::registerConverter<Decimal, int>(
            [](const Decimal &d) { return static_cast<int>(d.rescaled(0).units()); });
        return true;
    }();
    (void)done;
}

} // namespace db

namespace {
// Converters are in place as soon as the library is loaded.
const bool decimalRegistered = (db::registerDecimalType(), true);
} // namespace
