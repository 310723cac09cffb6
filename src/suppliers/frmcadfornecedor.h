#pragma once

#include "app/formcadastro.h"

class QGroupBox;

namespace app {
class CaixaSN;
class EditData;
class EditDecimal;
class EditMascara;
class EditTexto;
} // namespace app

namespace db {
class Dataset;
class Transaction;
} // namespace db

namespace fornecedores {

// The milk producers (and other suppliers) the dairy buys from and pays
// through the payment sheets. Only active suppliers are listed; a supplier
// with any history is deactivated instead of deleted.
class FrmCadFornecedor : public app::FormCadastro
{
    Q_OBJECT

public:
    explicit FrmCadFornecedor(QWidget *pai = nullptr);

    db::Dataset *Tb_Fornecedor = nullptr;

    app::EditTexto *EDIT_CODIGO = nullptr;
    app::EditTexto *EDIT_NOME = nullptr;
    app::EditTexto *EDIT_FAZENDA = nullptr;
    QGroupBox *GB_Dados = nullptr;
    app::EditMascara *EDIT_CPF = nullptr;
    app::EditTexto *EDIT_RG = nullptr;
    app::EditTexto *EDIT_ENDERECO = nullptr;
    app::EditTexto *EDIT_CIDADE = nullptr;
    app::EditMascara *EDIT_TELEFONE = nullptr;
    app::EditTexto *EDIT_CONTATO = nullptr;
    app::EditData *EDIT_DTCADASTRO = nullptr;
    app::CaixaSN *CB_ATIVO = nullptr;
    QGroupBox *GB_Bancarios = nullptr;
    app::EditTexto *EDIT_AG = nullptr;
    app::EditTexto *EDIT_CONTA = nullptr;
    QGroupBox *GB_Preco = nullptr;
    app::EditDecimal *EDIT_PRECO = nullptr;
    QGroupBox *GB_Debito = nullptr;
    app::EditDecimal *EDIT_TOTALDEBITO = nullptr;

    // Refused with a debit; a supplier with history is deactivated.
    void DeletarClick() override;
    bool FormKeyDown(QKeyEvent *evento) override;

    // Deliveries, purchases, vouchers or payment-sheet lines of the
    // supplier: a supplier with any of them is never deleted.
    static bool temHistorico(db::Transaction &tx, int cdFornecedor);

protected:
    void novosValores() override;
    bool validaGravacao() override;
    void depoisDeGravar() override;
    bool verificaExclusao() override;
};

} // namespace fornecedores
