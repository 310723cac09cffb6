// Daily milk intake driven by keys: good and acid rows, continuous entry,
// the duplicate rule, alterations and deletions with the stock of milk
// following in the same transaction, settled deliveries, and the totals
// of each date.

#include "app/camposdb.h"
#include "app/formcadastro.h"
#include "app/frmprincipal.h"
#include "app/rotinas.h"
#include "db/dataset.h"
#include "suppliers/frmentleite.h"
#include "support/gui.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using fornecedores::FrmEntLeite;
using Modo = FrmEntLeite::Modo;
using testsupport::Ambiente;
using testsupport::digita;
using testsupport::Mensagens;
using testsupport::tecla;

namespace {

QString litros(const QVariant &v)
{
    return db::Decimal::fromVariant(v, 2).toString();
}

QString estoque(Ambiente &amb)
{
    return litros(amb.conexao().execute("select ESTOQUE_ATUAL from PRODUTO where CD_PRODUTO = 1").value("ESTOQUE_ATUAL"));
}

// The milk rows of a date as "supplier:good/acid", in the order stored.
QStringList entradas(Ambiente &amb, const QDate &dia = QDate::currentDate())
{
    const db::Result r = amb.conexao().execute(
        "select CD_FORNECEDOR, QUANTLTBOM, QUANTLTACIDO, PAGO from ENTRADA_PRODUTO "
        "where CD_PRODUTO = 1 and DTENTRADA = :D order by CD_ENTRADA",
        {{"D", dia}});
    QStringList linhas;
    for (int i = 0; i < r.rowCount(); ++i)
        linhas << QStringLiteral("%1:%2/%3")
                      .arg(r.value(i, "CD_FORNECEDOR").toInt())
                      .arg(litros(r.value(i, "QUANTLTBOM")), litros(r.value(i, "QUANTLTACIDO")));
    return linhas;
}

// Chooses the supplier in the lookup's dialog, opened with F2.
void escolhe(FrmEntLeite *w, int fornecedor)
{
    w->LKP_Fornecedor->setFocus(Qt::TabFocusReason);
    testsupport::quandoAbrir<app::DialogoEscolha>([fornecedor](app::DialogoEscolha *d) {
        QCOMPARE(d->windowTitle(), QString("Escolha o Fornecedor"));
        d->grade()->dataset()->locate("CD_FORNECEDOR", fornecedor);
        d->accept();
    });
    tecla(w, Qt::Key_F2);
    QCOMPARE(w->LKP_Fornecedor->chave().toInt(), fornecedor);
    // the offscreen platform does not hand the focus back by itself
    w->window()->activateWindow();
    QTRY_VERIFY(w->LKP_Fornecedor->hasFocus());
}

// Types one delivery into the entry panel (the window is inserting or
// altering) and records it with Enter on "Gravar".
void digitaEntrada(FrmEntLeite *w, int fornecedor, bool bom, const QString &quantidade)
{
    (bom ? w->RB_Bom : w->RB_Acido)->click();
    escolhe(w, fornecedor);
    tecla(w, Qt::Key_Return);
    QVERIFY(w->Edit_Quantidade->hasFocus());
    w->Edit_Quantidade->selectAll();
    digita(w->Edit_Quantidade, quantidade);
    tecla(w, Qt::Key_Return);
    QVERIFY(w->Gravar->hasFocus());
    tecla(w, Qt::Key_Return);
}

void insereNoBanco(Ambiente &amb, int fornecedor, const char *bom, const char *acido, const QDate &dia,
                   const char *pago = "N")
{
    amb.conexao().execute(QStringLiteral("insert into ENTRADA_PRODUTO (CD_ENTRADA, CD_FORNECEDOR, CD_PRODUTO, "
                                         "QUANTLTBOM, QUANTLTACIDO, DTENTRADA, PAGO) values (1, :F, 1, %1, %2, :D, '%3')")
                              .arg(QLatin1String(bom), QLatin1String(acido), QLatin1String(pago)),
                          {{"F", fornecedor}, {"D", dia}});
}

QStringList botoesLigados(FrmEntLeite *w)
{
    QStringList on;
    for (QPushButton *b : {w->Entrada, w->Alterar, w->Deletar, w->Cancelar, w->Primeiro, w->Anterior, w->Proximo,
                           w->Ultimo, w->Sair}) {
        if (b->isEnabled())
            on << b->objectName();
    }
    return on;
}

} // namespace

