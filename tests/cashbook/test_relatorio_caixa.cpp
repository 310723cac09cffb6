// The daily report of the general cash book, printed from the cash book
// window: its text dump (previous balance, the day's totals, one line per
// entry), the PDF with the company's name, the messages when there is
// nothing to print, and a long day over several pages.

#include "support/pdf.h"
#include "app/campos.h"
#include "app/frmprincipal.h"
#include "cashbook/frmcadcaixageral.h"
#include "cashbook/frmchamacaixageral.h"
#include "cashbook/impcaixadiario.h"
#include "db/dataset.h"
#include "reports/document.h"
#include "reports/pagereport.h"
#include "reports/previewdialog.h"
#include "support/gui.h"
#include "support/testdb.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

using caixa::FrmCadCaixaGeral;
using caixa::FrmChamacaixaGeral;
using testsupport::Ambiente;
using testsupport::Mensagens;

namespace {

const QString kEmpresa = QStringLiteral("LATICINIOS ZUZORO DA REVUZOVOD LTDA");

QDate diasAtras(int n)
{
    return QDate::currentDate().addDays(-n);
}

void lanca(db::Connection &c, const QDate &dia, const QString &dc, const QString &valor, const QString &descricao)
{
    c.execute(QStringLiteral("INSERT INTO MOVIMENTO (CD_MOVIMENTO,CD_CONTA,DESCRICAO,VALOR,DATA,DEBITO_CREDITO) "
                             "VALUES (1, 3, :D, :V, :DT, :DC)"),
              {{QStringLiteral("D"), descricao},
               {QStringLiteral("V"), db::Decimal::parse(valor)->toVariant()},
               {QStringLiteral("DT"), dia},
               {QStringLiteral("DC"), dc}});
}

FrmCadCaixaGeral *abreDia(Ambiente &amb, const QDate &dia)
{
    amb.menu(QStringLiteral("Movimento_Caixa"));
    auto *chama = app::janela<FrmChamacaixaGeral>();
    chama->EDIT_DATA->setData(dia);
    chama->bt_criar->click();
    return app::janela<FrmCadCaixaGeral>();
}

// "Imprimir" and what its preview holds: the text dump and, when a path
// is given, the PDF saved from the preview's own button action.
QString imprime(FrmCadCaixaGeral *w, const QString &pdf = {})
{
    QString dump;
    testsupport::quandoAbrir<reports::PreviewDialog>([&](reports::PreviewDialog *d) {
        dump = d->document().dump();
        if (!pdf.isEmpty())
            d->saveAsPdf(pdf);
        d->reject();
    });
    w->Imprimir->click();
    return dump;
}

} // namespace

class TestRelatorioCaixa : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dailyReportDumpAndPdf();
    void dayWithoutPredecessor();
    void nothingToPrint();
    void longDayBreaksPages();
};

void TestRelatorioCaixa::dailyReportDumpAndPdf()
{
    Ambiente amb;
    const QDate dia = diasAtras(1);
    lanca(amb.conexao(), diasAtras(6), "C", "1000", "SALDO INICIAL");
    lanca(amb.conexao(), dia, "C", "150", "VENDA DE QUEIJO");
    lanca(amb.conexao(), dia, "D", "40", "CONTA DE LUZ");
    lanca(amb.conexao(), dia, "C", "10.5", "TROCO");
    lanca(amb.conexao(), QDate::currentDate(), "D", "99", "DIA SEGUINTE");
    auto *w = abreDia(amb, dia);
    QVERIFY(w);
    const QString pdf = testsupport::scratchDir() + QStringLiteral("/caixa_diario.pdf");
    QFile::remove(pdf);
    const QString dump = imprime(w, pdf);
    QStringList linhas = dump.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(linhas.size(), 1 + 3 + 3 + 4);
    QCOMPARE(linhas[0], QString("=== página 1 ==="));
    QCOMPARE(linhas[1], "cabeçalho: " + kEmpresa);
    QVERIFY2(QRegularExpression("^título: Horário \\| \\d\\d:\\d\\d:\\d\\d \\| RELATÓRIO DIARIO DO CAIXA \\| "
                                "Data de Impressão \\| \\d\\d/\\d\\d/\\d{4}$")
                 .match(linhas[2])
                 .hasMatch(),
             qPrintable(linhas[2]));
    QCOMPARE(linhas[3], QString("colunas: DATA | HISTÓRICO | VALOR | SITUAÇÃO"));
    // one line per entry of the day, in the order the database gives them
    const QString d = dia.toString("dd/MM/yyyy");
    QStringList detalhes = linhas.mid(4, 3);
    detalhes.sort();
    QCOMPARE(detalhes, QStringList({"detalhe: " + d + " | CONTA DE LUZ | 40,00 | D",
                                    "detalhe: " + d + " | TROCO | 10,50 | C",
                                    "detalhe: " + d + " | VENDA DE QUEIJO | 150,00 | C"}));
    QCOMPARE(linhas.mid(7), QStringList({"resumo: SALDO ANTERIOR | R$ 1.000,00", "resumo: TOTAL RECEBIMENTOS | R$ 160,50",
                                         "resumo: TOTAL PAGAMENTOS | R$ 40,00", "resumo: SALDO ATUAL | R$ 1.120,50"}));

    // the same report as PDF
    const QString texto = testsupport::textoDoPdf(pdf);
    QVERIFY2(texto.contains(kEmpresa), qPrintable(texto));
    QVERIFY(texto.contains(QStringLiteral("RELATÓRIO DIARIO DO CAIXA")));
    QVERIFY(texto.contains(QStringLiteral("VENDA DE QUEIJO")));
    QVERIFY(texto.contains(QStringLiteral("SALDO ATUAL")));
    QVERIFY(texto.contains(QStringLiteral("R$ 1.120,50")));
    QCOMPARE(texto.count(u'\f'), 1);
}

