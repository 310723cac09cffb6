// The general cash book driven as its user drives it: the day chooser, the
// entries typed into the credit and debit lists with Enter, the account
// chooser on a blank, deletion, the day's totals and the recent days as the
// database keeps them, the tab rules and closing.

#include "app/campos.h"
#include "app/camposdb.h"
#include "app/formcadastro.h"
#include "app/frmprincipal.h"
#include "app/globais.h"
#include "app/rotinas.h"
#include "cashbook/frmcadcaixageral.h"
#include "cashbook/frmchamacaixageral.h"
#include "cashbook/frmescolheconta.h"
#include "db/dataset.h"
#include "support/gui.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

using caixa::FrmCadCaixaGeral;
using caixa::FrmChamacaixaGeral;
using caixa::FrmEscolheConta;
using testsupport::Ambiente;
using testsupport::Mensagens;
using testsupport::tecla;

namespace {

const QString kSalva = QStringLiteral(" Salva Ultimas Alterações ?");

QDate diasAtras(int n)
{
    return QDate::currentDate().addDays(-n);
}

// Types into whatever has the focus: the grid opens the cell with the
// first key, the cell takes the rest.
void digitaNoFoco(const QString &texto)
{
    for (const QChar c : texto) {
        QWidget *alvo = QApplication::focusWidget();
        QVERIFY(alvo);
        if (c.unicode() < 128)
            QTest::keyClick(alvo, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, alvo, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// An entry stored as another part of the system (or another workstation)
// stores it.
void lancaNoBanco(db::Connection &c, const QDate &dia, const QString &dc, const QString &valor, const QVariant &conta = 3,
                  const QString &descricao = QStringLiteral("LANCAMENTO"))
{
    c.execute(QStringLiteral("INSERT INTO MOVIMENTO (CD_CONTA,DESCRICAO,VALOR,DATA,DEBITO_CREDITO) "
                             "VALUES (:C, :D, :V, :DT, :DC)"),
              {{QStringLiteral("C"), conta},
               {QStringLiteral("D"), descricao},
               {QStringLiteral("V"), db::Decimal::parse(valor)->toVariant()},
               {QStringLiteral("DT"), dia},
               {QStringLiteral("DC"), dc}});
}

db::Decimal decimal(const QVariant &v)
{
    return db::Decimal::fromVariant(v, 2);
}

QString celula(app::GradeDados *g, int linha, const QString &campo)
{
    auto *m = g->modelo();
    return m->data(m->index(linha, m->columnOf(campo)), Qt::DisplayRole).toString();
}

// The day chooser from the menu, "Criar Novo Caixa" for the date.
FrmCadCaixaGeral *abreDia(Ambiente &amb, const QDate &dia)
{
    (void)QTest::qWaitFor([] { return !app::janela<FrmChamacaixaGeral>(); }); // the last one gone
    amb.menu(QStringLiteral("Movimento_Caixa"));
    auto *chama = app::janela<FrmChamacaixaGeral>();
    if (!chama)
        return nullptr;
    chama->EDIT_DATA->setData(dia);
    chama->bt_criar->click();
    return app::janela<FrmCadCaixaGeral>();
}

} // namespace

class TestCaixaGeral : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dayChooser();
    void dayChooserHandsANewDayToTheOpenCashBook();
    void entriesTypedIntoBothListsWithEnter();
    void rowsWithoutValueAreNeverWritten_data();
    void rowsWithoutValueAreNeverWritten();
    void leavingAListAsksAboutItsRow_data();
    void leavingAListAsksAboutItsRow();
    void blankOpensTheAccountChooser();
    void movingToAnotherRowRecordsTheRow();
    void deletion();
    void totalsAndRecentDaysFollowTheDatabase();
    void backDatedEntryMovesLaterBalances();
    void locatingDays();
    void tabRules();
    void closingWhileTyping();
    void negativeValueRefused();
    void refusedApplyShowsTheDatabaseAgain();
};

void TestCaixaGeral::dayChooser()
{
    Ambiente amb;
    amb.menu("Movimento_Caixa");
    auto *w = app::janela<FrmChamacaixaGeral>();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QString("Caixa Geral"));
    QCOMPARE(w->Label_Titulo->text(), QString("Caixa Geral"));
    QVERIFY(!w->maximizada());
    QCOMPARE(w->Tb_saldocaixa->recordCount(), 0);
    QVERIFY(!w->Alterar_Este_Caixa->isEnabled()); // no days yet
    auto *m = w->Grid_Caixas->modelo();
    QStringList titulos;
    for (int i = 0; i < m->columnCount(); ++i)
        titulos << m->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
    QCOMPARE(titulos, QStringList({"Data", "Total Crédito", "Total Débito", "Saldo Atual"}));
    {
        Mensagens msg;
        w->bt_criar->click();
        QCOMPARE(msg.textos(), QStringList({"Digite Uma Data antes de Criar um novo caixa "}));
        QCOMPARE(msg.vistas()[0].icone, QMessageBox::Information);
    }
    QTRY_VERIFY(w->EDIT_DATA->editor()->hasFocus());
    QVERIFY(!app::janela<FrmCadCaixaGeral>());
    w->close();
    QTRY_VERIFY(!app::janela<FrmChamacaixaGeral>());

    // days of the last 40 days, newest first; older ones left out
    lancaNoBanco(amb.conexao(), diasAtras(50), "C", "5");
    lancaNoBanco(amb.conexao(), diasAtras(10), "C", "100");
    lancaNoBanco(amb.conexao(), diasAtras(3), "D", "40");
    amb.menu("Movimento_Caixa");
    w = app::janela<FrmChamacaixaGeral>();
    QCOMPARE(w->Tb_saldocaixa->recordCount(), 2);
    QCOMPARE(w->Tb_saldocaixa->recNo(), 0);
    QCOMPARE(w->Tb_saldocaixa->value("DTSALDO").toDate(), diasAtras(3));
    QVERIFY(w->Alterar_Este_Caixa->isEnabled());
    QCOMPARE(celula(w->Grid_Caixas, 0, "SALDOATUAL"), QString("65,00"));
    // "Alterar Este Caixa" opens the selected day and closes the chooser
    w->Tb_saldocaixa->setRecNo(1);
    w->Alterar_Este_Caixa->trigger();
    QCOMPARE(app::DataCaixaGeral, diasAtras(10));
    auto *caixa = app::janela<FrmCadCaixaGeral>();
    QVERIFY(caixa);
    QCOMPARE(caixa->windowTitle(), QString("Manutenção de Caixa Geral"));
    QCOMPARE(caixa->dia(), diasAtras(10));
    QCOMPARE(caixa->Tb_credito->recordCount(), 1);
    QTRY_VERIFY(!app::janela<FrmChamacaixaGeral>());
    // "Criar Novo Caixa" writes nothing
    QVERIFY(abreDia(amb, diasAtras(1)));
    QCOMPARE(amb.conexao().execute("select count(*) as N from SALDOCAIXA").value("N").toInt(), 3);
}

void TestCaixaGeral::dayChooserHandsANewDayToTheOpenCashBook()
{
    // The cash book already open must show the day chosen, and what is
    // typed there must be stored on that day.
    Ambiente amb;
    auto *w = abreDia(amb, diasAtras(5));
    QVERIFY(w);
    QTRY_VERIFY(!app::janela<FrmChamacaixaGeral>());
    QCOMPARE(abreDia(amb, diasAtras(2)), w);
    QCOMPARE(w->dia(), diasAtras(2));
    QCOMPARE(w->EDIT_DATACAIXA->data(), diasAtras(2));
    QCOMPARE(w->lb_titulo->text(), "Caixa do Dia " + diasAtras(2).toString("dd/MM/yyyy"));
    w->Grid_Credito->setFocus();
    tecla(w, Qt::Key_Return);
    tecla(w, Qt::Key_Return);
    digitaNoFoco("x");
    tecla(w, Qt::Key_Return);
    digitaNoFoco("1");
    tecla(w, Qt::Key_Return);
    QCOMPARE(amb.conexao().execute("select DATA from MOVIMENTO").value("DATA").toDate(), diasAtras(2));
}

void TestCaixaGeral::entriesTypedIntoBothListsWithEnter()
{
    Ambiente amb;
    const QDate dia = diasAtras(3);
    Mensagens msg;
    auto *w = abreDia(amb, dia);
    QVERIFY(w);
    QVERIFY(w->Painel_Credito->isEnabled() && w->Painel_Debito->isEnabled());
    QCOMPARE(w->Painel_Credito->title(), QString("Lançamentos de Créditos"));
    QCOMPARE(w->Painel_Debito->title(), QString("Lançamento de Débitos"));
    QStringList titulos;
    for (int i = 0; i < 3; ++i)
        titulos << w->Grid_Credito->modelo()->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
    QCOMPARE(titulos, QStringList({"CONTA", "DESCRIÇÃO", "VALOR"}));

    // credit: a blank chooses the account, Enter walks CONTA, DESCRIÇÃO, VALOR
    w->Grid_Credito->setFocus();
    testsupport::quandoAbrir<FrmEscolheConta>([](FrmEscolheConta *d) {
        testsupport::digita(d->EDIT_BUSCA, "ven");
        d->Bt_OK->click();
    });
    tecla(w, Qt::Key_Space);
    QCOMPARE(w->Tb_credito->state(), db::Dataset::State::Insert);
    QCOMPARE(w->Tb_credito->value("CD_CONTA").toInt(), 2);
    QCOMPARE(celula(w->Grid_Credito, 0, "NOME_CONTA"), QString("VENDA A VISTA"));
    QTRY_VERIFY(w->Grid_Credito->temFoco());
    QCOMPARE(w->Grid_Credito->campoAtual(), QString("NOME_CONTA"));
    tecla(w, Qt::Key_Return);
    QCOMPARE(w->Grid_Credito->campoAtual(), QString("DESCRICAO"));
    digitaNoFoco("venda de requeijão");
    tecla(w, Qt::Key_Return);
    QCOMPARE(w->Grid_Credito->campoAtual(), QString("VALOR"));
    QCOMPARE(w->Tb_credito->text("DESCRICAO"), QString("VENDA DE REQUEIJÃO"));
    digitaNoFoco("1234.5");
    tecla(w, Qt::Key_Return);

    auto r = amb.conexao().execute("select * from MOVIMENTO");
    QCOMPARE(r.rowCount(), 1);
    QCOMPARE(r.value("CD_CONTA").toInt(), 2);
    QCOMPARE(r.value("DESCRICAO").toString(), QString("VENDA DE REQUEIJÃO"));
    QCOMPARE(decimal(r.value("VALOR")), db::Decimal(123450, 2));
    QCOMPARE(r.value("DATA").toDate(), dia);
    QCOMPARE(r.value("DEBITO_CREDITO").toString(), QString("C"));
    // read back, and a new entry started at the top with the cursor on CONTA
    QCOMPARE(w->Tb_credito->recordCount(), 2);
    QCOMPARE(w->Tb_credito->state(), db::Dataset::State::Insert);
    QCOMPARE(w->Tb_credito->recNo(), 0);
    QCOMPARE(w->Grid_Credito->currentIndex().row(), 0);
    QCOMPARE(w->Grid_Credito->campoAtual(), QString("NOME_CONTA"));
    QCOMPARE(celula(w->Grid_Credito, 1, "VALOR"), QString("1.234,50"));
    QCOMPARE(w->Tb_credito->value(1, "CD_MOVIMENTO"), r.value("CD_MOVIMENTO"));
    QCOMPARE(w->lb_totcredito->text(), QString("R$ 1.234,50"));
    QCOMPARE(w->lb_totdebito->text(), QString("R$ 0,00"));

    // a second credit right away, then the debit list: an entry without an
    // account (the untouched new credit row goes away without a question)
    tecla(w, Qt::Key_Return);
    digitaNoFoco("troco");
    tecla(w, Qt::Key_Return);
    digitaNoFoco("15,5");
    tecla(w, Qt::Key_Return);
    QCOMPARE(w->lb_totcredito->text(), QString("R$ 1.250,00"));
    w->Grid_Debito->setFocus();
    tecla(w, Qt::Key_Return); // the empty list starts an entry
    QCOMPARE(w->Tb_debito->state(), db::Dataset::State::Insert);
    tecla(w, Qt::Key_Return);
    digitaNoFoco("conta de luz");
    tecla(w, Qt::Key_Return);
    digitaNoFoco("80.25");
    tecla(w, Qt::Key_Return);
    QTRY_COMPARE(w->Tb_credito->state(), db::Dataset::State::Browse);
    QCOMPARE(w->Tb_credito->recordCount(), 2);

    r = amb.conexao().execute("select * from MOVIMENTO where DEBITO_CREDITO = 'D'");
    QCOMPARE(r.rowCount(), 1);
    QVERIFY(r.value("CD_CONTA").isNull());
    QCOMPARE(r.value("DESCRICAO").toString(), QString("CONTA DE LUZ"));
    QCOMPARE(decimal(r.value("VALOR")), db::Decimal(8025, 2));
    QCOMPARE(celula(w->Grid_Debito, 1, "NOME_CONTA"), QString());
    QCOMPARE(celula(w->Grid_Debito, 1, "DESCRICAO"), QString("CONTA DE LUZ"));
    QCOMPARE(w->lb_totdebito->text(), QString("R$ 80,25"));
    QCOMPARE(w->lb_totcredito->text(), QString("R$ 1.250,00"));
    // the day as the database keeps it, in the recent days too
    r = amb.conexao().execute("select * from SALDOCAIXA");
    QCOMPARE(r.rowCount(), 1);
    QCOMPARE(decimal(r.value("SALDOATUAL")), db::Decimal(116975, 2));
    QCOMPARE(w->Tb_saldocaixa->value("DTSALDO").toDate(), dia);
    QCOMPARE(celula(w->Grid_Saldo, 0, "SALDOATUAL"), QString("1.169,75"));
    QCOMPARE(msg.quantas(), 0);
}

void TestCaixaGeral::rowsWithoutValueAreNeverWritten_data()
{
    QTest::addColumn<QString>("valor");
    QTest::addColumn<bool>("sai"); // leave the list (and answer Yes) instead of Enter
    QTest::newRow("empty value, leaving the list") << "" << true;
    QTest::newRow("zero, Enter") << "0" << false;
    QTest::newRow("zero, leaving the list") << "0,00" << true;
}

void TestCaixaGeral::rowsWithoutValueAreNeverWritten()
{
    QFETCH(QString, valor);
    QFETCH(bool, sai);
    Ambiente amb;
    auto *w = abreDia(amb, diasAtras(1));
    w->Grid_Credito->setFocus();
    tecla(w, Qt::Key_Return);
    tecla(w, Qt::Key_Return);
    digitaNoFoco("sem valor");
    tecla(w, Qt::Key_Return);
    digitaNoFoco(valor);
    Mensagens msg;
    msg.responde(QMessageBox::Yes);
    if (sai) {
        if (valor.isEmpty()) {
            tecla(w, Qt::Key_Return); // not complete: back to CONTA, nothing recorded
            QCOMPARE(w->Grid_Credito->campoAtual(), QString("NOME_CONTA"));
            QCOMPARE(w->Tb_credito->state(), db::Dataset::State::Insert);
        }
        w->Grid_Debito->setFocus();
        QTRY_COMPARE(msg.quantas(), 1);
        QCOMPARE(msg.textos(), QStringList({kSalva}));
        QCOMPARE(msg.vistas()[0].icone, QMessageBox::Information);
    } else {
        tecla(w, Qt::Key_Return);
    }
    QTRY_COMPARE(w->Tb_credito->recordCount(), sai ? 0 : 1); // Enter starts the next entry
    QCOMPARE(w->Tb_credito->changeCount(), 0);
    QCOMPARE(amb.conexao().execute("select count(*) as N from MOVIMENTO").value("N").toInt(), 0);
    QCOMPARE(amb.conexao().execute("select count(*) as N from SALDOCAIXA").value("N").toInt(), 0);
    QCOMPARE(w->lb_totcredito->text(), QString("R$ 0,00"));
}

void TestCaixaGeral::leavingAListAsksAboutItsRow_data()
{
    QTest::addColumn<bool>("sim");
    QTest::newRow("yes records") << true;
    QTest::newRow("no discards") << false;
}

void TestCaixaGeral::leavingAListAsksAboutItsRow()
{
    QFETCH(bool, sim);
    Ambiente amb;
    auto *w = abreDia(amb, diasAtras(1));
    w->Grid_Debito->setFocus();
    tecla(w, Qt::Key_Return);
    tecla(w, Qt::Key_Return);
    digitaNoFoco("gasolina");
    tecla(w, Qt::Key_Return);
    digitaNoFoco("60");
    Mensagens msg;
    msg.responde(sim ? QMessageBox::Yes : QMessageBox::No);
    w->EDIT_DATACAIXA->setFocus(); // the typed value goes with the cell
    QTRY_COMPARE(msg.quantas(), 1);
    QCOMPARE(msg.textos(), QStringList({kSalva}));
    QTRY_COMPARE(w->Tb_debito->state(), db::Dataset::State::Browse);
    const auto r = amb.conexao().execute("select * from MOVIMENTO");
    QCOMPARE(r.rowCount(), sim ? 1 : 0);
    if (sim) {
        QCOMPARE(decimal(r.value("VALOR")), db::Decimal(6000, 2));
        QCOMPARE(w->lb_totdebito->text(), QString("R$ 60,00"));
        QTRY_VERIFY(w->EDIT_DATACAIXA->editor()->hasFocus());
    } else {
        QCOMPARE(w->Tb_debito->recordCount(), 0);
        QTRY_VERIFY(w->Grid_Debito->temFoco()); // back to the list
    }
    // leaving the date box located the day again: nothing else asked
    QCOMPARE(msg.quantas(), 1);
}

void TestCaixaGeral::blankOpensTheAccountChooser()
{
    Ambiente amb;
    lancaNoBanco(amb.conexao(), diasAtras(1), "D", "30", 5, "LUZ DO GALPAO");
    auto *w = abreDia(amb, diasAtras(1));
    QCOMPARE(celula(w->Grid_Debito, 0, "NOME_CONTA"), QString("ENERGIA ELETRICA"));
    w->Grid_Debito->setFocus();
    w->Grid_Debito->vaiParaColuna("NOME_CONTA");

    // the chooser: its texts, the search, "&Sair" changes nothing
    QStringList vistos;
    testsupport::quandoAbrir<FrmEscolheConta>([&](FrmEscolheConta *d) {
        vistos << d->windowTitle() << d->Label_Titulo->text() << d->Bt_OK->text() << d->Bt_Remover->text()
               << d->Bt_Sair->text();
        auto *m = d->Grid_Contas->modelo();
        vistos << m->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString()
               << m->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString();
        testsupport::digita(d->EDIT_BUSCA, "co");
        vistos << d->EDIT_BUSCA->text() << d->Grid_Contas->dataset()->text("DESCRICAO");
        d->Bt_Sair->click();
    });
    tecla(w, Qt::Key_Space);
    QCOMPARE(vistos, QStringList({"Escolha de Conta", "Escolha a Conta", "&OK", "&Remover", "&Sair", "CONTA",
                                  "NUM CONTA", "CO", "COMBUSTIVEL"}));
    QCOMPARE(w->Tb_debito->state(), db::Dataset::State::Browse);
    QTRY_VERIFY(w->Grid_Debito->temFoco());

    // a double-click chooses; the entry is altered when its row is recorded
    testsupport::quandoAbrir<FrmEscolheConta>([](FrmEscolheConta *d) {
        testsupport::digita(d->EDIT_BUSCA, "desp");
        emit d->Grid_Contas->duploClique();
    });
    tecla(w, Qt::Key_Space);
    QCOMPARE(w->Tb_debito->state(), db::Dataset::State::Edit);
    QCOMPARE(celula(w->Grid_Debito, 0, "NOME_CONTA"), QString("DESPESAS GERAIS"));
    QTRY_VERIFY(w->Grid_Debito->temFoco());
    tecla(w, Qt::Key_Return);
    tecla(w, Qt::Key_Return);
    tecla(w, Qt::Key_Return); // on VALOR of a complete entry: recorded
    QCOMPARE(amb.conexao().execute("select CD_CONTA from MOVIMENTO").value("CD_CONTA").toInt(), 3);

    // "&Remover" takes the account away
    w->Tb_debito->cancel();
    w->Tb_debito->locate("DESCRICAO", "LUZ DO GALPAO");
    w->Grid_Debito->vaiParaColuna("NOME_CONTA");
    testsupport::quandoAbrir<FrmEscolheConta>([](FrmEscolheConta *d) { d->Bt_Remover->click(); });
    tecla(w, Qt::Key_Space);
    QVERIFY(w->Tb_debito->isNull("CD_CONTA"));
    QTRY_VERIFY(w->Grid_Debito->temFoco());
    w->Grid_Debito->vaiParaColuna("VALOR");
    tecla(w, Qt::Key_Return);
    QVERIFY(amb.conexao().execute("select CD_CONTA from MOVIMENTO").value("CD_CONTA").isNull());
    // letters are not typed into CONTA
    w->Grid_Debito->vaiParaColuna("NOME_CONTA");
    digitaNoFoco("abc");
    QCOMPARE(w->Tb_debito->recNo(), 0);
    QVERIFY(!w->Grid_Debito->indexWidget(w->Grid_Debito->currentIndex()));
}

void TestCaixaGeral::movingToAnotherRowRecordsTheRow()
{
    // A click on another row, or the arrow keys, record the row being
    // typed as the grid leaves it; no question is asked.
    Ambiente amb;
    const QDate dia = diasAtras(2);
    lancaNoBanco(amb.conexao(), dia, "D", "1", 3, "PRIMEIRO");
    lancaNoBanco(amb.conexao(), dia, "D", "2", 3, "SEGUNDO");
    auto *w = abreDia(amb, dia);
    Mensagens msg;
    auto *g = w->Grid_Debito;
    g->setFocus();
    tecla(w, Qt::Key_Insert);
    tecla(w, Qt::Key_Return);
    digitaNoFoco("clicado");
    tecla(w, Qt::Key_Return);
    digitaNoFoco("3");
    QVERIFY(g->indexWidget(g->currentIndex())); // the cell is still open
    const QRect linha2 = g->visualRect(g->modelo()->index(2, 1));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, linha2.center());
    QCOMPARE(amb.conexao().execute("select count(*) as N from MOVIMENTO").value("N").toInt(), 3);
    QCOMPARE(w->lb_totdebito->text(), QString("R$ 6,00"));
    QCOMPARE(w->Tb_debito->state(), db::Dataset::State::Browse);
    QCOMPARE(w->Tb_debito->recordCount(), 3);
    QCOMPARE(g->currentIndex().row(), w->Tb_debito->recNo());

