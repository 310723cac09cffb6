// The banded page report: layout, formats, page breaks with repeated
// headers, groups and sub-detail rows, sums, the PDF and the preview.

#include "support/pdf.h"
#include "reports/document.h"
#include "reports/pagereport.h"
#include "reports/previewdialog.h"

#include "db/database.h"
#include "support/testdb.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

using db::Decimal;
using reports::Align;
using reports::Level;
using reports::PageReport;
using reports::Rows;
namespace fmt = reports::fmt;

namespace {

const QDateTime PrintTime(QDate(2024, 5, 3), QTime(14, 5, 0));

QVariant money(qint64 cents)
{
    return Decimal(cents, 2).toVariant();
}

Rows cashEntries()
{
    Rows rows({QStringLiteral("DATA"), QStringLiteral("DESCRICAO"), QStringLiteral("VALOR"), QStringLiteral("DEBITO_CREDITO")});
    const QDate day(2024, 5, 3);
    rows.append(QVariantList{day, QStringLiteral("VENDA A VISTA"), money(123450), QStringLiteral("C")});
    rows.append(QVariantList{day, QStringLiteral("COMPRA DE RAÇÃO"), money(20000), QStringLiteral("D")});
    rows.append(QVariantList{day, QStringLiteral("RECEBIMENTO"), money(6525), QStringLiteral("C")});
    return rows;
}

// A day of the cash book: the shape of the daily cash report.
void declareDailyReport(PageReport &r, const Rows &entries)
{
    r.setCaption(QStringLiteral("Relatório Diário do Caixa"));
    r.setCompanyName(QStringLiteral("LATICINIO TESTE LTDA"));
    r.setPrintTime(PrintTime);
    r.pageHeader(8).companyName(0, 1, 0).center().bold().size(12);
    auto &title = r.title(12);
    title.text(0, 1, 18, QStringLiteral("Horário"));
    title.systemTime(18, 1, 20);
    title.text(50, 1, 90, QStringLiteral("RELATÓRIO DIARIO DO CAIXA")).center().bold();
    title.text(140, 1, 32, QStringLiteral("Data de Impressão"));
    title.systemDate(172, 1, 23.9).right();
    r.columnHeader(6).setFont({.bold = true});
    r.addColumns({{QStringLiteral("DATA"), QStringLiteral("DATA"), 25},
                  {QStringLiteral("HISTÓRICO"), QStringLiteral("DESCRICAO"), 110},
                  {QStringLiteral("VALOR"), QStringLiteral("VALOR"), 35, Align::Right, fmt::Money},
                  {QStringLiteral("SITUAÇÃO"), QStringLiteral("DEBITO_CREDITO"), 25, Align::Right}},
                 {.verticalRules = true});
    Rows rows = entries;
    for (const QString &kind : {QStringLiteral("C"), QStringLiteral("D")}) {
        rows.addColumn(kind == u'C' ? QStringLiteral("CREDITO") : QStringLiteral("DEBITO"), [kind](const reports::Row &row) {
            return row.value(QStringLiteral("DEBITO_CREDITO")).toString() == kind ? row.value(QStringLiteral("VALOR")) : QVariant();
        });
    }
    r.setRows(rows);
    auto &s = r.summary(40);
    const QList<QPair<QString, QString>> boxes{{QStringLiteral("SALDO ANTERIOR"), QString()},
                                               {QStringLiteral("TOTAL RECEBIMENTOS"), QStringLiteral("CREDITO")},
                                               {QStringLiteral("TOTAL PAGAMENTOS"), QStringLiteral("DEBITO")},
                                               {QStringLiteral("SALDO ATUAL"), QString()}};
    r.trackSum(QStringLiteral("CREDITO"));
    r.trackSum(QStringLiteral("DEBITO"));
    double y = 2;
    for (const auto &[label, column] : boxes) {
        s.box(100, y, 0, 8);
        s.text(102, y, 50, label).height(8);
        if (label == QLatin1String("SALDO ANTERIOR"))
            s.param(150, y, 44, QStringLiteral("SALDOANTERIOR"), fmt::Currency).right().height(8);
        else if (!column.isEmpty())
            s.sum(150, y, 44, column, fmt::Currency).right().height(8);
        else
            s.expression(150, y, 44, [](const reports::Context &c) {
                 return (Decimal::fromVariant(c.param(QStringLiteral("SALDOANTERIOR"))) +
                         Decimal::fromVariant(c.sum(QStringLiteral("CREDITO"))) -
                         Decimal::fromVariant(c.sum(QStringLiteral("DEBITO"))))
                     .toVariant();
             }, fmt::Currency).right().height(8).bold();
        y += 9;
    }
    r.setParam(QStringLiteral("SaldoAnterior"), money(100000));
}

// A long list: one line per row, a running total, page footers with the
// page number and the page's sum, and the grand total.
void declareLongReport(PageReport &r, int count)
{
    r.setCaption(QStringLiteral("Lista longa"));
    r.setCompanyName(QStringLiteral("LATICINIO TESTE LTDA"));
    r.setPrintTime(PrintTime);
    r.pageHeader(8).companyName(0, 1, 0).center().bold().size(12);
    r.pageHeader().text(0, 5, 60, QStringLiteral("Conferência final do fluxo")).size(7);
    r.title(12).text(0, 2, 0, QStringLiteral("RELATÓRIO DE CONFERÊNCIA")).center().bold();
    r.addColumns({{QStringLiteral("Nº"), QStringLiteral("N"), 20, Align::Right},
                  {QStringLiteral("DESCRIÇÃO"), QStringLiteral("DESCRICAO"), 80},
                  {QStringLiteral("VALOR"), QStringLiteral("VALOR"), 35, Align::Right, fmt::Money}},
                 {.ruleUnderRows = true, .style = reports::LineStyle::Dotted});
    r.detail().sum(140, 0, 40, QStringLiteral("VALOR"), fmt::Money).right().height(5); // running total
    auto &footer = r.pageFooter(6);
    footer.pageNumber(0, 1, 60, QStringLiteral("Página %1 de %2"));
    footer.text(100, 1, 40, QStringLiteral("Soma da página"));
    footer.sum(140, 1, 40, QStringLiteral("VALOR"), fmt::Money).right();
    auto &s = r.summary(10);
    s.text(100, 2, 40, QStringLiteral("TOTAL GERAL")).italic();
    s.sum(140, 2, 40, QStringLiteral("VALOR"), fmt::Currency).right().bold();
    Rows rows({QStringLiteral("N"), QStringLiteral("DESCRICAO"), QStringLiteral("VALOR")});
    for (int i = 1; i <= count; ++i)
        rows.append(QVariantList{i, QStringLiteral("LANÇAMENTO %1").arg(i), money(101 * i)});
    r.setRows(rows);
}

const reports::Item *findText(const reports::Page &page, const QString &text)
{
    for (const reports::Item &item : page.items) {
        if (item.kind == reports::Element::Kind::Text && item.text == text)
            return &item;
    }
    return nullptr;
}

} // namespace

class TestPageReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void smallReportDump();
    void geometry();
    void paperAndMargins_data();
    void paperAndMargins();
    void longReportBreaksPagesAndRepeatsHeaders();
    void groupsAndSubDetail();
    void dumpLinesFollowThePrint();
    void summaryTotals();
    void emptyReportPrintsHeadersAndSummary();
    void unknownColumnIsAnError();
    void feedsFromADatabaseResult();
    void pdfCarriesTheText();
    void printsOnAPrinter();
    void previewShowsPagesAndSavesPdf();
};

void TestPageReport::smallReportDump()
{
    PageReport r;
    declareDailyReport(r, cashEntries());
    const reports::Document doc = r.layout();
    QCOMPARE(doc.dump(), QStringLiteral(
        "=== página 1 ===\n"
        "cabeçalho: LATICINIO TESTE LTDA\n"
        "título: Horário | 14:05:00 | RELATÓRIO DIARIO DO CAIXA | Data de Impressão | 03/05/2024\n"
        "colunas: DATA | HISTÓRICO | VALOR | SITUAÇÃO\n"
        "detalhe: 03/05/2024 | VENDA A VISTA | 1.234,50 | C\n"
        "detalhe: 03/05/2024 | COMPRA DE RAÇÃO | 200,00 | D\n"
        "detalhe: 03/05/2024 | RECEBIMENTO | 65,25 | C\n"
        "resumo: SALDO ANTERIOR | R$ 1.000,00\n"
        "resumo: TOTAL RECEBIMENTOS | R$ 1.299,75\n"
        "resumo: TOTAL PAGAMENTOS | R$ 200,00\n"
        "resumo: SALDO ATUAL | R$ 2.099,75\n"));
    QCOMPARE(doc.caption, QStringLiteral("Relatório Diário do Caixa"));

    // An empty previous balance (no earlier day) prints as nothing.
    r.setParam(QStringLiteral("SALDOANTERIOR"), QVariant());
    QVERIFY(r.layout().pageLines(0).contains(QStringLiteral("resumo: SALDO ANTERIOR")));
}

