#include "print/PrintLayout.h"

#include "document/Cp1252.h"
#include "print/ForwardingCanvas.h"
#include "print/NameWrap.h"
#include "print/PrintSettingsError.h"
#include "print/ReportLayout.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

// Millimetres per inch of the margin conversion: 25.39995, not 25.4, which decides the dot a margin lands on.
constexpr double kMillimetresPerInch = 25.39995;

// 5 millimetres between the name column and the assembly column.
constexpr int kColumnGapMillimetres = 5;

double millimetresToDots(int millimetres, int dpi)
{
    return static_cast<double>(millimetres) * dpi / kMillimetresPerInch;
}

} // namespace

int marginToDots(int millimetres, int dpi)
{
    return static_cast<int>(std::trunc(millimetresToDots(millimetres, dpi)));
}

std::optional<QString> printSettingsProblem(const PrintCanvas &canvas, const PrintMargins &margins,
                                            const PrintFont &font)
{
    // The right and bottom edges as the layout computes them: the page minus the unrounded margin.
    const double right = canvas.pageWidth() - millimetresToDots(margins.right, canvas.dpiX());
    const double bottom = canvas.pageHeight() - millimetresToDots(margins.bottom, canvas.dpiY());
    if (std::trunc(right) <= marginToDots(margins.left, canvas.dpiX()) ||
        std::trunc(bottom) <= marginToDots(margins.top, canvas.dpiY()))
        return QStringLiteral("Die Ränder sind größer als die Seite.");
    if (font.size < 1 || font.size > kMaxPrintFontSize)
        return QStringLiteral("Die Schriftgröße muss zwischen 1 und %1 Punkt liegen.").arg(kMaxPrintFontSize);
    return std::nullopt;
}

QString fontTooTallText()
{
    return QStringLiteral("Die Schrift ist zu groß für die Seite.");
}

bool fontTallerThanPage(PrintCanvas &canvas, const PrintFont &font)
{
    const QString blank(u' ');
    canvas.setFont(font);
    canvas.setFontStyle(FontStyle{.bold = true});
    const int bold = canvas.textHeight(blank);
    canvas.setFontStyle(FontStyle{});
    const int regular = canvas.textHeight(blank);
    // A line is never lower than the font's size; where a font engine gives up on a huge size and
    // reports a small height, the size still tells.
    const qint64 nominal = qint64(font.size) * canvas.dpiY() / 72;
    return std::max<qint64>({bold, regular, nominal}) > canvas.pageHeight();
}

QString pageFrameName(const QString &currentFileName)
{
    if (currentFileName.isEmpty())
        return QStringLiteral("Kein Name");
    QString name = QFileInfo(currentFileName).fileName();
    const QString suffix = QStringLiteral(".mal");
    if (name.size() > suffix.size() && name.endsWith(suffix, Qt::CaseInsensitive))
        name.chop(suffix.size());
    return name;
}

PrintLayout::PrintLayout(PrintCanvas &canvas, const PrintMargins &margins)
    : m_canvas(canvas), m_width(canvas.pageWidth()),
      m_right(static_cast<int>(std::trunc(canvas.pageWidth() - millimetresToDots(margins.right, canvas.dpiX())))),
      m_left(marginToDots(margins.left, canvas.dpiX())), m_nameLeft(m_left),
      m_top(marginToDots(margins.top, canvas.dpiY())),
      // The subtraction is made before truncating, so the limit can lie one dot lower than H minus the margin.
      m_bottom(static_cast<int>(std::trunc(canvas.pageHeight() - millimetresToDots(margins.bottom, canvas.dpiY())))),
      m_gap(marginToDots(kColumnGapMillimetres, canvas.dpiX())), m_assemblyColumn(m_left + m_gap), m_y(m_top),
      m_limit(m_bottom), m_bodyTop(m_top)
{
}

bool PrintLayout::makeRoom(qint64 h)
{
    if (m_y + h <= m_limit || m_y <= m_bodyTop)
        return false;
    m_canvas.newPage();
    m_y = m_top;
    m_bodyTop = m_top;
    if (m_startPage)
        m_startPage();
    return true;
}

void PrintLayout::PrintLine(const QString &text)
{
    const int h = m_canvas.textHeight(text);
    makeRoom(h);
    m_canvas.drawText(m_left, m_y, text);
    m_y += h;
}

int PrintLayout::nameColumnWidth(int widestName, int widestAssembly) const
{
    const int room = m_width - m_nameLeft - m_gap;
    if (widestName + widestAssembly <= room)
        return widestName;
    return std::min(widestName, std::max({room - widestAssembly, m_width / 2, 1}));
}

