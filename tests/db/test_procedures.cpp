// The server's keys, stock rules, sale deletion, receipt reversal, cash
// days and cash book, against a fresh database.

#include "db/database.h"
#include "support/testdb.h"

#include <QSet>
#include <QtTest>

#include <thread>

using db::Decimal;

namespace {

Decimal dec(const QVariant &v)
{
    return Decimal::fromVariant(v, 2);
}

Decimal money(const char *text)
{
    return *Decimal::parse(QString::fromLatin1(text));
}

QString refusal(const std::function<void()> &action)
{
    try {
        action();
    } catch (const db::Error &e) {
        return e.exceptionText().isEmpty() ? QStringLiteral("ERRO: ") + e.message() : e.exceptionText();
    }
    return {};
}

} // namespace

class TestProcedures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void incrementaNeverRepeats_data();
    void incrementaNeverRepeats();
    void incrementaStepsOverKeysInUse();
    void insertedRowsGetNewKeys_data();
    void insertedRowsGetNewKeys();
    void productionAndReturnGenerators();
    void stockProcedures();
    void saleLinesMoveStock();
    void deletingASale();
    void saleTouchedByAReceiptStays();
    void receiptReversalRestoresEverything();
    void reversalRefusals();
    void oneOpenCashDay();
    void cashBookDays();
    void cashBookBackDatedAndAltered();
    void cashBookOfTwoWorkstations_data();
    void cashBookOfTwoWorkstations();
    void sumPerAccount();
};

void TestProcedures::incrementaNeverRepeats_data()
{
    QTest::addColumn<QString>("procedure");
    for (const char *p : {"INCREMENTA_PEDIDO", "INCREMENTA_PAGAMENTO", "INCREMENTA_ITENS_PAGAMENTO",
                          "INCREMENTA_SAIDA_PROD", "INCREMENTA_ITENS_PROD"})
        QTest::newRow(p) << QString::fromLatin1(p);
}

void TestProcedures::incrementaNeverRepeats()
{
    QFETCH(QString, procedure);
    auto c = testsupport::freshDatabase();
    QSet<int> seen;
    for (int i = 0; i < 5; ++i) {
        const int code = c->execute("EXECUTE PROCEDURE " + procedure).value("CODIGO").toInt();
        QVERIFY(code > 0);
        QVERIFY2(!seen.contains(code), qPrintable(QString::number(code)));
        seen.insert(code);
    }
    // a key drawn in a transaction that rolls back is not handed out again
    int lost = 0;
    try {
        c->transaction([&](db::Transaction &tx) {
            lost = tx.execute("EXECUTE PROCEDURE " + procedure).value("CODIGO").toInt();
            throw std::runtime_error("cancelled");
        });
    } catch (const std::runtime_error &) {
    }
    QVERIFY(lost > 0 && !seen.contains(lost));
    QVERIFY(c->execute("EXECUTE PROCEDURE " + procedure).value("CODIGO").toInt() != lost);
    // the mended ITENSPAGAMENTO key goes past what a SMALLINT holds
    if (procedure == "INCREMENTA_ITENS_PAGAMENTO") {
        c->executeImmediate("ALTER SEQUENCE GEN_ITENSPAGAMENTO RESTART WITH 40000");
        const int big = c->execute("EXECUTE PROCEDURE INCREMENTA_ITENS_PAGAMENTO").value("CODIGO").toInt();
        QCOMPARE(big, 40001);
        c->execute("INSERT INTO ITENSPAGAMENTO (CDITENS,CD_PAGAMENTO,CD_PEDIDO,VALOR) "
                   "VALUES(:PCDITENS,:PCDPAGAMENTO,:PCDPEDIDO,:PVALOR)",
                   {{"PCDITENS", big}, {"PCDPAGAMENTO", 1}, {"PCDPEDIDO", 1}, {"PVALOR", 10.0}});
        QCOMPARE(c->execute("SELECT CDITENS FROM ITENSPAGAMENTO").value("CDITENS").toInt(), 40001);
    }
}

void TestProcedures::incrementaStepsOverKeysInUse()
{
    auto c = testsupport::freshDatabase();
    for (int k = 1; k <= 3; ++k)
        c->execute("INSERT INTO PEDIDO (CD_PEDIDO, PAGO) VALUES (:K, 'S')", {{"K", k}});
    QCOMPARE(c->execute("EXECUTE PROCEDURE INCREMENTA_PEDIDO").value("CODIGO").toInt(), 4);
}

void TestProcedures::insertedRowsGetNewKeys_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("columns"); // a column besides the key
    QTest::newRow("MOVIMENTO") << "MOVIMENTO" << "CD_MOVIMENTO" << "DESCRICAO";
    QTest::newRow("ENTRADA_PRODUTO") << "ENTRADA_PRODUTO" << "CD_ENTRADA" << "PAGO";
    QTest::newRow("ENTRADA_CREME") << "ENTRADA_CREME" << "CD_ENTRADACREME" << "PESO";
    QTest::newRow("ADIANTAMENTO") << "ADIANTAMENTO" << "CD_ADIANTAMENTO" << "DESCRICAO";
    QTest::newRow("ITENS_PEDIDOS") << "ITENS_PEDIDOS" << "CD_ITENS_PEDIDOS" << "CD_PEDIDO";
    QTest::newRow("CHEQUE") << "CHEQUE" << "CD_CHEQUE" << "OBS";
}

