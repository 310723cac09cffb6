// The dot-matrix page: texts and masked numbers at rows and columns, its
// dump, its pages, its printing and its preview.

#include "support/pdf.h"
#include "reports/dotmatrix.h"
#include "reports/dotmatrixpreview.h"

#include "db/decimal.h"
#include "support/testdb.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

using db::Decimal;
using reports::DotMatrixDocument;

namespace {

// A supplier sheet in small: header, two delivery rows, closing rows.
DotMatrixDocument sampleSheet()
{
    DotMatrixDocument d; // 66 x 85
    d.setCaption(QStringLiteral("Folha individual"));
    d.text(1, 23, QStringLiteral("LATICÍNIO TESTE"), DotMatrixDocument::Bold | DotMatrixDocument::Expanded);
    d.text(3, 36, QStringLiteral("COMPRA DE LEITE"), DotMatrixDocument::Bold | DotMatrixDocument::Italic);
    d.text(4, 2, QStringLiteral("Fornecedor:"));
    d.text(4, 14, QStringLiteral("JOÃO DA SILVA"), DotMatrixDocument::Bold);
    const QList<QPair<int, QString>> titles{{2, "DT COMPRA "}, {13, "QNT. LT. BOM"}, {31, "VALOR"},
                                            {43, "QNT. LT. ACIDO"}, {63, "VALOR "}, {76, "TOTAL"}};
    for (const auto &[column, title] : titles)
        d.text(6, column, title);
    d.rule(7, 1, 83);
    for (int row : {8, 9}) {
        for (int column : {1, 12, 26, 41, 57, 71, 84})
            d.text(row, column, QStringLiteral("|"));
    }
    d.text(8, 3, QDate(2024, 5, 2).toString(QStringLiteral("dd/MM/yyyy")));
    d.text(8, 17, QStringLiteral("120"));
    d.number(8, 29, Decimal(123450, 2).toVariant(), QStringLiteral("##,#0.00"));
    d.text(8, 48, QStringLiteral("15"));
    d.number(8, 61, QVariant(18.75), QStringLiteral("##,#0.00"));
    d.number(8, 74, Decimal(125325, 2).toVariant(), QStringLiteral("##,#0.00"));
    d.text(9, 3, QStringLiteral("03/05/2024"));
    d.text(9, 17, QStringLiteral("9000"));
    d.number(9, 29, Decimal(12345678, 2).toVariant(), QStringLiteral("##,#0.00")); // wider: runs on to the right
    d.number(9, 61, QVariant(), QStringLiteral("##,#0.00"));                      // null: blank
    d.number(9, 74, Decimal(-500, 2).toVariant(), QStringLiteral("##,#0.00"));
    // Bars before the rule and after it: the bars stay either way.
    for (int column : {1, 41, 84})
        d.text(10, column, QStringLiteral("|"));
    d.rule(10, 1, 83);
    d.text(11, 7, QStringLiteral("TOTAL CREDITO "));
    d.number(11, 25, Decimal(125325, 2).toVariant(), QStringLiteral("R$ ##,#0.00"), DotMatrixDocument::Bold);
    d.text(11, 52, QStringLiteral("TOTAL HAVER "));
    d.number(11, 67, Decimal(0, 2).toVariant(), QStringLiteral("R$ ##,#0.00"), DotMatrixDocument::Bold);
    for (int column : {1, 41, 84})
        d.text(11, column, QStringLiteral("|"));
    d.rule(12, 1, 83);
    for (int column : {1, 41, 84})
        d.text(12, column, QStringLiteral("|"));
    d.text(13, 7, QStringLiteral("PREÇO UNITARIO"));
    d.text(13, 80, QStringLiteral("ABCDEFGHIJ")); // cut at column 85
    return d;
}

const QString SampleGrid = QStringLiteral(
    "                      LATICINIO TESTE\n"
    "\n"
    "                                   COMPRA DE LEITE\n"
    " Fornecedor: JOAO DA SILVA\n"
    "\n"
    " DT COMPRA  QNT. LT. BOM      VALOR       QNT. LT. ACIDO      VALOR        TOTAL\n"
    "-----------------------------------------------------------------------------------\n"
    "| 02/05/2024    120      |  1.234,50    |      15       |      18,75  |  1.253,25  |\n"
    "| 03/05/2024    9000     |  123.456,78  |               |             |     -5,00  |\n"
    "|---------------------------------------|------------------------------------------|\n"
    "|     TOTAL CREDITO     R$ 1.253,25     |          TOTAL HAVER        R$ 0,00      |\n"
    "|---------------------------------------|------------------------------------------|\n"
    "      PRECO UNITARIO                                                           ABCDEF\n");

} // namespace

