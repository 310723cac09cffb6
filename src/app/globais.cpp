#include "app/globais.h"

namespace app {

QDate DataCaixa;
QDate DataCaixaGeral;
QDate DataCaixaAlterado;
QDate DataFolhaAtual;
bool FolhaJaLancada = false;
QString UsuarioMaster;
int ChequePagamento = 0;
int ChequeCliente = 0;
db::Decimal ChequeValor(0, 2);
QDate ChequeData;
int ProdutoEscolhido = 0;

void zeraGlobais()
{
    DataCaixa = DataCaixaGeral = DataCaixaAlterado = DataFolhaAtual = ChequeData = QDate();
    FolhaJaLancada = false;
    UsuarioMaster.clear();
    ChequePagamento = ChequeCliente = ProdutoEscolhido = 0;
    ChequeValor = db::Decimal(0, 2);
}

} // namespace app
