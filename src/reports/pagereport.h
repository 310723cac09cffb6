#pragma once

// The page reports of the system (lists, daily reports, the sales order
// printout) are declared here as bands, the way the printed forms are
// drawn: a page header on every page, a title on the first page, a column
// header repeated on every page, optional group headers and footers, one
// detail band per row with optional sub-detail bands per row (a sale and
// its items), a summary at the end and a page footer. Bands hold texts,
// data fields with formats, the system date and time, the page number,
// sums, rules and boxes, all placed in millimetres from the band's top-left
// corner (x from the left margin). layout() pours the rows through the
// bands into pages (a Document, see document.h), breaking pages and
// repeating the headers; the Document is shown in the preview, written as
// PDF and dumped as text for the tests.
//
// A short report:
//
//   reports::PageReport r(QStringLiteral("Relatório Diário do Caixa"));
//   r.setCompanyName(razaoSocial);
//   r.pageHeader(8).companyName(0, 1, 0).center().bold().size(12);
//   r.addColumns({{"DATA", "DATA", 25},
//                 {"HISTÓRICO", "DESCRICAO", 110},
//                 {"VALOR", "VALOR", 30, reports::Align::Right, reports::fmt::Money}});
//   auto &s = r.summary(8);
//   s.text(100, 2, 40, "TOTAL").bold();
//   s.sum(140, 2, 30, "VALOR", reports::fmt::Currency).right().bold();
//   r.setRows(result);                   // a db::Result, or reports::Rows
//   reports::preview(r, window);        // or r.writePdf(path), r.layout().dump()

#include "reports/format.h"
#include "reports/rows.h"

#include <QColor>
#include <QDateTime>
#include <QFlags>
#include <QSizeF>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace db {
class Result;
}

namespace reports {

class Document;
class Layouter;
class PageReport;

enum class Paper { Letter, A4 };
enum class Orientation { Portrait, Landscape };
enum class Align { Left, Center, Right };
enum class LineStyle { Solid, Dotted, Dashed };

// Which rows a sum runs over: the detail rows or the sub-detail rows.
enum class Level { Detail, SubDetail };

enum class BandKind {
    PageHeader,      // every page (the first too unless switched off)
    Title,           // first page, under the page header
    ColumnHeader,    // every page, under the page header (and title)
    GroupHeader,     // when a group's key changes
    Detail,          // once per row
    SubDetailHeader, // before the sub-detail rows of a row (when it has some)
    SubDetail,       // once per sub-detail row
    SubDetailFooter, // after them
    GroupFooter,     // when a group ends
    Summary,         // once, after the last row
    PageFooter,      // bottom of every page
};

// The band's name in the text dump ("detalhe", "resumo", ...).
QString bandLabel(BandKind kind);

enum class Side { Top = 1, Bottom = 2, Left = 4, Right = 8, All = 15 };
Q_DECLARE_FLAGS(Sides, Side)
Q_DECLARE_OPERATORS_FOR_FLAGS(Sides)

// Font attributes; those left unset come from the band, then the report.
struct FontStyle
{
    std::optional<QString> family = {};
    std::optional<double> size = {}; // points
    std::optional<bool> bold = {};
    std::optional<bool> italic = {};
    std::optional<bool> underline = {};
};

// What a computed value sees while its band is being laid out.
class Context
{
public:
    // A column of the current row: the sub-detail row in the sub-detail
    // bands, otherwise the detail row; a column the sub-detail row lacks is
    // read from its detail row. Throws std::invalid_argument for a column
    // that neither row has.
    QVariant value(const QString &column) const;
    // A column of the current detail row (the master of a sub-detail).
    QVariant master(const QString &column) const;
    bool hasRow() const { return m_detail.isValid(); }
    Row row() const { return m_sub.isValid() ? m_sub : m_detail; }
    // 1-based number of the current detail row (0 before the first).
    int recordNumber() const { return m_detail.isValid() ? m_detail.index() + 1 : 0; }
    QVariant param(const QString &name) const;
    QString companyName() const;
    QDateTime printedAt() const;
    int page() const { return m_page; }
    // Sum and count of a column over the rows of this band's scope: the
    // whole report in the summary, the page in the page footer, the group
    // in a group footer, the detail row's sub-detail rows in a sub-detail
    // footer, and everything so far (a running total) elsewhere. Sums of
    // db::Decimal and integers are exact db::Decimal; any double makes the
    // sum a double. A column must be named by a sum element or by
    // PageReport::trackSum to be summed.
    QVariant sum(const QString &column, Level level = Level::Detail) const;
    int count(Level level = Level::Detail) const;

private:
    friend class Layouter;
    const PageReport *m_report = nullptr;
    const Layouter *m_layouter = nullptr;
    Row m_detail;
    Row m_sub;
    BandKind m_scope = BandKind::Detail;
    int m_group = -1;
    int m_page = 0;
};

using Expression = std::function<QVariant(const Context &)>;

// One thing printed by a band. Made by the Band's adders, then adjusted
// with the chained setters: band.field(...).right().bold().format(fmt::Money).
class Element
{
public:
    enum class Kind { Text, Line, Box };
    enum class Source { Literal, Field, Param, Expression, SystemDate, SystemTime, PageNumber, CompanyName, Sum, Count };

