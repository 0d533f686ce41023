#include "document/ListDocument.h"

#include "document/Bracket.h"
#include "document/ListFile.h"
#include "document/LocaleNumber.h"
#include "document/OutOfMemory.h"
#include "document/ReportFile.h"
#include "document/SafeFile.h"

#include <QFileInfo>

#include <cerrno>
#include <new>

namespace {
const QString kOpenCaption = QStringLiteral("Fehler beim Öffnen");
const QStringList kAssemblyColumns{QStringLiteral("Name")};
const QString kSaveQuestion = QStringLiteral("Wollen Sie die nicht gesicherten Daten speichern?");
const QString kReloadQuestion = QStringLiteral(
    "Die Datei mängel.mal im Programmverzeichnis wurde geändert. Soll die geänderte Datei geladen werden?");

// Whether two names lead to the same file: the same absolute name, or, where both exist, the same
// name once links are resolved.
bool samePath(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.absoluteFilePath() == second.absoluteFilePath())
        return true;
    const QString canonical = first.canonicalFilePath();
    return !canonical.isEmpty() && canonical == second.canonicalFilePath();
}

// Sets a flag for as long as it lives, also when an exception leaves the scope.
class FlagGuard : Bracket {
public:
    explicit FlagGuard(bool &flag) : m_flag(flag) { m_flag = true; }
    ~FlagGuard() { m_flag = false; }

private:
    bool &m_flag;
};
} // namespace

const QStringList &ListDocument::defectColumnTitles()
{
    static const QStringList titles{QStringLiteral("Name"), QStringLiteral("Baugruppe")};
    return titles;
}

ListDocument::ListDocument(Prompts &prompts, QObject *parent)
    : QObject(parent),
      AssemblyList(kAssemblyColumns),
      DefectCatalog(defectColumnTitles()),
      DefectList(defectColumnTitles()),
      m_prompts(prompts),
      m_parser(&listfile::parse)
{
    // The total is summed again only once the defect list changed: the status line is also rewritten
    // when the selection changes, which leaves the total as it was. Connected before anybody else, so
    // that whoever rewrites the status line on these signals finds the total stale already.
    const auto stale = [this] { m_totalStale = true; };
    connect(&DefectList, &QAbstractItemModel::dataChanged, this, stale);
    connect(&DefectList, &QAbstractItemModel::rowsInserted, this, stale);
    connect(&DefectList, &QAbstractItemModel::rowsRemoved, this, stale);
    connect(&DefectList, &QAbstractItemModel::rowsMoved, this, stale);
    connect(&DefectList, &QAbstractItemModel::modelReset, this, stale);
    connect(&DefectList, &QAbstractItemModel::layoutChanged, this, stale); // the last entry names the currency
}

void ListDocument::setUp(const QString &programDirectory, const QString &baseTitle)
{
    m_programDirectory = programDirectory;
    if (!m_programDirectory.endsWith(u'/'))
        m_programDirectory += u'/';
    m_baseTitle = baseTitle;
    setTitle(m_baseTitle);
}

void ListDocument::setTitle(const QString &title)
{
    if (title == m_title)
        return;
    m_title = title;
    emit titleChanged(m_title);
}

void ListDocument::setNamedTitle(const QString &fileName)
{
    setTitle(m_baseTitle + QStringLiteral(" - ") + QFileInfo(fileName).fileName());
}

Prompts::FileDialog ListDocument::listFileDialog(bool save, const QString &startPath)
{
    Prompts::FileDialog dialog;
    dialog.filter = QStringLiteral("Mängellisten (*.mal)");
    dialog.defaultSuffix = QStringLiteral("mal");
    dialog.confirmOverwrite = save;
    dialog.startPath = startPath;
    return dialog;
}

FileStamp ListDocument::settledDefaultStamp(const FileStamp &before, const FileStamp &handle) const
{
    // When the file read or written is the default file, its stamp is the one of the handle: a
    // write by another program that lands meanwhile then differs from it and is offered. Otherwise
    // the default file's stamp from before the operation, for the same reason.
    return FileStamp::of(defaultListFile()).sameFile(handle) ? handle : before;
}

