#pragma once

#include "document/ListEntry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace editing {

// The folding that makes a search ignore case, accents, umlauts and ß/ss: one table entry for
// every Windows-1252 byte, each one or two bytes long (ß and the ligatures lengthen the text).
//   fold("Außen-Türblatt Œuvre") => "aussen-turblatt oeuvre"
namespace searchfold {

std::string_view of(unsigned char byte);
std::string fold(std::string_view text);

} // namespace searchfold

// Finds the entries of a list whose name or assembly contains a text anywhere, after folding both.
// It keeps one folded copy of every entry's name and assembly, the start of each row's text in that
// copy and one bit a row for the rows shown; a text that contains the previous one narrows the
// previous result instead of searching everything again. Beyond the text that is a little over six
// bytes an entry: a view lists the shown rows through `match` and `rankOf` instead of a copy.
class CatalogSearch {
public:
    // Folds the entries anew; the text stays and is searched again.
    void index(const std::vector<ListEntry> &entries);
    // Searches for text (Windows-1252); an empty text shows every row.
    void setText(std::string_view text);

    bool active() const { return !m_needle.empty(); }
    int rowCount() const { return m_starts.empty() ? 0 : static_cast<int>(m_starts.size() - 1); }
    // How many rows are shown (every row while no text is set).
    int matchCount() const { return static_cast<int>(m_before.back()); }
    bool shows(int row) const;
    // The k-th shown row, for 0 <= k < matchCount(); asking for k, k + 1, ... in turn costs little.
    int match(int k) const;
    // How many shown rows come before row.
    int rankOf(int row) const;
    // The folded name and assembly of every entry, each followed by a zero byte.
    std::string_view foldedText() const { return m_folded; }

private:
    void searchAll();
    void narrow();
    void counted();

    std::string m_folded;
    std::vector<std::uint32_t> m_starts; // row k's text is [m_starts[k], m_starts[k + 1])
    std::vector<std::uint64_t> m_shown;  // row k is bit k % 64 of word k / 64
    std::vector<std::uint32_t> m_before = std::vector<std::uint32_t>(1); // shown rows before word w, then all
    std::string m_needle;
    // The last answer of match(), where the next one starts.
    mutable int m_lastK = -1;
    mutable int m_lastRow = -1;
};

} // namespace editing
