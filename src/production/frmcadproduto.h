#pragma once

#include "app/formcadastro.h"

class QComboBox;

namespace app {
class ComboLookup;
class EditDecimal;
class EditTexto;
} // namespace app

namespace db {
class Connection;
class Dataset;
} // namespace db

namespace producao {

// The product catalogue: milk, cream, inputs of production, the goods the
// dairy makes and the goods it buys, each of one product type. The stock
// and the returned quantity are shown but never written here: the movement
// windows and the server keep them.
class FrmCadProduto : public app::FormCadastro
{
    Q_OBJECT

public:
    explicit FrmCadProduto(QWidget *pai = nullptr);

    db::Dataset *Tb_Produto = nullptr;
    db::Dataset *Tb_Tipo = nullptr; // the types offered by the pick list
    app::EditTexto *EDIT_CODIGO = nullptr;
    app::EditTexto *EDIT_NOME = nullptr;
    app::EditTexto *EDIT_UNIDADE = nullptr;
    app::EditDecimal *EDIT_PESO = nullptr;
    app::ComboLookup *LKP_TIPO = nullptr;
    app::EditDecimal *EDIT_PRECO = nullptr;
    QComboBox *CB_CATEGORIA = nullptr;
    app::EditDecimal *EDIT_ESTOQUE = nullptr;

    void DeletarClick() override;
    bool FormKeyDown(QKeyEvent *evento) override;

    // The product every milk delivery is recorded under.
    static constexpr int kLeite = 1;

    // Why the product cannot be deleted because something uses it (a
    // delivery or purchase, a sale line, a production line or produced
    // item, a return, a customer's special price); empty when nothing does.
    static QString usoDoProduto(db::Connection &conexao, int cdProduto);

protected:
    void novosValores() override;
    bool validaGravacao() override;
    bool eventFilter(QObject *objeto, QEvent *evento) override;
};

} // namespace producao