class TestEntradaLeite : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void goodAndAcidRowsAndContinuousEntry();
    void chooserOfActiveSuppliersByName();
    void emptyFieldsAndQuantities_data();
    void emptyFieldsAndQuantities();
    void notANumberIsReported();
    void secondGoodRowRefusedOnInsert_data();
    void secondGoodRowRefusedOnInsert();
    void secondGoodRowRefusedOnAlteration();
    void unchangedAlterationAndGoodToAcid();
    void alterationUsesWhatTheDatabaseHolds();
    void deletionAfterBothQuestions_data();
    void deletionAfterBothQuestions();
    void settledDeliveryRefused();
    void saveAndStockTogetherOrNeither();
    void totalsPerDate();
    void dateFieldCancelsAndCloseQuestion();
};

void TestEntradaLeite::goodAndAcidRowsAndContinuousEntry()
{
    Ambiente amb;
    amb.menu("Entrada_de_Leite");
    auto *w = app::janela<FrmEntLeite>();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QString("Entrada de Leite"));
    QCOMPARE(w->Edit_Data->data(), QDate::currentDate());
    QVERIFY(!w->Painel_Entrada->isEnabled());
    QCOMPARE(botoesLigados(w), QStringList({"Entrada", "Alterar", "Deletar", "Primeiro", "Anterior", "Proximo",
                                            "Ultimo", "Sair"}));
    QCOMPARE(w->lb_TotalBom->text(), QString("0 LITROS"));
    QVERIFY(!w->Apagar_Entrada->isEnabled());

    tecla(w, Qt::Key_F4);
    QCOMPARE(w->modo(), Modo::Inserindo);
    QVERIFY(w->Painel_Entrada->isEnabled());
    QVERIFY(!w->Grid_Entradas->isEnabled());
    QCOMPARE(botoesLigados(w), QStringList({"Cancelar", "Sair"}));
    QVERIFY(w->RB_Bom->hasFocus());
    // Enter walks the panel: the supplier, the quantity, "Gravar"
    tecla(w, Qt::Key_Return);
    QVERIFY(w->LKP_Fornecedor->hasFocus());

    digitaEntrada(w, 1, true, "120,5");
    // recorded, and the next delivery starts at once with the kind kept
    QCOMPARE(w->modo(), Modo::Inserindo);
    QVERIFY(w->LKP_Fornecedor->texto().isEmpty());
    QVERIFY(w->Edit_Quantidade->text().isEmpty());
    QVERIFY(w->RB_Bom->isChecked());
    QVERIFY(w->RB_Bom->hasFocus());
    digitaEntrada(w, 1, false, "30");
    digitaEntrada(w, 2, true, "80");
    QCOMPARE(entradas(amb), QStringList({"1:120.50/0.00", "1:0.00/30.00", "2:80.00/0.00"}));
    QCOMPARE(amb.conexao().execute("select count(*) as N from ENTRADA_PRODUTO where PAGO = 'N'").value("N").toInt(), 3);
    QCOMPARE(estoque(amb), QString("230.50"));
    QCOMPARE(w->lb_TotalBom->text(), QString("200,5 LITROS"));
    QCOMPARE(w->lb_TotalAcido->text(), QString("30 LITROS"));
    QCOMPARE(w->Q_Entradas->recordCount(), 3);
    QCOMPARE(w->Q_Entradas->value(0, "FORNECEDOR").toString(), QString("JOSE APARECIDO DA SILVA"));

    // F8: browsing, the list's current row shown in the fields
    tecla(w, Qt::Key_F8);
    QCOMPARE(w->modo(), Modo::Navegando);
    QVERIFY(!w->Painel_Entrada->isEnabled());
    QVERIFY(w->Apagar_Entrada->isEnabled());
    w->Q_Entradas->setRecNo(1);
    QCOMPARE(w->LKP_Fornecedor->chave().toInt(), 1);
    QCOMPARE(w->lb_NomeFornecedor->text(), QString("JOSE APARECIDO DA SILVA"));
    QVERIFY(w->RB_Acido->isChecked());
    QCOMPARE(w->Edit_Quantidade->text(), QString("30,00"));
}

