#include "exchange/CsvExchange.h"

#include "document/SafeFile.h"
#include "exchange/CsvFile.h"

Prompts::FileDialog csvFileDialog(const QString &startPath, CsvDirection direction, CsvEncoding encoding)
{
    Prompts::FileDialog dialog;
    if (direction == CsvDirection::Export) {
        dialog.filter = QStringLiteral("CSV (Trennzeichen-getrennt) (*.csv);;CSV UTF-8 (Trennzeichen-getrennt) (*.csv)");
        dialog.selectedType = static_cast<int>(encoding);
    } else {
        dialog.filter = QStringLiteral("CSV Dateien (*.csv)");
    }
    dialog.defaultSuffix = QStringLiteral("csv");
    dialog.startPath = startPath;
    dialog.confirmOverwrite = direction == CsvDirection::Export;
    return dialog;
}

bool exportCsv(const EntryList &defects, const QString &path, Prompts &prompts, CsvEncoding encoding)
{
    const std::vector<ListEntry> &entries = defects.entries();
    if (safefile::writeAll(path, encoding == CsvEncoding::Utf8 ? csv::encodeUtf8(entries) : csv::encode(entries)))
        return true;
    prompts.error(QString(), QStringLiteral("Konnte die Datei nicht erstellen."));
    return false;
}

bool importCsv(EntryList &defects, const QString &path, Prompts &prompts,
               const std::function<void(std::size_t rows)> &showCheck)
{
    const std::optional<QByteArray> bytes = safefile::readAll(path);
    if (!bytes) {
        prompts.error(QString(), QStringLiteral("Konnte Datei nicht öffnen."));
        return false;
    }
    std::vector<ListEntry> imported =
        csv::parse(std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
    if (showCheck)
        showCheck(static_cast<std::size_t>(defects.count()) + imported.size());
    // Every entry has sub-item 0: the imported ones get it before they are appended, entries already in
    // the list without one get it afterwards.
    const int first = defects.count();
    for (ListEntry &entry : imported) {
        if (entry.subItemCount() == 0)
            entry.appendSubItem({});
    }
    defects.appendEntries(std::move(imported));
    for (int i = 0; i < first; ++i) {
        if (defects.at(i).subItemCount() == 0)
            defects.appendSubItem(i, std::string());
    }
    return true;
}
