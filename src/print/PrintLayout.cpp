#include "print/PrintLayout.h"

#include "document/Cp1252.h"
#include "print/NameWrap.h"
#include "print/PrintSettingsError.h"

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

PrintLayout::PrintLayout(PrintCanvas &canvas, const PrintMargins &margins)
    : m_canvas(canvas), m_width(canvas.pageWidth()), m_left(marginToDots(margins.left, canvas.dpiX())),
      m_top(marginToDots(margins.top, canvas.dpiY())),
      // The subtraction is made before truncating, so the limit can lie one dot lower than H minus the margin.
      m_bottom(static_cast<int>(std::trunc(canvas.pageHeight() - millimetresToDots(margins.bottom, canvas.dpiY())))),
      m_gap(marginToDots(kColumnGapMillimetres, canvas.dpiX())), m_assemblyColumn(m_left + m_gap), m_y(m_top)
{
}

void PrintLayout::makeRoom(qint64 h)
{
    if (m_y + h > m_bottom && m_y > m_top) {
        m_canvas.newPage();
        m_y = m_top;
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
    const int room = m_width - m_left - m_gap;
    if (widestName + widestAssembly <= room)
        return widestName;
    return std::min(widestName, std::max({room - widestAssembly, m_width / 2, 1}));
}

void PrintLayout::PrintRow(const std::vector<QString> &nameLines, const QString &assembly)
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
        m_canvas.drawText(m_left, m_y, nameLines[i]);
        if (i == 0)
            m_canvas.drawText(m_assemblyColumn, m_y, assembly);
        m_y += heights[i];
    }
}

void printDefectList(PrintCanvas &canvas, const std::vector<ListEntry> &rowsInViewOrder, const PrintMargins &margins,
                     const PrintFont &font)
{
    if (const std::optional<QString> problem = printSettingsProblem(canvas, margins, font))
        throw PrintSettingsError(*problem);

    const QString blank(u' ');
    canvas.beginDocument(printDocumentName());
    PrintLayout layout(canvas, margins);

    canvas.setFont(font);
    canvas.setFontStyle(FontStyle{.bold = true});
    layout.PrintLine(printDocumentName());
    layout.PrintLine(blank);

    canvas.setFontStyle(FontStyle{});
    const auto measure = [&canvas](const QString &text) { return canvas.textWidth(text); };
    std::vector<std::vector<QString>> names;
    std::vector<QString> assemblies;
    names.reserve(rowsInViewOrder.size());
    assemblies.reserve(rowsInViewOrder.size());
    int widestName = 0;
    int widestAssembly = 0;
    for (const ListEntry &entry : rowsInViewOrder) {
        names.push_back(namewrap::splitLines(cp1252::toUnicode(entry.caption)));
        assemblies.push_back(entry.subItems.empty() ? QString() : cp1252::toUnicode(entry.subItems.front()));
        for (const QString &line : names.back())
            widestName = std::max(widestName, measure(line));
        widestAssembly = std::max(widestAssembly, measure(assemblies.back()));
    }
    const int nameColumn = layout.nameColumnWidth(widestName, widestAssembly);
    layout.setAssemblyColumn(nameColumn);

    for (std::size_t i = 0; i < names.size(); ++i) {
        std::vector<QString> lines;
        for (const QString &line : names[i]) {
            if (nameColumn < widestName) {
                for (QString &part : namewrap::wrapLine(line, nameColumn, measure))
                    lines.push_back(std::move(part));
            } else {
                lines.push_back(line);
            }
        }
        layout.PrintRow(lines, assemblies[i]);
    }
    layout.PrintLine(blank);

    canvas.endDocument();
}
