#include "editing/SortRules.h"

#include "editing/CompareRules.h"
#include "editing/SortKeys.h"

#include <QCollatorSortKey>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <numeric>
#include <string_view>

namespace editing {
namespace {

// The distinct texts of a column and, for every input text, the index of its distinct text.
struct DistinctTexts {
    std::vector<uint32_t> idOf;
    std::vector<std::string_view> texts;
};

// Groups byte-equal texts with an open-addressing hash table (one pass, first occurrence first).
DistinctTexts distinctTexts(const std::vector<std::string_view> &texts)
{
    DistinctTexts out;
    out.idOf.resize(texts.size());
    const size_t capacity = std::bit_ceil(std::max<size_t>(16, texts.size() * 2));
    const size_t mask = capacity - 1;
    struct Slot {
        uint32_t hash = 0;
        uint32_t idPlusOne = 0; // 0: free
    };
    std::vector<Slot> table(capacity);
    const std::hash<std::string_view> hasher;
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string_view text = texts[i];
        const size_t h = hasher(text);
        const auto tag = static_cast<uint32_t>(h >> 32);
        for (size_t pos = h & mask;; pos = (pos + 1) & mask) {
            Slot &slot = table[pos];
            if (slot.idPlusOne == 0) {
                slot = {tag, static_cast<uint32_t>(out.texts.size() + 1)};
                out.idOf[i] = static_cast<uint32_t>(out.texts.size());
                out.texts.push_back(text);
                break;
            }
            if (slot.hash == tag && out.texts[slot.idPlusOne - 1] == text) {
                out.idOf[i] = slot.idPlusOne - 1;
                break;
            }
        }
    }
    return out;
}

// Rank of every text in collation order (CompareSortKeys): texts that collate equal share a rank,
// ranks of consecutive classes differ by one, the first class has rank 0.
std::vector<uint32_t> collationRanks(const std::vector<std::string_view> &texts)
{
    const QCollator &collator = sortCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts.size());
    for (std::string_view text : texts)
        keys.push_back(collator.sortKey(sortText(text)));

    std::vector<uint32_t> byKey(texts.size());
    std::iota(byKey.begin(), byKey.end(), 0u);
    std::sort(byKey.begin(), byKey.end(), [&](uint32_t a, uint32_t b) { return keys[a].compare(keys[b]) < 0; });

    std::vector<uint32_t> rank(texts.size());
    uint32_t current = 0;
    for (size_t k = 0; k < byKey.size(); ++k) {
        if (k > 0 && keys[byKey[k - 1]].compare(keys[byKey[k]]) != 0)
            ++current;
        rank[byKey[k]] = current;
    }
    return rank;
}

// Collation rank of each of the given texts.
struct RankedColumn {
    DistinctTexts distinct;
    std::vector<uint32_t> rankOfDistinct;

    uint32_t rankAt(size_t i) const { return rankOfDistinct[distinct.idOf[i]]; }
};

RankedColumn rankColumn(const std::vector<std::string_view> &texts)
{
    RankedColumn column{distinctTexts(texts), {}};
    column.rankOfDistinct = collationRanks(column.distinct.texts);
    return column;
}

std::vector<std::string_view> captions(const std::vector<ListEntry> &entries)
{
    std::vector<std::string_view> out;
    out.reserve(entries.size());
    for (const ListEntry &e : entries)
        out.emplace_back(e.caption);
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
// among equal keys.
std::vector<int> orderByKeys(const std::vector<uint64_t> &keys, bool reversed)
{
    struct Item {
        uint64_t key;
        uint32_t index;
    };
    std::vector<Item> items(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        items[i] = {reversed ? ~keys[i] : keys[i], static_cast<uint32_t>(i)};
    // Keys paired with their index are unique, so an unstable sort leaves a stable order.
    std::sort(items.begin(), items.end(),
              [](const Item &a, const Item &b) { return a.key != b.key ? a.key < b.key : a.index < b.index; });
    std::vector<int> order(keys.size());
    for (size_t k = 0; k < items.size(); ++k)
        order[k] = static_cast<int>(items[k].index);
    return order;
}

uint64_t pack(uint32_t primary, uint32_t tie) { return (uint64_t(primary) << 32) | tie; }

// Primary and tie-break ranks by two columns of texts.
std::vector<int> orderByTwoColumns(const std::vector<std::string_view> &primaryTexts,
                                   const std::vector<std::string_view> &tieTexts, bool descending)
{
    const RankedColumn primary = rankColumn(primaryTexts);
    const RankedColumn tie = rankColumn(tieTexts);
    std::vector<uint64_t> keys(primaryTexts.size());
    for (size_t i = 0; i < keys.size(); ++i)
        keys[i] = pack(primary.rankAt(i), tie.rankAt(i));
    return orderByKeys(keys, descending);
}

} // namespace

std::vector<int> assemblyOrder(const std::vector<ListEntry> &entries, const SortState &state)
{
    const RankedColumn caption = rankColumn(captions(entries));
    std::vector<uint64_t> keys(entries.size());
    for (size_t i = 0; i < keys.size(); ++i)
        keys[i] = caption.rankAt(i);
    return orderByKeys(keys, state.Descending);
}

std::vector<int> catalogOrder(const std::vector<ListEntry> &entries, const SortState &state)
{
    if (state.SortColumn == 1)
        return orderByTwoColumns(assemblies(entries), captions(entries), state.Descending);
    return orderByTwoColumns(captions(entries), assemblies(entries), state.Descending);
}

std::vector<int> defectListOrder(const std::vector<ListEntry> &entries, const SortState &state)
{
    if (state.SortColumn == 1)
        return catalogOrder(entries, state);

    // Numbers first, larger values first; then texts by caption and assembly.
    const RankedColumn caption = rankColumn(captions(entries));
    const RankedColumn assembly = rankColumn(assemblies(entries));
    const std::vector<std::string_view> &distinct = caption.distinct.texts;
    std::vector<std::optional<double>> numberOfDistinct(distinct.size());
    std::vector<double> values;
    for (size_t d = 0; d < distinct.size(); ++d) {
        numberOfDistinct[d] = captionNumber(distinct[d]);
        if (numberOfDistinct[d])
            values.push_back(*numberOfDistinct[d]);
    }
    std::sort(values.begin(), values.end(), std::greater<>());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    const auto numberRank = [&](double v) {
        return static_cast<uint32_t>(std::lower_bound(values.begin(), values.end(), v, std::greater<>()) -
                                     values.begin());
    };
    const auto numberCount = static_cast<uint32_t>(values.size());

    std::vector<uint64_t> keys(entries.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        const std::optional<double> &n = numberOfDistinct[caption.distinct.idOf[i]];
        keys[i] = n ? pack(numberRank(*n), 0) : pack(numberCount + caption.rankAt(i), assembly.rankAt(i));
    }
    return orderByKeys(keys, state.Descending);
}

EntryList::SortRule assemblySortRule(const SortState &state)
{
    return [&state](const std::vector<ListEntry> &entries) { return assemblyOrder(entries, state); };
}

EntryList::SortRule catalogSortRule(const SortState &state)
{
    return [&state](const std::vector<ListEntry> &entries) { return catalogOrder(entries, state); };
}

EntryList::SortRule defectListSortRule(const SortState &state)
{
    return [&state](const std::vector<ListEntry> &entries) { return defectListOrder(entries, state); };
}

} // namespace editing