void ListDocument::OpenLists(const QString &fileName)
{
    const FileStamp defaultBefore = FileStamp::of(defaultListFile());
    FileStamp opened;
    FileError failure;
    QString reportFile;
    reportfile::Parsed report;
    try {
        FileResult<QByteArray> bytes = safefile::readAll(fileName, &opened);
        if (bytes) {
            // The new lists are made apart from the document, which they replace only when complete.
            listfile::Content content = m_parser(std::string_view(bytes->constData(), size_t(bytes->size())));
            bytes->clear();
            reportFile = reportfile::pathFor(fileName);
            report = reportfile::read(reportFile);
            // Into empty lists the entries are moved, not copied; the lists report the new rows as
            // they always did (the assemblies' report rebuilds the filtered view over the emptied
            // catalogue).
            AssemblyList.clear();
            DefectCatalog.clear();
            DefectList.clear();
            AssemblyList.appendEntries(std::move(content.lists[listfile::Assemblies]));
            DefectCatalog.appendEntries(std::move(content.lists[listfile::Catalog]));
            DefectList.appendEntries(std::move(content.lists[listfile::Defects]));
            m_currentFileName = fileName;
            m_incompleteLoad = content.formatError;
            setNamedTitle(fileName);
            m_unreadReportFile = report.fault ? reportFile : QString();
            setReportDetails(report.details);
        } else {
            failure = bytes.error();
        }
    } catch (const std::bad_alloc &) {
        failure = FileError{ENOMEM};
    }
    DefaultFileAge = settledDefaultStamp(defaultBefore, opened);
    if (failure.code == ENOMEM) {
        markUnreadOwnFile(fileName);
        showFailure(m_prompts, outofmemory::caption(), outofmemory::text(), fileName, failure);
        return;
    }
    if (failure.code != 0) {
        markUnreadOwnFile(fileName);
        showFailure(m_prompts, kOpenCaption, QStringLiteral("Konnte die Datei nicht öffnen."), fileName, failure);
        UpdateStatusLine(statusline::CountPhrase::Closed);
        return;
    }
    emit documentReplaced();
    if (m_incompleteLoad) {
        showFailure(m_prompts, kOpenCaption, QStringLiteral("Fehler beim Öffnen der Datei (Ungültiges Format?)."),
                    fileName, FileError::format());
    }
    if (report.fault) {
        showFailure(m_prompts, kOpenCaption, QStringLiteral("Die Berichtsangaben konnten nicht gelesen werden."),
                    reportFile, report.fault.reason());
    }
    UpdateStatusLine(statusline::CountPhrase::Closed);
}

void ListDocument::setReportDetails(const ReportDetails &details)
{
    if (details == m_reportDetails)
        return;
    m_reportDetails = details;
    emit reportDetailsChanged();
}

void ListDocument::markUnreadOwnFile(const QString &fileName)
{
    // The file on disk may hold what the document does not: a save under its name would destroy it
    // unasked.
    if (samePath(fileName, m_currentFileName))
        m_incompleteLoad = true;
}

bool ListDocument::SaveLists(const QString &fileName)
{
    const FileStamp defaultBefore = FileStamp::of(defaultListFile());
    FileStamp written;
    FileResult<void> saved;
    try {
        // The bytes go to the file as they are made: the whole file is never held in memory.
        const auto lists = [this](ByteSink &out) {
            listfile::write(out, AssemblyList.entries(), DefectCatalog.entries(), DefectList.entries());
        };
        saved = safefile::writeAll(fileName, lists, &written);
    } catch (const std::bad_alloc &) {
        saved = FileError{ENOMEM};
    }
    DefaultFileAge = settledDefaultStamp(defaultBefore, written);
    if (saved.error().code == ENOMEM) {
        showFailure(m_prompts, outofmemory::caption(), outofmemory::text(), fileName, saved.error());
        return false;
    }
    if (!saved) {
        showFailure(m_prompts, QStringLiteral("Fehler beim Speichern"), QStringLiteral("Konnte die Datei nicht erstellen."),
                    fileName, saved.error());
        return false;
    }
    m_currentFileName = fileName;
    m_incompleteLoad = false;
    setNamedTitle(fileName);
    return saveReportDetails(fileName);
}

