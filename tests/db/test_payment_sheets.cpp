// Supplier payment sheets on the server: building the lines, rebuilding,
// posting the milk and the products, and what the database refuses.

#include "db/database.h"
#include "support/testdb.h"

#include <QtTest>

using db::Decimal;

namespace {

const QDate kSheet(2026, 3, 15);

Decimal dec(const QVariant &v)
{
    return Decimal::fromVariant(v, 2);
}

QString money(const QVariant &v)
{
    return Decimal::fromVariant(v, 2).toString();
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

// A dairy with six suppliers around the sheet of 15 March:
//  1 ANA      price 2.40: milk on 1 and 15 March and on 16 March (after the
//             sheet); vouchers of 10 March (30.00) and 16 March (20.00)
//  2 BETO     price 2.35, inactive: milk of last December never paid
//  3 CARLA    price 2.50: only a voucher of 5 March (15.00)
//  4 DIAS     milk only after the sheet date
//  5 EMBALAG  no milk: purchases of 12 March (40.00) and 20 March
//  6 FABIO    milk already paid by an earlier sheet
class Dairy
{
public:
    Dairy() : c(testsupport::freshDatabase())
    {
        c->execute("UPDATE CONFIGURACAO SET PRECO_LEITE = 2.35, PRECOLEITEACIDO = 1.10");
        c->execute("INSERT INTO PRODUTO (CD_PRODUTO, NOME, UNIDADE, PESO, ESTOQUE_ATUAL) VALUES (2, 'SAL', 'KG', 1, 0)");
        const char *names[] = {"ANA", "BETO", "CARLA", "DIAS", "EMBALAG", "FABIO"};
        const double prices[] = {2.40, 2.35, 2.50, 2.20, 0, 2.30};
        for (int i = 0; i < 6; ++i)
            c->execute("INSERT INTO FORNECEDOR (CD_FORNECEDOR, NOME, PRECO, TOTAL_DEBITO, ATIVO) "
                       "VALUES (:C, :N, :P, 0, :A)",
                       {{"C", i + 1}, {"N", names[i]}, {"P", prices[i]}, {"A", i == 1 ? "N" : "S"}});
        milk(1, "2026-03-01", 100.25, 10);
        milk(1, "2026-03-15", 50.5, 0);
        milk(1, "2026-03-16", 70, 0);
        milk(2, "2025-12-20", 40, 5);
        milk(4, "2026-03-20", 33, 0);
        c->execute("INSERT INTO ENTRADA_PRODUTO (CD_ENTRADA,CD_FORNECEDOR,CD_PRODUTO,QUANTLTBOM,QUANTLTACIDO,DTENTRADA,"
                   "PAGO,CD_PAG_FORNECEDOR) VALUES (1, 6, 1, 80, 0, '2026-02-28', 'S', 999)");
        purchase(5, "2026-03-12", 40);
        purchase(5, "2026-03-20", 12);
        voucher(1, "2026-03-10", 30, "N"); // unticked in an earlier sheet
        voucher(1, "2026-03-16", 20);
        voucher(3, "2026-03-05", 15);
    }

    void milk(int supplier, const char *date, double good, double acid)
    {
        c->execute("INSERT INTO ENTRADA_PRODUTO (CD_ENTRADA,CD_FORNECEDOR,CD_PRODUTO,QUANTLTBOM,QUANTLTACIDO,DTENTRADA,PAGO) "
                   "VALUES (1,:PCDFORNECEDOR,:PCDPRODUTO,:PQUANTLTBOM,:PQUANTLTACIDO,:PDTENTRADA,'N')",
                   {{"PCDFORNECEDOR", supplier}, {"PCDPRODUTO", 1}, {"PQUANTLTBOM", good}, {"PQUANTLTACIDO", acid},
                    {"PDTENTRADA", QDate::fromString(date, Qt::ISODate)}});
    }

    void purchase(int supplier, const char *date, double total)
    {
        c->execute("INSERT INTO ENTRADA_PRODUTO (CD_ENTRADA, CD_FORNECEDOR, CD_PRODUTO, DTENTRADA, QUANT, TOTALKG, VLRUNIT, "
                   "VLRTOTAL, PAGO) VALUES (77, :F, 2, :D, 1, 1, :V, :V, 'N')",
                   {{"F", supplier}, {"D", QDate::fromString(date, Qt::ISODate)}, {"V", total}});
    }

    void voucher(int supplier, const char *date, double value, const char *ticked = "S")
    {
        c->transaction([&](db::Transaction &tx) {
            tx.execute("insert into adiantamento (Cd_fornecedor,Valor,Dtvale,Descricao,ACAO,LANCADO,IMPRESSO,PAGO) values "
                       "(:pcdFornecedor,:pvalor,:pdata,:pdescricao,'S','S','N','N')",
                       {{"pcdFornecedor", supplier}, {"pvalor", value}, {"pdata", QDate::fromString(date, Qt::ISODate)},
                        {"pdescricao", "VALE"}});
            tx.execute("UPDATE ADIANTAMENTO SET ACAO = :A WHERE CD_FORNECEDOR = :F AND DTVALE = :D",
                       {{"A", ticked}, {"F", supplier}, {"D", QDate::fromString(date, Qt::ISODate)}});
            tx.execute("UPDATE FORNECEDOR SET TOTAL_DEBITO = TOTAL_DEBITO + :V WHERE CD_FORNECEDOR = :F",
                       {{"V", value}, {"F", supplier}});
        });
    }

    // What the sheet selector does to create a sheet.
    void createSheet(const QDate &date = kSheet)
    {
        c->execute("INSERT INTO FOLHAPGTO (DATA, FOLHALANCADA, LANCAR, PRODUTOSPAGOS) VALUES (:D, 'N', 'N', 'N')",
                   {{"D", date}});
        c->execute("EXECUTE PROCEDURE MONTAPAGAMENTOFORNECEDORGERAL :PDTPAGAMENTO", {{"PDTPAGAMENTO", date}});
    }

    // What "Preço Individual" / "Preço Geral" do.
    void switchPrices(bool individual, const QDate &date = kSheet)
    {
        c->transaction([&](db::Transaction &tx) {
            tx.execute("DELETE FROM FOLHAPGTO WHERE DATA = :D", {{"D", date}});
            tx.execute("INSERT INTO FOLHAPGTO (DATA, FOLHALANCADA, LANCAR) VALUES (:D, 'N', :L)",
                       {{"D", date}, {"L", individual ? "S" : "N"}});
            tx.execute(individual ? "EXECUTE PROCEDURE MONTAPAGAMENTOFORNECEDOR :PDTPAGAMENTO"
                                  : "EXECUTE PROCEDURE MONTAPAGAMENTOFORNECEDORGERAL :PDTPAGAMENTO",
                       {{"PDTPAGAMENTO", date}});
        });
    }

    // What "PAGAR" of the milk sheet does: the two cash rows and the posting.
    void post(const QDate &date = kSheet)
    {
        c->transaction([&](db::Transaction &tx) {
            const auto f = tx.execute("SELECT TOTALDEBITO, TOTALCREDITO FROM FOLHAPGTO WHERE DATA = :D", {{"D", date}});
            const QString insert = "INSERT INTO MOVIMENTO (CD_CONTA,DESCRICAO,VALOR,DATA,DEBITO_CREDITO) ";
            tx.execute(insert + "VALUES (1,:PDESCRICAO,:PVALOR,:PDATA,'C')",
                       {{"PDESCRICAO", "RECEBIMENTO DE VALES "}, {"PVALOR", f.value("TOTALDEBITO")}, {"PDATA", date}});
            tx.execute(insert + "VALUES (1,:PDESCRICAO,:PVALOR,:PDATA,'D')",
                       {{"PDESCRICAO", "PAGAMENTO FORNECEDORES "}, {"PVALOR", f.value("TOTALCREDITO")}, {"PDATA", date}});
            tx.execute("EXECUTE PROCEDURE LANCAFOLHA :PDTPAGAMENTO", {{"PDTPAGAMENTO", date}});
        });
    }

    void postProducts(const QDate &date = kSheet)
    {
        c->execute("EXECUTE PROCEDURE LANCAFOLHAPRODUTOS :PDTPAGAMENTO", {{"PDTPAGAMENTO", date}});
    }

    // The lines of a sheet, one text per line in name order.
    QStringList lines(const QDate &date = kSheet)
    {
        QStringList out;
        const auto r = c->execute("SELECT * FROM PAGAMENTO_FORNECEDOR WHERE DATAFOLHA = :PDTPAGAMENTO ORDER BY NOME",
                                  {{"PDTPAGAMENTO", date}});
        for (int i = 0; i < r.rowCount(); ++i) {
            out << QStringLiteral("%1 %2+%3 @%4/%5 C%6 H%7 L%8 A%9 | P%10 H%11 L%12")
                       .arg(r.value(i, "NOME").toString(), money(r.value(i, "QUANTLTBOM")),
                            money(r.value(i, "QUANTLTACIDO")), money(r.value(i, "PRECOLTBOM")),
                            money(r.value(i, "PRECOLTACIDO")), money(r.value(i, "TOTALCREDITO")),
                            money(r.value(i, "TOTALHAVER")), money(r.value(i, "LIQUIDO")),
                            money(r.value(i, "ADESCONTAR")))
                       .arg(money(r.value(i, "TOTALOUTROS")), money(r.value(i, "HAVERPRODUTOS")),
                            money(r.value(i, "LIQUIDOPRODUTOS")));
        }
        return out;
    }

    QString sheet(const QDate &date = kSheet)
    {
        const auto r = c->execute("SELECT * FROM FOLHAPGTO WHERE DATA = :D", {{"D", date}});
        return QStringList{money(r.value("TOTALCREDITO")), money(r.value("TOTALDEBITO")), money(r.value("TOTALPAGO")),
                           money(r.value("TOTALOUTROS")), money(r.value("HAVERPRODUTOS")),
                           money(r.value("LIQUIDOPRODUTOS")), r.value("FOLHALANCADA").toString(),
                           r.value("PRODUTOSPAGOS").toString(), r.value("LANCAR").toString()}
            .join(' ');
    }

    int lineKey(int supplier, const QDate &date = kSheet)
    {
        return c->execute("SELECT CD_PAG_FORNECEDOR FROM PAGAMENTO_FORNECEDOR WHERE DATAFOLHA = :D AND CD_FORNECEDOR = :F",
                          {{"D", date}, {"F", supplier}})
            .value("CD_PAG_FORNECEDOR")
            .toInt();
    }

    // PAGO and the settling line of every intake, by supplier and date.
    QStringList intakes()
    {
        QStringList out;
        const auto r = c->execute("SELECT CD_FORNECEDOR, DTENTRADA, CD_PRODUTO, PAGO, CD_PAG_FORNECEDOR FROM ENTRADA_PRODUTO "
                                  "ORDER BY CD_FORNECEDOR, DTENTRADA, CD_PRODUTO");
        for (const auto &row : r.rows())
            out << QStringLiteral("%1 %2%3 %4%5")
                       .arg(row[0].toInt())
                       .arg(row[1].toDate().toString("dd/MM"), row[2].toInt() == 1 ? "" : " P", row[3].toString(),
                            row[4].isNull() ? QString() : QStringLiteral("=%1").arg(row[4].toInt()));
        return out;
    }

    QStringList vouchers()
    {
        QStringList out;
        const auto r = c->execute("SELECT CD_FORNECEDOR, DTVALE, ACAO, PAGO, CD_PAG_FORNECEDOR FROM ADIANTAMENTO "
                                  "ORDER BY CD_FORNECEDOR, DTVALE");
        for (const auto &row : r.rows())
            out << QStringLiteral("%1 %2 %3%4%5")
                       .arg(row[0].toInt())
                       .arg(row[1].toDate().toString("dd/MM"), row[2].toString(), row[3].toString(),
                            row[4].isNull() ? QString() : QStringLiteral("=%1").arg(row[4].toInt()));
        return out;
    }

    QString debits()
    {
        QStringList out;
        const auto r = c->execute("SELECT TOTAL_DEBITO FROM FORNECEDOR ORDER BY CD_FORNECEDOR");
        for (const auto &row : r.rows())
            out << money(row[0]);
        return out.join(' ');
    }

    std::unique_ptr<db::Connection> c;
};

} // namespace

class TestPaymentSheets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buildAtGeneralPrices();
    void rebuildInPlace();
    void postMilk();
    void postedSheetIsFinal();
    void oneSheetBeingBuilt();
    void postingRefusals_data();
    void postingRefusals();
    void postProducts();
    void vouchersAreDeductedOnce_data();
    void vouchersAreDeductedOnce();
};