void TestEntradaLeite::chooserOfActiveSuppliersByName()
{
    Ambiente amb;
    amb.conexao().execute("update FORNECEDOR set ATIVO = 'N' where CD_FORNECEDOR = 4");
    auto *w = app::abreJanela<FrmEntLeite>();
    tecla(w, Qt::Key_F4);
    tecla(w, Qt::Key_Return);
    QVERIFY(w->LKP_Fornecedor->hasFocus());
    QStringList vistos;
    testsupport::quandoAbrir<app::DialogoEscolha>([&](app::DialogoEscolha *d) {
        auto *modelo = d->grade()->model();
        for (int c = 0; c < modelo->columnCount(); ++c)
            vistos << modelo->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        for (int r = 0; r < modelo->rowCount(); ++r)
            vistos << modelo->index(r, 0).data().toString();
        digita(d->busca(), "seb"); // the search goes by name
        tecla(d, Qt::Key_Return);      // Enter is the chooser's, not the window's
    });
    tecla(w, Qt::Key_Space);
    QCOMPARE(vistos, QStringList({"NOME", "FAZENDA", "PRECO", "JOSE APARECIDO DA SILVA", "MARIA DAS GRAÇAS PEREIRA",
                                  "SEBASTIÃO RIBEIRO"}));
    QCOMPARE(w->LKP_Fornecedor->chave().toInt(), 3);
    QCOMPARE(w->lb_NomeFornecedor->text(), QString("SEBASTIÃO RIBEIRO"));
    tecla(w, Qt::Key_F8);
}

void TestEntradaLeite::emptyFieldsAndQuantities_data()
{
    QTest::addColumn<int>("fornecedor");
    QTest::addColumn<QString>("quantidade");
    QTest::addColumn<bool>("semData");
    QTest::newRow("no supplier") << 0 << "10" << false;
    QTest::newRow("no quantity") << 1 << "" << false;
    QTest::newRow("zero litres") << 1 << "0" << false;
    QTest::newRow("negative litres") << 1 << "-5" << false;
    QTest::newRow("no date") << 1 << "10" << true;
}

void TestEntradaLeite::emptyFieldsAndQuantities()
{
    QFETCH(int, fornecedor);
    QFETCH(QString, quantidade);
    QFETCH(bool, semData);
    Ambiente amb;
    auto *w = app::abreJanela<FrmEntLeite>();
    tecla(w, Qt::Key_F4);
    if (semData)
        w->Edit_Data->setTexto(QString());
    if (fornecedor)
        escolhe(w, fornecedor);
    w->Edit_Quantidade->setFocus(Qt::TabFocusReason);
    digita(w->Edit_Quantidade, quantidade);
    Mensagens m;
    w->Gravar->click();
    QCOMPARE(m.textos(), QStringList({"Preencha os campos, Data, Quantidade, Valor e Fornecedor"}));
    QCOMPARE(m.vistas()[0].icone, QMessageBox::Information);
    QCOMPARE(m.vistas()[0].botoes, QMessageBox::StandardButtons(QMessageBox::Yes));
    QCOMPARE(w->modo(), Modo::Inserindo);
    QCOMPARE(w->Edit_Quantidade->text(), quantidade); // as typed
    QCOMPARE(entradas(amb), QStringList());
    QCOMPARE(estoque(amb), QString("0.00"));
}

