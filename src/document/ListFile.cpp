#include "document/ListFile.h"

#include "document/LineReader.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>

#ifdef __linux__
#include <sys/mman.h>
#endif

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

// The number of CR bytes. Blocks of 64 bytes let the compiler compare many bytes at once.
std::size_t countLineEnds(std::string_view s)
{
    const char *p = s.data();
    const std::size_t n = s.size();
    std::size_t count = 0, i = 0;
    for (; i + 64 <= n; i += 64) {
        unsigned block = 0;
        for (std::size_t j = 0; j < 64; ++j)
            block += p[i + j] == '\r';
        count += block;
    }
    for (; i < n; ++i)
        count += p[i] == '\r';
    return count;
}

// Asks for huge pages for a large buffer that is about to be filled completely: a fresh buffer
// otherwise costs one page fault per 4 KiB, which takes longer than filling it.
void preferHugePages(void *data, std::size_t size)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;
    if (size < 4 * kHugePage)
        return;
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t begin = (at + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (at + size) & ~(kHugePage - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
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
    // How many lines the input holds at most (its end is the first 0x1A): every CR ends one, and
    // the last may have no line end. It bounds what a section reserves, whatever its count says.
    const void *eof = bytes.empty() ? nullptr : std::memchr(bytes.data(), 0x1A, bytes.size());
    const std::size_t inputEnd = eof ? std::size_t(static_cast<const char *>(eof) - bytes.data()) : bytes.size();
    const std::size_t lines = countLineEnds(bytes.substr(0, inputEnd)) + 1;
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
            ListEntry &entry = list.emplace_back();
            entry.caption.assign(reader.next());
            if (section != Assemblies) {
                entry.subItems.reserve(1);
                entry.subItems.emplace_back(reader.next());
            }
        }
        linesRead += list.size() * linesPerEntry;
    }
    return content;
}

namespace {

// Copies a text and its line end. Most texts are short, so sizes up to 16 are copied inline with
// two overlapping moves instead of a call.
inline char *putText(char *out, std::string_view text)
{
    const char *in = text.data();
    const std::size_t n = text.size();
    if (n >= 8 && n <= 16) {
        std::uint64_t head, tail;
        std::memcpy(&head, in, 8);
        std::memcpy(&tail, in + n - 8, 8);
        std::memcpy(out, &head, 8);
        std::memcpy(out + n - 8, &tail, 8);
    } else if (n >= 4 && n < 8) {
        std::uint32_t head, tail;
        std::memcpy(&head, in, 4);
        std::memcpy(&tail, in + n - 4, 4);
        std::memcpy(out, &head, 4);
        std::memcpy(out + n - 4, &tail, 4);
    } else {
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

std::size_t decimalLength(std::size_t n)
{
    std::size_t digits = 1;
    for (; n >= 10; n /= 10)
        ++digits;
    return digits;
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
    return e.subItems.empty() ? std::string_view("", 0) : std::string_view(e.subItems[0]);
}

} // namespace

QByteArray encode(const std::vector<ListEntry> &assemblies, const std::vector<ListEntry> &catalog,
                  const std::vector<ListEntry> &defects)
{
    // The exact size first, so that the file is built in one buffer without growing it.
    std::size_t size = 0, lines = 0;
    for (const auto *list : {&assemblies, &catalog, &defects}) {
        size += decimalLength(list->size()) + 2;
        lines += 1 + list->size() * (list == &assemblies ? 1 : 2);
        for (const ListEntry &e : *list) {
            size += e.caption.size() + 2;
            if (list != &assemblies)
                size += subItem0(e).size() + 2;
        }
    }
    QByteArray out(static_cast<qsizetype>(size), Qt::Uninitialized);
    preferHugePages(out.data(), size);
    const auto write = [&](auto put) {
        char *p = out.data();
        for (const auto *list : {&assemblies, &catalog, &defects}) {
            p = putCount(p, list->size());
            for (const ListEntry &e : *list) {
                p = put(p, e.caption);
                if (list != &assemblies)
                    p = put(p, subItem0(e));
            }
        }
        Q_ASSERT(p == out.constData() + out.size());
    };
    // Texts are copied as they are. Only when the file then holds more CR bytes than line ends, or
    // a 0x1A byte, is it written again with those bytes blanked (texts as read never hold them).
    write(putText);
    const std::string_view written(out.constData(), size);
    if (countLineEnds(written) != lines || written.find('\x1a') != std::string_view::npos)
        write(putTextBlanked);
    return out;
}

} // namespace listfile
