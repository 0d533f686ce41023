#pragma once

// The four print margins of the settings page in whole millimetres (0 to 50 each).
//
// They are measured from the edges of the printer's printable area. The right margin is kept and
// stored with the others, but nothing is placed by it: it only counts when the margins are checked
// for leaving room on the page, and names wrap at the printable area's edge, not at it.
struct PrintMargins {
    int left = 15;
    int top = 15;
    int right = 15;
    int bottom = 15;

    bool operator==(const PrintMargins &) const = default;
};
