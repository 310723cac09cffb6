#include "access/frm_login.h"

#include "app/campos.h"
#include "app/frmprincipal.h"
#include "app/globais.h"
#include "app/mensagens.h"
#include "db/dataset.h"

#include <QAction>
#include <QGridLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace acesso {

namespace {

// The menu cut down to what a group may see: items with a row (MENU ->
// VISIVEL) are shown when VISIVEL is "S", or always for a master user;
// items without a row keep their visibility. Hiding an item that opens a
// submenu hides the submenu with it.
void aplicaVisibilidade(app::FrmPrincipal &principal, const QHash<QString, QString> &acessos, bool master)
{
    // percorreMenu leaves the separators out: they are never looked up
    for (const app::FrmPrincipal::Item &item : principal.percorreMenu()) {
        const auto linha = acessos.constFind(item.nome);
        if (linha == acessos.constEnd() || !item.acao)
            continue; // no row: as designed
        item.acao->setVisible(master || linha.value() == u"S"_s);
    }
}

} // namespace

Frm_Login::Frm_Login(app::FrmPrincipal &principal) : app::Dialogo(&principal), m_principal(principal)
{
    setObjectName(u"Frm_Login"_s);
    setWindowTitle(u"Controle de Acesso"_s);
    // a small tool window with only a close box
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);

    auto *g = new QGridLayout(this);
    auto *titulo = new QLabel(u"Zuzoro da Revuzovod"_s, this);
    QFont f = titulo->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    titulo->setFont(f);
    titulo->setAlignment(Qt::AlignCenter);
    g->addWidget(titulo, 0, 0, 1, 4);
    auto *figura = new QLabel(this);
    figura->setObjectName(u"Image1"_s);
    figura->setPixmap(style()->standardIcon(QStyle::SP_DriveHDIcon).pixmap(48, 48));
    g->addWidget(figura, 1, 0, 2, 1);
    g->addWidget(new QLabel(u"Login"_s, this), 1, 1);
    E_Usuario = new app::EditTexto(this);
    E_Usuario->setObjectName(u"E_Usuario"_s);
    E_Usuario->setMaxLength(10);
    g->addWidget(E_Usuario, 1, 2);
    g->addWidget(new QLabel(u"Senha"_s, this), 2, 1);
    E_Senha = new app::EditTexto(this);
    E_Senha->setObjectName(u"E_Senha"_s);
    E_Senha->setEchoMode(QLineEdit::Password);
    E_Senha->setStyleSheet(u"lineedit-password-character: 42"_s); // "*" for each character
    E_Senha->setMaxLength(10);
    g->addWidget(E_Senha, 2, 2);
    Image3 = new QToolButton(this);
    Image3->setObjectName(u"Image3"_s);
    Image3->setText(u"OK"_s);
    Image3->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    Image3->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Image3->setAutoRaise(true);
    Image3->setFocusPolicy(Qt::NoFocus);
    g->addWidget(Image3, 1, 3, 2, 1);
    app::conecta(Image3, &QToolButton::clicked, this, [this] { Image3Click(); });

    T_Usuario = new db::Dataset(principal.DB_Corvena, u"SELECT * FROM USUARIO"_s, this);
    T_Usuario->setObjectName(u"T_Usuario"_s);
    // the access rows of the current user's group
    T_Acesso = new db::Dataset(principal.DB_Corvena, u"SELECT * FROM CONFIGACESSO WHERE CDGRUPO = :CDGRUPO"_s, this);
    T_Acesso->setObjectName(u"T_Acesso"_s);
    T_Acesso->setMaster(T_Usuario, {{u"CDGRUPO"_s, u"CDGRUPO"_s}});
    FormCreate();
}

Frm_Login::~Frm_Login() = default;

void Frm_Login::FormCreate()
{
    m_tentou = false;
    T_Usuario->open();
    m_principal.Tag = 1;
    E_Usuario->setFocus();
}

bool Frm_Login::FormKeyDown(QKeyEvent *evento)
{
    if (evento->key() != Qt::Key_Return && evento->key() != Qt::Key_Enter)
        return false;
    // Enter moves on; in the password box it also confirms
    const bool naSenha = focusWidget() == E_Senha;
    app::proximoCampo(this);
    if (naSenha)
        Image3Click();
    return true;
}

bool Frm_Login::localizaUsuario(const QString &login)
{
    // the login exactly as typed; a row without a login is nobody's
    for (int i = 0; i < T_Usuario->recordCount(); ++i) {
        const QVariant v = T_Usuario->value(i, u"LOGIN"_s);
        if (v.isValid() && !v.isNull() && v.toString() == login) {
            T_Usuario->setRecNo(i);
            return true;
        }
    }
    return false;
}

void Frm_Login::Image3Click()
{
    if (m_fechado)
        return;
    m_tentou = true;
    if (!localizaUsuario(E_Usuario->text())) {
        app::msg::informacao(u"Usuário não cadastrado !!!"_s, this);
        return;
    }
    // a user without a password cannot be entered with an empty box
    const QVariant senha = T_Usuario->value(u"SENHA"_s);
    if (!senha.isValid() || senha.isNull() || senha.toString() != E_Senha->text()) {
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
    if (m_tentou && !T_Acesso->isActive() && T_Usuario->isActive())
        T_Acesso->open();
    if (m_principal.Tag == 0 && T_Acesso->isActive() && !T_Acesso->isEmpty())
        aplicaAcesso();
    T_Usuario->close();
    T_Acesso->close();
    return true;
}

void Frm_Login::aplicaAcesso()
{
    QHash<QString, QString> acessos;
    for (int i = 0; i < T_Acesso->recordCount(); ++i) {
        const QVariant menu = T_Acesso->value(i, u"MENU"_s);
        if (menu.isValid() && !menu.isNull())
            acessos.insert(menu.toString(), T_Acesso->value(i, u"VISIVEL"_s).toString());
    }
    aplicaVisibilidade(m_principal, acessos, T_Usuario->text(u"MASTER"_s) == u"S"_s);
}

void executaLogin(app::FrmPrincipal &principal)
{
    Frm_Login login(principal);
    login.exec();
}

} // namespace acesso
