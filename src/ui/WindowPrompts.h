#pragma once

#include "document/Prompts.h"
#include "document/ReportDetails.h"

class QPrinter;
struct PrintFont;

// The window's modal dialogs beyond messages and file choices: the edit dialog, the print font,
// the print and printer-setup dialogs, the report details.
class WindowPrompts : public Prompts {
public:
    // Shows the edit dialog with the name; the edited name after OK, nothing after Cancel.
    virtual std::optional<QString> editDefectName(const QString &name) = 0;
    // Shows the font dialog on the font; true and the font changed after OK.
    virtual bool chooseFont(PrintFont &font) = 0;
    // The print dialog and the printer-setup dialog; true after OK, with the choice applied to printer.
    virtual bool printDialog(QPrinter &printer) = 0;
    virtual bool printerSetupDialog(QPrinter &printer) = 0;
    // Shows the dialog "Berichtsangaben" with the details; the details entered after OK, nothing
    // after Abbrechen.
    virtual std::optional<ReportDetails> editReportDetails(const ReportDetails &details) = 0;
};
