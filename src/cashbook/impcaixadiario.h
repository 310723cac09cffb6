#pragma once

#include "db/database.h"

#include <QDate>
#include <QString>
#include <QVariant>

namespace reports {
class PageReport;
}

namespace caixa {

// One day of the general cash book as its daily report prints it: the
// closing balance of the previous day that has a row, the day's totals and
// closing balance as the database keeps them, and the day's entries.
struct DiaDoCaixa
{
    QDate dia;
    QVariant saldoAnterior; // null when no earlier day has a row
    QVariant totCredito;    // null when the day has no row
    QVariant totDebito;
    QVariant saldoAtual;
    db::Result lancamentos;
};

// Reads the day from the database.
DiaDoCaixa leDiaDoCaixa(db::Connection &conexao, const QDate &dia);

// "R$ " and the amount formatted "#,##0.00"; only "R$ " for an empty value.
QString emReais(const QVariant &valor);

// The daily report of the cash book ("RELATÓRIO DIARIO DO CAIXA"): Letter,
// portrait, one line per entry, the previous balance, the day's receipts
// and payments and its closing balance in four boxes.
void montaRelatorioDiario(reports::PageReport &relatorio, const DiaDoCaixa &dia, const QString &razaoSocial);

} // namespace caixa
