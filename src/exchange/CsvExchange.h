#pragma once

#include "document/EntryList.h"
#include "document/Prompts.h"

#include <QString>


// The CSV export and import of the defect list, as run by the main window's menu commands once the
// user has chosen a file.

enum class CsvDirection { Import, Export };

// The file types the export offers, in the order of its dialog: today's Windows-1252 file, and UTF-8
// as spreadsheets write it (see csv::encodeUtf8).
enum class CsvEncoding { Windows1252 = 0, Utf8 = 1 };

// The file dialog of both commands: CSV files, suffix "csv" added to a name without one. The
// export's dialog offers the two file types of CsvEncoding, `encoding` selected, and asks before an
// existing file is replaced (No returns to the dialog), as Save As does. startPath is the name chosen
// last time, if any.
Prompts::FileDialog csvFileDialog(const QString &startPath, CsvDirection direction,
                                  CsvEncoding encoding = CsvEncoding::Windows1252);

// Writes the entries of defects to path (see csv::encode and csv::encodeUtf8), replacing an existing file (the dialog
// has asked). When the file cannot be written completely, shows "Konnte die Datei nicht erstellen."
// (default caption, error icon, OK, the file's name and the reason), leaves an existing file as it
// was and returns false.
bool exportCsv(const EntryList &defects, const QString &path, Prompts &prompts,
               CsvEncoding encoding = CsvEncoding::Windows1252);

// Reads the whole file at path and appends its entries (see csv::parse) at the end of defects in one
// step; then every entry of defects without a sub-item gets an empty sub-item 0. When the file
// cannot be opened or read completely, shows "Konnte Datei nicht öffnen." (default caption, error
// icon, OK, the file's name and the reason), appends nothing and returns false; a file too large
// for the memory shows the out-of-memory message instead. Nothing is sorted, selected or cleared.
bool importCsv(EntryList &defects, const QString &path, Prompts &prompts);