void TestPaymentSheets::buildAtGeneralPrices()
{
    Dairy d;
    d.createSheet();
    // milk up to the date at 2.35 / 1.10, however old; the vouchers up to
    // the date, ticked by the first build; nothing of DIAS (after the date)
    // nor of FABIO (already paid)
    QCOMPARE(d.lines(), QStringList({
                            "ANA 150.75+10.00 @2.35/1.10 C365.26 H30.00 L335.26 A0.00 | P0.00 H0.00 L0.00",
                            "BETO 40.00+5.00 @2.35/1.10 C99.50 H0.00 L99.50 A0.00 | P0.00 H0.00 L0.00",
                            "CARLA 0.00+0.00 @2.35/1.10 C0.00 H15.00 L-15.00 A15.00 | P0.00 H0.00 L0.00",
                            "EMBALAG 0.00+0.00 @2.35/1.10 C0.00 H0.00 L0.00 A0.00 | P40.00 H0.00 L40.00",
                        }));
    QCOMPARE(d.sheet(), QStringLiteral("464.76 45.00 419.76 40.00 0.00 40.00 N N N"));
    QCOMPARE(d.vouchers(), QStringList({"1 10/03 SN", "1 16/03 SN", "3 05/03 SN"}));
    // what the milk sheet window sums
    const auto t = d.c->execute("SELECT SUM(QUANTLTBOM) AS TOTALLTBOM, SUM(QUANTLTACIDO) AS TOTALTACIDO, "
                                "SUM(LIQUIDO) AS TOTALLIQUIDO FROM PAGAMENTO_FORNECEDOR WHERE DATAFOLHA = :PDATA",
                                {{"PDATA", kSheet}});
    QCOMPARE(t.value("TOTALLTBOM").toDouble(), 190.75);
    QCOMPARE(t.value("TOTALTACIDO").toDouble(), 15.0);
    QCOMPARE(t.value("TOTALLIQUIDO").toDouble(), 419.76);
}

