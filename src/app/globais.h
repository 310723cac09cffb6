#pragma once

#include "db/decimal.h"

#include <QDate>
#include <QString>

// Values that live for the whole run and carry context from one window to
// the next one it opens. They start as zero or empty.
namespace app {

extern QDate DataCaixa;         // the open sales cash day
extern QDate DataCaixaGeral;    // the day shown by the general cash book
extern QDate DataCaixaAlterado; // the cash day chosen for altering a closed one
extern QDate DataFolhaAtual;    // the chosen supplier payment sheet
extern bool FolhaJaLancada;     // that sheet is already posted
extern QString UsuarioMaster;   // "S" for a master user
extern int ChequePagamento;     // values handed to the cheque entry
extern int ChequeCliente;
extern db::Decimal ChequeValor;
extern QDate ChequeData;
extern int ProdutoEscolhido;    // the product chosen in the product chooser, 0 = none

// Back to the start values (for the tests, which run many windows in one
// process).
void zeraGlobais();

} // namespace app
