#pragma once

#include <string_view>

namespace editing {

// Compares two Windows-1252 texts for the column sorts and returns -1, 0 or +1: the letters a to z
// count as A to Z, then the default locale's linguistic, case-significant collation decides
// (see SortCollation).
//   CompareSortKeys("Rahmen", "RAHMEN") => 0
//   CompareSortKeys("\xd6lfilter", "\xf6lfilter") => +1 ("Ölfilter" after "ölfilter")
//   CompareSortKeys("B\xfcgel", "Buhne") => -1 ("Bügel" with the u, not after z)
int CompareSortKeys(std::string_view a, std::string_view b);

} // namespace editing
