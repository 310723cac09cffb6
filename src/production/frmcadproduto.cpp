#include "production/frmcadproduto.h"

#include "app/camposdb.h"
#include "app/frmprincipal.h"
#include "app/mensagens.h"
#include "app/rotinas.h"
#include "db/dataset.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace producao {

namespace {
app::RegistroJanela<FrmCadProduto> registro(u"Cadastro_de_Produtos"_s);

// The movements that name a product, each with what the user is told.
struct Uso
{
    QString sql;
    QString mensagem;
};

const QList<Uso> &usos()
{
    static const QList<Uso> lista = {
        {u"SELECT CD_ENTRADA FROM ENTRADA_PRODUTO WHERE CD_PRODUTO = :PCDPRODUTO"_s,
         u"Impossível apagar! Apague a entrada primeiro "_s},
        {u"SELECT FIRST 1 CD_ITENS_PEDIDOS FROM ITENS_PEDIDOS WHERE CD_PRODUTO = :PCDPRODUTO"_s,
         u"Impossível apagar! O produto consta em vendas"_s},
        {u"SELECT FIRST 1 CD_SAIDA FROM SAIDA_PRODUCAO WHERE CD_PRODUTO = :PCDPRODUTO"_s,
         u"Impossível apagar! O produto consta em saídas para produção"_s},
        {u"SELECT FIRST 1 CD_ITENSPRODUZIDOS FROM ITENS_PRODUCAO WHERE CD_PRODUTO = :PCDPRODUTO"_s,
         u"Impossível apagar! O produto consta em itens produzidos"_s},
        {u"SELECT FIRST 1 CD_DEVOLUCAO FROM DEVOLUCAO WHERE CD_PRODUTO = :PCDPRODUTO"_s,
         u"Impossível apagar! O produto consta em devoluções"_s},
        {u"SELECT FIRST 1 CD_CLIENTE FROM CLIENTE_PRODUTO_DESCONTO WHERE CD_PRODUTO = :PCDPRODUTO"_s,
         u"Impossível apagar! O produto consta nos descontos de clientes"_s},
    };
    return lista;
}

} // namespace

FrmCadProduto::FrmCadProduto(QWidget *pai) : app::FormCadastro(pai)
{
    setObjectName(u"FrmCadProduto"_s);
    setWindowTitle(u"Manutenção do Cadastro de Produto"_s);
    PageControl->setTabText(PageControl->indexOf(TabSheet_Manutencao), u"Cadastro  "_s);

    db::Connection *conexao = app::principal()->DB_Corvena;
    Tb_Tipo = new db::Dataset(conexao, u"select * from tipo_produtos_fabricados order by nome"_s, this);
    Tb_Tipo->setObjectName(u"Tb_Tipo"_s);
    Tb_Produto = new db::Dataset(conexao, u"SELECT * FROM PRODUTO ORDER BY NOME"_s, this);
    Tb_Produto->setObjectName(u"Tb_Produto"_s);
    // stock and returned quantity belong to the movements: a row written
    // from here never carries them (a new one starts at the table's 0)
    Tb_Produto->setReadOnlyFields({u"ESTOQUE_ATUAL"_s, u"QUANT_DEVOLVIDA"_s});
    Tb_Produto->model()->setColumns({{u"NOME"_s, u"NOME PRODUTO"_s, 30},
                                     {u"UNIDADE"_s, u"UNIDADE"_s, 8},
                                     {u"PESO"_s, u"PESO"_s, 10},
                                     {u"CATEGORIA"_s, u"CATEGORIA"_s, 10},
                                     {u"ESTOQUE_ATUAL"_s, u"ESTOQUE"_s, 12},
                                     db::DatasetModel::Column::formatted(u"PRECO_VENDA"_s, u"PREÇO DE VENDA"_s, u",0.###"_s),
                                     {u"QUANT_DEVOLVIDA"_s, u"QUANT DEVOLVIDA"_s, 15}});

    EDIT_CODIGO = campoCodigo(Tb_Produto, u"CD_PRODUTO"_s);
    EDIT_NOME = campo(Tb_Produto, u"EDIT_NOME"_s, u"NOME DO PRODUTO"_s, u"NOME"_s, 320);
    EDIT_UNIDADE = campo(Tb_Produto, u"EDIT_UNIDADE"_s, u"UNIDADE"_s, u"UNIDADE"_s, 50);
    EDIT_PESO = campo<app::EditDecimal>(Tb_Produto, u"EDIT_PESO"_s, u"PESO"_s, u"PESO"_s, 120);

    LKP_TIPO = new app::ComboLookup(Painel_Dados);
    LKP_TIPO->setObjectName(u"LKP_TIPO"_s);
    // the list shows the type names under its own title
    auto *lista = new QTableView(LKP_TIPO);
    lista->setSelectionBehavior(QAbstractItemView::SelectRows);
    lista->verticalHeader()->setVisible(false);
    lista->horizontalHeader()->setStretchLastSection(true);
    lista->setShowGrid(false);
    LKP_TIPO->setView(lista);
    if (auto *m = qobject_cast<QStandardItemModel *>(LKP_TIPO->model()))
        m->setHorizontalHeaderLabels({u"TIPO DO PRODUTO"_s});
    LKP_TIPO->installEventFilter(this);
    adicionaCampo(u"TIPO PRODUTO"_s, LKP_TIPO, 320);

    EDIT_PRECO = new app::EditDecimal(Painel_Dados, 3);
    EDIT_PRECO->setObjectName(u"EDIT_PRECO"_s);
    EDIT_PRECO->setFormatoExibicao(u",0.###"_s);
    adicionaCampo(u"PREÇO DE VENDA"_s, EDIT_PRECO, 120);
    CB_CATEGORIA = new QComboBox(Painel_Dados);
    CB_CATEGORIA->setObjectName(u"CB_CATEGORIA"_s);
    CB_CATEGORIA->addItems({u"P"_s, u"S"_s});
    CB_CATEGORIA->setCurrentIndex(-1);
    adicionaCampo(u"CATEGORIA"_s, CB_CATEGORIA, 60);
    EDIT_ESTOQUE = new app::EditDecimal(Painel_Dados);
    EDIT_ESTOQUE->setObjectName(u"EDIT_ESTOQUE"_s);
    EDIT_ESTOQUE->setEnabled(false);
    adicionaCampo(u"ESTOQUE ATUAL"_s, EDIT_ESTOQUE, 120);

    // the list is filled before the products open, so the first row
    // already finds its type's name
    Tb_Tipo->open();
    LKP_TIPO->setLista(Tb_Tipo, u"CD_TIPO_FABRICADOS"_s, u"NOME"_s);
    app::liga(LKP_TIPO, Tb_Produto, u"CD_TIPO_FABRICADOS"_s);
    app::liga(EDIT_PRECO, Tb_Produto, u"PRECO_VENDA"_s);
    app::liga(CB_CATEGORIA, Tb_Produto, u"CATEGORIA"_s);
    app::liga(EDIT_ESTOQUE, Tb_Produto, u"ESTOQUE_ATUAL"_s);

    opcoes.sqlMaximo = u"SELECT MAX(CD_PRODUTO) AS MAXCD FROM PRODUTO"_s;
    opcoes.campoMaximo = u"MAXCD"_s;
    opcoes.campoChave = u"CD_PRODUTO"_s;
    opcoes.vazioAlterar = u"O Banco de Dados está vazio !!!"_s;
    // no question when the tab changes (the list stays still while a row
    // is edited, as in every registry)
    opcoes.guardaAbas = false;
    primeiroCampo = EDIT_NOME;
    abreTambem(Tb_Tipo);
    inicia(Tb_Produto);
}

