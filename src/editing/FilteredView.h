#pragma once

#include "document/ListEntry.h"

#include <string>
#include <vector>

namespace editing {

// The content of the filtered view: copies of the catalogue entries whose assembly name (sub-item 0)
// equals the selected assembly's caption byte for byte, in catalogue order; with no assembly
// selected (nullptr), copies of the whole catalogue. Case, blanks and the empty text all count:
//   selected "Dach" => entries of "Dach", not of "dach" or "Dach "
// An entry without sub-items counts as filed under the empty name.
std::vector<ListEntry> filterCatalog(const std::vector<ListEntry> &catalog, const std::string *selectedAssembly);

// The catalogue entry a row of the filtered view is a copy of: the index of the first catalogue
// entry with the same caption and the same assembly name, byte for byte; -1 when the catalogue has
// none (any more).
//   copy {"Loch", {"Dach"}} in {"Loch" "Wand"}, {"Loch" "Dach"}, {"Loch" "Dach"} => 1
int catalogRowOf(const std::vector<ListEntry> &catalog, const ListEntry &copy);

} // namespace editing
