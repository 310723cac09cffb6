#pragma once

// The dot-matrix printouts (the suppliers' individual payment sheets):
// pages of fixed rows and columns (66 x 85 for the sheets, 6 lines per
// inch, 12 characters per inch) into which a printout writes texts and
// masked numbers at a row and a column, both counted from 1. It prints as
// fixed-pitch text on the chosen printer, one character cell per column
// and row, shows itself in a simple preview, and dumps itself as text.
//
//   reports::DotMatrixDocument sheet;                      // 66 x 85
//   sheet.text(1, 23, razaoSocial, reports::DotMatrixDocument::Bold | reports::DotMatrixDocument::Expanded);
//   sheet.rule(7, 1, 83);
//   sheet.text(8, 1, "|");
//   sheet.number(8, 29, valorBom, "##,#0.00");             // right-aligned in 8 columns
//   sheet.printTo();                                        // the default printer
//
// Accented letters are written as their plain letters ("PREÇO" -> "PRECO"),
// as the printer prints them. Text beyond the last column is cut off, as
// the printer does; a row outside the page is an error.

#include <QFlags>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class QPainter;
class QPrinter;

namespace reports {

class DotMatrixDocument
{
public:
    // Font sets of the printer.
    enum Style { Normal = 0, Bold = 1, Italic = 2, Expanded = 4 };
    Q_DECLARE_FLAGS(Styles, Style)

    explicit DotMatrixDocument(int rows = 66, int columns = 85);

    int rows() const { return m_rows; }
    int columns() const { return m_columns; }
    // Characters per inch of a column and lines per inch of a row.
    void setPitch(double charactersPerInch) { m_cpi = charactersPerInch; }
    double pitch() const { return m_cpi; }
    void setLinesPerInch(double lpi) { m_lpi = lpi; }
    double linesPerInch() const { return m_lpi; }
    // Where column 1 and row 1 start on the paper, in millimetres.
    void setOffset(double leftMm, double topMm);
    // Title of the print job.
    void setCaption(const QString &caption) { m_caption = caption; }
    QString caption() const { return m_caption; }

    // Pages: there is always a current one; newPage() adds one after the
    // last and makes it current.
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    int currentPage() const { return m_current; }   // 0-based
    void setCurrentPage(int page);
    void newPage();

    // Writes text from (row, column) on, over what was there.
    void text(int row, int column, const QString &text, Styles style = Normal);
    // Writes a number through a mask (format.h), right-aligned in a field
    // as wide as the mask; a wider number runs on to the right. A null
    // value leaves the field blank.
    void number(int row, int column, const QVariant &value, const QString &mask, Styles style = Normal);
    // A rule of length characters that only fills blank cells, so a "|"
    // written before or after it stays.
    void rule(int row, int column, int length, QChar character = u'-', Styles style = Normal);

    QChar charAt(int page, int row, int column) const;
    Styles styleAt(int page, int row, int column) const;
    // One row as printed, without trailing blanks.
    QString line(int page, int row) const;
    // The page's rows up to its last non-blank one, joined by newlines.
    QString pageText(int page) const;
    // Every page, each under a "=== página n ===" line.
    QString dump() const;

    // Paints one page (0-based) with the painter on a device of the given
    // resolution, from the paper's top-left corner.
    void paintPage(QPainter &painter, int page, double dotsPerInch) const;
    // Prints every page on the printer (Letter, full page); false when the
    // printer cannot be opened.
    bool print(QPrinter &printer) const;
    // Prints on the named printer, or the system's default printer when
    // the name is empty.
    bool printTo(const QString &printerName = {}) const;

private:
    struct Cell
    {
        QChar c = u' ';
        Styles style;
    };
    using PageCells = QVector<Cell>;

    Cell *cell(int row, int column);
    const Cell *cell(int page, int row, int column) const;
    void checkRow(int row) const;

    int m_rows;
    int m_columns;
    double m_cpi = 12;
    double m_lpi = 6;
    double m_left = 6;
    double m_top = 0;
    QString m_caption;
    QVector<PageCells> m_pages;
    int m_current = 0;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(DotMatrixDocument::Styles)

} // namespace reports