    Element &align(Align a) { m_align = a; return *this; }
    Element &left() { return align(Align::Left); }
    Element &center() { return align(Align::Center); }
    Element &right() { return align(Align::Right); }
    Element &font(const FontStyle &f) { m_font = f; return *this; }
    Element &family(const QString &f) { m_font.family = f; return *this; }
    Element &size(double points) { m_font.size = points; return *this; }
    Element &bold(bool on = true) { m_font.bold = on; return *this; }
    Element &italic(bool on = true) { m_font.italic = on; return *this; }
    Element &underline(bool on = true) { m_font.underline = on; return *this; }
    // Number mask or date pattern (format.h).
    Element &format(const QString &f) { m_format = f; return *this; }
    // Height of a text's box (the text is centred vertically in it); by
    // default the height of one line of its font.
    Element &height(double mm) { m_h = mm; return *this; }
    // Rules and boxes.
    Element &style(LineStyle s) { m_lineStyle = s; return *this; }
    Element &dotted() { return style(LineStyle::Dotted); }
    Element &penWidth(double mm) { m_penWidth = mm; return *this; }
    Element &fill(const QColor &c) { m_fill = c; return *this; }
    // Sums over the sub-detail rows instead of the detail rows.
    Element &over(Level level) { m_level = level; return *this; }

    Kind kind() const { return m_kind; }
    Source source() const { return m_source; }
    QString argument() const { return m_argument; }
    Level level() const { return m_level; }

private:
    friend class Band;
    friend class Layouter;
    Kind m_kind = Kind::Text;
    Source m_source = Source::Literal;
    QString m_argument;  // text, column, parameter name or page pattern
    Expression m_expression;
    double m_x = 0, m_y = 0, m_w = 0, m_h = 0;
    Align m_align = Align::Left;
    FontStyle m_font;
    QString m_format;
    LineStyle m_lineStyle = LineStyle::Solid;
    double m_penWidth = 0.2;
    QColor m_fill;
    Level m_level = Level::Detail;
};

// A horizontal strip of the page. Positions and sizes in millimetres; x
// from the left margin, y from the band's top. A width of 0 reaches the
// right margin; a height of 0 (rules, boxes) reaches the band's bottom.
class Band
{
public:
    Band(BandKind kind, double height);
    Band(const Band &) = delete;
    Band &operator=(const Band &) = delete;

