#include "app/formcadastro.h"

#include "app/camposdb.h"
#include "app/frmprincipal.h"
#include "app/mensagens.h"
#include "app/rotinas.h"
#include "db/dataset.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace app {

namespace {

QPushButton *botao(QWidget *pai, QHBoxLayout *barra, const QString &nome, const QString &legenda,
                   const QString &dica)
{
    auto *b = new QPushButton(legenda, pai);
    b->setObjectName(nome);
    b->setToolTip(dica);
    b->setFocusPolicy(Qt::NoFocus);
    barra->addWidget(b);
    return b;
}

} // namespace

QString FormCadastro::perguntaCancelamento()
{
    return u"Os dados estão sendo alterados no momento !\nDeseja realmente cancelar as alterações feitas ?"_s;
}

FormCadastro::FormCadastro(QWidget *pai) : Janela(pai)
{
    auto *principal = new QVBoxLayout(this);
    principal->setContentsMargins(4, 4, 4, 4);
    PageControl = new QTabWidget(this);
    PageControl->setObjectName(u"PageControl"_s);
    principal->addWidget(PageControl);

    // "Consulta": the small bar, the search box, the list
    TabSheet_Consulta = new QWidget;
    TabSheet_Consulta->setObjectName(u"TabSheet_Consulta"_s);
    auto *consulta = new QVBoxLayout(TabSheet_Consulta);
    Painel_Consulta1 = new QWidget(TabSheet_Consulta);
    Painel_Consulta1->setObjectName(u"Painel_Consulta1"_s);
    auto *topo = new QHBoxLayout(Painel_Consulta1);
    topo->setContentsMargins(0, 0, 0, 0);
    DBNavigator_Triagem = new QWidget(Painel_Consulta1);
    DBNavigator_Triagem->setObjectName(u"DBNavigator_Triagem"_s);
    auto *triagem = new QHBoxLayout(DBNavigator_Triagem);
    triagem->setContentsMargins(0, 0, 0, 0);
    Adicionar = botao(DBNavigator_Triagem, triagem, u"Adicionar"_s, u"&Inserir"_s, u"Pemite inserir um novo registro"_s);
    Abandonar = botao(DBNavigator_Triagem, triagem, u"Abandonar"_s, u"&Sair"_s, u"Fecha esta janela de cadastro"_s);
    topo->addWidget(DBNavigator_Triagem);
    topo->addStretch();
    consulta->addWidget(Painel_Consulta1);
    Grid_Consulta = new GradeDados(TabSheet_Consulta);
    Grid_Consulta->setObjectName(u"Grid_Consulta"_s);
    consulta->addWidget(Grid_Consulta, 1);
    PageControl->addTab(TabSheet_Consulta, u"Consulta"_s);

    // "Cadastro": the data panel and the ten buttons
    TabSheet_Manutencao = new QWidget;
    TabSheet_Manutencao->setObjectName(u"TabSheet_Manutencao"_s);
    auto *manutencao = new QVBoxLayout(TabSheet_Manutencao);
    Painel_Dados = new QWidget(TabSheet_Manutencao);
    Painel_Dados->setObjectName(u"Painel_Dados"_s);
    m_layoutDados = new QGridLayout(Painel_Dados);
    m_layoutDados->setColumnStretch(2, 1);
    manutencao->addWidget(Painel_Dados);
    manutencao->addStretch(1);
    wwDBNavigator1 = new QWidget(TabSheet_Manutencao);
    wwDBNavigator1->setObjectName(u"wwDBNavigator1"_s);
    auto *barra = new QHBoxLayout(wwDBNavigator1);
    barra->setContentsMargins(0, 0, 0, 0);
    Inserir = botao(wwDBNavigator1, barra, u"Inserir"_s, u"Inserir"_s, u"Pemite inserir um novo registro"_s);
    Alterar = botao(wwDBNavigator1, barra, u"Alterar"_s, u"Alterar"_s,
                    u"Pemite alterar o registro selecionado no momento"_s);
    Deletar = botao(wwDBNavigator1, barra, u"Deletar"_s, u"Deletar"_s, u"Apaga o registro atual"_s);
    Gravar = botao(wwDBNavigator1, barra, u"Gravar"_s, u"Gravar"_s,
                   u"Grava as alterações feitas neste banco de dados"_s);
    Cancelar = botao(wwDBNavigator1, barra, u"Cancelar"_s, u"Cancelar"_s,
                     u"Cancela as alterações feitas neste registro"_s);
    Primeiro = botao(wwDBNavigator1, barra, u"Primeiro"_s, u"Primeiro"_s,
                     u"Vai para o primeiro registro do banco de dados"_s);
    Anterior = botao(wwDBNavigator1, barra, u"Anterior"_s, u"Anterior"_s,
                     u"Vai para registro anterior do banco de dados"_s);
    Proximo = botao(wwDBNavigator1, barra, u"Proximo"_s, u"Próximo"_s,
                    u"Vai para o próximo registro do banco de dados"_s);
    Ultimo = botao(wwDBNavigator1, barra, u"Ultimo"_s, u"Último"_s,
                   u"Vai para o último registro do banco de dados"_s);
    Sair = botao(wwDBNavigator1, barra, u"Sair"_s, u"Sair"_s, u"Fecha esta janela de cadastro"_s);
    manutencao->addWidget(wwDBNavigator1);
    PageControl->addTab(TabSheet_Manutencao, u"Cadastro"_s);

    conecta(Adicionar, &QPushButton::clicked, this, [this] { AdicionarClick(); });
    conecta(Abandonar, &QPushButton::clicked, this, [this] { SairClick(); });
    conecta(Inserir, &QPushButton::clicked, this, [this] { AdicionarClick(); });
    conecta(Alterar, &QPushButton::clicked, this, [this] { AlterarClick(); });
    conecta(Deletar, &QPushButton::clicked, this, [this] { DeletarClick(); });
    conecta(Gravar, &QPushButton::clicked, this, [this] { GravarClick(); });
    conecta(Cancelar, &QPushButton::clicked, this, [this] { CancelarClick(); });
    conecta(Primeiro, &QPushButton::clicked, this, [this] { m_tabela->first(); });
    conecta(Anterior, &QPushButton::clicked, this, [this] { m_tabela->prior(); });
    conecta(Proximo, &QPushButton::clicked, this, [this] { m_tabela->next(); });
    conecta(Ultimo, &QPushButton::clicked, this, [this] { m_tabela->last(); });
    conecta(Sair, &QPushButton::clicked, this, [this] { SairClick(); });
    conecta(Grid_Consulta, &GradeDados::duploClique, this, [this] { GridDblClick(); });

    connect(PageControl, &QTabWidget::currentChanged, this, [this](int nova) {
        if (m_trocandoAba) {
            m_abaAtual = nova;
            return;
        }
        const int antiga = m_abaAtual;
        bool permite = true;
        protege([&] { permite = PageControlChanging(antiga, nova); });
        if (!permite) {
            m_trocandoAba = true;
            PageControl->setCurrentIndex(antiga);
            m_trocandoAba = false;
            return;
        }
        m_abaAtual = nova;
    });
}