PrintLayout::Columns PrintLayout::framedColumns(int widestName, int widestAssembly) const
{
    const int room = std::max(m_right - m_nameLeft - m_gap, 2);
    if (qint64(widestName) + widestAssembly <= room)
        return {widestName, room - widestName};
    const int assembly = std::clamp(widestAssembly, room * 3 / 10, room / 2);
    const int name = std::max(std::min(widestName, room - assembly), 1);
    return {name, room - name};
}

void PrintLayout::PrintRow(const std::vector<QString> &nameLines, const QString &assembly)
{
    PrintNumberedRow(QString(), nameLines, {assembly});
}

namespace {

// The line of a row that gives the height of its i-th line: the name's, else the assembly's.
const QString &rowLine(const std::vector<QString> &nameLines, const std::vector<QString> &assemblyLines, std::size_t i)
{
    return i < nameLines.size() ? nameLines[i] : assemblyLines[i];
}

} // namespace

qint64 PrintLayout::rowHeight(const std::vector<QString> &nameLines, const std::vector<QString> &assemblyLines)
{
    qint64 height = 0; // a huge name in a huge font can have more dots than an int holds
    for (std::size_t i = 0; i < std::max(nameLines.size(), assemblyLines.size()); ++i)
        height += m_canvas.textHeight(rowLine(nameLines, assemblyLines, i));
    return height;
}

void PrintLayout::PrintNumberedRow(const QString &number, const std::vector<QString> &nameLines,
                                   const std::vector<QString> &assemblyLines)
{
    const std::size_t count = std::max(nameLines.size(), assemblyLines.size());
    std::vector<int> heights;
    heights.reserve(count);
    qint64 height = 0;
    for (std::size_t i = 0; i < count; ++i) {
        heights.push_back(m_canvas.textHeight(rowLine(nameLines, assemblyLines, i)));
        height += heights.back();
    }
    makeRoom(height);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            makeRoom(heights[i]); // breaks only inside a row taller than the page
        if (i == 0 && !number.isEmpty())
            m_canvas.drawText(m_nameLeft - m_gap - m_canvas.textWidth(number), m_y, number);
        if (i < nameLines.size())
            m_canvas.drawText(m_nameLeft, m_y, nameLines[i]);
        if (i < assemblyLines.size())
            m_canvas.drawText(m_assemblyColumn, m_y, assemblyLines[i]);
        m_y += heights[i];
    }
}

namespace {

// The rows of a printout as the layout puts them: the lines of each name and of each assembly, wrapped
// to their columns.
struct PreparedRows {
    std::vector<std::vector<QString>> names;
    std::vector<std::vector<QString>> assemblies;
    int widestName = 0;
    int widestAssembly = 0;
};

// Splits and measures the names and assemblies in the current font; assemblies are split at their
// line breaks only when `splitAssemblies`, else each is one line as it stands.
PreparedRows measureRows(PrintCanvas &canvas, const std::vector<ListEntry> &rows, bool splitAssemblies)
{
    PreparedRows prepared;
    prepared.names.reserve(rows.size());
    prepared.assemblies.reserve(rows.size());
    for (const ListEntry &entry : rows) {
        prepared.names.push_back(namewrap::splitLines(cp1252::toUnicode(entry.caption())));
        const QString assembly = entry.subItemCount() == 0 ? QString() : cp1252::toUnicode(entry.subItem(0));
        prepared.assemblies.push_back(splitAssemblies ? namewrap::splitLines(assembly) : std::vector{assembly});
        for (const QString &line : prepared.names.back())
            prepared.widestName = std::max(prepared.widestName, canvas.textWidth(line));
        for (const QString &line : prepared.assemblies.back())
            prepared.widestAssembly = std::max(prepared.widestAssembly, canvas.textWidth(line));
    }
    return prepared;
}

// Wraps every line wider than the column; `widest` is the widest of them all.
void wrapColumn(PrintCanvas &canvas, std::vector<std::vector<QString>> &texts, int widest, int column)
{
    if (column >= widest)
        return;
    const auto measure = [&canvas](const QString &text) { return canvas.textWidth(text); };
    for (std::vector<QString> &text : texts) {
        std::vector<QString> lines;
        for (const QString &line : text) {
            for (QString &part : namewrap::wrapLine(line, column, measure))
                lines.push_back(std::move(part));
        }
        text = std::move(lines);
    }
}

// A canvas that lays out without drawing anything: it measures on the real canvas and counts pages,
// so that a layout run over it tells how many pages the printout will have.
class PageCounter : public ForwardingCanvas {
public:
    using ForwardingCanvas::ForwardingCanvas;