void TestProcedures::insertedRowsGetNewKeys()
{
    QFETCH(QString, table);
    QFETCH(QString, key);
    QFETCH(QString, columns);
    auto c = testsupport::freshDatabase();
    const QString withKey = QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (:K, '1') RETURNING %2").arg(table, key, columns);
    QSet<int> keys;
    // twice the placeholder 1, once without the key ...
    keys << c->execute(withKey, {{"K", 1}}).value(key).toInt();
    keys << c->execute(withKey, {{"K", 1}}).value(key).toInt();
    keys << c->execute(QStringLiteral("INSERT INTO %1 (%3) VALUES ('1') RETURNING %2").arg(table, key, columns))
                .value(key)
                .toInt();
    // ... and a key a window computed as MAX+1, as the purchase window does
    const int maxPlusOne = c->execute(QStringLiteral("SELECT MAX(%1) AS M FROM %2").arg(key, table)).value("M").toInt() + 1;
    keys << c->execute(withKey, {{"K", maxPlusOne}}).value(key).toInt();
    QCOMPARE(keys.size(), 4);
    QCOMPARE(c->execute(QStringLiteral("SELECT COUNT(DISTINCT %1) AS N FROM %2").arg(key, table)).value("N").toInt(), 4);
}

void TestProcedures::productionAndReturnGenerators()
{
    auto c = testsupport::freshDatabase();
    for (const char *g : {"GEN_PRODUCAO", "GEN_DEVOLUCAO"}) {
        const QString sql = QStringLiteral("SELECT NEXT VALUE FOR %1 AS K FROM RDB$DATABASE").arg(g);
        const qint64 a = c->execute(sql).value("K").toLongLong();
        const qint64 b = c->execute(sql).value("K").toLongLong();
        QVERIFY(a > 0 && b > a);
    }
}

void TestProcedures::stockProcedures()
{
    auto c = testsupport::freshDatabase(true);
    auto stock = [&](int product) {
        return dec(c->execute("SELECT ESTOQUE_ATUAL FROM PRODUTO WHERE CD_PRODUTO = :P", {{"P", product}})
                       .value("ESTOQUE_ATUAL"));
    };
    const QString ins = "EXECUTE PROCEDURE ATUAL_PROD_FORN_INS_LEITE :PQUANTIDADE, :PCDPRODUTO";
    const QString del = "EXECUTE PROCEDURE ATUAL_PROD_FORN_DEL_LEITE :PQUANTIDADE, :PCDPRODUTO";
    c->execute(ins, {{"PQUANTIDADE", 1250.5}, {"PCDPRODUTO", 1}});
    c->execute(ins, {{"PQUANTIDADE", money("0.10").toVariant()}, {"pcdproduto", 1}});
    QCOMPARE(stock(1), money("1250.60"));
    c->execute(del, {{"PQUANTIDADE", 0.3}, {"PCDPRODUTO", 1}});
    QCOMPARE(stock(1), money("1250.30"));
    c->execute(ins, {{"PQUANTIDADE", 10}, {"PCDPRODUTO", 8}});
    QCOMPARE(stock(8), money("60.00"));
    QCOMPARE(refusal([&] { c->execute(ins, {{"PQUANTIDADE", 1}, {"PCDPRODUTO", 999}}); }),
             QStringLiteral("Produto não cadastrado: o estoque não foi alterado."));
}

void TestProcedures::saleLinesMoveStock()
{
    auto c = testsupport::freshDatabase(true); // product 4 holds 40, product 6 holds 18
    auto stock = [&](int product) {
        return dec(c->execute("SELECT ESTOQUE_ATUAL FROM PRODUTO WHERE CD_PRODUTO = :P", {{"P", product}})
                       .value("ESTOQUE_ATUAL"));
    };
    const QString line = "INSERT INTO ITENS_PEDIDOS (CD_ITENS_PEDIDOS, CD_PEDIDO, CD_PRODUTO, VALOR_UNITARIO, "
                         "QUANTIDADE, PESO) VALUES (1, 7, :P, :V, :Q, :W)";
    c->transaction([&](db::Transaction &tx) {
        tx.execute(line, {{"P", 4}, {"V", money("6.875").toVariant()}, {"Q", 3}, {"W", 0.6}});
        tx.execute(line, {{"P", 6}, {"V", 24.9}, {"Q", money("1.25").toVariant()}, {"W", 1.25}});
        tx.execute(line, {{"P", 4}, {"V", 6.9}, {"Q", 2}, {"W", 0.4}});
    });
    QCOMPARE(stock(4), money("35.00"));
    QCOMPARE(stock(6), money("16.75"));
    // three decimals of the price are kept
    QCOMPARE(dec(c->execute("SELECT MAX(VALOR_UNITARIO) AS V FROM ITENS_PEDIDOS WHERE CD_PRODUTO = 4").value("V")),
             money("6.900"));
    QCOMPARE(c->execute("SELECT MIN(VALOR_UNITARIO) AS V FROM ITENS_PEDIDOS").value("V").value<Decimal>().toString(),
             QStringLiteral("6.875"));
    // an altered line moves the difference, also to another product
    c->execute("UPDATE ITENS_PEDIDOS SET QUANTIDADE = 5 WHERE CD_PRODUTO = 6");
    QCOMPARE(stock(6), money("13.00"));
    c->execute("UPDATE ITENS_PEDIDOS SET CD_PRODUTO = 5 WHERE CD_PRODUTO = 6");
    QCOMPARE(stock(6), money("18.00"));
    QCOMPARE(stock(5), money("20.00"));
    // a deleted line gives its quantity back
    c->execute("DELETE FROM ITENS_PEDIDOS WHERE CD_PRODUTO = 5");
    QCOMPARE(stock(5), money("25.00"));
}

