#include "exchange/CsvFile.h"

#include "document/LineReader.h"
#include "exchange/ByteScan.h"
#include "exchange/CsvField.h"

#include <algorithm>
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

} // namespace

QByteArray encode(const std::vector<ListEntry> &entries)
{
    // One pass over the entries: the buffer grows on demand (a large buffer's pages are only touched
    // where lines are written) and is cut to the written size at the end.
    QByteArray out;
    char *p = nullptr;
    char *end = nullptr;
    for (const ListEntry &e : entries) {
        const std::size_t worst = worstLineSize(e);
        if (static_cast<std::size_t>(end - p) < worst) {
            const qsizetype used = p ? p - out.data() : 0;
            const auto wanted = std::max<qsizetype>(2 * out.size(), static_cast<qsizetype>(entries.size()) * 64);
            out.resize(std::max(wanted, used + static_cast<qsizetype>(worst)));
            p = out.data() + used;
            end = out.data() + out.size();
        }
        *p++ = '"';
        p = writeEscaped(p, e.caption);
        for (const std::string &s : e.subItems) {
            std::memcpy(p, "\";\"", 3);
            p = writeEscaped(p + 3, s);
        }
        std::memcpy(p, "\"\r\n", 3);
        p += 3;
    }
    if (p)
        out.truncate(p - out.data());
    return out;
}

namespace {

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

    std::vector<ListEntry> entries;
    if (std::memchr(bytes.data(), '\r', bytes.size())) {
        LineReader reader(bytes);
        while (!reader.atEnd())
            addLine(entries, reader.next());
        return entries;
    }
    // Without any CR (as editors and spreadsheets on Linux write) a line ends at LF.
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        addLine(entries, bytes.substr(0, lf));
        bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
    }
    return entries;
}

} // namespace csv