void TestPaymentSheets::rebuildInPlace()
{
    Dairy d;
    d.createSheet();
    const int ana = d.lineKey(1), carla = d.lineKey(3);
    // the user corrects ANA's price and unticks CARLA's voucher
    d.c->execute("UPDATE PAGAMENTO_FORNECEDOR SET PRECOLTBOM = 3, TOTALCREDITO = 463.25, LIQUIDO = 433.25 "
                 "WHERE CD_PAG_FORNECEDOR = :K",
                 {{"K", ana}});
    d.c->execute("UPDATE ADIANTAMENTO SET ACAO = 'N' WHERE CD_FORNECEDOR = 3");
    // BETO's old delivery is deleted
    d.c->execute("DELETE FROM ENTRADA_PRODUTO WHERE CD_FORNECEDOR = 2");
    d.switchPrices(true);
    // same keys, own prices, correction gone, the mark kept, BETO gone
    QCOMPARE(d.lineKey(1), ana);
    QCOMPARE(d.lineKey(3), carla);
    QCOMPARE(d.lines(), QStringList({
                            "ANA 150.75+10.00 @2.40/1.10 C372.80 H30.00 L342.80 A0.00 | P0.00 H0.00 L0.00",
                            "CARLA 0.00+0.00 @2.50/1.10 C0.00 H0.00 L0.00 A0.00 | P0.00 H0.00 L0.00",
                            "EMBALAG 0.00+0.00 @0.00/1.10 C0.00 H0.00 L0.00 A0.00 | P40.00 H0.00 L40.00",
                        }));
    QCOMPARE(d.sheet(), QStringLiteral("372.80 30.00 342.80 40.00 0.00 40.00 N N S"));
    QCOMPARE(d.vouchers(), QStringList({"1 10/03 SN", "1 16/03 SN", "3 05/03 NN"}));
    // and back to the general prices
    d.switchPrices(false);
    QCOMPARE(d.lines().first(), QStringLiteral("ANA 150.75+10.00 @2.35/1.10 C365.26 H30.00 L335.26 A0.00 | P0.00 H0.00 L0.00"));
    QCOMPARE(d.sheet().right(1), QStringLiteral("N"));
}

