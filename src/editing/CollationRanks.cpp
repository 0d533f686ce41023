#include "editing/CollationRanks.h"

#include "editing/CompareRules.h"
#include "editing/SortCollation.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>

namespace editing {
namespace {

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

} // namespace

void CollationRanks::clear()
{
    m_bytes.clear();
    m_bytes.shrink_to_fit();
    m_texts = {};
    m_slots = {};
    m_sorted = {};
    m_ranked = 0;
    m_classes = 0;
    m_numbers = {};
    m_numberKnown = {};
    ++m_generation;
}

void CollationRanks::prepare(size_t texts)
{
    if (m_locale != QLocale()) {
        clear();
        m_locale = QLocale();
    } else if (m_texts.size() > 2 * texts + 4096) {
        clear();
    }
}

void CollationRanks::grow()
{
    const size_t capacity = std::max<size_t>(64, 2 * m_slots.size());
    std::vector<Slot> table(capacity);
    const size_t mask = capacity - 1;
    for (uint32_t id = 0; id < m_texts.size(); ++id) {
        const uint64_t h = std::hash<std::string_view>{}(text(id));
        for (size_t pos = h & mask;; pos = (pos + 1) & mask) {
            if (table[pos].idPlusOne == 0) {
                table[pos] = {m_texts[id].tag, id + 1};
                break;
            }
        }
    }
    m_slots = std::move(table);
}

uint32_t CollationRanks::add(std::string_view text, uint64_t hash)
{
    const auto id = static_cast<uint32_t>(m_texts.size());
    m_texts.push_back({m_bytes.size(), static_cast<uint32_t>(text.size()), static_cast<uint32_t>(hash >> 32), 0});
    m_bytes.append(text);
    return id;
}

std::vector<uint32_t> CollationRanks::idsOf(const std::vector<std::string_view> &texts)
{
    std::vector<uint32_t> ids(texts.size());
    const std::hash<std::string_view> hasher;
    std::vector<uint64_t> hashes(texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
        hashes[i] = hasher(texts[i]);
    constexpr size_t kLookAhead = 16; // slots are fetched ahead of their look-up
    for (size_t i = 0; i < texts.size(); ++i) {
        if (2 * (m_texts.size() + 1) > m_slots.size())
            grow();
        Slot *table = m_slots.data();
        const size_t mask = m_slots.size() - 1;
        if (i + kLookAhead < texts.size())
            __builtin_prefetch(&table[hashes[i + kLookAhead] & mask]);
        const std::string_view text = texts[i];
        const uint64_t h = hashes[i];
        const auto tag = static_cast<uint32_t>(h >> 32);
        for (size_t pos = h & mask;; pos = (pos + 1) & mask) {
            Slot &slot = table[pos];
            if (slot.idPlusOne == 0) {
                ids[i] = add(text, h);
                slot = {tag, ids[i] + 1};
                break;
            }
            if (slot.tag == tag && this->text(slot.idPlusOne - 1) == text) {
                ids[i] = slot.idPlusOne - 1;
                break;
            }
        }
    }
    return ids;
}

void CollationRanks::rankNew()
{
    const size_t fresh = m_texts.size() - m_ranked;
    if (fresh == 0)
        return;
    // A binary search takes about log2(n) comparisons for one new text, a key about as long as one.
    if (m_ranked == 0 || fresh * (std::bit_width(m_sorted.size()) + 1) >= m_texts.size())
        rankAll();
    else
        insertNew();
    m_ranked = static_cast<uint32_t>(m_texts.size());
}

void CollationRanks::rankAll()
{
    SortCollation &collation = SortCollation::forDefaultLocale();
    SortKeys keys;
    keys.bytes.reserve(2 * m_bytes.size() + 8 * m_texts.size());
    keys.start.reserve(m_texts.size());
    keys.length.reserve(m_texts.size());
    for (uint32_t id = 0; id < m_texts.size(); ++id) {
        keys.start.push_back(keys.bytes.size());
        keys.length.push_back(static_cast<uint32_t>(collation.appendSortKey(text(id), keys.bytes)));
    }
    std::vector<Chunked> sorted(m_texts.size());
    for (size_t i = 0; i < sorted.size(); ++i)
        sorted[i].id = static_cast<uint32_t>(i);
    sortByKeys(keys, sorted);

    m_sorted.resize(sorted.size());
    uint32_t current = 0;
    for (size_t k = 0; k < sorted.size(); ++k) {
        if (k > 0 && !keys.equal(sorted[k - 1].id, sorted[k].id))
            ++current;
        m_texts[sorted[k].id].rank = current;
        m_sorted[k] = sorted[k].id;
    }
    m_classes = sorted.empty() ? 0 : current + 1;
}

void CollationRanks::insertNew()
{
    SortCollation &collation = SortCollation::forDefaultLocale();
    // Each new text goes before the first ranked text that comes after it (an upper bound), so the
    // ranked text that follows a new one is always greater than it.
    struct Placed {
        size_t before;
        uint32_t id;
    };
    std::vector<Placed> placed;
    placed.reserve(m_texts.size() - m_ranked);
    for (uint32_t id = m_ranked; id < m_texts.size(); ++id) {
        size_t lo = 0, hi = m_sorted.size();
        while (lo < hi) {
            const size_t mid = (lo + hi) / 2;
            if (collation.compare(text(id), text(m_sorted[mid])) < 0)
                hi = mid;
            else
                lo = mid + 1;
        }
        placed.push_back({lo, id});
    }
    std::stable_sort(placed.begin(), placed.end(), [&](const Placed &a, const Placed &b) {
        if (a.before != b.before)
            return a.before < b.before;
        return collation.compare(text(a.id), text(b.id)) < 0;
    });

    std::vector<uint32_t> merged;
    merged.reserve(m_texts.size());
    uint32_t rank = 0, previousOldRank = 0;
    bool previousNew = false;
    const auto put = [&](uint32_t id, bool isNew) {
        if (!merged.empty()) {
            bool same;
            if (isNew)
                same = collation.compare(text(merged.back()), text(id)) == 0;
            else
                same = !previousNew && previousOldRank == m_texts[id].rank;
            if (!same)
                ++rank;
        }
        if (!isNew)
            previousOldRank = m_texts[id].rank;
        previousNew = isNew;
        m_texts[id].rank = rank;
        merged.push_back(id);
    };
    size_t k = 0;
    for (size_t p = 0; p <= m_sorted.size(); ++p) {
        for (; k < placed.size() && placed[k].before == p; ++k)
            put(placed[k].id, true);
        if (p < m_sorted.size())
            put(m_sorted[p], false);
    }
    m_sorted = std::move(merged);
    m_classes = rank + 1;
}

const std::optional<double> &CollationRanks::number(uint32_t id)
{
    if (m_numbers.size() < m_texts.size()) {
        m_numbers.resize(m_texts.size());
        m_numberKnown.resize(m_texts.size(), false);
    }
    if (!m_numberKnown[id]) {
        m_numbers[id] = captionNumber(text(id));
        m_numberKnown[id] = true;
    }
    return m_numbers[id];
}

} // namespace editing
