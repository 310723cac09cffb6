// The standard maintenance window, driven by keys on the accounts and the
// payment methods: insert, alter, record, cancel, delete, the tab guard,
// closing, the search box and the refused apply.

#include "app/camposdb.h"
#include "app/formcadastro.h"
#include "app/frmprincipal.h"
#include "app/rotinas.h"
#include "cashbook/frmcadconta.h"
#include "cashbook/frmcadformapgto.h"
#include "db/dataset.h"
#include "support/gui.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

using testsupport::Ambiente;
using testsupport::Mensagens;
using testsupport::tecla;
using caixa::FrmCadConta;
using caixa::frmCadFormaPgto;

// A registry with a search box, for the search of the standard window.
class FrmBuscaTeste : public app::FormCadastro
{
    Q_OBJECT

public:
    FrmBuscaTeste()
    {
        tb = new db::Dataset(app::principal()->DB_Corvena, "SELECT * FROM FORNECEDOR ORDER BY NOME", this);
        opcoes.campoBusca = "NOME";
        inicia(tb);
    }
    db::Dataset *tb;
};

class TestCadastros : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void insertAlterRecordByKeys();
    void keysOutOfPlaceDoNothing();
    void cancellingANewRowLeavesTheListAsBefore();
    void emptyTableProposesKeyOneAndRefusesAlterAndDelete();
    void requiredFieldsNotice();
    void refusedApplyWithdrawsEverything();
    void tabGuardAndCloseQuestion_data();
    void tabGuardAndCloseQuestion();
    void accountDeletionRules();
    void paymentMethodStoresTwoCharacters();
    void searchBoxLocatesByPrefix();
    void enterWrapsAroundWithoutRecording();

private:
    static QStringList buttonsEnabled(app::FormCadastro *w)
    {
        QStringList on;
        for (QPushButton *b : {w->Inserir, w->Alterar, w->Deletar, w->Gravar, w->Cancelar, w->Primeiro, w->Anterior,
                               w->Proximo, w->Ultimo, w->Sair}) {
            if (b->isEnabled())
                on << b->objectName();
        }
        return on;
    }
};

void TestCadastros::insertAlterRecordByKeys()
{
    Ambiente amb;
    amb.menu("Cadastro_de_Conta");
    auto *w = app::janela<FrmCadConta>();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QString("Manutenção de Contas"));
    QCOMPARE(w->PageControl->currentWidget(), w->TabSheet_Consulta);
    QCOMPARE(w->PageControl->tabText(0), QString("Consulta"));
    QCOMPARE(w->PageControl->tabText(1), QString("Cadastro"));
    QVERIFY(!w->Painel_Dados->isEnabled());
    QCOMPARE(buttonsEnabled(w), QStringList({"Inserir", "Alterar", "Deletar", "Proximo", "Ultimo", "Sair"}));
    QCOMPARE(w->Inserir->toolTip(), QString("Pemite inserir um novo registro"));
    QCOMPARE(w->Adicionar->text(), QString("&Inserir"));

    tecla(w, Qt::Key_F4);
    QCOMPARE(w->PageControl->currentWidget(), w->TabSheet_Manutencao);
    QVERIFY(w->Painel_Dados->isEnabled());
    QCOMPARE(buttonsEnabled(w), QStringList({"Gravar", "Cancelar", "Sair"}));
    QVERIFY(!w->Grid_Consulta->isEnabled()); // the list stays still while a row is edited
    QCOMPARE(w->EDIT_CODIGO->text(), QString("7")); // demo accounts go up to 6
    QVERIFY(w->EDIT_NUMCONTA->hasFocus());
    testsupport::digita(w->EDIT_NUMCONTA, "41");
    tecla(w, Qt::Key_Return);
    QVERIFY(w->EDIT_DESCRICAO->hasFocus());
    testsupport::digita(w->EDIT_DESCRICAO, "manutenção de cercas");
    QCOMPARE(w->EDIT_DESCRICAO->text(), QString("MANUTENÇÃO DE CERCAS"));
    tecla(w, Qt::Key_F7);
    QCOMPARE(w->Tb_conta->state(), db::Dataset::State::Browse);
    QVERIFY(w->Grid_Consulta->isEnabled());
    QCOMPARE(w->PageControl->currentWidget(), w->TabSheet_Manutencao);
    QCOMPARE(w->EDIT_CODIGO->text(), QString("7")); // the key computed at insert
    auto r = amb.conexao().execute("select NUM_CONTA, DESCRICAO, SAIREL from CONTA where CD_CONTA = 7");
    QCOMPARE(r.value("NUM_CONTA").toInt(), 41);
    QCOMPARE(r.value("DESCRICAO").toString(), QString("MANUTENÇÃO DE CERCAS"));
    QCOMPARE(r.value("SAIREL").toString(), QString("N"));
    QVERIFY(buttonsEnabled(w).contains("Inserir"));
    QVERIFY(!w->Gravar->isEnabled());

    // alter: F5, tick the check box, F7
    tecla(w, Qt::Key_F5);
    QVERIFY(w->EDIT_NUMCONTA->hasFocus());
    w->CB_SAIREL->click();
    tecla(w, Qt::Key_F7);
    QCOMPARE(amb.conexao().execute("select SAIREL from CONTA where CD_CONTA = 7").value("SAIREL").toString(), QString("S"));
    // double-click on the list also alters
    w->PageControl->setCurrentWidget(w->TabSheet_Consulta);
    emit w->Grid_Consulta->duploClique();
    QCOMPARE(w->PageControl->currentWidget(), w->TabSheet_Manutencao);
    QCOMPARE(w->Tb_conta->state(), db::Dataset::State::Edit);
    tecla(w, Qt::Key_F8);
    QCOMPARE(w->Tb_conta->state(), db::Dataset::State::Browse);
    QVERIFY(!w->Painel_Dados->isEnabled());
}

