#pragma once

#include "print/PrintLayout.h"

#include <QPrintEngine>

class QPrinter;

// The printer's options for CUPS, a list of names and values: Qt's print dialog puts a page range
// there ("page-ranges") when it leaves the picking of pages to the print system, and the printer
// keeps it for later jobs. The key is Qt's own, outside its public names.
constexpr auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// Takes the pages chosen in the print dialog from the printer and leaves it set to print every page,
// also in the options it hands to the print system: the print run picks the pages itself (keeping
// their numbers), so that neither the printer nor the system picks from its pages a second time.
// No choice, or every page, gives an empty selection.
PageSelection takePageSelection(QPrinter &printer);
