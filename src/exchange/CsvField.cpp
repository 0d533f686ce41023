#include "exchange/CsvField.h"

#include "document/ByteScan.h"

#include <cstdint>
#include <cstring>

namespace {

using bytescan::equal;

std::uint64_t specialBytes(std::uint64_t word)
{
    return equal(word, '"') | equal(word, '\r') | equal(word, '\n') | equal(word, 0x1a);
}

std::uint64_t quotesAndBackslashes(std::uint64_t word)
{
    return equal(word, '"') | equal(word, '\\');
}

} // namespace

namespace csv {

std::size_t escapedSize(std::string_view text)
{
    std::size_t size = text.size();
    for (const char c : text)
        size += c == '"' || c == '\r' || c == '\n' ? 1 : 0;
    return size;
}

bool needsEscaping(std::string_view text)
{
    return bytescan::any(text, [](std::uint64_t w) { return specialBytes(w); });
}

char *writeEscaped(char *out, std::string_view text)
{
    if (!needsEscaping(text)) {
        std::memcpy(out, text.data(), text.size());
        return out + text.size();
    }
    for (const char c : text) {
        switch (c) {
        case '\r':
            *out++ = '\\';
            *out++ = 'r';
            break;
        case '\n':
            *out++ = '\\';
            *out++ = 'n';
            break;
        case '"':
            *out++ = '"';
            *out++ = '"';
            break;
        case '\x1a': // would end the file for the reader, as in a list file
            *out++ = ' ';
            break;
        default:
            *out++ = c;
            break;
        }
    }
    return out;
}

namespace {

// The backslash rules of CsvUnescapeField over text; with ShrinkQuotes, every run of adjacent double
// quotes also shrinks to one. Text that none of them changes is returned as it is; otherwise the
// result is written to out.
template <bool ShrinkQuotes> std::string_view decoded(std::string &out, std::string_view text)
{
    const auto special = [](std::uint64_t w) { return ShrinkQuotes ? quotesAndBackslashes(w) : equal(w, '\\'); };
    if (!bytescan::any(text, special))
        return text;
    std::size_t i = 0;
    while (text[i] != '\\' && !(ShrinkQuotes && text[i] == '"'))
        ++i;
    out.resize(text.size()); // the result is never longer
    char *const begin = out.data();
    char *p = begin;
    std::memcpy(p, text.data(), i);
    p += i;
    bool pending = false; // a backslash was read and not yet written
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (ShrinkQuotes && c == '"' && i > 0 && text[i - 1] == '"')
            continue; // the rest of a run of quotes
        if (c == '\\') {
            pending = true;
            continue;
        }
        if (pending) {
            pending = false;
            if (c == 'r') {
                *p++ = '\r';
                continue;
            }
            if (c == 'n') {
                *p++ = '\n';
                continue;
            }
            *p++ = '\\';
        }
        *p++ = c;
    }
    if (pending)
        *p++ = '\\';
    out.resize(static_cast<std::size_t>(p - begin));
    return out;
}

} // namespace

std::string_view unescaped(std::string &buffer, std::string_view field)
{
    if (!field.empty() && field.front() == '"')
        field.remove_prefix(1);
    if (!field.empty() && field.back() == '"')
        field.remove_suffix(1);
    return decoded<true>(buffer, field);
}

std::string_view backslashesUnescaped(std::string &buffer, std::string_view text)
{
    return decoded<false>(buffer, text);
}

} // namespace csv

std::string CsvEscapeField(std::string_view text)
{
    std::string out(csv::escapedSize(text), '\0');
    csv::writeEscaped(out.data(), text);
    return out;
}

std::string CsvUnescapeField(std::string_view field)
{
    std::string buffer;
    return std::string(csv::unescaped(buffer, field));
}
