// The input widgets every window uses, alone and tied to a dataset.

#include "app/campos.h"
#include "app/camposdb.h"
#include "app/janela.h"
#include "db/dataset.h"
#include "support/gui.h"
#include "support/testdb.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QtTest>

using testsupport::digita;

// A window with one field of each kind over a dataset, and a chooser.
class JanelaCampos : public app::Janela
{
    Q_OBJECT

public:
    explicit JanelaCampos(db::Connection *c)
    {
        ds = new db::Dataset(c, "SELECT * FROM FORNECEDOR ORDER BY CD_FORNECEDOR", this);
        lista = new db::Dataset(c, "SELECT CD_PRODUTO, NOME FROM PRODUTO ORDER BY NOME", this);
        auto *l = new QVBoxLayout(this);
        nome = new app::EditTexto(this);
        preco = new app::EditDecimal(this);
        cadastro = new app::EditData(this);
        cpf = new app::EditMascara("999.999.999-99;_", this);
        ativo = new app::CaixaSN("ATIVO", this);
        debito = new QLabel(this);
        escolha = new app::CampoEscolha(this);
        escolha->setLista(lista, "CD_PRODUTO", "Escolha o produto", {{"CD_PRODUTO", "CODIGO"}, {"NOME", "NOME"}});
        for (QWidget *w : std::initializer_list<QWidget *>{nome, preco, cadastro, cpf, ativo, debito, escolha})
            l->addWidget(w);
        app::liga(nome, ds, "NOME");
        app::liga(preco, ds, "PRECO");
        app::liga(cadastro, ds, "DT_CADASTRO");
        app::liga(cpf, ds, "CPF");
        app::liga(ativo, ds, "ATIVO");
        app::liga(debito, ds, "TOTAL_DEBITO", "#,##0.00");
        ds->open();
        lista->open();
    }
    db::Dataset *ds, *lista;
    app::EditTexto *nome;
    app::EditDecimal *preco;
    app::EditData *cadastro;
    app::EditMascara *cpf;
    app::CaixaSN *ativo;
    QLabel *debito;
    app::CampoEscolha *escolha;
    int teclasVistas = 0;

    bool FormKeyDown(QKeyEvent *e) override
    {
        ++teclasVistas;
        return Janela::FormKeyDown(e);
    }
};

class TestCampos : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textIsUpperCaseWhileTyping();
    void decimalTakesPointAsComma();
    void dateReadsTwoDigitYears_data();
    void dateReadsTwoDigitYears();
    void tiedFieldsShowAndWriteTheRow();
    void enterMovesToTheNextFieldAndAround();
    void chooserKeepsItsKeys();
    void gridCheckBoxAndReadOnlyColumns();
};

void TestCampos::textIsUpperCaseWhileTyping()
{
    app::EditTexto e;
    digita(&e, "joão da conceição ß1");
    QCOMPARE(e.text(), QString("JOÃO DA CONCEIÇÃO SS1"));
    app::EditTexto livre;
    livre.setMaiusculas(false);
    digita(&livre, "Senha");
    QCOMPARE(livre.text(), QString("Senha"));
}

void TestCampos::decimalTakesPointAsComma()
{
    app::EditDecimal e;
    digita(&e, "1.25x");
    QCOMPARE(e.text(), QString("1,25"));
    QCOMPARE(*e.valor(), db::Decimal(125, 2));
    e.clear();
    digita(&e, "12.5.3"); // a second separator is not taken
    QCOMPARE(e.text(), QString("12,53"));
    e.setText("1.234,5");
    QCOMPARE(*e.valor(), db::Decimal(123450, 2));
    e.clear();
    QVERIFY(!e.valor());
}

void TestCampos::dateReadsTwoDigitYears_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QDate>("data");
    QTest::newRow("49 is 2049") << "31/12/49" << QDate(2049, 12, 31);
    QTest::newRow("50 is 1950") << "01/01/50" << QDate(1950, 1, 1);
    QTest::newRow("four digits") << "15/03/2026" << QDate(2026, 3, 15);
    QTest::newRow("digits only") << "150326" << QDate(2026, 3, 15);
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("impossible day") << "31/02/26" << QDate();
}

void TestCampos::dateReadsTwoDigitYears()
{
    QFETCH(QString, texto);
    QFETCH(QDate, data);
    app::EditData e;
    e.setTexto(texto);
    QCOMPARE(e.data(), data);
    QCOMPARE(e.vazia(), texto.isEmpty());
}

