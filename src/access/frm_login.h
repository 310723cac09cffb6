#pragma once

#include "app/janela.h"


class QLabel;
class QToolButton;

namespace db {
class Dataset;
}

namespace app {
class EditTexto;
class FrmPrincipal;
} // namespace app

namespace acesso {

// The login: a user of USUARIO identifies himself; when admitted, the
// menu is cut down to what his group may see.
class Frm_Login : public app::Dialogo
{
    Q_OBJECT

public:
    explicit Frm_Login(app::FrmPrincipal &principal);
    ~Frm_Login() override;

    app::EditTexto *E_Usuario = nullptr;
    app::EditTexto *E_Senha = nullptr;
    QToolButton *Image3 = nullptr;
    db::Dataset *T_Usuario = nullptr;
    db::Dataset *T_Acesso = nullptr;

    bool FormKeyDown(QKeyEvent *evento) override;

    // Whether a confirmation was tried since the window opened.
    bool tentou() const { return m_tentou; }

public Q_SLOTS:
    void Image3Click();

protected:
    bool FormClose() override;

private:
    void FormCreate();
    bool localizaUsuario(const QString &login);
    void aplicaAcesso();

    app::FrmPrincipal &m_principal;
    bool m_tentou = false;
    bool m_fechado = false;
};

// Shows the login modally; the main window's Tag tells the outcome.
void executaLogin(app::FrmPrincipal &principal);

} // namespace acesso
