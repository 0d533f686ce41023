#include "exchange/CsvFile.h"

#include "document/ByteScan.h"
#include "document/Cp1252.h"
#include "document/FillBuffer.h"
#include "exchange/CsvField.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace csv {

namespace {

constexpr std::string_view kUtf8Bom = "\xef\xbb\xbf";

// The UTF-8 form of every Windows-1252 byte, a double quote doubled and 0x1A (which ends the file
// for the reader) a blank: up to three bytes, and their number in the fourth.
std::array<std::uint32_t, 256> makeUtf8Table()
{
    std::array<std::uint32_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const char16_t c = cp1252::toUnicodeChar(static_cast<char>(b));
        std::uint32_t code = 0;
        if (c == u'"')
            code = '"' | '"' << 8 | 2u << 24;
        else if (c == 0x1a)
            code = ' ' | 1u << 24;
        else if (c < 0x80)
            code = c | 1u << 24;
        else if (c < 0x800)
            code = (0xC0u | c >> 6) | (0x80u | (c & 0x3F)) << 8 | 2u << 24;
        else
            code = (0xE0u | c >> 12) | (0x80u | (c >> 6 & 0x3F)) << 8 | (0x80u | (c & 0x3F)) << 16 | 3u << 24;
        table[static_cast<std::size_t>(b)] = code;
    }
    return table;
}

const std::array<std::uint32_t, 256> kUtf8 = makeUtf8Table();

// The room putUtf8Field may take for a text: three bytes for each, and one the last may spill.
inline std::size_t utf8Room(std::string_view text)
{
    return 3 * text.size() + 1;
}

// Writes the text as UTF-8 with its double quotes doubled and 0x1A as a blank. Runs of eight bytes of
// ASCII without either, the usual text, are copied as they are.
inline char *putUtf8Field(char *out, std::string_view text)
{
    const char *in = text.data();
    const char *const end = in + text.size();
    while (in < end) {
        if (end - in >= 8) {
            const auto word = bytescan::load<std::uint64_t>(in);
            if (((word & bytescan::kHighs) | bytescan::someEqual(word, '"') | bytescan::someEqual(word, 0x1a)) == 0) {
                std::memcpy(out, &word, 8);
                out += 8;
                in += 8;
                continue;
            }
        }
        const std::uint32_t code = kUtf8[static_cast<unsigned char>(*in++)];
        std::memcpy(out, &code, 4);
        out += code >> 24;
    }
    return out;
}

// Not zero when word may hold a byte that escaping changes: a double quote, or a byte below 0x1B
// (which takes in CR, LF and 0x1A; the rare other control bytes only cost the slower exact path).
inline std::uint64_t maybeSpecial(std::uint64_t word)
{
    return bytescan::someEqual(word, '"') | bytescan::someBelow(word, 0x1B);
}

// writeEscaped, with texts of 4 to 16 bytes checked and copied in registers by two overlapping loads:
// most fields are that short, and for them a call and a second look at the bytes cost the most.
inline char *putField(char *out, std::string_view text)
{
    const char *in = text.data();
    const std::size_t n = text.size();
    if (n >= 8 && n <= 16) {
        const auto head = bytescan::load<std::uint64_t>(in);
        const auto tail = bytescan::load<std::uint64_t>(in + n - 8);
        if ((maybeSpecial(head) | maybeSpecial(tail)) == 0) {
            std::memcpy(out, &head, 8);
            std::memcpy(out + n - 8, &tail, 8);
            return out + n;
        }
    } else if (n >= 4 && n < 8) {
        const auto head = bytescan::load<std::uint32_t>(in);
        const auto tail = bytescan::load<std::uint32_t>(in + n - 4);
        if (maybeSpecial(head | std::uint64_t{tail} << 32) == 0) {
            std::memcpy(out, &head, 4);
            std::memcpy(out + n - 4, &tail, 4);
            return out + n;
        }
    }
    return writeEscaped(out, text);
}

