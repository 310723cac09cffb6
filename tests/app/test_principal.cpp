// The main window: its menu, start-up against Corvena.INI, the opening
// pattern of task windows, closing, and the application-wide error dialog.

#include "app/configuracao_ini.h"
#include "app/frmprincipal.h"
#include "app/globais.h"
#include "app/janela.h"
#include "app/frmsobre.h"
#include "app/startup.h"
#include "db/dataset.h"
#include "support/gui.h"
#include "support/testdb.h"

#include <QAction>
#include <QCheckBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QLabel>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

using testsupport::Ambiente;
using testsupport::Mensagens;

// A window for the tests of the opening pattern.
class JanelaTeste : public app::Janela
{
    Q_OBJECT

public:
    JanelaTeste()
    {
        setObjectName("JanelaTeste");
        setWindowTitle("Teste");
        ++criadas;
        botao = new QPushButton("falha", this);
        botao->setObjectName("Falha");
        app::conecta(botao, &QPushButton::clicked, this, [] { throw db::Error("Falha de teste no banco"); });
    }
    QPushButton *botao;
    static inline int criadas = 0;
};

// A window that refuses to be shown, as the receipts do without a cash day.
class JanelaRecusa : public app::Janela
{
    Q_OBJECT

public:
    JanelaRecusa() { Tag = 1; }
};

class TestPrincipal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void menuTreeIsTheDairysMenu();
    void everyItemHasItsHandler();
    void statusBarPanels();
    void startupFailsWithoutDatabase_data();
    void startupFailsWithoutDatabase();
    void startupReadsTheOpenCashDay();
    void errorInAWindowShowsTheDialogAndTheWindowStays();
    void oneInstancePerWindowAndReferenceClearedOnClose();
    void windowWithTagIsClosedAtOnce();
    void closingIsRefusedWhileAChildIsOpen();
    void salesWithoutOpenCashDay();
    void chequeValuesResetOnlyWhenTheWindowIsNew();
    void avisaCampos();
    void aboutAndTeamAreKeptAndReused();
    void programEndsOnTermAndItsDatabaseStaysWhole();
};

// Takes the web addresses the program asks the desktop to open.
class Navegador : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> abertas;
public Q_SLOTS:
    void abre(const QUrl &url) { abertas << url; }
};

struct LinhaMenu
{
    const char *nome;
    const char *legenda;
    int nivel;
};

