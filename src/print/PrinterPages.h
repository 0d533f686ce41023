#pragma once

#include "print/PrintLayout.h"

class QPrinter;

// Takes the pages chosen in the print dialog from the printer and leaves it set to print every page,
// also in the options it hands to the print system: the print run picks the pages itself (keeping
// their numbers), so that neither the printer nor the system picks from its pages a second time.
// No choice, or every page, gives an empty selection.
PageSelection takePageSelection(QPrinter &printer);
