// The supplier registry driven by keys: codes, defaults, masks, the milk
// price taken from the configuration, the search, the debit that forbids
// deletion and the history that turns deletion into deactivation.

#include "app/camposdb.h"
#include "app/frmprincipal.h"
#include "db/dataset.h"
#include "suppliers/frmcadfornecedor.h"
#include "suppliers/frmentleite.h"
#include "support/gui.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QtTest>

using fornecedores::FrmCadFornecedor;
using fornecedores::FrmEntLeite;
using testsupport::Ambiente;
using testsupport::digita;
using testsupport::Mensagens;
using testsupport::tecla;

namespace {

db::Result fornecedor(Ambiente &amb, int cd)
{
    return amb.conexao().execute("select * from FORNECEDOR where CD_FORNECEDOR = :C", {{"C", cd}});
}

QString preco(Ambiente &amb, int cd)
{
    const QVariant v = fornecedor(amb, cd).value("PRECO");
    return v.isNull() ? QString("NULL") : db::Decimal::fromVariant(v, 2).toString();
}

} // namespace

class TestFornecedores : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstSupplierOfAnEmptyTable();
    void fieldsInTabOrderAndRequiredName();
    void milkPriceFromTheConfiguration_data();
    void milkPriceFromTheConfiguration();
    void priceKeptWhenTheConfigurationChanges();
    void enterInThePriceAsksToRecord_data();
    void enterInThePriceAsksToRecord();
    void searchLocatesByName();
    void deletionRefusedWithADebit_data();
    void deletionRefusedWithADebit();
    void deletionWithHistoryDeactivates_data();
    void deletionWithHistoryDeactivates();
    void untickingActiveHidesTheSupplier();
};

void TestFornecedores::firstSupplierOfAnEmptyTable()
{
    Ambiente amb(false);
    amb.menu("Cadastros_de_Fornecedores");
    auto *w = app::janela<FrmCadFornecedor>();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QString("Manutenção do Cadastro de Fornecedor"));
    QCOMPARE(w->PageControl->tabText(1), QString("Cadastro  "));
    QVERIFY(w->Tb_Fornecedor->isEmpty());
    {
        Mensagens m;
        w->AlterarClick();
        w->DeletarClick();
        QCOMPARE(m.textos(), QStringList({"O Banco de Dados está vazio !!!", "O Banco de Dados está vazio !!!"}));
    }
    tecla(w, Qt::Key_F4);
    QCOMPARE(w->PageControl->currentWidget(), w->TabSheet_Manutencao);
    QCOMPARE(w->EDIT_CODIGO->text(), QString("1"));
    QVERIFY(w->EDIT_NOME->hasFocus());
    QVERIFY(w->CB_ATIVO->isChecked());
    QCOMPARE(w->EDIT_DTCADASTRO->data(), QDate::currentDate());
    digita(w->EDIT_NOME, "joão da silva");
    tecla(w, Qt::Key_Return);
    tecla(w, Qt::Key_Return);
    QVERIFY(w->EDIT_CPF->hasFocus());
    digita(w->EDIT_CPF, "12345678909");
    for (int i = 0; i < 4; ++i)
        tecla(w, Qt::Key_Return);
    QVERIFY(w->EDIT_TELEFONE->hasFocus());
    digita(w->EDIT_TELEFONE, "3534211000");
    QCOMPARE(w->EDIT_CPF->text(), QString("123.456.789-09"));
    QCOMPARE(w->EDIT_TELEFONE->text(), QString("(35)3421-1000"));
    tecla(w, Qt::Key_F7);
    QCOMPARE(w->Tb_Fornecedor->state(), db::Dataset::State::Browse);
    const db::Result r = fornecedor(amb, 1);
    QCOMPARE(r.value("NOME").toString(), QString("JOÃO DA SILVA"));
    QCOMPARE(r.value("CPF").toString(), QString("12345678909"));
    QCOMPARE(r.value("TELEFONE").toString(), QString("3534211000"));
    QCOMPARE(r.value("ATIVO").toString(), QString("S"));
    QCOMPARE(r.value("DT_CADASTRO").toDate(), QDate::currentDate());
    QVERIFY(db::Decimal::fromVariant(r.value("TOTAL_DEBITO")).isZero());
    QVERIFY(db::Decimal::fromVariant(r.value("VALORVALE")).isZero());
    QVERIFY(r.value("MONTAVALE").isNull());
    // shown again with the masks
    QCOMPARE(w->EDIT_CPF->text(), QString("123.456.789-09"));
    tecla(w, Qt::Key_F4);
    QCOMPARE(w->EDIT_CODIGO->text(), QString("2"));
    tecla(w, Qt::Key_F8);
}

