#include "print/PrintLayout.h"

#include "document/Cp1252.h"

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

PrintLayout::PrintLayout(PrintCanvas &canvas, const PrintMargins &margins)
    : m_canvas(canvas), m_left(marginToDots(margins.left, canvas.dpiX())),
      m_top(marginToDots(margins.top, canvas.dpiY())),
      // The subtraction is made before truncating, so the limit can lie one dot lower than H minus the margin.
      m_bottom(static_cast<int>(std::trunc(canvas.pageHeight() - millimetresToDots(margins.bottom, canvas.dpiY())))),
      m_gap(marginToDots(kColumnGapMillimetres, canvas.dpiX())), m_assemblyColumn(m_left + m_gap), m_y(m_top)
{
}

void PrintLayout::makeRoom(int h)
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

void PrintLayout::PrintRow(const QString &name, const QString &assembly)
{
    const int h = m_canvas.textHeight(name);
    makeRoom(h);
    m_canvas.drawText(m_left, m_y, name);
    m_canvas.drawText(m_assemblyColumn, m_y, assembly);
    m_y += h;
}

void printDefectList(PrintCanvas &canvas, const std::vector<ListEntry> &rowsInViewOrder, const PrintMargins &margins,
                     const PrintFont &font)
{
    const QString blank(u' ');
    canvas.beginDocument(printDocumentName());
    PrintLayout layout(canvas, margins);

    canvas.setFont(font);
    canvas.setFontStyle(FontStyle{.bold = true});
    layout.PrintLine(printDocumentName());
    layout.PrintLine(blank);

    canvas.setFontStyle(FontStyle{});
    std::vector<QString> names;
    std::vector<QString> assemblies;
    names.reserve(rowsInViewOrder.size());
    assemblies.reserve(rowsInViewOrder.size());
    int widest = 0;
    for (const ListEntry &entry : rowsInViewOrder) {
        names.push_back(cp1252::toUnicode(entry.caption));
        assemblies.push_back(entry.subItems.empty() ? QString() : cp1252::toUnicode(entry.subItems.front()));
        widest = std::max(widest, canvas.textWidth(names.back()));
    }
    layout.setAssemblyColumn(widest);

    for (std::size_t i = 0; i < names.size(); ++i)
        layout.PrintRow(names[i], assemblies[i]);
    layout.PrintLine(blank);

    canvas.endDocument();
}
