// The login: who is admitted, what the main window's Tag and the master flag
// say afterwards, the keys, start-up, and the menu cut down to the user's
// group when the window closes.

#include "access/frm_login.h"
#include "app/campos.h"
#include "app/frmprincipal.h"
#include "app/globais.h"
#include "app/startup.h"
#include "db/dataset.h"
#include "support/gui.h"
#include "support/testdb.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QtTest>

using acesso::Frm_Login;
using testsupport::Ambiente;
using testsupport::Mensagens;
using testsupport::digita;
using testsupport::tecla;

namespace {

// Whether the user can reach the item through the menu: the item takes room
// in its menu, and so does every menu above it.
bool alcancavel(QAction *a)
{
    if (!a->isVisible())
        return false;
    for (QObject *o : a->associatedObjects()) {
        if (auto *barra = qobject_cast<QMenuBar *>(o))
            return !barra->actionGeometry(a).isEmpty();
        if (auto *menu = qobject_cast<QMenu *>(o)) {
            if (menu->actionGeometry(a).isEmpty())
                return false;
            return alcancavel(menu->menuAction());
        }
    }
    return false;
}

// The menu items (separators included) whose action is hidden.
QStringList escondidos(app::FrmPrincipal &p)
{
    QStringList r;
    for (const auto &item : p.percorreMenu(true)) {
        if (!item.acao->isVisible())
            r << item.nome;
    }
    return r;
}

// The items (no separators) the user cannot reach.
QStringList inalcancaveis(app::FrmPrincipal &p)
{
    QStringList r;
    for (const auto &item : p.percorreMenu()) {
        if (!alcancavel(item.acao))
            r << item.nome;
    }
    return r;
}

// Types into the boxes and confirms by Enter in the password box.
void entra(Frm_Login &login, const QString &usuario, const QString &senha)
{
    login.E_Usuario->clear();
    login.E_Senha->clear();
    digita(login.E_Usuario, usuario);
    digita(login.E_Senha, senha);
    login.E_Senha->setFocus();
    tecla(&login, Qt::Key_Return);
}

} // namespace

class TestLogin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void window();
    void confirm_data();
    void confirm();
    void unlimitedTriesAndEnterMovesOn();
    void closingWithoutAdmission();
    void startup_data();
    void startup();
    void gating_data();
    void gating();
};

void TestLogin::window()
{
    Ambiente amb;
    Frm_Login login(amb.principal());
    QCOMPARE(login.windowTitle(), QString("Controle de Acesso"));
    QCOMPARE(login.objectName(), QString("Frm_Login"));
    QCOMPARE(amb.principal().Tag, 1); // pending until someone is admitted
    QVERIFY(login.findChild<app::EditTexto *>("E_Usuario"));
    QCOMPARE(login.E_Senha->echoMode(), QLineEdit::Password);
    QVERIFY(login.findChild<QToolButton *>("Image3"));
    QVERIFY(login.T_Usuario->isActive());
    QVERIFY(!login.tentou());
    QStringList textos;
    for (QLabel *l : login.findChildren<QLabel *>())
        textos << l->text();
    QVERIFY(textos.contains("Zuzoro da Revuzovod"));
    QVERIFY(textos.contains("Login"));
    QVERIFY(textos.contains("Senha"));
}