void TestFornecedores::fieldsInTabOrderAndRequiredName()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmCadFornecedor>();
    tecla(w, Qt::Key_F4);
    const QList<QWidget *> ordem = {w->EDIT_NOME,     w->EDIT_FAZENDA, w->EDIT_CPF, w->EDIT_RG,
                                    w->EDIT_ENDERECO, w->EDIT_CIDADE,  w->EDIT_TELEFONE, w->EDIT_CONTATO,
                                    w->CB_ATIVO,      w->EDIT_AG,      w->EDIT_CONTA,    w->EDIT_PRECO};
    for (int i = 0; i < ordem.size(); ++i) {
        QVERIFY2(ordem[i]->hasFocus(), qPrintable(ordem[i]->objectName()));
        if (i + 1 < ordem.size())
            tecla(w, Qt::Key_Return);
    }
    QVERIFY(!w->GB_Debito->isEnabled());
    {
        Mensagens m;
        tecla(w, Qt::Key_F7); // no name
        QCOMPARE(m.textos(), QStringList({"Peencha os campos! (Digite o nome do Fornecedor !)"}));
    }
    QTRY_VERIFY(w->EDIT_NOME->hasFocus());
    QCOMPARE(w->Tb_Fornecedor->state(), db::Dataset::State::Insert);
    tecla(w, Qt::Key_F8);
    QCOMPARE(amb.conexao().execute("select count(*) as N from FORNECEDOR").value("N").toInt(), 4);
}

void TestFornecedores::milkPriceFromTheConfiguration_data()
{
    QTest::addColumn<QString>("digitado");
    QTest::addColumn<QString>("gravado");
    QTest::newRow("empty takes the configured price") << "" << "2.35";
    QTest::newRow("typed price kept") << "2,5" << "2.50";
    QTest::newRow("typed with the point key") << "2.61" << "2.61";
    QTest::newRow("zero is a price") << "0" << "0.00";
}

void TestFornecedores::milkPriceFromTheConfiguration()
{
    QFETCH(QString, digitado);
    QFETCH(QString, gravado);
    Ambiente amb;
    amb.menu("Cadastros_de_Fornecedores");
    auto *w = app::janela<FrmCadFornecedor>();
    tecla(w, Qt::Key_F4);
    digita(w->EDIT_NOME, "novo");
    w->EDIT_PRECO->setFocus();
    digita(w->EDIT_PRECO, digitado);
    tecla(w, Qt::Key_F7);
    QCOMPARE(preco(amb, 5), gravado);
    QCOMPARE(w->EDIT_PRECO->valor()->toString(), gravado);
    // altering an existing supplier and emptying the price does the same
    tecla(w, Qt::Key_F5);
    w->EDIT_PRECO->setFocus();
    w->EDIT_PRECO->selectAll();
    tecla(w, Qt::Key_Backspace);
    tecla(w, Qt::Key_F7);
    QCOMPARE(preco(amb, 5), QString("2.35"));
}

void TestFornecedores::priceKeptWhenTheConfigurationChanges()
{
    Ambiente amb;
    amb.conexao().execute("update CONFIGURACAO set PRECO_LEITE = 2.80");
    // an open window shows the price the main window read last ...
    amb.menu("Cadastros_de_Fornecedores");
    auto *w = app::janela<FrmCadFornecedor>();
    tecla(w, Qt::Key_F4);
    digita(w->EDIT_NOME, "primeiro");
    tecla(w, Qt::Key_F7);
    QCOMPARE(preco(amb, 5), QString("2.80"));
    // ... the menu item reads it again, and earlier suppliers keep theirs
    amb.conexao().execute("update CONFIGURACAO set PRECO_LEITE = 3.10");
    amb.menu("Cadastros_de_Fornecedores");
    QCOMPARE(app::janela<FrmCadFornecedor>(), w);
    tecla(w, Qt::Key_F4);
    digita(w->EDIT_NOME, "segundo");
    tecla(w, Qt::Key_F7);
    QCOMPARE(preco(amb, 6), QString("3.10"));
    QCOMPARE(preco(amb, 5), QString("2.80"));
    // with no configured price the price stays empty
    amb.conexao().execute("update CONFIGURACAO set PRECO_LEITE = NULL");
    amb.menu("Cadastros_de_Fornecedores");
    tecla(w, Qt::Key_F4);
    digita(w->EDIT_NOME, "terceiro");
    tecla(w, Qt::Key_F7);
    QCOMPARE(preco(amb, 7), QString("NULL"));
}

