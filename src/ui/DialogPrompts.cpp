#include "ui/DialogPrompts.h"

#include "print/PrintLayout.h"
#include "ui/ArtikelFUnit.h"
#include "ui/ListView.h"
#include "ui/PrintFontDialog.h"
#include "ui/ReportDetailsDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace {

QMessageBox::Icon toIcon(Prompts::Icon icon)
{
    switch (icon) {
    case Prompts::Icon::Information: return QMessageBox::Information;
    case Prompts::Icon::Warning: return QMessageBox::Warning;
    case Prompts::Icon::Error: return QMessageBox::Critical;
    case Prompts::Icon::Question: return QMessageBox::Question;
    case Prompts::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton toButton(Prompts::Answer a)
{
    switch (a) {
    case Prompts::Answer::Yes: return QMessageBox::Yes;
    case Prompts::Answer::No: return QMessageBox::No;
    case Prompts::Answer::Cancel: return QMessageBox::Cancel;
    case Prompts::Answer::Ok: return QMessageBox::Ok;
    case Prompts::Answer::Closed: break;
    }
    return QMessageBox::NoButton;
}

} // namespace

Prompts::Answer DialogPrompts::message(const Message &m)
{
    QMessageBox box(m_parent);
    box.setIcon(toIcon(m.icon));
    // Without a caption of its own a box carries the platform's default one.
    box.setWindowTitle(m.caption.isEmpty() ? QStringLiteral("Fehler") : m.caption);
    box.setText(m.text);
    box.setInformativeText(m.informative);
    switch (m.buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); break;
    }
    box.setDefaultButton(toButton(m.defaultButton));
    box.exec();
    QAbstractButton *clicked = box.clickedButton();
    switch (clicked ? box.standardButton(clicked) : QMessageBox::NoButton) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return m.buttons == Buttons::Ok ? Answer::Ok : Answer::Closed;
    }
}

std::optional<Prompts::FileChoice> DialogPrompts::runFileDialog(const FileDialog &d, bool save)
{
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(d.filter);
    dialog.setDefaultSuffix(d.defaultSuffix);
    // The program asks before replacing a file itself (Prompts::chooseSaveFile).
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    const QStringList types = dialog.nameFilters();
    if (d.selectedType > 0 && d.selectedType < types.size())
        dialog.selectNameFilter(types[d.selectedType]);
    if (!d.startPath.isEmpty())
        dialog.selectFile(d.startPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FileChoice{dialog.selectedFiles().front(), std::max(0, int(types.indexOf(dialog.selectedNameFilter())))};
}

std::optional<QString> DialogPrompts::openFileName(const FileDialog &dialog)
{
    const std::optional<FileChoice> choice = runFileDialog(dialog, false);
    return choice ? std::optional<QString>(choice->path) : std::nullopt;
}

std::optional<QString> DialogPrompts::saveFileName(const FileDialog &dialog)
{
    const std::optional<FileChoice> choice = runFileDialog(dialog, true);
    return choice ? std::optional<QString>(choice->path) : std::nullopt;
}

std::optional<Prompts::FileChoice> DialogPrompts::saveFileChoice(const FileDialog &dialog)
{
    return runFileDialog(dialog, true);
}

DialogPrompts::~DialogPrompts()
{
    delete m_ownArtikelForm;
}

std::optional<QString> DialogPrompts::editDefectName(const QString &name)
{
    TArtikelForm *form = m_artikelForm;
    if (!form) {
        if (!m_ownArtikelForm)
            m_ownArtikelForm = new TArtikelForm(m_parent);
        form = m_ownArtikelForm;
    }
    // The dialog's line edit would freeze the window on a longer name, as the editor in a list would.
    if (name.size() > ListView::kMaxEditLength) {
        error(ListView::tooLongCaption(), ListView::tooLongText(name.size()));
        return std::nullopt;
    }
    form->Edit1()->setText(name);
    if (form->exec() != QDialog::Accepted)
        return std::nullopt;
    return form->Edit1()->text();
}

bool DialogPrompts::chooseFont(PrintFont &font)
{
    PrintFontDialog dialog(font, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    font = dialog.font();
    return true;
}

std::optional<ReportDetails> DialogPrompts::editReportDetails(const ReportDetails &details)
{
    ReportDetailsDialog dialog(m_parent);
    dialog.setDetails(details);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.details();
}

bool DialogPrompts::printDialog(QPrinter &printer)
{
    const QString file = offerPrintFile(printer);
    QPrintDialog dialog(&printer, m_parent);
    // "Seiten von … bis …": the print run picks the pages itself.
    return runPrintDialog(dialog, printer, file, QAbstractPrintDialog::PrintPageRange);
}

bool DialogPrompts::printerSetupDialog(QPrinter &printer)
{
    const QString file = offerPrintFile(printer);
    QPrintDialog dialog(&printer, m_parent);
    dialog.setWindowTitle(QStringLiteral("Druckereinrichtung"));
    // Nothing is printed from here, so the accept button does not say so.
    if (auto *buttons = dialog.findChild<QDialogButtonBox *>()) {
        if (QPushButton *ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    }
    return runPrintDialog(dialog, printer, file);
}

QString DialogPrompts::offerPrintFile(QPrinter &printer) const
{
    if (!printer.outputFileName().isEmpty())
        return printer.outputFileName();
    const QString file = m_printFileName.isEmpty() ? QDir::home().filePath(printDocumentName() + QStringLiteral(".pdf"))
                                                   : m_printFileName;
    // Without a printer the printer prints into a file already; it only lacks the file's name.
    if (printer.outputFormat() == QPrinter::PdfFormat)
        printer.setOutputFileName(file);
    return file;
}

bool DialogPrompts::runPrintDialog(QPrintDialog &dialog, QPrinter &printer, const QString &file,
                                   QAbstractPrintDialog::PrintDialogOptions more)
{
    // Printing into a PDF file is always offered, also where no printer is set up at all.
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintToFile | more);
    // With a printer chosen, Qt's own file field still offers the file for a switch to printing into it.
    if (auto *field = dialog.findChild<QLineEdit *>(QStringLiteral("filename")))
        field->setText(file);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        m_printFileName = printer.outputFileName();
    return true;
}
