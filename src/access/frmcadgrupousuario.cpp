#include "access/frmcadgrupousuario.h"

#include "app/camposdb.h"
#include "app/frmprincipal.h"
#include "app/mensagens.h"
#include "app/rotinas.h"
#include "db/dataset.h"

#include <QAction>
#include <QGroupBox>
#include <QMenu>
#include <QVBoxLayout>

#include <utility>

using namespace Qt::StringLiterals;

namespace acesso {

namespace {
app::RegistroJanela<FrmCadGrupoUsuario> registro(u"Cadastros_de_Grupos"_s);
}

FrmCadGrupoUsuario::FrmCadGrupoUsuario(QWidget *pai) : app::FormCadastro(pai)
{
    setObjectName(u"FrmCadGrupoUsuario"_s);
    setWindowTitle(u"Manutenção de Grupos"_s);
    db::Connection *conexao = app::principal()->DB_Corvena;

    Tb_Grupos = new db::Dataset(conexao, u"SELECT * FROM GRUPO ORDER BY CDGRUPO"_s, this);
    Tb_Grupos->setObjectName(u"Tb_Grupos"_s);
    Tb_Grupos->model()->setColumns({{u"CDGRUPO"_s, u"CODIGO"_s, 8}, {u"DESCRICAO"_s, u"DESCRIÇÃO GRUPO"_s, 50}});
    // the deletion that aplica() is about to write
    Tb_Grupos->BeforeDelete = [this] { m_grupoExcluido = Tb_Grupos->value(u"CDGRUPO"_s); };

    TB_Usuarios = new db::Dataset(
        conexao, u"SELECT * FROM USUARIO WHERE CDGRUPO = :CDGRUPO ORDER BY CDUSUARIO"_s, this);
    TB_Usuarios->setObjectName(u"TB_Usuarios"_s);
    TB_Usuarios->model()->setColumns({{u"CDUSUARIO"_s, u"CODIGO"_s, 8}, {u"NOME"_s, u"USUÁRIO"_s, 50}});
    TB_Usuarios->setMaster(Tb_Grupos, {{u"CDGRUPO"_s, u"CDGRUPO"_s}});

    TB_Acesso = new db::Dataset(conexao, u"SELECT * FROM CONFIGACESSO WHERE CDGRUPO = :CDGRUPO"_s, this);
    TB_Acesso->setObjectName(u"TB_Acesso"_s);

    // the users of the current group, under the list
    Painel_Usuarios = new QGroupBox(u"Usuarios Pertencentes ao Grupo Atual"_s, TabSheet_Consulta);
    Painel_Usuarios->setObjectName(u"Painel_Usuarios"_s);
    auto *painel = new QVBoxLayout(Painel_Usuarios);
    Grid_Usuarios = new app::GradeDados(Painel_Usuarios);
    Grid_Usuarios->setObjectName(u"Grid_Usuarios"_s);
    Grid_Usuarios->setDataset(TB_Usuarios);
    Grid_Usuarios->setContextMenuPolicy(Qt::CustomContextMenu);
    painel->addWidget(Grid_Usuarios);
    static_cast<QVBoxLayout *>(TabSheet_Consulta->layout())->addWidget(Painel_Usuarios);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(u"PopupMenu1"_s);
    Removerusuariodogrupo1 = PopupMenu1->addAction(u"Remover usuário do grupo"_s);
    Removerusuariodogrupo1->setObjectName(u"Removerusuariodogrupo1"_s);
    app::conecta(Removerusuariodogrupo1, &QAction::triggered, this, [this] { Removerusuariodogrupo1Click(); });
    connect(Grid_Usuarios, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        // offered only while the group has users
        if (TB_Usuarios->isActive() && !TB_Usuarios->isEmpty())
            PopupMenu1->popup(Grid_Usuarios->viewport()->mapToGlobal(pos));
    });
    connect(TB_Usuarios, &db::Dataset::stateChanged, this, &FrmCadGrupoUsuario::atualizaMenuUsuarios);
    connect(TB_Usuarios, &db::Dataset::rowsChanged, this, &FrmCadGrupoUsuario::atualizaMenuUsuarios);

