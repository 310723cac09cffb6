// Times the building and the posting of a supplier payment sheet against
// the floor: one aggregate SELECT over the same deliveries grouped by
// supplier, measured in the same run on the same database.
//
//   bench_payment_sheet                  300 x 30 and 1000 x 90
//   bench_payment_sheet N D              N suppliers x D days of deliveries
//   bench_payment_sheet [N D] sem-sync   the database without forced writes
//
// Each supplier delivers every day (some days with acid milk too) and gets
// a voucher every tenth day; the sheet is dated the day before the last
// day, so the last day's milk stays out of it, as in real use. The
// database is a real one (forced writes, unless "sem-sync"), in a
// temporary folder.

#include "db/database.h"
#include "db/schema.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double milliseconds(const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    work();
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void fill(db::Connection &c, int suppliers, int days, const QDate &first)
{
    c.transaction([&](db::Transaction &tx) {
        tx.execute("UPDATE CONFIGURACAO SET PRECO_LEITE = 2.35, PRECOLEITEACIDO = 1.10");
        for (int s = 1; s <= suppliers; ++s)
            tx.execute("INSERT INTO FORNECEDOR (CD_FORNECEDOR, NOME, PRECO, TOTAL_DEBITO, ATIVO) "
                       "VALUES (:C, :N, :P, 0, 'S')",
                       {{"C", s},
                        {"N", QStringLiteral("PRODUTOR %1").arg(s, 4, 10, QLatin1Char('0'))},
                        {"P", db::Decimal(230 + s % 20, 2).toVariant()}});
    });
    for (int d = 0; d < days; ++d) {
        const db::Params p = {{"J", d}, {"DIA", first.addDays(d)}};
        c.transaction([&](db::Transaction &tx) {
            tx.execute("INSERT INTO ENTRADA_PRODUTO (CD_ENTRADA, CD_FORNECEDOR, CD_PRODUTO, QUANTLTBOM, QUANTLTACIDO, "
                       "DTENTRADA, PAGO) "
                       "SELECT 1, F.CD_FORNECEDOR, 1, 40 + MOD(F.CD_FORNECEDOR * 7 + CAST(:J AS INTEGER) * 13, 160) + 0.25, "
                       "IIF(MOD(F.CD_FORNECEDOR + CAST(:J AS INTEGER), 9) = 0, 12.5, 0), CAST(:DIA AS DATE), 'N' FROM FORNECEDOR F",
                       p);
            tx.execute("INSERT INTO ADIANTAMENTO (CD_ADIANTAMENTO, CD_FORNECEDOR, VALOR, DTVALE, DESCRICAO, ACAO, "
                       "LANCADO, IMPRESSO, PAGO) "
                       "SELECT 1, F.CD_FORNECEDOR, 50, CAST(:DIA AS DATE), 'VALE', 'S', 'S', 'N', 'N' FROM FORNECEDOR F "
                       "WHERE MOD(F.CD_FORNECEDOR + CAST(:J AS INTEGER), 10) = 0",
                       p);
        });
    }
    c.execute("UPDATE FORNECEDOR F SET TOTAL_DEBITO = (SELECT COALESCE(SUM(V.VALOR), 0) FROM ADIANTAMENTO V "
              "WHERE V.CD_FORNECEDOR = F.CD_FORNECEDOR)");
}