void TestPageReport::geometry()
{
    PageReport r;
    declareDailyReport(r, cashEntries());
    const reports::Document doc = r.layout();
    QCOMPARE(doc.paperSize, QSizeF(215.9, 279.4));
    const reports::Page &page = doc.pages[0];

    // Bands follow one another from the top margin down.
    QCOMPARE(page.bands.size(), 3 + 3 + 1);
    const double tops[] = {10, 18, 30, 36, 41, 46, 51};
    for (int i = 0; i < page.bands.size(); ++i)
        QVERIFY2(qFuzzyCompare(page.bands[i].top, tops[i]), qPrintable(QString::number(page.bands[i].top)));

    // Centred across the margins, bold, 12 points.
    const reports::Item *company = findText(page, QStringLiteral("LATICINIO TESTE LTDA"));
    QVERIFY(company);
    QCOMPARE(company->rect.left(), 10.0);
    QCOMPARE(company->rect.width(), 195.9);
    QCOMPARE(company->rect.top(), 11.0);
    QCOMPARE(company->align, Align::Center);
    QVERIFY(company->font.bold);
    QCOMPARE(company->font.size, 12.0);
    QCOMPARE(company->font.family, QStringLiteral("Arial"));

    // A money column: right-aligned inside its column, on the row's line.
    const reports::Item *value = findText(page, QStringLiteral("200,00"));
    QVERIFY(value);
    QCOMPARE(value->align, Align::Right);
    QCOMPARE(value->rect, QRectF(10 + 135 + 1, 41, 33, 5));
    QVERIFY(!value->font.bold);
    // The column header takes the band's bold font.
    const reports::Item *header = findText(page, QStringLiteral("VALOR"));
    QVERIFY(header && header->font.bold);
    QCOMPARE(header->rect.right(), value->rect.right());

    // Vertical rules around every column of each row, a rule under the
    // column header.
    QList<double> rulesOfFirstRow;
    bool headerRule = false;
    for (const reports::Item &item : page.items) {
        if (item.kind != reports::Element::Kind::Line)
            continue;
        if (item.band == 3 && item.line.x1() == item.line.x2()) {
            QCOMPARE(item.line.y1(), 36.0);
            QCOMPARE(item.line.y2(), 41.0);
            rulesOfFirstRow.append(item.line.x1());
        }
        if (item.band == 2 && item.line.y1() == 36.0 && item.line.x1() == 10.0 && item.line.x2() == 205.0)
            headerRule = true;
    }
    QCOMPARE(rulesOfFirstRow, (QList<double>{10, 35, 145, 180, 205}));
    QVERIFY(headerRule);

    // The boxes of the summary reach the right margin.
    int boxes = 0;
    for (const reports::Item &item : page.items) {
        if (item.kind == reports::Element::Kind::Box) {
            ++boxes;
            QCOMPARE(item.rect.left(), 110.0);
            QCOMPARE(item.rect.right(), 205.9);
            QCOMPARE(item.rect.height(), 8.0);
        }
    }
    QCOMPARE(boxes, 4);
    const reports::Item *balance = findText(page, QStringLiteral("R$ 2.099,75"));
    QVERIFY(balance && balance->font.bold && balance->align == Align::Right);
    QCOMPARE(balance->rect.top(), 51.0 + 2 + 27);

    // The geometry dump names fonts, alignment and rules.
    const QString geometry = doc.dumpGeometry();
    QVERIFY(geometry.contains(QStringLiteral("texto x=146.0 y=41.0 w=33.0 h=5.0 direita Arial 10pt \"200,00\"")));
    QVERIFY(geometry.contains(QStringLiteral("linha 10.0,36.0 - 205.0,36.0 contínua")));
    QVERIFY(geometry.contains(QStringLiteral("caixa x=110.0 y=53.0 w=95.9 h=8.0 contínua")));
}

