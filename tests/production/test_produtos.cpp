// The product and product type registries, driven by keys: inserting with
// the defaults, the required fields, the type list, the deletion rules
// (stock, movements, milk) and the stock that the registry never writes.

#include "app/camposdb.h"
#include "app/frmprincipal.h"
#include "app/rotinas.h"
#include "db/dataset.h"
#include "production/frmcadproduto.h"
#include "production/frmcadtipo.h"
#include "support/gui.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

using testsupport::Ambiente;
using testsupport::Mensagens;
using testsupport::digita;
using testsupport::tecla;
using producao::FrmCadProduto;
using producao::FrmCadTipo;

namespace {

const QString kPergunta = QStringLiteral("Deseja realmente deletar o registro ???");
const QString kVazio = QStringLiteral("O Banco de Dados está vazio !!!");

int conta(db::Connection &c, const QString &sql)
{
    return c.execute(sql).value("N").toInt();
}

// Chooses a type in the list the way a user does: the list is down, one
// row further, Enter.
void escolheTipo(FrmCadProduto *w, const QString &nome)
{
    QComboBox *lista = w->LKP_TIPO;
    if (!lista->view()->isVisible())
        lista->showPopup();
    QTRY_VERIFY(lista->view()->isVisible());
    const int linha = lista->findText(nome);
    QVERIFY(linha >= 0);
    lista->view()->setCurrentIndex(lista->model()->index(linha, 0));
    QTest::keyClick(lista->view(), Qt::Key_Return);
    QTRY_VERIFY(!lista->view()->isVisible());
    QCOMPARE(lista->currentText(), nome);
}

} // namespace

class TestProdutos : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensFromTheMenuOnTheList();
    void insertWithDefaultsByKeys();
    void firstProductAndTypeOfAnEmptyTableGetOne();
    void requiredFields_data();
    void requiredFields();
    void typeListDropsDownOnEntry();
    void deletionRules_data();
    void deletionRules();
    void stockIsReadWhenDeleting();
    void alteringNeverWritesTheStockBack();
    void emptyTableRefusesAlterAndDelete();
    void tabChangeAsksNothingAndTheListWaits();
    void typeRegistry();
    void typeDeletionRules_data();
    void typeDeletionRules();
};

void TestProdutos::opensFromTheMenuOnTheList()
{
    Ambiente amb;
    amb.menu("Cadastro_de_Produtos");
    auto *w = app::janela<FrmCadProduto>();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QString("Manutenção do Cadastro de Produto"));
    QCOMPARE(w->PageControl->currentWidget(), w->TabSheet_Consulta);
    QCOMPARE(w->PageControl->tabText(1), QString("Cadastro  "));
    QStringList titulos;
    for (const auto &c : w->Tb_Produto->model()->columns())
        titulos << c.title;
    QCOMPARE(titulos, QStringList({"NOME PRODUTO", "UNIDADE", "PESO", "CATEGORIA", "ESTOQUE", "PREÇO DE VENDA",
                                   "QUANT DEVOLVIDA"}));
    // ordered by name; the price with up to three decimals
    QCOMPARE(w->Tb_Produto->text("NOME"), QString("COALHO"));
    auto *m = w->Tb_Produto->model();
    w->Tb_Produto->locate("CD_PRODUTO", 4);
    QCOMPARE(m->data(m->index(w->Tb_Produto->recNo(), 5), Qt::DisplayRole).toString(), QString("6,9"));
    QCOMPARE(w->LKP_TIPO->currentText(), QString("MANTEIGA"));
    QCOMPARE(w->CB_CATEGORIA->currentText(), QString("P"));
    QVERIFY(!w->EDIT_ESTOQUE->isEnabled());
    QCOMPARE(w->EDIT_ESTOQUE->valor()->toString(), QString("40.00"));
    // the menu brings the same window forward
    amb.menu("Cadastro_de_Produtos");
    QCOMPARE(app::janela<FrmCadProduto>(), w);

    amb.menu("Cadastro_Tipo_Produto");
    auto *t = app::janela<FrmCadTipo>();
    QVERIFY(t);
    QCOMPARE(t->windowTitle(), QString("Manutenção de Tipo de Produtos"));
    QCOMPARE(t->PageControl->tabText(1), QString("Cadastro  "));
    QCOMPARE(t->Tb_Tipo->model()->columns().size(), 1);
    QCOMPARE(t->Tb_Tipo->model()->columns()[0].title, QString("TIPO PRODUTO"));
}

