#pragma once

#include "ui/WindowPrompts.h"

#include <QAbstractPrintDialog>
#include <QPointer>

class QPrintDialog;
class QWidget;
class TArtikelForm;

// The real prompts: message boxes, the standard file and print dialogs of the platform, and the
// program's edit dialog and print font dialog.
class DialogPrompts : public WindowPrompts {
public:
    explicit DialogPrompts(QWidget *parent = nullptr) : m_parent(parent) {}
    ~DialogPrompts() override;
    DialogPrompts(const DialogPrompts &) = delete;
    DialogPrompts &operator=(const DialogPrompts &) = delete;
    void setParent(QWidget *parent) { m_parent = parent; }
    // The edit dialog to use; without one, the prompts make their own, a child of the parent, when
    // it is first needed.
    void setArtikelForm(TArtikelForm *form) { m_artikelForm = form; }

    Answer message(const Message &message) override;
    std::optional<QString> openFileName(const FileDialog &dialog) override;
    std::optional<QString> saveFileName(const FileDialog &dialog) override;
    std::optional<FileChoice> saveFileChoice(const FileDialog &dialog) override;
    std::optional<QString> editDefectName(const QString &name) override;
    bool chooseFont(PrintFont &font) override;
    bool printDialog(QPrinter &printer) override;
    bool printerSetupDialog(QPrinter &printer) override;
    std::optional<ReportDetails> editReportDetails(const ReportDetails &details) override;

private:
    std::optional<FileChoice> runFileDialog(const FileDialog &dialog, bool save);
    // The PDF file the print dialogs offer: the printer's own, else the one chosen last in this run,
    // else "Mängelliste.pdf" in the home folder. A printer that prints into a file takes it over.
    QString offerPrintFile(QPrinter &printer) const;
    // Runs a print or printer-setup dialog that also offers printing into the PDF file, and
    // remembers the file when it was chosen.
    bool runPrintDialog(QPrintDialog &dialog, QPrinter &printer, const QString &file,
                        QAbstractPrintDialog::PrintDialogOptions more = {});

    QWidget *m_parent;
    TArtikelForm *m_artikelForm = nullptr;
    QPointer<TArtikelForm> m_ownArtikelForm; // deleted with the parent, or else with the prompts
    QString m_printFileName;
};