void TestLogin::confirm_data()
{
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<QString>("senha");
    QTest::addColumn<QString>("mensagem"); // empty: admitted
    QTest::addColumn<QString>("master");

    QTest::newRow("unknown login") << "fulano" << "1234" << "Usuário não cadastrado !!!" << "";
    QTest::newRow("wrong password") << "BALCAO" << "4321" << "Senha Incorreta !!!" << "";
    QTest::newRow("lower case typed, matched in upper case") << "balcao" << "1234" << "" << "N";
    QTest::newRow("master") << "admin" << "admin" << "" << "S";
    QTest::newRow("password stored in lower case never matches") << "minusc" << "abc" << "Senha Incorreta !!!" << "";
    QTest::newRow("login matched whole, not as a prefix") << "balca" << "1234" << "Usuário não cadastrado !!!" << "";
    QTest::newRow("empty boxes do not match a row without login") << "" << "" << "Usuário não cadastrado !!!" << "";
    QTest::newRow("a user without a password is not let in") << "semsenha" << "" << "Senha Incorreta !!!" << "";
    QTest::newRow("shared login: the first row's password") << "dupla" << "PRIMEIRA" << "" << "N";
    QTest::newRow("shared login: the second row's password") << "dupla" << "SEGUNDA" << "Senha Incorreta !!!" << "";
}

void TestLogin::confirm()
{
    QFETCH(QString, usuario);
    QFETCH(QString, senha);
    QFETCH(QString, mensagem);
    QFETCH(QString, master);
    Ambiente amb;
    auto &c = amb.conexao();
    c.execute("insert into USUARIO (CDUSUARIO, NOME, LOGIN, SENHA, MASTER, CDGRUPO) values (3, 'MINUSCULA', 'MINUSC', 'abc', 'N', 2)");
    c.execute("insert into USUARIO (CDUSUARIO, NOME, LOGIN, SENHA, MASTER, CDGRUPO) values (4, 'INCOMPLETO', NULL, NULL, 'S', 1)");
    c.execute("insert into USUARIO (CDUSUARIO, NOME, LOGIN, SENHA, MASTER, CDGRUPO) values (5, 'SEM SENHA', 'SEMSENHA', NULL, 'S', 1)");
    c.execute("insert into USUARIO (CDUSUARIO, NOME, LOGIN, SENHA, MASTER, CDGRUPO) values (6, 'UM', 'DUPLA', 'PRIMEIRA', 'N', 2)");
    c.execute("insert into USUARIO (CDUSUARIO, NOME, LOGIN, SENHA, MASTER, CDGRUPO) values (7, 'OUTRO', 'DUPLA', 'SEGUNDA', 'S', 1)");
    app::UsuarioMaster = "?";

    Frm_Login login(amb.principal());
    login.show();
    QVERIFY(QTest::qWaitForWindowExposed(&login));
    Mensagens m;
    entra(login, usuario, senha);
    QVERIFY(login.tentou());
    QCOMPARE(login.E_Usuario->text(), usuario.toUpper());
    if (mensagem.isEmpty()) {
        QCOMPARE(m.quantas(), 0);
        QCOMPARE(amb.principal().Tag, 0);
        QCOMPARE(app::UsuarioMaster, master);
        QVERIFY(!login.isVisible());
        QVERIFY(!login.T_Usuario->isActive()); // closed with the window
        QVERIFY(!login.T_Acesso->isActive());
    } else {
        QCOMPARE(m.textos(), QStringList{mensagem});
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Information);
        QCOMPARE(amb.principal().Tag, 1);
        QCOMPARE(app::UsuarioMaster, QString("?"));
        QVERIFY(login.isVisible());
    }
}

void TestLogin::unlimitedTriesAndEnterMovesOn()
{
    Ambiente amb;
    Frm_Login login(amb.principal());
    login.show();
    QVERIFY(QTest::qWaitForWindowExposed(&login));
    login.activateWindow();
    login.E_Usuario->setFocus();
    Mensagens m;
    for (int vez = 0; vez < 5; ++vez) {
        digita(login.E_Usuario, "balcao");
        tecla(&login, Qt::Key_Return);
        QVERIFY(login.E_Senha->hasFocus()); // Enter in the login box only moves on
        QCOMPARE(m.quantas(), vez);
        digita(login.E_Senha, "12");
        tecla(&login, Qt::Key_Return); // Enter in the password box confirms
        QCOMPARE(m.quantas(), vez + 1);
        QCOMPARE(m.ultimo(), QString("Senha Incorreta !!!"));
        QTRY_VERIFY(login.E_Usuario->hasFocus()); // and moves around to the login box
        login.E_Usuario->clear();
        login.E_Senha->clear();
    }
    QVERIFY(login.isVisible());
    QCOMPARE(amb.principal().Tag, 1);
    digita(login.E_Usuario, "BALCAO");
    digita(login.E_Senha, "1234");
    login.Image3->click(); // the image confirms too
    QCOMPARE(m.quantas(), 5);
    QCOMPARE(amb.principal().Tag, 0);
    QVERIFY(!login.isVisible());
}

