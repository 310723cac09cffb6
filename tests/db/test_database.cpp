// The database layer against a real embedded Firebird database.

#include "db/database.h"
#include "db/schema.h"
#include "support/testdb.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include <thread>

using db::Decimal;

class TestDatabase : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decimalArithmetic();
    void decimalParse_data();
    void decimalParse();
    void namedParameters();
    void exactDecimalsRoundTrip();
    void accentedTextRoundTrip();
    void charComesBackPadded();
    void nullsDatesAndBlobs();
    void missingOrUnknownParameterIsAnError();
    void transactionRollsBackOnException();
    void procedureOutputParameters();
    void exceptionTextReachesTheCaller();
    void duplicateKeyIsRecognised();
    void updateConflictIsRetried();
    void splitScriptHonoursSetTerm();
    void createRefusesExistingFile();
    void createIsFastAndComplete();
    void toolRefusesExistingFile();
};

void TestDatabase::decimalArithmetic()
{
    const Decimal a(123456, 2); // 1234.56
    const Decimal b(5, 1);      // 0.5
    QCOMPARE((a + b).toString(), QStringLiteral("1235.06"));
    QCOMPARE((a - b).toString(), QStringLiteral("1234.06"));
    QCOMPARE((a * b).toString(), QStringLiteral("617.28"));
    QCOMPARE(Decimal(1005, 3).rescaled(2).toString(), QStringLiteral("1.01"));
    QCOMPARE(Decimal(-1005, 3).rescaled(2).toString(), QStringLiteral("-1.01"));
    QCOMPARE(Decimal::fromDouble(1.005, 2).toString(), QStringLiteral("1.01"));
    QCOMPARE(Decimal::fromDouble(0.1 + 0.2, 2).toString(), QStringLiteral("0.30"));
    QCOMPARE(Decimal(-5, 2).toBrazilian(), QStringLiteral("-0,05"));
    QVERIFY(Decimal(150, 2) == Decimal(15, 1));
    QVERIFY(Decimal(149, 2) < Decimal(15, 1));
    // Litres times price: 1234,56 L x 2,355 R$/L, rounded to cents.
    QCOMPARE(Decimal(123456, 2).multipliedBy(Decimal(2355, 3), 2).toString(), QStringLiteral("2907.39"));
    const QVariant v = Decimal(250, 2).toVariant();
    QCOMPARE(v.toDouble(), 2.5);
}

void TestDatabase::decimalParse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value"); // empty = refused
    QTest::newRow("comma") << "1234,56" << "1234.56";
    QTest::newRow("point") << "1234.56" << "1234.56";
    QTest::newRow("negative") << "-0,5" << "-0.5";
    QTest::newRow("integer") << "12" << "12";
    QTest::newRow("exponent") << "1.5e2" << "150";
    QTest::newRow("blank") << "  " << "";
    QTest::newRow("letters") << "12a" << "";
    QTest::newRow("two points") << "1.2.3" << "";
}

void TestDatabase::decimalParse()
{
    QFETCH(QString, text);
    QFETCH(QString, value);
    const auto d = Decimal::parse(text);
    if (value.isEmpty())
        QVERIFY(!d);
    else
        QCOMPARE(d->toString(), value);
}

void TestDatabase::namedParameters()
{
    QStringList names;
    const QString sql = db::Connection::toPositional(
        "select ':X' as a, \":Y\" from t where a = :PA and b = :pb -- :C\n and c = :PA /* :D */", &names);
    QCOMPARE(names, QStringList({"PA", "PB", "PA"}));
    QVERIFY(sql.contains("':X'"));
    QVERIFY(sql.contains("-- :C"));
    QVERIFY(sql.contains("/* :D */"));
}

