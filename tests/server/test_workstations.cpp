// Several workstations on one Firebird server. The test starts a private
// server with tools/firebird-server.sh, creates its databases through it,
// and works with two connections standing for two workstations of the
// dairy's office, often from two threads at the same moment. It stops the
// server again at the end (and the script stops it by itself should this
// program die first).

#include "app/configuracao_ini.h"
#include "app/frmprincipal.h"
#include "app/globais.h"
#include "app/rotinas.h"
#include "db/database.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "support/gui.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <array>
#include <atomic>
#include <barrier>
#include <cstdio>
#include <functional>
#include <latch>
#include <thread>
#include <unistd.h>

namespace db {
// How QCOMPARE shows an amount that differs.
char *toString(const Decimal &d)
{
    return qstrdup(qPrintable(d.toString()));
}
} // namespace db

using db::Decimal;
using Conexao = std::unique_ptr<db::Connection>;

namespace {

Decimal dec(const QVariant &v)
{
    return Decimal::fromVariant(v, 2);
}

Decimal centavos(qint64 n)
{
    return Decimal(n, 2);
}

QString scriptServidor()
{
    QString fontes = qEnvironmentVariable("CORVENA_SOURCE_DIR");
    if (fontes.isEmpty())
        fontes = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../..");
    return QDir(fontes).absoluteFilePath(QStringLiteral("tools/firebird-server.sh"));
}

struct Execucao
{
    int codigo = -1;
    QString saida;
    QString erros;
};

// Runs tools/firebird-server.sh with the given arguments.
Execucao script(const QStringList &argumentos)
{
    QProcess p;
    p.start(QStringLiteral("bash"), QStringList{scriptServidor()} + argumentos);
    Execucao e;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        e.erros = QStringLiteral("tools/firebird-server.sh não terminou");
        return e;
    }
    e.codigo = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    e.saida = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    e.erros = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    return e;
}

// Runs the work of both workstations at the same time, each on a thread of
// its own, and gives back the error each one ended with (empty when none).
std::array<QString, 2> emParalelo(const std::function<void(int estacao)> &trabalho)
{
    std::array<QString, 2> erros;
    std::latch largada(2);
    auto corre = [&](int estacao) {
        largada.arrive_and_wait();
        try {
            trabalho(estacao);
        } catch (const db::Error &e) {
            erros[estacao] = e.message();
        } catch (const std::exception &e) {
            erros[estacao] = QString::fromLocal8Bit(e.what());
        }
    };
    std::thread a(corre, 0), b(corre, 1);
    a.join();
    b.join();
    return erros;
}

// A statement read in a transaction of its own: the monitoring tables
// (MON$) are a snapshot taken once per transaction.
QVariant leAgora(db::Connection &c, const QString &sql, const db::Params &p = {})
{
    return c.transaction([&](db::Transaction &tx) { return tx.execute(sql, p).row(0).value(0); });
}

const QString kVenda = QStringLiteral(
    "INSERT INTO PEDIDO (CD_PEDIDO, DATA, CD_CLIENTE, VALOR_TOTAL, DESCONTO, FALTA, TIPO, PAGO) "
    "VALUES (:PCDPEDIDO, :PDATA, :PCDCLIENTE, :PTOTAL, 0, :PFALTA, 'DN', 'N')");
const QString kLinha = QStringLiteral(
    "INSERT INTO ITENS_PEDIDOS (CD_ITENS_PEDIDOS, CD_PEDIDO, CD_PRODUTO, QUANTIDADE, PESO, VALOR_UNITARIO) "
    "VALUES (1, :PCDPEDIDO, :PCDPRODUTO, :PQUANT, :PQUANT, 1)");
const QString kDebito = QStringLiteral("update cliente set debito = debito + :pdebito where cd_cliente = :pcdcliente");
const QString kCaixa = QStringLiteral("UPDATE CAIXA SET VENDAAVISTA = VENDAAVISTA + :PVENDAAVISTA, "
                                      "VENDAAPRAZO = VENDAAPRAZO + :PVENDAAPRAZO WHERE LANCADO = 'N'");
const QString kAbreCaixa = QStringLiteral("INSERT INTO CAIXA (DATA, VENDAAVISTA, VENDAAPRAZO, RECEBIMENTO, LANCADO) "
                                          "VALUES (:PDATA, 0, 0, 0, 'N')");

