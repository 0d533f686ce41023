#include "editing/SortRules.h"

#include "editing/CompareRules.h"
#include "editing/CollationRanks.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>

namespace editing {
namespace {

// Per entry, the rank of its text among the ranks the entries use, dense from 0.
struct Column {
    std::vector<uint32_t> rank;
    uint32_t classes = 0;
};

Column denseColumn(const CollationRanks &ranks, const std::vector<uint32_t> &ids)
{
    std::vector<uint32_t> dense(size_t(ranks.classes()) + 1, 0);
    for (uint32_t id : ids)
        dense[ranks.rank(id)] = 1;
    Column column;
    for (uint32_t &d : dense) {
        const uint32_t used = d;
        d = column.classes;
        column.classes += used;
    }
    column.rank.resize(ids.size());
    for (size_t i = 0; i < ids.size(); ++i)
        column.rank[i] = dense[ranks.rank(ids[i])];
    return column;
}

std::vector<std::string_view> captions(const std::vector<ListEntry> &entries)
{
    std::vector<std::string_view> out;
    out.reserve(entries.size());
    for (const ListEntry &e : entries)
        out.emplace_back(e.caption());
    return out;
}

std::vector<std::string_view> assemblies(const std::vector<ListEntry> &entries)
{
    std::vector<std::string_view> out;
    out.reserve(entries.size());
    for (const ListEntry &e : entries)
        out.push_back(assemblyOf(e));
    return out;
}

// Sorts the indexes by their keys (ascending, or descending when reversed) and keeps the input order
// among equal keys: a least-significant-digit radix sort, which is stable by itself.
std::vector<int> orderByKeys(const std::vector<uint64_t> &keys, bool reversed)
{
    struct Item {
        uint64_t key;
        uint32_t index;
    };
    const size_t n = keys.size();
    const uint64_t max = n ? *std::max_element(keys.begin(), keys.end()) : 0;
    std::vector<Item> items(n), next(n);
    for (size_t i = 0; i < n; ++i)
        items[i] = {reversed ? max - keys[i] : keys[i], static_cast<uint32_t>(i)};

    constexpr int kDigitBits = 11;
    constexpr uint64_t kDigitMask = (uint64_t(1) << kDigitBits) - 1;
    const int width = static_cast<int>(std::bit_width(max));
    for (int shift = 0; shift < width; shift += kDigitBits) {
        std::vector<uint32_t> start(size_t(kDigitMask) + 2, 0);
        for (const Item &item : items)
            ++start[((item.key >> shift) & kDigitMask) + 1];
        for (size_t d = 1; d < start.size(); ++d)
            start[d] += start[d - 1];
        for (const Item &item : items)
            next[start[(item.key >> shift) & kDigitMask]++] = item;
        items.swap(next);
    }

    std::vector<int> order(n);
    for (size_t k = 0; k < n; ++k)
        order[k] = static_cast<int>(items[k].index);
    return order;
}

// One key from a primary and a tie-break rank, ordered by the primary rank first.
uint64_t pack(uint32_t primary, uint32_t tie, uint32_t tieClasses)
{
    return uint64_t(primary) * std::max<uint32_t>(tieClasses, 1) + tie;
}

// The ids of the entries' captions and assemblies, every text ranked.
struct EntryTexts {
    std::vector<uint32_t> caption, assembly;
};

EntryTexts rankTexts(CollationRanks &ranks, const std::vector<ListEntry> &entries, bool withAssemblies)
{
    ranks.prepare(withAssemblies ? 2 * entries.size() : entries.size());
    EntryTexts ids;
    ids.caption = ranks.idsOf(captions(entries));
    if (withAssemblies)
        ids.assembly = ranks.idsOf(assemblies(entries));
    ranks.rankNew();
    return ids;
}

// Primary and tie-break ranks by two columns of texts.
std::vector<int> orderByTwoColumns(const CollationRanks &ranks, const std::vector<uint32_t> &primaryIds,
                                   const std::vector<uint32_t> &tieIds, bool descending)
{
    const Column primary = denseColumn(ranks, primaryIds);
    const Column tie = denseColumn(ranks, tieIds);
    std::vector<uint64_t> keys(primaryIds.size());
    for (size_t i = 0; i < keys.size(); ++i)
        keys[i] = pack(primary.rank[i], tie.rank[i], tie.classes);
    return orderByKeys(keys, descending);
}

std::vector<int> assemblyOrderOf(const CollationRanks &ranks, const EntryTexts &ids, const SortState &state)
{
    const Column caption = denseColumn(ranks, ids.caption);
    return orderByKeys(std::vector<uint64_t>(caption.rank.begin(), caption.rank.end()), state.Descending);
}

std::vector<int> catalogOrderOf(const CollationRanks &ranks, const EntryTexts &ids, const SortState &state)
{
    if (state.SortColumn == 1)
        return orderByTwoColumns(ranks, ids.assembly, ids.caption, state.Descending);
    return orderByTwoColumns(ranks, ids.caption, ids.assembly, state.Descending);
}

std::vector<int> defectListOrderOf(CollationRanks &ranks, const EntryTexts &ids, const SortState &state)
{
    if (state.SortColumn == 1)
        return catalogOrderOf(ranks, ids, state);

    // Numbers first, larger values first; then texts by caption and assembly.
    const Column caption = denseColumn(ranks, ids.caption);
    const Column assembly = denseColumn(ranks, ids.assembly);
    // Each distinct caption is read as a number once.
    std::vector<bool> seen(ranks.size(), false);
    std::vector<double> values;
    for (uint32_t id : ids.caption) {
        if (seen[id])
            continue;
        seen[id] = true;
        if (const std::optional<double> &n = ranks.number(id))
            values.push_back(*n);
    }
    std::sort(values.begin(), values.end(), std::greater<>());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    const auto numberRank = [&](double v) {
        return static_cast<uint32_t>(std::lower_bound(values.begin(), values.end(), v, std::greater<>()) -
                                     values.begin());
    };
    const auto numberCount = static_cast<uint32_t>(values.size());

    std::vector<uint64_t> keys(ids.caption.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        const std::optional<double> &n = ranks.number(ids.caption[i]);
        keys[i] = n ? pack(numberRank(*n), 0, assembly.classes)
                    : pack(numberCount + caption.rank[i], assembly.rank[i], assembly.classes);
    }
    return orderByKeys(keys, state.Descending);
}

struct Sort {
    bool withAssemblies;
    std::vector<int> (*orderOf)(CollationRanks &, const EntryTexts &, const SortState &);
};

const Sort kAssemblySort{false, [](CollationRanks &r, const EntryTexts &ids, const SortState &s) {
                             return assemblyOrderOf(r, ids, s);
                         }};
const Sort kCatalogSort{true, [](CollationRanks &r, const EntryTexts &ids, const SortState &s) {
                            return catalogOrderOf(r, ids, s);
                        }};
const Sort kDefectListSort{true, defectListOrderOf};

std::vector<int> sortWith(const Sort &sort, CollationRanks &ranks, const std::vector<ListEntry> &entries,
                          const SortState &state)
{
    return sort.orderOf(ranks, rankTexts(ranks, entries, sort.withAssemblies), state);
}

// What a rule keeps between sorts: the ranks, and the ids of the entries' texts in the order the
// rule gave last.
struct Kept {
    CollationRanks ranks;
    EntryTexts ids;
    uint64_t generation = 0;
    bool valid = false;
};

std::vector<int> sortKeeping(const Sort &sort, Kept &kept, const EntryList *list, const std::vector<ListEntry> &entries,
                             const SortState &state)
{
    // Unchanged entries keep their ids; only the order they stand in is new.
    kept.ranks.prepare(sort.withAssemblies ? 2 * entries.size() : entries.size());
    const bool reuse = kept.valid && list && list->unchangedSinceSort() && kept.ids.caption.size() == entries.size()
                       && kept.generation == kept.ranks.generation();
    kept.valid = false;
    EntryTexts ids = reuse ? std::move(kept.ids) : rankTexts(kept.ranks, entries, sort.withAssemblies);
    std::vector<int> order = sort.orderOf(kept.ranks, ids, state);

    EntryTexts sorted;
    sorted.caption.resize(order.size());
    for (size_t k = 0; k < order.size(); ++k)
        sorted.caption[k] = ids.caption[size_t(order[k])];
    if (sort.withAssemblies) {
        sorted.assembly.resize(order.size());
        for (size_t k = 0; k < order.size(); ++k)
            sorted.assembly[k] = ids.assembly[size_t(order[k])];
    }
    kept.ids = std::move(sorted);
    kept.generation = kept.ranks.generation();
    kept.valid = true;
    return order;
}

EntryList::SortRule ruleKeeping(const Sort &sort, const SortState &state, const EntryList *list)
{
    auto kept = std::make_shared<Kept>();
    return [&sort, &state, kept, list](const std::vector<ListEntry> &entries) {
        return sortKeeping(sort, *kept, list, entries, state);
    };
}

} // namespace

std::vector<int> assemblyOrder(CollationRanks &ranks, const std::vector<ListEntry> &entries, const SortState &state)
{
    return sortWith(kAssemblySort, ranks, entries, state);
}

std::vector<int> catalogOrder(CollationRanks &ranks, const std::vector<ListEntry> &entries, const SortState &state)
{
    return sortWith(kCatalogSort, ranks, entries, state);
}

std::vector<int> defectListOrder(CollationRanks &ranks, const std::vector<ListEntry> &entries, const SortState &state)
{
    return sortWith(kDefectListSort, ranks, entries, state);
}

std::vector<int> assemblyOrder(const std::vector<ListEntry> &entries, const SortState &state)
{
    CollationRanks ranks;
    return assemblyOrder(ranks, entries, state);
}

std::vector<int> catalogOrder(const std::vector<ListEntry> &entries, const SortState &state)
{
    CollationRanks ranks;
    return catalogOrder(ranks, entries, state);
}

std::vector<int> defectListOrder(const std::vector<ListEntry> &entries, const SortState &state)
{
    CollationRanks ranks;
    return defectListOrder(ranks, entries, state);
}

EntryList::SortRule assemblySortRule(const SortState &state, const EntryList *list)
{
    return ruleKeeping(kAssemblySort, state, list);
}

EntryList::SortRule catalogSortRule(const SortState &state, const EntryList *list)
{
    return ruleKeeping(kCatalogSort, state, list);
}

EntryList::SortRule defectListSortRule(const SortState &state, const EntryList *list)
{
    return ruleKeeping(kDefectListSort, state, list);
}

} // namespace editing
