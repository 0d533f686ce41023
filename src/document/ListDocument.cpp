#include "document/ListDocument.h"

#include "document/ListFile.h"
#include "document/LocaleNumber.h"
#include "document/Prompts.h"
#include "document/SafeFile.h"

#include <QFileInfo>

namespace {
const QStringList kAssemblyColumns{QStringLiteral("Name")};
const QStringList kDefectColumns{QStringLiteral("Name"), QStringLiteral("Baugruppe")};
} // namespace

ListDocument::ListDocument(Prompts &prompts, QObject *parent)
    : QObject(parent),
      AssemblyList(kAssemblyColumns),
      DefectCatalog(kDefectColumns),
      DefectList(kDefectColumns),
      m_prompts(prompts)
{
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
    setTitle(BaseTitle + QStringLiteral(" - ") + QFileInfo(fileName).fileName());
}

void ListDocument::clearLists()
{
    AssemblyList.clear();
    DefectCatalog.clear();
    DefectList.clear();
}

void ListDocument::OpenLists(const QString &fileName)
{
    const std::optional<QByteArray> bytes = safefile::readAll(fileName);
    if (!bytes) {
        m_prompts.error(QStringLiteral("Fehler beim Öffnen"), QStringLiteral("Konnte die Datei nicht öffnen."));
    } else {
        clearLists();
        CurrentFileName = fileName;
        setNamedTitle(fileName);
        listfile::Content content = listfile::parse(std::string_view(bytes->constData(), size_t(bytes->size())));
        AssemblyList.appendEntries(std::move(content.lists[listfile::Assemblies]));
        DefectCatalog.appendEntries(std::move(content.lists[listfile::Catalog]));
        DefectList.appendEntries(std::move(content.lists[listfile::Defects]));
        emit documentReplaced();
        if (content.formatError) {
            m_prompts.error(QStringLiteral("Fehler beim Öffnen"),
                            QStringLiteral("Fehler beim Öffnen der Datei (Ungültiges Format?)."));
        }
    }
    refreshDefaultFileAge();
    UpdateStatusLine(statusline::CountPhrase::Closed);
}

bool ListDocument::SaveLists(const QString &fileName)
{
    const QByteArray bytes = listfile::encode(AssemblyList.entries(), DefectCatalog.entries(), DefectList.entries());
    const bool ok = safefile::writeAll(fileName, bytes);
    if (ok) {
        CurrentFileName = fileName;
        setNamedTitle(fileName);
    } else {
        m_prompts.error(QStringLiteral("Fehler beim Speichern"), QStringLiteral("Konnte die Datei nicht erstellen."));
    }
    refreshDefaultFileAge();
    return ok;
}

void ListDocument::GesamtPreis()
{
    TotalPriceText = statusline::totalPrice(DefectList.entries(), localenumber::decimalSeparator());
}

void ListDocument::UpdateStatusLine(statusline::CountPhrase form)
{
    GesamtPreis();
    m_statusText = statusline::text(DefectList.entries().size(), form, TotalPriceText);
    emit statusTextChanged(m_statusText);
}