static const LinhaMenu linhasMenu[] = {
        {"Controle_Acesso", "Controle de Acesso ", 1},
        {"Cadastros_de_Grupos", "Cadastros de Grupos", 2},
        {"Cadastro_de_Usuarios", "Cadastro de Usuários       ", 2},
        {"Configuracao_de_Acesso_Usuario", "Configura Acesso Usuário", 2},
        {"N6", "-", 2},
        {"Cadastro_de_Empresa", "Cadastro de Empresa", 2},
        {"Clientes", "Clientes ", 1},
        {"Cadastro_de_Clientes", "Cadastro de Clientes             ", 2},
        {"N7", "-", 2},
        {"Cadastro_Descontos_Clientes", "Cadastro Descontos Clientes", 2},
        {"N9", "-", 2},
        {"Manutencao_de_Clientes", "Manutenção de Clientes", 2},
        {"Fornecedores", "Fornecedores ", 1},
        {"Cadastros_de_Fornecedores", "Cadastro de Fornecedores", 2},
        {"N2", "-", 2},
        {"Lancar_Haver_Fornecedores", "Lançar Haver Fornecedores", 2},
        {"Pagar_Fornecedores", "Pagar Fornecedores", 2},
        {"N10", "-", 2},
        {"Alteracao_preco_Leite_e_Debito", "Alteração Preco Leite e Debito  Fornecedor", 2},
        {"Alteracao_preco_fornecedor", "Alteração Preço Fornecedor", 2},
        {"N20", "-", 2},
        {"Produtos", "Produtos ", 1},
        {"Compra_de_Produtos", "Compra de Produtos", 2},
        {"N19", "-", 2},
        {"Cadastro_de_Produtos", "Cadastro de Produtos        ", 2},
        {"N8", "-", 2},
        {"Cadastro_Tipo_Produto", "Cadastro Tipo Produto", 2},
        {"Preco_de_Leite", "Configuração / Preço Leite", 2},
        {"N1", "-", 2},
        {"Entrada_de_Leite", "Entrada de Leite", 2},
        {"Saida_para_Producao", "Saida para Produção", 2},
        {"N11", "-", 2},
        {"Alteracao_de_estoque", "Alteração de Estoque", 2},
        {"Entrada_de_Creme", "Entrada de Creme", 2},
        {"N18", "-", 2},
        {"Embalamento_de_Manteiga", "Embalamento de Manteiga", 2},
        {"Movimento_Diario", "Movimento Diario ", 1},
        {"Movimento_Caixa", "Movimento Caixa", 2},
        {"N3", "-", 2},
        {"Cadastro_de_Conta", "Cadastro de Conta", 2},
        {"Vendas", "Vendas ", 1},
        {"Abrir_Encerrar_Caixa", "Abrir / Encerrar / Alterar Caixa                ", 2},
        {"Vendas_", "Vendas         ", 2},
        {"Manutencao_de_Vendas", "Manutenção de Vendas", 2},
        {"N16", "-", 2},
        {"Devolucao", "Devolução ", 2},
        {"N4", "-", 2},
        {"Recebimentos", "Recebimentos", 2},
        {"N5", "-", 2},
        {"Lancar_Cheque", "Lançar Cheque", 2},
        {"Alteracao_e_baixa_de_cheques", "Alteração e Baixa de Cheques", 2},
        {"N17", "-", 2},
        {"Cadastro_Tipo_Baixa_Cheque", "Cadastro Tipo Baixa Cheque", 2},
        {"Cadastro_de_Forma_de_Pagamento", "Cadastro de Forma de Pagamento", 2},
        {"Relatorios", "Relatórios ", 1},
        {"Relatorio_Despesas", "Despesas", 2},
        {"N12", "-", 2},
        {"Relatorio_Pagamentos", "Recebimentos", 2},
        {"N24", "-", 2},
        {"Relatorio_Cheques", "Cheques", 2},
        {"N15", "-", 2},
        {"Relatorio_Clientes", "Clientes", 2},
        {"N14", "-", 2},
        {"Relatorio_Vendas", "Vendas", 2},
        {"Relatorio_Vendas_por_Tipo", "Valores  (Por Tipo)              ", 3},
        {"Relatorio_Produtos", "Produtos", 3},
        {"N13", "-", 2},
        {"Relatorio_Sadia_Producao", "Saída Produção", 2},
        {"N22", "-", 2},
        {"Relatorio_Entrada_Leite", "Entrada de Leite", 2},
        {"Relatorio_Entrada_Creme", "Entrada de Creme", 2},
        {"Relatorio_Devolucao", "Devolução", 2},
        {"N23", "-", 2},
        {"Relatorio_Estoque", "Estoque", 2},
        {"N21", "-", 2},
        {"Relatorio_Compra_Produtos", "Compra de Produtos", 2},
        {"Equipe", "Equipe ", 1},
        {"Equipe_", "Equipe", 2},
        {"Sobre", "Sobre", 2},
        {"Sair", "Sair", 1},
        {"Sair1", "Sair", 2},
};

