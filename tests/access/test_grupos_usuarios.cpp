// The groups and users windows: a new group's access rows, deleting a group
// (refused while it has users, its access rows going with it), taking a
// user out of a group, and the users' fields, defaults and required fields.

#include "access/frm_login.h"
#include "access/frmcadgrupousuario.h"
#include "access/frmcadusuario.h"
#include "app/camposdb.h"
#include "app/frmprincipal.h"
#include "app/globais.h"
#include "app/rotinas.h"
#include "db/dataset.h"
#include "support/gui.h"

#include <QAction>
#include <QGroupBox>
#include <QMenu>
#include <QTabWidget>
#include <QtTest>

using acesso::FrmCadGrupoUsuario;
using acesso::FrmCadUsuario;
using testsupport::Ambiente;
using testsupport::Mensagens;
using testsupport::digita;
using testsupport::tecla;

namespace {

int conta(db::Connection &c, const QString &sql)
{
    return c.execute(sql).value("N").toInt();
}

// The access rows of a group as "MENU=VISIVEL", in menu order.
QStringList acessos(Ambiente &amb, int grupo)
{
    const db::Result r = amb.conexao().execute("select MENU, VISIVEL from CONFIGACESSO where CDGRUPO = :G",
                                               {{"G", grupo}});
    QHash<QString, QString> linhas;
    for (int i = 0; i < r.rowCount(); ++i)
        linhas.insert(r.row(i)[0].toString(), r.row(i)[1].toString());
    QStringList lista;
    for (const auto &item : amb.principal().percorreMenu(true)) {
        if (linhas.contains(item.nome))
            lista << item.nome + "=" + linhas.take(item.nome);
    }
    for (auto it = linhas.cbegin(); it != linhas.cend(); ++it)
        lista << it.key() + "=" + it.value(); // rows of no menu item
    return lista;
}

QStringList todosVisiveis(Ambiente &amb)
{
    QStringList r;
    for (const auto &item : amb.principal().percorreMenu())
        r << item.nome + "=S";
    return r;
}

} // namespace

class TestGruposUsuarios : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newGroupOwnsOneVisibleRowPerItem();
    void groupWithoutDescription();
    void refusedGroupWritesNoAccessRows();
    void deleteRefusedWhileUsersRemain();
    void deletedGroupsCodeGetsFreshRows();
    void removeUserOfferedOnlyWithUsers();
    void emptyGroupTable();
    void newUserNotMasterUnlessTicked();
    void userRequiredFields_data();
    void userRequiredFields();
    void usersWindowTakesTheStandardKeys();
};

void TestGruposUsuarios::newGroupOwnsOneVisibleRowPerItem()
{
    Ambiente amb;
    amb.menu("Cadastros_de_Grupos");
    auto *w = app::janela<FrmCadGrupoUsuario>();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QString("Manutenção de Grupos"));
    QCOMPARE(w->Tb_Grupos->model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString("CODIGO"));
    QCOMPARE(w->Tb_Grupos->model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
             QString("DESCRIÇÃO GRUPO"));
    QCOMPARE(w->Painel_Usuarios->title(), QString("Usuarios Pertencentes ao Grupo Atual"));

    tecla(w, Qt::Key_F4);
    QCOMPARE(w->EDIT_CODIGO->text(), QString("3"));
    QVERIFY(w->EDIT_DESCRICAO->hasFocus());
    digita(w->EDIT_DESCRICAO, "gerência");
    {
        Mensagens m;
        tecla(w, Qt::Key_F7);
        QCOMPARE(m.quantas(), 0);
    }
    QCOMPARE(amb.conexao().execute("select DESCRICAO from GRUPO where CDGRUPO = 3").value("DESCRICAO").toString(),
             QString("GERÊNCIA"));
    const QStringList todos = todosVisiveis(amb);
    QCOMPARE(todos.size(), 57); // every item but the separators and nothing else
    QVERIFY(!todos.contains("N6=S"));
    QCOMPARE(acessos(amb, 3), todos);

    // recorded again later, the group keeps its rows as they are
    amb.conexao().execute("update CONFIGACESSO set VISIVEL = 'N' where CDGRUPO = 3 and MENU = 'Vendas_'");
    tecla(w, Qt::Key_F5); // the double-click action: "Cadastro" and alter
    QCOMPARE(w->Tb_Grupos->state(), db::Dataset::State::Edit);
    digita(w->EDIT_DESCRICAO, " 2");
    tecla(w, Qt::Key_F7);
    QCOMPARE(amb.conexao().execute("select DESCRICAO from GRUPO where CDGRUPO = 3").value("DESCRICAO").toString(),
             QString("GERÊNCIA 2"));
    QStringList esperado = todos;
    esperado.replace(esperado.indexOf("Vendas_=S"), "Vendas_=N");
    QCOMPARE(acessos(amb, 3), esperado);

    // a group that never had rows gets them when it is recorded
    QCOMPARE(acessos(amb, 1), QStringList());
    w->Tb_Grupos->locate("CDGRUPO", 1);
    tecla(w, Qt::Key_F5);
    tecla(w, Qt::Key_F7);
    QCOMPARE(acessos(amb, 1), todos);
}