void FrmCadProduto::novosValores()
{
    Tb_Produto->setValue(u"QUANT_DEVOLVIDA"_s, 0);
    Tb_Produto->setValue(u"ESTOQUE_ATUAL"_s, 0);
}

bool FrmCadProduto::validaGravacao()
{
    // weight, price and category may stay empty
    if (EDIT_NOME->text().trimmed().isEmpty() || EDIT_UNIDADE->text().trimmed().isEmpty()
        || !LKP_TIPO->chave().isValid()) {
        app::msg::informacao(u"Preencha todos os campos!"_s);
        EDIT_NOME->setFocus();
        return false;
    }
    return true;
}

QString FrmCadProduto::usoDoProduto(db::Connection &conexao, int cdProduto)
{
    for (const Uso &uso : usos()) {
        if (!conexao.execute(uso.sql, {{u"PCDPRODUTO"_s, cdProduto}}).isEmpty())
            return uso.mensagem;
    }
    return {};
}

void FrmCadProduto::DeletarClick()
{
    if (editando())
        return;
    botoesMovimento();
    if (!Tb_Produto->isActive() || Tb_Produto->isEmpty()) {
        app::msg::erro(opcoes.vazioDeletar);
        return;
    }
    const int produto = Tb_Produto->value(u"CD_PRODUTO"_s).toInt();
    if (produto == kLeite) {
        app::msg::aviso(u"Impossível apagar! O produto 1 é o leite da entrada de leite"_s);
        return;
    }
    // the stock as it is now, not as it was when the list was read
    db::Connection &conexao = *Tb_Produto->connection();
    const QVariant atual = conexao
                               .execute(u"SELECT ESTOQUE_ATUAL FROM PRODUTO WHERE CD_PRODUTO = :PCDPRODUTO"_s,
                                        {{u"PCDPRODUTO"_s, produto}})
                               .value(u"ESTOQUE_ATUAL"_s);
    const db::Decimal estoque = db::Decimal::fromVariant(
        atual.isValid() && !atual.isNull() ? atual : Tb_Produto->value(u"ESTOQUE_ATUAL"_s), 2);
    if (!estoque.isZero()) {
        app::msg::aviso(u"Impossível apagar! Estoque atual nao vazio"_s);
        return;
    }
    if (!app::msg::confirma(opcoes.perguntaDeletar)) {
        Tb_Produto->cancel();
        return;
    }
    const QString uso = usoDoProduto(conexao, produto);
    if (!uso.isEmpty()) {
        app::msg::aviso(uso);
        return;
    }
    Tb_Produto->remove();
    aplica();
    botoesMovimento();
}

bool FrmCadProduto::FormKeyDown(QKeyEvent *evento)
{
    // while the type list is down, its keys move and choose in the list
    // (Enter chooses, and then moves on as everywhere)
    if (LKP_TIPO->view()->isVisible())
        return false;
    return FormCadastro::FormKeyDown(evento);
}

bool FrmCadProduto::eventFilter(QObject *objeto, QEvent *evento)
{
    // the type list drops down as soon as the field is entered
    if (objeto == LKP_TIPO && evento->type() == QEvent::FocusIn) {
        const Qt::FocusReason motivo = static_cast<QFocusEvent *>(evento)->reason();
        if (motivo == Qt::TabFocusReason || motivo == Qt::BacktabFocusReason || motivo == Qt::OtherFocusReason) {
            QTimer::singleShot(0, LKP_TIPO, [this] {
                if (LKP_TIPO->hasFocus() && LKP_TIPO->isEnabled() && editando() && !LKP_TIPO->view()->isVisible())
                    LKP_TIPO->showPopup();
            });
        }
    }
    return FormCadastro::eventFilter(objeto, evento);
}

} // namespace producao