void TestProcedures::deletingASale()
{
    auto c = testsupport::freshDatabase(true);
    c->execute("INSERT INTO CAIXA (DATA, LANCADO) VALUES ('2026-05-05', 'N')");
    // a sale of 100.00 on account: lines, payment, own link, debit and cash day
    c->transaction([&](db::Transaction &tx) {
        tx.execute("INSERT INTO PAGAMENTO (CD_PAGAMENTO, DATA, CD_CLIENTE, CD_FORMAPAGAMENTO, VALORTOTAL, PEDIDO) "
                   "VALUES (11, '2026-05-05', 1, 3, 100, 'S')");
        tx.execute("INSERT INTO PEDIDO (CD_PEDIDO, DATA, CD_CLIENTE, CD_PAGAMENTO, VALOR_TOTAL, DESCONTO, FALTA, TIPO, PAGO) "
                   "VALUES (21, '2026-05-05', 1, 11, 100, 0, 100, 'NT', 'N')");
        tx.execute("INSERT INTO ITENS_PEDIDOS (CD_ITENS_PEDIDOS, CD_PEDIDO, CD_PRODUTO, VALOR_UNITARIO, QUANTIDADE, PESO) "
                   "VALUES (1, 21, 7, 32.5, 2, 2)");
        tx.execute("INSERT INTO ITENS_PEDIDOS (CD_ITENS_PEDIDOS, CD_PEDIDO, CD_PRODUTO, VALOR_UNITARIO, QUANTIDADE, PESO) "
                   "VALUES (1, 21, 10, 7, 5, 5)");
        tx.execute("INSERT INTO ITENSPAGAMENTO (CDITENS,CD_PAGAMENTO,CD_PEDIDO,VALOR) VALUES (31, 11, 21, 100)");
        tx.execute("update cliente set debito = debito + :pdebito where cd_cliente = :pcdcliente",
                   {{"pdebito", 100.0}, {"pcdcliente", 1}});
        tx.execute("UPDATE CAIXA SET VENDAAVISTA = VENDAAVISTA + :PVENDAAVISTA, VENDAAPRAZO = VENDAAPRAZO + "
                   ":PVENDAAPRAZO WHERE LANCADO = 'N'",
                   {{"PVENDAAVISTA", 0.0}, {"PVENDAAPRAZO", 100.0}});
    });
    QCOMPARE(dec(c->execute("SELECT ESTOQUE_ATUAL FROM PRODUTO WHERE CD_PRODUTO = 7").value("ESTOQUE_ATUAL")),
             money("28.00"));
    // deleting it as the sales list does
    c->transaction([&](db::Transaction &tx) {
        tx.execute("UPDATE CLIENTE SET DEBITO = DEBITO - :PDEBITO WHERE CD_CLIENTE =:PCDCLIENTE",
                   {{"PDEBITO", 100.0}, {"PCDCLIENTE", 1}});
        tx.execute("UPDATE CAIXA SET VENDAAVISTA = VENDAAVISTA - :PVENDAAVISTA, VENDAAPRAZO =VENDAAPRAZO - "
                   ":PVENDAAPRAZO WHERE DATA = :PDATA",
                   {{"PVENDAAVISTA", 0.0}, {"PVENDAAPRAZO", 100.0}, {"PDATA", QDate(2026, 5, 5)}});
        tx.execute("DELETE FROM PAGAMENTO WHERE CD_PAGAMENTO = :PCDPAGAMENTO", {{"PCDPAGAMENTO", 11}});
        tx.execute("DELETE FROM PEDIDO WHERE CD_PEDIDO = :PCDPEDIDO", {{"PCDPEDIDO", 21}});
    });
    QCOMPARE(c->execute("SELECT COUNT(*) AS N FROM ITENS_PEDIDOS").value("N").toInt(), 0);
    QCOMPARE(c->execute("SELECT COUNT(*) AS N FROM ITENSPAGAMENTO").value("N").toInt(), 0);
    QCOMPARE(dec(c->execute("SELECT ESTOQUE_ATUAL FROM PRODUTO WHERE CD_PRODUTO = 7").value("ESTOQUE_ATUAL")),
             money("30.00"));
    QCOMPARE(dec(c->execute("SELECT ESTOQUE_ATUAL FROM PRODUTO WHERE CD_PRODUTO = 10").value("ESTOQUE_ATUAL")),
             money("36.00"));
    QCOMPARE(dec(c->execute("SELECT DEBITO FROM CLIENTE WHERE CD_CLIENTE = 1").value("DEBITO")), money("0"));
    QCOMPARE(dec(c->execute("SELECT VENDAAPRAZO FROM CAIXA").value("VENDAAPRAZO")), money("0"));
}

