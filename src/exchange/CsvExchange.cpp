#include "exchange/CsvExchange.h"

#include "document/SafeFile.h"
#include "exchange/CsvFile.h"

Prompts::FileDialog csvFileDialog(const QString &startPath, CsvDirection direction)
{
    Prompts::FileDialog dialog;
    dialog.filter = QStringLiteral("CSV Dateien (*.csv)");
    dialog.defaultSuffix = QStringLiteral("csv");
    dialog.startPath = startPath;
    dialog.confirmOverwrite = direction == CsvDirection::Export;
    return dialog;
}

bool exportCsv(const EntryList &defects, const QString &path, Prompts &prompts)
{
    if (safefile::writeAll(path, csv::encode(defects.entries())))
        return true;
    prompts.error(QString(), QStringLiteral("Konnte die Datei nicht erstellen."));
    return false;
}

bool importCsv(EntryList &defects, const QString &path, Prompts &prompts)
{
    const std::optional<QByteArray> bytes = safefile::readAll(path);
    if (!bytes) {
        prompts.error(QString(), QStringLiteral("Konnte Datei nicht öffnen."));
        return false;
    }
    std::vector<ListEntry> imported =
        csv::parse(std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
    // Every entry has sub-item 0: the imported ones get it before they are appended, entries already in
    // the list without one get it afterwards.
    const int first = defects.count();
    for (ListEntry &entry : imported) {
        if (entry.subItems.empty())
            entry.subItems.emplace_back();
    }
    defects.appendEntries(std::move(imported));
    for (int i = 0; i < first; ++i) {
        if (defects.at(i).subItems.empty())
            defects.appendSubItem(i, std::string());
    }
    return true;
}
