// Number masks, dates and plain letters for the printouts (see format.h).

#include "reports/format.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QTime>

namespace reports {

namespace {

// One section of a mask, read once.
struct Section
{
    QString prefix;       // literal text before the digits
    QString suffix;       // literal text after them
    bool grouping = false;
    int minInt = 0;       // integer digits always written
    int minDec = 0;       // decimals always written
    int maxDec = 0;       // decimals written at most
    bool hasDigits = false;
};

QList<QString> splitSections(const QString &mask)
{
    QList<QString> sections;
    QString current;
    QChar quote;
    for (const QChar c : mask) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            current += c;
        } else if (c == u'\'' || c == u'"') {
            quote = c;
            current += c;
        } else if (c == u';') {
            sections.append(current);
            current.clear();
        } else {
            current += c;
        }
    }
    sections.append(current);
    return sections;
}

Section parseSection(const QString &text)
{
    Section s;
    enum { Before, Digits, After } state = Before;
    bool point = false;
    QString intPlaces, decPlaces;
    QChar quote;
    auto literal = [&](QChar c) {
        if (state == Before)
            s.prefix += c;
        else {
            state = After;
            s.suffix += c;
        }
    };
    for (const QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                literal(c);
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
            continue;
        }
        const bool numeric = c == u'#' || c == u'0' || c == u',' || c == u'.';
        if (!numeric || state == After) {
            literal(c);
            continue;
        }
        state = Digits;
        if (c == u'.') {
            point = true;
        } else if (c == u',') {
            if (!point)
                s.grouping = true;
        } else if (point) {
            decPlaces += c;
        } else {
            intPlaces += c;
        }
    }
    s.hasDigits = !intPlaces.isEmpty() || !decPlaces.isEmpty();
    const qsizetype firstZero = intPlaces.indexOf(u'0');
    s.minInt = firstZero < 0 ? 0 : static_cast<int>(intPlaces.size() - firstZero);
    s.maxDec = static_cast<int>(decPlaces.size());
    s.minDec = static_cast<int>(decPlaces.lastIndexOf(u'0') + 1);
    return s;
}

QString groupThousands(const QString &digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += u'.';
        out += digits[i];
    }
    return out;
}

// The magnitude of an already rounded value through one section.
QString applySection(const Section &s, const db::Decimal &rounded)
{
    if (!s.hasDigits)
        return s.prefix + s.suffix;
    const QString plain = rounded.toString(); // "-1234.50", scale == maxDec
    QString intDigits = plain;
    QString decDigits;
    if (const qsizetype p = plain.indexOf(u'.'); p >= 0) {
        intDigits = plain.left(p);
        decDigits = plain.mid(p + 1);
    }
    if (intDigits.startsWith(u'-'))
        intDigits.remove(0, 1);
    if (intDigits == QLatin1String("0"))
        intDigits.clear();
    while (intDigits.size() < s.minInt)
        intDigits.prepend(u'0');
    while (decDigits.size() > s.minDec && decDigits.endsWith(u'0'))
        decDigits.chop(1);
    QString out = s.grouping ? groupThousands(intDigits) : intDigits;
    if (!decDigits.isEmpty())
        out += u',' + decDigits;
    return s.prefix + out + s.suffix;
}

QString plainNumber(const db::Decimal &value)
{
    return value.toBrazilian();
}

QString plainNumber(double value)
{
    QString s = QString::number(value, 'g', 15);
    if (s.contains(u'e') || s.contains(u'E'))
        s = QString::number(value, 'f', 6);
    s.replace(u'.', u',');
    return s;
}

} // namespace

QString formatNumber(const db::Decimal &value, const QString &mask)
{
    if (mask.isEmpty())
        return plainNumber(value);
    const QList<QString> texts = splitSections(mask);
    const Section positive = parseSection(texts[0]);
    const db::Decimal rounded = value.rescaled(positive.maxDec);
    if (rounded.isNegative() && texts.size() >= 2 && !texts[1].isEmpty()) {
        const Section negative = parseSection(texts[1]);
        return applySection(negative, (-value).rescaled(negative.maxDec));
    }
    if (rounded.isZero() && texts.size() >= 3 && !texts[2].isEmpty()) {
        const Section zero = parseSection(texts[2]);
        return applySection(zero, db::Decimal(0, zero.maxDec));
    }
    const QString text = applySection(positive, rounded);
    return rounded.isNegative() ? u'-' + text : text;
}

QString formatNumber(double value, const QString &mask)
{
    if (mask.isEmpty())
        return plainNumber(value);
    // Rounded once, through the double's shortest decimal text, to the
    // most decimals any section writes.
    int decimals = 0;
    for (const QString &section : splitSections(mask))
        decimals = std::max(decimals, parseSection(section).maxDec);
    return formatNumber(db::Decimal::fromDouble(value, decimals), mask);
}

bool isNumber(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<db::Decimal>())
        return true;
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

QString formatValue(const QVariant &value, const QString &format)
{
    if (!value.isValid() || value.isNull())
        return {};
    const QMetaType type = value.metaType();
    if (type == QMetaType::fromType<db::Decimal>())
        return formatNumber(value.value<db::Decimal>(), format);
    switch (type.id()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return formatNumber(value.toDouble(), format);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return format.isEmpty() ? value.toString() : formatNumber(db::Decimal(value.toLongLong(), 0), format);
    case QMetaType::QDate:
        return value.toDate().toString(format.isEmpty() ? fmt::Date : format);
    case QMetaType::QTime:
        return value.toTime().toString(format.isEmpty() ? fmt::Time : format);
    case QMetaType::QDateTime:
        return value.toDateTime().toString(format.isEmpty() ? fmt::Date + u' ' + fmt::Time : format);
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("S") : QStringLiteral("N");
    default:
        break;
    }
    QString text = value.toString();
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isSpace())
        --end;
    text.truncate(end);
    return text;
}

QString plainLetters(const QString &text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            out += c;
    }
    return out.normalized(QString::NormalizationForm_C);
}

} // namespace reports