struct Venda
{
    Decimal dinheiro, nota, quantidade;
};

// One sale of product 4 to customer 1, cash and note, as the sale window
// closes it: order, line (the server lowers the stock), customer's debit
// and the open cash day's sums, all in the given transaction.
int registraVenda(db::Transaction &tx, const QDate &dia, const Venda &v)
{
    const int pedido = tx.execute(QStringLiteral("EXECUTE PROCEDURE INCREMENTA_PEDIDO")).value("CODIGO").toInt();
    tx.execute(kVenda, {{"PCDPEDIDO", pedido},
                        {"PDATA", dia},
                        {"PCDCLIENTE", 1},
                        {"PTOTAL", (v.dinheiro + v.nota).toVariant()},
                        {"PFALTA", v.nota.toVariant()}});
    tx.execute(kLinha, {{"PCDPEDIDO", pedido}, {"PCDPRODUTO", 4}, {"PQUANT", v.quantidade.toVariant()}});
    tx.execute(kDebito, {{"pdebito", v.nota.toVariant()}, {"pcdcliente", 1}});
    tx.execute(kCaixa, {{"PVENDAAVISTA", v.dinheiro.toVariant()}, {"PVENDAAPRAZO", v.nota.toVariant()}});
    return pedido;
}

struct Totais
{
    Decimal debito, estoque, avista, aprazo;
    int pedidos = 0, linhas = 0, movimentos = 0;
    bool operator==(const Totais &) const = default;
};

Totais totais(db::Connection &c)
{
    Totais t;
    t.debito = dec(c.execute(QStringLiteral("SELECT DEBITO FROM CLIENTE WHERE CD_CLIENTE = 1")).value("DEBITO"));
    t.estoque = dec(c.execute(QStringLiteral("SELECT ESTOQUE_ATUAL FROM PRODUTO WHERE CD_PRODUTO = 4")).value("ESTOQUE_ATUAL"));
    const db::Result caixa = c.execute(QStringLiteral("SELECT VENDAAVISTA, VENDAAPRAZO FROM CAIXA WHERE LANCADO = 'N'"));
    t.avista = dec(caixa.value("VENDAAVISTA"));
    t.aprazo = dec(caixa.value("VENDAAPRAZO"));
    t.pedidos = c.execute(QStringLiteral("SELECT COUNT(*) AS N FROM PEDIDO")).value("N").toInt();
    t.linhas = c.execute(QStringLiteral("SELECT COUNT(*) AS N FROM ITENS_PEDIDOS")).value("N").toInt();
    t.movimentos = c.execute(QStringLiteral("SELECT COUNT(*) AS N FROM MOVIMENTO")).value("N").toInt();
    return t;
}

} // namespace

// The workstation that is killed: started as this program with
// --estacao-derrubada SERVIDOR, it writes a whole sale and a cash-book entry
// in one transaction, says so on its output, and waits, never committing,
// until it is killed (or its parent goes away).
static int estacaoDerrubada(const QString &servidor)
{
    const pid_t pai = getppid();
    auto c = db::Connection::open(servidor);
    db::Transaction tx(*c);
    const int pedido = registraVenda(tx, QDate(2026, 5, 4), {centavos(5000), centavos(7000), centavos(300)});
    tx.execute(QStringLiteral("INSERT INTO MOVIMENTO (CD_MOVIMENTO, CD_CONTA, DESCRICAO, VALOR, DATA, DEBITO_CREDITO) "
                              "VALUES (1, 3, 'ESTACAO DERRUBADA', 12.34, :D, 'D')"),
               {{"D", QDate(2026, 5, 4)}});
    std::printf("ESCRITO %d\n", pedido);
    std::fflush(stdout);
    for (int i = 0; i < 1200 && getppid() == pai; ++i)
        usleep(100000);
    return 3;
}

class TestWorkstations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void scriptCreatesDatabase();
    void runningTotalsUnderContention();
    void conflictIsRetried();
    void keysNeverRepeat();
    void clientMaxPlusOneRace();
    void oneOpenCashDay_data();
    void oneOpenCashDay();
    void killedWorkstationLeavesNothing();
    void programThroughTheServer();