    // an entry altered, then the arrow key
    w->Tb_debito->first();
    const QVariant alterado = w->Tb_debito->value("CD_MOVIMENTO");
    const int antes = w->Tb_debito->decimal("VALOR").rescaled(0).units();
    g->vaiParaColuna("VALOR");
    digitaNoFoco("10");
    tecla(w, Qt::Key_Down);
    QCOMPARE(w->Tb_debito->state(), db::Dataset::State::Browse);
    QCOMPARE(decimal(amb.conexao()
                         .execute("select VALOR from MOVIMENTO where CD_MOVIMENTO = :C", {{"C", alterado}})
                         .value("VALOR")),
             db::Decimal(1000, 2));
    QCOMPARE(w->lb_totdebito->text(), "R$ " + QString::number(6 - antes + 10) + ",00");
    QCOMPARE(w->Tb_debito->recNo(), 1);
    QCOMPARE(g->currentIndex().row(), 1);

    // a row posted by anything else is written all the same
    g->vaiParaColuna("VALOR");
    digitaNoFoco("7");
    g->confirmaEdicao();
    w->Tb_debito->first();
    QTRY_COMPARE(w->Tb_debito->changeCount(), 0);
    QCOMPARE(amb.conexao().execute("select count(*) as N from MOVIMENTO where VALOR = 7").value("N").toInt(), 1);
    QCOMPARE(msg.quantas(), 0);
}

