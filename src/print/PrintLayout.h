#pragma once

#include "document/ListEntry.h"
#include "document/PrintFont.h"
#include "document/PrintMargins.h"
#include "print/PrintCanvas.h"
#include "print/ReportBlock.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

// The title of the printout and the name of its print job.
inline QString printDocumentName()
{
    return QStringLiteral("Mängelliste");
}

// Converts a margin in millimetres to printer dots, truncating toward zero.
//   marginToDots(15, 600) => 354,  marginToDots(15, 300) => 177,  marginToDots(50, 600) => 1181
int marginToDots(int millimetres, int dpi);

// The largest print font size in points; from 10,000 points on a printout has no readable page.
constexpr int kMaxPrintFontSize = 9999;

// Why the settings cannot give a readable printout on the canvas, or nothing when they can:
// margins that leave no room across or down the printable area, or a font size outside 1 to 9999.
std::optional<QString> printSettingsProblem(const PrintCanvas &canvas, const PrintMargins &margins,
                                            const PrintFont &font);

// The text shown when one line of the print font is taller than the printable height of the page.
QString fontTooTallText();

// Whether one line of the font, bold or regular, is taller than the printable height of the canvas; a
// line counts at least as tall as the font's size.
// Sets the font on the canvas to measure it; call it before the job begins.
bool fontTallerThanPage(PrintCanvas &canvas, const PrintFont &font);

// What every page carries when the page header and page numbers are on: a header line with the
// document's name at the left margin and the print date ending at the right margin, bold column
// headings, numbered rows and a centred footer "Seite x von y" whose bottom is the bottom limit.
// The report's object and inspection date take the place of name and date when they are set; the
// report adds its block to the first page and its closing text and signatures after the last row.
// Grouped, the rows stand under a bold heading per assembly, the groups in the order in which their
// assemblies first appear in the list; rows keep their list position as their number.
struct PageFrame {
    QString documentName;
    QString date; // dd.mm.yyyy
    ReportBlock report{};
    bool groupByAssembly = false;
};

// The name the header shows for a list file: its file name without ".mal"; "Kein Name" for none.
//   "/home/a/Begehung.mal" => "Begehung",  "" => "Kein Name",  "/x/liste.txt" => "liste.txt"
QString pageFrameName(const QString &currentFileName);

// The positions of one print run in printer dots, and the two ways it puts a line on the page.
//
// Lines follow each other without spacing. A line (or a row of several lines) that would reach below
// the bottom limit starts a new page, unless it already is the first on its page: that one is printed
// even past the limit; only a row taller than a whole page is broken between its lines.
class PrintLayout {
public:
    // Reads the resolution and printable area of the canvas.
    PrintLayout(PrintCanvas &canvas, const PrintMargins &margins);

    int left() const { return m_left; }
    int top() const { return m_top; }
    int bottom() const { return m_bottom; }
    int gap() const { return m_gap; }
    int assemblyColumn() const { return m_assemblyColumn; }
    int y() const { return m_y; }
    // The right edge: the printable width minus the right margin, truncated like the bottom limit.
    int right() const { return m_right; }
    // The x of the names: the left edge, or right of the number column when rows are numbered.
    int nameLeft() const { return m_nameLeft; }

    // The width of the name column. When the widest name and the widest assembly fit side by side
    // in the printable width, it is the widest name; otherwise the column is narrowed so that the
    // widest assembly ends on the right edge of the printable area, but not below half the printable
    // width (nor above the widest name).
    int nameColumnWidth(int widestName, int widestAssembly) const;
    // The widths of name and assembly column of a framed printout, which ends at the right edge. When
    // the widest name and the widest assembly fit side by side, the name column is the widest name and
    // the assembly column the rest; otherwise the assembly column takes the widest assembly, but at
    // least 30 % and at most half of the room, and the name column the rest (nor more than the widest name).
    struct Columns {
        int name;
        int assembly;
    };
    Columns framedColumns(int widestName, int widestAssembly) const;
    // Places the second column at the right of the name column plus the gap.
    void setAssemblyColumn(int nameColumn) { m_assemblyColumn = m_nameLeft + nameColumn + m_gap; }
    // Puts the names right of a number column of the given width plus the gap.
    void setNumberColumn(int width) { m_nameLeft = m_left + width + m_gap; }