class TestDotMatrix : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sampleDumpsToTheExpectedGrid();
    void stylesStayWithTheirCells();
    void pagesAndLimits();
    void printsFixedPitchText();
    void charactersSitInTheirCells();
    void previewShowsThePages();
};

void TestDotMatrix::sampleDumpsToTheExpectedGrid()
{
    const DotMatrixDocument d = sampleSheet();
    QCOMPARE(d.rows(), 66);
    QCOMPARE(d.columns(), 85);
    QCOMPARE(d.pageCount(), 1);
    QCOMPARE(d.dump(), QStringLiteral("=== página 1 ===\n") + SampleGrid);
    // Masked numbers are right-aligned in a field as wide as the mask.
    QCOMPARE(d.line(0, 8).mid(28, 8), QStringLiteral("1.234,50"));
    QCOMPARE(d.line(0, 8).mid(60, 8), QStringLiteral("   18,75"));
    QCOMPARE(d.line(0, 11).mid(66, 11), QStringLiteral("    R$ 0,00"));
    QCOMPARE(d.line(0, 2), QString());
    QCOMPARE(d.line(0, 66), QString());
}

void TestDotMatrix::stylesStayWithTheirCells()
{
    const DotMatrixDocument d = sampleSheet();
    QCOMPARE(d.styleAt(0, 1, 23), DotMatrixDocument::Styles(DotMatrixDocument::Bold | DotMatrixDocument::Expanded));
    QCOMPARE(d.styleAt(0, 3, 36), DotMatrixDocument::Styles(DotMatrixDocument::Bold | DotMatrixDocument::Italic));
    QCOMPARE(d.styleAt(0, 11, 25), DotMatrixDocument::Styles(DotMatrixDocument::Bold));
    QCOMPARE(d.styleAt(0, 11, 7), DotMatrixDocument::Styles(DotMatrixDocument::Normal));
    QCOMPARE(d.charAt(0, 10, 41), QChar(u'|'));
    QCOMPARE(d.charAt(0, 12, 84), QChar(u'|'));
    QCOMPARE(d.charAt(0, 12, 85), QChar(u' '));
}

void TestDotMatrix::pagesAndLimits()
{
    DotMatrixDocument d(5, 10);
    d.text(1, 1, QStringLiteral("UM"));
    d.newPage();
    QCOMPARE(d.currentPage(), 1);
    d.text(5, 9, QStringLiteral("DOIS"));
    d.setCurrentPage(0);
    d.text(2, 1, QStringLiteral("X"));
    QCOMPARE(d.dump(), QStringLiteral("=== página 1 ===\nUM\nX\n=== página 2 ===\n\n\n\n\n        DO\n"));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, d.text(6, 1, QStringLiteral("Z")));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, d.number(0, 1, 1, QStringLiteral("0")));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, d.setCurrentPage(2));
    // Columns before the first are cut like those after the last.
    d.text(3, -1, QStringLiteral("ABC"));
    QCOMPARE(d.line(0, 3), QStringLiteral("C"));
}

