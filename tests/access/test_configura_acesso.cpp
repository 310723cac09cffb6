// The access configuration: the check list of menu item names indented by
// level, ticked from the chosen group's rows, and the recording of the ticks
// (rows created where missing, nothing written for a group without rows,
// success announced only when the write went through).

#include "access/frm_login.h"
#include "access/frmconfiguraacesso.h"
#include "app/camposdb.h"
#include "app/frmprincipal.h"
#include "app/rotinas.h"
#include "db/dataset.h"
#include "support/gui.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using acesso::FrmConfiguraAcesso;
using testsupport::Ambiente;
using testsupport::Mensagens;

namespace {

// Chooses the group in the selector's dialog, as the user does.
bool escolheGrupo(FrmConfiguraAcesso *w, int grupo)
{
    testsupport::quandoAbrir<app::DialogoEscolha>([w, grupo](app::DialogoEscolha *d) {
        w->TB_Grupo->locate("CDGRUPO", grupo);
        d->accept();
    });
    return w->wwDBLookupComboDlg1->escolhe();
}

QStringList linhas(FrmConfiguraAcesso *w)
{
    QStringList r;
    for (int i = 0; i < w->CheckListBox1->count(); ++i)
        r << w->CheckListBox1->item(i)->text();
    return r;
}

QStringList marcadas(FrmConfiguraAcesso *w)
{
    QStringList r;
    for (int i = 0; i < w->CheckListBox1->count(); ++i) {
        if (w->CheckListBox1->item(i)->checkState() == Qt::Checked)
            r << w->CheckListBox1->item(i)->text().trimmed();
    }
    return r;
}

void marca(FrmConfiguraAcesso *w, const QString &nome, bool ligado)
{
    for (int i = 0; i < w->CheckListBox1->count(); ++i) {
        if (w->CheckListBox1->item(i)->text().trimmed() == nome) {
            w->CheckListBox1->item(i)->setCheckState(ligado ? Qt::Checked : Qt::Unchecked);
            return;
        }
    }
    QFAIL(qPrintable("no line " + nome));
}

// The group's rows as MENU -> VISIVEL.
QMap<QString, QString> acessos(Ambiente &amb, int grupo)
{
    const db::Result r = amb.conexao().execute("select MENU, VISIVEL from CONFIGACESSO where CDGRUPO = :G",
                                               {{"G", grupo}});
    QMap<QString, QString> m;
    for (int i = 0; i < r.rowCount(); ++i)
        m.insert(r.row(i)[0].toString(), r.row(i)[1].toString());
    return m;
}

} // namespace

class TestConfiguraAcesso : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void beforeAGroupIsChosen();
    void listOfNamesIndentedByLevel();
    void recordingCreatesTheMissingRows();
    void groupWithoutRowsWritesNothing();
    void refusedRecordingIsNotCalledASuccess();
    void anotherGroupRefillsTheList();
    void recordedTicksGateTheNextLogin();
};

void TestConfiguraAcesso::beforeAGroupIsChosen()
{
    Ambiente amb;
    amb.menu("Configuracao_de_Acesso_Usuario");
    auto *w = app::janela<FrmConfiguraAcesso>();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QString("Configuração do Acesso aos Itens de Menu"));
    QCOMPARE(linhas(w), QStringList{"Nenhum Grupo Selecionado"});
    QCOMPARE(w->L_Grupo->text(), QString("Selecione um Grupo de Usuários"));
    QVERIFY(!w->B_Ok->isEnabled());
    QCOMPARE(w->B_Ok->text(), QString("&Gravar"));
    QCOMPARE(w->B_Cancela->text(), QString("&Sair"));
    QVERIFY(w->TB_Grupo->isActive());
    {
        Mensagens m;
        w->B_OkClick(); // nothing chosen: nothing to record
        QCOMPARE(m.quantas(), 0);
    }
    w->B_Cancela->click();
    QTRY_VERIFY(!app::janela<FrmConfiguraAcesso>());
}