void TestCadastros::keysOutOfPlaceDoNothing()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmCadConta>();
    Mensagens m;
    tecla(w, Qt::Key_F7);
    tecla(w, Qt::Key_F8);
    QCOMPARE(w->Tb_conta->state(), db::Dataset::State::Browse);
    tecla(w, Qt::Key_F4);
    const QString chave = w->EDIT_CODIGO->text();
    tecla(w, Qt::Key_F4);
    tecla(w, Qt::Key_F5);
    tecla(w, Qt::Key_F6);
    QCOMPARE(w->Tb_conta->state(), db::Dataset::State::Insert);
    QCOMPARE(w->EDIT_CODIGO->text(), chave);
    QCOMPARE(w->Tb_conta->recordCount(), 7);
    QCOMPARE(m.quantas(), 0);
    tecla(w, Qt::Key_F8);
}

void TestCadastros::cancellingANewRowLeavesTheListAsBefore()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmCadConta>();
    w->Tb_conta->setRecNo(2);
    const QString atual = w->Tb_conta->text("DESCRICAO");
    tecla(w, Qt::Key_F4);
    testsupport::digita(w->EDIT_NUMCONTA, "9");
    tecla(w, Qt::Key_F8);
    QCOMPARE(w->Tb_conta->recordCount(), 6);
    QCOMPARE(w->Tb_conta->text("DESCRICAO"), atual);
    QCOMPARE(w->EDIT_DESCRICAO->text(), atual);
    QCOMPARE(w->Tb_conta->changeCount(), 0);
    QCOMPARE(amb.conexao().execute("select count(*) as N from CONTA").value("N").toInt(), 6);
}

void TestCadastros::emptyTableProposesKeyOneAndRefusesAlterAndDelete()
{
    Ambiente amb(false);
    amb.conexao().execute("delete from FORMA_PAGAMENTO");
    auto *w = app::abreJanela<frmCadFormaPgto>();
    {
        Mensagens m;
        tecla(w, Qt::Key_F5); // the grid double-click action here
        QCOMPARE(m.textos(), QStringList({"Banco de dados vazio!"}));
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Critical);
        w->DeletarClick();
        QCOMPARE(m.textos().last(), QString("O Banco de Dados está vazio !!!"));
    }
    tecla(w, Qt::Key_F4);
    QCOMPARE(w->EDIT_CODIGO->text(), QString("1"));
    testsupport::digita(w->EDIT_TIPO, "pix");
    w->CB_LANCAMENTO->setCurrentIndex(1);
    emit w->CB_LANCAMENTO->activated(1);
    tecla(w, Qt::Key_F7);
    tecla(w, Qt::Key_F4);
    QCOMPARE(w->EDIT_CODIGO->text(), QString("2")); // the maximum read afresh
    tecla(w, Qt::Key_F8);
}

