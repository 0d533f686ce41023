#include "editing/CatalogSearch.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>

namespace editing {
namespace searchfold {
namespace {

struct Folded {
    std::array<char, 2> bytes{};
    unsigned char length = 1;
};

// What each byte folds to where that is not the byte itself or, for A..Z, its lower case.
constexpr struct {
    unsigned char from;
    const char *to;
} kLetters[] = {
    {0x8A, "s"},  {0x8C, "oe"}, {0x8E, "z"},  {0x9A, "s"},  {0x9C, "oe"}, {0x9E, "z"},  {0x9F, "y"},
    {0xC0, "a"},  {0xC1, "a"},  {0xC2, "a"},  {0xC3, "a"},  {0xC4, "a"},  {0xC5, "a"},  {0xC6, "ae"},
    {0xC7, "c"},  {0xC8, "e"},  {0xC9, "e"},  {0xCA, "e"},  {0xCB, "e"},  {0xCC, "i"},  {0xCD, "i"},
    {0xCE, "i"},  {0xCF, "i"},  {0xD0, "d"},  {0xD1, "n"},  {0xD2, "o"},  {0xD3, "o"},  {0xD4, "o"},
    {0xD5, "o"},  {0xD6, "o"},  {0xD8, "o"},  {0xD9, "u"},  {0xDA, "u"},  {0xDB, "u"},  {0xDC, "u"},
    {0xDD, "y"},  {0xDE, "\xFE"}, {0xDF, "ss"}, {0xE0, "a"}, {0xE1, "a"}, {0xE2, "a"}, {0xE3, "a"},
    {0xE4, "a"},  {0xE5, "a"},  {0xE6, "ae"}, {0xE7, "c"},  {0xE8, "e"},  {0xE9, "e"},  {0xEA, "e"},
    {0xEB, "e"},  {0xEC, "i"},  {0xED, "i"},  {0xEE, "i"},  {0xEF, "i"},  {0xF0, "d"},  {0xF1, "n"},
    {0xF2, "o"},  {0xF3, "o"},  {0xF4, "o"},  {0xF5, "o"},  {0xF6, "o"},  {0xF8, "o"},  {0xF9, "u"},
    {0xFA, "u"},  {0xFB, "u"},  {0xFC, "u"},  {0xFD, "y"},  {0xFF, "y"},
};

constexpr std::array<Folded, 256> makeTable()
{
    std::array<Folded, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b].bytes[0] = static_cast<char>(b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b);
    for (const auto &letter : kLetters) {
        Folded &f = table[letter.from];
        f.bytes[0] = letter.to[0];
        f.length = letter.to[1] ? 2 : 1;
        f.bytes[1] = letter.to[1];
    }
    return table;
}

constexpr std::array<Folded, 256> kTable = makeTable();

void append(std::string &out, std::string_view text)
{
    for (const char c : text) {
        const Folded &f = kTable[static_cast<unsigned char>(c)];
        out.append(f.bytes.data(), f.length);
    }
}

} // namespace

std::string_view of(unsigned char byte)
{
    return {kTable[byte].bytes.data(), kTable[byte].length};
}

std::string fold(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    append(out, text);
    return out;
}

} // namespace searchfold

void CatalogSearch::index(const std::vector<ListEntry> &entries, const RowShown &shown)
{
    // Built aside first: a failure leaves the previous index whole.
    std::string folded;
    std::vector<std::uint32_t> starts;
    starts.reserve(entries.size() + 1);
    std::size_t bytes = 0;
    for (const ListEntry &e : entries)
        bytes += e.caption().size() + (e.subItemCount() ? e.subItem(0).size() : 0) + 2;
    folded.reserve(bytes);
    for (const ListEntry &e : entries) {
        starts.push_back(static_cast<std::uint32_t>(folded.size()));
        searchfold::append(folded, e.caption());
        folded.push_back('\0');
        if (e.subItemCount() != 0)
            searchfold::append(folded, e.subItem(0));
        folded.push_back('\0');
    }
    starts.push_back(static_cast<std::uint32_t>(folded.size()));
    std::vector<std::uint32_t> matches;
    m_folded.swap(folded);
    m_starts.swap(starts);
    searchAll(matches);
    m_matches.swap(matches);
    if (!shown)
        return;
    auto next = m_matches.begin();
    for (int row = 0; row < rowCount(); ++row) {
        const bool match = next != m_matches.end() && *next == static_cast<std::uint32_t>(row);
        next += match ? 1 : 0;
        shown(row, match);
    }
}

bool CatalogSearch::shows(int row) const
{
    return std::binary_search(m_matches.begin(), m_matches.end(), static_cast<std::uint32_t>(row));
}

void CatalogSearch::searchAll(std::vector<std::uint32_t> &into) const
{
    into.clear();
    if (m_needle.empty()) {
        into.resize(static_cast<std::size_t>(rowCount()));
        std::iota(into.begin(), into.end(), 0U);
        return;
    }
    // One pass of the byte search over the whole copy; the needle holds no zero byte, so a hit never
    // spans two texts. After a hit the search goes on at the next row.
    const char *base = m_folded.data();
    std::size_t pos = 0;
    auto row = m_starts.begin();
    while (pos < m_folded.size()) {
        const void *hit = memmem(base + pos, m_folded.size() - pos, m_needle.data(), m_needle.size());
        if (!hit)
            break;
        const auto at = static_cast<std::uint32_t>(static_cast<const char *>(hit) - base);
        row = std::upper_bound(row, m_starts.end(), at) - 1;
        into.push_back(static_cast<std::uint32_t>(row - m_starts.begin()));
        pos = *++row;
    }
}

void CatalogSearch::narrow(const RowShown &shown)
{
    auto kept = m_matches.begin();
    for (const std::uint32_t row : m_matches) {
        const std::string_view text(m_folded.data() + m_starts[row], m_starts[row + 1] - m_starts[row]);
        if (text.find(m_needle) != std::string_view::npos)
            *kept++ = row;
        else if (shown)
            shown(static_cast<int>(row), false);
    }
    m_matches.erase(kept, m_matches.end());
}

void CatalogSearch::setText(std::string_view text, const RowShown &shown)
{
    std::string needle = searchfold::fold(text);
    std::erase(needle, '\0');
    if (needle == m_needle)
        return;
    // Every row that contains the new text contains the old one: only the old result is searched.
    const bool narrows = !m_needle.empty() && needle.find(m_needle) != std::string::npos;
    m_needle = std::move(needle);
    if (narrows) {
        narrow(shown);
        return;
    }
    std::vector<std::uint32_t> matches;
    searchAll(matches);
    if (shown) {
        // Both are ascending: one merge reports what left and what came.
        auto was = m_matches.begin();
        auto now = matches.begin();
        while (was != m_matches.end() || now != matches.end()) {
            if (now == matches.end() || (was != m_matches.end() && *was < *now))
                shown(static_cast<int>(*was++), false);
            else if (was == m_matches.end() || *now < *was)
                shown(static_cast<int>(*now++), true);
            else
                ++was, ++now;
        }
    }
    m_matches.swap(matches);
}

} // namespace editing
