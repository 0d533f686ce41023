#pragma once

#include <QString>

#include <cstdint>

// The style flags of a font; the print run replaces them as a whole (bold for the title, none for the rows).
struct FontStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    bool operator==(const FontStyle &) const = default;
};

// How wide the characters of a font are relative to each other.
enum class FontPitch { Default, Variable, Fixed };

// The print font as the settings page holds and stores it: a plain value, free of any toolkit font.
//
// `size` (whole points) decides the printed size; `height` (screen pixels, negative for a character
// height) is kept only so that it can be stored and shown as it was chosen. `color` is a signed 32-bit
// colour number: red + 256 × green + 65536 × blue for a plain colour, or a system colour index with the
// highest bit set (-2147483640 is system colour 8, the window-text colour).
struct PrintFont {
    static constexpr std::int32_t kWindowTextColor = -2147483640;

    QString name = QStringLiteral("Arial");
    int size = 11;
    int height = -15;
    FontStyle style;
    int charset = 0;
    std::int32_t color = kWindowTextColor;
    FontPitch pitch = FontPitch::Default;

    bool operator==(const PrintFont &) const = default;
};