void TestProdutos::insertWithDefaultsByKeys()
{
    Ambiente amb;
    amb.menu("Cadastro_de_Produtos");
    auto *w = app::janela<FrmCadProduto>();
    tecla(w, Qt::Key_F4);
    QCOMPARE(w->PageControl->currentWidget(), w->TabSheet_Manutencao);
    QCOMPARE(w->EDIT_CODIGO->text(), QString("11")); // demo products go up to 10
    QCOMPARE(w->EDIT_ESTOQUE->valor()->toString(), QString("0.00"));
    QVERIFY(!w->EDIT_ESTOQUE->isEnabled());
    QVERIFY(w->EDIT_NOME->hasFocus());
    digita(w->EDIT_NOME, "requeijão cremoso");
    tecla(w, Qt::Key_Return);
    QVERIFY(w->EDIT_UNIDADE->hasFocus());
    digita(w->EDIT_UNIDADE, "kg");
    tecla(w, Qt::Key_Return);
    digita(w->EDIT_PESO, "0.25");
    tecla(w, Qt::Key_Return);
    QVERIFY(w->LKP_TIPO->hasFocus());
    escolheTipo(w, "QUEIJO");
    QTRY_VERIFY(w->EDIT_PRECO->hasFocus());
    digita(w->EDIT_PRECO, "12,345");
    w->CB_CATEGORIA->setCurrentIndex(1);
    emit w->CB_CATEGORIA->activated(1);
    tecla(w, Qt::Key_F7);
    QCOMPARE(w->Tb_Produto->state(), db::Dataset::State::Browse);
    QVERIFY(!w->Painel_Dados->isEnabled());
    QCOMPARE(w->EDIT_CODIGO->text(), QString("11"));
    auto r = amb.conexao().execute("select * from PRODUTO where CD_PRODUTO = 11");
    QCOMPARE(r.rowCount(), 1);
    QCOMPARE(r.value("NOME").toString(), QString("REQUEIJÃO CREMOSO"));
    QCOMPARE(r.value("UNIDADE").toString(), QString("KG"));
    QCOMPARE(r.value("PESO").value<db::Decimal>().toString(), QString("0.250"));
    QCOMPARE(r.value("PRECO_VENDA").value<db::Decimal>().toString(), QString("12.345"));
    QCOMPARE(r.value("CD_TIPO_FABRICADOS").toInt(), 2);
    QCOMPARE(r.value("CATEGORIA").toString(), QString("S"));
    QCOMPARE(r.value("ESTOQUE_ATUAL").value<db::Decimal>().toString(), QString("0.00"));
    QCOMPARE(r.value("QUANT_DEVOLVIDA").value<db::Decimal>().toString(), QString("0.00"));

    // alter by double-click: the name takes the cursor
    w->PageControl->setCurrentWidget(w->TabSheet_Consulta);
    emit w->Grid_Consulta->duploClique();
    QCOMPARE(w->PageControl->currentWidget(), w->TabSheet_Manutencao);
    QCOMPARE(w->Tb_Produto->state(), db::Dataset::State::Edit);
    QVERIFY(w->EDIT_NOME->hasFocus());
    digita(w->EDIT_NOME, " 200G");
    tecla(w, Qt::Key_F7);
    QCOMPARE(amb.conexao().execute("select NOME from PRODUTO where CD_PRODUTO = 11").value("NOME").toString(),
             QString("REQUEIJÃO CREMOSO 200G"));
}

