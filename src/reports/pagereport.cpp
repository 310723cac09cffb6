// The banded page report: its declaration and the layout that pours the
// rows through the bands into pages (see pagereport.h).

#include "reports/pagereport.h"

#include "reports/document.h"

#include "db/database.h"

#include <QHash>
#include <QPageSize>

#include <map>
#include <stdexcept>

namespace reports {

QString bandLabel(BandKind kind)
{
    switch (kind) {
    case BandKind::PageHeader: return QStringLiteral("cabeçalho");
    case BandKind::Title: return QStringLiteral("título");
    case BandKind::ColumnHeader: return QStringLiteral("colunas");
    case BandKind::GroupHeader: return QStringLiteral("grupo");
    case BandKind::Detail: return QStringLiteral("detalhe");
    case BandKind::SubDetailHeader: return QStringLiteral("subcabeçalho");
    case BandKind::SubDetail: return QStringLiteral("subdetalhe");
    case BandKind::SubDetailFooter: return QStringLiteral("subrodapé");
    case BandKind::GroupFooter: return QStringLiteral("rodapé do grupo");
    case BandKind::Summary: return QStringLiteral("resumo");
    case BandKind::PageFooter: return QStringLiteral("rodapé");
    }
    return {};
}

// ---------------------------------------------------------------- Band

Band::Band(BandKind kind, double height) : m_kind(kind), m_height(height) {}

Band &Band::setFrame(Sides sides, LineStyle style, double penWidth)
{
    m_frame = sides;
    m_frameStyle = style;
    m_framePen = penWidth;
    return *this;
}

Band &Band::printIf(std::function<bool(const Context &)> condition)
{
    m_condition = std::move(condition);
    return *this;
}

Element &Band::add(Element::Kind kind, Element::Source source, double x, double y, double w, double h)
{
    auto e = std::make_unique<Element>();
    e->m_kind = kind;
    e->m_source = source;
    e->m_x = x;
    e->m_y = y;
    e->m_w = w;
    e->m_h = h;
    // Sums in the sub-detail bands run over the sub-detail rows.
    if (m_kind == BandKind::SubDetailHeader || m_kind == BandKind::SubDetail || m_kind == BandKind::SubDetailFooter)
        e->m_level = Level::SubDetail;
    m_elements.push_back(std::move(e));
    return *m_elements.back();
}

Element &Band::text(double x, double y, double w, const QString &text)
{
    Element &e = add(Element::Kind::Text, Element::Source::Literal, x, y, w, 0);
    e.m_argument = text;
    return e;
}

Element &Band::field(double x, double y, double w, const QString &column, const QString &format)
{
    Element &e = add(Element::Kind::Text, Element::Source::Field, x, y, w, 0);
    e.m_argument = column;
    e.m_format = format;
    return e;
}

Element &Band::param(double x, double y, double w, const QString &name, const QString &format)
{
    Element &e = add(Element::Kind::Text, Element::Source::Param, x, y, w, 0);
    e.m_argument = name;
    e.m_format = format;
    return e;
}

Element &Band::expression(double x, double y, double w, Expression value, const QString &format)
{
    Element &e = add(Element::Kind::Text, Element::Source::Expression, x, y, w, 0);
    e.m_expression = std::move(value);
    e.m_format = format;
    return e;
}

Element &Band::systemDate(double x, double y, double w, const QString &format)
{
    Element &e = add(Element::Kind::Text, Element::Source::SystemDate, x, y, w, 0);
    e.m_format = format;
    return e;
}

Element &Band::systemTime(double x, double y, double w, const QString &format)
{
    Element &e = add(Element::Kind::Text, Element::Source::SystemTime, x, y, w, 0);
    e.m_format = format;
    return e;
}

Element &Band::pageNumber(double x, double y, double w, const QString &pattern)
{
    Element &e = add(Element::Kind::Text, Element::Source::PageNumber, x, y, w, 0);
    e.m_argument = pattern;
    return e;
}

Element &Band::companyName(double x, double y, double w)
{
    return add(Element::Kind::Text, Element::Source::CompanyName, x, y, w, 0);
}

Element &Band::sum(double x, double y, double w, const QString &column, const QString &format)
{
    Element &e = add(Element::Kind::Text, Element::Source::Sum, x, y, w, 0);
    e.m_argument = column;
    e.m_format = format;
    return e;
}

Element &Band::count(double x, double y, double w)
{
    return add(Element::Kind::Text, Element::Source::Count, x, y, w, 0);
}

Element &Band::hline(double y, double x1, double x2)
{
    // Stored as a line from (x1, y) with width x2 - x1 (0: to the margin).
    Element &e = add(Element::Kind::Line, Element::Source::Literal, x1, y, x2 > 0 ? x2 - x1 : 0, 0);
    e.m_argument = QStringLiteral("h");
    return e;
}

Element &Band::vline(double x, double y1, double y2)
{
    Element &e = add(Element::Kind::Line, Element::Source::Literal, x, y1, 0, y2 > 0 ? y2 - y1 : 0);
    e.m_argument = QStringLiteral("v");
    return e;
}

Element &Band::box(double x, double y, double w, double h)
{
    return add(Element::Kind::Box, Element::Source::Literal, x, y, w, h);
}

// ---------------------------------------------------------------- Group

Band &Group::header(double height)
{
    if (!m_header)
        m_header = std::make_unique<Band>(BandKind::GroupHeader, height >= 0 ? height : 6);
    else if (height >= 0)
        m_header->setHeight(height);
    return *m_header;
}

Band &Group::footer(double height)
{
    if (!m_footer)
        m_footer = std::make_unique<Band>(BandKind::GroupFooter, height >= 0 ? height : 6);
    else if (height >= 0)
        m_footer->setHeight(height);
    return *m_footer;
}

// ---------------------------------------------------------------- PageReport

PageReport::PageReport(const QString &caption) : m_caption(caption)
{
    m_font.family = QStringLiteral("Arial");
    m_font.size = 10;
    m_font.bold = false;
    m_font.italic = false;
    m_font.underline = false;
}

PageReport::~PageReport() = default;

void PageReport::setPaper(Paper paper, Orientation orientation)
{
    m_paper = paper;
    m_orientation = orientation;
}

void PageReport::setMargins(double left, double top, double right, double bottom)
{
    m_marginLeft = left;
    m_marginTop = top;
    m_marginRight = right;
    m_marginBottom = bottom;
}

QSizeF PageReport::pageSize() const
{
    const QSizeF s = QPageSize(m_paper == Paper::A4 ? QPageSize::A4 : QPageSize::Letter).size(QPageSize::Millimeter);
    return m_orientation == Orientation::Landscape ? s.transposed() : s;
}

double PageReport::contentWidth() const
{
    return pageSize().width() - m_marginLeft - m_marginRight;
}

double PageReport::contentHeight() const
{
    return pageSize().height() - m_marginTop - m_marginBottom;
}

void PageReport::setDefaultFont(const FontStyle &font)
{
    if (font.family)
        m_font.family = font.family;
    if (font.size)
        m_font.size = font.size;
    if (font.bold)
        m_font.bold = font.bold;
    if (font.italic)
        m_font.italic = font.italic;
    if (font.underline)
        m_font.underline = font.underline;
}

Band &PageReport::band(std::unique_ptr<Band> &slot, BandKind kind, double height, double defaultHeight)
{
    if (!slot)
        slot = std::make_unique<Band>(kind, height >= 0 ? height : defaultHeight);
    else if (height >= 0)
        slot->setHeight(height);
    return *slot;
}

Band &PageReport::pageHeader(double height) { return band(m_pageHeader, BandKind::PageHeader, height, 10); }
Band &PageReport::title(double height) { return band(m_title, BandKind::Title, height, 10); }
Band &PageReport::columnHeader(double height) { return band(m_columnHeader, BandKind::ColumnHeader, height, 6); }
Band &PageReport::detail(double height) { return band(m_detail, BandKind::Detail, height, 5); }
Band &PageReport::subDetailHeader(double height) { return band(m_subDetailHeader, BandKind::SubDetailHeader, height, 5); }
Band &PageReport::subDetail(double height) { return band(m_subDetail, BandKind::SubDetail, height, 5); }
Band &PageReport::subDetailFooter(double height) { return band(m_subDetailFooter, BandKind::SubDetailFooter, height, 5); }
Band &PageReport::summary(double height) { return band(m_summary, BandKind::Summary, height, 10); }
Band &PageReport::pageFooter(double height) { return band(m_pageFooter, BandKind::PageFooter, height, 6); }

Group &PageReport::addGroup(const QString &column)
{
    return addGroup([column](const Context &c) { return c.master(column); });
}

Group &PageReport::addGroup(Expression key)
{
    m_groups.push_back(std::make_unique<Group>());
    m_groups.back()->m_key = std::move(key);
    return *m_groups.back();
}

void PageReport::addColumns(const std::vector<Column> &columns, const ColumnOptions &options)
{
    Band &header = columnHeader();
    Band &rows = options.level == Level::SubDetail ? subDetail() : detail();
    double x = options.x;
    for (const Column &c : columns) {
        const double inner = std::max(0.0, c.width - 2 * options.padding);
        header.text(x + options.padding, 0, inner, c.title).align(c.align).height(header.height());
        if (!c.field.isEmpty())
            rows.field(x + options.padding, 0, inner, c.field, c.format).align(c.align).height(rows.height());
        if (options.verticalRules)
            rows.vline(x).style(options.style);
        x += c.width;
    }
    if (options.verticalRules)
        rows.vline(x).style(options.style);
    if (options.ruleUnderHeader)
        header.hline(header.height(), options.x, x).style(options.style);
    if (options.ruleUnderRows)
        rows.hline(rows.height(), options.x, x).style(options.style);
}

void PageReport::setSubDetailRows(std::function<Rows(const Row &)> rowsOf)
{
    m_subRows = std::move(rowsOf);
}

void PageReport::setSubDetailRows(const Rows &all, const QString &linkColumn, const QString &masterColumn)
{
    // Indexed once by the text of the key, so that a long list of sales
    // does not scan all the items for every sale. Null keys link nothing.
    QHash<QString, QVector<int>> index;
    for (int i = 0; i < all.count(); ++i) {
        const QVariant key = all.value(i, linkColumn);
        if (key.isValid() && !key.isNull())
            index[key.toString()].append(i);
    }
    const QString masterKey = masterColumn.isEmpty() ? linkColumn : masterColumn;
    m_subRows = [all, index = std::move(index), masterKey](const Row &master) {
        const QVariant key = master.value(masterKey);
        if (!key.isValid() || key.isNull())
            return all.subset({});
        return all.subset(index.value(key.toString()));
    };
}

void PageReport::setRows(const db::Result &result)
{
    m_rows = Rows::fromResult(result);
}

void PageReport::trackSum(const QString &column, Level level)
{
    m_tracked.emplace_back(level, column);
}

// ---------------------------------------------------------------- layout

namespace {

// A sum that stays exact while it only meets decimals and integers.
struct Sum
{
    db::Decimal exact{0, 0};
    double inexact = 0;
    bool isDouble = false;
    int count = 0;

