// The shared routines, case by case.

#include "app/rotinas.h"
#include "app/mensagens.h"
#include "db/dataset.h"
#include "support/gui.h"
#include "support/testdb.h"

#include <QtTest>

class TestRotinas : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formataNumero_data();
    void formataNumero();
    void valorDoTexto_data();
    void valorDoTexto();
    void esquerdaETemBranco();
    void validaCNPJ_data();
    void validaCNPJ();
    void aplicaAlteracoes();
};

void TestRotinas::formataNumero_data()
{
    QTest::addColumn<double>("valor");
    QTest::addColumn<int>("decimais");
    QTest::addColumn<QString>("texto");
    QTest::newRow("two decimals") << 1234.5 << 2 << "1234,50";
    QTest::newRow("small") << 7.0 << 2 << "7,00";
    QTest::newRow("no thousands") << 1234567.891 << 2 << "1234567,89";
    QTest::newRow("rounded half up") << 2.345 << 2 << "2,35";
    QTest::newRow("negative") << -0.5 << 1 << "-0,5";
    QTest::newRow("two wide") << 5.0 << 0 << " 5";
    QTest::newRow("three decimals") << 1.5 << 3 << "1,500";
}

void TestRotinas::formataNumero()
{
    QFETCH(double, valor);
    QFETCH(int, decimais);
    QFETCH(QString, texto);
    QCOMPARE(app::FormataNumero(valor, decimais), texto);
}

void TestRotinas::valorDoTexto_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<double>("valor");
    QTest::newRow("brazilian") << "1.234,56" << 1234.56;
    QTest::newRow("plain") << "1234.56" << 1234.56;
    QTest::newRow("currency") << "R$ 12,5" << 12.5;
    QTest::newRow("mixed refused") << "1,234.56" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters only") << "abc" << 0.0;
    QTest::newRow("negative") << "-7,25" << -7.25;
    QTest::newRow("millions") << "1.234.567,8" << 1234567.8;
}

void TestRotinas::valorDoTexto()
{
    QFETCH(QString, texto);
    QFETCH(double, valor);
    QCOMPARE(app::ValorDoTexto(texto), valor);
    QCOMPARE(app::DecimalDoTexto(texto, 2), db::Decimal::fromDouble(valor, 2));
}

void TestRotinas::esquerdaETemBranco()
{
    QCOMPARE(app::Esquerda("VALE DE ADIANTAMENTO", 4), QString("VALE"));
    QCOMPARE(app::Esquerda("ABC", 10), QString("ABC"));
    QVERIFY(app::TemBranco("1122233 000181", 14));
    QVERIFY(!app::TemBranco("11222333000181", 14));
    QVERIFY(!app::TemBranco("1122233300018 ", 13));
}

void TestRotinas::validaCNPJ_data()
{
    QTest::addColumn<QString>("cnpj");
    QTest::addColumn<bool>("valido");
    QTest::newRow("published 1") << "11222333000181" << true;
    QTest::newRow("published, zero check digit") << "33000167000101" << true;
    QTest::newRow("published 3") << "04252011000110" << true;
    QTest::newRow("published 4") << "11444777000161" << true;
    QTest::newRow("wrong first digit") << "11222333000191" << false;
    QTest::newRow("wrong second digit") << "11222333000182" << false;
    QTest::newRow("punctuation") << "11.222.333/0001-81" << false;
    QTest::newRow("short") << "1122233300018" << false;
    QTest::newRow("letter") << "1122233300018A" << false;
}

void TestRotinas::validaCNPJ()
{
    QFETCH(QString, cnpj);
    QFETCH(bool, valido);
    QCOMPARE(app::ValidaCNPJ(cnpj), valido);
}

void TestRotinas::aplicaAlteracoes()
{
    const QString caminho = testsupport::freshDatabasePath(true);
    auto c = db::Connection::open(caminho);
    db::Dataset ds(c.get(), "SELECT * FROM TIPOSAIDA ORDER BY CD_TIPOSAIDA");
    ds.open();
    {
        // nothing pending: nothing shown, success
        testsupport::Mensagens m;
        QVERIFY(app::AplicaAlteracoes(ds));
        QCOMPARE(m.quantas(), 0);
    }
    ds.edit();
    ds.setValue("NOME", "MUDADO");
    ds.post();
    ds.append();
    ds.setValue("CD_TIPOSAIDA", 4);
    ds.setValue("NOME", "NOVO");
    ds.post();
    auto outra = db::Connection::open(caminho);
    outra->execute("insert into TIPOSAIDA (CD_TIPOSAIDA, NOME) values (4, 'PRIMEIRO')");
    testsupport::Mensagens m;
    QVERIFY(!app::AplicaAlteracoes(ds));
    QCOMPARE(m.quantas(), 1);
    QCOMPARE(m.vistas()[0].icone, QMessageBox::Warning);
    QCOMPARE(m.ultimo(), app::textoRelacionamentos());
    QVERIFY(m.ultimo().startsWith("Não foi possível completar a operação!\nVocê está tentando remover ou alterar"));
    // both edits withdrawn, the first workstation's row kept
    QCOMPARE(ds.changeCount(), 0);
    QCOMPARE(ds.recordCount(), 3);
    ds.first();
    QCOMPARE(ds.text("NOME"), QString("DEPOSITADO"));
    QCOMPARE(c->execute("select NOME from TIPOSAIDA where CD_TIPOSAIDA = 4").value("NOME").toString(), QString("PRIMEIRO"));
    // the extra writes of the same action are undone with the refusal
    ds.edit();
    ds.setValue("NOME", "OUTRO");
    ds.post();
    QVERIFY(!app::AplicaAlteracoes(ds, [](db::Transaction &tx) {
        tx.execute("update PRODUTO set ESTOQUE_ATUAL = ESTOQUE_ATUAL + 5 where CD_PRODUTO = 1");
        tx.execute("insert into CONTA (CD_CONTA) values (1)");
    }));
    QCOMPARE(c->execute("select ESTOQUE_ATUAL from PRODUTO where CD_PRODUTO = 1").value("ESTOQUE_ATUAL").toDouble(), 0.0);
    QCOMPARE(c->execute("select NOME from TIPOSAIDA where CD_TIPOSAIDA = 1").value("NOME").toString(), QString("DEPOSITADO"));
}

QTEST_MAIN(TestRotinas)
#include "test_rotinas.moc"