private:
    // A new database, made through the server from the project's scripts,
    // as the program names it ("localhost/PORT:/path").
    QString banco(const QString &nome, bool demo = true);
    Conexao abre(const QString &servidor) { return db::Connection::open(servidor); }

    QTemporaryDir m_pasta;
    QString m_porta;
    bool m_rodando = false;
};

void TestWorkstations::initTestCase()
{
    QVERIFY(m_pasta.isValid());
    QVERIFY2(QFileInfo::exists(scriptServidor()), qPrintable(scriptServidor()));
    QElapsedTimer t;
    t.start();
    const Execucao e = script({QStringLiteral("start"), m_pasta.filePath(QStringLiteral("servidor")),
                               QStringLiteral("--owner"), QString::number(QCoreApplication::applicationPid())});
    QVERIFY2(e.codigo == 0, qPrintable(e.erros));
    m_porta = e.saida.section(u'\n', -1);
    QVERIFY2(m_porta.toInt() > 0, qPrintable(e.saida));
    m_rodando = true;
    qInfo("servidor iniciado na porta %s em %lld ms", qPrintable(m_porta), t.elapsed());
}

void TestWorkstations::cleanupTestCase()
{
    if (!m_rodando)
        return;
    const QString pasta = m_pasta.filePath(QStringLiteral("servidor"));
    QElapsedTimer t;
    t.start();
    const Execucao e = script({QStringLiteral("stop"), pasta});
    QVERIFY2(e.codigo == 0, qPrintable(e.erros));
    m_rodando = false;
    qInfo("servidor parado em %lld ms", t.elapsed());
    const Execucao s = script({QStringLiteral("status"), pasta});
    QCOMPARE(s.saida, QStringLiteral("stopped"));
    QCOMPARE(s.codigo, 1);
}

QString TestWorkstations::banco(const QString &nome, bool demo)
{
    const QString servidor = QStringLiteral("localhost/%1:%2").arg(m_porta, m_pasta.filePath(nome + QStringLiteral(".fdb")));
    QElapsedTimer t;
    t.start();
    db::schema::createDatabase(servidor, demo, false);
    qInfo("banco %s criado pelo servidor em %lld ms", qPrintable(nome), t.elapsed());
    return servidor;
}

void TestWorkstations::scriptCreatesDatabase()
{
    const QString bin = qEnvironmentVariable("CORVENA_BIN_DIR");
    if (bin.isEmpty() || !QFileInfo(bin + QStringLiteral("/corvena-db")).isExecutable())
        QSKIP("corvena-db não foi compilado (CORVENA_BIN_DIR)");
    const QString pasta = m_pasta.filePath(QStringLiteral("servidor"));
    const QString arquivo = m_pasta.filePath(QStringLiteral("pelo-script/corvena.fdb"));

    const Execucao e = script({QStringLiteral("create"), pasta, arquivo, QStringLiteral("--demo")});
    QVERIFY2(e.codigo == 0, qPrintable(e.erros));
    const QString servidor = QStringLiteral("localhost/%1:%2").arg(m_porta, arquivo);
    QCOMPARE(e.saida, servidor);
    QVERIFY(e.erros.contains(QStringLiteral("Banco de dados criado")));
    {
        auto c = abre(servidor);
        QCOMPARE(c->execute(QStringLiteral("SELECT RAZAOSOCIAL FROM EMPRESA")).value("RAZAOSOCIAL").toString(),
                 QStringLiteral("LATICINIOS ZUZORO DA REVUZOVOD LTDA"));
        c->execute(QStringLiteral("UPDATE EMPRESA SET FONE = '3534000000'"));
    }
    const qint64 tamanho = QFileInfo(arquivo).size();

    // an existing database is never touched
    const Execucao outra = script({QStringLiteral("create"), pasta, arquivo});
    QVERIFY(outra.codigo != 0);
    QCOMPARE(QFileInfo(arquivo).size(), tamanho);
    auto c = abre(servidor);
    QCOMPARE(c->execute(QStringLiteral("SELECT FONE FROM EMPRESA")).value("FONE").toString(), QStringLiteral("3534000000"));
}

