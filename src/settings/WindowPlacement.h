#pragma once

#include <QPoint>
#include <QRect>

// Show state of a top-level window.
enum class WindowShow { Normal, Minimized, Maximized };

// Where a top-level window stands: its normal (restored) rectangle, its state and the extra
// positions a window manager may keep.
//
// With Qt:
// - normalRect is the window's normal geometry, also while it is maximized or minimized; it is stored
//   as left, top, left + width, top + height.
// - flags is 2 when a minimized window comes back maximized (Qt::WindowMinimized together with
//   Qt::WindowMaximized), else 0.
// - minPosition and maxPosition are (-1, -1): Qt neither places icons nor lets a program choose where a
//   maximized window goes. Stored values are read back and handed over unchanged.
struct WindowPlacement {
    int flags = 0;
    WindowShow show = WindowShow::Normal;
    QPoint minPosition{-1, -1};
    QPoint maxPosition{-1, -1};
    QRect normalRect{223, 115, 999, 589};

    friend bool operator==(const WindowPlacement &, const WindowPlacement &) = default;
};
