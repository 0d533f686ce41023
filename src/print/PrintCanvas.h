#pragma once

#include "document/PrintFont.h"

#include <QString>

// The surface a print run draws on, in printer dots: a real printer or, in tests, a recorder.
//
// Coordinates are those of the printable area: (0, 0) is its top-left corner and y grows downwards.
// Texts arrive as Unicode; the print run converts the list's Windows-1252 bytes before it calls in.
// Any method may throw std::runtime_error with a German text when the printer layer fails.
class PrintCanvas {
public:
    virtual ~PrintCanvas() = default;

    // Starts the print job under the given document name; the first page is open afterwards.
    virtual void beginDocument(const QString &documentName) = 0;
    // Ends the job; the canvas is finished afterwards.
    virtual void endDocument() = 0;
    // Closes the current page and opens the next one.
    virtual void newPage() = 0;

    // Dots per inch across and down. These and the printable area are known before the document begins.
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;
    // Size of the printable area in dots.
    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;

    // Takes face, size (in points), pitch, colour and style from the font.
    virtual void setFont(const PrintFont &font) = 0;
    // Replaces the style of the current font as a whole.
    virtual void setFontStyle(const FontStyle &style) = 0;

    // Size of a text in the current font, in dots; the height is the font's line height.
    virtual int textWidth(const QString &text) = 0;
    virtual int textHeight(const QString &text) = 0;
    // Draws a text with its top-left corner at (x, y), unclipped.
    virtual void drawText(int x, int y, const QString &text) = 0;
    // Draws a thin line (about 0.2 mm, in the font's colour) from (x, y) to the right over `width` dots.
    virtual void drawHorizontalLine(int x, int y, int width) = 0;
};