// The two ways of writing a text: as it is (Windows-1252), where escaping at most doubles it, and as
// UTF-8.
struct Cp1252Text {
    static std::size_t room(std::string_view text) { return 2 * text.size(); }
    static char *put(char *out, std::string_view text) { return putField(out, text); }
};
struct Utf8Text {
    static std::size_t room(std::string_view text) { return utf8Room(text); }
    static char *put(char *out, std::string_view text) { return putUtf8Field(out, text); }
};

// Writes a line for each entry from p on: its texts, each written by Text, quoted and joined by
// semicolons, then CR LF. Each line first makes room for the most its texts can take.
template <typename Text>
void writeLines(ByteSink &out, char *p, const std::vector<ListEntry> &entries)
{
    for (const ListEntry &e : entries) {
        std::size_t size = Text::room(e.caption()) + 4; // the quotes around the line and CR LF
        for (std::size_t i = 0; i < e.subItemCount(); ++i)
            size += Text::room(e.subItem(i)) + 3;
        p = out.room(p, size);
        *p++ = '"';
        p = Text::put(p, e.caption());
        for (std::size_t i = 0; i < e.subItemCount(); ++i) {
            std::memcpy(p, "\";\"", 3);
            p = Text::put(p + 3, e.subItem(i));
        }
        std::memcpy(p, "\"\r\n", 3);
        p += 3;
    }
    out.finish(p);
}

} // namespace

void write(ByteSink &out, const std::vector<ListEntry> &entries)
{
    writeLines<Cp1252Text>(out, out.start(), entries);
}

QByteArray encode(const std::vector<ListEntry> &entries)
{
    // The buffer starts from an estimate of a short line each and grows when a line might not fit.
    FillBuffer out(entries.size() * 40);
    write(out, entries);
    return out.take();
}

void writeUtf8(ByteSink &out, const std::vector<ListEntry> &entries)
{
    writeLines<Utf8Text>(out, out.put(out.start(), kUtf8Bom), entries);
}

QByteArray encodeUtf8(const std::vector<ListEntry> &entries)
{
    FillBuffer out(entries.size() * 48 + kUtf8Bom.size());
    writeUtf8(out, entries);
    return out.take();
}

