#pragma once

#include <QMainWindow>

#include <memory>

class QCheckBox;
class QLabel;
class QMdiArea;
class QMenu;

namespace db {
class Connection;
class Dataset;
} // namespace db

namespace app {

// The frame of the whole application: a multiple-document window whose
// menu opens every task window as a child. It owns the one database
// connection, the company dataset the reports read, the configuration query
// and the date of the open sales cash day.
class FrmPrincipal : public QMainWindow
{
    Q_OBJECT

public:
    // Connects to the database named in Corvena.INI and opens what the
    // other windows borrow; throws db::Error when the database cannot be
    // opened.
    explicit FrmPrincipal(QWidget *pai = nullptr);
    ~FrmPrincipal() override;

    // 0: a user was admitted (or none is needed); 1: login pending or failed.
    int Tag = 0;
    // The fixed access-control switch: ticked, invisible, disabled.
    QCheckBox *CB_Acesso = nullptr;

    db::Connection *DB_Corvena = nullptr;
    db::Dataset *tb_empresa = nullptr;     // the whole EMPRESA table, open for the run
    db::Dataset *q_configuracao = nullptr; // select * from configuracao
    db::Dataset *Q_MAXDATA = nullptr;      // the open sales cash day

    QMdiArea *areaJanelas() const { return m_area; }

    // The required-fields notice: "Peencha os campos! (" + texto + ")".
    void AvisaCampos(const QString &texto);

    // The menu items in walking order (level 1, the level-2 items inside
    // each, the level-3 items inside those), separators included.
    struct Item
    {
        QAction *acao;
        QString nome;
        QString legenda;
        int nivel;
    };
    QVector<Item> percorreMenu(bool comSeparadores = false) const;
    QAction *itemMenu(const QString &nome) const;

    // The company's legal name for report headings.
    QString razaoSocial() const;

    // Runs the item's action (what its click handler does).
    void abreItem(const QString &nome);

    // The database to open, read afresh from Corvena.INI before every
    // connect.
    static QString DB_CorvenaBeforeConnect();

public Q_SLOTS:
    void Cadastros_de_GruposClick();
    void Cadastro_de_UsuariosClick();
    void Configuracao_de_Acesso_UsuarioClick();
    void Cadastro_de_EmpresaClick();
    void Cadastro_de_ClientesClick();
    void Cadastro_Descontos_ClientesClick();
    void Manutencao_de_ClientesClick();
    void Cadastros_de_FornecedoresClick();
    void Lancar_Haver_FornecedoresClick();
    void Pagar_FornecedoresClick();
    void Alteracao_preco_Leite_e_DebitoClick();
    void Alteracao_preco_fornecedorClick();
    void Compra_de_ProdutosClick();
    void Cadastro_de_ProdutosClick();
    void Cadastro_Tipo_ProdutoClick();
    void Preco_de_LeiteClick();
    void Entrada_de_LeiteClick();
    void Saida_para_ProducaoClick();
    void Alteracao_de_estoqueClick();
    void Entrada_de_CremeClick();
    void Embalamento_de_ManteigaClick();
    void Movimento_CaixaClick();
    void Cadastro_de_ContaClick();
    void Abrir_Encerrar_CaixaClick();
    void Vendas_Click();
    void Manutencao_de_VendasClick();
    void DevolucaoClick();
    void RecebimentosClick();
    void Lancar_ChequeClick();
    void Alteracao_e_baixa_de_chequesClick();
    void Cadastro_Tipo_Baixa_ChequeClick();
    void Cadastro_de_Forma_de_PagamentoClick();
    void Relatorio_DespesasClick();
    void Relatorio_PagamentosClick();
    void Relatorio_ChequesClick();
    void Relatorio_ClientesClick();
    void Relatorio_Vendas_por_TipoClick();
    void Relatorio_ProdutosClick();
    void Relatorio_Sadia_ProducaoClick();
    void Relatorio_Entrada_LeiteClick();
    void Relatorio_Entrada_CremeClick();
    void Relatorio_DevolucaoClick();
    void Relatorio_EstoqueClick();
    void Relatorio_Compra_ProdutosClick();
    void Equipe_Click();
    void SobreClick();
    void SairClick();

protected:
    void closeEvent(QCloseEvent *evento) override;

private:
    void FormCreate();
    void montaMenu();
    void montaBarraDeStatus();

    std::unique_ptr<db::Connection> m_conexao;
    QMdiArea *m_area = nullptr;
};

// The main window while it exists.
FrmPrincipal *principal();

} // namespace app
