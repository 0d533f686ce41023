#pragma once

#include "document/ReportDetails.h"

#include <QString>

// The report details a framed printout carries: the firm and title block on the first page, the
// object and inspection date in every page's header, and the closing text and signature lines after
// the last row. Texts may hold line breaks (CR LF, LF or CR); an empty or blank text is not printed.
struct ReportBlock {
    QString firm; // above the title on the first page
    QString objekt;
    QString anschrift;
    QString auftraggeber;
    QString auftragnehmer;
    QString begehungAm; // dd.mm.yyyy
    QString teilnehmer;
    QString pruefer;
    QString schlusstext;
    QString signatureLeft = QStringLiteral("Auftraggeber");
    QString signatureRight = QStringLiteral("Auftragnehmer");

    // Whether the report has details: a text set, or a signature label other than its start value
    // (the firm does not count). Only then does the printout end with the closing text and the
    // signature lines.
    bool hasDetails() const
    {
        for (const QString *text :
             {&objekt, &anschrift, &auftraggeber, &auftragnehmer, &begehungAm, &teilnehmer, &pruefer, &schlusstext})
            if (!text->trimmed().isEmpty())
                return true;
        const ReportBlock start;
        return signatureLeft != start.signatureLeft || signatureRight != start.signatureRight;
    }
};

// The report of a document's details (as shown, with the settings' Prüfer filled in) and the firm.
inline ReportBlock reportBlockOf(const ReportDetails &details, const QString &firm)
{
    return {firm,
            details.Objekt,
            details.Anschrift,
            details.Auftraggeber,
            details.Auftragnehmer,
            details.BegehungAm,
            details.Teilnehmer,
            details.Pruefer,
            details.Schlusstext,
            details.UnterschriftLinks,
            details.UnterschriftRechts};
}
