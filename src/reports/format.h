#pragma once

// How the printouts write values: numbers through masks in the style the
// dairy's screens use ("#,##0.00", ",0.###", "#,##", "R$ ##,#0.00",
// ",0.00;,0.00"), always with the Brazilian separators (point for
// thousands, comma for decimals); dates as dd/MM/yyyy and times as
// hh:mm:ss unless a report asks otherwise.

#include "db/decimal.h"

#include <QString>
#include <QVariant>

namespace reports {

// Masks and patterns the reports use again and again.
namespace fmt {
inline const QString Money = QStringLiteral("#,##0.00");       // 1.234,50
inline const QString Currency = QStringLiteral("R$ #,##0.00"); // R$ 1.234,50
inline const QString Price = QStringLiteral(",0.###");         // 1,5 / 2,355
inline const QString Thousands = QStringLiteral("#,##");       // 1.235, zero empty
inline const QString Date = QStringLiteral("dd/MM/yyyy");
inline const QString Time = QStringLiteral("hh:mm:ss");
} // namespace fmt

// A number through a mask. The mask is read as the screens of the system
// read it:
//   0        a digit that is always written;
//   #        a digit written only when significant;
//   ,        anywhere before the decimal point: group thousands by three;
//   .        the decimal point (written as a comma);
//   'x' "x"  literal text; any other character is literal too ("R$ ");
//   ;        separates the sections positive;negative;zero — a negative
//            section is written without a minus sign.
// Rounding is half away from zero on the decimal value. Without a negative
// section a negative number gets a minus sign in front of the whole text
// ("-R$ 5,00"); a number that rounds to zero gets none. Examples:
// 1234.5 "#,##0.00" -> "1.234,50"; 1.5 ",0.###" -> "1,5"; 0 "#,##" -> "".
QString formatNumber(const db::Decimal &value, const QString &mask);
QString formatNumber(double value, const QString &mask);

// Any value a row can hold, as text:
//   null or invalid       -> "" (whatever the format);
//   db::Decimal, integers,
//   doubles               -> formatNumber with the format, or without one
//                            the plain number with a decimal comma;
//   QDate / QTime /
//   QDateTime             -> QDate::toString etc. with the format, or
//                            dd/MM/yyyy, hh:mm:ss, dd/MM/yyyy hh:mm:ss;
//   text                  -> as it is, less trailing blanks (CHAR columns
//                            come back padded).
QString formatValue(const QVariant &value, const QString &format = {});

// True for the variant types formatValue treats as numbers.
bool isNumber(const QVariant &value);

// The text with accented letters replaced by their plain letters
// ("PREÇO" -> "PRECO"), as the dot-matrix printer prints them.
QString plainLetters(const QString &text);

} // namespace reports
