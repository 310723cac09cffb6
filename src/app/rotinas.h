#pragma once

#include "db/decimal.h"

#include <QString>

#include <functional>

namespace db {
class Dataset;
class Transaction;
} // namespace db

// Routines shared by every window.
namespace app {

// True while the dataset is inserting or altering a row.
bool EmEdicao(const db::Dataset &dataset);

// The text shown whenever the database refuses a window's changes.
QString textoRelacionamentos();

// Writes the dataset's pending changes (inserted, altered and deleted rows)
// in one transaction, together with whatever `tambem` writes in the same
// transaction. When the database refuses any of it, nothing is stored, every
// pending change of the dataset is withdrawn (it shows the rows as last
// read), the relationship warning is shown, and the result is false: the
// caller stops there.
bool AplicaAlteracoes(db::Dataset &dataset, const std::function<void(db::Transaction &)> &tambem = {});

// The number with the given decimals (rounded), a decimal comma, no
// thousands points, at least two characters wide: 1234.5, 2 -> "1234,50".
QString FormataNumero(double valor, int decimais);
QString FormataNumero(const db::Decimal &valor, int decimais);

// A number from text typed in Brazilian or plain form: "1.234,56" and
// "1234.56" give 1234.56, "R$ 12,5" gives 12.5; what cannot be read is 0.
double ValorDoTexto(const QString &texto);
// The same, exact, rounded to the given decimals.
db::Decimal DecimalDoTexto(const QString &texto, int decimais = 2);

// The first n characters of the text.
QString Esquerda(const QString &texto, int n);

// The check digits of a company tax number (CNPJ), 14 digits.
bool ValidaCNPJ(const QString &cnpj);

// True when a blank occurs among the first n characters.
bool TemBranco(const QString &texto, int n);

} // namespace app
