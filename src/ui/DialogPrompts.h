#pragma once

#include "ui/WindowPrompts.h"

class QWidget;
class TArtikelForm;

// The real prompts: message boxes, the standard file and print dialogs of the platform, and the
// program's edit dialog and print font dialog.
class DialogPrompts : public WindowPrompts {
public:
    explicit DialogPrompts(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    void setArtikelForm(TArtikelForm *form) { m_artikelForm = form; }

    Answer message(const Message &message) override;
    std::optional<QString> openFileName(const FileDialog &dialog) override;
    std::optional<QString> saveFileName(const FileDialog &dialog) override;
    std::optional<QString> editDefectName(const QString &name) override;
    bool chooseFont(PrintFont &font) override;
    bool printDialog(QPrinter &printer) override;
    bool printerSetupDialog(QPrinter &printer) override;

private:
    std::optional<QString> runFileDialog(const FileDialog &dialog, bool save);

    QWidget *m_parent;
    TArtikelForm *m_artikelForm = nullptr;
};