void TestCaixaGeral::deletion()
{
    Ambiente amb;
    const QDate dia = diasAtras(2);
    lancaNoBanco(amb.conexao(), dia, "C", "100", 2, "VENDAS");
    lancaNoBanco(amb.conexao(), dia, "C", "25", 4, "RECEBIDO");
    auto *w = abreDia(amb, dia);
    QCOMPARE(w->Deletar_Credito->text(), QString("Deletar Este Registro"));
    QVERIFY(w->Grid_Credito->actions().contains(w->Deletar_Credito));
    QCOMPARE(w->lb_totcredito->text(), QString("R$ 125,00"));
    w->Tb_credito->locate("DESCRICAO", "VENDAS");
    {
        Mensagens msg;
        msg.responde(QMessageBox::No);
        w->Deletar_Credito->trigger();
        QCOMPARE(msg.textos(), QStringList({"Deseja realmente deletar o registro ???"}));
        QCOMPARE(msg.vistas()[0].icone, QMessageBox::Question);
    }
    QCOMPARE(w->Tb_credito->recordCount(), 2);
    {
        Mensagens msg;
        msg.responde(QMessageBox::Yes);
        w->Deletar_Credito->trigger();
    }
    QCOMPARE(w->Tb_credito->recordCount(), 1);
    QCOMPARE(w->Tb_credito->text("DESCRICAO"), QString("RECEBIDO"));
    QCOMPARE(w->lb_totcredito->text(), QString("R$ 25,00"));
    // the last entry of the day: the day stays with the totals the database computes
    {
        Mensagens msg;
        msg.responde(QMessageBox::Yes);
        w->Deletar_Credito->trigger();
    }
    QCOMPARE(amb.conexao().execute("select count(*) as N from MOVIMENTO").value("N").toInt(), 0);
    auto r = amb.conexao().execute("select * from SALDOCAIXA");
    QCOMPARE(decimal(r.value("TOTCREDITO")), db::Decimal(0, 2));
    QCOMPARE(decimal(r.value("SALDOATUAL")), db::Decimal(0, 2));
    QCOMPARE(w->lb_totcredito->text(), QString("R$ 0,00"));
    QCOMPARE(celula(w->Grid_Saldo, 0, "TOTCREDITO"), QString("0,00"));
    // empty lists
    Mensagens msg;
    w->Deletar_Credito->trigger();
    w->Deletar_Debito->trigger();
    QCOMPARE(msg.textos(), QStringList({"O Banco de Dados está vazio!!! ", "O Banco de Dados está vazio! "}));
    QCOMPARE(msg.vistas()[1].icone, QMessageBox::Critical);
}