    EDIT_DESCRICAO = campo(Tb_Grupos, u"EDIT_DESCRICAO"_s, u"DESCRIÇÃO GRUPO"_s, u"DESCRICAO"_s);
    EDIT_CODIGO = campoCodigo(Tb_Grupos, u"CDGRUPO"_s);

    opcoes.sqlMaximo = u"select max(CDGrupo) as MAXID from Grupo"_s;
    opcoes.campoMaximo = u"MAXID"_s;
    opcoes.campoChave = u"CDGRUPO"_s;
    opcoes.f5DuploClique = true;
    obrigatorio(EDIT_DESCRICAO);
    primeiroCampo = EDIT_DESCRICAO;
    inicia(Tb_Grupos);
    atualizaMenuUsuarios();
}

void FrmCadGrupoUsuario::atualizaMenuUsuarios()
{
    Removerusuariodogrupo1->setEnabled(TB_Usuarios->isActive() && !TB_Usuarios->isEmpty());
}

bool FrmCadGrupoUsuario::verificaExclusao()
{
    // the database, not the panel: another workstation may have added one
    const db::Result usuarios = Tb_Grupos->connection()->execute(
        u"SELECT COUNT(*) AS N FROM USUARIO WHERE CDGRUPO = :CDGRUPO"_s,
        {{u"CDGRUPO"_s, Tb_Grupos->value(u"CDGRUPO"_s)}});
    if (usuarios.value(u"N"_s).toInt() > 0) {
        app::msg::informacao(u"Remova todos os usuários do grupo, antes de apagá-lo!!!"_s);
        return false;
    }
    return true;
}

bool FrmCadGrupoUsuario::aplica()
{
    if (m_grupoExcluido.isValid()) {
        // the group's access rows go with it, or a new group given the same
        // code would inherit them
        const QVariant grupo = std::exchange(m_grupoExcluido, QVariant());
        return app::AplicaAlteracoes(*Tb_Grupos, [&](db::Transaction &tx) {
            tx.execute(u"DELETE FROM CONFIGACESSO WHERE CDGRUPO = :CDGRUPO"_s, {{u"CDGRUPO"_s, grupo}});
        });
    }

    // A group without access rows gets one visible row per menu item, in
    // the same transaction as the group itself.
    const QVariant grupo = Tb_Grupos->value(u"CDGRUPO"_s);
    TB_Acesso->close();
    TB_Acesso->setParam(u"CDGRUPO"_s, grupo);
    TB_Acesso->open();
    if (TB_Acesso->isEmpty()) {
        for (const app::FrmPrincipal::Item &item : app::principal()->percorreMenu()) {
            TB_Acesso->append();
            TB_Acesso->setValue(u"CDGRUPO"_s, grupo);
            TB_Acesso->setValue(u"MENU"_s, item.nome);
            TB_Acesso->setValue(u"VISIVEL"_s, u"S"_s);
            TB_Acesso->post();
        }
    }
    const bool gravou = app::AplicaAlteracoes(*Tb_Grupos, [this](db::Transaction &tx) { TB_Acesso->writeChanges(tx); });
    if (gravou)
        TB_Acesso->mergeChangeLog();
    else
        TB_Acesso->cancelUpdates();
    TB_Acesso->close();
    return gravou;
}

void FrmCadGrupoUsuario::Removerusuariodogrupo1Click()
{
    if (editando() || !TB_Usuarios->isActive() || TB_Usuarios->isEmpty())
        return;
    TB_Usuarios->edit();
    TB_Usuarios->setValue(u"CDGRUPO"_s, QVariant());
    TB_Usuarios->post();
    app::AplicaAlteracoes(*TB_Usuarios);
    // the panel again shows who is in the group
    TB_Usuarios->refresh();
}

} // namespace acesso
