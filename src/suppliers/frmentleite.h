#pragma once

#include "app/janela.h"
#include "db/decimal.h"

#include <QDate>

#include <optional>

class QAction;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace app {
class CampoEscolha;
class EditData;
class EditDecimal;
class GradeDados;
} // namespace app

namespace db {
class Dataset;
}

namespace fornecedores {

// The milk each supplier delivers, day by day, good ("Bom") and acid
// ("Acido") milk in separate rows. Every saved, altered or deleted delivery
// moves the stock of milk (product 1) in the same transaction.
class FrmEntLeite : public app::Janela
{
    Q_OBJECT

public:
    enum class Modo { Navegando, Inserindo, Alterando };

    explicit FrmEntLeite(QWidget *pai = nullptr);

    // --- datasets -----------------------------------------------------------
    db::Dataset *Tb_Fornecedor = nullptr; // the active suppliers, by name
    db::Dataset *Q_Entradas = nullptr;    // the milk deliveries of the current date

    // --- components ---------------------------------------------------------
    QWidget *Painel_Data = nullptr;
    app::EditData *Edit_Data = nullptr;
    QWidget *Painel_Entrada = nullptr;
    QGroupBox *RG_Leite = nullptr;
    QRadioButton *RB_Acido = nullptr;
    QRadioButton *RB_Bom = nullptr;
    app::CampoEscolha *LKP_Fornecedor = nullptr;
    QLabel *lb_NomeFornecedor = nullptr;
    app::EditDecimal *Edit_Quantidade = nullptr;
    QPushButton *Gravar = nullptr;
    app::GradeDados *Grid_Entradas = nullptr;
    QAction *Apagar_Entrada = nullptr;
    QLabel *lb_TotalBom = nullptr;
    QLabel *lb_TotalAcido = nullptr;
    QWidget *Navegador = nullptr;
    QPushButton *Entrada = nullptr;
    QPushButton *Alterar = nullptr;
    QPushButton *Deletar = nullptr;
    QPushButton *Cancelar = nullptr;
    QPushButton *Primeiro = nullptr;
    QPushButton *Anterior = nullptr;
    QPushButton *Proximo = nullptr;
    QPushButton *Ultimo = nullptr;
    QPushButton *Sair = nullptr;

    Modo modo() const { return m_modo; }
    QDate dataAtual() const { return m_data; }

    // --- actions ------------------------------------------------------------
    void EntradaClick();
    void AlterarClick();
    void DeletarClick();
    void GravarClick();
    void CancelarClick();
    void SairClick();

    bool FormKeyDown(QKeyEvent *evento) override;

    // Litres as the totals show them: "150,5 LITROS".
    static QString textoLitros(const db::Decimal &litros);
    // The messages of the window.
    static QString textoCampos();
    static QString textoDuplicada();
    static QString textoPaga();

protected:
    bool FormClose() override;
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    // Reads the deliveries of the date, which becomes the current one.
    void abreDia(const QDate &dia);
    void calculaTotais();
    // The current row of the list in the entry fields (while browsing).
    void mostraLinha();
    void limpaCampos();
    // Panel, list and buttons after the mode; foco takes the focus when
    // the panel opens.
    void ajustaBotoes(QWidget *foco = nullptr);
    void DataAlterada();
    // A date typed but not yet taken becomes the current date.
    void assumeDataDigitada();
    // The typed quantity; empty when blank, an error when not a number.
    std::optional<db::Decimal> quantidade() const;
    void QuantidadeExit();
    // Another row of the supplier on the date already holds this kind.
    bool existeDuplicada(int cdFornecedor, const QDate &dia, bool bom, int excetoChave) const;
    bool linhaPaga() const;

    Modo m_modo = Modo::Navegando;
    QDate m_data;
    int m_chave = 0;               // the row that browsing showed last
    db::Decimal m_quantAntiga{0, 2}; // and its quantity
};

} // namespace fornecedores
