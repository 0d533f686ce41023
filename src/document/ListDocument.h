#pragma once

#include "document/EntryList.h"
#include "document/FileStamp.h"
#include "document/ListFile.h"
#include "document/Prompts.h"
#include "document/ReportDetails.h"
#include "document/ReportFile.h"
#include "document/StatusLine.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string_view>

// The document of a run: the three lists and the state that goes with them, with loading and
// saving of list files, the file commands' save question, the default-file watch and the status
// line. Messages and file dialogs go through the Prompts it is given; the window shows the title
// and status texts it announces.
class ListDocument : public QObject {
    Q_OBJECT

public:
    explicit ListDocument(Prompts &prompts, QObject *parent = nullptr);

    EntryList AssemblyList;
    EntryList DefectCatalog;
    EntryList DefectList;

    QString TotalPriceText;
    FileStamp DefaultFileAge;

    // The list file the document was last opened from or saved to; empty: the document has no name.
    const QString &CurrentFileName() const { return m_currentFileName; }
    // The caption every window title is built from.
    const QString &BaseTitle() const { return m_baseTitle; }
    // The folder of the default list file; ends with '/'.
    const QString &ProgramDirectory() const { return m_programDirectory; }
    // Set while a tick of the default-file watch is being handled.
    bool WatchBusy() const { return m_watchBusy; }
    // The last load stopped at invalid content, or the document's own file could not be read again:
    // until the document is saved under a name the user chose, Save asks for a name (proposing the
    // file's, with the overwrite question) instead of writing over what the file may hold.
    bool incompleteLoad() const { return m_incompleteLoad; }
    // Whether the lists or details changed since the document last matched its files (a load, New,
    // or a save that wrote both the list file and the details file). Counted by the document itself:
    // the save question is asked all the same.
    bool hasUnsavedChanges() const { return m_changes != m_savedChanges; }

    // The report details, kept in the details file beside the list file (reportfile::pathFor).
    const ReportDetails &reportDetails() const { return m_reportDetails; }
    // Replaces the details; reportDetailsChanged follows when they differ. The dialog changes them
    // through editing::changeReportDetails, which makes the change a step of the undo history.
    void setReportDetails(const ReportDetails &details);

    QString defaultListFile() const { return m_programDirectory + QStringLiteral("mängel.mal"); }
    QString title() const { return m_title; }
    QString statusText() const { return m_statusText; }

    // Start-up: the folder of the default list file (a '/' is appended when missing) and the base
    // title, which also becomes the title. Loads nothing.
    void setUp(const QString &programDirectory, const QString &baseTitle);

    // Loads a list file and its details file. The new lists replace the old ones only once the file
    // was read: a file that cannot be opened or read, or memory running out while it is read, leaves
    // the document as it was. Invalid content keeps what was read up to the fault and marks the load
    // incomplete, as does a failed load of the document's own file. A details file that is missing
    // gives empty details; one that cannot be read gives empty details and a message, and is kept as
    // it is until the document has details to write. Each failure shows its message with the file's
    // name and the reason (showFailure). Always refreshes DefaultFileAge and (unless memory ran out)
    // the status line (closed form).
    void OpenLists(const QString &fileName);
    // Writes the document; on failure the previous file stays untouched, a message is shown and
    // the name and title stay as they were. Refreshes DefaultFileAge in every case. After the list
    // file, writes the details file when the document has details, and otherwise removes one that
    // is there (but not one that could not be read). A failure there is shown and returns false,
    // with the list file saved and named and the details kept in the document.
    bool SaveLists(const QString &fileName);