void TestEntradaLeite::notANumberIsReported()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmEntLeite>();
    tecla(w, Qt::Key_F4);
    escolhe(w, 3);
    tecla(w, Qt::Key_Return);
    digita(w->Edit_Quantidade, "1,2-3");
    {
        Mensagens m;
        tecla(w, Qt::Key_Return); // leaving the field converts it
        QCOMPARE(m.quantas(), 1);
        QVERIFY(m.ultimo().startsWith("'1,2-3' não é um valor numérico válido"));
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Critical);
    }
    {
        Mensagens m;
        w->Gravar->click();
        QCOMPARE(m.quantas(), 1);
        QVERIFY(m.ultimo().startsWith("'1,2-3' não é um valor numérico válido"));
    }
    QCOMPARE(w->modo(), Modo::Inserindo);
    QCOMPARE(entradas(amb), QStringList());
}

void TestEntradaLeite::secondGoodRowRefusedOnInsert_data()
{
    QTest::addColumn<bool>("cancela");
    QTest::newRow("yes cancels") << true;
    QTest::newRow("no goes back to the supplier") << false;
}

void TestEntradaLeite::secondGoodRowRefusedOnInsert()
{
    QFETCH(bool, cancela);
    Ambiente amb;
    insereNoBanco(amb, 2, "100", "0", QDate::currentDate());
    insereNoBanco(amb, 2, "100", "0", QDate::currentDate().addDays(-1)); // another day
    auto *w = app::abreJanela<FrmEntLeite>();
    tecla(w, Qt::Key_F4);
    Mensagens m;
    m.responde(cancela ? QMessageBox::Yes : QMessageBox::No);
    digitaEntrada(w, 2, true, "50");
    QCOMPARE(m.textos(), QStringList({"Já Existe entrada de Leite Nesta data para este fornecedor! , Cancela entrada ? ! "}));
    QCOMPARE(m.vistas()[0].icone, QMessageBox::Critical);
    QCOMPARE(m.vistas()[0].botoes, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(entradas(amb), QStringList({"2:100.00/0.00"}));
    if (cancela) {
        QCOMPARE(w->modo(), Modo::Navegando);
    } else {
        QCOMPARE(w->modo(), Modo::Inserindo);
        QTRY_VERIFY(w->LKP_Fornecedor->hasFocus());
        QVERIFY(!w->Cancelar->isEnabled());
        // the acid milk of the same supplier is no duplicate
        m.limpa();
        w->RB_Acido->click();
        w->Gravar->click();
        QCOMPARE(m.quantas(), 0);
        QCOMPARE(entradas(amb), QStringList({"2:100.00/0.00", "2:0.00/50.00"}));
        // F8 still cancels
        tecla(w, Qt::Key_F8);
        QCOMPARE(w->modo(), Modo::Navegando);
    }
}

void TestEntradaLeite::secondGoodRowRefusedOnAlteration()
{
    Ambiente amb;
    insereNoBanco(amb, 2, "100", "0", QDate::currentDate());
    insereNoBanco(amb, 2, "0", "40", QDate::currentDate());
    insereNoBanco(amb, 3, "60", "0", QDate::currentDate());
    amb.conexao().execute("update PRODUTO set ESTOQUE_ATUAL = 200 where CD_PRODUTO = 1");
    auto *w = app::abreJanela<FrmEntLeite>();
    // the acid row turned into good milk: supplier 2 has good milk already
    w->Q_Entradas->setRecNo(1);
    w->Alterar->click();
    QCOMPARE(w->modo(), Modo::Alterando);
    QVERIFY(w->LKP_Fornecedor->hasFocus());
    Mensagens m;
    m.responde({QMessageBox::No, QMessageBox::Yes});
    w->RB_Bom->click();
    w->Gravar->click();
    QCOMPARE(m.textos(), QStringList({FrmEntLeite::textoDuplicada()}));
    QCOMPARE(w->modo(), Modo::Alterando);
    w->Gravar->click(); // asked again; Yes cancels
    QCOMPARE(m.quantas(), 2);
    QCOMPARE(w->modo(), Modo::Navegando);
    // supplier 3's good row given to supplier 2: a duplicate as well
    w->Q_Entradas->setRecNo(2);
    w->Alterar->click();
    escolhe(w, 2);
    m.responde(QMessageBox::Yes);
    w->Gravar->click();
    QCOMPARE(m.quantas(), 3);
    QCOMPARE(entradas(amb), QStringList({"2:100.00/0.00", "2:0.00/40.00", "3:60.00/0.00"}));
    QCOMPARE(estoque(amb), QString("200.00"));
}

void TestEntradaLeite::unchangedAlterationAndGoodToAcid()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmEntLeite>();
    tecla(w, Qt::Key_F4);
    digitaEntrada(w, 1, true, "100");
    digitaEntrada(w, 3, true, "70");
    tecla(w, Qt::Key_F8);
    QCOMPARE(estoque(amb), QString("170.00"));

    // unchanged: not a duplicate of itself; stock out and in again
    Mensagens m;
    w->Q_Entradas->setRecNo(0);
    w->Alterar->click();
    w->Gravar->click();
    QCOMPARE(m.quantas(), 0);
    QCOMPARE(w->modo(), Modo::Navegando);
    QVERIFY(!w->Painel_Entrada->isEnabled());
    QCOMPARE(entradas(amb), QStringList({"1:100.00/0.00", "3:70.00/0.00"}));
    QCOMPARE(estoque(amb), QString("170.00"));

    // good into acid milk, same litres: the row rewritten, the stock as it was
    w->Q_Entradas->setRecNo(1);
    w->Alterar->click();
    w->RB_Acido->click();
    w->Gravar->click();
    QCOMPARE(m.quantas(), 0);
    QCOMPARE(entradas(amb), QStringList({"1:100.00/0.00", "3:0.00/70.00"}));
    QCOMPARE(estoque(amb), QString("170.00"));
    QCOMPARE(w->lb_TotalBom->text(), QString("100 LITROS"));
    QCOMPARE(w->lb_TotalAcido->text(), QString("70 LITROS"));
    // the list stands on the supplier just altered
    QCOMPARE(w->Q_Entradas->value("CD_FORNECEDOR").toInt(), 3);

    // another supplier and more litres: the stock follows the difference
    w->Alterar->click();
    escolhe(w, 4);
    w->Edit_Quantidade->setFocus(Qt::TabFocusReason);
    digita(w->Edit_Quantidade, "75,25");
    w->Gravar->click();
    QCOMPARE(entradas(amb), QStringList({"1:100.00/0.00", "4:0.00/75.25"}));
    QCOMPARE(estoque(amb), QString("175.25"));
    QCOMPARE(w->Q_Entradas->value("CD_FORNECEDOR").toInt(), 4);
}