void TestPaymentSheets::postMilk()
{
    Dairy d;
    d.createSheet();
    d.switchPrices(true);
    d.c->execute("UPDATE ADIANTAMENTO SET ACAO = 'N' WHERE CD_FORNECEDOR = 3"); // as "Desmarcar Este"
    d.c->execute("UPDATE PAGAMENTO_FORNECEDOR SET TOTALHAVER = 0, LIQUIDO = 0 WHERE CD_FORNECEDOR = 3");
    d.c->execute("UPDATE FOLHAPGTO SET TOTALDEBITO = 30, TOTALPAGO = 442.30");
    QCOMPARE(d.debits(), QStringLiteral("50.00 0.00 15.00 0.00 0.00 0.00"));
    d.post();
    const QString ana = QString::number(d.lineKey(1)), beto = QString::number(d.lineKey(2));
    QCOMPARE(d.intakes(), QStringList({"1 01/03 S=" + ana, "1 15/03 S=" + ana, "1 16/03 N", "2 20/12 S=" + beto,
                                       "4 20/03 N", "5 12/03 P N", "5 20/03 P N", "6 28/02 S=999"}));
    QCOMPARE(d.vouchers(), QStringList({"1 10/03 SS=" + ana, "1 16/03 SN", "3 05/03 NN"}));
    // the settled vouchers leave the supplier's debit
    QCOMPARE(d.debits(), QStringLiteral("20.00 0.00 15.00 0.00 0.00 0.00"));
    QCOMPARE(d.sheet(), QStringLiteral("472.30 30.00 442.30 40.00 0.00 40.00 S N S"));
    // the cash book got both rows of the posting
    const auto day = d.c->execute("SELECT TOTCREDITO, TOTDEBITO, SALDOATUAL FROM SALDOCAIXA WHERE DTSALDO = :D",
                                  {{"D", kSheet}});
    QCOMPARE(money(day.value("TOTCREDITO")) + " " + money(day.value("TOTDEBITO")) + " " + money(day.value("SALDOATUAL")),
             QStringLiteral("30.00 472.30 -442.30"));
    // what the posted sheet window reads
    QCOMPARE(d.c->execute(" SELECT * FROM ENTRADA_PRODUTO WHERE CD_PAG_FORNECEDOR = :PCDPAGFORNECEDOR  AND CD_PRODUTO = 1 "
                          "ORDER BY DTENTRADA",
                          {{"PCDPAGFORNECEDOR", d.lineKey(1)}})
                 .rowCount(),
             2);

    // the next sheet takes what was left: ANA's milk and voucher of the 16th,
    // CARLA's unticked voucher (ticked again by the first build), DIAS
    const QDate next(2026, 3, 31);
    d.createSheet(next);
    QCOMPARE(d.lines(next), QStringList({
                                "ANA 70.00+0.00 @2.35/1.10 C164.50 H20.00 L144.50 A0.00 | P0.00 H0.00 L0.00",
                                "CARLA 0.00+0.00 @2.35/1.10 C0.00 H15.00 L-15.00 A15.00 | P0.00 H0.00 L0.00",
                                "DIAS 33.00+0.00 @2.35/1.10 C77.55 H0.00 L77.55 A0.00 | P0.00 H0.00 L0.00",
                                "EMBALAG 0.00+0.00 @2.35/1.10 C0.00 H0.00 L0.00 A0.00 | P52.00 H0.00 L52.00",
                            }));
}

