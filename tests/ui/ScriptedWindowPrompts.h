#pragma once

#include "ScriptedPrompts.h"
#include "ui/WindowPrompts.h"

// Scripted prompts for the window's tests, with queues for the edit, font and print dialogs.
class ScriptedWindowPrompts : public ScriptedPromptsT<WindowPrompts> {
public:
    std::optional<QString> editDefectName(const QString &name) override
    {
        editedNames.push_back(name);
        runWhileOpen();
        return next(names).value_or(std::nullopt);
    }
    bool chooseFont(PrintFont &font) override
    {
        ++fontDialogs;
        if (!fontChoice)
            return false;
        fontChoice(font);
        return true;
    }
    bool printDialog(QPrinter &printer) override
    {
        ++printDialogs;
        return printAnswer && printAnswer(printer);
    }
    bool printerSetupDialog(QPrinter &printer) override
    {
        ++setupDialogs;
        return setupAnswer && setupAnswer(printer);
    }

    std::optional<ReportDetails> editReportDetails(const ReportDetails &details) override
    {
        shownDetails.push_back(details);
        runWhileOpen();
        const std::optional<std::function<void(ReportDetails &)>> edit = next(detailEdits);
        if (!edit || !*edit)
            return std::nullopt;
        ReportDetails entered = details;
        (*edit)(entered);
        return entered;
    }

    std::vector<QString> editedNames;
    // The details each report details dialog opened with, and what the user does there: a change
    // then OK, or null for Abbrechen (also when nothing is queued).
    std::vector<ReportDetails> shownDetails;
    std::deque<std::function<void(ReportDetails &)>> detailEdits;
    std::deque<std::optional<QString>> names;
    std::function<void(PrintFont &)> fontChoice;
    std::function<bool(QPrinter &)> printAnswer;
    std::function<bool(QPrinter &)> setupAnswer;
    int fontDialogs = 0;
    int printDialogs = 0;
    int setupDialogs = 0;
};