void TestPageReport::paperAndMargins_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QSizeF>("size");
    QTest::newRow("Letter portrait") << int(reports::Paper::Letter) << int(reports::Orientation::Portrait) << QSizeF(215.9, 279.4);
    QTest::newRow("Letter landscape") << int(reports::Paper::Letter) << int(reports::Orientation::Landscape) << QSizeF(279.4, 215.9);
    QTest::newRow("A4 portrait") << int(reports::Paper::A4) << int(reports::Orientation::Portrait) << QSizeF(210, 297);
    QTest::newRow("A4 landscape") << int(reports::Paper::A4) << int(reports::Orientation::Landscape) << QSizeF(297, 210);
}

void TestPageReport::paperAndMargins()
{
    QFETCH(int, paper);
    QFETCH(int, orientation);
    QFETCH(QSizeF, size);
    PageReport r;
    r.setPaper(reports::Paper(paper), reports::Orientation(orientation));
    r.setMargins(2, 10, 5, 10);
    QCOMPARE(r.pageSize(), size);
    QCOMPARE(r.contentWidth(), size.width() - 7);
    r.pageHeader(5).text(0, 0, 0, QStringLiteral("X")).right();
    r.detail(size.height() - 20 - 5); // exactly fills the rest of the page
    Rows rows({QStringLiteral("A")});
    rows.append(QVariantList{1});
    rows.append(QVariantList{2});
    r.setRows(rows);
    const reports::Document doc = r.layout();
    QCOMPARE(doc.paperSize, size);
    QCOMPARE(doc.pageCount(), 2);
    const reports::Item *x = findText(doc.pages[0], QStringLiteral("X"));
    QVERIFY(x);
    QCOMPARE(x->rect.left(), 2.0);
    QCOMPARE(x->rect.right(), size.width() - 5);
    QCOMPARE(x->rect.top(), 10.0);
}

void TestPageReport::longReportBreaksPagesAndRepeatsHeaders()
{
    PageReport r;
    declareLongReport(r, 100);
    const reports::Document doc = r.layout();
    // Letter, 10 mm margins, 6 mm page footer: 45 rows under the title on
    // the first page, 47 on the others.
    QCOMPARE(doc.pageCount(), 3);
    const int expectedRows[] = {45, 47, 8};
    const QString pageSums[] = {QStringLiteral("1.045,35"), QStringLiteral("3.275,43"), QStringLiteral("779,72")};
    int next = 1;
    for (int p = 0; p < 3; ++p) {
        const QStringList lines = doc.pageLines(p);
        int l = 0;
        QCOMPARE(lines[l++], QStringLiteral("cabeçalho: LATICINIO TESTE LTDA"));
        QCOMPARE(lines[l++], QStringLiteral("cabeçalho: Conferência final do fluxo"));
        if (p == 0)
            QCOMPARE(lines[l++], QStringLiteral("título: RELATÓRIO DE CONFERÊNCIA"));
        QCOMPARE(lines[l++], QStringLiteral("colunas: Nº | DESCRIÇÃO | VALOR"));
        int rows = 0;
        while (l < lines.size() && lines[l].startsWith(QStringLiteral("detalhe: "))) {
            const int n = next++;
            const QString running = reports::formatNumber(Decimal(101LL * n * (n + 1) / 2, 2), fmt::Money);
            QCOMPARE(lines[l++], QStringLiteral("detalhe: %1 | LANÇAMENTO %1 | %2 | %3")
                                     .arg(n).arg(reports::formatNumber(Decimal(101 * n, 2), fmt::Money), running));
            ++rows;
        }
        QCOMPARE(rows, expectedRows[p]);
        if (p == 2)
            QCOMPARE(lines[l++], QStringLiteral("resumo: TOTAL GERAL | R$ 5.100,50"));
        QCOMPARE(lines[l++], QStringLiteral("rodapé: Página %1 de 3 | Soma da página | %2").arg(p + 1).arg(pageSums[p]));
        QCOMPARE(l, lines.size());
    }
    QCOMPARE(next, 101);

    // The footer sits at the bottom of every page, whatever is above it.
    for (const reports::Page &page : doc.pages) {
        QCOMPARE(page.bands.last().kind, reports::BandKind::PageFooter);
        QVERIFY(qFuzzyCompare(page.bands.last().top, 279.4 - 10 - 6));
        for (const reports::PlacedBand &b : page.bands)
            QVERIFY(b.top + b.height <= 279.4 - 10 + 1e-9);
    }

    // Without the page header on the first page the title starts it.
    r.setPageHeaderOnFirstPage(false);
    const reports::Document second = r.layout();
    QCOMPARE(second.pageLines(0).first(), QStringLiteral("título: RELATÓRIO DE CONFERÊNCIA"));
    QCOMPARE(second.pageLines(1).first(), QStringLiteral("cabeçalho: LATICINIO TESTE LTDA"));
}