void TestPaymentSheets::postedSheetIsFinal()
{
    Dairy d;
    d.createSheet();
    d.switchPrices(true);
    d.post();
    const QStringList before = d.lines();
    QCOMPARE(refusal([&] { d.post(); }), QStringLiteral("Esta folha Já Foi Lançada"));
    QCOMPARE(refusal([&] {
                 d.c->execute("EXECUTE PROCEDURE MONTAPAGAMENTOFORNECEDOR :PDTPAGAMENTO", {{"PDTPAGAMENTO", kSheet}});
             }),
             QStringLiteral("Esta Folha Já Foi Lançada, não pode ser mais modificada!!"));
    QCOMPARE(refusal([&] { d.switchPrices(false); }), QStringLiteral("Esta folha já foi lançada e não pode ser apagada."));
    // a window writing back an old copy of the row does not unpost it
    d.c->execute("UPDATE FOLHAPGTO SET FOLHALANCADA = 'N', TOTALPAGO = 1 WHERE DATA = :D", {{"D", kSheet}});
    QCOMPARE(d.c->execute("SELECT FOLHALANCADA FROM FOLHAPGTO").value("FOLHALANCADA").toString(), QStringLiteral("S"));
    QCOMPARE(d.lines(), before);
    // the cash book holds only the first posting
    QCOMPARE(d.c->execute("SELECT COUNT(*) AS N FROM MOVIMENTO").value("N").toInt(), 2);
}