void TestCaixaGeral::totalsAndRecentDaysFollowTheDatabase()
{
    Ambiente amb;
    const QDate dia = diasAtras(4);
    lancaNoBanco(amb.conexao(), dia, "C", "10");
    auto *w = abreDia(amb, dia);
    QCOMPARE(w->lb_totcredito->text(), QString("R$ 10,00"));
    // another workstation closes its sales cash day meanwhile
    auto outra = amb.outraConexao();
    lancaNoBanco(*outra, dia, "C", "1500", 2, "VENDA A VISTA");
    lancaNoBanco(*outra, dia, "D", "200.4", 1, "VALES");
    lancaNoBanco(*outra, diasAtras(1), "C", "7");
    QCOMPARE(w->Tb_credito->recordCount(), 1); // seen when the day is located again
    w->bt_localizar->click();
    QCOMPARE(w->Tb_credito->recordCount(), 2);
    QCOMPARE(w->Tb_debito->recordCount(), 1);
    QCOMPARE(w->lb_totcredito->text(), QString("R$ 1.510,00"));
    QCOMPARE(w->lb_totdebito->text(), QString("R$ 200,40"));
    // a write of this window reads the recent days again
    QCOMPARE(w->Tb_saldocaixa->recordCount(), 1);
    w->Grid_Debito->setFocus();
    tecla(w, Qt::Key_Insert);
    tecla(w, Qt::Key_Return);
    digitaNoFoco("frete");
    tecla(w, Qt::Key_Return);
    digitaNoFoco("9,6");
    tecla(w, Qt::Key_Return);
    QCOMPARE(w->Tb_saldocaixa->recordCount(), 2);
    QCOMPARE(w->Tb_saldocaixa->value("DTSALDO").toDate(), dia); // the day found again
    QCOMPARE(w->lb_totdebito->text(), QString("R$ 210,00"));
    QCOMPARE(celula(w->Grid_Saldo, 0, "SALDOATUAL"), QString("1.307,00")); // the later day follows
    QCOMPARE(celula(w->Grid_Saldo, 1, "SALDOATUAL"), QString("1.300,00"));

    // a day older than the recent ones shows its own totals all the same
    lancaNoBanco(amb.conexao(), diasAtras(90), "D", "12.34");
    w->EDIT_DATACAIXA->setData(diasAtras(90));
    w->bt_localizar->click();
    QCOMPARE(w->lb_totdebito->text(), QString("R$ 12,34"));
    QCOMPARE(w->lb_totcredito->text(), QString("R$ 0,00"));
    QCOMPARE(w->Tb_debito->recordCount(), 1);
}