void TestProdutos::firstProductAndTypeOfAnEmptyTableGetOne()
{
    Ambiente amb(false);
    amb.conexao().execute("delete from PRODUTO");
    auto *t = app::abreJanela<FrmCadTipo>();
    tecla(t, Qt::Key_F4);
    QCOMPARE(t->EDIT_CODIGO->text(), QString("1"));
    digita(t->EDIT_NOME, "manteiga");
    tecla(t, Qt::Key_F7);
    QCOMPARE(amb.conexao().execute("select NOME from TIPO_PRODUTOS_FABRICADOS where CD_TIPO_FABRICADOS = 1")
                 .value("NOME").toString(),
             QString("MANTEIGA"));
    t->close();

    auto *w = app::abreJanela<FrmCadProduto>();
    tecla(w, Qt::Key_F4);
    QCOMPARE(w->EDIT_CODIGO->text(), QString("1"));
    digita(w->EDIT_NOME, "LEITE");
    digita(w->EDIT_UNIDADE, "LT");
    escolheTipo(w, "MANTEIGA");
    tecla(w, Qt::Key_F7);
    QCOMPARE(conta(amb.conexao(), "select count(*) as N from PRODUTO where CD_PRODUTO = 1 and CD_TIPO_FABRICADOS = 1"), 1);
    tecla(w, Qt::Key_F4);
    QCOMPARE(w->EDIT_CODIGO->text(), QString("2")); // the maximum read afresh
    tecla(w, Qt::Key_F8);
}

void TestProdutos::requiredFields_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("unidade");
    QTest::addColumn<bool>("tipo");
    QTest::addColumn<bool>("aceito");
    QTest::newRow("all three") << "NATA" << "KG" << true << true;
    QTest::newRow("no name") << "" << "KG" << true << false;
    QTest::newRow("blank name") << "   " << "KG" << true << false;
    QTest::newRow("no unit") << "NATA" << "" << true << false;
    QTest::newRow("no type") << "NATA" << "KG" << false << false;
}

void TestProdutos::requiredFields()
{
    QFETCH(QString, nome);
    QFETCH(QString, unidade);
    QFETCH(bool, tipo);
    QFETCH(bool, aceito);
    Ambiente amb;
    auto *w = app::abreJanela<FrmCadProduto>();
    tecla(w, Qt::Key_F4);
    digita(w->EDIT_NOME, nome);
    digita(w->EDIT_UNIDADE, unidade);
    if (tipo)
        escolheTipo(w, "IOGURTE");
    w->EDIT_PRECO->setFocus();
    Mensagens m;
    tecla(w, Qt::Key_F7); // weight, price and category left empty
    if (aceito) {
        QCOMPARE(m.quantas(), 0);
        QCOMPARE(w->Tb_Produto->state(), db::Dataset::State::Browse);
        auto r = amb.conexao().execute("select * from PRODUTO where CD_PRODUTO = 11");
        QCOMPARE(r.rowCount(), 1);
        QVERIFY(r.value("PESO").isNull());
        QVERIFY(r.value("PRECO_VENDA").isNull());
        QVERIFY(r.value("CATEGORIA").isNull());
        QCOMPARE(r.value("CD_TIPO_FABRICADOS").toInt(), 3);
    } else {
        QCOMPARE(m.textos(), QStringList({"Preencha todos os campos!"}));
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Information);
        QCOMPARE(w->Tb_Produto->state(), db::Dataset::State::Insert);
        QTRY_VERIFY(w->EDIT_NOME->hasFocus());
        QCOMPARE(conta(amb.conexao(), "select count(*) as N from PRODUTO"), 10);
        tecla(w, Qt::Key_F8);
        QCOMPARE(w->Tb_Produto->recordCount(), 10);
    }
}

