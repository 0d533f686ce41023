#pragma once

#include "document/ListEntry.h"
#include "print/NameWrap.h"
#include "print/PrintLayout.h"
#include "print/ReportBlock.h"

#include <QString>

#include <string_view>
#include <vector>

// The parts of a framed printout that come from the report: the header texts, the block of details
// on the first page, the closing text with the signature lines, and the grouping of rows by assembly.
namespace reportlayout {

// A text broken into printed lines no wider than the width: at its line breaks, then by
// namewrap::wrapLine. Blanks around the text and empty lines at its end are dropped; a blank text
// has no lines.
std::vector<QString> wrapText(const QString &text, int width, const namewrap::Measure &measure);

// The text, or its longest beginning followed by "…" that fits the width; nothing where not even
// "…" fits.
//   with one unit per character, width 6: "Schulzentrum" => "Schul…";  width 0: "Schule" => ""
QString elide(const QString &text, int width, const namewrap::Measure &measure);

// The header line's texts: the object, else the document's name; "Begehung: " and the inspection
// date, else the print date.
QString headerLeft(const PageFrame &frame);
QString headerRight(const PageFrame &frame);

// The rows of one assembly, as positions in the list, in list order.
struct RowGroup {
    std::string_view assembly;
    std::vector<std::size_t> rows;
};
// The rows grouped by assembly (sub-item 0, compared byte for byte), the groups in the order of
// their assemblies' first appearance.
std::vector<RowGroup> groupByAssembly(const std::vector<ListEntry> &rows);
// The heading of a group: its assembly, "Ohne Baugruppe" for the empty one.
QString groupHeading(std::string_view assembly);

// The details of the first page, wrapped for the page: a bold label per set detail and its value's
// lines in one column right of the widest label.
struct DetailBlock {
    struct Pair {
        QString label;
        std::vector<QString> lines;
    };
    std::vector<QString> firm; // the firm's lines, above the title
    std::vector<Pair> pairs;
    int valueLeft = 0;
};
// Measures in bold and regular; leaves the canvas in the regular style.
DetailBlock prepareDetails(PrintCanvas &canvas, const PrintLayout &layout, const ReportBlock &report);
// Prints the pairs one under the other; each line breaks the page where it does not fit. Expects and
// leaves the regular style.
void printDetails(PrintCanvas &canvas, PrintLayout &layout, const DetailBlock &block);

// What follows the last row: the closing text across the page, then two signature fields, one at
// the left edge and one ending at the right edge, each about 70 mm wide with "Ort, Datum" above its
// line and its label below.
struct Closing {
    std::vector<QString> text;
    int fieldWidth = 0;
    std::vector<QString> above; // "Ort, Datum", wrapped to the field
    std::vector<QString> left;
    std::vector<QString> right;
};
// Measures in the regular style.
Closing prepareClosing(PrintCanvas &canvas, const PrintLayout &layout, const ReportBlock &report);
// The height of what stays together at the end: the last line of the closing text, an empty line
// and the signature fields.
qint64 closingBlockHeight(PrintCanvas &canvas, const Closing &closing);
// Prints the closing text; its last line, an empty line and the signature fields stay on one page.
void printClosing(PrintCanvas &canvas, PrintLayout &layout, const Closing &closing);

} // namespace reportlayout