void TestWorkstations::runningTotalsUnderContention()
{
    const QString servidor = banco(QStringLiteral("totais"));
    Conexao estacoes[2] = {abre(servidor), abre(servidor)};
    const QDate dia(2026, 3, 10);
    estacoes[0]->execute(kAbreCaixa, {{"PDATA", dia}});
    const Totais antes = totais(*estacoes[0]);

    constexpr int kAcoes = 500;
    // Every sale differs, so that a lost or doubled one shows in the sums.
    auto venda = [](int estacao, int i) {
        const int n = estacao * kAcoes + i;
        return Venda{centavos(100 + n % 97), centavos(1 + (n * 37) % 1000), centavos(100 * (1 + n % 3) + estacao * 25)};
    };
    Totais esperado = antes;
    for (int e = 0; e < 2; ++e) {
        for (int i = 0; i < kAcoes; ++i) {
            const Venda v = venda(e, i);
            esperado.debito += v.nota;
            esperado.estoque -= v.quantidade;
            esperado.avista += v.dinheiro;
            esperado.aprazo += v.nota;
        }
    }
    esperado.pedidos += 2 * kAcoes;
    esperado.linhas += 2 * kAcoes;

    QElapsedTimer t;
    t.start();
    std::array<int, 2> maisTentativas{};
    const auto erros = emParalelo([&](int e) {
        db::Connection &c = *estacoes[e];
        for (int i = 0; i < kAcoes; ++i) {
            int tentativas = 0;
            c.transaction([&](db::Transaction &tx) {
                ++tentativas;
                registraVenda(tx, dia, venda(e, i));
            });
            maisTentativas[e] = std::max(maisTentativas[e], tentativas);
        }
    });
    const qint64 ms = t.elapsed();
    qInfo("2 x %d vendas em %lld ms; conflitos repetidos: estação 1 = %d, estação 2 = %d; "
          "tentativas de uma ação, no máximo: %d e %d",
          kAcoes, ms, estacoes[0]->conflictRetries(), estacoes[1]->conflictRetries(), maisTentativas[0],
          maisTentativas[1]);
    QVERIFY2(erros[0].isEmpty(), qPrintable(erros[0]));
    QVERIFY2(erros[1].isEmpty(), qPrintable(erros[1]));

    // read afresh by a third workstation
    auto terceira = abre(servidor);
    const Totais depois = totais(*terceira);
    QCOMPARE(depois.debito, esperado.debito);
    QCOMPARE(depois.estoque, esperado.estoque);
    QCOMPARE(depois.avista, esperado.avista);
    QCOMPARE(depois.aprazo, esperado.aprazo);
    QCOMPARE(depois.pedidos, esperado.pedidos);
    QCOMPARE(depois.linhas, esperado.linhas);
}

void TestWorkstations::conflictIsRetried()
{
    // Workstation 1 holds the customer's row in an open action; workstation
    // 2's action on the same row waits for it, meets the update conflict
    // when 1 commits, and is run again: both amounts count.
    const QString servidor = banco(QStringLiteral("conflito"));
    auto um = abre(servidor);
    auto dois = abre(servidor);
    auto observador = abre(servidor);
    const int idDois = dois->execute(QStringLiteral("SELECT CURRENT_CONNECTION AS ID FROM RDB$DATABASE")).value("ID").toInt();
    const Decimal antes = dec(um->execute(QStringLiteral("SELECT DEBITO FROM CLIENTE WHERE CD_CLIENTE = 1")).value("DEBITO"));

    db::Transaction acaoUm(*um);
    acaoUm.execute(kDebito, {{"pdebito", centavos(1000).toVariant()}, {"pcdcliente", 1}});

    std::atomic<int> tentativas = 0;
    QString erro;
    std::thread t([&] {
        try {
            dois->transaction([&](db::Transaction &tx) {
                ++tentativas;
                tx.execute(kDebito, {{"pdebito", centavos(250).toVariant()}, {"pcdcliente", 1}});
            });
        } catch (const db::Error &e) {
            erro = e.message();
        }
    });
    // until workstation 2's statement is seen running twice in a row: it
    // waits on the row (it would be done in far less than one look)
    const QString espera = QStringLiteral("SELECT COUNT(*) FROM MON$STATEMENTS WHERE MON$ATTACHMENT_ID = :ID "
                                          "AND MON$STATE = 1 AND MON$SQL_TEXT CONTAINING 'debito'");
    int vistas = 0;
    for (int i = 0; i < 2000 && vistas < 2; ++i) {
        vistas = leAgora(*observador, espera, {{"ID", idDois}}).toInt() == 1 ? vistas + 1 : 0;
        QThread::msleep(10);
    }
    const bool esperando = vistas == 2;
    acaoUm.commit();
    t.join();
    QVERIFY(esperando);
    QVERIFY2(erro.isEmpty(), qPrintable(erro));
    QCOMPARE(tentativas.load(), 2);
    QCOMPARE(dois->conflictRetries(), 1);
    QCOMPARE(dec(observador->execute(QStringLiteral("SELECT DEBITO FROM CLIENTE WHERE CD_CLIENTE = 1")).value("DEBITO")),
             antes + centavos(1250));
}

