#pragma once

#include "document/PrintFont.h"
#include "document/PrintMargins.h"

#include <QString>

// The properties of the main window that are kept between runs, with their start values.
struct StoredProps {
    // The print margins of the spin edits RightREd, TopREd, leftREd and BottomREd.
    PrintMargins margins;
    // The font of FontDialog1.
    PrintFont font;
    // The check box "Seitenkopf und Seitenzahlen" (SeitenkopfCheck): page header and footer on.
    bool pageFrame = false;
    // Widths of the three left-hand list panels in pixels: assemblies, catalogue, filtered view.
    int panel1LaedenWidth = 145;
    int panel1ProdukteWidth = 269;
    int panel11Width = 213;
    // The user's own report texts of the settings page: the Prüfer of reports whose details name
    // none (PrueferEd), and the firm printed above the title (FirmaEd).
    QString pruefer;
    QString firma;
    // The check box "Nach Baugruppen gliedern" (GliedernCheck): the framed printout grouped by assembly.
    bool groupByAssembly = false;

    friend bool operator==(const StoredProps &, const StoredProps &) = default;
};