void TestProcedures::saleTouchedByAReceiptStays()
{
    auto c = testsupport::freshDatabase(true);
    c->execute("INSERT INTO CAIXA (DATA, LANCADO) VALUES ('2026-05-05', 'N')");
    c->execute("UPDATE CLIENTE SET DEBITO = 50 WHERE CD_CLIENTE = 1");
    c->execute("INSERT INTO PEDIDO (CD_PEDIDO, DATA, CD_CLIENTE, CD_PAGAMENTO, VALOR_TOTAL, FALTA, TIPO, PAGO) "
               "VALUES (21, '2026-05-05', 1, 11, 100, 50, 'NT', 'N')");
    c->execute("INSERT INTO ITENS_PEDIDOS (CD_ITENS_PEDIDOS, CD_PEDIDO, CD_PRODUTO, QUANTIDADE) VALUES (1, 21, 7, 2)");
    c->execute("INSERT INTO ITENSPAGAMENTO (CDITENS,CD_PAGAMENTO,CD_PEDIDO,VALOR) VALUES (31, 11, 21, 100)");
    c->execute("INSERT INTO ITENSPAGAMENTO (CDITENS,CD_PAGAMENTO,CD_PEDIDO,VALOR) VALUES (32, 12, 21, 50)"); // a receipt
    const QString text = refusal([&] {
        c->transaction([&](db::Transaction &tx) {
            tx.execute("UPDATE CLIENTE SET DEBITO = DEBITO - :PDEBITO WHERE CD_CLIENTE =:PCDCLIENTE",
                       {{"PDEBITO", 50.0}, {"PCDCLIENTE", 1}});
            tx.execute("DELETE FROM PAGAMENTO WHERE CD_PAGAMENTO = :PCDPAGAMENTO", {{"PCDPAGAMENTO", 11}});
            tx.execute("DELETE FROM PEDIDO WHERE CD_PEDIDO = :PCDPEDIDO", {{"PCDPEDIDO", 21}});
        });
    });
    QVERIFY2(text.startsWith(QStringLiteral("Esta venda já tem recebimento lançado")), qPrintable(text));
    // nothing changed
    QCOMPARE(dec(c->execute("SELECT DEBITO FROM CLIENTE WHERE CD_CLIENTE = 1").value("DEBITO")), money("50"));
    QCOMPARE(c->execute("SELECT COUNT(*) AS N FROM ITENS_PEDIDOS").value("N").toInt(), 1);
    QCOMPARE(c->execute("SELECT COUNT(*) AS N FROM ITENSPAGAMENTO").value("N").toInt(), 2);
    QCOMPARE(dec(c->execute("SELECT ESTOQUE_ATUAL FROM PRODUTO WHERE CD_PRODUTO = 7").value("ESTOQUE_ATUAL")),
             money("28.00"));
    // once the receipt is gone the sale can go
    c->execute("DELETE FROM ITENSPAGAMENTO WHERE CDITENS = 32");
    c->execute("DELETE FROM PEDIDO WHERE CD_PEDIDO = 21");
    QCOMPARE(c->execute("SELECT COUNT(*) AS N FROM ITENSPAGAMENTO").value("N").toInt(), 0);
}