namespace {

// The length of the well-formed UTF-8 sequence at the start of s (1 to 4) with its code point, or 0
// when s does not start with one (a stray continuation byte, an overlong form, a surrogate, a code
// point above U+10FFFF, a cut sequence).
std::size_t utf8Sequence(std::string_view s, char32_t &cp)
{
    const auto b = static_cast<unsigned char>(s[0]);
    std::size_t n = 0;
    char32_t least = 0;
    if (b < 0x80) {
        cp = b;
        return 1;
    }
    if (b >= 0xc2 && b <= 0xdf) {
        n = 2, cp = b & 0x1f, least = 0x80;
    } else if (b >= 0xe0 && b <= 0xef) {
        n = 3, cp = b & 0x0f, least = 0x800;
    } else if (b >= 0xf0 && b <= 0xf4) {
        n = 4, cp = b & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (s.size() < n)
        return 0;
    for (std::size_t i = 1; i < n; ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if ((c & 0xc0) != 0x80)
            return 0;
        cp = cp << 6 | (c & 0x3f);
    }
    if (cp < least || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff))
        return 0;
    return n;
}

bool hasHighByte(std::string_view s)
{
    return bytescan::any(s, [](std::uint64_t w) { return w & bytescan::kHighs; });
}

bool isUtf8(std::string_view s)
{
    char32_t cp = 0;
    while (!s.empty()) {
        const std::size_t n = utf8Sequence(s, cp);
        if (n == 0)
            return false;
        s.remove_prefix(n);
    }
    return true;
}

// UTF-8 as Windows-1252: a character that it cannot hold, and every byte that is no part of a
// well-formed sequence, becomes "?".
std::string utf8ToWindows1252(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    char32_t cp = 0;
    while (!s.empty()) {
        const std::size_t n = utf8Sequence(s, cp);
        if (n == 0) {
            out.push_back('?');
            s.remove_prefix(1);
            continue;
        }
        out.push_back(cp < 0x80      ? static_cast<char>(cp)
                      : cp < 0x10000 ? cp1252::fromUnicodeChar(static_cast<char16_t>(cp))
                                     : '?');
        s.remove_prefix(n);
    }
    return out;
}

// The input up to its first 0x1A byte.
std::string_view beforeEof(std::string_view bytes)
{
    // An empty view may have no data pointer at all, which memchr must not be given.
    if (bytes.empty())
        return bytes;
    if (const void *eof = std::memchr(bytes.data(), 0x1A, bytes.size()))
        return bytes.substr(0, static_cast<std::size_t>(static_cast<const char *>(eof) - bytes.data()));
    return bytes;
}

// How many entries the input makes at most: one per byte other than CR and LF that starts the
// input or follows a CR or LF (an empty line makes none). Blocks of 64 bytes let the compiler compare
// many bytes at once.
std::size_t maxEntries(std::string_view s)
{
    if (s.empty())
        return 0;
    const auto lineEnd = [](char c) { return (c == '\r') | (c == '\n'); };
    const char *p = s.data();
    const std::size_t n = s.size();
    std::size_t count = lineEnd(p[0]) ? 0 : 1, i = 1;
    for (; i + 64 <= n; i += 64) {
        unsigned block = 0;
        for (std::size_t j = 0; j < 64; ++j)
            block += lineEnd(p[i + j - 1]) & !lineEnd(p[i + j]);
        count += block;
    }
    for (; i < n; ++i)
        count += lineEnd(p[i - 1]) & !lineEnd(p[i]);
    return count;
}

// The high bit of every byte of word that ends an unquoted field: a semicolon, CR or LF.
inline std::uint64_t fieldEnds(std::uint64_t word)
{
    return bytescan::equal(word, ';') | bytescan::equal(word, '\r') | bytescan::equal(word, '\n');
}

inline bool endsField(char c)
{
    return c == ';' || c == '\r' || c == '\n';
}

// Splits the input into entries. Fields are read where they stand, without copying a line first.
class Reader {
public:
    explicit Reader(std::string_view bytes) : m_p(bytes.data()), m_end(bytes.data() + bytes.size()) {}

    void readInto(std::vector<ListEntry> &entries)
    {
        while (m_p < m_end) {
            if (*m_p == '\r' || *m_p == '\n') { // an empty line adds nothing
                skipLineEnd();
                continue;
            }
            // The texts are views into the input, or into the buffers when decoding changed them.
            const std::string_view caption = readField(&m_caption);
            std::string_view assembly;
            if (m_p < m_end && *m_p == ';') {
                ++m_p;
                assembly = readField(&m_assembly);
                while (m_p < m_end && *m_p == ';') {
                    ++m_p;
                    readField(nullptr);
                }
            }
            entries.push_back(ListEntry(caption, {assembly}));
            skipLineEnd();
        }
    }

private:
    void skipLineEnd()
    {
        if (m_p < m_end && *m_p == '\r')
            ++m_p;
        if (m_p < m_end && *m_p == '\n')
            ++m_p;
    }

    // The first byte at or after p that ends an unquoted field, or the end.
    const char *fieldEnd(const char *p) const
    {
        for (; m_end - p >= 8; p += 8) {
            if (const std::uint64_t hit = fieldEnds(bytescan::load<std::uint64_t>(p)))
                return p + std::countr_zero(hit) / 8;
        }
        while (p < m_end && !endsField(*p))
            ++p;
        return p;
    }