void TestConfiguraAcesso::listOfNamesIndentedByLevel()
{
    Ambiente amb;
    auto &c = amb.conexao();
    c.execute("insert into CONFIGACESSO (CDGRUPO, MENU, VISIVEL) values (2, 'Clientes', 'S')");
    c.execute("insert into CONFIGACESSO (CDGRUPO, MENU, VISIVEL) values (2, 'Cadastro_de_Clientes', 'N')");
    c.execute("insert into CONFIGACESSO (CDGRUPO, MENU, VISIVEL) values (2, 'Relatorio_Produtos', 'S')");
    c.execute("insert into CONFIGACESSO (CDGRUPO, MENU, VISIVEL) values (2, 'Vendas', NULL)");
    c.execute("insert into CONFIGACESSO (CDGRUPO, MENU, VISIVEL) values (1, 'Sobre', 'S')");
    auto *w = app::abreJanela<FrmConfiguraAcesso>();
    QVERIFY(escolheGrupo(w, 2));
    QVERIFY(w->B_Ok->isEnabled());
    QCOMPARE(w->L_Grupo->text(), QString("Grupo Selecionado : 2"));
    const QStringList l = linhas(w);
    QCOMPARE(l.size(), 57); // every item but the separators
    QCOMPARE(l.first(), QString("Controle_Acesso"));
    QCOMPARE(l[1], QString("     Cadastros_de_Grupos"));
    const int clientes = l.indexOf("Clientes");
    QVERIFY(clientes > 0);
    QCOMPARE(l[clientes + 1], QString("     Cadastro_de_Clientes")); // names, not captions
    QCOMPARE(l[clientes + 2], QString("     Cadastro_Descontos_Clientes")); // N7 skipped
    const int vendas = l.indexOf("     Relatorio_Vendas");
    QCOMPARE(l[vendas + 1], QString("          Relatorio_Vendas_por_Tipo"));
    QCOMPARE(l[vendas + 2], QString("          Relatorio_Produtos"));
    QCOMPARE(l.last(), QString("     Sair1"));
    QVERIFY(!l.contains("     N6"));
    // ticked only where the row says "S"; items without a row unticked
    QCOMPARE(marcadas(w), QStringList({"Clientes", "Relatorio_Produtos"}));
}

void TestConfiguraAcesso::recordingCreatesTheMissingRows()
{
    Ambiente amb;
    auto &c = amb.conexao();
    c.execute("insert into CONFIGACESSO (CDGRUPO, MENU, VISIVEL) values (2, 'Clientes', 'S')");
    c.execute("insert into CONFIGACESSO (CDGRUPO, MENU, VISIVEL) values (2, 'Cadastro_de_Clientes', 'N')");
    c.execute("insert into CONFIGACESSO (CDGRUPO, MENU, VISIVEL) values (2, 'Vendas', 's')");
    c.execute("insert into CONFIGACESSO (CDGRUPO, MENU, VISIVEL) values (2, 'ItemAntigo', 'S')");
    auto *w = app::abreJanela<FrmConfiguraAcesso>();
    QVERIFY(escolheGrupo(w, 2));
    marca(w, "Clientes", false);
    marca(w, "Cadastro_de_Clientes", true);
    marca(w, "Relatorio_Vendas_por_Tipo", true);
    marca(w, "Sair1", true);
    {
        Mensagens m;
        w->B_Ok->click();
        QCOMPARE(m.textos(), QStringList{"Suas configurações foram salvas com sucesso !!!"});
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Information);
    }
    const QMap<QString, QString> a = acessos(amb, 2);
    QCOMPARE(a.size(), 58); // a row per item, and the old row of no item left alone
    QCOMPARE(a.value("ItemAntigo"), QString("S"));
    QStringList visiveis;
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        if (it.value() == "S")
            visiveis << it.key();
    }
    QCOMPARE(visiveis, QStringList({"Cadastro_de_Clientes", "ItemAntigo", "Relatorio_Vendas_por_Tipo", "Sair1"}));
    QCOMPARE(a.value("Vendas"), QString("N"));  // rewritten from the list
    QCOMPARE(a.value("Sobre"), QString("N"));   // created, unticked
    QCOMPARE(acessos(amb, 1).size(), 0);         // another group untouched

    // recording again with nothing changed keeps every row as it is
    {
        Mensagens m;
        w->B_OkClick();
        QCOMPARE(m.textos(), QStringList{"Suas configurações foram salvas com sucesso !!!"});
    }
    QCOMPARE(acessos(amb, 2), a);
}