void TestEntradaLeite::alterationUsesWhatTheDatabaseHolds()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmEntLeite>();
    tecla(w, Qt::Key_F4);
    digitaEntrada(w, 1, true, "100");
    tecla(w, Qt::Key_F8);
    // another workstation corrects the row to 150 litres meanwhile
    auto outra = amb.outraConexao();
    outra->transaction([](db::Transaction &tx) {
        tx.execute("update ENTRADA_PRODUTO set QUANTLTBOM = 150 where CD_FORNECEDOR = 1");
        tx.execute("EXECUTE PROCEDURE ATUAL_PROD_FORN_INS_LEITE 50, 1");
    });
    QCOMPARE(estoque(amb), QString("150.00"));
    // this list still shows 100; altered to 80, the stock holds 80
    w->Alterar->click();
    QCOMPARE(w->Edit_Quantidade->text(), QString("100,00"));
    w->Edit_Quantidade->setFocus(Qt::TabFocusReason);
    digita(w->Edit_Quantidade, "80");
    w->Gravar->click();
    QCOMPARE(entradas(amb), QStringList({"1:80.00/0.00"}));
    QCOMPARE(estoque(amb), QString("80.00"));

    // a row deleted elsewhere: nothing changes here, the list is read again
    w->Alterar->click();
    outra->transaction([](db::Transaction &tx) {
        tx.execute("delete from ENTRADA_PRODUTO where CD_FORNECEDOR = 1");
        tx.execute("EXECUTE PROCEDURE ATUAL_PROD_FORN_DEL_LEITE 80, 1");
    });
    Mensagens m;
    w->Gravar->click();
    QCOMPARE(m.textos(), QStringList({app::textoRelacionamentos()}));
    QCOMPARE(w->modo(), Modo::Navegando);
    QCOMPARE(w->Q_Entradas->recordCount(), 0);
    QCOMPARE(entradas(amb), QStringList());
    QCOMPARE(estoque(amb), QString("0.00"));
}