void TestWorkstations::keysNeverRepeat()
{
    // Both draw order numbers from INCREMENTA_PEDIDO and store cash-book
    // entries with the placeholder key 1 and without a key, at once; every
    // entry also moves the same day's cash-book totals.
    const QString servidor = banco(QStringLiteral("chaves"));
    Conexao estacoes[2] = {abre(servidor), abre(servidor)};
    const QDate dia(2026, 3, 11);
    constexpr int kAcoes = 300;
    std::array<QList<int>, 2> pedidos, movimentos;
    std::array<int, 2> maisTentativas{};

    QElapsedTimer t;
    t.start();
    const auto erros = emParalelo([&](int e) {
        db::Connection &c = *estacoes[e];
        for (int i = 0; i < kAcoes; ++i) {
            int tentativas = 0;
            const auto chaves = c.transaction([&](db::Transaction &tx) {
                ++tentativas;
                const int pedido =
                    tx.execute(QStringLiteral("EXECUTE PROCEDURE INCREMENTA_PEDIDO")).value("CODIGO").toInt();
                tx.execute(QStringLiteral("INSERT INTO PEDIDO (CD_PEDIDO, DATA, PAGO) VALUES (:P, :D, 'S')"),
                           {{"P", pedido}, {"D", dia}});
                const int debito = tx.execute(QStringLiteral(
                    "INSERT INTO MOVIMENTO (CD_MOVIMENTO, CD_CONTA, DESCRICAO, VALOR, DATA, DEBITO_CREDITO) "
                    "VALUES (1, 3, 'DESPESA', 2.50, :D, 'D') RETURNING CD_MOVIMENTO"), {{"D", dia}})
                                       .value("CD_MOVIMENTO").toInt();
                const int credito = tx.execute(QStringLiteral(
                    "INSERT INTO MOVIMENTO (CD_CONTA, DESCRICAO, VALOR, DATA, DEBITO_CREDITO) "
                    "VALUES (2, 'VENDA A VISTA', 10, :D, 'C') RETURNING CD_MOVIMENTO"), {{"D", dia}})
                                        .value("CD_MOVIMENTO").toInt();
                return std::array<int, 3>{pedido, debito, credito};
            });
            pedidos[e] << chaves[0];
            movimentos[e] << chaves[1] << chaves[2];
            maisTentativas[e] = std::max(maisTentativas[e], tentativas);
        }
    });
    const qint64 ms = t.elapsed();
    qInfo("2 x %d ações com chaves em %lld ms; conflitos repetidos: estação 1 = %d, estação 2 = %d; "
          "tentativas de uma ação, no máximo: %d e %d",
          kAcoes, ms, estacoes[0]->conflictRetries(), estacoes[1]->conflictRetries(), maisTentativas[0],
          maisTentativas[1]);
    QVERIFY2(erros[0].isEmpty(), qPrintable(erros[0]));
    QVERIFY2(erros[1].isEmpty(), qPrintable(erros[1]));

    const QSet<int> todosPedidos = QSet<int>(pedidos[0].begin(), pedidos[0].end()) + QSet<int>(pedidos[1].begin(), pedidos[1].end());
    const QSet<int> todosMovimentos =
        QSet<int>(movimentos[0].begin(), movimentos[0].end()) + QSet<int>(movimentos[1].begin(), movimentos[1].end());
    QCOMPARE(todosPedidos.size(), 2 * kAcoes);
    QCOMPARE(todosMovimentos.size(), 4 * kAcoes);

    // the keys handed back are the keys stored
    auto c = abre(servidor);
    auto guardadas = [&](const QString &sql) {
        const db::Result r = c->execute(sql);
        QSet<int> chaves;
        for (const auto &linha : r.rows())
            chaves << linha[0].toInt();
        return chaves;
    };
    QCOMPARE(guardadas(QStringLiteral("SELECT CD_MOVIMENTO FROM MOVIMENTO")), todosMovimentos);
    QCOMPARE(guardadas(QStringLiteral("SELECT CD_PEDIDO FROM PEDIDO")), todosPedidos);

    // and the day's totals add up: 600 debits of 2,50 and 600 credits of 10,00
    const db::Result saldo = c->execute(
        QStringLiteral("SELECT TOTCREDITO, TOTDEBITO, SALDOATUAL FROM SALDOCAIXA WHERE DTSALDO = :D"), {{"D", dia}});
    QCOMPARE(saldo.rowCount(), 1);
    QCOMPARE(dec(saldo.value("TOTCREDITO")), centavos(2 * kAcoes * 1000));
    QCOMPARE(dec(saldo.value("TOTDEBITO")), centavos(2 * kAcoes * 250));
    QCOMPARE(dec(saldo.value("SALDOATUAL")), centavos(2 * kAcoes * 750));
}