void TestGruposUsuarios::groupWithoutDescription()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmCadGrupoUsuario>();
    tecla(w, Qt::Key_F4);
    {
        Mensagens m;
        tecla(w, Qt::Key_F7);
        QCOMPARE(m.textos(), QStringList{"Peencha os campos! ()"});
    }
    QTRY_VERIFY(w->EDIT_DESCRICAO->hasFocus());
    QCOMPARE(w->Tb_Grupos->state(), db::Dataset::State::Insert);
    tecla(w, Qt::Key_F8);
    QCOMPARE(conta(amb.conexao(), "select count(*) as N from CONFIGACESSO"), 0);
    QCOMPARE(conta(amb.conexao(), "select count(*) as N from GRUPO"), 2);
}

void TestGruposUsuarios::refusedGroupWritesNoAccessRows()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmCadGrupoUsuario>();
    tecla(w, Qt::Key_F4);
    digita(w->EDIT_DESCRICAO, "CAIXA");
    // another workstation takes the same code first
    amb.outraConexao()->execute("insert into GRUPO (CDGRUPO, DESCRICAO) values (3, 'DA OUTRA')");
    Mensagens m;
    tecla(w, Qt::Key_F7);
    QCOMPARE(m.textos(), QStringList{app::textoRelacionamentos()});
    QCOMPARE(acessos(amb, 3), QStringList()); // nothing of the refused recording stays
    QCOMPARE(w->Tb_Grupos->recordCount(), 2);
    QCOMPARE(w->Tb_Grupos->state(), db::Dataset::State::Browse);
}

void TestGruposUsuarios::deleteRefusedWhileUsersRemain()
{
    Ambiente amb;
    auto &c = amb.conexao();
    c.execute("insert into USUARIO (CDUSUARIO, NOME, LOGIN, SENHA, MASTER, CDGRUPO) values (3, 'CAIXA DOIS', 'CX2', '1', 'N', 2)");
    c.execute("insert into CONFIGACESSO (CDGRUPO, MENU, VISIVEL) values (2, 'Clientes', 'N')");
    c.execute("insert into CONFIGACESSO (CDGRUPO, MENU, VISIVEL) values (1, 'Clientes', 'N')");
    amb.menu("Cadastros_de_Grupos");
    auto *w = app::janela<FrmCadGrupoUsuario>();
    QVERIFY(w->Tb_Grupos->locate("CDGRUPO", 2));
    QCOMPARE(w->TB_Usuarios->recordCount(), 2);
    QCOMPARE(w->TB_Usuarios->text("NOME"), QString("OPERADOR DE BALCAO"));

    {
        Mensagens m;
        tecla(w, Qt::Key_F6);
        QCOMPARE(m.textos(), QStringList{"Remova todos os usuários do grupo, antes de apagá-lo!!!"});
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Information);
    }
    QCOMPARE(conta(c, "select count(*) as N from GRUPO where CDGRUPO = 2"), 1);

    // take the users out, one by one, from the panel's menu
    while (!w->TB_Usuarios->isEmpty()) {
        QVERIFY(w->Removerusuariodogrupo1->isEnabled());
        w->Removerusuariodogrupo1->trigger();
    }
    QVERIFY(!w->Removerusuariodogrupo1->isEnabled());
    QCOMPARE(conta(c, "select count(*) as N from USUARIO where CDGRUPO is null"), 2);
    QCOMPARE(conta(c, "select count(*) as N from USUARIO"), 3); // still registered

    {
        Mensagens m;
        m.responde(QMessageBox::No);
        tecla(w, Qt::Key_F6);
        QCOMPARE(m.textos(), QStringList{"Deseja realmente deletar o registro ???"});
    }
    QCOMPARE(conta(c, "select count(*) as N from GRUPO where CDGRUPO = 2"), 1);
    {
        Mensagens m;
        m.responde(QMessageBox::Yes);
        tecla(w, Qt::Key_F6);
        QCOMPARE(m.textos(), QStringList{"Deseja realmente deletar o registro ???"});
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Question);
    }
    QCOMPARE(conta(c, "select count(*) as N from GRUPO where CDGRUPO = 2"), 0);
    QCOMPARE(acessos(amb, 2), QStringList()); // its rows went with it
    QCOMPARE(acessos(amb, 1), QStringList{"Clientes=N"}); // another group's stay
    QCOMPARE(w->Tb_Grupos->recordCount(), 1);
}

