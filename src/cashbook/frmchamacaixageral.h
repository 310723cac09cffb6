#pragma once

#include "app/janela.h"

class QAction;
class QLabel;
class QPushButton;

namespace app {
class EditData;
class GradeDados;
} // namespace app

namespace db {
class Dataset;
}

namespace caixa {

// The way into the general cash book (menu "Movimento Caixa"): the days of
// the last 40 days with their totals, to alter one of them, or a date for a
// new day.
class FrmChamacaixaGeral : public app::Janela
{
    Q_OBJECT

public:
    explicit FrmChamacaixaGeral(QWidget *pai = nullptr);

    db::Dataset *Tb_saldocaixa = nullptr;
    QLabel *Label_Titulo = nullptr;
    app::GradeDados *Grid_Caixas = nullptr;
    app::EditData *EDIT_DATA = nullptr;       // "Data Novo Caixa"
    QPushButton *bt_criar = nullptr;          // "Criar Novo Caixa"
    QAction *Alterar_Este_Caixa = nullptr;    // the list's context menu

    void bt_criarClick();
    void Alterar_Este_CaixaClick();

protected:
    void showEvent(QShowEvent *evento) override;

private:
    // Hands the day to the cash book (created on first use) and closes.
    void abreCaixa(const QDate &dia);
    bool m_centrada = false;
};

} // namespace caixa
