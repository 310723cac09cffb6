#include "production/frmcadtipo.h"

#include "app/camposdb.h"
#include "app/frmprincipal.h"
#include "app/mensagens.h"
#include "app/rotinas.h"
#include "db/dataset.h"

#include <QTabWidget>

using namespace Qt::StringLiterals;

namespace producao {

namespace {
app::RegistroJanela<FrmCadTipo> registro(u"Cadastro_Tipo_Produto"_s);
}

FrmCadTipo::FrmCadTipo(QWidget *pai) : app::FormCadastro(pai)
{
    setObjectName(u"FrmCadTipo"_s);
    setWindowTitle(u"Manutenção de Tipo de Produtos"_s);
    PageControl->setTabText(PageControl->indexOf(TabSheet_Manutencao), u"Cadastro  "_s);

    Tb_Tipo = new db::Dataset(app::principal()->DB_Corvena,
                              u"SELECT * FROM TIPO_PRODUTOS_FABRICADOS ORDER BY NOME"_s, this);
    Tb_Tipo->setObjectName(u"Tb_Tipo"_s);
    Tb_Tipo->model()->setColumns({{u"NOME"_s, u"TIPO PRODUTO"_s, 30}});

    EDIT_CODIGO = campoCodigo(Tb_Tipo, u"CD_TIPO_FABRICADOS"_s);
    EDIT_NOME = campo(Tb_Tipo, u"EDIT_NOME"_s, u"TIPO PRODUTO"_s, u"NOME"_s, 320);


    opcoes.sqlMaximo = u"select max(CD_TIPO_FABRICADOS) as MAXCD from TIPO_PRODUTOS_FABRICADOS"_s;
    opcoes.campoMaximo = u"MAXCD"_s;
    opcoes.campoChave = u"CD_TIPO_FABRICADOS"_s;
    opcoes.vazioAlterar = u"O Banco de Dados está vazio !!!"_s;
    opcoes.perguntaAntesDasVerificacoes = true;
    opcoes.textoObrigatorios = u"Campos marcados com *"_s;
    // no question when the tab changes (the list stays still while a row
    // is edited, as in every registry)
    opcoes.guardaAbas = false;
    obrigatorio(EDIT_NOME);
    primeiroCampo = EDIT_NOME;
    inicia(Tb_Tipo);
}

bool FrmCadTipo::verificaExclusao()
{
    const QVariant tipo = Tb_Tipo->value(u"CD_TIPO_FABRICADOS"_s);
    db::Connection &conexao = *Tb_Tipo->connection();
    if (!conexao.execute(u"SELECT CD_TIPO_FABRICADOS FROM PRODUTO WHERE CD_TIPO_FABRICADOS = :PCD_TIPO_FABRICADOS"_s,
                         {{u"PCD_TIPO_FABRICADOS"_s, tipo}})
             .isEmpty()) {
        app::msg::aviso(u"Não pode ser apagado por pertencer a produtos"_s);
        return false;
    }
    // the production runs of the type keep naming it
    if (!conexao.execute(u"SELECT FIRST 1 CD_PRODUCAO FROM PRODUCAO WHERE CD_TIPO_FABRICADOS = :PCD_TIPO_FABRICADOS"_s,
                         {{u"PCD_TIPO_FABRICADOS"_s, tipo}})
             .isEmpty()) {
        app::msg::aviso(u"Não pode ser apagado por pertencer a produções"_s);
        return false;
    }
    return true;
}

} // namespace producao
