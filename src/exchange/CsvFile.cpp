#include "exchange/CsvFile.h"

#include "document/ByteScan.h"
#include "document/FillBuffer.h"
#include "document/LineReader.h"
#include "exchange/CsvField.h"

#include <cstdint>
#include <cstring>

namespace csv {

namespace {

// Room enough for an entry's line even if every byte of its texts needs escaping.
std::size_t worstLineSize(const ListEntry &e)
{
    std::size_t size = 2 * e.caption.size() + 4; // the quotes around the line and CR LF
    for (const std::string &s : e.subItems)
        size += 2 * s.size() + 3;
    return size;
}

// Not zero when word may hold a byte that escaping changes: a double quote, or a byte below 0x0E
// (which takes in CR and LF; the rare other control bytes only cost the slower exact path).
inline std::uint64_t maybeSpecial(std::uint64_t word)
{
    return bytescan::someEqual(word, '"') | bytescan::someBelow(word, 0x0E);
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

} // namespace

QByteArray encode(const std::vector<ListEntry> &entries)
{
    // One pass over the entries, which is what the time goes into: the buffer starts from an
    // estimate of a short line each and grows when a line might not fit.
    FillBuffer out(entries.size() * 40);
    char *p = out.begin();
    for (const ListEntry &e : entries) {
        p = out.room(p, worstLineSize(e));
        *p++ = '"';
        p = putField(p, e.caption);
        for (const std::string &s : e.subItems) {
            std::memcpy(p, "\";\"", 3);
            p = putField(p + 3, s);
        }
        std::memcpy(p, "\"\r\n", 3);
        p += 3;
    }
    return out.take(p);
}

namespace {

// Calls f with every line of bytes. Lines end at CR (an LF right after it belongs to the line end)
// when crLines is set, and at LF otherwise (as editors and spreadsheets on Linux write).
template <typename F> void forEachLine(std::string_view bytes, bool crLines, F f)
{
    if (crLines) {
        LineReader reader(bytes);
        while (!reader.atEnd())
            f(reader.next());
        return;
    }
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        f(bytes.substr(0, lf));
        bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
    }
}

void addLine(std::vector<ListEntry> &entries, std::string_view line)
{
    if (line.empty())
        return;
    ListEntry &entry = entries.emplace_back();
    entry.subItems.resize(1);
    const std::size_t first = bytescan::find(line, ';');
    unescapeInto(entry.caption, line.substr(0, first));
    if (first != std::string_view::npos) {
        const std::string_view rest = line.substr(first + 1);
        unescapeInto(entry.subItems[0], rest.substr(0, bytescan::find(rest, ';')));
    }
}

} // namespace

std::vector<ListEntry> parse(std::string_view bytes)
{
    // An empty view may have no data pointer at all, which memchr must not be given.
    if (bytes.empty())
        return {};
    if (const void *eof = std::memchr(bytes.data(), 0x1A, bytes.size()))
        bytes = bytes.substr(0, static_cast<std::size_t>(static_cast<const char *>(eof) - bytes.data()));

    // The lines are walked twice: once to count the entries, so that the list is allocated once at
    // its size, which costs less than growing it (every step moves the entries and touches fresh
    // memory again).
    const bool crLines = std::memchr(bytes.data(), '\r', bytes.size()) != nullptr;
    std::size_t count = 0;
    forEachLine(bytes, crLines, [&count](std::string_view line) { count += line.empty() ? 0 : 1; });
    std::vector<ListEntry> entries;
    entries.reserve(count);
    preferHugePages(entries.data(), count * sizeof(ListEntry));
    forEachLine(bytes, crLines, [&entries](std::string_view line) { addLine(entries, line); });
    return entries;
}

} // namespace csv
