#pragma once

// A page report after layout: pages of placed texts, rules and boxes in
// millimetres from the paper's top-left corner. It paints itself through
// QPainter on any paged device (the preview's printer, a real printer, a
// PDF file) and reads itself back as text for the tests:
//
//   === página 1 ===
//   cabeçalho: LATICINIO EXEMPLO LTDA
//   título: Horário | 14:05:00 | RELATÓRIO DIARIO DO CAIXA | Data de Impressão | 03/05/2024
//   colunas: DATA | HISTÓRICO | VALOR | SITUAÇÃO
//   detalhe: 03/05/2024 | VENDA A VISTA | 150,00 | C
//   resumo: SALDO ANTERIOR | R$ 1.000,00
//
// One line per line of print of each band, its texts left to right joined
// by " | " (empty texts left out), lines top to bottom; texts whose boxes
// share their middle line (a label and a value centred in one box) are on
// the same line.

#include "reports/pagereport.h"

#include <QColor>
#include <QLineF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

class QPainter;
class QPagedPaintDevice;
class QPrinter;

namespace reports {

struct ResolvedFont
{
    QString family;
    double size = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

struct Item
{
    Element::Kind kind = Element::Kind::Text;
    int band = 0;        // index into Page::bands
    QRectF rect;         // text and box; mm on the paper
    QLineF line;         // rule; mm on the paper
    QString text;
    Align align = Align::Left;
    ResolvedFont font;
    LineStyle style = LineStyle::Solid;
    double penWidth = 0.2;
    QColor fill;
};

struct PlacedBand
{
    BandKind kind;
    QString name;
    double top = 0;      // mm on the paper
    double height = 0;
};

struct Page
{
    QVector<PlacedBand> bands; // in the order they were placed
    QVector<Item> items;
};

class Document
{
public:
    QString caption;
    QSizeF paperSize;    // mm, as oriented
    Paper paper = Paper::Letter;
    Orientation orientation = Orientation::Portrait;
    QVector<Page> pages;

    int pageCount() const { return static_cast<int>(pages.size()); }

    // The readable dump described above, every page.
    QString dump() const;
    // The dump lines of one page (0-based), without its "=== página ===".
    QStringList pageLines(int page) const;
    // Everything with its geometry, fonts, rules and boxes, for the tests
    // of the layout itself.
    QString dumpGeometry() const;

    // Paints one page (0-based) with the painter already on the device;
    // dotsPerMm converts the millimetres.
    void paintPage(QPainter &painter, int page, double dotsPerMm) const;
    // Paints every page on a device whose page size is already set (a
    // printer or a PDF writer); false when the device cannot be painted.
    bool print(QPagedPaintDevice *device) const;
    // Sets the printer's paper and orientation to the report's and prints.
    bool print(QPrinter *printer) const;
    // Writes a PDF file; false with a message when it cannot.
    bool writePdf(const QString &path, QString *error = nullptr) const;
};

} // namespace reports