void TestDatabase::exactDecimalsRoundTrip()
{
    auto c = testsupport::freshDatabase();
    c->executeImmediate("create table T (A numeric(15,2), B numeric(15,3), C integer, D double precision)");
    const QList<Decimal> values = {Decimal(123456, 2), Decimal(-1, 2), Decimal(99999999999999LL, 2), Decimal(1, 2)};
    for (const Decimal &v : values)
        c->execute("insert into T (A, B, C) values (:A, :B, 1)", {{"A", v.toVariant()}, {"B", v.toVariant()}});
    // a double and a text are converted exactly too
    c->execute("insert into T (A, B, C) values (:A, :B, 2)", {{"A", 0.1 + 0.2}, {"B", QStringLiteral("1,2345")}});
    const auto r = c->execute("select A, B from T order by C, A");
    QCOMPARE(r.rowCount(), 5);
    QCOMPARE(r.fields()[0].kind, db::Field::Kind::Decimal);
    QCOMPARE(r.fields()[0].scale, 2);
    QCOMPARE(r.fields()[1].scale, 3);
    QStringList got;
    for (int i = 0; i < r.rowCount(); ++i)
        got << r.row(i)[0].value<Decimal>().toString() + "/" + r.row(i)[1].value<Decimal>().toString();
    QCOMPARE(got, QStringList({"-0.01/-0.010", "0.01/0.010", "1234.56/1234.560", "999999999999.99/999999999999.990",
                               "0.30/1.235"}));
    // sums stay exact on the server and in C++
    const auto s = c->execute("select sum(A) as S from T where C = 1");
    QCOMPARE(s.value("S").value<Decimal>(), Decimal(123456, 2) + Decimal(-1, 2) + Decimal(99999999999999LL, 2)
                                                + Decimal(1, 2));
}

void TestDatabase::accentedTextRoundTrip()
{
    auto c = testsupport::freshDatabase();
    const QString name = QStringLiteral("SEBASTIÃO ÇÉÚ ÀÊÕ º ª");
    c->execute("insert into TIPO_PRODUTOS_FABRICADOS (CD_TIPO_FABRICADOS, NOME) values (:C, :N)",
               {{"C", 7}, {"N", name}});
    QCOMPARE(c->execute("select NOME from TIPO_PRODUTOS_FABRICADOS where CD_TIPO_FABRICADOS = 7").value("NOME").toString(),
             name);
    // found again by a parameter holding the same text
    QCOMPARE(c->execute("select count(*) as N from TIPO_PRODUTOS_FABRICADOS where NOME = :N", {{"N", name}})
                 .value("N")
                 .toInt(),
             1);
}

void TestDatabase::charComesBackPadded()
{
    auto c = testsupport::freshDatabase();
    c->execute("insert into MOVIMENTO (CD_MOVIMENTO, CD_CONTA, DATA, DESCRICAO, VALOR, DEBITO_CREDITO) "
               "values (10, 1, current_date, 'X', 1, 'D')");
    c->execute("insert into PEDIDO (CD_PEDIDO, TIPO) values (5, :T)", {{"T", "D"}});
    QCOMPARE(c->execute("select TIPO from PEDIDO").value("TIPO").toString(), QStringLiteral("D "));
    QCOMPARE(c->execute("select DEBITO_CREDITO from MOVIMENTO").value("DEBITO_CREDITO").toString(), QStringLiteral("D"));
    const auto r = c->execute("select TIPO from PEDIDO");
    QCOMPARE(r.fields()[0].kind, db::Field::Kind::Char);
    QCOMPARE(r.fields()[0].length, 2);
}

void TestDatabase::nullsDatesAndBlobs()
{
    auto c = testsupport::freshDatabase();
    QByteArray picture;
    for (int i = 0; i < 100000; ++i)
        picture.append(static_cast<char>(i * 7));
    c->execute("insert into EMPRESA (CDEMPRESA, RAZAOSOCIAL, FOTO) values (1, :R, :F)",
               {{"R", QVariant()}, {"F", picture}});
    auto r = c->execute("select RAZAOSOCIAL, FOTO, CNPJ from EMPRESA");
    QVERIFY(r.value("RAZAOSOCIAL").isNull());
    QVERIFY(!r.value("CNPJ").isValid());
    QCOMPARE(r.value("FOTO").toByteArray(), picture);

    const QDate d(2049, 12, 31);
    c->execute("insert into CAIXA (DATA, LANCADO) values (:D, 'N')", {{"D", d}});
    r = c->execute("select DATA, VENDAAVISTA from CAIXA where DATA = :D", {{"D", d}});
    QCOMPARE(r.value("DATA").toDate(), d);
    QCOMPARE(r.value("VENDAAVISTA").value<Decimal>(), Decimal(0, 2)); // the column's default
}

