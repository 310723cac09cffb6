#include "cashbook/frmcadconta.h"

#include "app/camposdb.h"
#include "app/frmprincipal.h"
#include "app/mensagens.h"
#include "db/dataset.h"

#include <QIntValidator>
#include <QKeyEvent>

using namespace Qt::StringLiterals;

namespace caixa {

namespace {
app::RegistroJanela<FrmCadConta> registro(u"Cadastro_de_Conta"_s);
}

bool FrmCadConta::contaAutomatica(int cdConta)
{
    // 1: supplier money; 2: cash sales; 4: receipts of a closed cash day
    return cdConta == 1 || cdConta == 2 || cdConta == 4;
}

FrmCadConta::FrmCadConta(QWidget *pai) : app::FormCadastro(pai)
{
    setObjectName(u"FrmCadConta"_s);
    setWindowTitle(u"Manutenção de Contas"_s);

    Tb_conta = new db::Dataset(nullptr, u"SELECT * FROM CONTA ORDER BY descricao"_s, this);
    Tb_conta->setObjectName(u"Tb_conta"_s);
    Tb_conta->setConnection(app::principal()->DB_Corvena);
    Tb_conta->model()->setColumns({{u"NUM_CONTA"_s, u"NUM CONTA"_s, 10},
                                   {u"DESCRICAO"_s, u"NOME DA CONTA"_s, 35},
                                   db::DatasetModel::Column::check(u"SAIREL"_s, u"SAI NO RELATORIO"_s)});

    EDIT_CODIGO = campoCodigo(Tb_conta, u"CD_CONTA"_s);
    EDIT_NUMCONTA = campo(Tb_conta, u"EDIT_NUMCONTA"_s, u"NUMERO CONTA"_s, u"NUM_CONTA"_s, 120);
    EDIT_NUMCONTA->setValidator(new QIntValidator(0, 999999999, EDIT_NUMCONTA));
    EDIT_DESCRICAO = campo(Tb_conta, u"EDIT_DESCRICAO"_s, u"NOME DA CONTA"_s, u"DESCRICAO"_s);
    CB_SAIREL = new app::CaixaSN(u"SAI NO RELATORIO"_s, Painel_Dados);
    CB_SAIREL->setObjectName(u"CB_SAIREL"_s);
    adicionaCampo(QString(), CB_SAIREL);
    app::liga(CB_SAIREL, Tb_conta, u"SAIREL"_s);

    opcoes.sqlMaximo = u"select max(cd_CONTA) as MAXID from CONTA"_s;
    opcoes.campoMaximo = u"MAXID"_s;
    opcoes.campoChave = u"CD_CONTA"_s;
    opcoes.perguntaDeletar = u"Deseja realmente deletar esta Conta ???"_s;
    opcoes.perguntaAntesDasVerificacoes = true;
    obrigatorio(EDIT_NUMCONTA);
    primeiroCampo = EDIT_NUMCONTA;
    inicia(Tb_conta);
}

void FrmCadConta::novosValores()
{
    Tb_conta->setValue(u"SAIREL"_s, u"N"_s);
}

bool FrmCadConta::FormKeyDown(QKeyEvent *evento)
{
    // Enter in the account's name records it
    if ((evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter) && EDIT_DESCRICAO->hasFocus()
        && editando()) {
        GravarClick();
        return true;
    }
    return FormCadastro::FormKeyDown(evento);
}

bool FrmCadConta::verificaExclusao()
{
    const int conta = Tb_conta->value(u"CD_CONTA"_s).toInt();
    if (contaAutomatica(conta)) {
        app::msg::erro(u"A conta %1 recebe lançamentos automáticos do sistema e não pode ser apagada!"_s.arg(conta));
        return false;
    }
    const db::Result usos = Tb_conta->connection()->execute(
        u"SELECT CD_MOVIMENTO FROM MOVIMENTO WHERE CD_CONTA = :PCDCONTA"_s, {{u"PCDCONTA"_s, conta}});
    if (!usos.isEmpty()) {
        app::msg::erro(u"Impossivel Apagar!, Primeiro Apague as contas"_s);
        return false;
    }
    return true;
}

} // namespace caixa