void TestDotMatrix::printsFixedPitchText()
{
    DotMatrixDocument d = sampleSheet();
    d.newPage();
    d.text(1, 1, QStringLiteral("SEGUNDA FOLHA"));
    const QString path = testsupport::scratchDir() + QStringLiteral("/matricial.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    QVERIFY(d.print(printer));
    const QString text = testsupport::textoDoPdf(path);
    QCOMPARE(text.count(u'\f'), 2);
    const QStringList pages = text.split(u'\f');
    QVERIFY2(pages[0].contains(QStringLiteral("COMPRA DE LEITE")), qPrintable(pages[0]));
    QVERIFY(pages[0].contains(QStringLiteral("Fornecedor: JOAO DA SILVA")));
    QVERIFY(pages[0].contains(QStringLiteral("1.234,50")));
    QVERIFY(pages[0].contains(QStringLiteral("R$ 1.253,25")));
    QVERIFY(pages[0].contains(QStringLiteral("PRECO UNITARIO")));
    QVERIFY(pages[1].contains(QStringLiteral("SEGUNDA FOLHA")));
    static const QRegularExpression deliveryRow(
        QStringLiteral("\\| 02/05/2024 +120 +\\| +1\\.234,50 +\\| +15 +\\| +18,75 +\\| +1\\.253,25 +\\|"));
    QVERIFY2(deliveryRow.match(pages[0]).hasMatch(), qPrintable(pages[0]));
}

void TestDotMatrix::charactersSitInTheirCells()
{
    // At 120 dots per inch a cell of 12 cpi x 6 lpi is 10 x 20 dots; the
    // page starts 6 mm from the left edge.
    const DotMatrixDocument d = sampleSheet();
    QImage image(1020, 1320, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        d.paintPage(painter, 0, 120);
    }
    const double left = 6 / 25.4 * 120;
    auto inked = [&](int row, int column) {
        const int x0 = qRound(left + (column - 1) * 10), y0 = (row - 1) * 20;
        int dark = 0;
        for (int y = y0 + 1; y < y0 + 19; ++y) {
            for (int x = x0 + 1; x < x0 + 9; ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        }
        return dark > 0;
    };
    // The row of the first delivery: "|" at 1, 12, ..., 84, blanks between.
    QVERIFY(inked(8, 1));
    QVERIFY(!inked(8, 2));
    QVERIFY(inked(8, 3));  // 02/05/2024
    QVERIFY(inked(8, 12));
    QVERIFY(!inked(8, 82));
    QVERIFY(!inked(8, 83));
    QVERIFY(inked(8, 84));
    QVERIFY(!inked(8, 85));
    QVERIFY(!inked(2, 40)); // an empty row
    // The rule fills its 83 columns and no more.
    QVERIFY(inked(7, 1));
    QVERIFY(inked(7, 83));
    QVERIFY(!inked(7, 84));
}

void TestDotMatrix::previewShowsThePages()
{
    DotMatrixDocument d = sampleSheet();
    d.newPage();
    d.text(2, 3, QStringLiteral("OUTRA"));
    reports::DotMatrixPreview preview(d);
    preview.show();
    auto *text = preview.findChild<QPlainTextEdit *>(QStringLiteral("txtPagina"));
    auto *label = preview.findChild<QLabel *>(QStringLiteral("lbPagina"));
    auto *next = preview.findChild<QPushButton *>(QStringLiteral("btProxima"));
    auto *previous = preview.findChild<QPushButton *>(QStringLiteral("btAnterior"));
    QVERIFY(text && label && next && previous);
    QVERIFY(text->isReadOnly());
    QCOMPARE(text->font().fixedPitch() || QFontInfo(text->font()).fixedPitch(), true);
    QCOMPARE(text->document()->blockCount(), 66);
    QVERIFY(text->toPlainText().startsWith(SampleGrid));
    QCOMPARE(label->text(), QStringLiteral("Página 1 de 2"));
    QVERIFY(!previous->isEnabled());
    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(preview.shownPage(), 1);
    QCOMPARE(label->text(), QStringLiteral("Página 2 de 2"));
    QVERIFY(text->toPlainText().startsWith(QStringLiteral("\n  OUTRA\n")));
    QVERIFY(!next->isEnabled());
    QVERIFY(previous->isEnabled());
    preview.close();

    // preview() shows it modally until it is closed.
    bool shown = false;
    QTimer::singleShot(0, [&] {
        if (auto *dialog = qobject_cast<reports::DotMatrixPreview *>(QApplication::activeModalWidget())) {
            shown = dialog->document().pageCount() == 2;
            dialog->findChild<QPushButton *>(QStringLiteral("btFechar"))->click();
        }
    });
    reports::preview(d);
    QVERIFY(shown);
}

QTEST_MAIN(TestDotMatrix)
#include "test_dot_matrix.moc"