void TestDatabase::missingOrUnknownParameterIsAnError()
{
    auto c = testsupport::freshDatabase();
    QVERIFY_THROWS_EXCEPTION(db::Error, c->execute("select * from PRODUTO where CD_PRODUTO = :P"));
    QVERIFY_THROWS_EXCEPTION(db::Error, c->execute("select * from PRODUTO where CD_PRODUTO = :P", {{"P", 1}, {"Q", 2}}));
    QCOMPARE(c->execute("select NOME from PRODUTO where CD_PRODUTO = :p", {{":P", 1}}).value("NOME").toString(),
             QStringLiteral("LEITE"));
}

void TestDatabase::transactionRollsBackOnException()
{
    auto c = testsupport::freshDatabase();
    try {
        c->transaction([](db::Transaction &tx) {
            tx.execute("update PRODUTO set ESTOQUE_ATUAL = ESTOQUE_ATUAL + 10 where CD_PRODUTO = 1");
            tx.execute("insert into PRODUTO (CD_PRODUTO) values (1)"); // duplicate key
        });
        QFAIL("expected an error");
    } catch (const db::Error &e) {
        QVERIFY(e.isDuplicateKey());
    }
    QCOMPARE(c->execute("select ESTOQUE_ATUAL from PRODUTO where CD_PRODUTO = 1").value("ESTOQUE_ATUAL").value<Decimal>(),
             Decimal(0, 2));
    c->transaction([](db::Transaction &tx) {
        tx.execute("update PRODUTO set ESTOQUE_ATUAL = ESTOQUE_ATUAL + 10 where CD_PRODUTO = 1");
    });
    QCOMPARE(c->execute("select ESTOQUE_ATUAL from PRODUTO where CD_PRODUTO = 1").value("ESTOQUE_ATUAL").toDouble(), 10.0);
}

void TestDatabase::procedureOutputParameters()
{
    auto c = testsupport::freshDatabase();
    c->executeImmediate("create procedure DOBRA (V numeric(15,2)) returns (R numeric(15,2), T varchar(10)) as "
                        "begin R = V * 2; T = 'OK'; end");
    const auto r = c->execute("execute procedure DOBRA :V", {{"V", Decimal(125, 2).toVariant()}});
    QCOMPARE(r.rowCount(), 1);
    QCOMPARE(r.value("R").value<Decimal>().toString(), QStringLiteral("2.50"));
    QCOMPARE(r.value("T").toString(), QStringLiteral("OK"));
}

void TestDatabase::exceptionTextReachesTheCaller()
{
    auto c = testsupport::freshDatabase();
    c->executeImmediate("create exception E_TESTE 'padrão'");
    c->executeImmediate("create procedure FALHA as begin exception E_TESTE 'Venda já recebida'; end");
    try {
        c->execute("execute procedure FALHA");
        QFAIL("expected an error");
    } catch (const db::Error &e) {
        QCOMPARE(e.exceptionText(), QStringLiteral("Venda já recebida"));
        QCOMPARE(e.userText(), QStringLiteral("Venda já recebida"));
    }
}

void TestDatabase::duplicateKeyIsRecognised()
{
    auto c = testsupport::freshDatabase();
    try {
        c->execute("insert into CONTA (CD_CONTA) values (1)");
        QFAIL("expected an error");
    } catch (const db::Error &e) {
        QVERIFY(e.isDuplicateKey());
        QVERIFY(!e.isUpdateConflict());
        QVERIFY(e.message().contains("PK_CONTA"));
    }
}

void TestDatabase::updateConflictIsRetried()
{
    const QString path = testsupport::freshDatabasePath();
    auto a = db::Connection::open(path);
    auto b = db::Connection::open(path);
    // b holds the row in an open transaction while a tries to change it;
    // b commits, a gets an update conflict and runs its action again.
    db::Transaction held(*b);
    held.execute("update PRODUTO set ESTOQUE_ATUAL = ESTOQUE_ATUAL + 1 where CD_PRODUTO = 1");
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        held.commit();
    });
    int runs = 0;
    a->transaction([&](db::Transaction &tx) {
        ++runs;
        tx.execute("update PRODUTO set ESTOQUE_ATUAL = ESTOQUE_ATUAL + 2 where CD_PRODUTO = 1");
    });
    releaser.join();
    QCOMPARE(runs, 2);
    QCOMPARE(a->conflictRetries(), 1);
    QCOMPARE(a->execute("select ESTOQUE_ATUAL from PRODUTO where CD_PRODUTO = 1").value("ESTOQUE_ATUAL").toDouble(), 3.0);
}