void TestCadastros::requiredFieldsNotice()
{
    Ambiente amb;
    auto *conta = app::abreJanela<FrmCadConta>();
    tecla(conta, Qt::Key_F4);
    testsupport::digita(conta->EDIT_DESCRICAO, "SEM NUMERO");
    {
        Mensagens m;
        tecla(conta, Qt::Key_F7);
        QCOMPARE(m.textos(), QStringList({"Peencha os campos! ()"}));
    }
    QCOMPARE(conta->Tb_conta->state(), db::Dataset::State::Insert);
    QTRY_VERIFY(conta->EDIT_NUMCONTA->hasFocus());
    tecla(conta, Qt::Key_F8);
    conta->close();

    auto *forma = app::abreJanela<frmCadFormaPgto>();
    tecla(forma, Qt::Key_F4);
    testsupport::digita(forma->EDIT_TIPO, "VALE");
    Mensagens m;
    tecla(forma, Qt::Key_F7); // no TIPO chosen
    QCOMPARE(m.textos(), QStringList({"Peencha os campos! (Tipo )"}));
    QTRY_VERIFY(forma->EDIT_TIPO->hasFocus());
    QCOMPARE(forma->Tb_FORMAPAGAMENTO->state(), db::Dataset::State::Insert);
    tecla(forma, Qt::Key_F8);
}

void TestCadastros::refusedApplyWithdrawsEverything()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmCadConta>();
    tecla(w, Qt::Key_F4);
    testsupport::digita(w->EDIT_NUMCONTA, "50");
    testsupport::digita(w->EDIT_DESCRICAO, "MINHA");
    // another workstation records the same key first
    amb.outraConexao()->execute("insert into CONTA (CD_CONTA, NUM_CONTA, DESCRICAO) values (7, 70, 'DA OUTRA')");
    Mensagens m;
    tecla(w, Qt::Key_F7);
    QCOMPARE(m.textos(), QStringList({app::textoRelacionamentos()}));
    QCOMPARE(m.vistas()[0].icone, QMessageBox::Warning);
    QCOMPARE(w->Tb_conta->state(), db::Dataset::State::Browse);
    QCOMPARE(w->Tb_conta->recordCount(), 6); // the list as last read
    QVERIFY(!w->Painel_Dados->isEnabled());
    QVERIFY(w->Inserir->isEnabled());
    QCOMPARE(amb.conexao().execute("select DESCRICAO from CONTA where CD_CONTA = 7").value("DESCRICAO").toString(),
             QString("DA OUTRA"));
}

void TestCadastros::tabGuardAndCloseQuestion_data()
{
    QTest::addColumn<bool>("sim");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestCadastros::tabGuardAndCloseQuestion()
{
    QFETCH(bool, sim);
    Ambiente amb;
    auto *w = app::abreJanela<FrmCadConta>();
    tecla(w, Qt::Key_F5);
    testsupport::digita(w->EDIT_DESCRICAO, "X");
    {
        Mensagens m;
        m.responde(sim ? QMessageBox::Yes : QMessageBox::No);
        w->PageControl->setCurrentWidget(w->TabSheet_Consulta);
        QCOMPARE(m.textos(), QStringList({"Os dados estão sendo alterados no momento !\n"
                                          "Deseja realmente cancelar as alterações feitas ?"}));
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Information);
        QCOMPARE(w->PageControl->currentWidget(), sim ? w->TabSheet_Consulta : w->TabSheet_Manutencao);
        QCOMPARE(w->Tb_conta->isEditing(), !sim);
    }
    if (sim)
        tecla(w, Qt::Key_F5);
    // closing while editing asks the same; No keeps the window and the edit
    {
        Mensagens m;
        m.responde(QMessageBox::No);
        QVERIFY(!w->close());
        QCOMPARE(m.quantas(), 1);
        QVERIFY(app::janela<FrmCadConta>());
        QVERIFY(w->Tb_conta->isEditing());
    }
    {
        Mensagens m;
        m.responde(QMessageBox::Yes);
        w->close();
        QCOMPARE(m.quantas(), 1);
    }
    QTRY_VERIFY(!app::janela<FrmCadConta>());
    // nothing was written
    QCOMPARE(amb.conexao().execute("select count(*) as N from CONTA where DESCRICAO like '%X'").value("N").toInt(), 0);
    // leaving "Consulta", or "Cadastro" while browsing, asks nothing
    auto *w2 = app::abreJanela<FrmCadConta>();
    Mensagens m;
    w2->PageControl->setCurrentWidget(w2->TabSheet_Manutencao);
    w2->PageControl->setCurrentWidget(w2->TabSheet_Consulta);
    QCOMPARE(m.quantas(), 0);
}