void TestPaymentSheets::oneSheetBeingBuilt()
{
    Dairy d;
    d.createSheet();
    const QString insert = "INSERT INTO FOLHAPGTO (DATA, FOLHALANCADA, LANCAR, PRODUTOSPAGOS) VALUES (:D, 'N', 'N', 'N')";
    for (const QDate &date : {QDate(2026, 3, 31), kSheet}) {
        try {
            d.c->execute(insert, {{"D", date}});
            QFAIL("a second sheet was created");
        } catch (const db::Error &e) {
            QVERIFY2(e.isDuplicateKey(), qPrintable(e.message()));
        }
    }
    // no sheet, no lines
    QCOMPARE(refusal([&] {
                 d.c->execute("EXECUTE PROCEDURE MONTAPAGAMENTOFORNECEDOR :PDTPAGAMENTO",
                              {{"PDTPAGAMENTO", QDate(2026, 3, 31)}});
             }),
             QStringLiteral("Não existe folha de pagamento nesta data."));
    // once posted, the next sheet may be created
    d.switchPrices(true);
    d.post();
    d.c->execute(insert, {{"D", QDate(2026, 3, 31)}});
    // a sheet being built may be deleted; its lines are taken up again by a
    // sheet of the same date
    QCOMPARE(d.lineKey(1, QDate(2026, 3, 31)), 0);
    d.c->execute("EXECUTE PROCEDURE MONTAPAGAMENTOFORNECEDORGERAL :PDTPAGAMENTO", {{"PDTPAGAMENTO", QDate(2026, 3, 31)}});
    const int key = d.lineKey(1, QDate(2026, 3, 31));
    QVERIFY(key > 0);
    d.c->execute("DELETE FROM FOLHAPGTO WHERE DATA = '2026-03-31'");
    d.createSheet(QDate(2026, 3, 31));
    QCOMPARE(d.lineKey(1, QDate(2026, 3, 31)), key);
    QCOMPARE(d.lines(QDate(2026, 3, 31)).size(), 3); // ANA, DIAS, EMBALAG
}

