#pragma once

#include "document/ListEntry.h"

#include <cstdint>
#include <functional>
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
// It keeps one folded copy of every entry's name and assembly, the start of each in that copy and
// the matching rows; a text that contains the previous one narrows the previous result instead of
// searching everything again.
class CatalogSearch {
public:
    // Told of every row whose shown state changes, with its new state.
    using RowShown = std::function<void(int row, bool shown)>;

    // Folds the entries anew; the text stays, and every row is reported with its state under it.
    void index(const std::vector<ListEntry> &entries, const RowShown &shown = {});
    // Searches for text (Windows-1252); an empty text shows every row. Reports only the rows whose
    // state changed.
    void setText(std::string_view text, const RowShown &shown = {});

    bool active() const { return !m_needle.empty(); }
    // The rows shown, ascending (every row while no text is set).
    const std::vector<std::uint32_t> &matches() const { return m_matches; }
    int rowCount() const { return m_starts.empty() ? 0 : static_cast<int>(m_starts.size() - 1); }
    bool shows(int row) const;
    // The folded name and assembly of every entry, each followed by a zero byte.
    std::string_view foldedText() const { return m_folded; }

private:
    void searchAll(std::vector<std::uint32_t> &into) const;
    void narrow(const RowShown &shown);

    std::string m_folded;
    std::vector<std::uint32_t> m_starts; // row k's text is [m_starts[k], m_starts[k + 1])
    std::vector<std::uint32_t> m_matches;
    std::string m_needle;
};

} // namespace editing
