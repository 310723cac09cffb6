// The general configuration: the single row in editing while the window is
// open, prices typed with either key, the three lookups, the one required
// field, the first save on an empty table, a refused save that keeps what
// was typed, and the milk price the supplier registry reads afterwards.

#include "app/camposdb.h"
#include "app/frmcadconfiguracao.h"
#include "app/frmprincipal.h"
#include "app/rotinas.h"
#include "db/dataset.h"
#include "support/gui.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using app::FrmCadconfiguracao;
using testsupport::Ambiente;
using testsupport::digita;
using testsupport::Mensagens;
using testsupport::tecla;

namespace {

FrmCadconfiguracao *abre(Ambiente &amb)
{
    amb.menu("Preco_de_Leite");
    return app::janela<FrmCadconfiguracao>();
}

// Replaces what a price field shows by what the user types.
void redigita(QLineEdit *campo, const QString &texto)
{
    campo->setFocus();
    campo->selectAll();
    tecla(campo, Qt::Key_Backspace);
    digita(campo, texto);
}

db::Result configuracao(Ambiente &amb)
{
    return amb.outraConexao()->execute("select * from CONFIGURACAO order by CD_CONFIGURACAO");
}

QString textoDe(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return "null";
    if (v.metaType() == QMetaType::fromType<db::Decimal>())
        return v.value<db::Decimal>().toString();
    return v.toString();
}

// A stand-in for the supplier registry when the real one is not built in.
class FornecedorTeste : public app::Janela
{
};

} // namespace

class TestConfiguracao : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensWithTheRowInEditing();
    void pricesTypedWithThePointOrTheComma();
    void onlyLeiteBomIsRequired_data();
    void onlyLeiteBomIsRequired();
    void emptyTableFirstSaveCreatesRowOne();
    void lookupsWithTheirTitles();
    void cancelAndTheCloseBoxDiscard();
    void refusedSaveKeepsTheWindowAndTheValues();
    void supplierRegistryReadsThePriceAfterItsMenuItem();
};

void TestConfiguracao::opensWithTheRowInEditing()
{
    Ambiente amb;
    auto *w = abre(amb);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QString("Configurações Gerais"));
    QCOMPARE(w->TB_CONFIGURACAO->state(), db::Dataset::State::Edit);
    QVERIFY(w->TB_PRODUTO->isActive() && w->TB_TIPO->isActive());
    QCOMPARE(w->EDIT_PRECO_LEITE->text(), QString("2,35"));
    QCOMPARE(w->EDIT_PRECOLEITEACIDO->text(), QString("1,10"));
    QCOMPARE(w->LKP_CDMANTEIGAGR->texto(), QString("3"));
    QCOMPARE(w->LKP_CDCREME->texto(), QString("2"));
    QCOMPARE(w->LKP_CDTIPOMANT->texto(), QString("1"));
    QCOMPARE(w->Bt_Salvar->text(), QString("Salvar"));
    QCOMPARE(w->Bt_Cancelar->text(), QString("Cancelar"));
    // a small window, not maximised
    QCOMPARE(amb.principal().areaJanelas()->subWindowList().size(), 1);
    QVERIFY(!amb.principal().areaJanelas()->subWindowList()[0]->isMaximized());
    // Enter walks the fields
    QVERIFY(w->EDIT_PRECO_LEITE->hasFocus());
    tecla(w, Qt::Key_Return);
    QVERIFY(w->EDIT_PRECOLEITEACIDO->hasFocus());
    tecla(w, Qt::Key_Return);
    QVERIFY(w->LKP_CDMANTEIGAGR->isAncestorOf(QApplication::focusWidget()));
    // the menu brings the same window forward, still editing
    amb.menu("Preco_de_Leite");
    QCOMPARE(app::janela<FrmCadconfiguracao>(), w);
    QCOMPARE(w->TB_CONFIGURACAO->state(), db::Dataset::State::Edit);
}

void TestConfiguracao::pricesTypedWithThePointOrTheComma()
{
    Ambiente amb;
    auto *w = abre(amb);
    redigita(w->EDIT_PRECO_LEITE, "1.25");
    QCOMPARE(w->EDIT_PRECO_LEITE->text(), QString("1,25"));
    redigita(w->EDIT_PRECOLEITEACIDO, "0,9");
    QCOMPARE(w->EDIT_PRECOLEITEACIDO->text(), QString("0,9"));
    Mensagens m;
    w->Bt_Salvar->click();
    QCOMPARE(m.quantas(), 0);
    QTRY_VERIFY(!app::janela<FrmCadconfiguracao>());
    auto r = configuracao(amb);
    QCOMPARE(r.rowCount(), 1);
    QCOMPARE(textoDe(r.value("PRECO_LEITE")), QString("1.25"));
    QCOMPARE(textoDe(r.value("PRECOLEITEACIDO")), QString("0.90"));
    QCOMPARE(textoDe(r.value("CDCREME")), QString("2")); // untouched values stay
    // opened again, it shows what was stored
    w = abre(amb);
    QCOMPARE(w->EDIT_PRECO_LEITE->text(), QString("1,25"));
    QCOMPARE(w->EDIT_PRECOLEITEACIDO->text(), QString("0,90"));
}