void TestProdutos::typeListDropsDownOnEntry()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmCadProduto>();
    auto *modelo = w->LKP_TIPO->model();
    QCOMPARE(modelo->headerData(0, Qt::Horizontal).toString(), QString("TIPO DO PRODUTO"));
    QCOMPARE(w->LKP_TIPO->count(), 3);
    QCOMPARE(w->LKP_TIPO->itemText(0), QString("IOGURTE")); // by name
    w->Tb_Produto->locate("CD_PRODUTO", 6);
    tecla(w, Qt::Key_F5);
    w->EDIT_PESO->setFocus();
    tecla(w, Qt::Key_Return);
    QVERIFY(w->LKP_TIPO->hasFocus());
    QTRY_VERIFY(w->LKP_TIPO->view()->isVisible());
    // the keys move in the list; Enter chooses and moves on
    QCOMPARE(w->LKP_TIPO->view()->currentIndex().row(), w->LKP_TIPO->findText("QUEIJO"));
    QTest::keyClick(w->LKP_TIPO->view(), Qt::Key_Up);
    QTest::keyClick(w->LKP_TIPO->view(), Qt::Key_Return);
    QTRY_VERIFY(!w->LKP_TIPO->view()->isVisible());
    QCOMPARE(w->LKP_TIPO->currentText(), QString("MANTEIGA"));
    QTRY_VERIFY(w->EDIT_PRECO->hasFocus());
    tecla(w, Qt::Key_F7);
    QCOMPARE(amb.conexao().execute("select CD_TIPO_FABRICADOS from PRODUTO where CD_PRODUTO = 6")
                 .value("CD_TIPO_FABRICADOS").toInt(),
             1);
    // recorded: the fields wait for the next insert or alter
    QVERIFY(!w->Painel_Dados->isEnabled());
}

void TestProdutos::deletionRules_data()
{
    // a product of its own (code 20) with the stock and the movement given;
    // the messages seen, and whether it is gone afterwards
    QTest::addColumn<QString>("estoque");
    QTest::addColumn<QString>("movimento");
    QTest::addColumn<int>("produto");
    QTest::addColumn<bool>("sim");
    QTest::addColumn<QStringList>("mensagens");
    QTest::addColumn<bool>("apagado");

    QTest::newRow("negative stock") << "-0.5" << "" << 20 << true
                                    << QStringList{"Impossível apagar! Estoque atual nao vazio"} << false;
    QTest::newRow("positive stock") << "3" << "" << 20 << true
                                    << QStringList{"Impossível apagar! Estoque atual nao vazio"} << false;
    QTest::newRow("milk") << "0" << "" << 1 << true
                          << QStringList{"Impossível apagar! O produto 1 é o leite da entrada de leite"} << false;
    QTest::newRow("purchase")
        << "0"
        << "insert into ENTRADA_PRODUTO (CD_ENTRADA, CD_FORNECEDOR, CD_PRODUTO, DTENTRADA, QUANT, TOTALKG, VLRUNIT, "
           "VLRTOTAL, PAGO) values (1, 4, 20, current_date, 5, 5, 2, 10, 'N')"
        << 20 << true << QStringList{kPergunta, "Impossível apagar! Apague a entrada primeiro "} << false;
    QTest::newRow("sale line")
        << "0"
        << "insert into ITENS_PEDIDOS (CD_ITENS_PEDIDOS, CD_PEDIDO, CD_PRODUTO, QUANTIDADE, PESO, VALOR_UNITARIO) "
           "values (1, 1, 20, 2, 2, 5)"
        << 20 << true << QStringList{kPergunta, "Impossível apagar! O produto consta em vendas"} << false;
    QTest::newRow("production line")
        << "0" << "insert into SAIDA_PRODUCAO (CD_SAIDA, CD_PRODUCAO, CD_PRODUTO, CATEGORIA, QUANT) values (1, 1, 20, 'S', 1)"
        << 20 << true << QStringList{kPergunta, "Impossível apagar! O produto consta em saídas para produção"} << false;
    QTest::newRow("produced item")
        << "0" << "insert into ITENS_PRODUCAO (CD_ITENSPRODUZIDOS, CD_PRODUCAO, CD_PRODUTO, QUANTIDADE) values (1, 1, 20, 4)"
        << 20 << true << QStringList{kPergunta, "Impossível apagar! O produto consta em itens produzidos"} << false;
    QTest::newRow("return")
        << "0"
        << "insert into DEVOLUCAO (CD_DEVOLUCAO, CD_PRODUTO, DT_DEVOLUCAO, QUANT_DEVOLVIDA, QUANT_REAPROVEITADA) "
           "values (1, 20, current_date, 1, 0)"
        << 20 << true << QStringList{kPergunta, "Impossível apagar! O produto consta em devoluções"} << false;
    QTest::newRow("special price")
        << "0" << "insert into CLIENTE_PRODUTO_DESCONTO (CD_CLIENTE, CD_PRODUTO, PRECO) values (3, 20, 4.5)"
        << 20 << true << QStringList{kPergunta, "Impossível apagar! O produto consta nos descontos de clientes"}
        << false;
    QTest::newRow("answered no") << "0" << "" << 20 << false << QStringList{kPergunta} << false;
    QTest::newRow("free") << "0" << "" << 20 << true << QStringList{kPergunta} << true;
}