void run(int suppliers, int days, bool forcedWrites)
{
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.fdb"));
    auto c = db::schema::createDatabase(path, false, forcedWrites);
    const QDate first(2026, 1, 1);
    const QDate sheet = first.addDays(days - 2);
    fill(*c, suppliers, days, first);
    const db::Params date = {{"PDTPAGAMENTO", sheet}};

    const auto count = c->execute("SELECT COUNT(*) AS N FROM ENTRADA_PRODUTO");
    const auto vouchers = c->execute("SELECT COUNT(*) AS N FROM ADIANTAMENTO");
    out << QStringLiteral("%1 fornecedores x %2 dias: %3 entradas de leite, %4 vales (%5)\n")
               .arg(suppliers)
               .arg(days)
               .arg(count.value("N").toInt())
               .arg(vouchers.value("N").toInt())
               .arg(forcedWrites ? QStringLiteral("forced writes") : QStringLiteral("sem forced writes"));

    // the floor: what any build must read at least
    const QString floorSql = "SELECT CD_FORNECEDOR, SUM(QUANTLTBOM) AS BOM, SUM(QUANTLTACIDO) AS ACIDO "
                             "FROM ENTRADA_PRODUTO WHERE CD_PRODUTO = 1 AND PAGO = 'N' AND DTENTRADA <= :PDTPAGAMENTO "
                             "GROUP BY CD_FORNECEDOR";
    int groups = 0;
    std::vector<double> floors;
    for (int i = 0; i < 7; ++i)
        floors.push_back(milliseconds([&] { groups = c->execute(floorSql, date).rowCount(); }));
    const double floor = median(floors);

    // The window's actions, each timed as a whole transaction: creating
    // the sheet (first build at the general prices) and switching it to
    // the individual prices (a rebuild in place). Each is timed five times
    // from the same state, the old record versions of the previous round
    // swept away first, as in real use where a sheet is created once and
    // rebuilt a few times.
    auto sweep = [&] {
        c->transaction([&](db::Transaction &tx) {
            tx.execute("SELECT COUNT(*) AS N FROM PAGAMENTO_FORNECEDOR");
            tx.execute("SELECT COUNT(*) AS N FROM FOLHAPGTO");
        });
    };
    std::vector<double> firstBuilds, builds;
    for (int i = 0; i < 5; ++i) {
        c->transaction([&](db::Transaction &tx) {
            tx.execute("DELETE FROM FOLHAPGTO WHERE DATA = :PDTPAGAMENTO", date);
            tx.execute("DELETE FROM PAGAMENTO_FORNECEDOR WHERE DATAFOLHA = :PDTPAGAMENTO", date);
        });
        sweep();
        firstBuilds.push_back(milliseconds([&] {
            c->transaction([&](db::Transaction &tx) {
                tx.execute("INSERT INTO FOLHAPGTO (DATA, FOLHALANCADA, LANCAR, PRODUTOSPAGOS) "
                           "VALUES (:PDTPAGAMENTO, 'N', 'N', 'N')",
                           date);
                tx.execute("EXECUTE PROCEDURE MONTAPAGAMENTOFORNECEDORGERAL :PDTPAGAMENTO", date);
            });
        }));
        sweep();
        builds.push_back(milliseconds([&] {
            c->transaction([&](db::Transaction &tx) {
                tx.execute("DELETE FROM FOLHAPGTO WHERE DATA = :PDTPAGAMENTO", date);
                tx.execute("INSERT INTO FOLHAPGTO (DATA, FOLHALANCADA, LANCAR) VALUES (:PDTPAGAMENTO, 'N', 'S')", date);
                tx.execute("EXECUTE PROCEDURE MONTAPAGAMENTOFORNECEDOR :PDTPAGAMENTO", date);
            });
        }));
    }
    sweep();
    const double first_build = median(firstBuilds);
    const double build = median(builds);
    const int lines = c->execute("SELECT COUNT(*) AS N FROM PAGAMENTO_FORNECEDOR WHERE DATAFOLHA = :PDTPAGAMENTO", date)
                          .value("N")
                          .toInt();

    const double post = milliseconds([&] {
        c->transaction([&](db::Transaction &tx) {
            const auto f = tx.execute("SELECT TOTALDEBITO, TOTALCREDITO FROM FOLHAPGTO WHERE DATA = :PDTPAGAMENTO", date);
            const QString insert = "INSERT INTO MOVIMENTO (CD_CONTA,DESCRICAO,VALOR,DATA,DEBITO_CREDITO) ";
            tx.execute(insert + "VALUES (1,:PDESCRICAO,:PVALOR,:PDATA,'C')",
                       {{"PDESCRICAO", "RECEBIMENTO DE VALES "}, {"PVALOR", f.value("TOTALDEBITO")}, {"PDATA", sheet}});
            tx.execute(insert + "VALUES (1,:PDESCRICAO,:PVALOR,:PDATA,'D')",
                       {{"PDESCRICAO", "PAGAMENTO FORNECEDORES "}, {"PVALOR", f.value("TOTALCREDITO")}, {"PDATA", sheet}});
            tx.execute("EXECUTE PROCEDURE LANCAFOLHA :PDTPAGAMENTO", date);
        });
    });
    const int settled = c->execute("SELECT COUNT(*) AS N FROM ENTRADA_PRODUTO WHERE PAGO = 'S'").value("N").toInt();

    if (lines != groups || settled != suppliers * (days - 1))
        out << QStringLiteral("  ERRO: %1 linhas para %2 fornecedores, %3 entradas pagas\n").arg(lines).arg(groups).arg(settled);

    auto row = [&](const QString &what, double ms) {
        out << QStringLiteral("  %1 %2 ms   %3 x piso\n")
                   .arg(what, -44)
                   .arg(ms, 9, 'f', 1)
                   .arg(ms / floor, 5, 'f', 2);
    };
    row(QStringLiteral("piso: SELECT agregado por fornecedor"), floor);
    row(QStringLiteral("MONTAPAGAMENTOFORNECEDORGERAL (1a montagem)"), first_build);
    row(QStringLiteral("MONTAPAGAMENTOFORNECEDOR (remontagem)"), build);
    row(QStringLiteral("LANCAFOLHA (com os 2 lancamentos do caixa)"), post);
    out.flush();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    const bool forcedWrites = !args.removeAll(QStringLiteral("sem-sync"));
    try {
        if (args.size() >= 3) {
            run(args[1].toInt(), args[2].toInt(), forcedWrites);
        } else {
            run(300, 30, forcedWrites);
            run(1000, 90, forcedWrites);
        }
    } catch (const db::Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
