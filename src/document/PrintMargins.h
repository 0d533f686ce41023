#pragma once

// The four print margins in whole millimetres (0 to 50 each): what the settings page shows, the settings
// store keeps and the print run uses. They are measured from the edges of the printer's printable area.
// The right margin places nothing: it only counts when the margins are checked for leaving room on the
// page, and long names wrap at the printable area's edge.
struct PrintMargins {
    int left = 15;
    int top = 15;
    int right = 15;
    int bottom = 15;

    bool operator==(const PrintMargins &) const = default;
};