void TestProdutos::deletionRules()
{
    QFETCH(QString, estoque);
    QFETCH(QString, movimento);
    QFETCH(int, produto);
    QFETCH(bool, sim);
    QFETCH(QStringList, mensagens);
    QFETCH(bool, apagado);
    Ambiente amb;
    db::Connection &c = amb.conexao();
    c.execute("insert into PRODUTO (CD_PRODUTO, NOME, UNIDADE, ESTOQUE_ATUAL, QUANT_DEVOLVIDA, CD_TIPO_FABRICADOS) "
              "values (20, 'DOCE DE LEITE', 'KG', 0, 0, 2)");
    if (!movimento.isEmpty())
        c.execute(movimento);
    // the stock as the case wants it, whatever the movement did to it
    c.execute("update PRODUTO set ESTOQUE_ATUAL = :E where CD_PRODUTO = :P",
              {{"E", db::Decimal::parse(estoque)->toVariant()}, {"P", produto}});

    auto *w = app::abreJanela<FrmCadProduto>();
    QVERIFY(w->Tb_Produto->locate("CD_PRODUTO", produto));
    const int linhas = w->Tb_Produto->recordCount();
    Mensagens m;
    m.responde(sim ? QMessageBox::Yes : QMessageBox::No);
    tecla(w, Qt::Key_F6);
    QCOMPARE(m.textos(), mensagens);
    for (int i = 0; i < m.quantas(); ++i)
        QCOMPARE(m.vistas()[i].icone, m.textos()[i] == kPergunta ? QMessageBox::Question : QMessageBox::Warning);
    const QString existe = QString("select count(*) as N from PRODUTO where CD_PRODUTO = %1").arg(produto);
    QCOMPARE(conta(c, existe), apagado ? 0 : 1);
    QCOMPARE(w->Tb_Produto->recordCount(), apagado ? linhas - 1 : linhas);
    QCOMPARE(w->Tb_Produto->changeCount(), 0);
    QCOMPARE(w->Tb_Produto->state(), db::Dataset::State::Browse);
    QVERIFY(w->Inserir->isEnabled());
}

void TestProdutos::stockIsReadWhenDeleting()
{
    // the list shows 0, but a stock adjustment elsewhere has since set it
    Ambiente amb;
    amb.conexao().execute("insert into PRODUTO (CD_PRODUTO, NOME, UNIDADE, ESTOQUE_ATUAL, QUANT_DEVOLVIDA, "
                          "CD_TIPO_FABRICADOS) values (20, 'DOCE DE LEITE', 'KG', 0, 0, 2)");
    auto *w = app::abreJanela<FrmCadProduto>();
    w->Tb_Produto->locate("CD_PRODUTO", 20);
    amb.outraConexao()->execute("update PRODUTO set ESTOQUE_ATUAL = 12 where CD_PRODUTO = 20");
    Mensagens m;
    m.responde(QMessageBox::Yes);
    tecla(w, Qt::Key_F6);
    QCOMPARE(m.textos(), QStringList({"Impossível apagar! Estoque atual nao vazio"}));
    QCOMPARE(conta(amb.conexao(), "select count(*) as N from PRODUTO where CD_PRODUTO = 20"), 1);
}

