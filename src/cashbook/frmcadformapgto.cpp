#include "cashbook/frmcadformapgto.h"

#include "app/camposdb.h"
#include "app/frmprincipal.h"
#include "db/dataset.h"

#include <QComboBox>

using namespace Qt::StringLiterals;

namespace caixa {

namespace {
app::RegistroJanela<frmCadFormaPgto> registro(u"Cadastro_de_Forma_de_Pagamento"_s);
}

const QStringList &frmCadFormaPgto::itensLancamento()
{
    static const QStringList itens = {
        u"CH -  CHEQUE "_s,          u"DI  -  DINHEIRO"_s,    u"NT -  NOTA"_s,
        u"DN -  NOTA + DINHEIRO"_s,  u"CD  - CHEQUE + DINHEIRO"_s, u"CN  - CHEQUE + NOTA"_s,
        u"DO  - DOAÇÕES"_s,          u"PE  - PERMUTA"_s,      u"DV  - DIVERSOS"_s,
    };
    return itens;
}

frmCadFormaPgto::frmCadFormaPgto(QWidget *pai) : app::FormCadastro(pai)
{
    setObjectName(u"frmCadFormaPgto"_s);
    setWindowTitle(u"Cadastro de Forma de Pagamento"_s);

    Tb_FORMAPAGAMENTO = new db::Dataset(app::principal()->DB_Corvena, u"SELECT * FROM FORMA_PAGAMENTO"_s, this);
    Tb_FORMAPAGAMENTO->setObjectName(u"Tb_FORMAPAGAMENTO"_s);
    Tb_FORMAPAGAMENTO->model()->setColumns({{u"CD_FORMAPAGAMENTO"_s, u"CODIGO"_s, 8},
                                            {u"TIPO"_s, u"FORMA PAGAMENTO"_s, 20},
                                            {u"LANCAMENTO"_s, u"TIPO"_s, 6}});

    EDIT_CODIGO = campoCodigo(Tb_FORMAPAGAMENTO, u"CD_FORMAPAGAMENTO"_s);
    EDIT_TIPO = campo(Tb_FORMAPAGAMENTO, u"EDIT_TIPO"_s, u"FORMA DE PAGAMENTO"_s, u"TIPO"_s, 200);
    CB_LANCAMENTO = new QComboBox(Painel_Dados);
    CB_LANCAMENTO->setObjectName(u"CB_LANCAMENTO"_s);
    CB_LANCAMENTO->addItems(itensLancamento());
    CB_LANCAMENTO->setCurrentIndex(-1);
    adicionaCampo(u"TIPO"_s, CB_LANCAMENTO, 240);
    app::liga(CB_LANCAMENTO, Tb_FORMAPAGAMENTO, u"LANCAMENTO"_s, 2); // stores the code's two letters

    opcoes.sqlMaximo = u"select max(CD_FORMAPAGAMENTO) as MAXCD from FORMA_PAGAMENTO"_s;
    opcoes.campoMaximo = u"MAXCD"_s;
    opcoes.campoChave = u"CD_FORMAPAGAMENTO"_s;
    opcoes.perguntaDeletar = u"Deseja realmente deletar este Tipo ???"_s;
    opcoes.textoObrigatorios = u"Tipo "_s;
    opcoes.f5DuploClique = true;
    opcoes.f6 = false;
    obrigatorio(EDIT_TIPO);
    obrigatorio(CB_LANCAMENTO);
    primeiroCampo = EDIT_TIPO;
    inicia(Tb_FORMAPAGAMENTO);
}

} // namespace caixa
