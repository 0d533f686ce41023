#pragma once

#include "document/ReportDetails.h"
#include "print/PrintLayout.h"

#include <optional>

namespace Ui {
class TMainForm;
}
namespace editing {
class UndoRecorder;
}
class ListDocument;
struct StoredProps;
class WindowPrompts;

// The report of the main window: the dialog "Berichtsangaben" and what the settings page adds to the
// details (the user's Prüfer and firm, the options of the framed printout).
//
// The settings' Prüfer stands in for one the details lack, in the dialog and on the page; it is stored
// in the document only when the user changes it in the dialog, so that it alone makes no details file.
class ReportCommands {
public:
    ReportCommands(Ui::TMainForm &ui, WindowPrompts &prompts, editing::UndoRecorder &undo, ListDocument &document);

    // "Berichtsangaben...": the dialog on the details as shown; OK stores what was entered as one undo step.
    void edit();
    // The document's details with the settings' Prüfer where they name none.
    ReportDetails shownDetails() const;
    // The frame of the printout with the settings page's choices, when "Seitenkopf und Seitenzahlen" is on;
    // documentName names the list file in the header, the date is today's.
    std::optional<PageFrame> pageFrame(const QString &documentName) const;

    // The settings page's report values to and from the settings store.
    void storeProps(StoredProps &props) const;
    void applyProps(const StoredProps &props);

private:
    Ui::TMainForm &m_ui;
    WindowPrompts &m_prompts;
    editing::UndoRecorder &m_undo;
    ListDocument &m_document;
};
