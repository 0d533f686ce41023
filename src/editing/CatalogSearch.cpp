#include "editing/CatalogSearch.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <new>

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

// The length of text folded: the copy is made at its exact size.
std::size_t foldedSize(std::string_view text)
{
    std::size_t n = 0;
    for (const char c : text)
        n += kTable[static_cast<unsigned char>(c)].length;
    return n;
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

void CatalogSearch::index(const std::vector<ListEntry> &entries)
{
    // Built aside first: a failure leaves the previous index whole.
    std::string folded;
    std::vector<std::uint32_t> starts;
    std::size_t bytes = 0;
    for (const ListEntry &e : entries)
        bytes += searchfold::foldedSize(e.caption()) + (e.subItemCount() ? searchfold::foldedSize(e.subItem(0)) : 0) + 2;
    if (bytes > std::numeric_limits<std::uint32_t>::max()) // offsets are 32 bits
        throw std::bad_alloc();
    starts.reserve(entries.size() + 1);
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
    std::vector<std::uint64_t> shown((entries.size() + 63) / 64);
    std::vector<std::uint32_t> before(shown.size() + 1);
    m_folded.swap(folded);
    m_starts.swap(starts);
    m_shown.swap(shown);
    m_before.swap(before);
    searchAll();
}

bool CatalogSearch::shows(int row) const
{
    if (row < 0 || row >= rowCount())
        return false;
    const auto r = static_cast<std::size_t>(row);
    return (m_shown[r / 64] >> (r % 64)) & 1U;
}

int CatalogSearch::rankOf(int row) const
{
    const auto r = static_cast<std::size_t>(std::clamp(row, 0, rowCount()));
    const std::uint64_t below = r % 64 ? m_shown[r / 64] & (~std::uint64_t{0} >> (64 - r % 64)) : 0;
    return static_cast<int>(m_before[r / 64]) + std::popcount(below);
}

int CatalogSearch::match(int k) const
{
    std::size_t word;
    std::uint64_t bits;
    if (k == m_lastK + 1 && m_lastK >= 0) {
        // The next shown row after the previous answer.
        const auto from = static_cast<std::size_t>(m_lastRow) + 1;
        word = from / 64;
        bits = from % 64 ? m_shown[word] & (~std::uint64_t{0} << (from % 64)) : m_shown[word];
        while (bits == 0)
            bits = m_shown[++word];
    } else {
        word = static_cast<std::size_t>(std::upper_bound(m_before.begin(), m_before.end(), static_cast<std::uint32_t>(k))
                                        - m_before.begin() - 1);
        bits = m_shown[word];
        for (auto skip = static_cast<std::uint32_t>(k) - m_before[word]; skip > 0; --skip)
            bits &= bits - 1;
    }
    m_lastK = k;
    m_lastRow = static_cast<int>(word * 64) + std::countr_zero(bits);
    return m_lastRow;
}

void CatalogSearch::counted()
{
    for (std::size_t w = 0; w < m_shown.size(); ++w)
        m_before[w + 1] = m_before[w] + static_cast<std::uint32_t>(std::popcount(m_shown[w]));
    m_lastK = -1;
}

void CatalogSearch::searchAll()
{
    if (m_needle.empty()) {
        std::fill(m_shown.begin(), m_shown.end(), ~std::uint64_t{0});
        if (const auto tail = static_cast<std::size_t>(rowCount()) % 64)
            m_shown.back() = ~std::uint64_t{0} >> (64 - tail);
        counted();
        return;
    }
    std::fill(m_shown.begin(), m_shown.end(), std::uint64_t{0});
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
        const auto r = static_cast<std::size_t>(row - m_starts.begin());
        m_shown[r / 64] |= std::uint64_t{1} << (r % 64);
        pos = *++row;
    }
    counted();
}

void CatalogSearch::narrow()
{
    for (std::size_t w = 0; w < m_shown.size(); ++w) {
        for (std::uint64_t bits = m_shown[w]; bits != 0; bits &= bits - 1) {
            const std::size_t r = w * 64 + static_cast<std::size_t>(std::countr_zero(bits));
            const std::string_view text(m_folded.data() + m_starts[r], m_starts[r + 1] - m_starts[r]);
            if (text.find(m_needle) == std::string_view::npos)
                m_shown[w] &= ~(std::uint64_t{1} << (r % 64));
        }
    }
    counted();
}

void CatalogSearch::setText(std::string_view text)
{
    std::string needle = searchfold::fold(text);
    std::erase(needle, '\0');
    if (needle == m_needle)
        return;
    // Every row that contains the new text contains the old one: only the old result is searched.
    const bool narrows = !m_needle.empty() && needle.find(m_needle) != std::string::npos;
    m_needle = std::move(needle);
    if (narrows)
        narrow();
    else
        searchAll();
}

} // namespace editing
