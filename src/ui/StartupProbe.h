#pragma once

class QCoreApplication;

// Timing of the start-up from outside. When the environment variable MAL_STARTUP_PROBE_FD names an
// open file descriptor, the program notes the monotonic clock when its first window is exposed (as
// the application sees the expose event, before the window handles it) and again once the window has
// handled it, which is when its first paint is done. It then writes both, in nanoseconds, as one
// decimal line "EXPOSED PAINTED" to the descriptor and leaves its event loop (the windows are not
// asked to close). Without the variable nothing happens.
namespace startupprobe {

void installIfAsked(QCoreApplication &app);

} // namespace startupprobe