void TestFornecedores::enterInThePriceAsksToRecord_data()
{
    QTest::addColumn<bool>("sim");
    QTest::newRow("yes records") << true;
    QTest::newRow("no keeps editing") << false;
}

void TestFornecedores::enterInThePriceAsksToRecord()
{
    QFETCH(bool, sim);
    Ambiente amb;
    auto *w = app::abreJanela<FrmCadFornecedor>();
    tecla(w, Qt::Key_F4);
    digita(w->EDIT_NOME, "pelo enter");
    w->EDIT_PRECO->setFocus();
    digita(w->EDIT_PRECO, "2,45");
    Mensagens m;
    m.responde(sim ? QMessageBox::Yes : QMessageBox::No);
    tecla(w, Qt::Key_Return);
    QCOMPARE(m.textos(), QStringList({" Gravar ?"}));
    QCOMPARE(m.vistas()[0].icone, QMessageBox::Information);
    QCOMPARE(m.vistas()[0].botoes, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(w->Tb_Fornecedor->isEditing(), !sim);
    QCOMPARE(preco(amb, 5), sim ? QString("2.45") : QString("NULL"));
    if (!sim)
        tecla(w, Qt::Key_F8);
}

void TestFornecedores::searchLocatesByName()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmCadFornecedor>();
    QCOMPARE(w->Label_consulta->text(), QString("CONSULTA POR FORNECEDOR"));
    // active suppliers by name
    QStringList nomes;
    for (int i = 0; i < w->Tb_Fornecedor->recordCount(); ++i)
        nomes << w->Tb_Fornecedor->value(i, "NOME").toString();
    QCOMPARE(nomes, QStringList({"EMBALAGENS MINAS LTDA", "JOSE APARECIDO DA SILVA", "MARIA DAS GRAÇAS PEREIRA",
                                 "SEBASTIÃO RIBEIRO"}));
    digita(w->Edit_consulta, "ma");
    QCOMPARE(w->Edit_consulta->text(), QString("MA"));
    QCOMPARE(w->Tb_Fornecedor->value("CD_FORNECEDOR").toInt(), 2);
    digita(w->Edit_consulta, "z"); // nothing starts so: the row stays, nothing hidden
    QCOMPARE(w->Tb_Fornecedor->value("CD_FORNECEDOR").toInt(), 2);
    QCOMPARE(w->Tb_Fornecedor->recordCount(), 4);
    QCOMPARE(w->Grid_Consulta->model()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QString("PREÇO"));
}

void TestFornecedores::deletionRefusedWithADebit_data()
{
    QTest::addColumn<QString>("debito");
    QTest::newRow("positive") << "150.00";
    QTest::newRow("negative") << "-0.50";
}

void TestFornecedores::deletionRefusedWithADebit()
{
    QFETCH(QString, debito);
    Ambiente amb;
    amb.conexao().execute("update FORNECEDOR set TOTAL_DEBITO = " + debito + " where CD_FORNECEDOR = 3");
    auto *w = app::abreJanela<FrmCadFornecedor>();
    QVERIFY(w->Tb_Fornecedor->locate("CD_FORNECEDOR", 3));
    Mensagens m;
    m.responde(QMessageBox::Yes);
    tecla(w, Qt::Key_F6);
    QCOMPARE(m.textos(), QStringList({"Fornecedor com debito Impossivel apagar!"}));
    QCOMPARE(m.vistas()[0].icone, QMessageBox::Critical);
    const db::Result r = fornecedor(amb, 3);
    QCOMPARE(r.rowCount(), 1);
    QCOMPARE(r.value("ATIVO").toString(), QString("S"));
    QCOMPARE(w->Tb_Fornecedor->recordCount(), 4);
}

