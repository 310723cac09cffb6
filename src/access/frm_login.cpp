#include "access/frm_login.h"

#include "app/campos.h"
#include "app/frmprincipal.h"
#include "app/globais.h"
#include "app/mensagens.h"
#include "db/dataset.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace acesso {

Frm_Login::Frm_Login(app::FrmPrincipal &principal) : app::Dialogo(&principal), m_principal(principal)
{
    setObjectName(u"Frm_Login"_s);
    setWindowTitle(u"Controle de Acesso"_s);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    setModal(true);

    auto *g = new QGridLayout(this);
    auto *titulo = new QLabel(u"Zuzoro da Revuzovod"_s, this);
    QFont f = titulo->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    titulo->setFont(f);
    titulo->setAlignment(Qt::AlignCenter);
    g->addWidget(titulo, 0, 0, 1, 3);
    g->addWidget(new QLabel(u"Login"_s, this), 1, 0);
    E_Usuario = new app::EditTexto(this);
    E_Usuario->setObjectName(u"E_Usuario"_s);
    E_Usuario->setMaxLength(10);
    g->addWidget(E_Usuario, 1, 1);
    g->addWidget(new QLabel(u"Senha"_s, this), 2, 0);
    E_Senha = new app::EditTexto(this);
    E_Senha->setObjectName(u"E_Senha"_s);
    E_Senha->setEchoMode(QLineEdit::Password);
    E_Senha->setMaxLength(10);
    g->addWidget(E_Senha, 2, 1);
    Image3 = new QToolButton(this);
    Image3->setObjectName(u"Image3"_s);
    Image3->setText(u"OK"_s);
    Image3->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    Image3->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Image3->setFocusPolicy(Qt::NoFocus);
    g->addWidget(Image3, 1, 2, 2, 1);
    app::conecta(Image3, &QToolButton::clicked, this, [this] { Image3Click(); });

    T_Usuario = new db::Dataset(principal.DB_Corvena, u"SELECT * FROM USUARIO"_s, this);
    T_Acesso = new db::Dataset(principal.DB_Corvena, u"SELECT * FROM CONFIGACESSO WHERE CDGRUPO = :CDGRUPO"_s, this);
    T_Acesso->setMaster(T_Usuario, {{u"CDGRUPO"_s, u"CDGRUPO"_s}});
    FormCreate();
}

Frm_Login::~Frm_Login() = default;

void Frm_Login::FormCreate()
{
    m_tentou = false;
    T_Usuario->open();
    m_principal.Tag = 1;
}

bool Frm_Login::FormKeyDown(QKeyEvent *evento)
{
    if (evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter) {
        if (focusWidget() == E_Senha)
            Image3Click();
        else
            app::proximoCampo(this);
        return true;
    }
    return false;
}

void Frm_Login::Image3Click()
{
    m_tentou = true;
    if (!T_Usuario->locate(u"LOGIN"_s, E_Usuario->text())) {
        app::msg::informacao(u"Usuário não cadastrado !!!"_s, this);
        return;
    }
    if (T_Usuario->text(u"SENHA"_s) != E_Senha->text()) {
        app::msg::informacao(u"Senha Incorreta !!!"_s, this);
        return;
    }
    app::UsuarioMaster = T_Usuario->text(u"MASTER"_s);
    m_principal.Tag = 0;
    close();
}

bool Frm_Login::FormClose()
{
    if (m_fechado)
        return true;
    m_fechado = true;
    if (m_tentou && m_principal.Tag == 0)
        aplicaAcesso();
    T_Acesso->close();
    T_Usuario->close();
    return true;
}

void Frm_Login::aplicaAcesso()
{
    // T_Acesso follows the current user (the one found at the last try)
    if (!T_Acesso->isActive() || T_Acesso->isEmpty())
        return;
    const bool master = app::UsuarioMaster.trimmed() == u"S"_s;
    for (const auto &item : m_principal.percorreMenu()) {
        const QVariant visivel = T_Acesso->lookup(u"MENU"_s, item.nome, u"VISIVEL"_s);
        if (!visivel.isValid())
            continue; // no row: as designed
        if (item.acao)
            item.acao->setVisible(master || visivel.toString().trimmed() == u"S"_s);
    }
}

void executaLogin(app::FrmPrincipal &principal)
{
    Frm_Login login(principal);
    login.exec();
}

} // namespace acesso
