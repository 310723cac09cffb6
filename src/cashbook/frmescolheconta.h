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

namespace caixa {

// The account chooser of the cash book's entry lists: the account of the
// entry being typed is picked from the cash book's own account list. It
// frees itself when it closes, so it is always created with new.
class FrmEscolheConta : public app::Dialogo
{
    Q_OBJECT

public:
    // contas: the cash book's accounts; lancamento: the entry list that
    // opened the chooser (its current entry is the one being typed).
    FrmEscolheConta(db::Dataset *contas, db::Dataset *lancamento, QWidget *pai = nullptr);

    QLabel *Label_Titulo = nullptr;
    app::EditTexto *EDIT_BUSCA = nullptr;
    app::GradeDados *Grid_Contas = nullptr;
    QPushButton *Bt_OK = nullptr;
    QPushButton *Bt_Remover = nullptr;
    QPushButton *Bt_Sair = nullptr;

    void EDIT_BUSCAChange();
    void Bt_OKClick();
    void Bt_RemoverClick();
    void Bt_SairClick();

private:
    db::Dataset *m_contas;
    db::Dataset *m_lancamento;
};

} // namespace caixa