void TestProdutos::alteringNeverWritesTheStockBack()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmCadProduto>();
    w->Tb_Produto->locate("CD_PRODUTO", 4); // 40 in stock when the list was read
    // meanwhile a purchase and a return elsewhere
    amb.outraConexao()->execute(
        "update PRODUTO set ESTOQUE_ATUAL = ESTOQUE_ATUAL + 7, QUANT_DEVOLVIDA = QUANT_DEVOLVIDA + 2 where CD_PRODUTO = 4");
    tecla(w, Qt::Key_F5);
    digita(w->EDIT_NOME, " SEM SAL");
    tecla(w, Qt::Key_F7);
    auto r = amb.conexao().execute("select NOME, ESTOQUE_ATUAL, QUANT_DEVOLVIDA from PRODUTO where CD_PRODUTO = 4");
    QCOMPARE(r.value("NOME").toString(), QString("MANTEIGA 200G SEM SAL"));
    QCOMPARE(r.value("ESTOQUE_ATUAL").value<db::Decimal>().toString(), QString("47.00"));
    QCOMPARE(r.value("QUANT_DEVOLVIDA").value<db::Decimal>().toString(), QString("2.00"));
}

void TestProdutos::emptyTableRefusesAlterAndDelete()
{
    Ambiente amb(false);
    amb.conexao().execute("delete from PRODUTO");
    auto *w = app::abreJanela<FrmCadProduto>();
    auto *t = app::abreJanela<FrmCadTipo>();
    Mensagens m;
    tecla(w, Qt::Key_F5);
    tecla(w, Qt::Key_F6);
    tecla(t, Qt::Key_F5);
    tecla(t, Qt::Key_F6);
    QCOMPARE(m.textos(), QStringList({kVazio, kVazio, kVazio, kVazio}));
    for (const auto &v : m.vistas())
        QCOMPARE(v.icone, QMessageBox::Critical);
    QCOMPARE(w->Tb_Produto->state(), db::Dataset::State::Browse);
    QCOMPARE(t->Tb_Tipo->state(), db::Dataset::State::Browse);
}

void TestProdutos::tabChangeAsksNothingAndTheListWaits()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmCadProduto>();
    const QString atual = w->Tb_Produto->text("NOME");
    tecla(w, Qt::Key_F5);
    digita(w->EDIT_NOME, "X");
    Mensagens m;
    w->PageControl->setCurrentWidget(w->TabSheet_Consulta);
    QCOMPARE(m.quantas(), 0);
    QCOMPARE(w->PageControl->currentWidget(), w->TabSheet_Consulta);
    // the list cannot carry the row being edited away
    QVERIFY(!w->Grid_Consulta->isEnabled());
    QCOMPARE(w->Tb_Produto->state(), db::Dataset::State::Edit);
    w->PageControl->setCurrentWidget(w->TabSheet_Manutencao);
    tecla(w, Qt::Key_F8);
    QVERIFY(w->Grid_Consulta->isEnabled());
    QCOMPARE(w->Tb_Produto->text("NOME"), atual);
    QCOMPARE(w->Tb_Produto->changeCount(), 0);
    // closing while editing asks the standard question; No keeps the edit
    tecla(w, Qt::Key_F4);
    m.responde(QMessageBox::No);
    QVERIFY(!w->close());
    QCOMPARE(m.textos().last(), app::FormCadastro::perguntaCancelamento());
    QCOMPARE(w->Tb_Produto->state(), db::Dataset::State::Insert);
    tecla(w, Qt::Key_F8);

    auto *t = app::abreJanela<FrmCadTipo>();
    tecla(t, Qt::Key_F5);
    const int antes = m.quantas();
    t->PageControl->setCurrentWidget(t->TabSheet_Consulta);
    QCOMPARE(m.quantas(), antes);
    QVERIFY(!t->Grid_Consulta->isEnabled());
    tecla(t, Qt::Key_F8);
}

