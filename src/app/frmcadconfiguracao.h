#pragma once

#include "app/janela.h"

class QPushButton;

namespace db {
class Dataset;
}

namespace app {

class CampoEscolha;
class EditDecimal;

// The general configuration: the milk purchase prices and the codes of the
// cream product, the bulk-butter product and the butter production type.
// Its single row is being edited from the moment the window opens until
// "Salvar" or "Cancelar".
class FrmCadconfiguracao : public Janela
{
    Q_OBJECT

public:
    explicit FrmCadconfiguracao(QWidget *pai = nullptr);

    db::Dataset *TB_CONFIGURACAO = nullptr;
    db::Dataset *TB_PRODUTO = nullptr;
    db::Dataset *TB_TIPO = nullptr;

    EditDecimal *EDIT_PRECO_LEITE = nullptr;     // "LEITE BOM"
    EditDecimal *EDIT_PRECOLEITEACIDO = nullptr; // "LEITE ACIDO"
    CampoEscolha *LKP_CDMANTEIGAGR = nullptr;
    CampoEscolha *LKP_CDCREME = nullptr;
    CampoEscolha *LKP_CDTIPOMANT = nullptr;
    QPushButton *Bt_Salvar = nullptr;
    QPushButton *Bt_Cancelar = nullptr;

    void Bt_SalvarClick();
    void Bt_CancelarClick();

protected:
    void FormCreate();
    bool FormClose() override;
};

} // namespace app