    // Save: to CurrentFileName, or through the save dialog when the document has no name or its
    // load was incomplete. False when the dialog was cancelled or the save failed.
    bool Save();
    // Save As: the save dialog (starting at CurrentFileName), then SaveLists. False when cancelled
    // or failed.
    bool SaveAs();
    // The question before the document is replaced or the program ends, with the caller's caption.
    // True: go on (after No, or after Yes and a successful save); false: stop.
    bool SaveFirstPrompt(const QString &caption);
    // New: empty, unnamed lists ("Kein Name" in the title) and empty details.
    void newDocument();
    // The next building: as New, but the assemblies, the catalogue and the details' Prüfer stay.
    // The document has no name, so the first Save asks for one.
    void newDocumentWithCatalog();
    // Puts lists kept elsewhere (a recovery copy) in place under the name they had (empty: none),
    // with their details and incomplete mark. The file on disk is neither read nor written; the
    // title names it as after Open, and the document holds changes not in its file.
    void restore(listfile::Content &&lists, const QString &fileName, const ReportDetails &details,
                 bool incompleteLoad);

    // One tick of the default-file watch: when the default list file changed since DefaultFileAge,
    // asks whether to reload it; a document of another file or without a name is first offered to
    // be saved ("Datei: Neu laden..."). Returns at once while another tick is being handled.
    void checkDefaultFile();

    // Sets TotalPriceText; sums the defect list only when it changed since the last sum (or the
    // decimal separator did).
    void GesamtPreis();
    void UpdateStatusLine(statusline::CountPhrase form);

    void refreshDefaultFileAge() { DefaultFileAge = FileStamp::of(defaultListFile()); }

    // The column titles of the catalogue, the defect list and the filtered view.
    static const QStringList &defectColumnTitles();
    // The dialog for choosing a list file.
    static Prompts::FileDialog listFileDialog(bool save, const QString &startPath);

    // Tests replace the parser, e.g. to run out of memory half-way or to change the file meanwhile.
    using Parser = std::function<listfile::Content(std::string_view)>;
    void setParser(Parser parser) { m_parser = std::move(parser); }

signals:
    void titleChanged(const QString &title);
    void statusTextChanged(const QString &text);
    // New lists are in place: after every load that replaced them (complete or not) and after New.
    void documentReplaced();
    // The report details changed: by setReportDetails, a load or New.
    void reportDetailsChanged();
    // The document was saved under a name the user chose in the save dialog (Save As, or a Save
    // that asked for one).
    void savedUnderName(const QString &fileName);
    // A list or the details changed.
    void changed();
    // The document matches its files again (or is a fresh one): see hasUnsavedChanges.
    void unsavedChangesGone();

private:
    void setTitle(const QString &title);
    void setNamedTitle(const QString &fileName);
    // New and its variant: no name, an empty defect list, the given details.
    void startUnnamed(const ReportDetails &details);
    // After a failed load: when fileName is the document's own file, marks the load incomplete.
    void markUnreadOwnFile(const QString &fileName);
    // The stamp DefaultFileAge gets after a file operation: `handle` is the stamp of the file that
    // was read or written, `before` that of the default file before the operation started.
    FileStamp settledDefaultStamp(const FileStamp &before, const FileStamp &handle) const;
    // Writes or removes the details file of a list file just saved; false after a failure, shown.
    bool saveReportDetails(const QString &listFile);
    void noteChange();
    void markSaved();
    // Replaces the three lists by the given ones.
    void replaceLists(listfile::Content &&content);

    Prompts &m_prompts;
    Parser m_parser;
    QString m_currentFileName;
    QString m_baseTitle = QStringLiteral("Quenbrik Mängelliste 1.0");
    QString m_programDirectory;
    bool m_watchBusy = false;
    bool m_incompleteLoad = false;
    QString m_title;
    QString m_statusText;
    bool m_totalStale = true;
    QChar m_totalSeparator;
    ReportDetails m_reportDetails;
    // The details file that could not be read at the last load: empty details do not remove it.
    QString m_unreadReportFile;
    // Changes so far, and their number when the document last matched its files (none: never since
    // it was restored).
    quint64 m_changes = 0;
    std::optional<quint64> m_savedChanges = 0;
};
