#include "editing/SortRules.h"

#include "editing/CompareRules.h"
#include "editing/SortCollation.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
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
    std::vector<uint64_t> hashes(texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
        hashes[i] = hasher(texts[i]);
    constexpr size_t kLookAhead = 16; // slots are fetched ahead of their look-up
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i + kLookAhead < texts.size())
            __builtin_prefetch(&table[hashes[i + kLookAhead] & mask]);
        const std::string_view text = texts[i];
        const uint64_t h = hashes[i];
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

// The sort keys of a set of texts, packed one after another.
struct SortKeys {
    std::vector<uint8_t> bytes;
    std::vector<size_t> start;    // per text, where its key begins
    std::vector<uint32_t> length; // per text, the terminating zero included

    const uint8_t *key(uint32_t i) const { return bytes.data() + start[i]; }

    // Eight key bytes from `offset` on as one number that orders like the bytes; zero past the end.
    uint64_t chunk(uint32_t i, uint32_t offset) const
    {
        const uint8_t *p = key(i) + offset;
        const uint32_t end = length[i];
        if (offset + 8 <= end) {
            uint64_t v;
            std::memcpy(&v, p, 8);
            return std::endian::native == std::endian::little ? __builtin_bswap64(v) : v;
        }
        uint64_t v = 0;
        for (uint32_t k = 0; k < 8; ++k)
            v = (v << 8) | (offset + k < end ? p[k] : 0u);
        return v;
    }

    bool equal(uint32_t a, uint32_t b) const
    {
        return length[a] == length[b] && std::memcmp(key(a), key(b), length[a]) == 0;
    }
};

SortKeys sortKeys(const std::vector<std::string_view> &texts)
{
    SortCollation &collation = SortCollation::forDefaultLocale();
    SortKeys keys;
    size_t total = 0;
    for (std::string_view text : texts)
        total += 2 * text.size() + 8;
    keys.bytes.reserve(total);
    keys.start.reserve(texts.size());
    keys.length.reserve(texts.size());
    for (std::string_view text : texts) {
        keys.start.push_back(keys.bytes.size());
        keys.length.push_back(static_cast<uint32_t>(collation.appendSortKey(text, keys.bytes)));
    }
    return keys;
}

struct Chunked {
    uint64_t chunk;
    uint32_t id;
};

// Sorts the ids by their keys, eight bytes at a time: a sort by the first chunk, then each run of
// equal chunks by the following eight bytes, as long as the keys go on.
void sortByKeys(const SortKeys &keys, std::vector<Chunked> &items)
{
    struct Range {
        size_t first, last;
        uint32_t offset;
    };
    std::vector<Range> pending{{0, items.size(), 0}};
    while (!pending.empty()) {
        const Range r = pending.back();
        pending.pop_back();
        Chunked *first = items.data() + r.first, *last = items.data() + r.last;
        for (Chunked *c = first; c != last; ++c)
            c->chunk = keys.chunk(c->id, r.offset);
        std::sort(first, last, [](const Chunked &a, const Chunked &b) { return a.chunk < b.chunk; });
        for (Chunked *run = first; run != last;) {
            Chunked *end = run + 1;
            while (end != last && end->chunk == run->chunk)
                ++end;
            // Keys have no zero byte before their end, so keys with equal chunks end in the same chunk.
            if (end - run > 1 && r.offset + 8 < keys.length[run->id])
                pending.push_back({size_t(run - items.data()), size_t(end - items.data()), r.offset + 8});
            run = end;
        }
    }
}

// Rank of every text in collation order (CompareSortKeys): texts that collate equal share a rank,
// ranks of consecutive classes differ by one, the first class has rank 0.
std::vector<uint32_t> collationRanks(const std::vector<std::string_view> &texts)
{
    const SortKeys keys = sortKeys(texts);
    std::vector<Chunked> sorted(texts.size());
    for (size_t i = 0; i < sorted.size(); ++i)
        sorted[i].id = static_cast<uint32_t>(i);
    sortByKeys(keys, sorted);

    std::vector<uint32_t> rank(texts.size());
    uint32_t current = 0;
    for (size_t k = 0; k < sorted.size(); ++k) {
        if (k > 0 && !keys.equal(sorted[k - 1].id, sorted[k].id))
            ++current;
        rank[sorted[k].id] = current;
    }
    return rank;
}

// Collation rank of each of the given texts.
struct RankedColumn {
    DistinctTexts distinct;
    std::vector<uint32_t> rankOfDistinct;
    uint32_t classes = 0; // ranks run from 0 to classes - 1

    uint32_t rankAt(size_t i) const { return rankOfDistinct[distinct.idOf[i]]; }
};

RankedColumn rankColumn(const std::vector<std::string_view> &texts)
{
    RankedColumn column{distinctTexts(texts), {}};
    column.rankOfDistinct = collationRanks(column.distinct.texts);
    for (uint32_t r : column.rankOfDistinct)
        column.classes = std::max(column.classes, r + 1);
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

// Primary and tie-break ranks by two columns of texts.
std::vector<int> orderByTwoColumns(const std::vector<std::string_view> &primaryTexts,
                                   const std::vector<std::string_view> &tieTexts, bool descending)
{
    const RankedColumn primary = rankColumn(primaryTexts);
    const RankedColumn tie = rankColumn(tieTexts);
    std::vector<uint64_t> keys(primaryTexts.size());
    for (size_t i = 0; i < keys.size(); ++i)
        keys[i] = pack(primary.rankAt(i), tie.rankAt(i), tie.classes);
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
        keys[i] = n ? pack(numberRank(*n), 0, assembly.classes)
                    : pack(numberCount + caption.rankAt(i), assembly.rankAt(i), assembly.classes);
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