void TestCadastros::accountDeletionRules()
{
    Ambiente amb;
    amb.conexao().execute("insert into MOVIMENTO (CD_MOVIMENTO, CD_CONTA, DATA, DESCRICAO, VALOR, DEBITO_CREDITO) "
                          "values (1, 3, current_date, 'LUZ', 10, 'D')");
    auto *w = app::abreJanela<FrmCadConta>();
    auto apaga = [&](int conta, QMessageBox::StandardButton resposta) {
        w->Tb_conta->locate("CD_CONTA", conta);
        Mensagens m;
        m.responde(resposta);
        tecla(w, Qt::Key_F6);
        return m.textos();
    };
    const QString pergunta = "Deseja realmente deletar esta Conta ???";
    QCOMPARE(apaga(3, QMessageBox::Yes), QStringList({pergunta, "Impossivel Apagar!, Primeiro Apague as contas"}));
    QCOMPARE(apaga(2, QMessageBox::Yes).size(), 2); // automatic postings: refused with its own message
    QVERIFY(apaga(2, QMessageBox::Yes).last().contains("lançamentos automáticos"));
    QCOMPARE(apaga(6, QMessageBox::No), QStringList({pergunta}));
    QCOMPARE(w->Tb_conta->recordCount(), 6);
    QCOMPARE(apaga(6, QMessageBox::Yes), QStringList({pergunta}));
    QCOMPARE(w->Tb_conta->recordCount(), 5);
    QCOMPARE(amb.conexao().execute("select count(*) as N from CONTA").value("N").toInt(), 5);
    QCOMPARE(amb.conexao().execute("select count(*) as N from CONTA where CD_CONTA in (2, 3)").value("N").toInt(), 2);
}

void TestCadastros::paymentMethodStoresTwoCharacters()
{
    Ambiente amb;
    auto *w = app::abreJanela<frmCadFormaPgto>();
    QCOMPARE(w->CB_LANCAMENTO->count(), 9);
    QCOMPARE(w->CB_LANCAMENTO->itemText(1), QString("DI  -  DINHEIRO"));
    tecla(w, Qt::Key_F4);
    testsupport::digita(w->EDIT_TIPO, "especie");
    w->CB_LANCAMENTO->setCurrentIndex(1);
    emit w->CB_LANCAMENTO->activated(1);
    tecla(w, Qt::Key_F7);
    auto r = amb.conexao().execute("select TIPO, LANCAMENTO from FORMA_PAGAMENTO where CD_FORMAPAGAMENTO = 10");
    QCOMPARE(r.value("TIPO").toString(), QString("ESPECIE"));
    QCOMPARE(r.value("LANCAMENTO").toString(), QString("DI"));
    QCOMPARE(w->Tb_FORMAPAGAMENTO->model()->data(w->Tb_FORMAPAGAMENTO->model()->index(9, 2), Qt::DisplayRole).toString(),
             QString("DI"));
    // the list shows the item of a stored code
    w->Tb_FORMAPAGAMENTO->locate("LANCAMENTO", "CD");
    QCOMPARE(w->CB_LANCAMENTO->currentText(), QString("CD  - CHEQUE + DINHEIRO"));
    // F6 is not handled here
    Mensagens m;
    tecla(w, Qt::Key_F6);
    QCOMPARE(m.quantas(), 0);
    QCOMPARE(w->Tb_FORMAPAGAMENTO->recordCount(), 10);
}

void TestCadastros::searchBoxLocatesByPrefix()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmBuscaTeste>();
    QVERIFY(w->Edit_consulta);
    QCOMPARE(w->Label_consulta->text(), QString("Consultar por Nome"));
    w->tb->last();
    testsupport::digita(w->Edit_consulta, "mar");
    QCOMPARE(w->Edit_consulta->text(), QString("MAR"));
    QCOMPARE(w->tb->value("CD_FORNECEDOR").toInt(), 2);
    QCOMPARE(w->Grid_Consulta->currentIndex().row(), w->tb->recNo());
    testsupport::digita(w->Edit_consulta, "x"); // "MARX": nothing, the row stays
    QCOMPARE(w->tb->value("CD_FORNECEDOR").toInt(), 2);
    w->Edit_consulta->clear();
    QCOMPARE(w->tb->value("CD_FORNECEDOR").toInt(), 2);
    testsupport::digita(w->Edit_consulta, "e");
    QCOMPARE(w->tb->text("NOME"), QString("EMBALAGENS MINAS LTDA"));
}

void TestCadastros::enterWrapsAroundWithoutRecording()
{
    Ambiente amb;
    auto *w = app::abreJanela<frmCadFormaPgto>();
    tecla(w, Qt::Key_F4);
    QVERIFY(w->EDIT_TIPO->hasFocus());
    tecla(w, Qt::Key_Return);
    QVERIFY(w->CB_LANCAMENTO->hasFocus());
    tecla(w, Qt::Key_Return); // past the last field: around again, never recording
    QVERIFY(!w->CB_LANCAMENTO->hasFocus());
    QCOMPARE(w->Tb_FORMAPAGAMENTO->state(), db::Dataset::State::Insert);
    tecla(w, Qt::Key_F8);
}

QTEST_MAIN(TestCadastros)
#include "test_cadastros.moc"