void TestPageReport::groupsAndSubDetail()
{
    Rows sales({QStringLiteral("CD_PEDIDO"), QStringLiteral("DATA"), QStringLiteral("CLIENTE"), QStringLiteral("VALOR_TOTAL")});
    sales.append(QVariantList{1, QDate(2024, 5, 2), QStringLiteral("ANA"), money(2500)});
    sales.append(QVariantList{2, QDate(2024, 5, 2), QStringLiteral("BETO"), money(1050)});
    sales.append(QVariantList{3, QDate(2024, 5, 3), QStringLiteral("CAIO"), money(700)});
    Rows items({QStringLiteral("CD_PEDIDO"), QStringLiteral("PRODUTO"), QStringLiteral("PESO"), QStringLiteral("VALOR_UNITARIO")});
    items.append(QVariantList{qlonglong(1), QStringLiteral("QUEIJO"), Decimal(1500, 3).toVariant(), Decimal(10000, 3).toVariant()});
    items.append(QVariantList{qlonglong(2), QStringLiteral("IOGURTE"), Decimal(1050, 3).toVariant(), Decimal(10000, 3).toVariant()});
    items.append(QVariantList{qlonglong(1), QStringLiteral("MANTEIGA"), Decimal(500, 3).toVariant(), Decimal(20000, 3).toVariant()});
    items.addColumn(QStringLiteral("TOTAL"), [](const reports::Row &row) {
        return Decimal::fromVariant(row.value(QStringLiteral("PESO")))
            .multipliedBy(Decimal::fromVariant(row.value(QStringLiteral("VALOR_UNITARIO"))), 2)
            .toVariant();
    });

    PageReport r(QStringLiteral("Vendas"));
    r.addColumns({{QStringLiteral("PEDIDO"), QStringLiteral("CD_PEDIDO"), 20},
                  {QStringLiteral("CLIENTE"), QStringLiteral("CLIENTE"), 80},
                  {QStringLiteral("VALOR"), QStringLiteral("VALOR_TOTAL"), 30, Align::Right, fmt::Money}});
    auto &day = r.addGroup(QStringLiteral("DATA"));
    day.header(6).text(0, 1, 15, QStringLiteral("DATA:")).bold();
    day.header().field(15, 1, 30, QStringLiteral("DATA"));
    day.footer(6).text(20, 1, 60, QStringLiteral("TOTAL DO DIA"));
    day.footer().count(80, 1, 10).right();
    day.footer().sum(100, 1, 30, QStringLiteral("VALOR_TOTAL"), fmt::Money).right();
    auto &sh = r.subDetailHeader(5);
    const std::pair<double, const char *> titles[] = {{25, "PRODUTO"}, {65, "PESO"}, {85, "UNITÁRIO"}, {105, "TOTAL"}};
    for (const auto &[x, title] : titles)
        sh.text(x, 0, 20, QString::fromUtf8(title)).size(8);
    auto &sd = r.subDetail(5);
    sd.field(25, 0, 40, QStringLiteral("PRODUTO"));
    sd.field(65, 0, 20, QStringLiteral("PESO"), fmt::Price).right();
    sd.field(85, 0, 20, QStringLiteral("VALOR_UNITARIO"), fmt::Price).right();
    sd.field(105, 0, 25, QStringLiteral("TOTAL"), fmt::Money).right();
    auto &sf = r.subDetailFooter(5);
    sf.expression(25, 0, 60, [](const reports::Context &c) {
        return QStringLiteral("ITENS DO PEDIDO %1").arg(c.master(QStringLiteral("CD_PEDIDO")).toInt());
    });
    sf.sum(105, 0, 25, QStringLiteral("TOTAL"), fmt::Money).right();
    auto &s = r.summary(6);
    s.text(20, 1, 40, QStringLiteral("TOTAL GERAL"));
    s.count(80, 1, 10).right();
    s.sum(100, 1, 30, QStringLiteral("VALOR_TOTAL"), fmt::Money).right();
    s.sum(140, 1, 30, QStringLiteral("TOTAL"), fmt::Money).right().over(Level::SubDetail);
    r.setRows(sales);
    r.setSubDetailRows(items, QStringLiteral("CD_PEDIDO"));

    QCOMPARE(r.layout().dump(), QStringLiteral(
        "=== página 1 ===\n"
        "colunas: PEDIDO | CLIENTE | VALOR\n"
        "grupo: DATA: | 02/05/2024\n"
        "detalhe: 1 | ANA | 25,00\n"
        "subcabeçalho: PRODUTO | PESO | UNITÁRIO | TOTAL\n"
        "subdetalhe: QUEIJO | 1,5 | 10 | 15,00\n"
        "subdetalhe: MANTEIGA | 0,5 | 20 | 10,00\n"
        "subrodapé: ITENS DO PEDIDO 1 | 25,00\n"
        "detalhe: 2 | BETO | 10,50\n"
        "subcabeçalho: PRODUTO | PESO | UNITÁRIO | TOTAL\n"
        "subdetalhe: IOGURTE | 1,05 | 10 | 10,50\n"
        "subrodapé: ITENS DO PEDIDO 2 | 10,50\n"
        "rodapé do grupo: TOTAL DO DIA | 2 | 35,50\n"
        "grupo: DATA: | 03/05/2024\n"
        "detalhe: 3 | CAIO | 7,00\n"
        "rodapé do grupo: TOTAL DO DIA | 1 | 7,00\n"
        "resumo: TOTAL GERAL | 3 | 42,50 | 35,50\n"));

    // Each day on a page of its own, the column header repeated; a band
    // that does not print still counts.
    day.setNewPage();
    r.detail().printIf([](const reports::Context &c) { return c.value(QStringLiteral("CLIENTE")).toString() != u"BETO"; });
    r.subDetail().setName(QStringLiteral("item"));
    QCOMPARE(r.layout().dump(), QStringLiteral(
        "=== página 1 ===\n"
        "colunas: PEDIDO | CLIENTE | VALOR\n"
        "grupo: DATA: | 02/05/2024\n"
        "detalhe: 1 | ANA | 25,00\n"
        "subcabeçalho: PRODUTO | PESO | UNITÁRIO | TOTAL\n"
        "item: QUEIJO | 1,5 | 10 | 15,00\n"
        "item: MANTEIGA | 0,5 | 20 | 10,00\n"
        "subrodapé: ITENS DO PEDIDO 1 | 25,00\n"
        "subcabeçalho: PRODUTO | PESO | UNITÁRIO | TOTAL\n"
        "item: IOGURTE | 1,05 | 10 | 10,50\n"
        "subrodapé: ITENS DO PEDIDO 2 | 10,50\n"
        "rodapé do grupo: TOTAL DO DIA | 2 | 35,50\n"
        "=== página 2 ===\n"
        "colunas: PEDIDO | CLIENTE | VALOR\n"
        "grupo: DATA: | 03/05/2024\n"
        "detalhe: 3 | CAIO | 7,00\n"
        "rodapé do grupo: TOTAL DO DIA | 1 | 7,00\n"
        "resumo: TOTAL GERAL | 3 | 42,50 | 35,50\n"));
}

