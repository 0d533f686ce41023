#pragma once

#include <QLocale>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace editing {

// The collation ranks of the texts a list's sorts have met, kept from one sort to the next, so that a
// sort collates only the texts it has not met before: after an edit, the changed texts; after a
// header click, none.
//
// Every text held has an id (stable while it is held) and a rank in the collation order of
// CompareSortKeys: texts that collate equal share a rank, a lower rank comes first, and ranks run
// densely from 0 to classes() - 1 over the texts held. Ranks change whenever texts are added.
//
// The texts are kept as copies. A look-up of texts that are many fewer than the texts held starts
// afresh, so that the texts a list no longer has do not pile up; a change of the default locale
// starts afresh too.
class CollationRanks {
public:
    // Before the look-ups of one sort, which will name `texts` texts: starts afresh when the default
    // locale has changed or when the texts held are many more than that.
    void prepare(size_t texts);
    // The id of every text (ids[i] for texts[i]), adding the texts not held yet. Call rankNew() before
    // reading the ranks.
    std::vector<uint32_t> idsOf(const std::vector<std::string_view> &texts);
    // Ranks the texts added since the last call: one collation key each when they are many, a binary
    // search among the ranked texts when they are few.
    void rankNew();

    uint32_t rank(uint32_t id) const { return m_texts[id].rank; }
    uint32_t classes() const { return m_classes; }
    size_t size() const { return m_texts.size(); }
    std::string_view text(uint32_t id) const { return {m_bytes.data() + m_texts[id].offset, m_texts[id].length}; }
    // The text read as a number with the default locale's decimal separator (captionNumber), worked
    // out once per text.
    const std::optional<double> &number(uint32_t id);

    // Forgets every text; ids handed out before are void.
    void clear();
    // Changes whenever the texts are forgotten (by clear or prepare).
    uint64_t generation() const { return m_generation; }

private:
    struct Slot {
        uint32_t tag = 0;
        uint32_t idPlusOne = 0; // 0: free
    };
    struct Text {
        size_t offset;
        uint32_t length;
        uint32_t tag;  // the upper half of its hash
        uint32_t rank; // valid once ranked
    };
    uint32_t add(std::string_view text, uint64_t hash);
    void grow();
    void rankAll();
    void insertNew();

    QLocale m_locale;
    std::string m_bytes;
    std::vector<Text> m_texts;
    std::vector<Slot> m_slots; // open addressing, at most half of them taken
    std::vector<uint32_t> m_sorted; // the ids of the ranked texts in collation order
    uint32_t m_ranked = 0;          // ids below this are ranked
    uint32_t m_classes = 0;
    uint64_t m_generation = 0;
    std::vector<std::optional<double>> m_numbers;
    std::vector<bool> m_numberKnown;
};

} // namespace editing