    int pages() const { return m_pages; }

    void beginDocument(const QString &) override {}
    void endDocument() override {}
    void newPage() override { ++m_pages; }
    void drawText(int, int, const QString &) override {}
    void drawHorizontalLine(int, int, int) override {}

private:
    int m_pages = 1;
};

// A canvas that passes on the selected pages only. The layout runs over every page, so that each
// page keeps its number and its place in the list; the printer receives the selected ones one after
// the other, the first of them on the page the job opened.
class PageFilter : public ForwardingCanvas {
public:
    PageFilter(PrintCanvas &target, const PageSelection &pages)
        : ForwardingCanvas(target), m_pages(pages), m_selected(pages.contains(1)), m_started(m_selected)
    {
    }

    void newPage() override
    {
        m_selected = m_pages.contains(++m_page);
        if (!m_selected)
            return;
        if (m_started)
            ForwardingCanvas::newPage();
        m_started = true;
    }
    void drawText(int x, int y, const QString &text) override
    {
        if (m_selected)
            ForwardingCanvas::drawText(x, y, text);
    }
    void drawHorizontalLine(int x, int y, int width) override
    {
        if (m_selected)
            ForwardingCanvas::drawHorizontalLine(x, y, width);
    }

private:
    const PageSelection &m_pages;
    int m_page = 1;
    bool m_selected; // the current page is passed on
    bool m_started;  // a page was passed on: the next selected one needs a new page
};

const FontStyle kBold{.bold = true};

// Puts a prepared printout on a canvas; the page count is that of a run before (0 when unknown).
using LayoutRun = std::function<void(PrintCanvas &canvas, int pageCount)>;

struct PreparedPrintout {
    LayoutRun run;
    int pages = 0; // 0 when not counted
};

int countedPages(PrintCanvas &canvas, const LayoutRun &run)
{
    PageCounter counter(canvas);
    run(counter, 0);
    return counter.pages();
}

// The printout without a frame: title, blank line, rows, blank line.
PreparedPrintout preparePlain(PrintCanvas &canvas, const std::vector<ListEntry> &rows, const PrintMargins &margins)
{
    canvas.setFontStyle(FontStyle{});
    PreparedRows prepared = measureRows(canvas, rows, false);
    const int nameColumn = PrintLayout(canvas, margins).nameColumnWidth(prepared.widestName, prepared.widestAssembly);
    wrapColumn(canvas, prepared.names, prepared.widestName, nameColumn);
    return {[prepared = std::move(prepared), nameColumn, margins](PrintCanvas &c, int) {
        const QString blank(u' ');
        PrintLayout layout(c, margins);
        c.setFontStyle(kBold);
        layout.PrintLine(printDocumentName());
        layout.PrintLine(blank);
        c.setFontStyle(FontStyle{});
        layout.setAssemblyColumn(nameColumn);
        for (std::size_t i = 0; i < prepared.names.size(); ++i)
            layout.PrintNumberedRow(QString(), prepared.names[i], prepared.assemblies[i]);
        layout.PrintLine(blank);
    }};
}

// The printout with header, column headings, numbered rows and footer on every page, and the report's
// parts. Everything ends at the right edge: names and assemblies wrap in their columns, the header's
// texts are shortened. Refuses a font with which header, headings, one row and footer (or the
// signatures) do not fit on a page, or whose footer is wider than the page.
PreparedPrintout prepareFramed(PrintCanvas &canvas, const std::vector<ListEntry> &rows, const PrintMargins &margins,
                               const PageFrame &frame)
{
    const QString blank(u' ');
    const QString numberHeading = QStringLiteral("Nr.");
    const QString nameHeading = QStringLiteral("Mangel");
    const QString assemblyHeading = QStringLiteral("Baugruppe");
    const auto measure = [&canvas](const QString &text) { return canvas.textWidth(text); };
    canvas.setFontStyle(kBold);
    const int numberHeadingWidth = canvas.textWidth(numberHeading);
    const int nameHeadingWidth = canvas.textWidth(nameHeading);
    const int assemblyHeadingWidth = canvas.textWidth(assemblyHeading);
    const int headingHeight = canvas.textHeight(numberHeading);
    canvas.setFontStyle(FontStyle{});
    const int line = canvas.textHeight(blank);
    PreparedRows prepared = measureRows(canvas, rows, true);
    std::vector<QString> numbers;
    numbers.reserve(rows.size());
    int numberColumn = numberHeadingWidth;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        numbers.push_back(QString::number(i + 1) + u'.');
        numberColumn = std::max(numberColumn, canvas.textWidth(numbers.back()));
    }
    PrintLayout measuring(canvas, margins);
    measuring.setNumberColumn(numberColumn);
    const int widestName = std::max(prepared.widestName, nameHeadingWidth);
    const int widestAssembly = std::max(prepared.widestAssembly, assemblyHeadingWidth);
    const PrintLayout::Columns columns = measuring.framedColumns(widestName, widestAssembly);
    wrapColumn(canvas, prepared.names, widestName, columns.name);
    wrapColumn(canvas, prepared.assemblies, widestAssembly, columns.assembly);
    // On a narrow page the headings are shortened to their columns.
    canvas.setFontStyle(kBold);
    const QString nameHeadingShown = reportlayout::elide(nameHeading, columns.name, measure);
    const QString assemblyHeadingShown = reportlayout::elide(assemblyHeading, columns.assembly, measure);
    canvas.setFontStyle(FontStyle{});

