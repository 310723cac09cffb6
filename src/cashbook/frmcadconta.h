#pragma once

#include "app/formcadastro.h"

namespace app {
class CaixaSN;
class EditTexto;
} // namespace app

namespace db {
class Dataset;
}

namespace caixa {

// The accounts of the general cash book.
class FrmCadConta : public app::FormCadastro
{
    Q_OBJECT

public:
    explicit FrmCadConta(QWidget *pai = nullptr);

    db::Dataset *Tb_conta = nullptr;
    app::EditTexto *EDIT_CODIGO = nullptr;
    app::EditTexto *EDIT_NUMCONTA = nullptr;
    app::EditTexto *EDIT_DESCRICAO = nullptr;
    app::CaixaSN *CB_SAIREL = nullptr;

    bool FormKeyDown(QKeyEvent *evento) override;

    // Accounts that other parts of the system post into by themselves.
    static bool contaAutomatica(int cdConta);

protected:
    void novosValores() override;
    bool verificaExclusao() override;
};

} // namespace caixa