void TestPrincipal::menuTreeIsTheDairysMenu()
{
    Ambiente amb;
    // walk the real menu bar: level 1, the items inside, a level-2 submenu's items
    QList<std::tuple<QString, QString, int>> real;
    std::function<void(QMenu *, int)> walk = [&](QMenu *m, int nivel) {
        for (QAction *a : m->actions()) {
            real.append({a->objectName(), a->isSeparator() ? QString("-") : a->text(), nivel});
            if (a->menu())
                walk(a->menu(), nivel + 1);
        }
    };
    for (QAction *a : amb.principal().menuBar()->actions()) {
        real.append({a->objectName(), a->text(), 1});
        walk(a->menu(), 2);
    }
    QList<std::tuple<QString, QString, int>> esperado;
    for (const LinhaMenu &l : linhasMenu)
        esperado.append({QString::fromUtf8(l.nome), QString::fromUtf8(l.legenda), l.nivel});
    QCOMPARE(real.size(), esperado.size());
    for (int i = 0; i < real.size(); ++i)
        QCOMPARE(real[i], esperado[i]);
    // items are found by name
    QVERIFY(amb.principal().findChild<QAction *>("Cadastro_de_Clientes"));
    QCOMPARE(amb.principal().findChild<QAction *>("Relatorio_Vendas_por_Tipo")->text(),
             QString("Valores  (Por Tipo)              "));
}

void TestPrincipal::everyItemHasItsHandler()
{
    Ambiente amb;
    const QMetaObject *mo = amb.principal().metaObject();
    int itens = 0;
    for (const LinhaMenu &l : linhasMenu) {
        const QString nome = l.nome;
        const bool submenu = l.nivel == 1 || nome == "Relatorio_Vendas";
        if (submenu || QString(l.legenda) == "-")
            continue;
        const QString slot = nome == "Sair1" ? QString("SairClick()") : nome + "Click()";
        QVERIFY2(mo->indexOfSlot(slot.toLatin1()) >= 0, qPrintable(slot));
        ++itens;
    }
    QCOMPARE(itens, 47);
}

