#pragma once

#include <QString>

// The names of the undo history's steps, as the menu "Bearbeiten" shows them ("Rückgängig: Eintrag
// löschen"). A handler names the step it brackets; a change made outside any bracket takes the name
// of its kind.
namespace editing::stepname {

inline QString add() { return QStringLiteral("Eintrag hinzufügen"); }
inline QString remove() { return QStringLiteral("Eintrag löschen"); }
inline QString clear() { return QStringLiteral("Liste löschen"); }
inline QString rename() { return QStringLiteral("Umbenennen"); }
inline QString change() { return QStringLiteral("Eintrag ändern"); }
inline QString move() { return QStringLiteral("Verschieben"); }
inline QString sort() { return QStringLiteral("Sortieren"); }
inline QString editDefect() { return QStringLiteral("Mangel bearbeiten"); }
inline QString copyDefect() { return QStringLiteral("In Mängelliste übernehmen"); }
inline QString csvImport() { return QStringLiteral("CSV Import"); }
inline QString reportDetails() { return QStringLiteral("Berichtsangaben ändern"); }
inline QString takeOverCatalog() { return QStringLiteral("Katalog übernehmen"); }

} // namespace editing::stepname