void TestPageReport::dumpLinesFollowThePrint()
{
    PageReport r;
    auto &s = r.summary(30);
    s.box(0, 0, 100, 8);
    s.text(2, 0, 40, QStringLiteral("TOTAL")).height(8);        // centred in the box
    s.text(60, 2, 38, QStringLiteral("R$ 1,00")).right();       // one line, 2 mm lower
    s.text(120, 1, 0, QStringLiteral("GRANDE")).size(14).bold(); // beside, larger type
    s.text(2, 10, 40, QStringLiteral("OBS"));
    s.text(50, 10, 0, QString());                               // empty: left out
    s.text(50, 15, 0, QStringLiteral("ASSINATURA"));
    QCOMPARE(r.layout().pageLines(0), (QStringList{QStringLiteral("resumo: TOTAL | R$ 1,00 | GRANDE"),
                                                   QStringLiteral("resumo: OBS"),
                                                   QStringLiteral("resumo: ASSINATURA")}));
}

void TestPageReport::summaryTotals()
{
    struct Case
    {
        const char *name;
        QVariantList values;
        QString total;
    };
    const QList<Case> cases{
        {"exact cents", {money(10), money(20), money(-5)}, QStringLiteral("0,25")},
        {"tenths add up exactly", QVariantList(30, money(10)), QStringLiteral("3,00")},
        {"mixed scales", {Decimal(1, 3).toVariant(), money(1), QVariant(2)}, QStringLiteral("2,011")},
        {"nulls count as nothing", {QVariant(), money(150), QVariant()}, QStringLiteral("1,50")},
        {"doubles", {QVariant(0.1), QVariant(0.2), money(100)}, QStringLiteral("1,30")},
    };
    for (const Case &c : cases) {
        PageReport r;
        r.summary(6).sum(0, 0, 50, QStringLiteral("V"), QStringLiteral(",0.00#"));
        r.summary().count(60, 0, 20);
        Rows rows({QStringLiteral("V")});
        for (const QVariant &v : c.values)
            rows.append(QVariantList{v});
        r.setRows(rows);
        const QStringList lines = r.layout().pageLines(0);
        QVERIFY2(lines.size() == 1, c.name);
        QCOMPARE(lines[0], QStringLiteral("resumo: %1 | %2").arg(c.total).arg(c.values.size()));
    }
}