void TestPrincipal::statusBarPanels()
{
    Ambiente amb;
    QStringList textos;
    for (QLabel *l : amb.principal().statusBar()->findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
        textos << l->text();
    QCOMPARE(textos, QStringList({"Utilize as seguintes Teclas de Atalho p/ as operações", "<F4> Inserir",
                                  "<F5> Alterar", "<F6> Deletar", "<F7> Gravar", "<F8> Cancelar", ""}));
    QCOMPARE(amb.principal().windowTitle(), QString("Zuzoro da Revuzovod"));
    QVERIFY(amb.principal().CB_Acesso->isChecked());
    QVERIFY(!amb.principal().CB_Acesso->isVisibleTo(&amb.principal()));
}

void TestPrincipal::startupFailsWithoutDatabase_data()
{
    QTest::addColumn<int>("caso");
    QTest::newRow("no file") << 0;
    QTest::newRow("no key") << 1;
    QTest::newRow("blank key") << 2;
    QTest::newRow("wrong path") << 3;
}

void TestPrincipal::startupFailsWithoutDatabase()
{
    QFETCH(int, caso);
    const QString semArquivo = testsupport::scratchDir() + "/nao-existe/corvena.fdb";
    const QString branco = "   ";
    switch (caso) {
    case 0:
        app::defineCaminhoIni(testsupport::scratchDir() + "/sem/Corvena.INI");
        break;
    case 1:
        testsupport::escreveIni(nullptr);
        break;
    case 2:
        testsupport::escreveIni(&branco);
        break;
    default:
        testsupport::escreveIni(&semArquivo);
    }
    Mensagens m;
    std::unique_ptr<app::FrmPrincipal> p;
    QCOMPARE(app::inicia(p), 1);
    QVERIFY(!p); // no main window
    QCOMPARE(m.quantas(), 1);
    QCOMPARE(m.vistas()[0].icone, QMessageBox::Critical);
    QVERIFY(!m.ultimo().isEmpty());
    if (caso == 3)
        QVERIFY2(m.ultimo().contains("nao-existe"), qPrintable(m.ultimo()));
}

void TestPrincipal::startupReadsTheOpenCashDay()
{
    const QString caminho = testsupport::freshDatabasePath();
    {
        auto c = db::Connection::open(caminho);
        c->execute("insert into CAIXA (DATA, LANCADO) values ('2026-12-01', 'S')");
        c->execute("insert into CAIXA (DATA, LANCADO) values ('2026-12-10', 'N')");
    }
    testsupport::escreveIni(&caminho);
    app::zeraGlobais();
    app::FrmPrincipal p;
    QCOMPARE(app::DataCaixa, QDate(2026, 12, 10));
    QCOMPARE(p.tb_empresa->isActive(), true);
}

void TestPrincipal::errorInAWindowShowsTheDialogAndTheWindowStays()
{
    Ambiente amb;
    auto *w = app::abreJanela<JanelaTeste>();
    QVERIFY(w);
    Mensagens m;
    w->botao->click();
    QTRY_COMPARE(m.quantas(), 1);
    QCOMPARE(m.vistas()[0].icone, QMessageBox::Critical);
    QCOMPARE(m.ultimo(), app::textoErro("Falha de teste no banco"));
    QVERIFY(m.ultimo().startsWith("Falha de teste no banco\n\n   Suporte técnico: \n   "));
    QVERIFY(app::janela<JanelaTeste>());
    w->botao->click(); // still usable
    QTRY_COMPARE(m.quantas(), 2);
}

void TestPrincipal::oneInstancePerWindowAndReferenceClearedOnClose()
{
    Ambiente amb;
    JanelaTeste::criadas = 0;
    auto *a = app::abreJanela<JanelaTeste>();
    auto *b = app::abreJanela<JanelaTeste>();
    QCOMPARE(a, b);
    QCOMPARE(JanelaTeste::criadas, 1);
    QCOMPARE(amb.principal().areaJanelas()->subWindowList().size(), 1);
    QVERIFY(amb.principal().areaJanelas()->subWindowList()[0]->isMaximized());
    a->close();
    QTRY_VERIFY(!app::janela<JanelaTeste>());
    QTRY_COMPARE(amb.principal().areaJanelas()->subWindowList().size(), 0);
    QVERIFY(app::abreJanela<JanelaTeste>());
    QCOMPARE(JanelaTeste::criadas, 2);
}

void TestPrincipal::windowWithTagIsClosedAtOnce()
{
    Ambiente amb;
    QVERIFY(!app::abreJanela<JanelaRecusa>());
    QVERIFY(!app::janela<JanelaRecusa>());
    QCOMPARE(amb.principal().areaJanelas()->subWindowList().size(), 0);
}

void TestPrincipal::closingIsRefusedWhileAChildIsOpen()
{
    Ambiente amb;
    app::abreJanela<JanelaTeste>();
    for (int vez = 0; vez < 2; ++vez) {
        Mensagens m;
        QVERIFY(!amb.principal().close());
        QCOMPARE(m.quantas(), 1);
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Information);
        QCOMPARE(m.ultimo(), QString("ATENÇÃO : Existe(m) uma ou mais janelas abertas no momento !!!\n"
                                     "Feche todas as janelas antes de encerrar a execução do Sistema ?"));
        QVERIFY(amb.principal().isVisible());
    }
    app::janela<JanelaTeste>()->close();
    QTRY_VERIFY(!app::janela<JanelaTeste>());
    Mensagens m;
    amb.menu("Sair1");
    QVERIFY(!amb.principal().isVisible());
    QCOMPARE(m.quantas(), 0);
}

void TestPrincipal::salesWithoutOpenCashDay()
{
    Ambiente amb;
    Mensagens m;
    amb.menu("Vendas_");
    QCOMPARE(m.textos(), QStringList({"Não Existe Caixa Aberto"}));
    QCOMPARE(m.vistas()[0].icone, QMessageBox::Critical);
    QCOMPARE(amb.principal().areaJanelas()->subWindowList().size(), 0);
}

void TestPrincipal::chequeValuesResetOnlyWhenTheWindowIsNew()
{
    Ambiente amb;
    app::registraItem("Lancar_Cheque", {[] { app::abreJanela<JanelaTeste>(); },
                                        [] { return app::janela<JanelaTeste>() != nullptr; }});
    app::ChequePagamento = 7;
    app::ChequeValor = db::Decimal(1000, 2);
    amb.menu("Lancar_Cheque");
    QCOMPARE(app::ChequePagamento, 0);
    QCOMPARE(app::ChequeValor, db::Decimal(0, 2));
    QCOMPARE(app::ChequeData, QDate::currentDate());
    app::ChequePagamento = 9; // handed over by a sale while the window is open
    amb.menu("Lancar_Cheque");
    QCOMPARE(app::ChequePagamento, 9);
    app::janela<JanelaTeste>()->close();
}