void TestWorkstations::clientMaxPlusOneRace()
{
    // Both workstations propose the same MAX+1 code for a new customer
    // before either records it.
    const QString servidor = banco(QStringLiteral("maxmais1"));
    auto a = abre(servidor);
    auto b = abre(servidor);
    const QString todos = QStringLiteral("SELECT * FROM CLIENTE ORDER BY CD_CLIENTE");
    const auto antes = a->execute(todos).rows();

    db::Dataset tbA(a.get(), QStringLiteral("select * from CLIENTE"));
    db::Dataset tbB(b.get(), QStringLiteral("select * from CLIENTE"));
    tbA.open();
    tbB.open();
    auto proximo = [](db::Connection &c) {
        return c.execute(QStringLiteral("select max(CD_cliente) as MAXCD from CLIENTE")).value("MAXCD").toInt() + 1;
    };
    auto novo = [](db::Dataset &tb, int codigo, const QString &nome) {
        tb.append();
        tb.setValue(QStringLiteral("CD_CLIENTE"), codigo);
        tb.setValue(QStringLiteral("NOME"), nome);
        tb.setValue(QStringLiteral("DEBITO"), 0);
        tb.post();
    };
    const int codigo = proximo(*a);
    QCOMPARE(proximo(*b), codigo);
    novo(tbA, codigo, QStringLiteral("MERCEARIA DA ESTACAO UM"));
    novo(tbB, codigo, QStringLiteral("PADARIA DA ESTACAO DOIS"));

    testsupport::Mensagens mensagens;
    QVERIFY(app::AplicaAlteracoes(tbA));
    QCOMPARE(mensagens.quantas(), 0);
    QVERIFY(!app::AplicaAlteracoes(tbB));
    QCOMPARE(mensagens.quantas(), 1);
    QCOMPARE(mensagens.vistas().at(0).icone, QMessageBox::Warning);
    QCOMPARE(mensagens.ultimo(), app::textoRelacionamentos());
    // workstation 2 shows its rows as last read, without the refused one
    QVERIFY(!tbB.hasPendingChanges());
    QCOMPARE(tbB.recordCount(), antes.size());

    // the first record stays, nothing else changed
    auto depois = abre(servidor)->execute(todos).rows();
    QCOMPARE(depois.size(), antes.size() + 1);
    QCOMPARE(depois.last()[0].toInt(), codigo);
    QCOMPARE(depois.last()[1].toString(), QStringLiteral("MERCEARIA DA ESTACAO UM"));
    depois.removeLast();
    QCOMPARE(depois, antes);

    // recording again with a new MAX+1 works
    tbB.close();
    tbB.open();
    novo(tbB, proximo(*b), QStringLiteral("PADARIA DA ESTACAO DOIS"));
    QVERIFY(app::AplicaAlteracoes(tbB));
    QCOMPARE(mensagens.quantas(), 1);
    QCOMPARE(a->execute(QStringLiteral("SELECT NOME FROM CLIENTE WHERE CD_CLIENTE = :C"), {{"C", codigo + 1}}).value("NOME").toString(),
             QStringLiteral("PADARIA DA ESTACAO DOIS"));
}

