#pragma once

#include "settings/WindowPlacement.h"

#include <QString>

#include <optional>

// What a restore asks the main window to do; the stored properties are set in place.
struct RestoreResult {
    // When present: the normal rectangle, flags and positions to put on the window. Its show member is the
    // window's state before the restore; the state to take is `show`. A window that is not visible yet
    // stays hidden while it is placed.
    std::optional<WindowPlacement> placement;
    // When present: the state to take. Minimized means the window is shown normal and then the whole
    // application is minimized.
    std::optional<WindowShow> show;
    // When not empty: a failure that ended the restore early, to be shown in a message box. What is
    // present above still applies.
    QString errorText;
};
