#pragma once

#include "settings/WindowPlacement.h"

#include <QRect>
#include <QSize>

// What the main window tells the settings store about itself and its screen at a restore or a save.
struct WindowState {
    WindowPlacement placement;
    // The window is shown on the screen (false at the first showing, before it appears).
    bool visible = false;
    // The whole application is minimized; a save then stores the minimized state.
    bool applicationMinimized = false;
    // The user can resize the window; when not, a restore keeps its current width and height.
    bool sizeable = true;
    // The screen's size in pixels, e.g. 1280 x 1024; it names the per-screen placement values.
    QSize screenSize{1024, 768};
    // Where windows may stand on the desktop (the screens' available area). When empty, the screen from
    // (0, 0) with screenSize. A stored place wholly outside it, or larger than it, is pulled onto it.
    QRect workArea;
    // The screen's logical dots per inch.
    int pixelsPerInch = 96;
};