void TestCaixaGeral::backDatedEntryMovesLaterBalances()
{
    Ambiente amb;
    lancaNoBanco(amb.conexao(), diasAtras(3), "C", "100");
    lancaNoBanco(amb.conexao(), diasAtras(2), "D", "30");
    auto *w = abreDia(amb, diasAtras(6));
    QCOMPARE(w->lb_totcredito->text(), QString("R$ 0,00"));
    w->Grid_Credito->setFocus();
    tecla(w, Qt::Key_Return);
    tecla(w, Qt::Key_Return);
    digitaNoFoco("saldo inicial");
    tecla(w, Qt::Key_Return);
    digitaNoFoco("50");
    tecla(w, Qt::Key_Return);
    const auto r = amb.conexao().execute("select DTSALDO, SALDOATUAL from SALDOCAIXA order by DTSALDO");
    QCOMPARE(r.rowCount(), 3);
    const qint64 esperado[] = {5000, 15000, 12000};
    for (int i = 0; i < 3; ++i)
        QCOMPARE(decimal(r.value(i, "SALDOATUAL")), db::Decimal(esperado[i], 2));
    // the recent days, newest first
    QCOMPARE(w->Tb_saldocaixa->recordCount(), 3);
    QCOMPARE(celula(w->Grid_Saldo, 0, "SALDOATUAL"), QString("120,00"));
    QCOMPARE(celula(w->Grid_Saldo, 1, "SALDOATUAL"), QString("150,00"));
    QCOMPARE(celula(w->Grid_Saldo, 2, "SALDOATUAL"), QString("50,00"));
    QCOMPARE(celula(w->Grid_Saldo, 2, "DTSALDO"), diasAtras(6).toString("dd/MM/yyyy"));
    // and deleting it moves them back
    w->Tb_credito->cancel(); // the new row started after it
    w->Tb_credito->locate("DESCRICAO", "SALDO INICIAL");
    Mensagens msg;
    msg.responde(QMessageBox::Yes);
    w->Deletar_Credito->trigger();
    QCOMPARE(celula(w->Grid_Saldo, 0, "SALDOATUAL"), QString("70,00"));
}

