#include "document/ListFile.h"

#include "document/ByteScan.h"
#include "document/FillBuffer.h"
#include "document/LineReader.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace listfile {
namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The number of lineEnd bytes. Blocks of 64 bytes let the compiler compare many bytes at once.
std::size_t countLineEnds(std::string_view s, char lineEnd)
{
    const char *p = s.data();
    const std::size_t n = s.size();
    std::size_t count = 0, i = 0;
    for (; i + 64 <= n; i += 64) {
        unsigned block = 0;
        for (std::size_t j = 0; j < 64; ++j)
            block += p[i + j] == lineEnd;
        count += block;
    }
    for (; i < n; ++i)
        count += p[i] == lineEnd;
    return count;
}

} // namespace

std::optional<std::int32_t> parseCount(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size())
        return std::nullopt;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (; i < s.size(); ++i) {
        const int d = base == 16 ? hexDigit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
        if (d < 0)
            return std::nullopt;
        value = value * base + d;
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

Content parse(std::string_view bytes)
{
    Content content;
    LineReader reader(bytes);
    // How many lines the input holds at most (its end is the first 0x1A): every line end byte ends
    // one, and the last may have no line end. It bounds what a section reserves, whatever its count says.
    const void *eof = bytes.empty() ? nullptr : std::memchr(bytes.data(), 0x1A, bytes.size());
    const std::size_t inputEnd = eof ? std::size_t(static_cast<const char *>(eof) - bytes.data()) : bytes.size();
    const std::size_t lines = countLineEnds(bytes.substr(0, inputEnd), reader.lineEnd()) + 1;
    std::size_t linesRead = 0;
    for (int section = 0; section < 3; ++section) {
        const std::optional<std::int32_t> count = parseCount(reader.next());
        ++linesRead;
        if (!count) { // a count line past the end reads as empty, which is no number either
            content.formatError = true;
            return content;
        }
        auto &list = content.lists[static_cast<std::size_t>(section)];
        const std::size_t linesPerEntry = section == Assemblies ? 1 : 2;
        if (*count > 0) {
            const std::size_t linesLeft = lines > linesRead ? lines - linesRead : 0;
            const std::size_t possible = (linesLeft + kMaxLinesPastEnd + linesPerEntry) / linesPerEntry;
            list.reserve(std::min(static_cast<std::size_t>(*count), possible));
        }
        for (std::int32_t n = 0; n < *count; ++n) {
            if (reader.readsPastEnd() > kMaxLinesPastEnd) {
                content.formatError = true;
                return content;
            }
            const std::string_view caption = reader.next();
            if (section == Assemblies)
                list.push_back(ListEntry(caption));
            else
                list.push_back(ListEntry(caption, {reader.next()}));
        }
        linesRead += list.size() * linesPerEntry;
    }
    return content;
}

namespace {

// The high bit of every CR and 0x1A byte of word (the bytes a text must not bring into the file).
inline std::uint64_t lineBreaking(std::uint64_t word)
{
    return bytescan::equal(word, '\r') | bytescan::equal(word, 0x1a);
}

// Whether a word of a text holds a CR or 0x1A byte. Both lie below 0x1B, which one cheap test finds;
// only then, rarely (a tab, say), are they looked for exactly.
inline bool breaksLine(std::uint64_t word)
{
    return bytescan::someBelow(word, 0x1b) != 0 && lineBreaking(word) != 0;
}

// Copies a text and its line end, and sets `breaking` when the text holds a CR or 0x1A byte. Most
// texts are short, so sizes from 4 to 16 are copied and checked in registers with two overlapping
// loads instead of a call and a second look at the bytes.
inline char *putText(char *out, std::string_view text, bool &breaking)
{
    const char *in = text.data();
    const std::size_t n = text.size();
    if (n >= 8 && n <= 16) {
        const auto head = bytescan::load<std::uint64_t>(in);
        const auto tail = bytescan::load<std::uint64_t>(in + n - 8);
        breaking |= breaksLine(head) || breaksLine(tail);
        std::memcpy(out, &head, 8);
        std::memcpy(out + n - 8, &tail, 8);
    } else if (n >= 4 && n < 8) {
        const auto head = bytescan::load<std::uint32_t>(in);
        const auto tail = bytescan::load<std::uint32_t>(in + n - 4);
        breaking |= breaksLine(head | std::uint64_t{tail} << 32);
        std::memcpy(out, &head, 4);
        std::memcpy(out + n - 4, &tail, 4);
    } else {
        breaking |= bytescan::any(text, [](std::uint64_t w) { return lineBreaking(w); });
        std::memcpy(out, in, n);
    }
    out[n] = '\r';
    out[n + 1] = '\n';
    return out + n + 2;
}

// The same with a CR or 0x1A byte in the text written as a blank.
char *putTextBlanked(char *out, std::string_view text)
{
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        out[i] = (c == '\r' || c == '\x1a') ? ' ' : c;
    }
    out[n] = '\r';
    out[n + 1] = '\n';
    return out + n + 2;
}

char *putCount(char *out, std::size_t n)
{
    const auto res = std::to_chars(out, out + 24, n);
    res.ptr[0] = '\r';
    res.ptr[1] = '\n';
    return res.ptr + 2;
}

// Sub-item 0 of a catalogue or defect entry; an entry without one is written with an empty line.
inline std::string_view subItem0(const ListEntry &e)
{
    return e.subItemCount() == 0 ? std::string_view("", 0) : e.subItem(0);
}

} // namespace

void write(ByteSink &out, const std::vector<ListEntry> &assemblies, const std::vector<ListEntry> &catalog,
           const std::vector<ListEntry> &defects)
{
    const auto lists = {&assemblies, &catalog, &defects};
    char *p = out.start();
    for (const auto *list : lists) {
        p = putCount(out.room(p, 24), list->size());
        // The check for CR and 0x1A is folded into the copy; an entry that has one, which texts
        // as read never do, is written again over itself with blanks.
        bool breaking = false;
        const ListEntry *const begin = list->data();
        const ListEntry *const end = begin + list->size();
        if (list == &assemblies) {
            for (const ListEntry *e = begin; e != end; ++e) {
                const std::string_view caption = e->caption();
                char *const line = out.room(p, caption.size() + 2);
                p = putText(line, caption, breaking);
                if (breaking) {
                    p = putTextBlanked(line, caption);
                    breaking = false;
                }
            }
            continue;
        }
        for (const ListEntry *e = begin; e != end; ++e) {
            const std::string_view caption = e->caption();
            const std::string_view sub = subItem0(*e);
            char *const lines = out.room(p, caption.size() + sub.size() + 4);
            p = putText(putText(lines, caption, breaking), sub, breaking);
            if (breaking) {
                p = putTextBlanked(putTextBlanked(lines, caption), sub);
                breaking = false;
            }
        }
    }
    out.finish(p);
}

QByteArray encode(const std::vector<ListEntry> &assemblies, const std::vector<ListEntry> &catalog,
                  const std::vector<ListEntry> &defects)
{
    // The buffer starts from an estimate of a short line each and grows when needed.
    std::size_t lines = 0;
    for (const auto *list : {&assemblies, &catalog, &defects})
        lines += 1 + list->size() * (list == &assemblies ? 1 : 2);
    FillBuffer out(lines * 16);
    write(out, assemblies, catalog, defects);
    return out.take();
}

} // namespace listfile
