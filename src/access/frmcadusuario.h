#pragma once

#include "app/formcadastro.h"

class QGroupBox;

namespace app {
class CaixaSN;
class ComboLookup;
class EditTexto;
} // namespace app

namespace db {
class Dataset;
}

namespace acesso {

// The users who may log in: name, group, login, password and master flag.
class FrmCadUsuario : public app::FormCadastro
{
    Q_OBJECT

public:
    explicit FrmCadUsuario(QWidget *pai = nullptr);

    db::Dataset *Tb_Usuario = nullptr;
    db::Dataset *Tb_Grupos = nullptr;
    app::EditTexto *EDIT_CODIGO = nullptr;
    app::EditTexto *EDIT_NOME = nullptr;
    QGroupBox *GroupBox_Acesso = nullptr;
    app::ComboLookup *LKP_GRUPO = nullptr;
    app::EditTexto *EDIT_LOGIN = nullptr;
    app::EditTexto *EDIT_SENHA = nullptr;
    app::CaixaSN *CB_MASTER = nullptr;

protected:
    void novosValores() override;
};

} // namespace acesso
