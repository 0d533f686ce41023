#pragma once

#include "document/PrintFont.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// What the print font dialog offers and what it gives back, free of any widget.
//
// It starts from the current print font and changes only what the user changes: OK without a change
// gives the very font it started from, also when its family is not installed, its colour is a system
// colour or its size is one no list offers. The dialog shows the lists and current entries it names
// and passes each user change to one of the setters.
class FontChoice {
public:
    // One entry of the colour list: the colour number and its German name.
    struct Color {
        std::int32_t value;
        QString label;
    };

    // The styles of the style list, in this order: "Standard", "Kursiv", "Fett", "Fett Kursiv".
    static const QStringList &styleNames();
    // The sixteen standard colours, black to white: Schwarz (0), Kastanienbraun (128), ... Weiß (0xFFFFFF).
    static const std::vector<Color> &standardColors();

    // `installedFamilies` are the font families of the system; `pixelsPerInch` those of the screen, for
    // the height that follows a new size.
    FontChoice(const PrintFont &font, const QStringList &installedFamilies, int pixelsPerInch);

    // The installed families, with the font's own family added in sorted place when it is not among them.
    const QStringList &families() const { return m_families; }
    int familyIndex() const { return int(m_families.indexOf(m_font.name)); }
    // Index into styleNames() of the bold and italic flags.
    int styleIndex() const;
    // The standard colours, preceded by the font's colour when it is none of them
    // ("Fenstertext" for the window-text colour).
    const std::vector<Color> &colors() const { return m_colors; }
    int colorIndex() const;

    // A family from families(); `fixedPitch` tells whether its characters all have one width.
    void setFamily(const QString &family, bool fixedPitch);
    // Sets bold and italic; underline and strike-out stay.
    void setStyleIndex(int index);
    void setSize(int points);
    void setUnderline(bool on) { m_font.style.underline = on; }
    void setStrikeOut(bool on) { m_font.style.strikeOut = on; }
    void setColorIndex(int index);

    // The font as chosen so far.
    const PrintFont &font() const { return m_font; }

private:
    PrintFont m_font;
    QStringList m_families;
    std::vector<Color> m_colors;
    int m_pixelsPerInch;
};