FormCadastro::~FormCadastro() = default;

bool FormCadastro::editando() const
{
    return m_tabela && EmEdicao(*m_tabela);
}

void FormCadastro::adicionaCampo(const QString &rotulo, QWidget *campo, int largura)
{
    auto *l = new QLabel(rotulo, Painel_Dados);
    l->setBuddy(campo);
    m_layoutDados->addWidget(l, m_linhaDados, 0, Qt::AlignRight | Qt::AlignVCenter);
    if (largura > 0)
        campo->setMaximumWidth(largura);
    m_layoutDados->addWidget(campo, m_linhaDados, 1, 1, largura > 0 ? 1 : 2, Qt::AlignLeft | Qt::AlignVCenter);
    if (largura <= 0)
        campo->setMinimumWidth(300);
    ++m_linhaDados;
}

EditTexto *FormCadastro::campoCodigo(db::Dataset *ds, const QString &coluna, const QString &rotulo,
                                     const QString &nome)
{
    auto *codigo = campo<EditTexto>(ds, nome, rotulo, coluna, 90);
    codigo->setReadOnly(true);
    codigo->setFocusPolicy(Qt::NoFocus);
    return codigo;
}

void FormCadastro::inicia(db::Dataset *tabela)
{
    m_tabela = tabela;
    if (opcoes.semConsulta) {
        m_trocandoAba = true;
        PageControl->removeTab(PageControl->indexOf(TabSheet_Consulta));
        m_trocandoAba = false;
        delete TabSheet_Consulta;
        TabSheet_Consulta = Painel_Consulta1 = DBNavigator_Triagem = nullptr;
        Adicionar = Abandonar = nullptr;
        Grid_Consulta = nullptr;
        m_abaAtual = PageControl->currentIndex();
    } else {
        Grid_Consulta->setDataset(tabela);
    }
    if (!opcoes.campoBusca.isEmpty() && Painel_Consulta1) {
        auto *topo = static_cast<QHBoxLayout *>(Painel_Consulta1->layout());
        Label_consulta = new QLabel(opcoes.rotuloBusca, Painel_Consulta1);
        Label_consulta->setObjectName(u"Label_consulta"_s);
        Edit_consulta = new EditTexto(Painel_Consulta1);
        Edit_consulta->setObjectName(u"Edit_consulta"_s);
        Edit_consulta->setMinimumWidth(300);
        Label_consulta->setBuddy(Edit_consulta);
        topo->insertWidget(1, Label_consulta);
        topo->insertWidget(2, Edit_consulta);
        connect(Edit_consulta, &QLineEdit::textChanged, this, [this](const QString &t) {
            if (!t.isEmpty() && m_tabela->isActive())
                protege([&] { m_tabela->locate(opcoes.campoBusca, t, true, true); });
        });
    }
    connect(tabela, &db::Dataset::scrolled, this, &FormCadastro::botoesMovimento);
    connect(tabela, &db::Dataset::stateChanged, this, &FormCadastro::botoesMovimento);
    connect(tabela, &db::Dataset::rowsChanged, this, &FormCadastro::botoesMovimento);
    FormCreate();
}

