#pragma once

#include <QLocale>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct UCollator;

namespace editing {

// The collation the sorts use: the default locale's linguistic, case-significant order (ICU at
// tertiary strength, canonical equivalence on, punctuation significant, digits as texts), applied to
// Windows-1252 texts whose letters a to z are first replaced by A to Z.
//
// Comparing two texts and comparing their sort keys byte for byte always give the same answer, so
// pairwise comparisons and sorts by precomputed keys agree.
class SortCollation {
public:
    // The collation of the current default locale (QLocale()); made once per thread and made anew
    // when the default locale changes.
    static SortCollation &forDefaultLocale();

    explicit SortCollation(const QLocale &locale);
    ~SortCollation();
    SortCollation(const SortCollation &) = delete;
    SortCollation &operator=(const SortCollation &) = delete;

    const QLocale &locale() const { return m_locale; }

    // -1, 0 or +1.
    int compare(std::string_view a, std::string_view b);

    // Appends the sort key of `text` to `out`, its terminating zero byte included, and returns the
    // key's length. Sort keys contain no other zero byte.
    size_t appendSortKey(std::string_view text, std::vector<uint8_t> &out);

private:
    // Decodes `text` into `buffer` with a to z upper-cased.
    static void decode(std::string_view text, std::u16string &buffer);

    QLocale m_locale;
    UCollator *m_collator = nullptr;
    std::u16string m_left, m_right;
};

} // namespace editing