void TestEntradaLeite::deletionAfterBothQuestions_data()
{
    QTest::addColumn<int>("respostasSim");
    QTest::addColumn<bool>("pelaLista");
    QTest::newRow("no to the first") << 0 << false;
    QTest::newRow("no to the second") << 1 << false;
    QTest::newRow("yes to both") << 2 << false;
    QTest::newRow("from the list's menu") << 2 << true;
}

void TestEntradaLeite::deletionAfterBothQuestions()
{
    QFETCH(int, respostasSim);
    QFETCH(bool, pelaLista);
    Ambiente amb;
    auto *w = app::abreJanela<FrmEntLeite>();
    {
        Mensagens m;
        tecla(w, Qt::Key_F6);
        QCOMPARE(m.textos(), QStringList({"Não Existe Lançamentos para esta data! "}));
    }
    tecla(w, Qt::Key_F4);
    digitaEntrada(w, 1, true, "100");
    digitaEntrada(w, 2, false, "25,5");
    tecla(w, Qt::Key_F8);
    QCOMPARE(estoque(amb), QString("125.50"));
    w->Q_Entradas->setRecNo(1);

    Mensagens m;
    for (int i = 0; i < 2; ++i)
        m.responde(i < respostasSim ? QMessageBox::Yes : QMessageBox::No);
    if (pelaLista)
        w->Apagar_Entrada->trigger();
    else
        tecla(w, Qt::Key_F6);
    const QStringList perguntas = {"Deseja realmente deletar esta Entrada?",
                                   "Esta operação Diminuirá a quantidade de leite do estoque \n"
                                   "          Deseja realmente deletar esta Entrada?"};
    QCOMPARE(m.textos(), perguntas.mid(0, std::min(respostasSim + 1, 2)));
    QCOMPARE(m.vistas()[0].icone, QMessageBox::Warning);
    if (respostasSim > 0)
        QCOMPARE(m.vistas()[1].icone, QMessageBox::Information);
    if (respostasSim == 2) {
        QCOMPARE(entradas(amb), QStringList({"1:100.00/0.00"}));
        QCOMPARE(estoque(amb), QString("100.00"));
        QCOMPARE(w->lb_TotalAcido->text(), QString("0 LITROS"));
        QCOMPARE(w->Q_Entradas->recordCount(), 1);
    } else {
        QCOMPARE(entradas(amb), QStringList({"1:100.00/0.00", "2:0.00/25.50"}));
        QCOMPARE(estoque(amb), QString("125.50"));
    }
}