void TestProcedures::receiptReversalRestoresEverything()
{
    auto c = testsupport::freshDatabase(true);
    const QDate day(2026, 5, 10);
    c->execute("INSERT INTO CAIXA (DATA, LANCADO) VALUES (:D, 'N')", {{"D", day}});
    // customer 2 owes two notes, 30.00 (order 7) and 50.00 (order 9), and an
    // older note of 20.00 (order 5) that stays out of the receipt
    c->execute("UPDATE CLIENTE SET DEBITO = 100 WHERE CD_CLIENTE = 2");
    for (auto [order, falta] : {std::pair{5, 20}, std::pair{7, 30}, std::pair{9, 50}})
        c->execute("INSERT INTO PEDIDO (CD_PEDIDO, DATA, CD_CLIENTE, CD_PAGAMENTO, VALOR_TOTAL, FALTA, TIPO, PAGO) "
                   "VALUES (:P, '2026-05-01', 2, :P, :F, :F, 'NT', 'N')",
                   {{"P", order}, {"F", falta}});
    auto snapshot = [&] {
        QStringList s;
        const auto r = c->execute("SELECT CD_PEDIDO, FALTA, PAGO FROM PEDIDO WHERE CD_CLIENTE = 2 ORDER BY CD_PEDIDO");
        for (const auto &row : r.rows())
            s << QStringLiteral("%1:%2:%3").arg(row[0].toInt()).arg(dec(row[1]).toString(), row[2].toString());
        s << dec(c->execute("SELECT DEBITO FROM CLIENTE WHERE CD_CLIENTE = 2").value("DEBITO")).toString();
        s << dec(c->execute("SELECT RECEBIMENTO FROM CAIXA").value("RECEBIMENTO")).toString();
        s << c->execute("SELECT COUNT(*) AS N FROM PAGAMENTO WHERE CD_CLIENTE = 2").value("N").toString();
        s << c->execute("SELECT COUNT(*) AS N FROM ITENSPAGAMENTO WHERE CD_PEDIDO IN (5, 7, 9)").value("N").toString();
        return s.join(' ');
    };
    const QString before = snapshot();
    // a receipt of 70.00 with 10.00 discount settles orders 7 and 9 in full,
    // the way the receipts window stores it
    int receipt = 0;
    c->transaction([&](db::Transaction &tx) {
        receipt = tx.execute("EXECUTE PROCEDURE INCREMENTA_PAGAMENTO").value("CODIGO").toInt();
        tx.execute("INSERT INTO PAGAMENTO (CD_PAGAMENTO, CD_FORMAPAGAMENTO, CD_CLIENTE, DATA, PEDIDO, VALOR_DN, "
                   "DESCONTO, VALORTOTAL) VALUES (:C, 1, 2, :D, 'N', 70, 10, 70)",
                   {{"C", receipt}, {"D", day}});
        for (auto [order, valor] : {std::pair{7, 30}, std::pair{9, 50}}) {
            tx.execute("UPDATE PEDIDO SET FALTA = 0, PAGO = 'S' WHERE CD_PEDIDO = :P", {{"P", order}});
            const int item = tx.execute("EXECUTE PROCEDURE INCREMENTA_ITENS_PAGAMENTO").value("CODIGO").toInt();
            tx.execute("insert Into itensPagamento (CDITENS, CD_PAGAMENTO, CD_PEDIDO, VALOR ) VALUES (:pCD, :pCD_PAG, "
                       ":pCD_PED, :pVALOR)",
                       {{"pCD", item}, {"pCD_PAG", receipt}, {"pCD_PED", order}, {"pVALOR", valor}});
        }
        tx.execute("UPDATE CLIENTE SET DEBITO = DEBITO - :pTOTNOTA WHERE (CD_CLIENTE = :pCOCLI)",
                   {{"pTOTNOTA", 80.0}, {"pCOCLI", 2}});
        tx.execute("UPDATE CAIXA SET RECEBIMENTO = RECEBIMENTO + :V WHERE DATA = :D", {{"V", 80.0}, {"D", day}});
    });
    QCOMPARE(snapshot(), QStringLiteral("5:20.00:N 7:0.00:S 9:0.00:S 20.00 80.00 1 2"));
    // another customer's partial receipt of the same day
    c->execute("INSERT INTO PEDIDO (CD_PEDIDO, CD_CLIENTE, FALTA, PAGO) VALUES (40, 1, 60, 'N')");
    c->execute("INSERT INTO PAGAMENTO (CD_PAGAMENTO, CD_CLIENTE, DATA, PEDIDO, VALORTOTAL, DESCONTO) "
               "VALUES (900, 1, :D, 'N', 40, 0)",
               {{"D", day}});
    c->execute("INSERT INTO ITENSPAGAMENTO (CDITENS,CD_PAGAMENTO,CD_PEDIDO,VALOR) VALUES (900, 900, 40, 40)");

    c->execute("EXECUTE PROCEDURE EXTORNA_PAGAMENTO :PCDPGTO, :PTOTAL, :PCDCLI, :PDATA",
               {{"PCDPGTO", receipt}, {"PTOTAL", 70.0}, {"PCDCLI", 2}, {"PDATA", day}});
    QCOMPARE(snapshot(), before);
    QCOMPARE(before, QStringLiteral("5:20.00:N 7:30.00:N 9:50.00:N 100.00 0.00 0 0"));
    // the other receipt is untouched
    QCOMPARE(c->execute("SELECT COUNT(*) AS N FROM PAGAMENTO").value("N").toInt(), 1);
    QCOMPARE(c->execute("SELECT COUNT(*) AS N FROM ITENSPAGAMENTO").value("N").toInt(), 1);
    QCOMPARE(dec(c->execute("SELECT FALTA FROM PEDIDO WHERE CD_PEDIDO = 40").value("FALTA")), money("60"));
    // reversing it a second time changes nothing
    QVERIFY(!refusal([&] {
                 c->execute("EXECUTE PROCEDURE EXTORNA_PAGAMENTO :PCDPGTO, :PTOTAL, :PCDCLI, :PDATA",
                            {{"PCDPGTO", receipt}, {"PTOTAL", 70.0}, {"PCDCLI", 2}, {"PDATA", day}});
             }).isEmpty());
    QCOMPARE(snapshot(), before);
}

