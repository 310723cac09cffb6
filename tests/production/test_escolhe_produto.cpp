// The modal product chooser as production and butter packaging call it:
// the products of one type, the prefix search, the optional filter over the
// codes, the chosen code in ProdutoEscolhido, and a fresh dialog each time.

#include "app/campos.h"
#include "app/camposdb.h"
#include "app/globais.h"
#include "db/dataset.h"
#include "production/frmescolheproduto.h"
#include "support/gui.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using producao::FrmEscolheProduto;
using testsupport::Ambiente;
using testsupport::digita;
using testsupport::quandoAbrir;
using testsupport::tecla;

namespace {

QStringList nomes(FrmEscolheProduto *d)
{
    QStringList n;
    for (int i = 0; i < d->Q_Produto->recordCount(); ++i)
        n << d->Q_Produto->value(i, "NOME").toString();
    return n;
}

} // namespace

class TestEscolheProduto : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listsTheTypeAndSearchesByPrefix();
    void leavingWithoutChoosingGivesZero_data();
    void leavingWithoutChoosingGivesZero();
    void emptyListGivesZero();
    void filterNarrowsTheListForOneUseOnly_data();
    void filterNarrowsTheListForOneUseOnly();
    void enterMovesToTheNextControl();
};

void TestEscolheProduto::listsTheTypeAndSearchesByPrefix()
{
    Ambiente amb;
    QStringList vistos;
    QString titulo, rotulo;
    QStringList colunas;
    QStringList achados;
    bool ativo = false;
    bool buscaComFoco = false;
    bool gradeAcompanha = false;
    int linhaAposX = -1;
    int linhas = 0;
    quandoAbrir<FrmEscolheProduto>([&](FrmEscolheProduto *d) {
        ativo = QTest::qWaitForWindowActive(d);
        titulo = d->windowTitle();
        rotulo = d->Label_Titulo->text();
        for (const auto &c : d->Q_Produto->model()->columns())
            colunas << c.title;
        vistos = nomes(d);
        buscaComFoco = d->Edit_Busca->hasFocus();
        digita(d->Edit_Busca, "man");
        achados << d->Edit_Busca->text() << d->Q_Produto->text("NOME");
        gradeAcompanha = d->Grid_Produto->currentIndex().row() == d->Q_Produto->recNo();
        digita(d->Edit_Busca, "teiga g");
        achados << d->Q_Produto->text("NOME");
        digita(d->Edit_Busca, "x"); // nothing starts so: the row stays
        achados << d->Q_Produto->text("NOME");
        linhaAposX = d->Q_Produto->recNo();
        linhas = d->Q_Produto->recordCount(); // the search does not filter
        d->Bt_OK->click();
    });
    const int escolhido = FrmEscolheProduto::escolhe(1);
    QCOMPARE(titulo, QString("Escolha de Produto"));
    QCOMPARE(rotulo, QString("Escolha o Produto"));
    QCOMPARE(colunas, QStringList({"PRODUTO", "UNIDADE", "ESTOQUE"}));
    QCOMPARE(vistos, QStringList({"CREME DE LEITE", "MANTEIGA 200G", "MANTEIGA 500G", "MANTEIGA GRANEL"}));
    QVERIFY(ativo);
    QVERIFY(buscaComFoco);
    QCOMPARE(achados, QStringList({"MAN", "MANTEIGA 200G", "MANTEIGA GRANEL", "MANTEIGA GRANEL"}));
    QVERIFY(gradeAcompanha);
    QCOMPARE(linhaAposX, 3);
    QCOMPARE(linhas, 4);
    QCOMPARE(escolhido, 3);
    QCOMPARE(app::ProdutoEscolhido, 3);
    // the dialog freed itself
    QTRY_VERIFY(!app::janela<FrmEscolheProduto>());
}

void TestEscolheProduto::leavingWithoutChoosingGivesZero_data()
{
    QTest::addColumn<QString>("como");
    QTest::newRow("Sair") << "sair";
    QTest::newRow("Escape") << "esc";
    QTest::newRow("close box") << "fechar";
}