bool ListDocument::saveReportDetails(const QString &listFile)
{
    const QString path = reportfile::pathFor(listFile);
    const bool unread = samePath(path, m_unreadReportFile);
    reportfile::Fault fault;
    try {
        if (!m_reportDetails.isEmpty())
            fault = reportfile::write(path, m_reportDetails);
        else if (!unread) // details never seen are not thrown away unasked
            fault = reportfile::remove(path);
    } catch (const std::bad_alloc &) {
        showFailure(m_prompts, outofmemory::caption(), outofmemory::text(), path, FileError{ENOMEM});
        return false;
    }
    if (fault) {
        showFailure(m_prompts, QStringLiteral("Fehler beim Speichern"),
                    QStringLiteral("Die Berichtsangaben konnten nicht gespeichert werden."), path, fault.reason());
        return false;
    }
    if (unread && !m_reportDetails.isEmpty())
        m_unreadReportFile.clear();
    return true;
}

bool ListDocument::Save()
{
    if (m_currentFileName.isEmpty() || m_incompleteLoad)
        return SaveAs();
    return SaveLists(m_currentFileName);
}

bool ListDocument::SaveAs()
{
    const std::optional<Prompts::FileChoice> choice = m_prompts.chooseSaveFile(listFileDialog(true, m_currentFileName));
    if (!choice)
        return false;
    const QString name = choice->path;
    const QString before = m_currentFileName;
    const bool saved = SaveLists(name);
    // A details file that failed leaves the list file saved and named all the same.
    if (saved || (m_currentFileName == name && before != name))
        emit savedUnderName(name);
    return saved;
}

bool ListDocument::SaveFirstPrompt(const QString &caption)
{
    const Prompts::Answer answer = m_prompts.message(
        {caption, kSaveQuestion, Prompts::Icon::Question, Prompts::Buttons::YesNoCancel, Prompts::Answer::Yes});
    if (answer == Prompts::Answer::No)
        return true;
    if (answer != Prompts::Answer::Yes)
        return false;
    // A save that fails stops the command: the work the user wanted to keep is not thrown away.
    return Save();
}

void ListDocument::newDocument()
{
    AssemblyList.clear();
    DefectCatalog.clear();
    startUnnamed({});
}

void ListDocument::newDocumentWithCatalog()
{
    // The same inspector goes on to the next building.
    ReportDetails details;
    details.Pruefer = m_reportDetails.Pruefer;
    startUnnamed(details);
}

void ListDocument::startUnnamed(const ReportDetails &details)
{
    m_currentFileName.clear();
    m_incompleteLoad = false;
    setTitle(m_baseTitle + QStringLiteral(" - Kein Name"));
    DefectList.clear();
    m_unreadReportFile.clear();
    setReportDetails(details);
    emit documentReplaced();
    UpdateStatusLine(statusline::CountPhrase::Closed);
}

void ListDocument::checkDefaultFile()
{
    if (m_watchBusy)
        return;
    FlagGuard busy(m_watchBusy);
    const QString file = defaultListFile();
    if (FileStamp::of(file) == DefaultFileAge)
        return;
    const Prompts::Answer answer = m_prompts.message({QStringLiteral("Neu laden"), kReloadQuestion, Prompts::Icon::None,
                                                      Prompts::Buttons::YesNoCancel, Prompts::Answer::Yes});
    // The default file replaces a document of another file, or one without a name, only after the
    // save question: a reload starts a fresh history, so that document could not be had back.
    const bool replace = answer == Prompts::Answer::Yes &&
                         (samePath(m_currentFileName, file) || SaveFirstPrompt(QStringLiteral("Datei: Neu laden...")));
    if (replace)
        OpenLists(file);
    else
        refreshDefaultFileAge();
}

void ListDocument::GesamtPreis()
{
    const QChar separator = localenumber::decimalSeparator();
    if (!m_totalStale && separator == m_totalSeparator)
        return;
    TotalPriceText = statusline::totalPrice(DefectList.entries(), separator);
    m_totalSeparator = separator;
    m_totalStale = false;
}

void ListDocument::UpdateStatusLine(statusline::CountPhrase form)
{
    GesamtPreis();
    m_statusText = statusline::text(DefectList.entries().size(), form, TotalPriceText);
    emit statusTextChanged(m_statusText);
}
