#pragma once

#include "document/EntryList.h"
#include "document/FileStamp.h"
#include "document/StatusLine.h"

#include <QObject>
#include <QString>

class Prompts;

// The document of a run: the three lists and the state that goes with them, with loading and
// saving of list files and the status line. Messages go through the Prompts it is given; the
// window shows the title and status texts it announces.
class ListDocument : public QObject {
    Q_OBJECT

public:
    explicit ListDocument(Prompts &prompts, QObject *parent = nullptr);

    EntryList AssemblyList;
    EntryList DefectCatalog;
    EntryList DefectList;

    QString CurrentFileName;
    QString BaseTitle = QStringLiteral("Quenbrik Mängelliste 1.0");
    QString ProgramDirectory; // ends with '/'
    QString TotalPriceText;
    FileStamp DefaultFileAge;
    bool WatchBusy = false;

    QString defaultListFile() const { return ProgramDirectory + QStringLiteral("mängel.mal"); }
    QString title() const { return m_title; }
    QString statusText() const { return m_statusText; }
    void setTitle(const QString &title);

    // Loads a list file. A file that cannot be read leaves the document as it was; invalid content
    // keeps what was read up to the fault. Always ends by refreshing DefaultFileAge and the status
    // line (closed form).
    void OpenLists(const QString &fileName);
    // Writes the document; on failure the previous file stays untouched, a message is shown and
    // the name and title stay as they were. Refreshes DefaultFileAge in every case.
    bool SaveLists(const QString &fileName);

    void GesamtPreis();
    void UpdateStatusLine(statusline::CountPhrase form);

    // Empties the three lists and makes the document unnamed.
    void clearLists();
    void refreshDefaultFileAge() { DefaultFileAge = FileStamp::of(defaultListFile()); }

signals:
    void titleChanged(const QString &title);
    void statusTextChanged(const QString &text);
    // The lists were replaced as a whole (a file was loaded, or New emptied them).
    void documentReplaced();

private:
    void setNamedTitle(const QString &fileName);

    Prompts &m_prompts;
    QString m_title;
    QString m_statusText;
};
