#pragma once

#include "document/ListEntry.h"
#include "document/PrintFont.h"
#include "document/PrintMargins.h"
#include "print/PrintLayout.h"

#include <QByteArray>
#include <QPageLayout>

#include <optional>
#include <vector>

// What one print run puts on paper: the rows in view order and the settings of the settings page.
struct Printout {
    const std::vector<ListEntry> *rows = nullptr;
    PrintMargins margins;
    PrintFont font;
    std::optional<PageFrame> frame;
};

// The printer resolution of PDF files, in dots per inch.
constexpr int kPdfResolution = 1200;

// Prints into the bytes of a PDF file, on pages of the given size and orientation (the printable area
// is the whole sheet) at the given resolution. Nothing touches the disk, so that the caller writes the
// file in one checked step; only the selected pages when there is a selection. Throws what
// printDefectList throws.
QByteArray printToPdfBytes(const QPageLayout &page, const Printout &printout, int resolution = kPdfResolution,
                           const PageSelection &pages = {});
