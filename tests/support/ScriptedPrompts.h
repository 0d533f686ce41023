#pragma once

#include "document/Prompts.h"

#include <QStringList>

#include <algorithm>
#include <deque>
#include <functional>
#include <optional>
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
        ++open;
        maxOpen = std::max(maxOpen, open);
        runWhileOpen();
        --open;
        return next(answers).value_or(m.defaultButton);
    }
    std::optional<QString> openFileName(const FileDialog &d) override { return nextFile(d); }
    std::optional<QString> saveFileName(const FileDialog &d) override { return nextFile(d); }
    // The next queued file with the next queued type (the dialog's own selection when none is queued).
    std::optional<Prompts::FileChoice> saveFileChoice(const FileDialog &d) override
    {
        const int type = next(types).value_or(d.selectedType);
        std::optional<QString> f = nextFile(d);
        return f ? std::optional<Prompts::FileChoice>(Prompts::FileChoice{*f, type}) : std::nullopt;
    }

    // Captions, texts and informative texts of the messages shown, in order.
    QStringList captions() const { return field(&Message::caption); }
    QStringList texts() const { return field(&Message::text); }
    QStringList details() const { return field(&Message::informative); }
    void clear() { messages.clear(); dialogs.clear(); }

    std::vector<Message> messages;
    std::vector<FileDialog> dialogs;
    std::deque<Answer> answers;
    std::deque<std::optional<QString>> files;
    std::deque<int> types; // file types chosen in save dialogs with types
    // Runs once, while the next message or dialog is open.
    std::function<void()> whileOpen;
    // How many messages are open now, and the most that were open at once.
    int open = 0;
    int maxOpen = 0;

protected:
    void runWhileOpen()
    {
        if (whileOpen) {
            auto during = std::move(whileOpen);
            whileOpen = nullptr;
            during();
        }
    }
    // Takes the first element of a queue; nothing when it is empty.
    template <class T>
    static std::optional<T> next(std::deque<T> &queue)
    {
        if (queue.empty())
            return std::nullopt;
        std::optional<T> first(std::move(queue.front()));
        queue.pop_front();
        return first;
    }

private:
    std::optional<QString> nextFile(const FileDialog &d)
    {
        dialogs.push_back(d);
        runWhileOpen();
        return next(files).value_or(std::nullopt);
    }
    QStringList field(QString Message::*member) const
    {
        QStringList out;
        for (const Message &m : messages)
            out << m.*member;
        return out;
    }
};

using ScriptedPrompts = ScriptedPromptsT<Prompts>;