void TestProdutos::typeRegistry()
{
    Ambiente amb;
    amb.menu("Cadastro_Tipo_Produto");
    auto *t = app::janela<FrmCadTipo>();
    QCOMPARE(t->Tb_Tipo->recordCount(), 3);
    tecla(t, Qt::Key_F4);
    QCOMPARE(t->PageControl->currentWidget(), t->TabSheet_Manutencao);
    QCOMPARE(t->EDIT_CODIGO->text(), QString("4"));
    QVERIFY(t->EDIT_NOME->hasFocus());
    {
        Mensagens m;
        tecla(t, Qt::Key_F7);
        QCOMPARE(m.textos(), QStringList({"Peencha os campos! (Campos marcados com *)"}));
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Information);
    }
    QCOMPARE(t->Tb_Tipo->state(), db::Dataset::State::Insert);
    QCOMPARE(conta(amb.conexao(), "select count(*) as N from TIPO_PRODUTOS_FABRICADOS"), 3);
    digita(t->EDIT_NOME, "requeijão");
    tecla(t, Qt::Key_F7);
    QCOMPARE(amb.conexao().execute("select NOME from TIPO_PRODUTOS_FABRICADOS where CD_TIPO_FABRICADOS = 4")
                 .value("NOME").toString(),
             QString("REQUEIJÃO"));
    // alter by F5
    tecla(t, Qt::Key_F5);
    QCOMPARE(t->Tb_Tipo->state(), db::Dataset::State::Edit);
    digita(t->EDIT_NOME, " CREMOSO");
    tecla(t, Qt::Key_F7);
    QCOMPARE(amb.conexao().execute("select NOME from TIPO_PRODUTOS_FABRICADOS where CD_TIPO_FABRICADOS = 4")
                 .value("NOME").toString(),
             QString("REQUEIJÃO CREMOSO"));
    // the new type is offered by a product registry opened afterwards
    auto *w = app::abreJanela<FrmCadProduto>();
    QVERIFY(w->LKP_TIPO->findText("REQUEIJÃO CREMOSO") >= 0);
}

void TestProdutos::typeDeletionRules_data()
{
    QTest::addColumn<int>("tipo");
    QTest::addColumn<bool>("sim");
    QTest::addColumn<QStringList>("mensagens");
    QTest::addColumn<bool>("apagado");
    QTest::newRow("used by products") << 2 << true
                                      << QStringList{kPergunta, "Não pode ser apagado por pertencer a produtos"} << false;
    QTest::newRow("used by a production run")
        << 4 << true << QStringList{kPergunta, "Não pode ser apagado por pertencer a produções"} << false;
    QTest::newRow("answered no") << 5 << false << QStringList{kPergunta} << false;
    QTest::newRow("free") << 5 << true << QStringList{kPergunta} << true;
}

void TestProdutos::typeDeletionRules()
{
    QFETCH(int, tipo);
    QFETCH(bool, sim);
    QFETCH(QStringList, mensagens);
    QFETCH(bool, apagado);
    Ambiente amb;
    db::Connection &c = amb.conexao();
    c.execute("insert into TIPO_PRODUTOS_FABRICADOS (CD_TIPO_FABRICADOS, NOME) values (4, 'DOCE')");
    c.execute("insert into TIPO_PRODUTOS_FABRICADOS (CD_TIPO_FABRICADOS, NOME) values (5, 'BEBIDA LACTEA')");
    c.execute("insert into PRODUCAO (CD_PRODUCAO, DT_PRODUCAO, CD_TIPO_FABRICADOS) values (1, current_date, 4)");
    auto *t = app::abreJanela<FrmCadTipo>();
    QVERIFY(t->Tb_Tipo->locate("CD_TIPO_FABRICADOS", tipo));
    Mensagens m;
    m.responde(sim ? QMessageBox::Yes : QMessageBox::No);
    tecla(t, Qt::Key_F6);
    QCOMPARE(m.textos(), mensagens);
    if (mensagens.size() > 1)
        QCOMPARE(m.vistas()[1].icone, QMessageBox::Warning);
    QCOMPARE(conta(c, QString("select count(*) as N from TIPO_PRODUTOS_FABRICADOS where CD_TIPO_FABRICADOS = %1").arg(tipo)),
             apagado ? 0 : 1);
    QCOMPARE(t->Tb_Tipo->recordCount(), apagado ? 4 : 5);
}

QTEST_MAIN(TestProdutos)
#include "test_produtos.moc"