void TestWorkstations::oneOpenCashDay_data()
{
    QTest::addColumn<int>("diasEntre");
    QTest::newRow("different dates") << 1;
    QTest::newRow("same date") << 0;
}

void TestWorkstations::oneOpenCashDay()
{
    // Both workstations open a cash day as the window does (look for an
    // open day or one of the date, then record a new open row) at the same
    // moment: both looks find nothing, exactly one row is recorded.
    QFETCH(int, diasEntre);
    const QString servidor = banco(QStringLiteral("caixa%1").arg(diasEntre));
    Conexao estacoes[2] = {abre(servidor), abre(servidor)};
    constexpr int kRodadas = 10;
    for (int rodada = 0; rodada < kRodadas; ++rodada) {
        estacoes[0]->execute(QStringLiteral("UPDATE CAIXA SET LANCADO = 'S' WHERE LANCADO = 'N'"));
        const QDate base = QDate::currentDate().addDays(-2 * kRodadas + 2 * rodada);
        const QDate datas[2] = {base, base.addDays(diasEntre)};
        std::array<QString, 2> resultado;
        std::barrier olharam(2);
        const auto erros = emParalelo([&](int e) {
            db::Connection &c = *estacoes[e];
            db::Dataset existe(&c, QStringLiteral("SELECT DATA FROM CAIXA WHERE LANCADO ='N' OR DATA = :PDATA"));
            existe.setParam(QStringLiteral("PDATA"), datas[e]);
            existe.open();
            const bool livre = existe.isEmpty();
            olharam.arrive_and_wait();
            if (!livre) {
                resultado[e] = QStringLiteral("caixa existente");
                return;
            }
            db::Dataset caixa(&c, QStringLiteral("select * from CAIXA where data > :pdata ORDER BY DATA DESC"));
            caixa.setParam(QStringLiteral("pdata"), QDate::currentDate().addDays(-60));
            caixa.open();
            caixa.append();
            caixa.setValue(QStringLiteral("DATA"), datas[e]);
            caixa.setValue(QStringLiteral("VENDAAVISTA"), 0);
            caixa.setValue(QStringLiteral("RECEBIMENTO"), 0);
            caixa.setValue(QStringLiteral("VENDAAPRAZO"), 0);
            caixa.setValue(QStringLiteral("LANCADO"), QStringLiteral("N"));
            caixa.post();
            try {
                caixa.applyUpdates();
                resultado[e] = QStringLiteral("aberto");
            } catch (const db::Error &x) {
                resultado[e] = x.isDuplicateKey() ? QStringLiteral("recusado") : x.message();
            }
        });
        QVERIFY2(erros[0].isEmpty() && erros[1].isEmpty(), qPrintable(erros[0] + erros[1]));
        QStringList r{resultado[0], resultado[1]};
        r.sort();
        QCOMPARE(r, (QStringList{QStringLiteral("aberto"), QStringLiteral("recusado")}));
        QCOMPARE(estacoes[1]->execute(QStringLiteral("SELECT COUNT(*) AS N FROM CAIXA WHERE LANCADO = 'N'")).value("N").toInt(), 1);
    }
    QCOMPARE(estacoes[0]->execute(QStringLiteral("SELECT COUNT(*) AS N FROM CAIXA")).value("N").toInt(), kRodadas);
}