    BandKind kind() const { return m_kind; }
    double height() const { return m_height; }
    Band &setHeight(double mm) { m_height = mm; return *this; }
    // Name in the text dump instead of the kind's label.
    Band &setName(const QString &name) { m_name = name; return *this; }
    QString name() const { return m_name.isEmpty() ? bandLabel(m_kind) : m_name; }
    // Default font of the band's texts.
    Band &setFont(const FontStyle &font) { m_font = font; return *this; }
    const FontStyle &font() const { return m_font; }
    // Rules along the band's edges (the left and right ones at the margins).
    Band &setFrame(Sides sides, LineStyle style = LineStyle::Solid, double penWidth = 0.2);
    // The band prints only when the condition holds (sums still count).
    Band &printIf(std::function<bool(const Context &)> condition);

    Element &text(double x, double y, double w, const QString &text);
    Element &field(double x, double y, double w, const QString &column, const QString &format = {});
    Element &param(double x, double y, double w, const QString &name, const QString &format = {});
    Element &expression(double x, double y, double w, Expression value, const QString &format = {});
    Element &systemDate(double x, double y, double w, const QString &format = fmt::Date);
    Element &systemTime(double x, double y, double w, const QString &format = fmt::Time);
    // pattern: %1 the page, %2 the number of pages ("Página %1 de %2").
    Element &pageNumber(double x, double y, double w, const QString &pattern = QStringLiteral("%1"));
    Element &companyName(double x, double y, double w);
    Element &sum(double x, double y, double w, const QString &column, const QString &format = {});
    Element &count(double x, double y, double w);
    // A horizontal rule at y from x1 to x2 (x2 0: the right margin).
    Element &hline(double y, double x1 = 0, double x2 = 0);
    // A vertical rule at x from y1 to y2 (y2 0: the band's bottom).
    Element &vline(double x, double y1 = 0, double y2 = 0);
    Element &box(double x, double y, double w = 0, double h = 0);

    const std::vector<std::unique_ptr<Element>> &elements() const { return m_elements; }

private:
    friend class Layouter;
    Element &add(Element::Kind kind, Element::Source source, double x, double y, double w, double h);

    BandKind m_kind;
    double m_height;
    QString m_name;
    FontStyle m_font;
    Sides m_frame;
    LineStyle m_frameStyle = LineStyle::Solid;
    double m_framePen = 0.2;
    std::function<bool(const Context &)> m_condition;
    std::vector<std::unique_ptr<Element>> m_elements;
};

// Rows grouped by a key: a header when the key changes, a footer when it
// is about to.
class Group
{
public:
    Band &header(double height = -1);
    Band &footer(double height = -1);
    bool hasHeader() const { return m_header != nullptr; }
    bool hasFooter() const { return m_footer != nullptr; }
    // Each group after the first starts on a new page.
    Group &setNewPage(bool on = true) { m_newPage = on; return *this; }

private:
    friend class PageReport;
    friend class Layouter;
    Expression m_key;
    std::unique_ptr<Band> m_header;
    std::unique_ptr<Band> m_footer;
    bool m_newPage = false;
};

// A column of addColumns: its title in the column header band and its
// field in the detail (or sub-detail) band, side by side.
struct Column
{
    QString title;
    QString field;  // empty: nothing in the detail band
    double width = 20;
    Align align = Align::Left;
    QString format = {};
};

struct ColumnOptions
{
    double x = 0;                // left edge of the first column
    double padding = 1;          // between a column's edge and its text
    bool verticalRules = false;  // rules around every column of each row
    bool ruleUnderHeader = true;
    bool ruleUnderRows = false;
    LineStyle style = LineStyle::Solid;
    Level level = Level::Detail; // fields in the sub-detail band instead
};

class PageReport
{
public:
    explicit PageReport(const QString &caption = {});
    ~PageReport();
    PageReport(const PageReport &) = delete;
    PageReport &operator=(const PageReport &) = delete;

    // Title of the preview window and of the PDF.
    void setCaption(const QString &caption) { m_caption = caption; }
    QString caption() const { return m_caption; }