    const ReportBlock &report = frame.report;
    const bool closes = report.hasDetails();
    const reportlayout::DetailBlock details = reportlayout::prepareDetails(canvas, measuring, report);
    const reportlayout::Closing closing = reportlayout::prepareClosing(canvas, measuring, report);
    // Header and footer take two lines each (a text and an empty line towards the body); a page must
    // hold them with the headings and one row, and the signatures with the last line of the closing text.
    const qint64 room = qint64(measuring.bottom()) - measuring.top() - 4 * qint64(line);
    if (headingHeight + qint64(line) > room || (closes && reportlayout::closingBlockHeight(canvas, closing) > room))
        throw PrintSettingsError(fontTooTallText());
    const int across = measuring.right() - measuring.left();
    const QString headerRight = reportlayout::elide(reportlayout::headerRight(frame), across, measure);
    const int headerRightWidth = canvas.textWidth(headerRight);
    const QString headerLeft =
        reportlayout::elide(reportlayout::headerLeft(frame), across - headerRightWidth - measuring.gap(), measure);

    std::vector<reportlayout::RowGroup> groups;
    std::vector<std::vector<QString>> groupHeadings;
    if (frame.groupByAssembly) {
        groups = reportlayout::groupByAssembly(rows);
        canvas.setFontStyle(kBold);
        for (const reportlayout::RowGroup &group : groups)
            groupHeadings.push_back(
                reportlayout::wrapText(reportlayout::groupHeading(group.assembly), across, measure));
        canvas.setFontStyle(FontStyle{});
    } else {
        groups.push_back({{}, std::vector<std::size_t>(rows.size())});
        for (std::size_t i = 0; i < rows.size(); ++i)
            groups.back().rows[i] = i;
    }