void TestPaymentSheets::postingRefusals_data()
{
    QTest::addColumn<QString>("change"); // made after the individual build
    QTest::addColumn<QString>("message");
    const QString stale = "Entradas de leite ou vales desta folha mudaram depois que ela foi montada. Monte a folha de "
                          "novo (Preço Individual) antes de lançar.";
    QTest::newRow("general prices") << "GERAL" << "Só é possivel Lançar Folha Com Preço Individual, mude para o preço individual";
    QTest::newRow("late delivery") << "INSERT INTO ENTRADA_PRODUTO (CD_ENTRADA, CD_FORNECEDOR, CD_PRODUTO, QUANTLTBOM, "
                                      "QUANTLTACIDO, DTENTRADA, PAGO) VALUES (1, 2, 1, 10, 0, '2026-03-14', 'N')"
                                   << stale;
    QTest::newRow("delivery altered") << "UPDATE ENTRADA_PRODUTO SET QUANTLTACIDO = 11 WHERE CD_FORNECEDOR = 1 AND "
                                         "DTENTRADA = '2026-03-01'"
                                      << stale;
    QTest::newRow("deliveries deleted") << "DELETE FROM ENTRADA_PRODUTO WHERE CD_FORNECEDOR = 2" << stale;
    QTest::newRow("voucher issued") << "INSERT INTO ADIANTAMENTO (CD_FORNECEDOR, VALOR, DTVALE, ACAO, PAGO) "
                                       "VALUES (2, 5, '2026-03-15', 'S', 'N')"
                                    << stale;
    QTest::newRow("voucher reversed") << "DELETE FROM ADIANTAMENTO WHERE CD_FORNECEDOR = 1 AND DTVALE = '2026-03-10'"
                                      << stale;
    QTest::newRow("voucher ticked without haver") << "UPDATE ADIANTAMENTO SET ACAO = 'S' WHERE CD_FORNECEDOR = 3"
                                                  << stale;
}

void TestPaymentSheets::postingRefusals()
{
    QFETCH(QString, change);
    QFETCH(QString, message);
    Dairy d;
    d.c->execute("INSERT INTO FOLHAPGTO (DATA, FOLHALANCADA, LANCAR, PRODUTOSPAGOS) VALUES (:D, 'N', 'S', 'N')",
                 {{"D", kSheet}});
    d.c->execute("EXECUTE PROCEDURE MONTAPAGAMENTOFORNECEDOR :PDTPAGAMENTO", {{"PDTPAGAMENTO", kSheet}});
    // CARLA's voucher unticked as the sheet window does it
    d.c->execute("UPDATE ADIANTAMENTO SET ACAO = 'N' WHERE CD_FORNECEDOR = 3");
    d.c->execute("UPDATE PAGAMENTO_FORNECEDOR SET TOTALHAVER = 0, LIQUIDO = 0 WHERE CD_FORNECEDOR = 3");
    if (change == "GERAL")
        d.switchPrices(false);
    else
        d.c->execute(change);
    const QStringList intakes = d.intakes(), vouchers = d.vouchers();
    const QString debits = d.debits(), sheet = d.sheet();
    QCOMPARE(refusal([&] { d.post(); }), message);
    // nothing was written, the cash rows included
    QCOMPARE(d.intakes(), intakes);
    QCOMPARE(d.vouchers(), vouchers);
    QCOMPARE(d.debits(), debits);
    QCOMPARE(d.sheet(), sheet);
    QCOMPARE(d.c->execute("SELECT COUNT(*) AS N FROM MOVIMENTO").value("N").toInt(), 0);
    // rebuilding with the individual prices makes it postable
    d.switchPrices(true);
    d.post();
    QCOMPARE(d.sheet().section(' ', 6, 6), QStringLiteral("S"));
}

void TestPaymentSheets::postProducts()
{
    Dairy d;
    d.createSheet();
    QCOMPARE(d.c->execute("SELECT * FROM PAGAMENTO_FORNECEDOR WHERE DATAFOLHA = :PDTPAGAMENTO AND TOTALOUTROS > 0 "
                          "ORDER BY NOME",
                          {{"PDTPAGAMENTO", kSheet}})
                 .rowCount(),
             1);
    d.postProducts();
    const QString embalag = QString::number(d.lineKey(5));
    QVERIFY(d.intakes().contains("5 12/03 P S=" + embalag));
    QVERIFY(d.intakes().contains("5 20/03 P N"));
    QVERIFY(d.intakes().contains("1 01/03 N")); // the milk side stays open
    QCOMPARE(d.sheet(), QStringLiteral("464.76 45.00 419.76 40.00 0.00 40.00 N S N"));
    QCOMPARE(refusal([&] { d.postProducts(); }), QStringLiteral("Esta folha Já Foi Lançada"));
    // a purchase dated in the period but stored after the posting is left
    // for the next sheet
    d.purchase(5, "2026-03-14", 7);
    // switching the price mode re-creates the row without PRODUTOSPAGOS:
    // the products stay paid, the rebuild touches only the milk columns
    d.switchPrices(true);
    QCOMPARE(d.sheet(), QStringLiteral("472.30 45.00 427.30 40.00 0.00 40.00 N S S"));
    QCOMPARE(d.lines().last(), QStringLiteral("EMBALAG 0.00+0.00 @2.35/1.10 C0.00 H0.00 L0.00 A0.00 | P40.00 H0.00 L40.00"));
    QCOMPARE(QString::number(d.lineKey(5)), embalag);
    d.post();
    QVERIFY(d.intakes().contains("5 14/03 P N"));
    // the next sheet pays the late purchase with the one of the 20th
    d.createSheet(QDate(2026, 3, 31));
    QCOMPARE(d.lines(QDate(2026, 3, 31)).last(),
             QStringLiteral("EMBALAG 0.00+0.00 @2.35/1.10 C0.00 H0.00 L0.00 A0.00 | P19.00 H0.00 L19.00"));
}

