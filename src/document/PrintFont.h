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

// The print font: what the font dialog shows and returns, what the settings store keeps and what the
// print run paints with. A plain value, free of any toolkit font.
//
// `size` (whole points) decides the printed size. `height` is the same size in screen pixels at the
// screen's pixels per inch, negative for a character height and positive for a cell height (which
// goes with a negative size); it is kept so that it can be stored as it was chosen. setSize() and
// setHeight() keep the two in step:
//   setSize(11, 96) => height -15;  setHeight(-15, 96) => size 11;  setHeight(20, 96) => size -15
// `color` is a signed 32-bit colour number: red + 256 × green + 65536 × blue for a plain colour, or a
// system colour index with the highest bit set (kWindowTextColor, system colour 8, is the start colour).
struct PrintFont {
    static constexpr std::int32_t kWindowTextColor = -2147483640;

    QString name = QStringLiteral("Arial");
    int size = 11;
    int height = -15;
    FontStyle style;
    int charset = 0; // 0 to 255
    std::int32_t color = kWindowTextColor;
    FontPitch pitch = FontPitch::Default;

    // Sets the size in points and the height that goes with it. A size whose height does not fit in
    // 32 bits changes nothing and gives false:  setSize(-1610612736, 96) => false (height 2^31)
    bool setSize(int points, int pixelsPerInch);
    // Sets the height in pixels and the size that goes with it; false and no change when the size does
    // not fit. Without pixels per inch (0) the size becomes 1.
    bool setHeight(int pixels, int pixelsPerInch);

    bool operator==(const PrintFont &) const = default;
};