void TestLogin::closingWithoutAdmission()
{
    Ambiente amb;
    // a refused try, then the close box: nobody is admitted, the menu stays whole
    amb.conexao().execute("insert into CONFIGACESSO (CDGRUPO, MENU, VISIVEL) values (2, 'Clientes', 'N')");
    Frm_Login login(amb.principal());
    login.show();
    QVERIFY(QTest::qWaitForWindowExposed(&login));
    {
        Mensagens m;
        entra(login, "balcao", "errada");
        QCOMPARE(m.textos(), QStringList{"Senha Incorreta !!!"});
    }
    QVERIFY(login.close());
    QCOMPARE(amb.principal().Tag, 1);
    QCOMPARE(escondidos(amb.principal()), QStringList());
    QVERIFY(!login.T_Usuario->isActive());
}

void TestLogin::startup_data()
{
    QTest::addColumn<int>("caso");
    QTest::newRow("admitted") << 0;
    QTest::newRow("close box") << 1;
    QTest::newRow("escape") << 2;
    QTest::newRow("empty USUARIO admits nobody") << 3;
}

void TestLogin::startup()
{
    QFETCH(int, caso);
    const QString caminho = testsupport::freshDatabasePath(true);
    if (caso == 3) {
        auto c = db::Connection::open(caminho);
        c->execute("delete from USUARIO");
    }
    testsupport::escreveIni(&caminho);
    app::zeraGlobais();
    Mensagens m;
    bool abriu = false;
    testsupport::quandoAbrir<Frm_Login>([&](Frm_Login *login) {
        abriu = true;
        switch (caso) {
        case 0:
            digita(login->E_Usuario, "admin");
            digita(login->E_Senha, "admin");
            login->Image3Click();
            break;
        case 1:
            login->close();
            break;
        case 2:
            QTest::keyClick(login, Qt::Key_Escape);
            break;
        default:
            digita(login->E_Usuario, "admin");
            digita(login->E_Senha, "admin");
            login->Image3Click();
            login->close();
        }
    });
    std::unique_ptr<app::FrmPrincipal> p;
    const int r = app::inicia(p);
    QVERIFY(abriu);
    QVERIFY(p);
    QCOMPARE(r, caso == 0 ? 0 : 2);
    QCOMPARE(p->Tag, caso == 0 ? 0 : 1);
    QCOMPARE(app::UsuarioMaster, caso == 0 ? QString("S") : QString());
    QCOMPARE(m.textos(), caso == 3 ? QStringList{"Usuário não cadastrado !!!"} : QStringList());
    QVERIFY(!QApplication::activeModalWidget());
    p.reset();
    app::zeraGlobais();
}