    // The page furniture of a framed printout: rows and lines end above `limit`; every new page
    // runs `startPage`, which draws what the page carries and leaves y where its body starts.
    void setBodyLimit(int limit) { m_limit = limit; }
    void setPageStart(std::function<void()> startPage) { m_startPage = std::move(startPage); }
    // Moves to y; `bodyTop` marks it as where the page's body starts (its first line always prints).
    void moveTo(int y, bool bodyTop)
    {
        m_y = y;
        if (bodyTop)
            m_bodyTop = y;
    }

    // Breaks the page when a line (or lines kept together) of height h does not fit and is not the
    // page's first; returns whether it did.
    bool makeRoom(qint64 h);
    // Leaves an empty line of height h where it fits; at the foot of a page it leaves nothing, as the
    // next line starts a new page anyway.
    void skipLine(int h)
    {
        if (m_y + h <= m_limit)
            m_y += h;
    }

    void PrintLine(const QString &text);
    // Prints the lines of a name one under the other, the assembly beside the first line. The row's
    // height is the sum of its lines' heights; the assembly text is not measured.
    void PrintRow(const std::vector<QString> &nameLines, const QString &assembly);
    // The same with the row's number right-aligned in the number column and the assembly in lines of
    // its own beside those of the name; the row is as high as its longer column.
    void PrintNumberedRow(const QString &number, const std::vector<QString> &nameLines,
                          const std::vector<QString> &assemblyLines);
    // The height of such a row.
    qint64 rowHeight(const std::vector<QString> &nameLines, const std::vector<QString> &assemblyLines);

private:
    PrintCanvas &m_canvas;
    int m_width;
    int m_right;
    int m_left;
    int m_nameLeft;
    int m_top;
    int m_bottom;
    int m_gap;
    int m_assemblyColumn;
    int m_y;
    int m_limit;   // lines may not reach below it unless first on their page
    int m_bodyTop; // where the current page's body starts
    std::function<void()> m_startPage;
};

// The pages a print run puts out: ranges of page numbers counted from 1, both ends included; no
// range at all means every page.
struct PageSelection {
    struct Range {
        int from;
        int to;
    };
    std::vector<Range> ranges;

    bool all() const { return ranges.empty(); }
    bool contains(int page) const;
};

// Prints the defect list as one job: the bold title, a blank line, one row per entry (caption, then
// sub-item 0) in the given order in the regular style of the font, and a closing blank line. Names
// break into lines at their line breaks, and wrap when the name column is narrowed (see
// PrintLayout::nameColumnWidth and namewrap::wrapLine).
// With a frame every page carries its header, column headings and footer (see PageFrame), rows are
// numbered from 1 on, and the title stays on the first page below the header; without one the pages
// hold the title and the rows alone.
// With a selection of pages only those are printed, each as it is in the whole printout (its rows,
// its "Seite x von y").
// Throws PrintSettingsError before the job begins when printSettingsProblem finds one, the font is
// taller than the page, a framed page cannot hold header, headings, a row and footer side by side
// with its margins, or the selection holds none of the printout's pages. Exceptions of the canvas
// pass through; the job is then left to the canvas to abort.
void printDefectList(PrintCanvas &canvas, const std::vector<ListEntry> &rowsInViewOrder, const PrintMargins &margins,
                     const PrintFont &font, const std::optional<PageFrame> &frame = std::nullopt,
                     const PageSelection &pages = {});

// The number of pages printDefectList puts out for every page; throws what it throws before the job
// begins, and begins none.
int countPages(PrintCanvas &canvas, const std::vector<ListEntry> &rowsInViewOrder, const PrintMargins &margins,
               const PrintFont &font, const std::optional<PageFrame> &frame = std::nullopt);