void TestProcedures::reversalRefusals()
{
    auto c = testsupport::freshDatabase(true);
    const QString call = "EXECUTE PROCEDURE EXTORNA_PAGAMENTO :PCDPGTO, :PTOTAL, :PCDCLI, :PDATA";
    const db::Params missing = {{"PCDPGTO", 77}, {"PTOTAL", 10.0}, {"PCDCLI", 1}, {"PDATA", QDate(2026, 5, 5)}};
    QCOMPARE(refusal([&] { c->execute(call, missing); }),
             QStringLiteral("Este recebimento não existe mais: já foi estornado ou apagado."));
    // the payment made together with a sale is undone by deleting the sale
    c->execute("INSERT INTO PAGAMENTO (CD_PAGAMENTO, CD_CLIENTE, DATA, PEDIDO, VALORTOTAL) VALUES (5, 1, '2026-05-05', 'S', 10)");
    c->execute("INSERT INTO ITENSPAGAMENTO (CDITENS,CD_PAGAMENTO,CD_PEDIDO,VALOR) VALUES (1, 5, 3, 10)");
    QVERIFY(refusal([&] {
                c->execute(call, {{"PCDPGTO", 5}, {"PTOTAL", 10.0}, {"PCDCLI", 1}, {"PDATA", QDate(2026, 5, 5)}});
            }).startsWith(QStringLiteral("Este pagamento foi feito junto com uma venda")));
    QCOMPARE(c->execute("SELECT COUNT(*) AS N FROM PAGAMENTO").value("N").toInt(), 1);
    QCOMPARE(c->execute("SELECT COUNT(*) AS N FROM ITENSPAGAMENTO").value("N").toInt(), 1);
}

void TestProcedures::oneOpenCashDay()
{
    auto c = testsupport::freshDatabase();
    const QString open = "INSERT INTO CAIXA (DATA, VENDAAVISTA, RECEBIMENTO, VENDAAPRAZO, LANCADO) VALUES (:D, 0, 0, 0, 'N')";
    c->execute(open, {{"D", QDate(2026, 3, 10)}});
    for (const QDate &d : {QDate(2026, 3, 11), QDate(2026, 3, 10)}) {
        try {
            c->execute(open, {{"D", d}});
            QFAIL("a second cash day was opened");
        } catch (const db::Error &e) {
            QVERIFY2(e.isDuplicateKey(), qPrintable(e.message()));
        }
    }
    // closed days do not count; after closing, the next day opens
    c->execute("INSERT INTO CAIXA (DATA, LANCADO) VALUES ('2026-03-01', 'S')");
    c->execute("INSERT INTO CAIXA (DATA, LANCADO) VALUES ('2026-03-02', 'S')");
    c->execute("UPDATE CAIXA SET LANCADO = 'S' WHERE DATA = '2026-03-10'");
    c->execute(open, {{"D", QDate(2026, 3, 11)}});
    // and a closed day cannot be reopened next to the open one
    QVERIFY_THROWS_EXCEPTION(db::Error, c->execute("UPDATE CAIXA SET LANCADO = 'N' WHERE DATA = '2026-03-10'"));
    // two workstations opening at the same moment: exactly one wins
    const QString path = testsupport::freshDatabasePath();
    auto a = db::Connection::open(path);
    auto b = db::Connection::open(path);
    db::Transaction ta(*a);
    ta.execute(open, {{"D", QDate(2026, 4, 1)}});
    std::thread committer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ta.commit();
    });
    QString second;
    try {
        b->execute(open, {{"D", QDate(2026, 4, 2)}});
    } catch (const db::Error &e) {
        second = e.isDuplicateKey() ? "refused" : e.message();
    }
    committer.join();
    QCOMPARE(second, QStringLiteral("refused"));
    QCOMPARE(a->execute("SELECT COUNT(*) AS N FROM CAIXA WHERE LANCADO = 'N'").value("N").toInt(), 1);
}

namespace {

QString days(db::Connection &c)
{
    QStringList s;
    const auto r = c.execute("SELECT DTSALDO, TOTCREDITO, TOTDEBITO, SALDOATUAL FROM SALDOCAIXA ORDER BY DTSALDO");
    for (const auto &row : r.rows())
        s << QStringLiteral("%1 %2 %3 %4")
                 .arg(row[0].toDate().toString("dd/MM"), dec(row[1]).toString(), dec(row[2]).toString(),
                      dec(row[3]).toString());
    return s.join(" | ");
}

void entry(db::Connection &c, const char *date, const char *value, const char *kind, int account = 3)
{
    c.execute("INSERT INTO MOVIMENTO (CD_MOVIMENTO, CD_CONTA, DESCRICAO, VALOR, DATA, DEBITO_CREDITO) "
              "VALUES (1, :C, 'X', :V, :D, :K)",
              {{"C", account}, {"V", money(value).toVariant()}, {"D", QDate::fromString(date, Qt::ISODate)}, {"K", kind}});
}

} // namespace

