#pragma once

#include "document/Prompts.h"

#include <QStringList>

#include <deque>
#include <vector>

// Prompts for tests: records every message and dialog and answers from queues. A message without a
// queued answer gets its default button; a file dialog without a queued name is cancelled.
class ScriptedPrompts : public Prompts {
public:
    Answer message(const Message &m) override
    {
        messages.push_back(m);
        if (answers.empty())
            return m.defaultButton;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }

    std::optional<QString> openFileName(const FileDialog &d) override { return nextFile(d); }
    std::optional<QString> saveFileName(const FileDialog &d) override { return nextFile(d); }

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

private:
    std::optional<QString> nextFile(const FileDialog &d)
    {
        dialogs.push_back(d);
        if (files.empty())
            return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
};
