#pragma once

#include "app/camposdb.h"
#include "app/janela.h"

#include <QList>
#include <QString>

class QGridLayout;
class QLabel;
class QPushButton;
class QTabWidget;

namespace db {
class Dataset;
}

namespace app {

// The standard maintenance window of every registry: the list of rows on
// "Consulta", the fields of the current row on "Cadastro", the small and the
// ten-button bars, F4 insert, F5 alter, F6 delete, F7 record, F8 cancel,
// Enter to the next field, and the same messages everywhere. A registry
// window builds its fields into Painel_Dados, names its main dataset, sets
// its options and overrides only the steps where it differs.
class FormCadastro : public Janela
{
    Q_OBJECT

public:
    explicit FormCadastro(QWidget *pai = nullptr);
    ~FormCadastro() override;

    // --- components ---------------------------------------------------------
    QTabWidget *PageControl = nullptr;
    QWidget *TabSheet_Consulta = nullptr;
    QWidget *TabSheet_Manutencao = nullptr;
    QWidget *Painel_Consulta1 = nullptr;
    QWidget *DBNavigator_Triagem = nullptr;
    QPushButton *Adicionar = nullptr;
    QPushButton *Abandonar = nullptr;
    EditTexto *Edit_consulta = nullptr; // only when the window searches
    QLabel *Label_consulta = nullptr;
    GradeDados *Grid_Consulta = nullptr;
    QWidget *Painel_Dados = nullptr;
    QWidget *wwDBNavigator1 = nullptr;
    QPushButton *Inserir = nullptr;
    QPushButton *Alterar = nullptr;
    QPushButton *Deletar = nullptr;
    QPushButton *Gravar = nullptr;
    QPushButton *Cancelar = nullptr;
    QPushButton *Primeiro = nullptr;
    QPushButton *Anterior = nullptr;
    QPushButton *Proximo = nullptr;
    QPushButton *Ultimo = nullptr;
    QPushButton *Sair = nullptr;

    db::Dataset *tabela() const { return m_tabela; }
    // Inserting or altering a row of the main dataset.
    bool editando() const;

    // --- actions ------------------------------------------------------------
    virtual void AdicionarClick();
    virtual void AlterarClick();
    virtual void DeletarClick();
    virtual void GravarClick();
    virtual void CancelarClick();
    void SairClick();
    // Double-click on the list: "Cadastro" and alter.
    virtual void GridDblClick();
    // Asked before leaving a tab; false keeps it.
    virtual bool PageControlChanging(int deAba, int paraAba);

    bool FormKeyDown(QKeyEvent *evento) override;

    // The fixed texts of the form.
    static QString perguntaCancelamento();

protected:
    struct Opcoes
    {
        QString sqlMaximo;    // "select max(cd_CONTA) as MAXID from CONTA"
        QString campoMaximo = QStringLiteral("MAXID");
        QString campoChave;   // filled with the maximum + 1 on insert
        QString vazioAlterar = QStringLiteral("Banco de dados vazio!");
        QString vazioDeletar = QStringLiteral("O Banco de Dados está vazio !!!");
        QString perguntaDeletar = QStringLiteral("Deseja realmente deletar o registro ???");
        // asked before the owner's checks (the accounts ask first)
        bool perguntaAntesDasVerificacoes = false;
        QString textoObrigatorios; // between the parentheses of the notice
        bool f5DuploClique = false;
        bool f6 = true;
        bool guardaAbas = true;
        QString campoBusca;   // the search box locates on this column
        QString rotuloBusca = QStringLiteral("Consultar por Nome");
        // Only the "Cadastro" tab: no list, no small bar, no search box
        // (those pointers are null once inicia() ran).
        bool semConsulta = false;
        // The main dataset belongs to another window (the main window's
        // company): opened only if closed, left open when this one closes.
        bool tabelaEmprestada = false;
    } opcoes;

    // Called at the end of the window's constructor: builds what the options
    // ask for and runs FormCreate.
    void inicia(db::Dataset *tabela);
    // Datasets opened with the main one (lookups) and closed with it.
    void abreTambem(db::Dataset *ds) { m_outros.append(ds); }
    // Required fields, in order: their text must not be empty.
    void obrigatorio(QWidget *campo) { m_obrigatorios.append(campo); }
    // The field that takes the focus on insert and alter.
    QWidget *primeiroCampo = nullptr;

    // Label and field on the next line of the data panel.
    void adicionaCampo(const QString &rotulo, QWidget *campo, int largura = 0);
    // A new input widget on the next line of the data panel, named and tied
    // to a column of the dataset.
    template <class W = EditTexto>
    W *campo(db::Dataset *ds, const QString &nome, const QString &rotulo, const QString &coluna, int largura = 0)
    {
        auto *w = new W(Painel_Dados);
        w->setObjectName(nome);
        adicionaCampo(rotulo, w, largura);
        liga(w, ds, coluna);
        return w;
    }
    // The key column: shown, never edited.
    EditTexto *campoCodigo(db::Dataset *ds, const QString &coluna, const QString &rotulo = QStringLiteral("CÓDIGO"),
                           const QString &nome = QStringLiteral("EDIT_CODIGO"));
    QGridLayout *layoutDados() const { return m_layoutDados; }

    // --- steps a window may change -----------------------------------------
    virtual void FormCreate();
    // Defaults of a new row, after its key.
    virtual void novosValores() {}
    // The owner's checks before deleting; each refusal shows its message
    // and returns false.
    virtual bool verificaExclusao() { return true; }
    // Checks after the required fields, before posting.
    virtual bool validaGravacao() { return true; }
    // Writes the pending changes (the shared apply routine); false when the
    // database refused.
    virtual bool aplica();
    virtual void depoisDeGravar() {}
    bool FormClose() override;

    // Buttons as while editing or while browsing.
    void botoesEdicao(bool editando);
    // The movement buttons after the current row.
    void botoesMovimento();
    void mostraAba(QWidget *aba);
    // The key of a new row: the maximum read afresh plus 1.
    virtual int proximaChave();

private:
    db::Dataset *m_tabela = nullptr;
    QList<db::Dataset *> m_outros;
    QList<QWidget *> m_obrigatorios;
    QGridLayout *m_layoutDados = nullptr;
    int m_linhaDados = 0;
    int m_abaAtual = 0;
    bool m_trocandoAba = false;
};

} // namespace app