void TestWorkstations::killedWorkstationLeavesNothing()
{
    const QString servidor = banco(QStringLiteral("derrubada"));
    auto estacao = abre(servidor);
    estacao->execute(kAbreCaixa, {{"PDATA", QDate(2026, 5, 4)}});
    const Totais antes = totais(*estacao);
    auto saldos = [&] {
        return estacao->execute(QStringLiteral("SELECT COUNT(*) AS N FROM SALDOCAIXA")).value("N").toInt();
    };
    const int saldosAntes = saldos();

    QProcess outra;
    outra.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--estacao-derrubada"), servidor});
    QVERIFY2(outra.waitForStarted(), qPrintable(outra.errorString()));
    QByteArray saida;
    while (!saida.contains('\n') && outra.state() == QProcess::Running && outra.waitForReadyRead(60000))
        saida += outra.readAllStandardOutput();
    QVERIFY2(saida.startsWith("ESCRITO "), qPrintable(QString::fromLocal8Bit(saida + outra.readAllStandardError())));
    const int pedido = saida.mid(8).trimmed().toInt();
    QVERIFY(pedido > 0);

    // its action is open: nobody sees any of it yet
    QCOMPARE(totais(*estacao), antes);

    outra.kill(); // SIGKILL: no rollback, no detach, the socket just closes
    QVERIFY(outra.waitForFinished());
    QCOMPARE(outra.exitStatus(), QProcess::CrashExit);

    // The rows it held are free again for this workstation's action (which
    // would otherwise wait for them), and nothing of its action remains.
    QElapsedTimer t;
    t.start();
    estacao->transaction([&](db::Transaction &tx) {
        tx.execute(kDebito, {{"pdebito", centavos(100).toVariant()}, {"pcdcliente", 1}});
        tx.execute(kCaixa, {{"PVENDAAVISTA", centavos(100).toVariant()}, {"PVENDAAPRAZO", centavos(0).toVariant()}});
        tx.execute(QStringLiteral("UPDATE PRODUTO SET ESTOQUE_ATUAL = ESTOQUE_ATUAL + 1 WHERE CD_PRODUTO = 4"));
    });
    qInfo("linhas da estação derrubada liberadas em %lld ms", t.elapsed());
    Totais esperado = antes;
    esperado.debito += centavos(100);
    esperado.avista += centavos(100);
    esperado.estoque += centavos(100);
    QCOMPARE(totais(*estacao), esperado);
    QCOMPARE(estacao->execute(QStringLiteral("SELECT COUNT(*) AS N FROM PEDIDO WHERE CD_PEDIDO = :P"), {{"P", pedido}}).value("N").toInt(), 0);
    QCOMPARE(saldos(), saldosAntes);
}

void TestWorkstations::programThroughTheServer()
{
    // The program itself, unchanged, with SERVIDOR=localhost/PORT:/path.
    const QString servidor = banco(QStringLiteral("programa"));
    auto outra = abre(servidor);
    outra->execute(kAbreCaixa, {{"PDATA", QDate(2026, 4, 15)}});

    app::zeraGlobais();
    testsupport::escreveIni(&servidor);
    QCOMPARE(app::lerServidor(), servidor);
    app::FrmPrincipal principal;
    QCOMPARE(principal.DB_Corvena->databaseName(), servidor);
    QCOMPARE(app::DataCaixa, QDate(2026, 4, 15));
    QCOMPARE(principal.razaoSocial(), QStringLiteral("LATICINIOS ZUZORO DA REVUZOVOD LTDA"));

    // through the server's network port, as any other workstation
    const db::Result eu = principal.DB_Corvena->execute(
        QStringLiteral("SELECT MON$REMOTE_PROTOCOL AS PROTOCOLO, MON$REMOTE_ADDRESS AS ENDERECO "
                       "FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = CURRENT_CONNECTION"));
    QCOMPARE(eu.value("PROTOCOLO").toString().trimmed(), QStringLiteral("TCPv4"));
    QVERIFY(eu.value("ENDERECO").toString().startsWith(QStringLiteral("127.0.0.1")));
    QCOMPARE(leAgora(*outra, QStringLiteral("SELECT COUNT(*) FROM MON$ATTACHMENTS WHERE MON$REMOTE_PROTOCOL = 'TCPv4'")).toInt(), 2);

    // what one workstation records, the other sees when it reads again
    principal.DB_Corvena->execute(kDebito, {{"pdebito", centavos(4250).toVariant()}, {"pcdcliente", 2}});
    QCOMPARE(dec(outra->execute(QStringLiteral("SELECT DEBITO FROM CLIENTE WHERE CD_CLIENTE = 2")).value("DEBITO")), centavos(4250));
    // the day closed on the other workstation is closed for the program too
    outra->execute(QStringLiteral("UPDATE CAIXA SET LANCADO = 'S' WHERE LANCADO = 'N'"));
    testsupport::Mensagens mensagens;
    principal.Vendas_Click();
    QCOMPARE(mensagens.textos(), QStringList{QStringLiteral("Não Existe Caixa Aberto")});
    QCOMPARE(mensagens.vistas().at(0).icone, QMessageBox::Critical);
    app::zeraGlobais();
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--estacao-derrubada") == 0)
        return estacaoDerrubada(QString::fromLocal8Bit(argv[2]));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestWorkstations teste;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&teste, argc, argv);
}

#include "test_workstations.moc"