void TestEntradaLeite::settledDeliveryRefused()
{
    Ambiente amb;
    insereNoBanco(amb, 1, "100", "0", QDate::currentDate(), "S");
    insereNoBanco(amb, 2, "90", "0", QDate::currentDate());
    amb.conexao().execute("update PRODUTO set ESTOQUE_ATUAL = 190 where CD_PRODUTO = 1");
    auto *w = app::abreJanela<FrmEntLeite>();
    QCOMPARE(w->Q_Entradas->recordCount(), 2); // settled rows are listed
    {
        Mensagens m;
        w->Alterar->click();
        tecla(w, Qt::Key_F6);
        QCOMPARE(m.textos(), QStringList({FrmEntLeite::textoPaga(), FrmEntLeite::textoPaga()}));
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Critical);
        QCOMPARE(w->modo(), Modo::Navegando);
    }
    // settled by a sheet posted after the list was read
    w->Q_Entradas->setRecNo(1);
    w->Alterar->click();
    amb.outraConexao()->execute("update ENTRADA_PRODUTO set PAGO = 'S' where CD_FORNECEDOR = 2");
    w->Edit_Quantidade->setFocus(Qt::TabFocusReason);
    digita(w->Edit_Quantidade, "10");
    {
        Mensagens m;
        w->Gravar->click();
        QCOMPARE(m.textos(), QStringList({FrmEntLeite::textoPaga()}));
    }
    QCOMPARE(w->modo(), Modo::Navegando);
    QCOMPARE(entradas(amb), QStringList({"1:100.00/0.00", "2:90.00/0.00"}));
    QCOMPARE(estoque(amb), QString("190.00"));
    // and its deletion after the questions
    amb.conexao().execute("update ENTRADA_PRODUTO set PAGO = 'N' where CD_FORNECEDOR = 2");
    w->CancelarClick(); // nothing to cancel: the list is read again
    w->Q_Entradas->setRecNo(1);
    amb.outraConexao()->execute("update ENTRADA_PRODUTO set PAGO = 'S' where CD_FORNECEDOR = 2");
    {
        Mensagens m;
        m.responde({QMessageBox::Yes, QMessageBox::Yes});
        tecla(w, Qt::Key_F6);
        QCOMPARE(m.textos().last(), FrmEntLeite::textoPaga());
    }
    QCOMPARE(entradas(amb), QStringList({"1:100.00/0.00", "2:90.00/0.00"}));
    QCOMPARE(estoque(amb), QString("190.00"));
}

void TestEntradaLeite::saveAndStockTogetherOrNeither()
{
    Ambiente amb;
    insereNoBanco(amb, 1, "100", "0", QDate::currentDate());
    auto *w = app::abreJanela<FrmEntLeite>();
    // without the milk product the stock cannot move: neither can the rows
    amb.conexao().execute("update PRODUTO set CD_PRODUTO = 99 where CD_PRODUTO = 1");
    tecla(w, Qt::Key_F4);
    {
        Mensagens m;
        digitaEntrada(w, 2, true, "40");
        QCOMPARE(m.quantas(), 1);
        QVERIFY(m.ultimo().startsWith("Produto não cadastrado: o estoque não foi alterado."));
    }
    QCOMPARE(w->modo(), Modo::Inserindo); // the entry stays as typed
    QCOMPARE(w->Edit_Quantidade->text(), QString("40"));
    tecla(w, Qt::Key_F8);
    w->Q_Entradas->setRecNo(0);
    w->Alterar->click();
    w->Edit_Quantidade->setFocus(Qt::TabFocusReason);
    digita(w->Edit_Quantidade, "10");
    {
        Mensagens m;
        w->Gravar->click();
        QCOMPARE(m.quantas(), 1);
    }
    tecla(w, Qt::Key_F8);
    {
        Mensagens m;
        m.responde({QMessageBox::Yes, QMessageBox::Yes});
        tecla(w, Qt::Key_F6);
        QCOMPARE(m.textos().last(), app::textoRelacionamentos());
    }
    QCOMPARE(entradas(amb), QStringList({"1:100.00/0.00"}));
    QCOMPARE(w->Q_Entradas->recordCount(), 1);
}

