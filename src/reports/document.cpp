// A laid-out page report: its text dump, its painting and its PDF (see
// document.h).

#include "reports/document.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace reports {

namespace {

// Two texts are on one line of print when their middles are closer than
// half the height of the shorter one (at least a millimetre): a label and a
// value centred in the same box, or texts of different sizes side by side.
bool sameLine(const Item &a, const Item &b)
{
    const double tolerance = std::max(1.0, std::min(a.rect.height(), b.rect.height()) / 2);
    return std::abs(a.rect.center().y() - b.rect.center().y()) < tolerance;
}

QPageSize pageSizeOf(Paper paper)
{
    return QPageSize(paper == Paper::A4 ? QPageSize::A4 : QPageSize::Letter);
}

QPageLayout::Orientation qtOrientation(Orientation o)
{
    return o == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QString alignName(Align a)
{
    switch (a) {
    case Align::Left: return QStringLiteral("esquerda");
    case Align::Center: return QStringLiteral("centro");
    case Align::Right: return QStringLiteral("direita");
    }
    return {};
}

QString styleName(LineStyle s)
{
    switch (s) {
    case LineStyle::Solid: return QStringLiteral("contínua");
    case LineStyle::Dotted: return QStringLiteral("pontilhada");
    case LineStyle::Dashed: return QStringLiteral("tracejada");
    }
    return {};
}

QString mm(double v)
{
    return QString::number(v, 'f', 1);
}

QFont qtFont(const ResolvedFont &f)
{
    QFont font(f.family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(f.size);
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    return font;
}

Qt::PenStyle qtPenStyle(LineStyle s)
{
    switch (s) {
    case LineStyle::Dotted: return Qt::DotLine;
    case LineStyle::Dashed: return Qt::DashLine;
    case LineStyle::Solid: break;
    }
    return Qt::SolidLine;
}

} // namespace

QStringList Document::pageLines(int pageIndex) const
{
    QStringList lines;
    if (pageIndex < 0 || pageIndex >= pageCount())
        return lines;
    const Page &page = pages[pageIndex];
    for (int b = 0; b < page.bands.size(); ++b) {
        QVector<const Item *> texts;
        for (const Item &item : page.items) {
            if (item.band == b && item.kind == Element::Kind::Text && !item.text.isEmpty())
                texts.append(&item);
        }
        std::stable_sort(texts.begin(), texts.end(),
                         [](const Item *a, const Item *b) { return a->rect.center().y() < b->rect.center().y(); });
        // Split into lines of print, then order each line left to right.
        int start = 0;
        while (start < texts.size()) {
            const Item *first = texts[start];
            int end = start + 1;
            while (end < texts.size() && sameLine(*first, *texts[end]))
                ++end;
            std::stable_sort(texts.begin() + start, texts.begin() + end,
                             [](const Item *a, const Item *b) { return a->rect.left() < b->rect.left(); });
            QStringList parts;
            for (int i = start; i < end; ++i)
                parts.append(texts[i]->text);
            lines.append(page.bands[b].name + QStringLiteral(": ") + parts.join(QStringLiteral(" | ")));
            start = end;
        }
    }
    return lines;
}

QString Document::dump() const
{
    QString out;
    for (int p = 0; p < pageCount(); ++p) {
        out += QStringLiteral("=== página %1 ===\n").arg(p + 1);
        for (const QString &line : pageLines(p))
            out += line + u'\n';
    }
    return out;
}

QString Document::dumpGeometry() const
{
    QString out;
    for (int p = 0; p < pageCount(); ++p) {
        out += QStringLiteral("=== página %1 ===\n").arg(p + 1);
        const Page &page = pages[p];
        for (int b = 0; b < page.bands.size(); ++b) {
            const PlacedBand &band = page.bands[b];
            out += QStringLiteral("%1 y=%2 h=%3\n").arg(band.name, mm(band.top), mm(band.height));
            for (const Item &item : page.items) {
                if (item.band != b)
                    continue;
                switch (item.kind) {
                case Element::Kind::Text:
                    out += QStringLiteral("  texto x=%1 y=%2 w=%3 h=%4 %5 %6 %7pt%8%9%10 \"%11\"\n")
                               .arg(mm(item.rect.x()), mm(item.rect.y()), mm(item.rect.width()),
                                    mm(item.rect.height()), alignName(item.align), item.font.family,
                                    QString::number(item.font.size), item.font.bold ? QStringLiteral(" negrito") : QString(),
                                    item.font.italic ? QStringLiteral(" itálico") : QString(),
                                    item.font.underline ? QStringLiteral(" sublinhado") : QString(), item.text);
                    break;
                case Element::Kind::Line:
                    out += QStringLiteral("  linha %1,%2 - %3,%4 %5\n")
                               .arg(mm(item.line.x1()), mm(item.line.y1()), mm(item.line.x2()), mm(item.line.y2()),
                                    styleName(item.style));
                    break;
                case Element::Kind::Box:
                    out += QStringLiteral("  caixa x=%1 y=%2 w=%3 h=%4 %5\n")
                               .arg(mm(item.rect.x()), mm(item.rect.y()), mm(item.rect.width()),
                                    mm(item.rect.height()), styleName(item.style));
                    break;
                }
            }
        }
    }
    return out;
}

void Document::paintPage(QPainter &painter, int pageIndex, double dotsPerMm) const
{
    if (pageIndex < 0 || pageIndex >= pageCount())
        return;
    auto px = [dotsPerMm](double v) { return v * dotsPerMm; };
    auto pxRect = [&](const QRectF &r) { return QRectF(px(r.x()), px(r.y()), px(r.width()), px(r.height())); };
    for (const Item &item : pages[pageIndex].items) {
        switch (item.kind) {
        case Element::Kind::Text: {
            painter.setFont(qtFont(item.font));
            painter.setPen(Qt::black);
            int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip;
            flags |= item.align == Align::Right ? Qt::AlignRight
                   : item.align == Align::Center ? Qt::AlignHCenter
                                                 : Qt::AlignLeft;
            painter.drawText(pxRect(item.rect), flags, item.text);
            break;
        }
        case Element::Kind::Line: {
            QPen pen(Qt::black, std::max(1.0, px(item.penWidth)), qtPenStyle(item.style));
            painter.setPen(pen);
            painter.drawLine(QLineF(px(item.line.x1()), px(item.line.y1()), px(item.line.x2()), px(item.line.y2())));
            break;
        }
        case Element::Kind::Box: {
            QPen pen(Qt::black, std::max(1.0, px(item.penWidth)), qtPenStyle(item.style));
            painter.setPen(pen);
            painter.setBrush(item.fill.isValid() ? QBrush(item.fill) : QBrush(Qt::NoBrush));
            painter.drawRect(pxRect(item.rect));
            painter.setBrush(Qt::NoBrush);
            break;
        }
        }
    }
}

bool Document::print(QPagedPaintDevice *device) const
{
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const double dotsPerMm = device->logicalDpiX() / 25.4;
    // The painter starts at the printable area; the items are placed on
    // the whole paper.
    const QPointF origin = device->pageLayout().paintRect(QPageLayout::Millimeter).topLeft();
    painter.translate(-origin.x() * dotsPerMm, -origin.y() * dotsPerMm);
    const QPageRanges ranges = device->pageRanges();
    bool first = true;
    for (int p = 0; p < pageCount(); ++p) {
        if (!ranges.isEmpty() && !ranges.contains(p + 1))
            continue;
        if (!first)
            device->newPage();
        first = false;
        paintPage(painter, p, dotsPerMm);
    }
    return painter.end();
}

bool Document::print(QPrinter *printer) const
{
    printer->setFullPage(true);
    printer->setPageLayout(QPageLayout(pageSizeOf(paper), qtOrientation(orientation), QMarginsF(0, 0, 0, 0),
                                       QPageLayout::Millimeter));
    if (!caption.isEmpty() && printer->docName().isEmpty())
        printer->setDocName(caption);
    return print(static_cast<QPagedPaintDevice *>(printer));
}

bool Document::writePdf(const QString &path, QString *error) const
{
    // Tried first, so that a folder that does not exist or a file open
    // elsewhere gives a plain message.
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            if (error)
                *error = QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                             .arg(QDir::toNativeSeparators(path), file.errorString());
            return false;
        }
    }
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setTitle(caption);
    writer.setCreator(QStringLiteral("Corvena"));
    writer.setPageLayout(QPageLayout(pageSizeOf(paper), qtOrientation(orientation), QMarginsF(0, 0, 0, 0),
                                     QPageLayout::Millimeter));
    // QPdfWriter opens its file only when painting starts.
    if (!print(static_cast<QPagedPaintDevice *>(&writer))) {
        if (error)
            *error = QStringLiteral("Não foi possível gravar o arquivo %1.").arg(QDir::toNativeSeparators(path));
        return false;
    }
    return true;
}

} // namespace reports