    // The first double quote at or after p, or nullptr. Once a search has found none, later
    // searches from further on do not look again, so that many unclosed quotes cost no more than one.
    const char *nextQuote(const char *p)
    {
        if (m_noQuoteFrom && p >= m_noQuoteFrom)
            return nullptr;
        const std::size_t at = bytescan::find(std::string_view(p, static_cast<std::size_t>(m_end - p)), '"');
        if (at == std::string_view::npos) {
            m_noQuoteFrom = p;
            return nullptr;
        }
        return p + at;
    }

    // Reads the field at the current position and stops at the byte that ends it. Returns its text
    // (unless buffer is null): a view into the input, or into buffer when decoding changed the bytes.
    std::string_view readField(std::string *buffer)
    {
        std::string_view text;
        if (m_p < m_end && *m_p == '"' && readQuoted(buffer, text))
            return text;
        // Unquoted, or a quote that is never closed: the field runs to the next semicolon or line
        // end and is decoded by CsvUnescapeField.
        const char *end = fieldEnd(m_p);
        if (buffer)
            text = unescaped(*buffer, std::string_view(m_p, static_cast<std::size_t>(end - m_p)));
        m_p = end;
        return text;
    }

    // A field that begins with a quote runs to the next quote that is not doubled; a doubled quote
    // inside is one quote, and whatever stands between the closing quote and the end of the field
    // is added as it is. Then the backslash escapes are decoded. False when the quote is not closed.
    bool readQuoted(std::string *buffer, std::string_view &out)
    {
        const char *text = m_p + 1;
        const char *close = nextQuote(text);
        if (!close)
            return false;
        const bool doubled = close + 1 < m_end && close[1] == '"';
        if (!doubled && (close + 1 == m_end || endsField(close[1]))) { // the usual case
            if (buffer)
                out = backslashesUnescaped(*buffer, std::string_view(text, static_cast<std::size_t>(close - text)));
            m_p = close + 1;
            return true;
        }
        m_text.clear();
        while (close + 1 < m_end && close[1] == '"') {
            m_text.append(text, close + 1);
            text = close + 2;
            close = nextQuote(text);
            if (!close)
                return false;
        }
        m_text.append(text, close);
        const char *end = fieldEnd(close + 1);
        m_text.append(close + 1, end);
        if (buffer) {
            out = backslashesUnescaped(*buffer, m_text);
            if (out.data() == m_text.data()) { // the next field reuses m_text
                buffer->swap(m_text);
                out = *buffer;
            }
        }
        m_p = end;
        return true;
    }

    const char *m_p;
    const char *const m_end;
    const char *m_noQuoteFrom = nullptr; // no quote lies at or after this position
    std::string m_text;                  // a quoted field's text while its doubled quotes are taken out
    std::string m_caption, m_assembly;   // the fields of the line being read
};

} // namespace

namespace {

// Whether the input, already cut at its first 0x1A, is read as UTF-8.
bool isUtf8Input(std::string_view bytes)
{
    return bytes.starts_with(kUtf8Bom) || (hasHighByte(bytes) && isUtf8(bytes));
}

} // namespace

bool readsAsUtf8(std::string_view bytes)
{
    return isUtf8Input(beforeEof(bytes));
}

std::vector<ListEntry> parse(std::string_view bytes)
{
    bytes = beforeEof(bytes);
    std::string converted;
    if (isUtf8Input(bytes)) {
        if (bytes.starts_with(kUtf8Bom))
            bytes.remove_prefix(kUtf8Bom.size());
        converted = utf8ToWindows1252(bytes);
        bytes = converted;
    }
    if (bytes.empty())
        return {};

    // The list is allocated once for as many entries as the input can make, which costs less than
    // growing it (every step moves the entries and touches fresh memory again).
    const std::size_t count = maxEntries(bytes);
    std::vector<ListEntry> entries;
    entries.reserve(count);
    preferHugePages(entries.data(), count * sizeof(ListEntry));
    Reader(bytes).readInto(entries);
    return entries;
}

} // namespace csv