void TestPrincipal::avisaCampos()
{
    Ambiente amb;
    Mensagens m;
    amb.principal().AvisaCampos("Campos marcados com *");
    amb.principal().AvisaCampos("");
    QCOMPARE(m.textos(), QStringList({"Peencha os campos! (Campos marcados com *)", "Peencha os campos! ()"}));
    QCOMPARE(m.vistas()[0].icone, QMessageBox::Information);
}

void TestPrincipal::aboutAndTeamAreKeptAndReused()
{
    Ambiente amb;
    QPointer<app::Frm_Sobre> primeiro;
    testsupport::quandoAbrir<app::Frm_Sobre>([&](app::Frm_Sobre *d) {
        primeiro = d;
        QVERIFY(d->findChild<QLabel *>("Lb_Descricao"));
        QCOMPARE(d->findChild<QLabel *>("Lb_Descricao")->text(), QString("Sistema de Gestão de Laticínio"));
        d->accept();
    });
    amb.menu("Sobre");
    QVERIFY(primeiro);
    QPointer<app::Frm_Sobre> segundo;
    testsupport::quandoAbrir<app::Frm_Sobre>([&](app::Frm_Sobre *d) {
        segundo = d;
        d->accept();
    });
    amb.menu("Sobre");
    QCOMPARE(segundo.data(), primeiro.data()); // kept after closing and reused

    Navegador navegador;
    QDesktopServices::setUrlHandler("https", &navegador, "abre");
    testsupport::quandoAbrir<app::Frm_equipe>([](app::Frm_equipe *d) {
        d->Bt_Site->click();
        d->accept();
    });
    amb.menu("Equipe_");
    QDesktopServices::unsetUrlHandler("https");
    QCOMPARE(navegador.abertas, QList<QUrl>({QUrl(app::Fabricante::site())}));
}

void TestPrincipal::programEndsOnTermAndItsDatabaseStaysWhole()
{
    // The real program, its Corvena.INI next to it, waiting at the login:
    // the session's end (SIGTERM) ends it, although the Firebird client
    // takes that signal for itself.
    const QString original = qEnvironmentVariable("CORVENA_BIN_DIR") + "/corvena";
    if (!QFile::exists(original))
        QSKIP("corvena not built");
    const QString pasta = testsupport::scratchDir() + "/programa";
    QDir().mkpath(pasta);
    QFile::remove(pasta + "/corvena");
    QVERIFY(QFile::copy(original, pasta + "/corvena"));
    QFile::setPermissions(pasta + "/corvena", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString banco = testsupport::freshDatabasePath();
    QFile ini(pasta + "/Corvena.INI");
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(("[DADOS]\nSERVIDOR=" + banco + "\n").toUtf8());
    ini.close();
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(pasta + "/corvena");
    QVERIFY(p.waitForStarted());
    // attached once it holds the database file open (looked up in /proc:
    // opening the file here would race with the program's own attach)
    const QString fds = QString("/proc/%1/fd").arg(p.processId());
    QTRY_VERIFY_WITH_TIMEOUT([&] {
        for (const QFileInfo &fd : QDir(fds).entryInfoList(QDir::System | QDir::Files))
            if (fd.symLinkTarget() == QFileInfo(banco).canonicalFilePath())
                return true;
        return false;
    }(), 20000);
    QTest::qWait(300);
    p.terminate();
    QVERIFY(p.waitForFinished(15000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    auto c = db::Connection::open(banco);
    QCOMPARE(c->execute("select count(*) as N from PRODUTO").value("N").toInt(), 1);
}

QTEST_MAIN(TestPrincipal)
#include "test_principal.moc"