void TestGruposUsuarios::deletedGroupsCodeGetsFreshRows()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmCadGrupoUsuario>();
    tecla(w, Qt::Key_F4);
    digita(w->EDIT_DESCRICAO, "TEMPORARIO");
    tecla(w, Qt::Key_F7);
    amb.conexao().execute("update CONFIGACESSO set VISIVEL = 'N' where CDGRUPO = 3");
    QVERIFY(w->Tb_Grupos->locate("CDGRUPO", 3));
    {
        Mensagens m;
        m.responde(QMessageBox::Yes);
        tecla(w, Qt::Key_F6);
    }
    QCOMPARE(acessos(amb, 3), QStringList());
    // the next group gets the same code and rows of its own, all visible
    tecla(w, Qt::Key_F4);
    QCOMPARE(w->EDIT_CODIGO->text(), QString("3"));
    digita(w->EDIT_DESCRICAO, "NOVO");
    tecla(w, Qt::Key_F7);
    QCOMPARE(acessos(amb, 3), todosVisiveis(amb));
}

void TestGruposUsuarios::removeUserOfferedOnlyWithUsers()
{
    Ambiente amb;
    amb.conexao().execute("insert into GRUPO (CDGRUPO, DESCRICAO) values (3, 'VAZIO')");
    auto *w = app::abreJanela<FrmCadGrupoUsuario>();
    QCOMPARE(w->Removerusuariodogrupo1->text(), QString("Remover usuário do grupo"));
    QCOMPARE(w->PopupMenu1->actions(), QList<QAction *>{w->Removerusuariodogrupo1});
    QVERIFY(w->Tb_Grupos->locate("CDGRUPO", 3));
    QVERIFY(w->TB_Usuarios->isEmpty());
    QVERIFY(!w->Removerusuariodogrupo1->isEnabled());
    emit w->Grid_Usuarios->customContextMenuRequested(QPoint(5, 5));
    QVERIFY(!w->PopupMenu1->isVisible());
    w->Removerusuariodogrupo1Click(); // nothing to take out
    QVERIFY(w->Tb_Grupos->locate("CDGRUPO", 1));
    QCOMPARE(w->TB_Usuarios->text("NOME"), QString("ADMINISTRADOR"));
    QVERIFY(w->Removerusuariodogrupo1->isEnabled());
    emit w->Grid_Usuarios->customContextMenuRequested(QPoint(5, 5));
    QTRY_VERIFY(w->PopupMenu1->isVisible());
    w->PopupMenu1->close();
    QCOMPARE(conta(amb.conexao(), "select count(*) as N from USUARIO where CDGRUPO is null"), 0);
}

void TestGruposUsuarios::emptyGroupTable()
{
    Ambiente amb(false);
    amb.conexao().execute("delete from USUARIO");
    amb.conexao().execute("delete from GRUPO");
    auto *w = app::abreJanela<FrmCadGrupoUsuario>();
    Mensagens m;
    tecla(w, Qt::Key_F5);
    tecla(w, Qt::Key_F6);
    QCOMPARE(m.textos(), QStringList({"Banco de dados vazio!", "O Banco de Dados está vazio !!!"}));
    QCOMPARE(m.vistas()[0].icone, QMessageBox::Critical);
    tecla(w, Qt::Key_F4);
    QCOMPARE(w->EDIT_CODIGO->text(), QString("1"));
    tecla(w, Qt::Key_F8);
}