void TestCaixaGeral::locatingDays()
{
    Ambiente amb;
    auto *w = abreDia(amb, diasAtras(1));
    QCOMPARE(w->PageControl->tabText(0), QString("Manutenção de Caixa"));
    QCOMPARE(w->PageControl->tabText(1), QString("Saldo do Caixa"));
    QCOMPARE(w->bt_localizar->text(), QString("&Localizar"));
    QCOMPARE(w->bt_localizar->toolTip(), QString("Localiza um Determinado Caixa"));
    QCOMPARE(w->bt_sair->toolTip(), QString("Fecha esta janela de cadastro"));
    // a date without entries: zero totals, lists open for new entries
    QCOMPARE(w->lb_totcredito->text(), QString("R$ 0,00"));
    QCOMPARE(w->lb_totdebito->text(), QString("R$ 0,00"));
    QVERIFY(w->Painel_Credito->isEnabled());
    QCOMPARE(w->lb_titulo->text(), "Caixa do Dia " + diasAtras(1).toString("dd/MM/yyyy"));
    // the date typed, then Enter: located on leaving the box
    w->EDIT_DATACAIXA->setFocus();
    w->EDIT_DATACAIXA->editor()->clear();
    testsupport::digita(w->EDIT_DATACAIXA->editor(), diasAtras(7).toString("ddMMyy"));
    tecla(w, Qt::Key_Return);
    QCOMPARE(w->dia(), diasAtras(7));
    QCOMPARE(app::DataCaixaGeral, diasAtras(7));
    QCOMPARE(w->lb_titulo->text(), "Caixa do Dia " + diasAtras(7).toString("dd/MM/yyyy"));
    QVERIFY(w->Grid_Credito->temFoco());
    // an empty date box
    w->EDIT_DATACAIXA->setData(QDate());
    Mensagens msg;
    w->bt_localizar->click();
    QCOMPARE(msg.textos(), QStringList({"Entre com a Data do Caixa! "}));
    QCOMPARE(msg.vistas()[0].icone, QMessageBox::Information);
    QCOMPARE(w->lb_totcredito->text(), QString());
    QCOMPARE(w->dia(), diasAtras(7)); // the lists keep their day
}