void TestConfiguraAcesso::groupWithoutRowsWritesNothing()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmConfiguraAcesso>();
    QVERIFY(escolheGrupo(w, 1));
    QCOMPARE(marcadas(w), QStringList());
    marca(w, "Clientes", true);
    Mensagens m;
    w->B_Ok->click();
    QCOMPARE(m.textos(), QStringList{"O grupo 1 não está cadastrado na tabela de Acesso !!!\nContacte O administrador!"});
    QCOMPARE(m.vistas()[0].icone, QMessageBox::Critical);
    QCOMPARE(acessos(amb, 1).size(), 0);
}

void TestConfiguraAcesso::refusedRecordingIsNotCalledASuccess()
{
    Ambiente amb;
    amb.conexao().execute("insert into CONFIGACESSO (CDGRUPO, MENU, VISIVEL) values (2, 'Clientes', 'S')");
    auto *w = app::abreJanela<FrmConfiguraAcesso>();
    QVERIFY(escolheGrupo(w, 2));
    marca(w, "Clientes", false);
    // another workstation gives the group a row this window does not know of
    amb.outraConexao()->execute("insert into CONFIGACESSO (CDGRUPO, MENU, VISIVEL) values (2, 'Sobre', 'S')");
    Mensagens m;
    w->B_Ok->click();
    QCOMPARE(m.textos(), QStringList{app::textoRelacionamentos()});
    QCOMPARE(m.vistas()[0].icone, QMessageBox::Warning);
    // nothing of the recording was written
    const QMap<QString, QString> a = acessos(amb, 2);
    QCOMPARE(a, (QMap<QString, QString>{{"Clientes", "S"}, {"Sobre", "S"}}));
    QCOMPARE(w->TB_Acesso->changeCount(), 0);
}

void TestConfiguraAcesso::anotherGroupRefillsTheList()
{
    Ambiente amb;
    auto &c = amb.conexao();
    c.execute("insert into CONFIGACESSO (CDGRUPO, MENU, VISIVEL) values (2, 'Clientes', 'S')");
    c.execute("insert into CONFIGACESSO (CDGRUPO, MENU, VISIVEL) values (1, 'Vendas', 'S')");
    auto *w = app::abreJanela<FrmConfiguraAcesso>();
    QVERIFY(escolheGrupo(w, 2));
    marca(w, "Sobre", true); // not recorded
    QVERIFY(escolheGrupo(w, 1));
    QCOMPARE(w->L_Grupo->text(), QString("Grupo Selecionado : 1"));
    QCOMPARE(marcadas(w), QStringList{"Vendas"});
    QVERIFY(escolheGrupo(w, 2));
    QCOMPARE(marcadas(w), QStringList{"Clientes"}); // the tick was lost
}

void TestConfiguraAcesso::recordedTicksGateTheNextLogin()
{
    Ambiente amb;
    amb.conexao().execute("insert into CONFIGACESSO (CDGRUPO, MENU, VISIVEL) values (2, 'Clientes', 'S')");
    auto *w = app::abreJanela<FrmConfiguraAcesso>();
    QVERIFY(escolheGrupo(w, 2));
    for (int i = 0; i < w->CheckListBox1->count(); ++i)
        w->CheckListBox1->item(i)->setCheckState(Qt::Checked);
    marca(w, "Relatorio_Vendas", false);
    marca(w, "Produtos", false);
    {
        Mensagens m;
        w->B_OkClick();
    }
    // the running menu does not change
    QVERIFY(amb.principal().itemMenu("Produtos")->isVisible());
    w->close();

    acesso::Frm_Login login(amb.principal());
    login.show();
    Mensagens m;
    testsupport::digita(login.E_Usuario, "balcao");
    testsupport::digita(login.E_Senha, "1234");
    login.Image3Click();
    QCOMPARE(m.quantas(), 0);
    QStringList escondidos;
    for (const auto &item : amb.principal().percorreMenu(true)) {
        if (!item.acao->isVisible())
            escondidos << item.nome;
    }
    QCOMPARE(escondidos, QStringList({"Produtos", "Relatorio_Vendas"}));
}

QTEST_MAIN(TestConfiguraAcesso)
#include "test_configura_acesso.moc"