void TestLogin::gating_data()
{
    QTest::addColumn<QStringList>("linhas");  // "GROUP:MENU=VISIVEL" (VISIVEL "null" for NULL)
    QTest::addColumn<QString>("preparo");     // SQL run first, when any
    QTest::addColumn<QString>("usuario");     // ADMIN (master, group 1) or BALCAO (group 2)
    QTest::addColumn<QStringList>("escondidos");
    QTest::addColumn<QStringList>("inalcancaveis");

    QTest::newRow("non-master: hidden items at each level")
        << QStringList{"2:Clientes=N", "2:Cadastro_de_Conta=N", "2:Relatorio_Produtos=N", "2:Fornecedores=S",
                       "2:Cadastro_de_Empresa=S", "2:N6=N", "2:N14=N", "1:Vendas=N"}
        << QString() << "BALCAO"
        << QStringList{"Clientes", "Cadastro_de_Conta", "Relatorio_Produtos"}
        << QStringList{"Clientes", "Cadastro_de_Clientes", "Cadastro_Descontos_Clientes", "Manutencao_de_Clientes",
                       "Cadastro_de_Conta", "Relatorio_Produtos"};
    QTest::newRow("non-master: a hidden level-2 submenu takes its level-3 items along")
        << QStringList{"2:Relatorio_Vendas=N", "2:Relatorio_Vendas_por_Tipo=S", "2:Relatorio_Produtos=S"}
        << QString() << "BALCAO" << QStringList{"Relatorio_Vendas"}
        << QStringList{"Relatorio_Vendas", "Relatorio_Vendas_por_Tipo", "Relatorio_Produtos"};
    QTest::newRow("non-master: anything but S hides, a NULL too")
        << QStringList{"2:Sobre=s", "2:Equipe_=null", "2:Devolucao= ", "2:Sair1=S"}
        << QString() << "BALCAO" << QStringList{"Devolucao", "Equipe_", "Sobre"}
        << QStringList{"Devolucao", "Equipe_", "Sobre"};
    QTest::newRow("master whose group hides everything sees everything")
        << QStringList{"1:*=N"} << QString() << "ADMIN" << QStringList() << QStringList();
    QTest::newRow("group without rows sees the whole menu")
        << QStringList{"1:Clientes=N"} << QString() << "BALCAO" << QStringList() << QStringList();
    QTest::newRow("user without a group sees the whole menu")
        << QStringList{"2:Clientes=N", "2:Vendas=N"} << QString("update USUARIO set CDGRUPO = NULL where LOGIN = 'BALCAO'")
        << "BALCAO" << QStringList() << QStringList();
}

void TestLogin::gating()
{
    QFETCH(QStringList, linhas);
    QFETCH(QString, preparo);
    QFETCH(QString, usuario);
    QFETCH(QStringList, escondidos);
    QFETCH(QStringList, inalcancaveis);
    Ambiente amb;
    auto &c = amb.conexao();
    auto grava = [&](int grupo, const QString &menu, const QString &visivel) {
        c.execute("insert into CONFIGACESSO (CDGRUPO, MENU, VISIVEL) values (:G, :M, :V)",
                  {{"G", grupo}, {"M", menu}, {"V", visivel == "null" ? QVariant() : QVariant(visivel)}});
    };
    for (const QString &l : linhas) {
        const int grupo = l.section(':', 0, 0).toInt();
        const QString menu = l.section(':', 1).section('=', 0, 0);
        const QString visivel = l.section('=', 1);
        if (menu == "*") {
            for (const auto &item : amb.principal().percorreMenu(true))
                grava(grupo, item.nome, visivel);
        } else {
            grava(grupo, menu, visivel);
        }
    }
    if (!preparo.isEmpty())
        c.execute(preparo);
    // as designed: everything there
    QCOMPARE(::inalcancaveis(amb.principal()), QStringList());

    Frm_Login login(amb.principal());
    login.show();
    QVERIFY(QTest::qWaitForWindowExposed(&login));
    Mensagens m;
    entra(login, usuario, usuario == "ADMIN" ? "ADMIN" : "1234");
    QCOMPARE(m.quantas(), 0);
    QCOMPARE(amb.principal().Tag, 0);
    QVERIFY(!login.isVisible());
    QCOMPARE(::escondidos(amb.principal()), escondidos);
    QCOMPARE(::inalcancaveis(amb.principal()), inalcancaveis);
}

QTEST_MAIN(TestLogin)
#include "test_login.moc"