void TestCaixaGeral::tabRules()
{
    Ambiente amb;
    lancaNoBanco(amb.conexao(), diasAtras(8), "C", "11");
    lancaNoBanco(amb.conexao(), diasAtras(5), "C", "22");
    auto *w = abreDia(amb, diasAtras(5));
    // leaving the entries while a row is being typed
    w->Grid_Credito->setFocus();
    tecla(w, Qt::Key_Insert);
    tecla(w, Qt::Key_Return);
    digitaNoFoco("meio digitado");
    for (bool sim : {false, true}) {
        Mensagens msg;
        msg.responde(sim ? QMessageBox::Yes : QMessageBox::No);
        w->PageControl->setCurrentWidget(w->TabSheet_Saldo);
        QCOMPARE(msg.textos(), QStringList({app::FormCadastro::perguntaCancelamento()}));
        QCOMPARE(msg.vistas()[0].icone, QMessageBox::Information);
        QCOMPARE(w->PageControl->currentWidget(), sim ? w->TabSheet_Saldo : w->TabSheet_Manutencao);
        QCOMPARE(w->Tb_credito->isEditing(), !sim);
        QTest::qWait(20);
        QCOMPARE(msg.quantas(), 1); // and nothing more asked
    }
    QCOMPARE(w->Tb_credito->recordCount(), 1);
    // leaving "Saldo do Caixa" opens the day selected there
    w->Tb_saldocaixa->locate("DTSALDO", diasAtras(8));
    Mensagens msg;
    w->PageControl->setCurrentWidget(w->TabSheet_Manutencao);
    QCOMPARE(w->dia(), diasAtras(8));
    QCOMPARE(app::DataCaixaGeral, diasAtras(8));
    QCOMPARE(w->lb_totcredito->text(), QString("R$ 11,00"));
    QCOMPARE(w->EDIT_DATACAIXA->data(), diasAtras(8));
    // a double-click on a day does the same and shows the entries
    w->PageControl->setCurrentWidget(w->TabSheet_Saldo);
    w->Tb_saldocaixa->locate("DTSALDO", diasAtras(5));
    emit w->Grid_Saldo->duploClique();
    QCOMPARE(w->PageControl->currentWidget(), w->TabSheet_Manutencao);
    QCOMPARE(w->dia(), diasAtras(5));
    QCOMPARE(w->lb_titulo->text(), "Caixa do Dia " + diasAtras(5).toString("dd/MM/yyyy"));
    QCOMPARE(w->lb_totcredito->text(), QString("R$ 22,00"));
    QCOMPARE(msg.quantas(), 0);
}