void TestEntradaLeite::totalsPerDate()
{
    Ambiente amb;
    const QDate ontem = QDate::currentDate().addDays(-1);
    insereNoBanco(amb, 1, "100.5", "0", ontem);
    insereNoBanco(amb, 1, "0", "12", ontem);
    insereNoBanco(amb, 2, "1000", "0", ontem);
    insereNoBanco(amb, 3, "50", "0", QDate::currentDate());
    // a purchase of another product on the same day is not milk
    amb.conexao().execute("insert into ENTRADA_PRODUTO (CD_ENTRADA, CD_FORNECEDOR, CD_PRODUTO, QUANT, VLRTOTAL, "
                          "DTENTRADA, PAGO) values (1, 4, 8, 10, 25, current_date, 'N')");
    auto *w = app::abreJanela<FrmEntLeite>();
    QCOMPARE(w->Q_Entradas->recordCount(), 1);
    QCOMPARE(w->lb_TotalBom->text(), QString("50 LITROS"));
    QCOMPARE(w->lb_TotalAcido->text(), QString("0 LITROS"));

    auto trocaData = [&](const QDate &d) {
        w->Edit_Data->editor()->setFocus(Qt::MouseFocusReason);
        w->Edit_Data->editor()->selectAll();
        digita(w->Edit_Data->editor(), d.toString("ddMMyy"));
        tecla(w, Qt::Key_Return);
    };
    trocaData(ontem);
    QVERIFY(w->Grid_Entradas->hasFocus()); // Enter left the date for the list
    QCOMPARE(w->dataAtual(), ontem);
    QCOMPARE(w->Q_Entradas->recordCount(), 3);
    QCOMPARE(w->lb_TotalBom->text(), QString("1100,5 LITROS"));
    QCOMPARE(w->lb_TotalAcido->text(), QString("12 LITROS"));
    QCOMPARE(w->LKP_Fornecedor->chave().toInt(), 1); // the first row shown

    // a delivery typed on that date goes into that date
    tecla(w, Qt::Key_F4);
    QCOMPARE(w->modo(), Modo::Inserindo);
    QVERIFY(w->RB_Bom->hasFocus());
    digitaEntrada(w, 3, true, "5");
    tecla(w, Qt::Key_F8);
    QCOMPARE(entradas(amb, ontem).last(), QString("3:5.00/0.00"));
    QCOMPARE(w->lb_TotalBom->text(), QString("1105,5 LITROS"));

    trocaData(ontem.addDays(-30));
    QCOMPARE(w->Q_Entradas->recordCount(), 0);
    QCOMPARE(w->lb_TotalBom->text(), QString("0 LITROS"));
    QCOMPARE(w->lb_TotalAcido->text(), QString("0 LITROS"));
    QVERIFY(!w->Apagar_Entrada->isEnabled());
    QVERIFY(w->LKP_Fornecedor->texto().isEmpty());
    Mensagens m;
    w->Alterar->click();
    QCOMPARE(m.textos(), QStringList({"Banco de dados vazio!"}));
}

void TestEntradaLeite::dateFieldCancelsAndCloseQuestion()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmEntLeite>();
    tecla(w, Qt::Key_F4);
    escolhe(w, 2);
    w->Edit_Data->editor()->setFocus(Qt::MouseFocusReason);
    QCOMPARE(w->modo(), Modo::Navegando);
    QVERIFY(w->LKP_Fornecedor->texto().isEmpty());
    QVERIFY(!w->Painel_Entrada->isEnabled());

    tecla(w, Qt::Key_F4);
    {
        Mensagens m;
        m.responde(QMessageBox::No);
        QVERIFY(!w->close());
        QCOMPARE(m.textos(), QStringList({app::FormCadastro::perguntaCancelamento()}));
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Information);
        QCOMPARE(w->modo(), Modo::Inserindo);
    }
    {
        Mensagens m;
        m.responde(QMessageBox::Yes);
        w->close();
    }
    QTRY_VERIFY(!app::janela<FrmEntLeite>());
    // browsing, it closes without a question
    auto *w2 = app::abreJanela<FrmEntLeite>();
    Mensagens m;
    w2->Sair->click();
    QCOMPARE(m.quantas(), 0);
    QTRY_VERIFY(!app::janela<FrmEntLeite>());
}

QTEST_MAIN(TestEntradaLeite)
#include "test_entrada_leite.moc"
