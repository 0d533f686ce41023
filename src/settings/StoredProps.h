#pragma once

#include "settings/StoredFont.h"

// The properties of the main window that are kept between runs, with their start values.
struct StoredProps {
    // Print margins in millimetres, as the spin edits hold them (whole numbers from 0 to 50).
    double rightREd = 15;
    double topREd = 15;
    double leftREd = 15;
    double bottomREd = 15;
    // The font of FontDialog1.
    StoredFont font;
    // Widths of the two left-hand list panels in pixels.
    int panel1LaedenWidth = 145;
    int panel1ProdukteWidth = 269;

    friend bool operator==(const StoredProps &, const StoredProps &) = default;
};
