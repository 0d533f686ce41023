#pragma once

#include "document/ListEntry.h"
#include "editing/SortState.h"

#include <optional>
#include <string_view>

// The compare rules of the three sorted lists. Each returns -1 (item1 first), 0 (equal) or +1
// (item2 first) for two entries of its list, ordered by the given state. A missing sub-item 0
// reads as the empty text.
namespace editing {

// Assembly list: by caption; SortColumn is ignored.
int ListView1Compare(const ListEntry &item1, const ListEntry &item2, const SortState &state);

// Defect catalogue and filtered view: column 0 by caption, then assembly name; column 1 by
// assembly name, then caption. The direction applies to both keys.
int ListView2Compare(const ListEntry &item1, const ListEntry &item2, const SortState &state);

// Defect list: column 1 like the catalogue. Column 0 ("Name"): captions that both read as numbers
// (with the locale's decimal separator) compare by value, the larger first; a number comes before
// a text; two texts compare by caption, then by assembly name. Descending reverses the whole order.
//   ascending: "12" (Rad), "2,5" (Rad), "Achse" (Bremse), "ACHSE" (Rad), "Bolzen" (Achse)
int ListView3Compare(const ListEntry &item1, const ListEntry &item2, const SortState &state);

// Sub-item 0 of an entry, the empty text when it has none.
std::string_view assemblyOf(const ListEntry &entry);

// The caption read as a number with the default locale's decimal separator, or nothing.
//   "2,5" => 2.5,  "12" => 12,  "2.5" => none,  "Riss" => none   (German locale)
std::optional<double> captionNumber(std::string_view caption);

} // namespace editing