void TestRelatorioCaixa::dayWithoutPredecessor()
{
    Ambiente amb;
    lanca(amb.conexao(), diasAtras(2), "D", "12.3", "PRIMEIRO DIA");
    auto *w = abreDia(amb, diasAtras(2));
    const QStringList linhas = imprime(w).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(linhas.mid(linhas.size() - 4),
             QStringList({"resumo: SALDO ANTERIOR | R$ ", "resumo: TOTAL RECEBIMENTOS | R$ 0,00",
                          "resumo: TOTAL PAGAMENTOS | R$ 12,30", "resumo: SALDO ATUAL | R$ -12,30"}));
    QCOMPARE(caixa::emReais(QVariant()), QString("R$ "));
}

void TestRelatorioCaixa::nothingToPrint()
{
    Ambiente amb;
    auto *w = abreDia(amb, diasAtras(1));
    {
        Mensagens msg;
        w->Imprimir->click(); // no day at all in the recent days
        QCOMPARE(msg.textos(), QStringList({"Não é possivel Imprimir Verifique os dados Selecionados !!"}));
        QCOMPARE(msg.vistas()[0].icone, QMessageBox::Information);
    }
    w->close();
    QTRY_VERIFY(!app::janela<FrmCadCaixaGeral>());
    QTRY_VERIFY(!app::janela<FrmChamacaixaGeral>());
    lanca(amb.conexao(), diasAtras(3), "C", "5", "OUTRO DIA");
    w = abreDia(amb, diasAtras(1));
    Mensagens msg;
    w->Imprimir->click(); // the day shown has no entries
    QCOMPARE(msg.textos(), QStringList({"Não Existe dados para serem impressos !!"}));
}

void TestRelatorioCaixa::longDayBreaksPages()
{
    Ambiente amb;
    const QDate dia = diasAtras(1);
    int saldo = 0;
    for (int i = 1; i <= 80; ++i) {
        lanca(amb.conexao(), dia, i % 3 ? "C" : "D", QString::number(i), QStringLiteral("LANCAMENTO %1").arg(i));
        saldo += i % 3 ? i : -i;
    }
    QCOMPARE(saldo, 1134);
    reports::PageReport r;
    caixa::montaRelatorioDiario(r, caixa::leDiaDoCaixa(amb.conexao(), dia), kEmpresa);
    const reports::Document doc = r.layout();
    QCOMPARE(doc.paper, reports::Paper::Letter);
    QCOMPARE(doc.orientation, reports::Orientation::Portrait);
    QVERIFY(doc.pageCount() >= 2);
    int detalhes = 0;
    for (int p = 0; p < doc.pageCount(); ++p) {
        const QStringList linhas = doc.pageLines(p);
        QCOMPARE(linhas.value(0), "cabeçalho: " + kEmpresa);
        QVERIFY(linhas.contains(QStringLiteral("colunas: DATA | HISTÓRICO | VALOR | SITUAÇÃO")));
        QCOMPARE(linhas.contains(QStringLiteral("resumo: SALDO ATUAL | R$ 1.134,00")), p == doc.pageCount() - 1);
        for (const QString &l : linhas)
            detalhes += l.startsWith(QStringLiteral("detalhe: ")) ? 1 : 0;
    }
    QCOMPARE(detalhes, 80);
}

QTEST_MAIN(TestRelatorioCaixa)
#include "test_relatorio_caixa.moc"
