// The dot-matrix text pages of the supplier sheets (see dotmatrix.h).

#include "reports/dotmatrix.h"

#include "reports/format.h"

#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <stdexcept>

namespace reports {

DotMatrixDocument::DotMatrixDocument(int rows, int columns) : m_rows(std::max(1, rows)), m_columns(std::max(1, columns))
{
    m_pages.append(PageCells(m_rows * m_columns));
}

void DotMatrixDocument::setOffset(double leftMm, double topMm)
{
    m_left = leftMm;
    m_top = topMm;
}

void DotMatrixDocument::setCurrentPage(int page)
{
    if (page < 0 || page >= pageCount())
        throw std::out_of_range("página inexistente");
    m_current = page;
}

void DotMatrixDocument::newPage()
{
    m_pages.append(PageCells(m_rows * m_columns));
    m_current = pageCount() - 1;
}

void DotMatrixDocument::checkRow(int row) const
{
    if (row < 1 || row > m_rows)
        throw std::out_of_range(QStringLiteral("linha %1 fora da página de %2 linhas").arg(row).arg(m_rows).toStdString());
}

DotMatrixDocument::Cell *DotMatrixDocument::cell(int row, int column)
{
    if (column < 1 || column > m_columns)
        return nullptr;
    return &m_pages[m_current][(row - 1) * m_columns + (column - 1)];
}

const DotMatrixDocument::Cell *DotMatrixDocument::cell(int page, int row, int column) const
{
    if (page < 0 || page >= pageCount() || row < 1 || row > m_rows || column < 1 || column > m_columns)
        return nullptr;
    return &m_pages[page][(row - 1) * m_columns + (column - 1)];
}

void DotMatrixDocument::text(int row, int column, const QString &text, Styles style)
{
    checkRow(row);
    const QString plain = plainLetters(text);
    for (int i = 0; i < plain.size(); ++i) {
        if (Cell *c = cell(row, column + i)) {
            const QChar ch = plain[i];
            c->c = (ch.isPrint() ? ch : u' ');
            c->style = style;
        }
    }
}

void DotMatrixDocument::number(int row, int column, const QVariant &value, const QString &mask, Styles style)
{
    checkRow(row);
    const QString digits = formatValue(value, mask);
    if (digits.isEmpty())
        return;
    // The field is as wide as the mask (its first section).
    const qsizetype width = mask.section(u';', 0, 0).size();
    text(row, column, digits.rightJustified(width, u' '), style);
}

void DotMatrixDocument::rule(int row, int column, int length, QChar character, Styles style)
{
    checkRow(row);
    for (int i = 0; i < length; ++i) {
        Cell *c = cell(row, column + i);
        if (c && c->c == u' ') {
            c->c = character;
            c->style = style;
        }
    }
}

QChar DotMatrixDocument::charAt(int page, int row, int column) const
{
    const Cell *c = cell(page, row, column);
    return c ? c->c : QChar(u' ');
}

DotMatrixDocument::Styles DotMatrixDocument::styleAt(int page, int row, int column) const
{
    const Cell *c = cell(page, row, column);
    return c ? c->style : Styles();
}

QString DotMatrixDocument::line(int page, int row) const
{
    QString s;
    if (page < 0 || page >= pageCount() || row < 1 || row > m_rows)
        return s;
    s.reserve(m_columns);
    for (int col = 1; col <= m_columns; ++col)
        s += charAt(page, row, col);
    qsizetype end = s.size();
    while (end > 0 && s[end - 1] == u' ')
        --end;
    s.truncate(end);
    return s;
}

QString DotMatrixDocument::pageText(int page) const
{
    QStringList lines;
    for (int row = 1; row <= m_rows; ++row)
        lines.append(line(page, row));
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines.join(u'\n');
}

QString DotMatrixDocument::dump() const
{
    QString out;
    for (int p = 0; p < pageCount(); ++p) {
        out += QStringLiteral("=== página %1 ===\n").arg(p + 1);
        const QString text = pageText(p);
        if (!text.isEmpty())
            out += text + u'\n';
    }
    return out;
}

void DotMatrixDocument::paintPage(QPainter &painter, int page, double dotsPerInch) const
{
    if (page < 0 || page >= pageCount())
        return;
    const double cellW = dotsPerInch / m_cpi;
    const double cellH = dotsPerInch / m_lpi;
    const double left = m_left / 25.4 * dotsPerInch;
    const double top = m_top / 25.4 * dotsPerInch;
    // A fixed-pitch face whose letters fit the cell: about 10 points at
    // 12 characters per inch.
    const double points = std::min(72.0 / m_lpi * 0.85, 72.0 / m_cpi / 0.6);
    auto fontFor = [&](Styles style) {
        QFont f(QStringLiteral("Courier New"));
        f.setStyleHint(QFont::Monospace);
        f.setFixedPitch(true);
        f.setPointSizeF(points);
        f.setBold(style.testFlag(Bold));
        f.setItalic(style.testFlag(Italic));
        if (style.testFlag(Expanded))
            f.setStretch(200);
        return f;
    };
    painter.setPen(Qt::black);
    for (int row = 1; row <= m_rows; ++row) {
        const double y = top + (row - 1) * cellH;
        int runStart = 0; // first column of the current expanded run
        for (int col = 1; col <= m_columns; ++col) {
            const Cell *c = cell(page, row, col);
            const bool expanded = c->style.testFlag(Expanded);
            if (!expanded || (col > 1 && !cell(page, row, col - 1)->style.testFlag(Expanded)))
                runStart = col;
            if (c->c == u' ')
                continue;
            // Expanded letters are twice as wide: the run spreads from its
            // first column.
            const double x = expanded ? left + ((runStart - 1) + 2 * (col - runStart)) * cellW
                                      : left + (col - 1) * cellW;
            const double w = expanded ? 2 * cellW : cellW;
            painter.setFont(fontFor(c->style));
            painter.drawText(QRectF(x, y, w, cellH), Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextDontClip,
                             QString(c->c));
        }
    }
}

bool DotMatrixDocument::print(QPrinter &printer) const
{
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                      QPageLayout::Millimeter));
    if (!m_caption.isEmpty())
        printer.setDocName(m_caption);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const double dpi = printer.logicalDpiX();
    const QPointF origin = printer.pageLayout().paintRect(QPageLayout::Inch).topLeft();
    painter.translate(-origin.x() * dpi, -origin.y() * dpi);
    for (int p = 0; p < pageCount(); ++p) {
        if (p > 0)
            printer.newPage();
        paintPage(painter, p, dpi);
    }
    return painter.end();
}

bool DotMatrixDocument::printTo(const QString &printerName) const
{
    QPrinter printer(QPrinter::HighResolution);
    if (!printerName.isEmpty())
        printer.setPrinterName(printerName);
    return print(printer);
}

} // namespace reports
