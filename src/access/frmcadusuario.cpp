#include "access/frmcadusuario.h"

#include "app/camposdb.h"
#include "app/frmprincipal.h"
#include "db/dataset.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

using namespace Qt::StringLiterals;

namespace acesso {

namespace {
app::RegistroJanela<FrmCadUsuario> registro(u"Cadastro_de_Usuarios"_s);
}

FrmCadUsuario::FrmCadUsuario(QWidget *pai) : app::FormCadastro(pai)
{
    setObjectName(u"FrmCadUsuario"_s);
    setWindowTitle(u"Manutenção de Usuários"_s);
    db::Connection *conexao = app::principal()->DB_Corvena;

    Tb_Grupos = new db::Dataset(conexao, u"SELECT * FROM GRUPO ORDER BY DESCRICAO"_s, this);
    Tb_Grupos->setObjectName(u"Tb_Grupos"_s);
    Tb_Usuario = new db::Dataset(conexao, u"SELECT * FROM USUARIO ORDER BY NOME"_s, this);
    Tb_Usuario->setObjectName(u"Tb_Usuario"_s);
    Tb_Usuario->addLookupField(u"nomegrupo"_s, u"CDGRUPO"_s, Tb_Grupos, u"CDGRUPO"_s, u"DESCRICAO"_s);
    // the password is not listed
    Tb_Usuario->model()->setColumns({{u"NOME"_s, u"NOME"_s, 40},
                                     {u"NOMEGRUPO"_s, u"GRUPO"_s, 30},
                                     {u"LOGIN"_s, u"LOGIN"_s, 12},
                                     {u"MASTER"_s, u"MASTER"_s, 7}});

    EDIT_CODIGO = campoCodigo(Tb_Usuario, u"CDUSUARIO"_s);
    EDIT_NOME = campo(Tb_Usuario, u"EDIT_NOME"_s, u"NOME USUARIO"_s, u"NOME"_s);

    GroupBox_Acesso = new QGroupBox(u"ACESSO AO SISTEMA"_s, Painel_Dados);
    GroupBox_Acesso->setObjectName(u"GroupBox_Acesso"_s);
    auto *acesso = new QGridLayout(GroupBox_Acesso);
    auto linha = [&](const QString &rotulo, QWidget *campo, int largura) {
        const int n = acesso->rowCount();
        auto *l = new QLabel(rotulo, GroupBox_Acesso);
        l->setBuddy(campo);
        acesso->addWidget(l, n, 0, Qt::AlignRight | Qt::AlignVCenter);
        campo->setMinimumWidth(largura);
        acesso->addWidget(campo, n, 1, Qt::AlignLeft | Qt::AlignVCenter);
    };
    LKP_GRUPO = new app::ComboLookup(GroupBox_Acesso);
    LKP_GRUPO->setObjectName(u"LKP_GRUPO"_s);
    LKP_GRUPO->setLista(Tb_Grupos, u"CDGRUPO"_s, u"DESCRICAO"_s);
    LKP_GRUPO->setToolTip(u"DESCRIÇÃO"_s);
    linha(u"GRUPO"_s, LKP_GRUPO, 300);
    EDIT_LOGIN = new app::EditTexto(GroupBox_Acesso);
    EDIT_LOGIN->setObjectName(u"EDIT_LOGIN"_s);
    linha(u"LOGIN"_s, EDIT_LOGIN, 120);
    EDIT_SENHA = new app::EditTexto(GroupBox_Acesso);
    EDIT_SENHA->setObjectName(u"EDIT_SENHA"_s);
    EDIT_SENHA->setEchoMode(QLineEdit::Password);
    EDIT_SENHA->setStyleSheet(u"lineedit-password-character: 42"_s); // "*" for each character
    EDIT_SENHA->setToolTip(u"Usada somente quando o usuário for entrar no sistema"_s);
    linha(u"SENHA"_s, EDIT_SENHA, 120);
    CB_MASTER = new app::CaixaSN(u"MASTER"_s, GroupBox_Acesso);
    CB_MASTER->setObjectName(u"CB_MASTER"_s);
    acesso->addWidget(CB_MASTER, acesso->rowCount(), 1);
    layoutDados()->addWidget(GroupBox_Acesso, layoutDados()->rowCount(), 0, 1, 3, Qt::AlignLeft);

    app::liga(LKP_GRUPO, Tb_Usuario, u"CDGRUPO"_s);
    app::liga(EDIT_LOGIN, Tb_Usuario, u"LOGIN"_s);
    app::liga(EDIT_SENHA, Tb_Usuario, u"SENHA"_s);
    app::liga(CB_MASTER, Tb_Usuario, u"MASTER"_s);

    opcoes.sqlMaximo = u"select max(CDUsuario) as MAXID from usuario"_s;
    opcoes.campoMaximo = u"MAXID"_s;
    opcoes.campoChave = u"CDUSUARIO"_s;
    opcoes.textoObrigatorios = u"(Nome, Grupo, Login, Senha)"_s;
    obrigatorio(EDIT_NOME);
    obrigatorio(LKP_GRUPO);
    obrigatorio(EDIT_LOGIN);
    obrigatorio(EDIT_SENHA);
    primeiroCampo = EDIT_NOME;
    // the groups first: the list shows their names
    Tb_Grupos->open();
    abreTambem(Tb_Grupos);
    inicia(Tb_Usuario);
}

void FrmCadUsuario::novosValores()
{
    Tb_Usuario->setValue(u"MASTER"_s, u"N"_s);
}

} // namespace acesso
