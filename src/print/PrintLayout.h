#pragma once

#include "document/ListEntry.h"
#include "document/PrintFont.h"
#include "document/PrintMargins.h"
#include "print/PrintCanvas.h"

#include <QString>

#include <vector>

// The title of the printout and the name of its print job.
inline QString printDocumentName()
{
    return QStringLiteral("Mängelliste");
}

// Converts a margin in millimetres to printer dots, truncating toward zero.
//   marginToDots(15, 600) => 354,  marginToDots(15, 300) => 177,  marginToDots(50, 600) => 1181
int marginToDots(int millimetres, int dpi);

// The positions of one print run in printer dots, and the two ways it puts a line on the page.
//
// Lines follow each other without spacing. A line that would reach below the bottom limit starts a
// new page, unless it already is the first line of its page: that one is printed even past the limit.
class PrintLayout {
public:
    // Reads the resolution and printable area of the canvas, which must have begun its document.
    PrintLayout(PrintCanvas &canvas, const PrintMargins &margins);

    int left() const { return m_left; }
    int top() const { return m_top; }
    int bottom() const { return m_bottom; }
    int gap() const { return m_gap; }
    int assemblyColumn() const { return m_assemblyColumn; }
    int y() const { return m_y; }

    // Places the second column at the right of the widest of the given names plus the gap.
    void setAssemblyColumn(int widestName) { m_assemblyColumn = m_left + widestName + m_gap; }

    void PrintLine(const QString &text);
    // The row's height is that of the name; the assembly text is not measured.
    void PrintRow(const QString &name, const QString &assembly);

private:
    // Breaks the page when a line of height h does not fit and is not the page's first line.
    void makeRoom(int h);

    PrintCanvas &m_canvas;
    int m_left;
    int m_top;
    int m_bottom;
    int m_gap;
    int m_assemblyColumn;
    int m_y;
};

// Prints the defect list as one job: the bold title, a blank line, one row per entry (caption, then
// sub-item 0) in the given order in the regular style of the font, and a closing blank line.
// Exceptions of the canvas pass through; the job is then left to the canvas to abort.
void printDefectList(PrintCanvas &canvas, const std::vector<ListEntry> &rowsInViewOrder, const PrintMargins &margins,
                     const PrintFont &font);