void TestPageReport::emptyReportPrintsHeadersAndSummary()
{
    PageReport r;
    declareLongReport(r, 0);
    const reports::Document doc = r.layout();
    QCOMPARE(doc.pageCount(), 1);
    QCOMPARE(doc.pageLines(0), (QStringList{
        QStringLiteral("cabeçalho: LATICINIO TESTE LTDA"),
        QStringLiteral("cabeçalho: Conferência final do fluxo"),
        QStringLiteral("título: RELATÓRIO DE CONFERÊNCIA"),
        QStringLiteral("colunas: Nº | DESCRIÇÃO | VALOR"),
        QStringLiteral("resumo: TOTAL GERAL | R$ 0,00"),
        QStringLiteral("rodapé: Página 1 de 1 | Soma da página | 0,00"),
    }));
}

void TestPageReport::unknownColumnIsAnError()
{
    PageReport r(QStringLiteral("Erro"));
    r.detail().field(0, 0, 20, QStringLiteral("NAO_EXISTE"));
    Rows rows({QStringLiteral("A")});
    rows.append(QVariantList{1});
    r.setRows(rows);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, r.layout());

    PageReport s(QStringLiteral("Erro"));
    s.summary().expression(0, 0, 20, [](const reports::Context &c) { return c.sum(QStringLiteral("A")); });
    s.setRows(rows);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, s.layout()); // a sum nobody declared
}

void TestPageReport::feedsFromADatabaseResult()
{
    auto conn = testsupport::freshDatabase();
    const db::Result result = conn->execute(QStringLiteral(
        "SELECT CAST('2024-05-03' AS DATE) AS DATA, CAST('VENDA À VISTA' AS CHAR(20)) AS DESCRICAO, "
        "CAST(1234.5 AS NUMERIC(15,2)) AS VALOR, CAST(2.355 AS NUMERIC(15,3)) AS PRECO FROM RDB$DATABASE "
        "UNION ALL "
        "SELECT CAST('2024-05-04' AS DATE), CAST('ESTORNO' AS CHAR(20)), CAST(-10.25 AS NUMERIC(15,2)), "
        "CAST(NULL AS NUMERIC(15,3)) FROM RDB$DATABASE"));
    PageReport r(QStringLiteral("Do banco"));
    r.addColumns({{QStringLiteral("DATA"), QStringLiteral("data"), 25},
                  {QStringLiteral("DESCRIÇÃO"), QStringLiteral("Descricao"), 60},
                  {QStringLiteral("VALOR"), QStringLiteral("VALOR"), 30, Align::Right, fmt::Money},
                  {QStringLiteral("PREÇO"), QStringLiteral("PRECO"), 30, Align::Right, fmt::Price}});
    r.summary(6).sum(85, 0, 30, QStringLiteral("VALOR"), fmt::Currency).right();
    r.setRows(result);
    QCOMPARE(r.layout().pageLines(0), (QStringList{
        QStringLiteral("colunas: DATA | DESCRIÇÃO | VALOR | PREÇO"),
        QStringLiteral("detalhe: 03/05/2024 | VENDA À VISTA | 1.234,50 | 2,355"),
        QStringLiteral("detalhe: 04/05/2024 | ESTORNO | -10,25"),
        QStringLiteral("resumo: R$ 1.224,25"),
    }));
}

