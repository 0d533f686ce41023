#pragma once

class QCoreApplication;

// Timing of the start-up from outside. When the environment variable MAL_STARTUP_PROBE_FD names an
// open file descriptor, the program writes the monotonic clock in nanoseconds to it as a decimal line
// once its first window has been exposed and painted, then leaves its event loop (the windows are not asked to close). Without
// the variable nothing happens.
namespace startupprobe {

void installIfAsked(QCoreApplication &app);

} // namespace startupprobe
