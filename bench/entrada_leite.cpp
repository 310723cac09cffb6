// Times the saving of one milk delivery in the milk intake window, as the
// typist does it all morning: the delivery and its stock correction in one
// transaction, the day's list read again and the totals recomputed, the
// next entry started.
//
//   bench_entrada_leite            300 suppliers x 365 days
//   bench_entrada_leite N D        N suppliers x D days of deliveries
//
// The database is a real one (forced writes) in a temporary folder; the
// window runs on the offscreen platform. Every supplier delivered good milk
// every day of the past D days (and acid milk now and then); the deliveries
// older than two weeks are settled. Then the deliveries of a new day are
// typed, one per supplier, each save timed from "Gravar" to the next entry.

#include "app/configuracao_ini.h"
#include "app/frmprincipal.h"
#include "app/janela.h"
#include "db/database.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "app/campos.h"
#include "app/camposdb.h"
#include "suppliers/frmentleite.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

namespace {

double percentil(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const auto i = static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

void preenche(db::Connection &c, int fornecedores, int dias, const QDate &primeiro)
{
    c.transaction([&](db::Transaction &tx) {
        for (int s = 1; s <= fornecedores; ++s)
            tx.execute("INSERT INTO FORNECEDOR (CD_FORNECEDOR, NOME, FAZENDA, PRECO, TOTAL_DEBITO, VALORVALE, ATIVO) "
                       "VALUES (:C, :N, :F, 2.40, 0, 0, 'S')",
                       {{"C", s},
                        {"N", QStringLiteral("PRODUTOR %1").arg(s, 4, 10, QLatin1Char('0'))},
                        {"F", QStringLiteral("FAZENDA %1").arg(s)}});
    });
    const QDate pago = primeiro.addDays(dias - 14);
    for (int d = 0; d < dias; ++d) {
        const QDate dia = primeiro.addDays(d);
        const db::Params p = {{"J", d}, {"DIA", dia}, {"PAGO", dia < pago ? "S" : "N"}};
        c.transaction([&](db::Transaction &tx) {
            tx.execute("INSERT INTO ENTRADA_PRODUTO (CD_ENTRADA, CD_FORNECEDOR, CD_PRODUTO, QUANTLTBOM, QUANTLTACIDO, "
                       "DTENTRADA, PAGO) "
                       "SELECT 1, F.CD_FORNECEDOR, 1, 40 + MOD(F.CD_FORNECEDOR * 7 + CAST(:J AS INTEGER) * 13, 160) "
                       "+ 0.25, 0, CAST(:DIA AS DATE), CAST(:PAGO AS CHAR(1)) FROM FORNECEDOR F",
                       p);
            tx.execute("INSERT INTO ENTRADA_PRODUTO (CD_ENTRADA, CD_FORNECEDOR, CD_PRODUTO, QUANTLTBOM, QUANTLTACIDO, "
                       "DTENTRADA, PAGO) "
                       "SELECT 1, F.CD_FORNECEDOR, 1, 0, 12.5, CAST(:DIA AS DATE), CAST(:PAGO AS CHAR(1)) "
                       "FROM FORNECEDOR F WHERE MOD(F.CD_FORNECEDOR + CAST(:J AS INTEGER), 9) = 0",
                       p);
            tx.execute("UPDATE PRODUTO SET ESTOQUE_ATUAL = ESTOQUE_ATUAL + 1 WHERE CD_PRODUTO = 1");
        });
    }
}

int executa(int fornecedores, int dias)
{
    QTextStream out(stdout);
    QTemporaryDir pasta;
    const QString banco = pasta.filePath(QStringLiteral("bench.fdb"));
    const QDate primeiro = QDate::currentDate().addDays(-dias);
    {
        auto c = db::schema::createDatabase(banco, false, true);
        preenche(*c, fornecedores, dias, primeiro);
    }
    const QString ini = pasta.filePath(QStringLiteral("Corvena.INI"));
    {
        QFile f(ini);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(("[DADOS]\nSERVIDOR=" + banco + "\n").toUtf8());
    }
    app::defineCaminhoIni(ini);

    int falhas = 0;
    {
        app::FrmPrincipal principal;
        principal.resize(1200, 800);
        principal.show();
        db::Connection &c = *principal.DB_Corvena;
        const int linhas = c.execute("SELECT COUNT(*) AS N FROM ENTRADA_PRODUTO").value("N").toInt();
        out << QStringLiteral("%1 fornecedores x %2 dias: %3 entradas de leite no banco (forced writes)\n")
                   .arg(fornecedores)
                   .arg(dias)
                   .arg(linhas);
        const db::Decimal estoqueAntes =
            db::Decimal::fromVariant(c.execute("SELECT ESTOQUE_ATUAL FROM PRODUTO WHERE CD_PRODUTO = 1").value("ESTOQUE_ATUAL"));

        auto *w = app::abreJanela<fornecedores::FrmEntLeite>();
        // the new day: today, empty when the window opens
        w->EntradaClick();
        std::vector<double> gravacoes;
        QElapsedTimer t;
        db::Decimal digitado(0, 2);
        for (int s = 1; s <= fornecedores; ++s) {
            const db::Decimal litros(4000 + (s * 37) % 9000, 2);
            digitado += litros;
            (s % 11 == 0 ? w->RB_Acido : w->RB_Bom)->setChecked(true);
            w->LKP_Fornecedor->setChave(s);
            w->Edit_Quantidade->setText(litros.toBrazilian());
            t.start();
            w->GravarClick();
            gravacoes.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
            if (w->modo() != fornecedores::FrmEntLeite::Modo::Inserindo || !w->Edit_Quantidade->text().isEmpty())
                ++falhas;
        }
        // the list alone, read again with the whole day in it
        std::vector<double> releituras;
        for (int i = 0; i < 20; ++i) {
            t.start();
            w->Q_Entradas->close();
            w->Q_Entradas->open();
            releituras.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        }

        const int doDia = c.execute("SELECT COUNT(*) AS N FROM ENTRADA_PRODUTO WHERE DTENTRADA = :D AND CD_PRODUTO = 1",
                                    {{"D", QDate::currentDate()}})
                              .value("N")
                              .toInt();
        const db::Decimal estoque =
            db::Decimal::fromVariant(c.execute("SELECT ESTOQUE_ATUAL FROM PRODUTO WHERE CD_PRODUTO = 1").value("ESTOQUE_ATUAL"));
        if (doDia != fornecedores || w->Q_Entradas->recordCount() != fornecedores || estoque != estoqueAntes + digitado)
            ++falhas;

        const double media = std::accumulate(gravacoes.begin(), gravacoes.end(), 0.0) / static_cast<double>(gravacoes.size());
        auto linha = [&](const QString &o_que, double ms) {
            out << QStringLiteral("  %1 %2 ms\n").arg(o_que, -52).arg(ms, 8, 'f', 2);
        };
        out << QStringLiteral("  gravar uma entrada (insert + estoque + releitura da lista + totais), %1 gravações:\n")
                   .arg(gravacoes.size());
        linha(QStringLiteral("mediana"), percentil(gravacoes, 0.5));
        linha(QStringLiteral("média"), media);
        linha(QStringLiteral("p95"), percentil(gravacoes, 0.95));
        linha(QStringLiteral("máximo"), *std::max_element(gravacoes.begin(), gravacoes.end()));
        linha(QStringLiteral("releitura da lista do dia sozinha (mediana)"), percentil(releituras, 0.5));
        const double p95 = percentil(gravacoes, 0.95);
        out << QStringLiteral("  limite 50 ms (p95): %1\n").arg(p95 < 50.0 ? QStringLiteral("OK") : QStringLiteral("EXCEDIDO"));
        if (falhas)
            out << QStringLiteral("  ERRO: %1 gravações não conferem com o banco\n").arg(falhas);
        out.flush();
        w->CancelarClick();
        w->close();
    }
    return falhas ? 1 : 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacao(argc, argv);
    const QStringList args = aplicacao.arguments();
    try {
        if (args.size() >= 3)
            return executa(args[1].toInt(), args[2].toInt());
        return executa(300, 365);
    } catch (const db::Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
}