void TestFornecedores::deletionWithHistoryDeactivates_data()
{
    QTest::addColumn<QString>("historico");
    QTest::addColumn<bool>("desativa");
    QTest::newRow("no history: deleted") << QString() << false;
    QTest::newRow("milk delivery")
        << "insert into ENTRADA_PRODUTO (CD_ENTRADA, CD_FORNECEDOR, CD_PRODUTO, QUANTLTBOM, QUANTLTACIDO, DTENTRADA, "
           "PAGO) values (1, 3, 1, 120, 0, current_date, 'N')"
        << true;
    QTest::newRow("purchase of a product")
        << "insert into ENTRADA_PRODUTO (CD_ENTRADA, CD_FORNECEDOR, CD_PRODUTO, QUANT, VLRTOTAL, DTENTRADA, PAGO) "
           "values (1, 3, 8, 10, 25, current_date, 'N')"
        << true;
    QTest::newRow("settled voucher")
        << "insert into ADIANTAMENTO (CD_ADIANTAMENTO, CD_FORNECEDOR, VALOR, DTVALE, DESCRICAO, ACAO, LANCADO, "
           "IMPRESSO, PAGO) values (1, 3, 50, current_date, 'VALE', 'S', 'S', 'N', 'S')"
        << true;
    QTest::newRow("payment sheet line")
        << "insert into PAGAMENTO_FORNECEDOR (CD_PAG_FORNECEDOR, DATAFOLHA, CD_FORNECEDOR, NOME) "
           "values (1, current_date, 3, 'SEBASTIÃO RIBEIRO')"
        << true;
}

void TestFornecedores::deletionWithHistoryDeactivates()
{
    QFETCH(QString, historico);
    QFETCH(bool, desativa);
    Ambiente amb;
    if (!historico.isEmpty())
        amb.conexao().execute(historico);
    auto *w = app::abreJanela<FrmCadFornecedor>();
    QVERIFY(w->Tb_Fornecedor->locate("CD_FORNECEDOR", 3));
    {
        Mensagens m;
        m.responde(QMessageBox::No);
        tecla(w, Qt::Key_F6);
        QCOMPARE(m.textos(), QStringList({"Deseja realmente deletar o registro ???"}));
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Question);
        QCOMPARE(fornecedor(amb, 3).value("ATIVO").toString(), QString("S"));
    }
    {
        Mensagens m;
        m.responde(QMessageBox::Yes);
        tecla(w, Qt::Key_F6);
        QCOMPARE(m.quantas(), 1);
    }
    const db::Result r = fornecedor(amb, 3);
    QCOMPARE(r.rowCount(), desativa ? 1 : 0);
    if (desativa)
        QCOMPARE(r.value("ATIVO").toString(), QString("N"));
    // gone from the list either way
    QCOMPARE(w->Tb_Fornecedor->recordCount(), 3);
    QVERIFY(!w->Tb_Fornecedor->locate("CD_FORNECEDOR", 3));
    // and from the milk intake's supplier lookup
    auto *leite = app::abreJanela<FrmEntLeite>();
    QVERIFY(!leite->Tb_Fornecedor->lookup("CD_FORNECEDOR", 3, "NOME").isValid());
    QCOMPARE(leite->Tb_Fornecedor->recordCount(), 3);
    if (historico.contains("CD_PRODUTO, QUANTLTBOM")) {
        // its delivery stays, listed without a name
        QCOMPARE(leite->Q_Entradas->recordCount(), 1);
        QCOMPARE(leite->Q_Entradas->text("FORNECEDOR"), QString());
    }
}

void TestFornecedores::untickingActiveHidesTheSupplier()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmCadFornecedor>();
    QVERIFY(w->Tb_Fornecedor->locate("CD_FORNECEDOR", 2));
    tecla(w, Qt::Key_F5);
    w->CB_ATIVO->click();
    tecla(w, Qt::Key_F7);
    QCOMPARE(fornecedor(amb, 2).value("ATIVO").toString(), QString("N"));
    QCOMPARE(w->Tb_Fornecedor->recordCount(), 3);
    QVERIFY(!w->Tb_Fornecedor->locate("CD_FORNECEDOR", 2));
}

QTEST_MAIN(TestFornecedores)
#include "test_fornecedores.moc"
