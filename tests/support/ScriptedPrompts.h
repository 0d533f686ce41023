#pragma once

#include "document/Prompts.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

// Prompts for tests: records every message and dialog and answers from queues. A message without a
// queued answer gets its default button; a file dialog without a queued name is cancelled.
template <class Base = Prompts>
class ScriptedPromptsT : public Base {
public:
    using Answer = Prompts::Answer;
    using Message = Prompts::Message;
    using FileDialog = Prompts::FileDialog;

    Answer message(const Message &m) override
    {
        messages.push_back(m);
        // What happens elsewhere while the box is open (a tick of the watch, say).
        if (whileOpen) {
            auto during = std::move(whileOpen);
            whileOpen = nullptr;
            during();
        }
        if (answers.empty())
            return m.defaultButton;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }

    std::optional<QString> openFileName(const FileDialog &d) override { return nextFile(d); }
    // Captions of the messages shown, in order.
    QStringList captions() const
    {
        QStringList out;
        for (const Message &m : messages)
            out << m.caption;
        return out;
    }
    std::optional<QString> saveFileName(const FileDialog &d) override { return nextFile(d); }
    // The next queued file with the next queued type (the dialog's own selection when none is queued).
    std::optional<Prompts::FileChoice> saveFileChoice(const FileDialog &d) override
    {
        int type = d.selectedType;
        if (!types.empty()) {
            type = types.front();
            types.pop_front();
        }
        std::optional<QString> f = nextFile(d);
        return f ? std::optional<Prompts::FileChoice>(Prompts::FileChoice{*f, type}) : std::nullopt;
    }

    QStringList texts() const
    {
        QStringList out;
        for (const Message &m : messages)
            out << m.text;
        return out;
    }
    void clear() { messages.clear(); dialogs.clear(); }

    std::vector<Message> messages;
    std::vector<FileDialog> dialogs;
    std::deque<Answer> answers;
    std::deque<std::optional<QString>> files;
    std::deque<int> types; // file types chosen in save dialogs with types
    // Runs once, while the next message or dialog is open.
    std::function<void()> whileOpen;

private:
    std::optional<QString> nextFile(const FileDialog &d)
    {
        dialogs.push_back(d);
        if (whileOpen) {
            auto during = std::move(whileOpen);
            whileOpen = nullptr;
            during();
        }
        std::optional<QString> f;
        if (!files.empty()) {
            f.swap(files.front());
            files.pop_front();
        }
        return f;
    }
};

using ScriptedPrompts = ScriptedPromptsT<Prompts>;