void TestDatabase::splitScriptHonoursSetTerm()
{
    const QString script = "/* header; with semicolon */\n"
                           "CREATE TABLE A (X INTEGER);\n"
                           "INSERT INTO A VALUES (1); -- trailing; comment\n"
                           "SET TERM ^ ;\n"
                           "CREATE PROCEDURE P AS BEGIN INSERT INTO A VALUES (';'); END^\n"
                           "SET TERM ; ^\n"
                           "COMMIT;\n"
                           "INSERT INTO A VALUES ('it''s; fine');\n";
    const QStringList s = db::schema::splitScript(script);
    QCOMPARE(s.size(), 4);
    QCOMPARE(s[0], QStringLiteral("CREATE TABLE A (X INTEGER)"));
    QCOMPARE(s[1], QStringLiteral("INSERT INTO A VALUES (1)"));
    QCOMPARE(s[2], QStringLiteral("CREATE PROCEDURE P AS BEGIN INSERT INTO A VALUES (';'); END"));
    QCOMPARE(s[3], QStringLiteral("INSERT INTO A VALUES ('it''s; fine')"));
}

void TestDatabase::createRefusesExistingFile()
{
    const QString path = testsupport::scratchDir() + "/existing.fdb";
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("not a database");
    f.close();
    QVERIFY_THROWS_EXCEPTION(db::Error, db::schema::createDatabase(path));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("not a database"));
}

void TestDatabase::createIsFastAndComplete()
{
    const QString path = testsupport::scratchDir() + "/new.fdb";
    QElapsedTimer t;
    t.start();
    auto c = db::schema::createDatabase(path);
    qInfo() << "database created in" << t.elapsed() << "ms";
    QCOMPARE(c->execute("select NOME, UNIDADE, CATEGORIA from PRODUTO where CD_PRODUTO = 1").value("UNIDADE").toString(),
             QStringLiteral("LT"));
    QCOMPARE(c->execute("select count(*) as N from CONTA where CD_CONTA in (1, 2, 4)").value("N").toInt(), 3);
    QCOMPARE(c->execute("select count(distinct LANCAMENTO) as N from FORMA_PAGAMENTO").value("N").toInt(), 9);
    QCOMPARE(c->execute("select CD_CONFIGURACAO from CONFIGURACAO").value("CD_CONFIGURACAO").toInt(), 1);
    QCOMPARE(c->execute("select MASTER from USUARIO where LOGIN = 'ADMIN'").value("MASTER").toString(), QStringLiteral("S"));
    const auto info = c->execute("select MON$SQL_DIALECT as D, MON$PAGE_SIZE as P from MON$DATABASE");
    QCOMPARE(info.value("D").toInt(), 3);
    QCOMPARE(info.value("P").toInt(), 8192);
    QCOMPARE(c->execute("select trim(RDB$CHARACTER_SET_NAME) as C from RDB$DATABASE").value("C").toString(),
             QStringLiteral("ISO8859_1"));
}

void TestDatabase::toolRefusesExistingFile()
{
    const QString tool = qEnvironmentVariable("CORVENA_BIN_DIR") + "/corvena-db";
    if (!QFile::exists(tool))
        QSKIP("corvena-db not built");
    const QString path = testsupport::scratchDir() + "/tool.fdb";
    QProcess p;
    p.start(tool, {"create", "--demo", path});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    const QByteArray antes = [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    p.start(tool, {"create", path});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 1);
    QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains("já existe"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll() == antes);
    f.close();
    auto c = db::Connection::open(path);
    QCOMPARE(c->execute("select count(*) as N from FORNECEDOR").value("N").toInt(), 4);
    p.start(tool, {"apaga", path});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 2); // usage
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "test_database.moc"
