// A registry window over 10,000 rows: opening it (read, model filled, first
// row shown), locating by a typed prefix, and recording one change, each
// beside the bare SELECT of the same rows through the database layer.
//
//   bench_janela_cadastro [rows]

#include "app/camposdb.h"
#include "app/formcadastro.h"
#include "app/frmprincipal.h"
#include "db/dataset.h"
#include "support/gui.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QtTest>

#include <algorithm>
#include <cstdio>

namespace {

const QString kSelect = QStringLiteral("SELECT * FROM CLIENTE ORDER BY NOME");

// A customer registry reduced to what the measurements need.
class FrmClientes : public app::FormCadastro
{
public:
    FrmClientes()
    {
        tb = new db::Dataset(app::principal()->DB_Corvena, kSelect, this);
        tb->model()->setColumns({{"CD_CLIENTE", "CODIGO", 8}, {"NOME", "NOME", 40}, {"MUNICIPIO", "MUNICIPIO", 20},
                                 db::DatasetModel::Column::formatted("DEBITO", "DEBITO", "#,##0.00")});
        nome = new app::EditTexto(Painel_Dados);
        adicionaCampo("NOME", nome);
        app::liga(nome, tb, "NOME");
        opcoes.sqlMaximo = "select max(CD_cliente) as MAXCD from CLIENTE";
        opcoes.campoMaximo = "MAXCD";
        opcoes.campoChave = "CD_CLIENTE";
        opcoes.campoBusca = "NOME";
        obrigatorio(nome);
        primeiroCampo = nome;
        inicia(tb);
    }
    db::Dataset *tb;
    app::EditTexto *nome;
};

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double ms(const QElapsedTimer &t)
{
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int linhas = argc > 1 ? std::atoi(argv[1]) : 10000;

    testsupport::Ambiente amb(false);
    db::Connection &c = amb.conexao();
    c.transaction([&](db::Transaction &tx) {
        for (int i = 1; i <= linhas; ++i) {
            tx.execute("insert into CLIENTE (CD_CLIENTE, NOME, MUNICIPIO, UF, PRAZO, DEBITO) "
                       "values (:C, :N, 'REVUZOVOD', 'MG', 30, :D)",
                       {{"C", i}, {"N", QString("CLIENTE %1 DA SILVA").arg((i * 7919) % 100000, 5, 10, QChar('0'))},
                        {"D", db::Decimal(i * 13 % 100000, 2).toVariant()}});
        }
    });

    std::vector<double> select, abre, localiza, grava;
    for (int vez = 0; vez < 7; ++vez) {
        QElapsedTimer t;
        t.start();
        const db::Result r = c.execute(kSelect);
        select.push_back(ms(t));
        if (r.rowCount() != linhas)
            qFatal("expected %d rows", linhas);

        t.restart();
        auto *w = app::abreJanela<FrmClientes>();
        QApplication::processEvents();
        abre.push_back(ms(t));
        if (w->tb->recordCount() != linhas || w->Grid_Consulta->currentIndex().row() != 0)
            qFatal("the window did not show its rows");

        w->tb->first();
        t.restart();
        QTest::keyClicks(w->Edit_consulta, "CLIENTE 9");
        localiza.push_back(ms(t) / 9.0); // per keystroke
        if (!w->tb->text("NOME").startsWith("CLIENTE 9"))
            qFatal("locate failed");

        t.restart();
        testsupport::tecla(w, Qt::Key_F5);
        w->nome->setText(QString("CLIENTE ALTERADO %1").arg(vez));
        emit w->nome->textEdited(w->nome->text());
        testsupport::tecla(w, Qt::Key_F7);
        grava.push_back(ms(t));
        if (w->tb->isEditing())
            qFatal("the change was not recorded");
        w->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    const double sel = mediana(select), ab = mediana(abre), loc = mediana(localiza), gr = mediana(grava);
    std::printf("registry window over %d rows (median of 7 runs)\n", linhas);
    std::printf("  bare SELECT through the database layer: %8.2f ms\n", sel);
    std::printf("  open the window (read, model, first row): %6.2f ms  (%.2fx the SELECT; goal <= 2x, < 100 ms)\n",
                ab, ab / sel);
    std::printf("  locate by a typed prefix, per keystroke: %7.2f ms  (goal < 100 ms)\n", loc);
    std::printf("  record one change (F5, type, F7):        %7.2f ms  (goal < 100 ms)\n", gr);
    return 0;
}