void TestConfiguracao::onlyLeiteBomIsRequired_data()
{
    QTest::addColumn<QString>("bom");
    QTest::addColumn<QString>("acido");
    QTest::addColumn<bool>("grava");
    QTest::newRow("both empty") << "" << "" << false;
    QTest::newRow("only acid milk") << "" << "1,5" << false;
    QTest::newRow("only good milk") << "2.4" << "" << true;
}

void TestConfiguracao::onlyLeiteBomIsRequired()
{
    QFETCH(QString, bom);
    QFETCH(QString, acido);
    QFETCH(bool, grava);
    Ambiente amb;
    auto *w = abre(amb);
    redigita(w->EDIT_PRECO_LEITE, bom);
    redigita(w->EDIT_PRECOLEITEACIDO, acido);
    Mensagens m;
    w->Bt_Salvar->click();
    auto r = configuracao(amb);
    if (!grava) {
        QCOMPARE(m.textos(), QStringList({"Preecha Todos os Campos!"}));
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Information);
        QCOMPARE(app::janela<FrmCadconfiguracao>(), w);
        QCOMPARE(w->TB_CONFIGURACAO->state(), db::Dataset::State::Edit);
        QCOMPARE(w->EDIT_PRECOLEITEACIDO->text(), acido);
        QCOMPARE(textoDe(r.value("PRECO_LEITE")), QString("2.35"));
        return;
    }
    QCOMPARE(m.quantas(), 0);
    QTRY_VERIFY(!app::janela<FrmCadconfiguracao>());
    QCOMPARE(textoDe(r.value("PRECO_LEITE")), QString("2.40"));
    QCOMPARE(textoDe(r.value("PRECOLEITEACIDO")), QString("null"));
}

void TestConfiguracao::emptyTableFirstSaveCreatesRowOne()
{
    Ambiente amb(false);
    amb.conexao().execute("delete from CONFIGURACAO");
    auto *w = abre(amb);
    QCOMPARE(w->TB_CONFIGURACAO->state(), db::Dataset::State::Insert);
    QVERIFY(w->EDIT_PRECO_LEITE->text().isEmpty());
    {
        Mensagens m;
        w->Bt_Salvar->click();
        QCOMPARE(m.textos(), QStringList({"Preecha Todos os Campos!"}));
    }
    QCOMPARE(configuracao(amb).rowCount(), 0);
    digita(w->EDIT_PRECO_LEITE, "1.25");
    w->Bt_Salvar->click();
    QTRY_VERIFY(!app::janela<FrmCadconfiguracao>());
    auto r = configuracao(amb);
    QCOMPARE(r.rowCount(), 1);
    QCOMPARE(r.value("CD_CONFIGURACAO").toInt(), 1);
    QCOMPARE(textoDe(r.value("PRECO_LEITE")), QString("1.25"));
    for (const char *campo : {"PRECOLEITEACIDO", "CDMANTEIGAGR", "CDCREME", "CDTIPOMANT"})
        QCOMPARE(textoDe(r.value(campo)), QString("null"));
    // the next opening edits that row
    w = abre(amb);
    QCOMPARE(w->TB_CONFIGURACAO->state(), db::Dataset::State::Edit);
    QCOMPARE(w->EDIT_PRECO_LEITE->text(), QString("1,25"));
}