void TestEscolheProduto::leavingWithoutChoosingGivesZero()
{
    QFETCH(QString, como);
    Ambiente amb;
    app::ProdutoEscolhido = 7; // left by an earlier choice
    QStringList vistos;
    quandoAbrir<FrmEscolheProduto>([&](FrmEscolheProduto *d) {
        vistos = nomes(d);
        d->Q_Produto->last();
        if (como == "sair")
            d->Bt_Sair->click();
        else if (como == "esc")
            tecla(d, Qt::Key_Escape);
        else
            d->close();
    });
    QCOMPARE(FrmEscolheProduto::escolhe(2), 0);
    QCOMPARE(vistos, QStringList({"COALHO", "QUEIJO MINAS FRESCAL", "QUEIJO MUSSARELA", "SAL REFINADO"}));
    QCOMPARE(app::ProdutoEscolhido, 0);
    QTRY_VERIFY(!app::janela<FrmEscolheProduto>());
}

void TestEscolheProduto::emptyListGivesZero()
{
    Ambiente amb;
    app::ProdutoEscolhido = 5;
    int linhas = -1;
    quandoAbrir<FrmEscolheProduto>([&](FrmEscolheProduto *d) {
        linhas = d->Q_Produto->recordCount();
        d->Bt_OK->click();
    });
    QCOMPARE(FrmEscolheProduto::escolhe(99), 0);
    QCOMPARE(linhas, 0);
    QCOMPARE(app::ProdutoEscolhido, 0);
}

void TestEscolheProduto::filterNarrowsTheListForOneUseOnly_data()
{
    QTest::addColumn<QString>("filtro");
    QTest::addColumn<QStringList>("esperados");
    QTest::addColumn<int>("escolhido");
    // butter packaging: neither bulk butter nor cream
    QTest::newRow("packaging") << "cd_produto <>3 and cd_produto <> 2"
                               << QStringList{"MANTEIGA 200G", "MANTEIGA 500G"} << 4;
    // a butter production run yields bulk butter only
    QTest::newRow("butter run") << "cd_produto = 3" << QStringList{"MANTEIGA GRANEL"} << 3;
    QTest::newRow("nothing left") << "cd_produto = 9" << QStringList{} << 0;
}

void TestEscolheProduto::filterNarrowsTheListForOneUseOnly()
{
    QFETCH(QString, filtro);
    QFETCH(QStringList, esperados);
    QFETCH(int, escolhido);
    Ambiente amb;
    QStringList vistos;
    quandoAbrir<FrmEscolheProduto>([&](FrmEscolheProduto *d) {
        vistos = nomes(d);
        d->Bt_OK->click();
    });
    QCOMPARE(FrmEscolheProduto::escolhe(1, filtro), escolhido);
    QCOMPARE(vistos, esperados);
    QCOMPARE(app::ProdutoEscolhido, escolhido);
    // the next use starts with a fresh dialog: no filter left over
    quandoAbrir<FrmEscolheProduto>([&](FrmEscolheProduto *d) {
        vistos = nomes(d);
        d->Bt_Sair->click();
    });
    QCOMPARE(FrmEscolheProduto::escolhe(1), 0);
    QCOMPARE(vistos.size(), 4);
}

void TestEscolheProduto::enterMovesToTheNextControl()
{
    Ambiente amb;
    bool gradeComFoco = false;
    bool aberto = false;
    bool buscaComFoco = false;
    quandoAbrir<FrmEscolheProduto>([&](FrmEscolheProduto *d) {
        buscaComFoco = QTest::qWaitForWindowActive(d);
        buscaComFoco = buscaComFoco && d->Edit_Busca->hasFocus();
        tecla(d, Qt::Key_Return);
        gradeComFoco = d->Grid_Produto->hasFocus();
        aberto = d->isVisible(); // Enter does not confirm
        d->Q_Produto->locate("CD_PRODUTO", 10);
        d->Bt_OK->click();
    });
    QCOMPARE(FrmEscolheProduto::escolhe(3), 10);
    QVERIFY(buscaComFoco);
    QVERIFY(gradeComFoco);
    QVERIFY(aberto);
}

QTEST_MAIN(TestEscolheProduto)
#include "test_escolhe_produto.moc"
