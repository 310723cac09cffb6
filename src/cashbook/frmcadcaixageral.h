#pragma once

#include "app/janela.h"

#include <QDate>
#include <QMetaObject>

class QAction;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace app {
class EditData;
class GradeDados;
} // namespace app

namespace db {
class Dataset;
}

namespace caixa {

// The general cash book, one day at a time: the day's credits and debits
// typed into two lists, their totals, and the recent days with their
// balances. Every entry is written as soon as its row is recorded; the
// database keeps the days' totals and balances (SALDOCAIXA), which the
// window reads back after each write.
class FrmCadCaixaGeral : public app::Janela
{
    Q_OBJECT

public:
    explicit FrmCadCaixaGeral(QWidget *pai = nullptr);
    ~FrmCadCaixaGeral() override;

    // --- datasets -----------------------------------------------------------
    db::Dataset *Tb_credito = nullptr;     // the day's credits
    db::Dataset *Tb_debito = nullptr;      // the day's debits
    db::Dataset *Tb_conta = nullptr;       // the accounts
    db::Dataset *Tb_saldocaixa = nullptr;  // the recent days

    // --- components ---------------------------------------------------------
    QTabWidget *PageControl = nullptr;
    QWidget *TabSheet_Manutencao = nullptr; // "Manutenção de Caixa"
    QWidget *TabSheet_Saldo = nullptr;      // "Saldo do Caixa"
    app::EditData *EDIT_DATACAIXA = nullptr;
    QLabel *lb_titulo = nullptr;
    QPushButton *bt_localizar = nullptr;
    QPushButton *Imprimir = nullptr;
    QPushButton *bt_sair = nullptr;
    QGroupBox *Painel_Credito = nullptr;
    QGroupBox *Painel_Debito = nullptr;
    app::GradeDados *Grid_Credito = nullptr;
    app::GradeDados *Grid_Debito = nullptr;
    QLabel *lb_totcredito = nullptr;
    QLabel *lb_totdebito = nullptr;
    QAction *Deletar_Credito = nullptr;    // "Deletar Este Registro" of each list
    QAction *Deletar_Debito = nullptr;
    app::GradeDados *Grid_Saldo = nullptr;

    // The day the entry lists show (new entries are stored on it).
    QDate dia() const { return m_dia; }
    // Shows another day, as a double-click on the recent days does.
    void mostraDia(const QDate &dia);

    // --- handlers -----------------------------------------------------------
    void LocalizarClick();
    void ImprimirClick();
    void SairClick();
    void Deletar_CreditoClick();
    void Deletar_DebitoClick();
    void Grid_SaldoDblClick();
    bool PageControlChanging(int deAba, int paraAba);
    bool FormKeyDown(QKeyEvent *evento) override;

protected:
    bool FormClose() override;
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    app::GradeDados *gradeDe(db::Dataset *lista) const;
    // The day's lists, totals, title and panels.
    void abreDia(const QDate &dia);
    void mostraTotais();
    // The recent days read again, on the day shown.
    void atualizaDias();
    // A row started by the window and not touched since.
    bool linhaEmBranco(db::Dataset *lista) const;
    // Records the row being typed: a row without value is dropped (a new
    // one) or withdrawn (an entry already stored), any other is posted,
    // written and read back with the day's figures.
    void grava(db::Dataset *lista);
    void depoisDeGravar(db::Dataset *lista);
    // Ends the row being typed before the cursor leaves it.
    void concluiLinha(db::Dataset *lista);
    // A new entry at the top of the list, cursor on "CONTA".
    void novoLancamento(db::Dataset *lista);
    void fimDoLancamento(db::Dataset *lista);
    void escolheConta(db::Dataset *lista);
    bool teclaNaLista(app::GradeDados *grade, db::Dataset *lista, QKeyEvent *evento);
    // Leaving a list while its row is being typed: " Salva Ultimas
    // Alterações ?"
    void perguntaSalvar(db::Dataset *lista);
    void saiuDaLista(app::GradeDados *grade);
    // Leaving the entries (tab, closing): "Os dados estão sendo alterados
    // ..."; false keeps them.
    bool perguntaCancelar();
    void apaga(db::Dataset *lista, const QString &vazio);
    void mostraAba(QWidget *aba);

    QDate m_dia;
    QDate m_desde;                 // the recent days start here
    db::Dataset *m_gravando = nullptr;
    bool m_localizando = false;
    bool m_fechando = false;
    bool m_trocandoAba = false;
    int m_aba = 0;
    QMetaObject::Connection m_foco;
};

} // namespace caixa
