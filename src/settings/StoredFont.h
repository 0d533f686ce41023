#pragma once

#include <QString>
#include <QtGlobal>

// Pitch of a font as the font dialog keeps it.
enum class StoredPitch { Default, Variable, Fixed };

// The print font as plain values: what the font dialog holds and the settings store keeps.
//
// Size and height describe the same thing in two units and are kept in step through setSize() and
// setHeight() at a given number of screen pixels per inch: a negative height is the character height
// in pixels, and a positive one the cell height, which gives a negative size.
//   setSize(11, 96)   => height -15
//   setHeight(-15, 96) => size 11;  setHeight(20, 96) => size -15
struct StoredFont {
    // The window-text system colour (index 8 with the highest bit set), the start colour.
    static constexpr qint32 kWindowTextColor = qint32(0x80000008u);

    QString name = QStringLiteral("Arial");
    int height = -15; // pixels at the screen's pixels per inch
    int size = 11;    // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 0; // 0 to 255
    // red + 256 * green + 65536 * blue, or a system colour index with the highest bit set
    qint32 color = kWindowTextColor;
    StoredPitch pitch = StoredPitch::Default;

    void setSize(int points, int pixelsPerInch);
    void setHeight(int pixels, int pixelsPerInch);

    friend bool operator==(const StoredFont &, const StoredFont &) = default;
};
