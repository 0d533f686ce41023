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

    std::vector<QString> editedNames;
    std::deque<std::optional<QString>> names;
    std::function<void(PrintFont &)> fontChoice;
    std::function<bool(QPrinter &)> printAnswer;
    std::function<bool(QPrinter &)> setupAnswer;
    int fontDialogs = 0;
    int printDialogs = 0;
    int setupDialogs = 0;
};