void FormCadastro::FormCreate()
{
    m_tabela->open();
    for (db::Dataset *ds : m_outros)
        ds->open();
    Painel_Dados->setEnabled(false);
    mostraAba(TabSheet_Consulta ? TabSheet_Consulta : TabSheet_Manutencao);
    botoesEdicao(false);
}

void FormCadastro::mostraAba(QWidget *aba)
{
    m_trocandoAba = true;
    PageControl->setCurrentWidget(aba);
    m_abaAtual = PageControl->currentIndex();
    m_trocandoAba = false;
}

void FormCadastro::botoesEdicao(bool ed)
{
    // the list stays where it is while a row is edited: moving it would post
    // the row behind the user's back, without its checks
    if (Grid_Consulta)
        Grid_Consulta->setEnabled(!ed);
    if (Edit_consulta)
        Edit_consulta->setEnabled(!ed);
    Inserir->setEnabled(!ed);
    Alterar->setEnabled(!ed);
    Deletar->setEnabled(!ed);
    Gravar->setEnabled(ed);
    Cancelar->setEnabled(ed);
    Sair->setEnabled(true);
    botoesMovimento();
}

void FormCadastro::botoesMovimento()
{
    // While a row is being edited, moving would post it behind the user's
    // back: the movement buttons wait for record or cancel.
    const bool livre = m_tabela && m_tabela->isActive() && !EmEdicao(*m_tabela);
    const int linha = livre ? m_tabela->recNo() : -1;
    const int total = livre ? m_tabela->recordCount() : 0;
    Primeiro->setEnabled(livre && linha > 0);
    Anterior->setEnabled(livre && linha > 0);
    Proximo->setEnabled(livre && linha >= 0 && linha < total - 1);
    Ultimo->setEnabled(livre && linha >= 0 && linha < total - 1);
}

int FormCadastro::proximaChave()
{
    // read afresh from the database, not from the list
    const db::Result r = m_tabela->connection()->execute(opcoes.sqlMaximo);
    const QVariant maximo = r.value(opcoes.campoMaximo);
    return (maximo.isValid() && !maximo.isNull() ? maximo.toInt() : 0) + 1;
}