void TestCampos::tiedFieldsShowAndWriteTheRow()
{
    testsupport::Ambiente amb;
    JanelaCampos w(&amb.conexao());
    w.show();
    QTRY_COMPARE(w.nome->text(), QString("JOSE APARECIDO DA SILVA"));
    QCOMPARE(w.preco->text(), QString("2,40"));
    QCOMPARE(w.cadastro->data(), QDate(2026, 1, 5));
    QCOMPARE(w.cpf->digitos(), QString("12345678909"));
    QVERIFY(w.ativo->isChecked());
    w.ds->edit();
    w.nome->selectAll();
    digita(w.nome, "josé");
    w.preco->clear();
    digita(w.preco, "2.6");
    w.cadastro->setTexto("02/02/26");
    emit w.cadastro->dataAlterada();
    w.cpf->setText("");
    w.cpf->setCursorPosition(0);
    digita(w.cpf, "98765432100");
    w.ativo->click();
    w.ds->setValue("TOTAL_DEBITO", db::Decimal(123456, 2).toVariant());
    QCOMPARE(w.debito->text(), QString("1.234,56"));
    w.ds->post(); // the label shows the value and never writes its text back
    w.ds->applyUpdates();
    const auto r = amb.conexao().execute(
        "select NOME, PRECO, DT_CADASTRO, CPF, ATIVO, TOTAL_DEBITO from FORNECEDOR where CD_FORNECEDOR = 1");
    QCOMPARE(r.value("NOME").toString(), QString("JOSÉ"));
    QCOMPARE(r.value("PRECO").value<db::Decimal>(), db::Decimal(260, 2));
    QCOMPARE(r.value("DT_CADASTRO").toDate(), QDate(2026, 2, 2));
    QCOMPARE(r.value("CPF").toString(), QString("98765432100"));
    QCOMPARE(r.value("ATIVO").toString(), QString("N"));
    QCOMPARE(r.value("TOTAL_DEBITO").value<db::Decimal>(), db::Decimal(123456, 2));
    // the text limit follows the column's width
    QCOMPARE(w.nome->maxLength(), 60);
}

void TestCampos::enterMovesToTheNextFieldAndAround()
{
    testsupport::Ambiente amb;
    JanelaCampos w(&amb.conexao());
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.nome->setFocus();
    testsupport::tecla(&w, Qt::Key_Return);
    QVERIFY(w.preco->hasFocus());
    testsupport::tecla(&w, Qt::Key_Return);
    QVERIFY(w.cadastro->editor()->hasFocus());
    w.escolha->setFocus();
    testsupport::tecla(&w, Qt::Key_Return);
    QVERIFY(w.nome->hasFocus()); // around to the first
}

void TestCampos::chooserKeepsItsKeys()
{
    testsupport::Ambiente amb;
    JanelaCampos w(&amb.conexao());
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.ds->edit();
    int vistasAntes = -1, vistasDepois = -1;
    QString titulo;
    testsupport::quandoAbrir<app::DialogoEscolha>([&](app::DialogoEscolha *d) {
        titulo = d->windowTitle();
        vistasAntes = w.teclasVistas;
        digita(d->busca(), "queijo m");
        QTest::keyClick(d->busca(), Qt::Key_F4);
        vistasDepois = w.teclasVistas;
        d->accept();
    });
    QVERIFY(w.escolha->escolhe());
    QCOMPARE(titulo, QString("Escolha o produto"));
    // keys typed in the chooser are the chooser's, not the window's
    QVERIFY(vistasAntes >= 0);
    QCOMPARE(vistasDepois, vistasAntes);
    QCOMPARE(w.escolha->chave().toInt(), 6); // QUEIJO MINAS FRESCAL: the first name with the prefix
}

void TestCampos::gridCheckBoxAndReadOnlyColumns()
{
    testsupport::Ambiente amb;
    db::Dataset ds(&amb.conexao(), "SELECT * FROM CONTA ORDER BY CD_CONTA");
    auto leitura = db::DatasetModel::Column("DESCRICAO", "NOME");
    auto valor = db::DatasetModel::Column::formatted("SALDO", "SALDO", "#,##0.00");
    valor.readOnly = false;
    ds.model()->setColumns({leitura, db::DatasetModel::Column::check("SAIREL", "SAI", true), valor});
    app::GradeDados g;
    g.setDataset(&ds);
    ds.open();
    g.show();
    QCOMPARE(g.model()->rowCount(), 6);
    QVERIFY(!(g.model()->flags(g.model()->index(0, 0)) & Qt::ItemIsEditable));
    QVERIFY(g.model()->flags(g.model()->index(0, 1)) & Qt::ItemIsUserCheckable);
    // the grid and the dataset follow each other
    g.setCurrentIndex(g.model()->index(3, 0));
    QCOMPARE(ds.recNo(), 3);
    ds.first();
    QCOMPARE(g.currentIndex().row(), 0);
    // ticking a check box and typing an amount with the comma alter the row
    QVERIFY(g.model()->setData(g.model()->index(0, 1), Qt::Unchecked, Qt::CheckStateRole));
    g.setCurrentIndex(g.model()->index(0, 2));
    g.edit(g.currentIndex());
    auto *editor = qobject_cast<app::EditDecimal *>(QApplication::focusWidget());
    if (!editor)
        editor = g.findChild<app::EditDecimal *>();
    QVERIFY(editor);
    editor->clear();
    digita(editor, "1234.5");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the grid hands the cell over queued
    QCOMPARE(ds.decimal("SALDO"), db::Decimal(123450, 2));
    QCOMPARE(ds.text("SAIREL"), QString("N"));
    QCOMPARE(g.model()->data(g.model()->index(0, 2), Qt::DisplayRole).toString(), QString("1.234,50"));
    ds.post();
    ds.applyUpdates();
    QCOMPARE(amb.conexao().execute("select SAIREL from CONTA where CD_CONTA = 1").value("SAIREL").toString(), QString("N"));
}

QTEST_MAIN(TestCampos)
#include "test_campos.moc"