void TestProcedures::cashBookDays()
{
    auto c = testsupport::freshDatabase(true);
    entry(*c, "2026-06-01", "100.00", "C");
    entry(*c, "2026-06-01", "30.50", "D");
    // the automatic postings insert without the key
    c->execute("INSERT INTO MOVIMENTO (CD_CONTA,DESCRICAO,VALOR,DATA,DEBITO_CREDITO) VALUES (1,:PDESCRICAO,:PVALOR,:PDATA,'D')",
               {{"PDESCRICAO", "PAGAMENTO FORNECEDORES "}, {"PVALOR", 9.5}, {"PDATA", QDate(2026, 6, 3)}});
    entry(*c, "2026-06-03", "0.00", "C", 2); // a closed cash day without sales still makes its day
    entry(*c, "2026-06-04", "20.00", "C");
    QCOMPARE(days(*c), QStringLiteral("01/06 100.00 30.50 69.50 | 03/06 0.00 9.50 60.00 | 04/06 20.00 0.00 80.00"));
    // deleting the last entries of a day keeps the day with zero totals
    c->execute("DELETE FROM MOVIMENTO WHERE DATA = '2026-06-03'");
    QCOMPARE(days(*c), QStringLiteral("01/06 100.00 30.50 69.50 | 03/06 0.00 0.00 69.50 | 04/06 20.00 0.00 89.50"));
    // what the daily report reads for the previous day
    QCOMPARE(c->execute("select MAX(DTSALDO) AS DTSALDO from SALDOCAIXA where DTSALDO < :Pdatasaldo",
                        {{"Pdatasaldo", QDate(2026, 6, 4)}})
                 .value("DTSALDO")
                 .toDate(),
             QDate(2026, 6, 3));
    QVERIFY(c->execute("select MAX(DTSALDO) AS DTSALDO from SALDOCAIXA where DTSALDO < :Pdatasaldo",
                       {{"Pdatasaldo", QDate(2026, 6, 1)}})
                .value("DTSALDO")
                .isNull());
}

void TestProcedures::cashBookBackDatedAndAltered()
{
    auto c = testsupport::freshDatabase(true);
    entry(*c, "2026-06-10", "50.00", "C");
    entry(*c, "2026-06-12", "10.00", "D");
    QCOMPARE(days(*c), QStringLiteral("10/06 50.00 0.00 50.00 | 12/06 0.00 10.00 40.00"));
    // a back-dated entry on an existing day and on a new earlier day
    entry(*c, "2026-06-10", "5.00", "D");
    entry(*c, "2026-06-05", "1000.00", "C");
    entry(*c, "2026-06-11", "0.25", "C");
    QCOMPARE(days(*c), QStringLiteral("05/06 1000.00 0.00 1000.00 | 10/06 50.00 5.00 1045.00 | "
                                      "11/06 0.25 0.00 1045.25 | 12/06 0.00 10.00 1035.25"));
    // altering an entry: its value, its kind, its date; and a change of text only
    c->execute("UPDATE MOVIMENTO SET VALOR = 900 WHERE DATA = '2026-06-05'");
    c->execute("UPDATE MOVIMENTO SET DEBITO_CREDITO = 'C' WHERE DATA = '2026-06-12'");
    c->execute("UPDATE MOVIMENTO SET DATA = '2026-06-13' WHERE DATA = '2026-06-11'");
    c->execute("UPDATE MOVIMENTO SET DESCRICAO = 'OUTRA' WHERE DATA = '2026-06-10'");
    QCOMPARE(days(*c), QStringLiteral("05/06 900.00 0.00 900.00 | 10/06 50.00 5.00 945.00 | "
                                      "11/06 0.00 0.00 945.00 | 12/06 10.00 0.00 955.00 | 13/06 0.25 0.00 955.25"));
    // every day's balance is the previous one plus its credits minus its debits
    const auto r = c->execute("SELECT TOTCREDITO, TOTDEBITO, SALDOATUAL FROM SALDOCAIXA ORDER BY DTSALDO");
    Decimal previous(0, 2);
    for (const auto &row : r.rows()) {
        QCOMPARE(dec(row[2]), previous + dec(row[0]) - dec(row[1]));
        previous = dec(row[2]);
    }
    const auto sums = c->execute("SELECT SUM(IIF(DEBITO_CREDITO = 'C', VALOR, -VALOR)) AS S FROM MOVIMENTO");
    QCOMPARE(previous, dec(sums.value("S")));
}

