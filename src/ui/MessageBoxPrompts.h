#pragma once

#include "document/Prompts.h"

class QWidget;

// The real prompts: message boxes and the standard file dialogs of the platform.
class MessageBoxPrompts : public Prompts {
public:
    explicit MessageBoxPrompts(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    Answer message(const Message &message) override;
    std::optional<QString> openFileName(const FileDialog &dialog) override;
    std::optional<QString> saveFileName(const FileDialog &dialog) override;

private:
    std::optional<QString> runFileDialog(const FileDialog &dialog, bool save);

    QWidget *m_parent;
};
