#pragma once

#include "document/EntryList.h"
#include "document/ListEntry.h"
#include "editing/SortState.h"

#include <vector>

// The sorts of the three lists on large inputs. Each gives the same order as a stable sort with the
// matching compare rule (CompareRules.h), but compares collation ranks instead of texts: a sort of n
// entries costs n hash look-ups, one collation key (or a few comparisons) per text not ranked before,
// and an integer sort.
namespace editing {

class CollationRanks;

// The new order as indexes into `entries` (position k of the sorted list takes entries[order[k]]).
// `ranks` holds the ranks of the texts met before and is brought up to date with the entries' texts.
std::vector<int> assemblyOrder(CollationRanks &ranks, const std::vector<ListEntry> &entries, const SortState &state);
std::vector<int> catalogOrder(CollationRanks &ranks, const std::vector<ListEntry> &entries, const SortState &state);
std::vector<int> defectListOrder(CollationRanks &ranks, const std::vector<ListEntry> &entries,
                                 const SortState &state);
// The same, ranking every text afresh.
std::vector<int> assemblyOrder(const std::vector<ListEntry> &entries, const SortState &state);
std::vector<int> catalogOrder(const std::vector<ListEntry> &entries, const SortState &state);
std::vector<int> defectListOrder(const std::vector<ListEntry> &entries, const SortState &state);

// Sort rules for EntryList::setSortRule. Each keeps a reference to `state` and reads it when the
// list is sorted, so header clicks after installing the rule take effect; `state` must outlive the
// rule. Each keeps its own CollationRanks from one sort to the next, so a sort collates only texts it
// has not met before. Given the list it is installed on, a rule also keeps the ids of the entries'
// texts in the order it gave, and a list unchanged since (EntryList::unchangedSinceSort, as before a
// header click) is sorted without looking up a single text. The list must outlive the rule.
EntryList::SortRule assemblySortRule(const SortState &state, const EntryList *list = nullptr);
EntryList::SortRule catalogSortRule(const SortState &state, const EntryList *list = nullptr);
EntryList::SortRule defectListSortRule(const SortState &state, const EntryList *list = nullptr);

} // namespace editing
