#include "editing/SortCollation.h"

#include "document/Cp1252.h"

#include <unicode/ucol.h>

#include <array>

namespace editing {
namespace {

// Windows-1252 byte => code point, with a to z upper-cased.
const std::array<char16_t, 256> &sortDecodeTable()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            char16_t c = cp1252::toUnicode(std::string_view(&byte, 1)).front().unicode();
            if (c >= u'a' && c <= u'z')
                c = char16_t(c - (u'a' - u'A'));
            t[size_t(b)] = c;
        }
        return t;
    }();
    return table;
}

} // namespace

SortCollation &SortCollation::forDefaultLocale()
{
    thread_local std::unique_ptr<SortCollation> cache;
    const QLocale current;
    if (!cache || cache->locale() != current)
        cache = std::make_unique<SortCollation>(current);
    return *cache;
}

SortCollation::SortCollation(const QLocale &locale) : m_locale(locale)
{
    const std::string name = locale.bcp47Name().replace(u'-', u'_').toStdString();
    UErrorCode status = U_ZERO_ERROR;
    m_collator = ucol_open(name.c_str(), &status);
    if (U_FAILURE(status) || !m_collator) {
        status = U_ZERO_ERROR;
        m_collator = ucol_open("", &status); // the root collation
    }
    ucol_setAttribute(m_collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ucol_setAttribute(m_collator, UCOL_STRENGTH, UCOL_TERTIARY, &status);
    ucol_setAttribute(m_collator, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    ucol_setAttribute(m_collator, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
}

SortCollation::~SortCollation()
{
    if (m_collator)
        ucol_close(m_collator);
}

void SortCollation::decode(std::string_view text, std::u16string &buffer)
{
    const std::array<char16_t, 256> &table = sortDecodeTable();
    buffer.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        buffer[i] = table[static_cast<unsigned char>(text[i])];
}

int SortCollation::compare(std::string_view a, std::string_view b)
{
    decode(a, m_left);
    decode(b, m_right);
    const UCollationResult r =
        ucol_strcoll(m_collator, m_left.data(), int32_t(m_left.size()), m_right.data(), int32_t(m_right.size()));
    return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}

size_t SortCollation::appendSortKey(std::string_view text, std::vector<uint8_t> &out)
{
    decode(text, m_left);
    const size_t start = out.size();
    // Most keys need less than twice the text's length plus the level separators.
    size_t room = 2 * text.size() + 16;
    for (;;) {
        out.resize(start + room);
        const int32_t length =
            ucol_getSortKey(m_collator, m_left.data(), int32_t(m_left.size()), out.data() + start, int32_t(room));
        if (length <= 0) {
            // The collator failed (out of memory); the text then sorts before every other.
            out.resize(start);
            out.push_back(0);
            return 1;
        }
        if (size_t(length) <= room) {
            out.resize(start + size_t(length));
            return size_t(length);
        }
        room = size_t(length);
    }
}

} // namespace editing
