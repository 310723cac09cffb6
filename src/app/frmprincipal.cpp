#include "app/frmprincipal.h"

#include "app/configuracao_ini.h"
#include "app/globais.h"
#include "app/janela.h"
#include "app/mensagens.h"
#include "app/menu.h"
#include "db/database.h"
#include "db/dataset.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>

using namespace Qt::StringLiterals;

namespace app {

namespace {
FrmPrincipal *g_principal = nullptr;
} // namespace

FrmPrincipal *principal()
{
    return g_principal;
}

void mostraFilha(QWidget *janela, bool maximizada)
{
    FrmPrincipal *p = principal();
    if (!p) {
        janela->show();
        return;
    }
    QMdiSubWindow *sub = p->areaJanelas()->addSubWindow(janela);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(janela->windowTitle());
    // a window that closes itself (its "Sair") takes its frame along
    QObject::connect(janela, &QObject::destroyed, sub, [sub] { sub->close(); });
    if (maximizada)
        sub->showMaximized();
    else
        sub->show();
    janela->setFocus();
}

void trazParaFrente(QWidget *janela)
{
    FrmPrincipal *p = principal();
    if (p) {
        for (QMdiSubWindow *sub : p->areaJanelas()->subWindowList()) {
            if (sub->widget() == janela) {
                if (sub->isMinimized())
                    sub->showNormal();
                p->areaJanelas()->setActiveSubWindow(sub);
                return;
            }
        }
    }
    janela->raise();
    janela->activateWindow();
}

QString FrmPrincipal::DB_CorvenaBeforeConnect()
{
    return lerServidor();
}

FrmPrincipal::FrmPrincipal(QWidget *pai) : QMainWindow(pai)
{
    setObjectName(u"FrmPrincipal"_s);
    setWindowTitle(u"Zuzoro da Revuzovod"_s);
    instalaPreviaTeclas();

    m_area = new QMdiArea(this);
    m_area->setObjectName(u"AreaJanelas"_s);
    QLinearGradient fundo(0, 0, 0, 900);
    fundo.setColorAt(0, QColor(0xe8, 0xf1, 0xf8));
    fundo.setColorAt(1, QColor(0x9c, 0xb9, 0xd3));
    m_area->setBackground(fundo);
    setCentralWidget(m_area);

    CB_Acesso = new QCheckBox(u"Utiliza Controle de Acesso (Verifica opções de Menu)"_s, this);
    CB_Acesso->setObjectName(u"CB_Acesso"_s);
    CB_Acesso->setChecked(true);
    CB_Acesso->setEnabled(false);
    CB_Acesso->setVisible(false);

    montaBarraDeStatus();
    montaMenu();

    // The connection: Corvena.INI names the database before every connect.
    db::Connection::Options opcoes;
    opcoes.database = DB_CorvenaBeforeConnect();
    m_conexao = db::Connection::open(opcoes);
    DB_Corvena = m_conexao.get();

    tb_empresa = new db::Dataset(DB_Corvena, u"SELECT * FROM EMPRESA"_s, this);
    tb_empresa->setObjectName(u"tb_empresa"_s);
    tb_empresa->open();
    q_configuracao = new db::Dataset(DB_Corvena, u"select * from configuracao"_s, this);
    q_configuracao->setObjectName(u"q_configuracao"_s);
    q_configuracao->open();
    Q_MAXDATA = new db::Dataset(DB_Corvena, u"SELECT DATA AS DATA FROM CAIXA WHERE LANCADO = 'N'"_s, this);
    Q_MAXDATA->setObjectName(u"Q_MAXDATA"_s);

    g_principal = this;
    FormCreate();
}

FrmPrincipal::~FrmPrincipal()
{
    // the task windows go first: they use the connection
    for (QMdiSubWindow *sub : m_area->subWindowList())
        delete sub;
    delete tb_empresa;
    delete q_configuracao;
    delete Q_MAXDATA;
    tb_empresa = q_configuracao = Q_MAXDATA = nullptr;
    if (g_principal == this)
        g_principal = nullptr;
}

void FrmPrincipal::FormCreate()
{
    Q_MAXDATA->close();
    Q_MAXDATA->open();
    DataCaixa = Q_MAXDATA->value(u"DATA"_s).toDate();
}

void FrmPrincipal::montaBarraDeStatus()
{
    auto painel = [this](const QString &texto, int largura, bool centrado) {
        auto *l = new QLabel(texto, this);
        l->setMinimumWidth(largura);
        l->setAlignment(centrado ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        statusBar()->addWidget(l);
        return l;
    };
    auto *primeiro = painel(u"Utilize as seguintes Teclas de Atalho p/ as operações"_s, 330, false);
    primeiro->setFrameShape(QFrame::NoFrame);
    for (const QString &t : {u"<F4> Inserir"_s, u"<F5> Alterar"_s, u"<F6> Deletar"_s, u"<F7> Gravar"_s,
                             u"<F8> Cancelar"_s}) {
        auto *l = painel(t, 90, true);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
    }
    painel(QString(), 50, false);
}

void FrmPrincipal::montaMenu()
{
    const QVector<ItemMenu> &itens = itensDoMenu();
    QMenu *nivel1 = nullptr;
    QMenu *nivel2 = nullptr;
    for (int i = 0; i < itens.size(); ++i) {
        const ItemMenu &it = itens[i];
        const bool temFilhos = i + 1 < itens.size() && itens[i + 1].nivel > it.nivel;
        QMenu *dono = it.nivel == 1 ? nullptr : (it.nivel == 2 ? nivel1 : nivel2);
        if (it.nivel == 1 || temFilhos) {
            QMenu *m = it.nivel == 1 ? menuBar()->addMenu(it.legenda) : dono->addMenu(it.legenda);
            m->setObjectName(it.nome);
            m->menuAction()->setObjectName(it.nome);
            if (it.nivel == 1)
                nivel1 = m;
            else
                nivel2 = m;
            continue;
        }
        if (it.legenda == u"-"_s) {
            QAction *sep = dono->addSeparator();
            sep->setObjectName(it.nome);
            continue;
        }
        QAction *a = dono->addAction(it.legenda);
        a->setObjectName(it.nome);
        const QByteArray slot = it.nome == u"Sair1"_s ? QByteArray("SairClick") : (it.nome + u"Click"_s).toLatin1();
        connect(a, &QAction::triggered, this, [this, slot] {
            protege([&] { QMetaObject::invokeMethod(this, slot.constData(), Qt::DirectConnection); });
        });
    }
}

QVector<FrmPrincipal::Item> FrmPrincipal::percorreMenu(bool comSeparadores) const
{
    QVector<Item> lista;
    for (const ItemMenu &it : itensDoMenu()) {
        if (!comSeparadores && it.legenda == u"-"_s)
            continue;
        lista.append({itemMenu(it.nome), it.nome, it.legenda, it.nivel});
    }
    return lista;
}

QAction *FrmPrincipal::itemMenu(const QString &nome) const
{
    for (QAction *a : findChildren<QAction *>(nome)) {
        if (a->objectName() == nome)
            return a;
    }
    return nullptr;
}

QString FrmPrincipal::razaoSocial() const
{
    if (!tb_empresa || !tb_empresa->isActive() || tb_empresa->isEmpty())
        return {};
    return tb_empresa->text(u"RAZAOSOCIAL"_s);
}

void FrmPrincipal::AvisaCampos(const QString &texto)
{
    msg::informacao(u"Peencha os campos! ("_s + texto + u")"_s);
}

void FrmPrincipal::abreItem(const QString &nome)
{
    if (const AcaoMenu *acao = acaoDoItem(nome))
        acao->abre();
}

void FrmPrincipal::closeEvent(QCloseEvent *evento)
{
    // a window that closed a moment ago may still wait to be freed
    const auto abertas = m_area->subWindowList();
    const bool algumaAberta = std::any_of(abertas.begin(), abertas.end(), [](QMdiSubWindow *sub) {
        auto *j = qobject_cast<Janela *>(sub->widget());
        return sub->widget() && !(j && j->fechada());
    });
    if (algumaAberta) {
        msg::informacao(u"ATENÇÃO : Existe(m) uma ou mais janelas abertas no momento !!!\n"
                        "Feche todas as janelas antes de encerrar a execução do Sistema ?"_s,
                        this);
        evento->ignore();
        return;
    }
    evento->accept();
}

// --- menu handlers ----------------------------------------------------------

void FrmPrincipal::SairClick()
{
    close();
}

void FrmPrincipal::Cadastros_de_FornecedoresClick()
{
    // the supplier window reads the current milk price from here
    q_configuracao->close();
    q_configuracao->open();
    abreItem(u"Cadastros_de_Fornecedores"_s);
}

void FrmPrincipal::Vendas_Click()
{
    Q_MAXDATA->close();
    Q_MAXDATA->open();
    if (Q_MAXDATA->isEmpty()) {
        msg::erro(u"Não Existe Caixa Aberto"_s);
        return;
    }
    DataCaixa = Q_MAXDATA->value(u"DATA"_s).toDate();
    abreItem(u"Vendas_"_s);
}

void FrmPrincipal::RecebimentosClick()
{
    // the receipts window refuses, through its Tag, when no cash day is open
    abreItem(u"Recebimentos"_s);
}

void FrmPrincipal::Lancar_ChequeClick()
{
    const AcaoMenu *acao = acaoDoItem(u"Lancar_Cheque"_s);
    if (!acao || !acao->existe()) {
        // a free entry, not tied to a payment
        ChequePagamento = 0;
        ChequeCliente = 0;
        ChequeValor = db::Decimal(0, 2);
        ChequeData = QDate::currentDate();
    }
    abreItem(u"Lancar_Cheque"_s);
}

void FrmPrincipal::Cadastros_de_GruposClick()
{
    abreItem(u"Cadastros_de_Grupos"_s);
}

void FrmPrincipal::Cadastro_de_UsuariosClick()
{
    abreItem(u"Cadastro_de_Usuarios"_s);
}

void FrmPrincipal::Configuracao_de_Acesso_UsuarioClick()
{
    abreItem(u"Configuracao_de_Acesso_Usuario"_s);
}

void FrmPrincipal::Cadastro_de_EmpresaClick()
{
    abreItem(u"Cadastro_de_Empresa"_s);
}

void FrmPrincipal::Cadastro_de_ClientesClick()
{
    abreItem(u"Cadastro_de_Clientes"_s);
}

void FrmPrincipal::Cadastro_Descontos_ClientesClick()
{
    abreItem(u"Cadastro_Descontos_Clientes"_s);
}

void FrmPrincipal::Manutencao_de_ClientesClick()
{
    abreItem(u"Manutencao_de_Clientes"_s);
}

void FrmPrincipal::Lancar_Haver_FornecedoresClick()
{
    abreItem(u"Lancar_Haver_Fornecedores"_s);
}

void FrmPrincipal::Pagar_FornecedoresClick()
{
    abreItem(u"Pagar_Fornecedores"_s);
}

void FrmPrincipal::Alteracao_preco_Leite_e_DebitoClick()
{
    abreItem(u"Alteracao_preco_Leite_e_Debito"_s);
}

void FrmPrincipal::Alteracao_preco_fornecedorClick()
{
    abreItem(u"Alteracao_preco_fornecedor"_s);
}

void FrmPrincipal::Compra_de_ProdutosClick()
{
    abreItem(u"Compra_de_Produtos"_s);
}

void FrmPrincipal::Cadastro_de_ProdutosClick()
{
    abreItem(u"Cadastro_de_Produtos"_s);
}

void FrmPrincipal::Cadastro_Tipo_ProdutoClick()
{
    abreItem(u"Cadastro_Tipo_Produto"_s);
}

void FrmPrincipal::Preco_de_LeiteClick()
{
    abreItem(u"Preco_de_Leite"_s);
}

void FrmPrincipal::Entrada_de_LeiteClick()
{
    abreItem(u"Entrada_de_Leite"_s);
}

void FrmPrincipal::Saida_para_ProducaoClick()
{
    abreItem(u"Saida_para_Producao"_s);
}

void FrmPrincipal::Alteracao_de_estoqueClick()
{
    abreItem(u"Alteracao_de_estoque"_s);
}

void FrmPrincipal::Entrada_de_CremeClick()
{
    abreItem(u"Entrada_de_Creme"_s);
}

void FrmPrincipal::Embalamento_de_ManteigaClick()
{
    abreItem(u"Embalamento_de_Manteiga"_s);
}

void FrmPrincipal::Movimento_CaixaClick()
{
    abreItem(u"Movimento_Caixa"_s);
}

void FrmPrincipal::Cadastro_de_ContaClick()
{
    abreItem(u"Cadastro_de_Conta"_s);
}

void FrmPrincipal::Abrir_Encerrar_CaixaClick()
{
    abreItem(u"Abrir_Encerrar_Caixa"_s);
}

void FrmPrincipal::Manutencao_de_VendasClick()
{
    abreItem(u"Manutencao_de_Vendas"_s);
}

void FrmPrincipal::DevolucaoClick()
{
    abreItem(u"Devolucao"_s);
}

void FrmPrincipal::Alteracao_e_baixa_de_chequesClick()
{
    abreItem(u"Alteracao_e_baixa_de_cheques"_s);
}

void FrmPrincipal::Cadastro_Tipo_Baixa_ChequeClick()
{
    abreItem(u"Cadastro_Tipo_Baixa_Cheque"_s);
}

void FrmPrincipal::Cadastro_de_Forma_de_PagamentoClick()
{
    abreItem(u"Cadastro_de_Forma_de_Pagamento"_s);
}

void FrmPrincipal::Relatorio_DespesasClick()
{
    abreItem(u"Relatorio_Despesas"_s);
}

void FrmPrincipal::Relatorio_PagamentosClick()
{
    abreItem(u"Relatorio_Pagamentos"_s);
}

void FrmPrincipal::Relatorio_ChequesClick()
{
    abreItem(u"Relatorio_Cheques"_s);
}

void FrmPrincipal::Relatorio_ClientesClick()
{
    abreItem(u"Relatorio_Clientes"_s);
}

void FrmPrincipal::Relatorio_Vendas_por_TipoClick()
{
    abreItem(u"Relatorio_Vendas_por_Tipo"_s);
}

void FrmPrincipal::Relatorio_ProdutosClick()
{
    abreItem(u"Relatorio_Produtos"_s);
}

void FrmPrincipal::Relatorio_Sadia_ProducaoClick()
{
    abreItem(u"Relatorio_Sadia_Producao"_s);
}

void FrmPrincipal::Relatorio_Entrada_LeiteClick()
{
    abreItem(u"Relatorio_Entrada_Leite"_s);
}

void FrmPrincipal::Relatorio_Entrada_CremeClick()
{
    abreItem(u"Relatorio_Entrada_Creme"_s);
}

void FrmPrincipal::Relatorio_DevolucaoClick()
{
    abreItem(u"Relatorio_Devolucao"_s);
}

void FrmPrincipal::Relatorio_EstoqueClick()
{
    abreItem(u"Relatorio_Estoque"_s);
}

void FrmPrincipal::Relatorio_Compra_ProdutosClick()
{
    abreItem(u"Relatorio_Compra_Produtos"_s);
}

void FrmPrincipal::Equipe_Click()
{
    abreItem(u"Equipe_"_s);
}

void FrmPrincipal::SobreClick()
{
    abreItem(u"Sobre"_s);
}

} // namespace app
