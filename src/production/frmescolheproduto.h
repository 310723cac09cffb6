#pragma once

#include "app/janela.h"

class QLabel;
class QPushButton;

namespace app {
class EditTexto;
class GradeDados;
} // namespace app

namespace db {
class Dataset;
}

namespace producao {

// The modal product chooser of production and butter packaging: the
// products of one type, optionally narrowed by a filter over their codes.
// The chosen code is left in app::ProdutoEscolhido (0 = nothing chosen).
// The dialog lives for one use only and frees itself when it closes.
//
// Calling order:
//     const int produto = producao::FrmEscolheProduto::escolhe(tipo, u"cd_produto <> 3"_s);
//     if (produto > 0) ...   // the same value as app::ProdutoEscolhido
class FrmEscolheProduto : public app::Dialogo
{
    Q_OBJECT

public:
    explicit FrmEscolheProduto(QWidget *pai = nullptr);
    ~FrmEscolheProduto() override;

    // Creates the dialog if it does not exist, lists the products of the
    // type (through the parameter PCD_TIPO_FABRICADOS), applies the filter
    // when one is given ("cd_produto <> 3 and cd_produto <> 2"), shows the
    // dialog modally and returns app::ProdutoEscolhido.
    static int escolhe(int cdTipo, const QString &filtro = {}, QWidget *pai = nullptr);

    // The steps before showing: the list reopened for the type, then the
    // filter (none when empty).
    void prepara(int cdTipo, const QString &filtro = {});

    db::Dataset *Q_Produto = nullptr;
    QLabel *Label_Titulo = nullptr;
    app::EditTexto *Edit_Busca = nullptr;
    app::GradeDados *Grid_Produto = nullptr;
    QPushButton *Bt_OK = nullptr;
    QPushButton *Bt_Sair = nullptr;

    void OKClick();
    void SairClick();
    bool FormKeyDown(QKeyEvent *evento) override;

protected:
    void showEvent(QShowEvent *evento) override;
    void reject() override;
    void done(int resultado) override;
};

} // namespace producao