void TestGruposUsuarios::newUserNotMasterUnlessTicked()
{
    Ambiente amb;
    amb.menu("Cadastro_de_Usuarios");
    auto *w = app::janela<FrmCadUsuario>();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QString("Manutenção de Usuários"));
    QStringList titulos;
    for (int i = 0; i < w->Tb_Usuario->model()->columnCount(); ++i)
        titulos << w->Tb_Usuario->model()->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
    QCOMPARE(titulos, QStringList({"NOME", "GRUPO", "LOGIN", "MASTER"}));
    QCOMPARE(w->GroupBox_Acesso->title(), QString("ACESSO AO SISTEMA"));
    QCOMPARE(w->EDIT_SENHA->echoMode(), QLineEdit::Password);
    QCOMPARE(w->EDIT_SENHA->toolTip(), QString("Usada somente quando o usuário for entrar no sistema"));
    QVERIFY(w->Tb_Usuario->locate("LOGIN", "BALCAO"));
    QCOMPARE(w->Tb_Usuario->text("NOMEGRUPO"), QString("BALCAO"));

    tecla(w, Qt::Key_F4);
    QCOMPARE(w->EDIT_CODIGO->text(), QString("3"));
    QVERIFY(w->EDIT_NOME->hasFocus());
    QVERIFY(!w->CB_MASTER->isChecked());
    digita(w->EDIT_NOME, "joão da silva");
    tecla(w, Qt::Key_Return);
    QVERIFY(w->LKP_GRUPO->hasFocus());
    const int balcao = w->LKP_GRUPO->findText("BALCAO");
    QVERIFY(balcao >= 0);
    w->LKP_GRUPO->setCurrentIndex(balcao);
    emit w->LKP_GRUPO->activated(balcao);
    tecla(w, Qt::Key_Return);
    QVERIFY(w->EDIT_LOGIN->hasFocus());
    digita(w->EDIT_LOGIN, "joao");
    tecla(w, Qt::Key_Return);
    QVERIFY(w->EDIT_SENHA->hasFocus());
    digita(w->EDIT_SENHA, "abc1");
    tecla(w, Qt::Key_F7);
    auto r = amb.conexao().execute("select NOME, LOGIN, SENHA, MASTER, CDGRUPO from USUARIO where CDUSUARIO = 3");
    QCOMPARE(r.value("NOME").toString(), QString("JOÃO DA SILVA"));
    QCOMPARE(r.value("LOGIN").toString(), QString("JOAO"));
    QCOMPARE(r.value("SENHA").toString(), QString("ABC1")); // as typed, in upper case
    QCOMPARE(r.value("MASTER").toString(), QString("N"));
    QCOMPARE(r.value("CDGRUPO").toInt(), 2);

    tecla(w, Qt::Key_F5);
    w->CB_MASTER->click();
    tecla(w, Qt::Key_F7);
    QCOMPARE(amb.conexao().execute("select MASTER from USUARIO where CDUSUARIO = 3").value("MASTER").toString(),
             QString("S"));

    // and the new user logs in
    acesso::Frm_Login login(amb.principal());
    login.show();
    Mensagens m;
    digita(login.E_Usuario, "joao");
    digita(login.E_Senha, "abc1");
    login.Image3Click();
    QCOMPARE(m.quantas(), 0);
    QCOMPARE(amb.principal().Tag, 0);
    QCOMPARE(app::UsuarioMaster, QString("S"));
}

void TestGruposUsuarios::userRequiredFields_data()
{
    QTest::addColumn<QString>("falta");
    QTest::newRow("name") << "nome";
    QTest::newRow("group") << "grupo";
    QTest::newRow("login") << "login";
    QTest::newRow("password") << "senha";
}

void TestGruposUsuarios::userRequiredFields()
{
    QFETCH(QString, falta);
    Ambiente amb;
    auto *w = app::abreJanela<FrmCadUsuario>();
    tecla(w, Qt::Key_F4);
    if (falta != "nome")
        digita(w->EDIT_NOME, "MARIA");
    if (falta != "grupo") {
        w->LKP_GRUPO->setCurrentIndex(0);
        emit w->LKP_GRUPO->activated(0);
    }
    if (falta != "login")
        digita(w->EDIT_LOGIN, "MARIA");
    if (falta != "senha")
        digita(w->EDIT_SENHA, "9");
    w->EDIT_SENHA->setFocus();
    {
        Mensagens m;
        tecla(w, Qt::Key_F7);
        QCOMPARE(m.textos(), QStringList{"Peencha os campos! ((Nome, Grupo, Login, Senha))"});
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Information);
    }
    QTRY_VERIFY(w->EDIT_NOME->hasFocus());
    QCOMPARE(w->Tb_Usuario->state(), db::Dataset::State::Insert);
    QCOMPARE(conta(amb.conexao(), "select count(*) as N from USUARIO"), 2);
    tecla(w, Qt::Key_F8);
}

void TestGruposUsuarios::usersWindowTakesTheStandardKeys()
{
    Ambiente amb;
    auto *w = app::abreJanela<FrmCadUsuario>();
    QVERIFY(w->Tb_Usuario->locate("LOGIN", "BALCAO"));
    tecla(w, Qt::Key_F5);
    QCOMPARE(w->PageControl->currentWidget(), w->TabSheet_Manutencao);
    QCOMPARE(w->Tb_Usuario->state(), db::Dataset::State::Edit);
    QVERIFY(w->EDIT_NOME->hasFocus());
    tecla(w, Qt::Key_F8);
    QCOMPARE(w->Tb_Usuario->state(), db::Dataset::State::Browse);
    {
        Mensagens m;
        m.responde(QMessageBox::Yes);
        tecla(w, Qt::Key_F6);
        QCOMPARE(m.textos(), QStringList{"Deseja realmente deletar o registro ???"});
    }
    QCOMPARE(conta(amb.conexao(), "select count(*) as N from USUARIO where LOGIN = 'BALCAO'"), 0);
    QCOMPARE(w->Tb_Usuario->recordCount(), 1);
}

QTEST_MAIN(TestGruposUsuarios)
#include "test_grupos_usuarios.moc"