void TestCaixaGeral::closingWhileTyping()
{
    Ambiente amb;
    auto *w = abreDia(amb, diasAtras(1));
    w->Grid_Debito->setFocus();
    tecla(w, Qt::Key_Return);
    tecla(w, Qt::Key_Return);
    digitaNoFoco("pendente");
    tecla(w, Qt::Key_Return);
    digitaNoFoco("5");
    {
        Mensagens msg;
        msg.responde(QMessageBox::No);
        w->bt_sair->click();
        QCOMPARE(msg.textos(), QStringList({app::FormCadastro::perguntaCancelamento()}));
    }
    QVERIFY(app::janela<FrmCadCaixaGeral>());
    QVERIFY(w->Tb_debito->isEditing());
    {
        Mensagens msg;
        msg.responde(QMessageBox::Yes);
        w->close();
        QCOMPARE(msg.quantas(), 1);
    }
    QTRY_VERIFY(!app::janela<FrmCadCaixaGeral>());
    QCOMPARE(amb.conexao().execute("select count(*) as N from MOVIMENTO").value("N").toInt(), 0);
    // an untouched new row asks nothing
    w = abreDia(amb, diasAtras(1));
    w->Grid_Debito->setFocus();
    tecla(w, Qt::Key_Insert);
    Mensagens msg;
    w->close();
    QTRY_VERIFY(!app::janela<FrmCadCaixaGeral>());
    QCOMPARE(msg.quantas(), 0);
}

void TestCaixaGeral::negativeValueRefused()
{
    Ambiente amb;
    auto *w = abreDia(amb, diasAtras(1));
    w->Grid_Credito->setFocus();
    tecla(w, Qt::Key_Return);
    tecla(w, Qt::Key_Return);
    digitaNoFoco("estorno");
    tecla(w, Qt::Key_Return);
    digitaNoFoco("-20");
    Mensagens msg;
    tecla(w, Qt::Key_Return);
    QCOMPARE(msg.textos(), QStringList({"O valor do lançamento deve ser positivo!"}));
    QCOMPARE(w->Tb_credito->state(), db::Dataset::State::Insert);
    QCOMPARE(w->Grid_Credito->campoAtual(), QString("VALOR"));
    QCOMPARE(amb.conexao().execute("select count(*) as N from MOVIMENTO").value("N").toInt(), 0);
}

void TestCaixaGeral::refusedApplyShowsTheDatabaseAgain()
{
    Ambiente amb;
    lancaNoBanco(amb.conexao(), diasAtras(1), "C", "40", 2, "APAGADO LA");
    auto *w = abreDia(amb, diasAtras(1));
    amb.outraConexao()->execute("delete from MOVIMENTO");
    w->Grid_Credito->setFocus();
    w->Grid_Credito->vaiParaColuna("VALOR");
    digitaNoFoco("45");
    Mensagens msg;
    tecla(w, Qt::Key_Return);
    QCOMPARE(msg.textos(), QStringList({app::textoRelacionamentos()}));
    QCOMPARE(msg.vistas()[0].icone, QMessageBox::Warning);
    QCOMPARE(w->Tb_credito->changeCount(), 0);
    QCOMPARE(w->lb_totcredito->text(), QString("R$ 0,00"));
    QCOMPARE(amb.conexao().execute("select count(*) as N from MOVIMENTO").value("N").toInt(), 0);
    // the list shows the database again (and a new row to type into)
    QCOMPARE(w->Tb_credito->recordCount(), 1);
    QCOMPARE(w->Tb_credito->state(), db::Dataset::State::Insert);
}

QTEST_MAIN(TestCaixaGeral)
#include "test_caixa_geral.moc"