void TestProcedures::cashBookOfTwoWorkstations_data()
{
    QTest::addColumn<QString>("earlier"); // days already in the book, "" for none
    QTest::addColumn<QString>("held");    // the entry one workstation holds uncommitted
    QTest::addColumn<QString>("other");   // the entry the other one stores meanwhile
    QTest::newRow("same first day") << "" << "2026-07-10" << "2026-07-10";
    QTest::newRow("same new day") << "2026-07-01" << "2026-07-10" << "2026-07-10";
    QTest::newRow("back-dated new day") << "2026-07-01" << "2026-07-10" << "2026-07-05";
    QTest::newRow("later new day") << "2026-07-01" << "2026-07-05" << "2026-07-10";
    QTest::newRow("back-dated existing day") << "2026-07-01,2026-07-05" << "2026-07-10" << "2026-07-01";
    QTest::newRow("existing day, later new day") << "2026-07-01,2026-07-05" << "2026-07-01" << "2026-07-10";
}

void TestProcedures::cashBookOfTwoWorkstations()
{
    QFETCH(QString, earlier);
    QFETCH(QString, held);
    QFETCH(QString, other);
    const QString path = testsupport::freshDatabasePath();
    auto a = db::Connection::open(path);
    auto b = db::Connection::open(path);
    for (const QString &d : earlier.split(',', Qt::SkipEmptyParts))
        entry(*a, d.toLatin1().constData(), "100.00", "C");
    const QString insert = "INSERT INTO MOVIMENTO (CD_CONTA,DESCRICAO,VALOR,DATA,DEBITO_CREDITO) VALUES (3,'X',:V,:D,'C')";
    db::Transaction ta(*a);
    ta.execute(insert, {{"V", 10}, {"D", QDate::fromString(held, Qt::ISODate)}});
    std::thread committer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ta.commit();
    });
    b->execute(insert, {{"V", 1}, {"D", QDate::fromString(other, Qt::ISODate)}});
    committer.join();
    // every day's totals are the sums of its entries, every balance the
    // running sum up to its day
    const auto r = a->execute("SELECT S.DTSALDO, S.TOTCREDITO, S.SALDOATUAL, "
                              "(SELECT SUM(VALOR) FROM MOVIMENTO M WHERE M.DATA = S.DTSALDO) AS DIA, "
                              "(SELECT SUM(VALOR) FROM MOVIMENTO M WHERE M.DATA <= S.DTSALDO) AS ATE "
                              "FROM SALDOCAIXA S ORDER BY S.DTSALDO");
    QVERIFY(r.rowCount() > 0);
    for (const auto &row : r.rows()) {
        QCOMPARE(dec(row[1]), dec(row[3]));
        QCOMPARE(dec(row[2]), dec(row[4]));
    }
    QCOMPARE(dec(r.rows().last()[2]), dec(a->execute("SELECT SUM(VALOR) AS S FROM MOVIMENTO").value("S")));
}

void TestProcedures::sumPerAccount()
{
    auto c = testsupport::freshDatabase(true);
    entry(*c, "2026-04-30", "500.00", "D", 3); // before the period
    entry(*c, "2026-05-01", "120.00", "D", 3);
    entry(*c, "2026-05-31", "30.00", "D", 3);
    entry(*c, "2026-05-15", "50.00", "C", 3);
    entry(*c, "2026-05-20", "80.00", "D", 5);
    entry(*c, "2026-05-20", "80.00", "C", 2);
    entry(*c, "2026-06-01", "999.00", "D", 5); // after it
    c->execute("UPDATE CONTA SET SALDO = 123 WHERE CD_CONTA = 6");
    c->execute("EXECUTE PROCEDURE SOMA_CONTA :PDTINICIAL, :PDTFINAL",
               {{"PDTINICIAL", QDate(2026, 5, 1)}, {"PDTFINAL", QDate(2026, 5, 31)}});
    QStringList got;
    const auto r = c->execute("SELECT CD_CONTA, SALDO FROM CONTA ORDER BY CD_CONTA");
    for (const auto &row : r.rows())
        got << QStringLiteral("%1=%2").arg(row[0].toInt()).arg(dec(row[1]).toString());
    QCOMPARE(got.join(' '), QStringLiteral("1=0.00 2=-80.00 3=100.00 4=0.00 5=80.00 6=0.00"));
    // what the general expense report lists
    QCOMPARE(c->execute("SELECT COUNT(*) AS N FROM CONTA where SAIREL = 'S' AND SALDO <> 0 AND SALDO IS NOT NULL")
                 .value("N")
                 .toInt(),
             3);
    // a period that ends before it starts finds nothing
    c->execute("EXECUTE PROCEDURE SOMA_CONTA :PDTINICIAL, :PDTFINAL",
               {{"PDTINICIAL", QDate(2026, 5, 31)}, {"PDTFINAL", QDate(2026, 5, 1)}});
    QCOMPARE(c->execute("SELECT COUNT(*) AS N FROM CONTA WHERE SALDO <> 0").value("N").toInt(), 0);
}

QTEST_GUILESS_MAIN(TestProcedures)
#include "test_procedures.moc"
