#pragma once

#include <thread>

// Reads the system's font configuration on a thread of its own while the application starts. Reading
// it (dozens of configuration files and the font caches) takes longer than creating the application
// object, and it needs nothing from Qt, so the two run side by side (some 3 ms sooner to the first
// paint on a machine with a core to spare). Qt later finds the configuration loaded and uses it as it
// is. Built without Fontconfig's development files, it does nothing and Qt reads the configuration
// when it first needs a font.
class FontWarmUp {
public:
    FontWarmUp();
    // Waits for the thread.
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp &) = delete;
    FontWarmUp &operator=(const FontWarmUp &) = delete;

    // Waits until the configuration is read; call it before anything uses a font. Later calls return
    // at once.
    void wait();

private:
    std::thread m_thread;
};
