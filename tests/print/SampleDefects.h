#pragma once

#include "document/ListEntry.h"

#include <string>
#include <vector>

// A defect list of the given length for printouts: realistic names (with umlauts, as Windows-1252
// bytes) filed under a handful of assemblies, numbered so that every row is unique.
inline std::vector<ListEntry> sampleDefects(int count)
{
    static const char *const names[] = {"Riss im Putz",
                                        "Fenster klemmt",
                                        "Dachrinne undicht",
                                        "T\xfcrzarge besch\xe4"
                                        "digt",
                                        "Fliesen gesprungen",
                                        "Steckdose ohne Funktion",
                                        "Heizk\xf6rper kalt",
                                        "Silikonfuge schimmelig",
                                        "Gel\xe4nder locker",
                                        "Parkett verkratzt",
                                        "Wasserfleck an der Decke",
                                        "Rollladen h\xe4ngt"};
    static const char *const assemblies[] = {"Fassade", "Fenster", "Dach",        "T\xfcren", "Bad",
                                             "Elektro", "Heizung", "Treppenhaus", "Wohnen"};
    std::vector<ListEntry> rows;
    rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::size_t n = static_cast<std::size_t>(i) % std::size(names);
        const std::size_t a = static_cast<std::size_t>(i) % std::size(assemblies);
        rows.push_back({std::string(names[n]) + " " + std::to_string(i + 1), {assemblies[a]}});
    }
    return rows;
}
