#pragma once

#include "app/formcadastro.h"

class QComboBox;

namespace app {
class EditTexto;
}

namespace db {
class Dataset;
}

namespace caixa {

// The payment methods offered in sales and receipts.
class frmCadFormaPgto : public app::FormCadastro
{
    Q_OBJECT

public:
    explicit frmCadFormaPgto(QWidget *pai = nullptr);

    db::Dataset *Tb_FORMAPAGAMENTO = nullptr;
    app::EditTexto *EDIT_CODIGO = nullptr;
    app::EditTexto *EDIT_TIPO = nullptr;
    QComboBox *CB_LANCAMENTO = nullptr;

    // The kinds of payment, as the list offers them.
    static const QStringList &itensLancamento();
};

} // namespace caixa