void TestPaymentSheets::vouchersAreDeductedOnce_data()
{
    QTest::addColumn<bool>("productsFirst");
    QTest::newRow("products first") << true;
    QTest::newRow("milk first") << false;
}

void TestPaymentSheets::vouchersAreDeductedOnce()
{
    QFETCH(bool, productsFirst);
    Dairy d;
    // EMBALAG also delivers milk and has a voucher of 25.00
    d.milk(5, "2026-03-02", 10, 0);
    d.voucher(5, "2026-03-03", 25);
    d.c->execute("INSERT INTO FOLHAPGTO (DATA, FOLHALANCADA, LANCAR, PRODUTOSPAGOS) VALUES (:D, 'N', 'S', 'N')",
                 {{"D", kSheet}});
    d.c->execute("EXECUTE PROCEDURE MONTAPAGAMENTOFORNECEDOR :PDTPAGAMENTO", {{"PDTPAGAMENTO", kSheet}});
    QCOMPARE(d.lines().last(), QStringLiteral("EMBALAG 10.00+0.00 @0.00/1.10 C0.00 H25.00 L-25.00 A25.00 | P40.00 H0.00 L40.00"));
    // the products window ticks all of the line's vouchers for its haver
    d.c->execute("UPDATE PAGAMENTO_FORNECEDOR SET HAVERPRODUTOS = 25, LIQUIDOPRODUTOS = 15 WHERE CD_FORNECEDOR = 5");
    const QString key = QString::number(d.lineKey(5));
    if (productsFirst) {
        d.postProducts();
        QCOMPARE(d.lines().last(), QStringLiteral("EMBALAG 10.00+0.00 @0.00/1.10 C0.00 H0.00 L0.00 A0.00 | P40.00 H25.00 L15.00"));
        QCOMPARE(d.sheet(), QStringLiteral("472.30 45.00 427.30 40.00 25.00 15.00 N S S"));
        d.post();
    } else {
        d.post();
        QCOMPARE(d.lines().last(), QStringLiteral("EMBALAG 10.00+0.00 @0.00/1.10 C0.00 H25.00 L-25.00 A25.00 | P40.00 H0.00 L40.00"));
        QCOMPARE(d.sheet().section(' ', 3, 5), QStringLiteral("40.00 0.00 40.00"));
        d.postProducts();
    }
    QVERIFY(d.vouchers().contains("5 03/03 SS=" + key));
    // 25.00 left the debit once; ANA's 16 March voucher and the others stay
    QCOMPARE(d.debits(), QStringLiteral("20.00 0.00 0.00 0.00 0.00 0.00"));
    // in total the supplier had the voucher deducted once
    const auto line = d.c->execute("SELECT LIQUIDO, LIQUIDOPRODUTOS FROM PAGAMENTO_FORNECEDOR WHERE CD_FORNECEDOR = 5");
    QCOMPARE(dec(line.value("LIQUIDO")) + dec(line.value("LIQUIDOPRODUTOS")), Decimal(1500, 2));
}

QTEST_GUILESS_MAIN(TestPaymentSheets)
#include "test_payment_sheets.moc"