void TestPageReport::pdfCarriesTheText()
{
    PageReport r;
    declareLongReport(r, 100);
    const QString path = testsupport::scratchDir() + QStringLiteral("/longo.pdf");
    QString error;
    QVERIFY2(r.writePdf(path, &error), qPrintable(error));
    const QString text = testsupport::textoDoPdf(path);
    QCOMPARE(text.count(u'\f'), 3);
    const QStringList pages = text.split(u'\f');
    for (int p = 0; p < 3; ++p) {
        QVERIFY2(pages[p].contains(QStringLiteral("LATICINIO TESTE LTDA")), qPrintable(pages[p]));
        QVERIFY(pages[p].contains(QStringLiteral("Conferência final do fluxo")));
        QVERIFY(pages[p].contains(QStringLiteral("DESCRIÇÃO")));
        QVERIFY(pages[p].contains(QStringLiteral("Página %1 de 3").arg(p + 1)));
    }
    QVERIFY(pages[0].contains(QStringLiteral("RELATÓRIO DE CONFERÊNCIA")));
    QVERIFY(!pages[1].contains(QStringLiteral("RELATÓRIO DE CONFERÊNCIA")));
    QVERIFY(pages[0].contains(QStringLiteral("LANÇAMENTO 45")));
    QVERIFY(pages[1].contains(QStringLiteral("LANÇAMENTO 46")));
    QVERIFY(pages[2].contains(QStringLiteral("TOTAL GERAL")));
    QVERIFY(pages[2].contains(QStringLiteral("R$ 5.100,50")));

    // A file that cannot be written is reported, not a crash.
    QVERIFY(!r.writePdf(QStringLiteral("/nao/existe/relatorio.pdf"), &error));
    QVERIFY(error.contains(QStringLiteral("relatorio.pdf")));
}

void TestPageReport::printsOnAPrinter()
{
    PageReport r;
    declareDailyReport(r, cashEntries());
    r.setPaper(reports::Paper::A4, reports::Orientation::Landscape);
    const QString path = testsupport::scratchDir() + QStringLiteral("/impressora.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    QVERIFY(r.layout().print(&printer));
    QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A4);
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
    const QString text = testsupport::textoDoPdf(path);
    QVERIFY2(text.contains(QStringLiteral("SALDO ATUAL")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("R$ 2.099,75")));
}

void TestPageReport::previewShowsPagesAndSavesPdf()
{
    PageReport r;
    declareLongReport(r, 100);
    reports::PreviewDialog dialog(r.layout());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Lista longa"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *pages = dialog.findChild<QPrintPreviewWidget *>();
    QVERIFY(pages);
    QTRY_COMPARE(pages->pageCount(), 3);
    auto *bar = dialog.findChild<QToolBar *>();
    QVERIFY(bar && bar->actions().contains(dialog.savePdfAction()));
    QCOMPARE(dialog.savePdfAction()->text(), QStringLiteral("Salvar PDF"));

    // The button asks for a file name and writes the PDF there.
    const QString path = testsupport::scratchDir() + QStringLiteral("/visualizado.pdf");
    bool answered = false;
    QTimer::singleShot(0, &dialog, [&] {
        auto *files = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!files)
            return;
        answered = files->objectName() == QLatin1String("dlgSalvarPdf");
        files->selectFile(path);
        static_cast<QDialog *>(files)->accept();
    });
    dialog.savePdfAction()->trigger();
    QVERIFY(answered);
    const QString text = testsupport::textoDoPdf(path);
    QCOMPARE(text.count(u'\f'), 3);
    QVERIFY(text.contains(QStringLiteral("R$ 5.100,50")));
    dialog.close();

    // preview() shows the dialog modally until it is closed.
    bool shown = false;
    QTimer::singleShot(0, [&] {
        if (auto *d = qobject_cast<reports::PreviewDialog *>(QApplication::activeModalWidget())) {
            shown = d->document().pageCount() == 3;
            d->reject();
        }
    });
    reports::preview(r);
    QVERIFY(shown);
}

QTEST_MAIN(TestPageReport)
#include "test_page_report.moc"