void FormCadastro::AdicionarClick()
{
    if (editando())
        return;
    mostraAba(TabSheet_Manutencao);
    const int chave = opcoes.sqlMaximo.isEmpty() ? 0 : proximaChave();
    m_tabela->append();
    if (!opcoes.campoChave.isEmpty() && !opcoes.sqlMaximo.isEmpty())
        m_tabela->setValue(opcoes.campoChave, chave);
    novosValores();
    Painel_Dados->setEnabled(true);
    botoesEdicao(true);
    if (primeiroCampo)
        primeiroCampo->setFocus();
}

void FormCadastro::AlterarClick()
{
    if (editando())
        return;
    if (m_tabela->isEmpty()) {
        msg::erro(opcoes.vazioAlterar);
        return;
    }
    // the fields are on "Cadastro": editing where they are hidden helps nobody
    mostraAba(TabSheet_Manutencao);
    m_tabela->edit();
    Painel_Dados->setEnabled(true);
    botoesEdicao(true);
    if (primeiroCampo)
        primeiroCampo->setFocus();
}

void FormCadastro::GridDblClick()
{
    if (editando())
        return;
    mostraAba(TabSheet_Manutencao);
    AlterarClick();
}

void FormCadastro::DeletarClick()
{
    if (editando())
        return;
    if (m_tabela->isEmpty()) {
        msg::erro(opcoes.vazioDeletar);
        return;
    }
    if (opcoes.perguntaAntesDasVerificacoes) {
        if (!msg::confirma(opcoes.perguntaDeletar)) {
            m_tabela->cancel();
            return;
        }
        if (!verificaExclusao())
            return;
    } else {
        if (!verificaExclusao())
            return;
        if (!msg::confirma(opcoes.perguntaDeletar)) {
            m_tabela->cancel();
            return;
        }
    }
    m_tabela->remove();
    aplica();
    botoesMovimento();
}

void FormCadastro::GravarClick()
{
    if (!editando())
        return;
    for (QWidget *campo : m_obrigatorios) {
        if (textoDoCampo(campo).trimmed().isEmpty()) {
            principal()->AvisaCampos(opcoes.textoObrigatorios);
            if (m_obrigatorios.first()->isEnabled())
                m_obrigatorios.first()->setFocus();
            return;
        }
    }
    if (!validaGravacao())
        return;
    m_tabela->post();
    const bool gravou = aplica();
    // On refusal the pending change was withdrawn: the window shows what
    // the database holds and is browsing again.
    Painel_Dados->setEnabled(false);
    botoesEdicao(false);
    if (gravou)
        depoisDeGravar();
}

bool FormCadastro::aplica()
{
    return AplicaAlteracoes(*m_tabela);
}

void FormCadastro::CancelarClick()
{
    if (!editando())
        return;
    m_tabela->cancel();
    Painel_Dados->setEnabled(false);
    botoesEdicao(false);
}

void FormCadastro::SairClick()
{
    close();
}

bool FormCadastro::PageControlChanging(int deAba, int)
{
    if (!opcoes.guardaAbas || PageControl->widget(deAba) != TabSheet_Manutencao || !editando())
        return true;
    if (!msg::pergunta(perguntaCancelamento(), QMessageBox::Information))
        return false;
    CancelarClick();
    return true;
}

bool FormCadastro::FormClose()
{
    if (editando()) {
        if (!msg::pergunta(perguntaCancelamento(), QMessageBox::Information))
            return false;
        CancelarClick();
    }
    for (db::Dataset *ds : m_outros)
        ds->close();
    if (m_tabela && !opcoes.tabelaEmprestada)
        m_tabela->close();
    return true;
}

bool FormCadastro::FormKeyDown(QKeyEvent *evento)
{
    const bool ed = editando();
    switch (evento->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        proximoCampo(this);
        return true;
    case Qt::Key_F4:
        if (!ed)
            AdicionarClick();
        return true;
    case Qt::Key_F5:
        if (!ed) {
            if (opcoes.f5DuploClique)
                GridDblClick();
            else
                AlterarClick();
        }
        return true;
    case Qt::Key_F6:
        if (!opcoes.f6)
            return false;
        if (!ed)
            DeletarClick();
        return true;
    case Qt::Key_F7:
        if (ed)
            GravarClick();
        return true;
    case Qt::Key_F8:
        if (ed)
            CancelarClick();
        return true;
    default:
        return false;
    }
}

} // namespace app