void TestConfiguracao::lookupsWithTheirTitles()
{
    Ambiente amb;
    auto *w = abre(amb);
    struct Caso
    {
        app::CampoEscolha *campo;
        QString titulo;
        QString chave;
        int escolhido;
    };
    const QList<Caso> casos = {
        {w->LKP_CDMANTEIGAGR, "Escolha o produto referente a manteiga a granel", "CD_PRODUTO", 6},
        {w->LKP_CDCREME, "Escolha o produto referente ao creme", "CD_PRODUTO", 7},
        {w->LKP_CDTIPOMANT, "Escolha o tipo referente ao tipo manteiga", "CD_TIPO_FABRICADOS", 3},
    };
    for (const Caso &c : casos) {
        QString titulo;
        QStringList colunas;
        testsupport::quandoAbrir<app::DialogoEscolha>([&](app::DialogoEscolha *d) {
            titulo = d->windowTitle();
            auto *modelo = d->grade()->model();
            for (int i = 0; i < modelo->columnCount(); ++i)
                colunas << modelo->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
            d->grade()->dataset()->locate(c.chave, c.escolhido);
            d->accept();
        });
        c.campo->botao()->click();
        QCOMPARE(titulo, c.titulo);
        QCOMPARE(colunas, QStringList({"CODIGO", "NOME"}));
        QCOMPARE(c.campo->texto(), QString::number(c.escolhido));
    }
    w->Bt_Salvar->click();
    QTRY_VERIFY(!app::janela<FrmCadconfiguracao>());
    auto r = configuracao(amb);
    QCOMPARE(r.value("CDMANTEIGAGR").toInt(), 6);
    QCOMPARE(r.value("CDCREME").toInt(), 7);
    QCOMPARE(r.value("CDTIPOMANT").toInt(), 3);
}

void TestConfiguracao::cancelAndTheCloseBoxDiscard()
{
    Ambiente amb;
    for (bool pelaMoldura : {false, true}) {
        auto *w = abre(amb);
        QVERIFY(w);
        redigita(w->EDIT_PRECO_LEITE, "9,99");
        Mensagens m;
        if (pelaMoldura)
            w->close();
        else
            w->Bt_Cancelar->click();
        QCOMPARE(m.quantas(), 0); // no question
        QTRY_VERIFY(!app::janela<FrmCadconfiguracao>());
        QCOMPARE(textoDe(configuracao(amb).value("PRECO_LEITE")), QString("2.35"));
    }
}

void TestConfiguracao::refusedSaveKeepsTheWindowAndTheValues()
{
    Ambiente amb(false);
    amb.conexao().execute("delete from CONFIGURACAO");
    auto *w = abre(amb);
    digita(w->EDIT_PRECO_LEITE, "1.25");
    digita(w->EDIT_PRECOLEITEACIDO, "0.75");
    // another workstation creates the row first
    auto outra = amb.outraConexao();
    outra->execute("insert into CONFIGURACAO (CD_CONFIGURACAO, PRECO_LEITE) values (1, 3)");
    {
        Mensagens m;
        w->Bt_Salvar->click();
        QCOMPARE(m.textos(), QStringList({app::textoRelacionamentos()}));
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Warning);
    }
    // still open, still editing, with what was typed
    QCOMPARE(app::janela<FrmCadconfiguracao>(), w);
    QVERIFY(w->TB_CONFIGURACAO->isEditing());
    QCOMPARE(w->EDIT_PRECO_LEITE->text(), QString("1,25"));
    QCOMPARE(w->EDIT_PRECOLEITEACIDO->text(), QString("0,75"));
    QCOMPARE(textoDe(configuracao(amb).value("PRECO_LEITE")), QString("3.00"));
    // once the obstacle is gone, saving again stores the values typed
    outra->execute("delete from CONFIGURACAO");
    Mensagens m;
    w->Bt_Salvar->click();
    QCOMPARE(m.quantas(), 0);
    QTRY_VERIFY(!app::janela<FrmCadconfiguracao>());
    auto r = configuracao(amb);
    QCOMPARE(r.rowCount(), 1);
    QCOMPARE(r.value("CD_CONFIGURACAO").toInt(), 1);
    QCOMPARE(textoDe(r.value("PRECO_LEITE")), QString("1.25"));
    QCOMPARE(textoDe(r.value("PRECOLEITEACIDO")), QString("0.75"));
}

void TestConfiguracao::supplierRegistryReadsThePriceAfterItsMenuItem()
{
    Ambiente amb;
    if (!app::acaoDoItem("Cadastros_de_Fornecedores"))
        app::RegistroJanela<FornecedorTeste> registro("Cadastros_de_Fornecedores");
    db::Dataset *q = amb.principal().q_configuracao;
    QCOMPARE(q->decimal("PRECO_LEITE").toString(), QString("2.35"));
    for (const QString &preco : {QString("3.1"), QString("2,9")}) {
        auto *w = abre(amb);
        redigita(w->EDIT_PRECO_LEITE, preco);
        w->Bt_Salvar->click();
        QTRY_VERIFY(!app::janela<FrmCadconfiguracao>());
        amb.menu("Cadastros_de_Fornecedores");
        QCOMPARE(q->decimal("PRECO_LEITE"), app::DecimalDoTexto(preco, 2));
        QCOMPARE(q->value("CD_CONFIGURACAO").toInt(), 1);
    }
    QCOMPARE(textoDe(q->value("PRECOLEITEACIDO")), QString("1.10"));
}

QTEST_MAIN(TestConfiguracao)
#include "test_configuracao.moc"