    void add(const QVariant &v)
    {
        ++count;
        if (!v.isValid() || v.isNull())
            return;
        if (v.metaType() == QMetaType::fromType<db::Decimal>()) {
            exact += v.value<db::Decimal>();
            inexact += v.value<db::Decimal>().toDouble();
        } else if (v.metaType().id() == QMetaType::Double || v.metaType().id() == QMetaType::Float) {
            isDouble = true;
            inexact += v.toDouble();
        } else if (isNumber(v)) {
            exact += db::Decimal(v.toLongLong(), 0);
            inexact += v.toDouble();
        } else if (auto d = db::Decimal::parse(v.toString())) {
            exact += *d;
            inexact += d->toDouble();
        }
    }
    QVariant value() const { return isDouble ? QVariant(inexact) : exact.toVariant(); }
};

// The sums of one column over every scope at once.
struct Accumulator
{
    Sum report, page, master;
    std::vector<Sum> groups;
};

struct PendingPageNumber
{
    int page;
    int item;
    QString pattern;
};

} // namespace

class Layouter
{
public:
    explicit Layouter(const PageReport &report) : r(report) {}

    Document run();

    QVariant sum(Level level, const QString &column, BandKind scope, int group) const;
    int count(Level level, BandKind scope, int group) const;

private:
    using Key = std::pair<int, QString>; // level, upper-case column

