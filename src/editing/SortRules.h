#pragma once

#include "document/EntryList.h"
#include "document/ListEntry.h"
#include "editing/SortState.h"

#include <vector>

// The sorts of the three lists on large inputs. Each gives the same order as a stable sort with the
// matching compare rule (CompareRules.h), but compares precomputed collation ranks instead of texts:
// every distinct text is collated once, so a sort of n entries costs n hash look-ups, one collation
// key per distinct text and an integer sort.
namespace editing {

// The new order as indexes into `entries` (position k of the sorted list takes entries[order[k]]).
std::vector<int> assemblyOrder(const std::vector<ListEntry> &entries, const SortState &state);
std::vector<int> catalogOrder(const std::vector<ListEntry> &entries, const SortState &state);
std::vector<int> defectListOrder(const std::vector<ListEntry> &entries, const SortState &state);

// Sort rules for EntryList::setSortRule. Each keeps a reference to `state` and reads it when the
// list is sorted, so header clicks after installing the rule take effect; `state` must outlive the
// rule.
EntryList::SortRule assemblySortRule(const SortState &state);
EntryList::SortRule catalogSortRule(const SortState &state);
EntryList::SortRule defectListSortRule(const SortState &state);

} // namespace editing
