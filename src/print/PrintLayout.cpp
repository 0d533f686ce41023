#include "print/PrintLayout.h"

#include "document/Cp1252.h"
#include "print/ForwardingCanvas.h"
#include "print/NameWrap.h"
#include "print/PrintSettingsError.h"

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

void PrintLayout::makeRoom(qint64 h)
{
    if (m_y + h > m_limit && m_y > m_bodyTop) {
        m_canvas.newPage();
        m_y = m_top;
        m_bodyTop = m_top;
        if (m_startPage)
            m_startPage();
    }
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

void PrintLayout::PrintRow(const std::vector<QString> &nameLines, const QString &assembly)
{
    PrintNumberedRow(QString(), nameLines, assembly);
}

void PrintLayout::PrintNumberedRow(const QString &number, const std::vector<QString> &nameLines,
                                   const QString &assembly)
{
    std::vector<int> heights;
    heights.reserve(nameLines.size());
    qint64 rowHeight = 0; // a huge name in a huge font can have more dots than an int holds
    for (const QString &line : nameLines) {
        heights.push_back(m_canvas.textHeight(line));
        rowHeight += heights.back();
    }
    makeRoom(rowHeight);
    for (std::size_t i = 0; i < nameLines.size(); ++i) {
        if (i > 0)
            makeRoom(heights[i]); // breaks only inside a row taller than the page
        if (i == 0 && !number.isEmpty())
            m_canvas.drawText(m_nameLeft - m_gap - m_canvas.textWidth(number), m_y, number);
        m_canvas.drawText(m_nameLeft, m_y, nameLines[i]);
        if (i == 0)
            m_canvas.drawText(m_assemblyColumn, m_y, assembly);
        m_y += heights[i];
    }
}

namespace {

// The rows of a printout as the layout puts them: the lines of each name, wrapped to the name column,
// and its assembly.
struct PreparedRows {
    std::vector<std::vector<QString>> names;
    std::vector<QString> assemblies;
    int widestName = 0;
    int widestAssembly = 0;
};

// Splits and measures the names and assemblies in the current font.
PreparedRows measureRows(PrintCanvas &canvas, const std::vector<ListEntry> &rows)
{
    PreparedRows prepared;
    prepared.names.reserve(rows.size());
    prepared.assemblies.reserve(rows.size());
    for (const ListEntry &entry : rows) {
        prepared.names.push_back(namewrap::splitLines(cp1252::toUnicode(entry.caption())));
        prepared.assemblies.push_back(entry.subItemCount() == 0 ? QString() : cp1252::toUnicode(entry.subItem(0)));
        for (const QString &line : prepared.names.back())
            prepared.widestName = std::max(prepared.widestName, canvas.textWidth(line));
        prepared.widestAssembly = std::max(prepared.widestAssembly, canvas.textWidth(prepared.assemblies.back()));
    }
    return prepared;
}

// Wraps every name line wider than the name column.
void wrapNames(PrintCanvas &canvas, PreparedRows &prepared, int nameColumn)
{
    if (nameColumn >= prepared.widestName)
        return;
    const auto measure = [&canvas](const QString &text) { return canvas.textWidth(text); };
    for (std::vector<QString> &name : prepared.names) {
        std::vector<QString> lines;
        for (const QString &line : name) {
            for (QString &part : namewrap::wrapLine(line, nameColumn, measure))
                lines.push_back(std::move(part));
        }
        name = std::move(lines);
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

private:
    int m_pages = 1;
};

const FontStyle kBold{.bold = true};

// The printout without a frame: title, blank line, rows, blank line.
void printPlain(PrintCanvas &canvas, const std::vector<ListEntry> &rows, const PrintMargins &margins)
{
    const QString blank(u' ');
    PrintLayout layout(canvas, margins);
    canvas.setFontStyle(kBold);
    layout.PrintLine(printDocumentName());
    layout.PrintLine(blank);

    canvas.setFontStyle(FontStyle{});
    PreparedRows prepared = measureRows(canvas, rows);
    const int nameColumn = layout.nameColumnWidth(prepared.widestName, prepared.widestAssembly);
    layout.setAssemblyColumn(nameColumn);
    wrapNames(canvas, prepared, nameColumn);
    for (std::size_t i = 0; i < prepared.names.size(); ++i)
        layout.PrintRow(prepared.names[i], prepared.assemblies[i]);
    layout.PrintLine(blank);
}

// The printout with header, column headings, numbered rows and footer on every page.
void printFramed(PrintCanvas &canvas, const std::vector<ListEntry> &rows, const PrintMargins &margins,
                 const PageFrame &frame)
{
    const QString blank(u' ');
    const QString numberHeading = QStringLiteral("Nr.");
    canvas.setFontStyle(kBold);
    const int numberHeadingWidth = canvas.textWidth(numberHeading);
    canvas.setFontStyle(FontStyle{});
    PreparedRows prepared = measureRows(canvas, rows);
    std::vector<QString> numbers;
    numbers.reserve(rows.size());
    int numberColumn = numberHeadingWidth;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        numbers.push_back(QString::number(i + 1) + u'.');
        numberColumn = std::max(numberColumn, canvas.textWidth(numbers.back()));
    }
    PrintLayout measuring(canvas, margins);
    measuring.setNumberColumn(numberColumn);
    const int nameColumn = measuring.nameColumnWidth(prepared.widestName, prepared.widestAssembly);
    wrapNames(canvas, prepared, nameColumn);

    // One run of the layout on a canvas; the page count is known only from a run that draws nothing.
    const auto run = [&](PrintCanvas &c, int pageCount) {
        PrintLayout layout(c, margins);
        layout.setNumberColumn(numberColumn);
        layout.setAssemblyColumn(nameColumn);
        FontStyle style;
        const auto setStyle = [&](const FontStyle &s) {
            style = s;
            c.setFontStyle(s);
        };
        int page = 0;
        // The header line and the empty line below it; the footer, its bottom on the bottom limit.
        const auto headerAndFooter = [&] {
            ++page;
            c.setFontStyle(FontStyle{});
            const int line = c.textHeight(blank);
            c.drawText(layout.left(), layout.top(), frame.documentName);
            c.drawText(layout.right() - c.textWidth(frame.date), layout.top(), frame.date);
            const QString footer = QStringLiteral("Seite %1 von %2").arg(page).arg(pageCount);
            c.drawText(layout.left() + (layout.right() - layout.left() - c.textWidth(footer)) / 2,
                       layout.bottom() - line, footer);
            layout.moveTo(layout.top() + 2 * line, true);
        };
        const auto headings = [&] {
            c.setFontStyle(kBold);
            c.drawText(layout.left(), layout.y(), numberHeading);
            c.drawText(layout.nameLeft(), layout.y(), QStringLiteral("Mangel"));
            c.drawText(layout.assemblyColumn(), layout.y(), QStringLiteral("Baugruppe"));
            layout.moveTo(layout.y() + c.textHeight(numberHeading), true);
        };
        c.setFontStyle(FontStyle{});
        // Lines stop an empty line above the footer.
        layout.setBodyLimit(layout.bottom() - 2 * c.textHeight(blank));
        layout.setPageStart([&] {
            headerAndFooter();
            headings();
            c.setFontStyle(style);
        });

        headerAndFooter();
        setStyle(kBold);
        layout.PrintLine(printDocumentName());
        layout.PrintLine(blank);
        headings();
        setStyle(FontStyle{});
        for (std::size_t i = 0; i < prepared.names.size(); ++i)
            layout.PrintNumberedRow(numbers[i], prepared.names[i], prepared.assemblies[i]);
        layout.PrintLine(blank);
    };
    PageCounter counter(canvas);
    run(counter, 0);
    run(canvas, counter.pages());
}

} // namespace

void printDefectList(PrintCanvas &canvas, const std::vector<ListEntry> &rowsInViewOrder, const PrintMargins &margins,
                     const PrintFont &font, const std::optional<PageFrame> &frame)
{
    if (const std::optional<QString> problem = printSettingsProblem(canvas, margins, font))
        throw PrintSettingsError(*problem);
    if (fontTallerThanPage(canvas, font))
        throw PrintSettingsError(fontTooTallText());

    canvas.beginDocument(printDocumentName());
    canvas.setFont(font);
    if (frame)
        printFramed(canvas, rowsInViewOrder, margins, *frame);
    else
        printPlain(canvas, rowsInViewOrder, margins);
    canvas.endDocument();
}