    void setPaper(Paper paper, Orientation orientation = Orientation::Portrait);
    Paper paper() const { return m_paper; }
    Orientation orientation() const { return m_orientation; }
    // Millimetres.
    void setMargins(double left, double top, double right, double bottom);
    void setMargins(double all) { setMargins(all, all, all, all); }
    double marginLeft() const { return m_marginLeft; }
    double marginTop() const { return m_marginTop; }
    double marginRight() const { return m_marginRight; }
    double marginBottom() const { return m_marginBottom; }
    // Paper size in millimetres as oriented, and the part inside the margins.
    QSizeF pageSize() const;
    double contentWidth() const;
    double contentHeight() const;

    // The company's legal name (RAZAOSOCIAL), printed by companyName().
    void setCompanyName(const QString &name) { m_companyName = name; }
    QString companyName() const { return m_companyName; }
    // Values the window hands to the report (a total as shown, the
    // period as typed), printed by param().
    void setParam(const QString &name, const QVariant &value) { m_params.insert(name.toUpper(), value); }
    QVariant param(const QString &name) const { return m_params.value(name.toUpper()); }
    // Report-wide default font; Arial 10 unless changed.
    void setDefaultFont(const FontStyle &font);
    const FontStyle &defaultFont() const { return m_font; }
    // The moment printed as system date and time; the time of layout()
    // when not set.
    void setPrintTime(const QDateTime &when) { m_printTime = when; }
    QDateTime printTime() const { return m_printTime; }

    // The bands, created on first use; a height >= 0 (mm) sets the height.
    Band &pageHeader(double height = -1);
    Band &title(double height = -1);
    Band &columnHeader(double height = -1);
    Band &detail(double height = -1);
    Band &subDetailHeader(double height = -1);
    Band &subDetail(double height = -1);
    Band &subDetailFooter(double height = -1);
    Band &summary(double height = -1);
    Band &pageFooter(double height = -1);
    // The page header is printed on the first page too unless switched off.
    void setPageHeaderOnFirstPage(bool on) { m_pageHeaderOnFirst = on; }
    // Groups nest in the order they are added (the first is the outermost).
    Group &addGroup(const QString &column);
    Group &addGroup(Expression key);

    // The column header titles and detail fields of a plain list.
    void addColumns(const std::vector<Column> &columns, const ColumnOptions &options = {});

    void setRows(const Rows &rows) { m_rows = rows; }
    void setRows(const db::Result &result);
    const Rows &rows() const { return m_rows; }
    // Sub-detail rows of each detail row, from a function of the row...
    void setSubDetailRows(std::function<Rows(const Row &master)> rowsOf);
    // ...or picked from all of them by a linking column: the sub-detail rows
    // whose linkColumn equals the detail row's masterColumn (same name
    // when empty).
    void setSubDetailRows(const Rows &all, const QString &linkColumn, const QString &masterColumn = {});

    // Makes Context::sum() of a column available to expressions.
    void trackSum(const QString &column, Level level = Level::Detail);

    // The report poured into pages. Throws std::invalid_argument when a
    // field names a column its rows do not have.
    Document layout() const;
    // layout() written straight to a PDF file; false with a message when
    // the file cannot be written.
    bool writePdf(const QString &path, QString *error = nullptr) const;

private:
    friend class Layouter;
    Band &band(std::unique_ptr<Band> &slot, BandKind kind, double height, double defaultHeight);

    QString m_caption;
    Paper m_paper = Paper::Letter;
    Orientation m_orientation = Orientation::Portrait;
    double m_marginLeft = 10, m_marginTop = 10, m_marginRight = 10, m_marginBottom = 10;
    QString m_companyName;
    QVariantMap m_params;
    FontStyle m_font;
    QDateTime m_printTime;
    bool m_pageHeaderOnFirst = true;

    std::unique_ptr<Band> m_pageHeader, m_title, m_columnHeader, m_detail, m_subDetailHeader, m_subDetail,
        m_subDetailFooter, m_summary, m_pageFooter;
    std::vector<std::unique_ptr<Group>> m_groups;

    Rows m_rows;
    std::function<Rows(const Row &)> m_subRows;
    std::vector<std::pair<Level, QString>> m_tracked;
};

} // namespace reports
