#pragma once

#include "app/formcadastro.h"

namespace app {
class EditTexto;
}

namespace db {
class Dataset;
}

namespace producao {

// The product types (families of manufactured products): a production run
// is declared for a type, and the products of that type are what it yields.
class FrmCadTipo : public app::FormCadastro
{
    Q_OBJECT

public:
    explicit FrmCadTipo(QWidget *pai = nullptr);

    db::Dataset *Tb_Tipo = nullptr;
    app::EditTexto *EDIT_CODIGO = nullptr;
    app::EditTexto *EDIT_NOME = nullptr;

protected:
    bool verificaExclusao() override;
};

} // namespace producao