    // One run of the layout on a canvas; the page count is known only from a run that draws nothing.
    LayoutRun run = [=, groupByAssembly = frame.groupByAssembly](PrintCanvas &c, int pageCount) {
        PrintLayout layout(c, margins);
        layout.setNumberColumn(numberColumn);
        layout.setAssemblyColumn(columns.name);
        FontStyle style;
        const auto setStyle = [&](const FontStyle &s) {
            style = s;
            c.setFontStyle(s);
        };
        int page = 0;
        bool inTable = false; // pages that continue the rows repeat the column headings
        // The header line and the empty line below it; the footer, its bottom on the bottom limit.
        const auto headerAndFooter = [&] {
            ++page;
            c.setFontStyle(FontStyle{});
            if (!headerLeft.isEmpty())
                c.drawText(layout.left(), layout.top(), headerLeft);
            c.drawText(layout.right() - headerRightWidth, layout.top(), headerRight);
            const QString footer = QStringLiteral("Seite %1 von %2").arg(page).arg(pageCount);
            c.drawText(layout.left() + (layout.right() - layout.left() - c.textWidth(footer)) / 2,
                       layout.bottom() - line, footer);
            layout.moveTo(layout.top() + 2 * line, true);
        };
        const auto headings = [&] {
            c.setFontStyle(kBold);
            c.drawText(layout.left(), layout.y(), numberHeading);
            c.drawText(layout.nameLeft(), layout.y(), nameHeadingShown);
            c.drawText(layout.assemblyColumn(), layout.y(), assemblyHeadingShown);
            layout.moveTo(layout.y() + headingHeight, true);
        };
        // Lines stop an empty line above the footer.
        layout.setBodyLimit(layout.bottom() - 2 * line);
        layout.setPageStart([&] {
            headerAndFooter();
            if (inTable)
                headings();
            c.setFontStyle(style);
        });

        headerAndFooter();
        for (const QString &firmLine : details.firm)
            layout.PrintLine(firmLine);
        setStyle(kBold);
        layout.PrintLine(printDocumentName());
        layout.PrintLine(blank);
        setStyle(FontStyle{});
        if (!details.pairs.empty()) {
            reportlayout::printDetails(c, layout, details);
            layout.PrintLine(blank);
        }
        // The headings come along with a first line of rows.
        layout.makeRoom(headingHeight + qint64(line));
        headings();
        setStyle(FontStyle{});
        inTable = true;
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const std::vector<std::size_t> &members = groups[g].rows;
            if (groupByAssembly) {
                if (g > 0)
                    layout.skipLine(line);
                // The heading comes along with the group's first row.
                setStyle(kBold);
                qint64 headingLines = 0;
                for (const QString &text : groupHeadings[g])
                    headingLines += c.textHeight(text);
                setStyle(FontStyle{});
                layout.makeRoom(headingLines +
                                layout.rowHeight(prepared.names[members[0]], prepared.assemblies[members[0]]));
                setStyle(kBold);
                for (const QString &text : groupHeadings[g])
                    layout.PrintLine(text);
                setStyle(FontStyle{});
            }
            for (const std::size_t i : members)
                layout.PrintNumberedRow(numbers[i], prepared.names[i], prepared.assemblies[i]);
        }
        if (closes) {
            inTable = false;
            layout.skipLine(line);
            reportlayout::printClosing(c, layout, closing);
        } else {
            layout.PrintLine(blank);
        }
    };
    const int pages = countedPages(canvas, run);
    canvas.setFontStyle(FontStyle{});
    if (canvas.textWidth(QStringLiteral("Seite %1 von %1").arg(pages)) > across)
        throw PrintSettingsError(fontTooTallText());
    return {std::move(run), pages};
}

// Checks the settings and measures the printout on the canvas, before the job begins.
PreparedPrintout prepare(PrintCanvas &canvas, const std::vector<ListEntry> &rows, const PrintMargins &margins,
                         const PrintFont &font, const std::optional<PageFrame> &frame, bool count)
{
    if (const std::optional<QString> problem = printSettingsProblem(canvas, margins, font))
        throw PrintSettingsError(*problem);
    if (fontTallerThanPage(canvas, font))
        throw PrintSettingsError(fontTooTallText());
    canvas.setFont(font);
    if (frame)
        return prepareFramed(canvas, rows, margins, *frame);
    PreparedPrintout plain = preparePlain(canvas, rows, margins);
    if (count)
        plain.pages = countedPages(canvas, plain.run);
    return plain;
}

} // namespace

bool PageSelection::contains(int page) const
{
    return ranges.empty() ||
           std::any_of(ranges.begin(), ranges.end(), [page](const Range &r) { return r.from <= page && page <= r.to; });
}

int countPages(PrintCanvas &canvas, const std::vector<ListEntry> &rowsInViewOrder, const PrintMargins &margins,
               const PrintFont &font, const std::optional<PageFrame> &frame)
{
    return prepare(canvas, rowsInViewOrder, margins, font, frame, true).pages;
}

void printDefectList(PrintCanvas &canvas, const std::vector<ListEntry> &rowsInViewOrder, const PrintMargins &margins,
                     const PrintFont &font, const std::optional<PageFrame> &frame, const PageSelection &pages)
{
    const PreparedPrintout printout = prepare(canvas, rowsInViewOrder, margins, font, frame, !pages.all());
    if (!pages.all()) {
        const bool anyPage = std::any_of(pages.ranges.begin(), pages.ranges.end(), [&](const PageSelection::Range &r) {
            return std::max(r.from, 1) <= std::min(r.to, printout.pages);
        });
        if (!anyPage)
            throw PrintSettingsError(
                QStringLiteral("Im gewählten Seitenbereich liegt keine Seite: Der Ausdruck hat %1.")
                    .arg(printout.pages == 1 ? QStringLiteral("nur eine Seite")
                                             : QStringLiteral("%1 Seiten").arg(printout.pages)));
    }
    canvas.beginDocument(printDocumentName());
    if (pages.all()) {
        printout.run(canvas, printout.pages);
    } else {
        PageFilter filter(canvas, pages);
        printout.run(filter, printout.pages);
    }
    canvas.endDocument();
}
