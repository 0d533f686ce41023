#include "exchange/CsvExchange.h"

#include "document/OutOfMemory.h"
#include "document/SafeFile.h"
#include "exchange/CsvFile.h"

#include <cerrno>

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
    const auto lines = [&entries, encoding](ByteSink &out) {
        if (encoding == CsvEncoding::Utf8)
            csv::writeUtf8(out, entries);
        else
            csv::write(out, entries);
    };
    const FileResult<void> written = safefile::writeAll(path, lines);
    if (!written)
        showFailure(prompts, QString(), QStringLiteral("Konnte die Datei nicht erstellen."), path, written.error());
    return bool(written);
}

bool importCsv(EntryList &defects, const QString &path, Prompts &prompts)
{
    FileResult<QByteArray> bytes = safefile::readAll(path);
    if (!bytes) {
        if (bytes.error().code == ENOMEM)
            showFailure(prompts, outofmemory::caption(), outofmemory::text(), path, bytes.error());
        else
            showFailure(prompts, QString(), QStringLiteral("Konnte Datei nicht öffnen."), path, bytes.error());
        return false;
    }
    std::vector<ListEntry> imported =
        csv::parse(std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
    bytes->clear();
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