    void startPage();
    void endPage();
    bool fits(double height) const { return y + height <= bottom + 1e-6; }
    void ensure(double height);
    bool shouldPrint(const Band *band);
    void place(const Band &band, int group = -1);
    void printGroupFooters(size_t from);
    void accumulate(Level level, const Row &row);
    void resetScope(Level level, BandKind scope, int group);
    ResolvedFont resolveFont(const FontStyle &element, const FontStyle &band) const;
    QString resolveText(const Element &e, BandKind scope, int group);

    const PageReport &r;
    Document doc;
    QDateTime now;
    double y = 0;
    double bodyTop = 0;   // first y below the repeated headers of the page
    double bottom = 0;    // last y usable by the flowing bands
    Context ctx;
    std::map<Key, Accumulator> sums; // an empty column counts the rows
    std::vector<PendingPageNumber> pageNumbers;
};

QVariant Context::value(const QString &column) const
{
    if (m_sub.isValid() && m_sub.hasColumn(column))
        return m_sub.value(column);
    if (m_detail.isValid() && m_detail.hasColumn(column))
        return m_detail.value(column);
    if (m_sub.isValid() || m_detail.isValid())
        throw std::invalid_argument(
            QStringLiteral("O relatório \"%1\" pede a coluna %2, que os dados não têm.")
                .arg(m_report ? m_report->caption() : QString(), column)
                .toStdString());
    return {};
}

QVariant Context::master(const QString &column) const
{
    if (!m_detail.isValid())
        return {};
    if (!m_detail.hasColumn(column))
        throw std::invalid_argument(
            QStringLiteral("O relatório \"%1\" pede a coluna %2, que os dados não têm.")
                .arg(m_report ? m_report->caption() : QString(), column)
                .toStdString());
    return m_detail.value(column);
}

QVariant Context::param(const QString &name) const
{
    return m_report ? m_report->param(name) : QVariant();
}

QString Context::companyName() const
{
    return m_report ? m_report->companyName() : QString();
}

QDateTime Context::printedAt() const
{
    return m_report ? m_report->printTime() : QDateTime();
}

QVariant Context::sum(const QString &column, Level level) const
{
    return m_layouter ? m_layouter->sum(level, column, m_scope, m_group) : QVariant();
}

int Context::count(Level level) const
{
    return m_layouter ? m_layouter->count(level, m_scope, m_group) : 0;
}

QVariant Layouter::sum(Level level, const QString &column, BandKind scope, int group) const
{
    const auto it = sums.find({static_cast<int>(level), column.toUpper()});
    if (it == sums.end())
        throw std::invalid_argument(
            QStringLiteral("O relatório \"%1\" soma a coluna %2 sem a ter declarado.").arg(r.caption(), column).toStdString());
    const Accumulator &a = it->second;
    switch (scope) {
    case BandKind::Summary: return a.report.value();
    case BandKind::PageFooter: return a.page.value();
    case BandKind::GroupFooter:
        return group >= 0 && group < static_cast<int>(a.groups.size()) ? a.groups[group].value() : a.report.value();
    case BandKind::SubDetailFooter: return level == Level::SubDetail ? a.master.value() : a.report.value();
    default: return a.report.value();
    }
}

int Layouter::count(Level level, BandKind scope, int group) const
{
    // Counted with the sums: a key with an empty column holds the rows.
    const auto it = sums.find({static_cast<int>(level), QString()});
    if (it == sums.end())
        return 0;
    const Accumulator &a = it->second;
    switch (scope) {
    case BandKind::Summary: return a.report.count;
    case BandKind::PageFooter: return a.page.count;
    case BandKind::GroupFooter:
        return group >= 0 && group < static_cast<int>(a.groups.size()) ? a.groups[group].count : a.report.count;
    case BandKind::SubDetailFooter: return level == Level::SubDetail ? a.master.count : a.report.count;
    default: return a.report.count;
    }
}

void Layouter::accumulate(Level level, const Row &row)
{
    for (auto &[key, acc] : sums) {
        if (key.first != static_cast<int>(level))
            continue;
        const QVariant v = key.second.isEmpty() ? QVariant() : row.value(key.second);
        acc.report.add(v);
        acc.page.add(v);
        acc.master.add(v);
        for (Sum &g : acc.groups)
            g.add(v);
    }
}

void Layouter::resetScope(Level level, BandKind scope, int group)
{
    for (auto &[key, acc] : sums) {
        if (key.first != static_cast<int>(level))
            continue;
        if (scope == BandKind::PageFooter)
            acc.page = Sum();
        else if (scope == BandKind::SubDetailFooter)
            acc.master = Sum();
        else if (scope == BandKind::GroupFooter && group >= 0)
            acc.groups[group] = Sum();
    }
}

ResolvedFont Layouter::resolveFont(const FontStyle &element, const FontStyle &band) const
{
    const FontStyle &base = r.defaultFont();
    ResolvedFont f;
    f.family = element.family.value_or(band.family.value_or(base.family.value_or(QStringLiteral("Arial"))));
    f.size = element.size.value_or(band.size.value_or(base.size.value_or(10)));
    f.bold = element.bold.value_or(band.bold.value_or(base.bold.value_or(false)));
    f.italic = element.italic.value_or(band.italic.value_or(base.italic.value_or(false)));
    f.underline = element.underline.value_or(band.underline.value_or(base.underline.value_or(false)));
    return f;
}

QString Layouter::resolveText(const Element &e, BandKind scope, int group)
{
    switch (e.m_source) {
    case Element::Source::Literal: return e.m_argument;
    case Element::Source::Field: return formatValue(ctx.value(e.m_argument), e.m_format);
    case Element::Source::Param: return formatValue(r.param(e.m_argument), e.m_format);
    case Element::Source::Expression: return e.m_expression ? formatValue(e.m_expression(ctx), e.m_format) : QString();
    case Element::Source::SystemDate: return now.date().toString(e.m_format.isEmpty() ? fmt::Date : e.m_format);
    case Element::Source::SystemTime: return now.time().toString(e.m_format.isEmpty() ? fmt::Time : e.m_format);
    case Element::Source::PageNumber: return e.m_argument; // filled in when the pages are counted
    case Element::Source::CompanyName: return r.companyName();
    case Element::Source::Sum: return formatValue(sum(e.m_level, e.m_argument, scope, group), e.m_format);
    case Element::Source::Count: return formatValue(count(e.m_level, scope, group), e.m_format);
    }
    return {};
}

void Layouter::place(const Band &band, int group)
{
    Page &page = doc.pages.last();
    const int index = static_cast<int>(page.bands.size());
    const double left = r.marginLeft();
    const double width = r.contentWidth();
    page.bands.append({band.kind(), band.name(), y, band.height()});
    ctx.m_scope = band.kind();
    ctx.m_group = group;
    ctx.m_page = doc.pageCount();

    auto addLine = [&](QLineF line, LineStyle style, double pen) {
        Item item;
        item.kind = Element::Kind::Line;
        item.band = index;
        item.line = line;
        item.style = style;
        item.penWidth = pen;
        page.items.append(item);
    };

    for (const auto &ptr : band.elements()) {
        const Element &e = *ptr;
        Item item;
        item.kind = e.m_kind;
        item.band = index;
        item.style = e.m_lineStyle;
        item.penWidth = e.m_penWidth;
        item.fill = e.m_fill;
        switch (e.m_kind) {
        case Element::Kind::Text: {
            item.font = resolveFont(e.m_font, band.font());
            const double w = e.m_w > 0 ? e.m_w : width - e.m_x;
            const double h = e.m_h > 0 ? e.m_h : item.font.size * 0.3528 * 1.25;
            item.rect = QRectF(left + e.m_x, y + e.m_y, w, h);
            item.align = e.m_align;
            item.text = resolveText(e, band.kind(), group);
            if (e.m_source == Element::Source::PageNumber)
                pageNumbers.push_back({doc.pageCount() - 1, static_cast<int>(page.items.size()), e.m_argument});
            break;
        }
        case Element::Kind::Line:
            if (e.m_argument == QLatin1String("h")) {
                const double x2 = e.m_w > 0 ? e.m_x + e.m_w : width;
                item.line = QLineF(left + e.m_x, y + e.m_y, left + x2, y + e.m_y);
            } else {
                const double y2 = e.m_h > 0 ? e.m_y + e.m_h : band.height();
                item.line = QLineF(left + e.m_x, y + e.m_y, left + e.m_x, y + y2);
            }
            break;
        case Element::Kind::Box: {
            const double w = e.m_w > 0 ? e.m_w : width - e.m_x;
            const double h = e.m_h > 0 ? e.m_h : band.height() - e.m_y;
            item.rect = QRectF(left + e.m_x, y + e.m_y, w, h);
            break;
        }
        }
        page.items.append(item);
    }

    const Sides frame = band.m_frame;
    const double top = y, bot = y + band.height(), right = left + width;
    if (frame.testFlag(Side::Top))
        addLine(QLineF(left, top, right, top), band.m_frameStyle, band.m_framePen);
    if (frame.testFlag(Side::Bottom))
        addLine(QLineF(left, bot, right, bot), band.m_frameStyle, band.m_framePen);
    if (frame.testFlag(Side::Left))
        addLine(QLineF(left, top, left, bot), band.m_frameStyle, band.m_framePen);
    if (frame.testFlag(Side::Right))
        addLine(QLineF(right, top, right, bot), band.m_frameStyle, band.m_framePen);

    y += band.height();
}

bool Layouter::shouldPrint(const Band *band)
{
    if (!band)
        return false;
    ctx.m_scope = band->kind();
    return !band->m_condition || band->m_condition(ctx);
}

void Layouter::startPage()
{
    doc.pages.append(Page());
    y = r.marginTop();
    const bool first = doc.pageCount() == 1;
    ctx.m_page = doc.pageCount();
    if (r.m_pageHeader && (!first || r.m_pageHeaderOnFirst) && shouldPrint(r.m_pageHeader.get()))
        place(*r.m_pageHeader);
    if (first && shouldPrint(r.m_title.get()))
        place(*r.m_title);
    if (shouldPrint(r.m_columnHeader.get()))
        place(*r.m_columnHeader);
    bodyTop = y;
    bottom = r.pageSize().height() - r.marginBottom() - (r.m_pageFooter ? r.m_pageFooter->height() : 0);
}

void Layouter::endPage()
{
    if (shouldPrint(r.m_pageFooter.get())) {
        y = bottom;
        place(*r.m_pageFooter);
    }
    resetScope(Level::Detail, BandKind::PageFooter, -1);
    resetScope(Level::SubDetail, BandKind::PageFooter, -1);
}

void Layouter::ensure(double height)
{
    // A band taller than a whole page goes on a page of its own rather
    // than breaking forever.
    if (!fits(height) && y > bodyTop + 1e-6) {
        endPage();
        startPage();
    }
}

void Layouter::printGroupFooters(size_t from)
{
    for (size_t g = r.m_groups.size(); g-- > from;) {
        const Band *footer = r.m_groups[g]->m_footer.get();
        ctx.m_group = static_cast<int>(g);
        if (shouldPrint(footer)) {
            ensure(footer->height());
            place(*footer, static_cast<int>(g));
        }
    }
}

Document Layouter::run()
{
    now = r.printTime().isValid() ? r.printTime() : QDateTime::currentDateTime();
    doc.caption = r.caption();
    doc.paper = r.paper();
    doc.orientation = r.orientation();
    doc.paperSize = r.pageSize();
    ctx.m_report = &r;
    ctx.m_layouter = this;

    // The sums the bands ask for, and the row counts.
    const size_t groupCount = r.m_groups.size();
    auto track = [&](Level level, const QString &column) {
        Accumulator &a = sums[{static_cast<int>(level), column.toUpper()}];
        a.groups.resize(groupCount);
    };
    track(Level::Detail, QString());
    track(Level::SubDetail, QString());
    for (const auto &[level, column] : r.m_tracked)
        track(level, column);
    auto scan = [&](const Band *band) {
        if (!band)
            return;
        for (const auto &e : band->elements()) {
            if (e->source() == Element::Source::Sum)
                track(e->level(), e->argument());
        }
    };
    for (const Band *b : {r.m_pageHeader.get(), r.m_title.get(), r.m_columnHeader.get(), r.m_detail.get(),
                          r.m_subDetailHeader.get(), r.m_subDetail.get(), r.m_subDetailFooter.get(),
                          r.m_summary.get(), r.m_pageFooter.get()})
        scan(b);
    for (const auto &g : r.m_groups) {
        scan(g->m_header.get());
        scan(g->m_footer.get());
    }

    startPage();

    const Rows &rows = r.rows();
    std::vector<QVariant> keys(groupCount);
    for (int i = 0; i < rows.count(); ++i) {
        ctx.m_detail = rows.row(i);
        ctx.m_sub = Row();

        // Groups: close those whose key changed (innermost first), open anew.
        size_t changed = groupCount;
        for (size_t g = 0; g < groupCount; ++g) {
            const QVariant key = r.m_groups[g]->m_key(ctx);
            if (i == 0 || key != keys[g]) {
                changed = g;
                break;
            }
        }
        if (changed < groupCount) {
            if (i > 0) {
                // Footers still see the last row of the group.
                ctx.m_detail = rows.row(i - 1);
                printGroupFooters(changed);
                ctx.m_detail = rows.row(i);
            }
            for (size_t g = changed; g < groupCount; ++g) {
                const Group &group = *r.m_groups[g];
                keys[g] = group.m_key(ctx);
                for (auto &[key, acc] : sums)
                    acc.groups[g] = Sum();
                if (group.m_newPage && i > 0 && y > bodyTop + 1e-6) {
                    endPage();
                    startPage();
                }
                ctx.m_group = static_cast<int>(g);
                if (shouldPrint(group.m_header.get())) {
                    // Keep a group's header with its first row.
                    ensure(group.m_header->height() + (r.m_detail ? r.m_detail->height() : 0));
                    place(*group.m_header, static_cast<int>(g));
                }
            }
        }

        const bool printDetail = shouldPrint(r.m_detail.get());
        if (printDetail)
            ensure(r.m_detail->height());
        accumulate(Level::Detail, ctx.m_detail);
        if (printDetail)
            place(*r.m_detail);

        if (r.m_subRows) {
            const Rows subRows = r.m_subRows(ctx.m_detail);
            if (!subRows.isEmpty()) {
                resetScope(Level::SubDetail, BandKind::SubDetailFooter, -1);
                ctx.m_sub = Row();
                if (shouldPrint(r.m_subDetailHeader.get())) {
                    ensure(r.m_subDetailHeader->height() + (r.m_subDetail ? r.m_subDetail->height() : 0));
                    place(*r.m_subDetailHeader);
                }
                for (int j = 0; j < subRows.count(); ++j) {
                    ctx.m_sub = subRows.row(j);
                    const bool printSub = shouldPrint(r.m_subDetail.get());
                    if (printSub)
                        ensure(r.m_subDetail->height());
                    accumulate(Level::SubDetail, ctx.m_sub);
                    if (printSub)
                        place(*r.m_subDetail);
                }
                if (shouldPrint(r.m_subDetailFooter.get())) {
                    ensure(r.m_subDetailFooter->height());
                    place(*r.m_subDetailFooter);
                }
                ctx.m_sub = Row();
            }
        }
    }
    if (rows.count() > 0)
        printGroupFooters(0);

    ctx.m_group = -1;
    if (shouldPrint(r.m_summary.get())) {
        ensure(r.m_summary->height());
        place(*r.m_summary);
    }
    endPage();

    const int total = doc.pageCount();
    for (const PendingPageNumber &p : pageNumbers) {
        QString text = p.pattern;
        text.replace(QLatin1String("%1"), QString::number(p.page + 1));
        text.replace(QLatin1String("%2"), QString::number(total));
        doc.pages[p.page].items[p.item].text = text;
    }
    return std::move(doc);
}

Document PageReport::layout() const
{
    Layouter layouter(*this);
    return layouter.run();
}

bool PageReport::writePdf(const QString &path, QString *error) const
{
    return layout().writePdf(path, error);
}

} // namespace reports
