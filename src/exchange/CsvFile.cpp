#include "exchange/CsvFile.h"

#include "document/LineReader.h"
#include "exchange/CsvField.h"

#include <cstring>

namespace csv {

QByteArray encode(const std::vector<ListEntry> &entries)
{
    std::size_t size = 0;
    for (const ListEntry &e : entries) {
        size += csv::escapedSize(e.caption) + 4; // the quotes around the line and CR LF
        for (const std::string &s : e.subItems)
            size += csv::escapedSize(s) + 3;
    }
    QByteArray out(static_cast<qsizetype>(size), Qt::Uninitialized);
    char *p = out.data();
    for (const ListEntry &e : entries) {
        *p++ = '"';
        p = writeEscaped(p, e.caption);
        for (const std::string &s : e.subItems) {
            std::memcpy(p, "\";\"", 3);
            p = writeEscaped(p + 3, s);
        }
        std::memcpy(p, "\"\r\n", 3);
        p += 3;
    }
    return out;
}

namespace {

void addLine(std::vector<ListEntry> &entries, std::string_view line)
{
    if (line.empty())
        return;
    ListEntry &entry = entries.emplace_back();
    const std::size_t first = line.find(';');
    entry.caption = CsvUnescapeField(line.substr(0, first));
    if (first == std::string_view::npos) {
        entry.subItems.emplace_back();
        return;
    }
    const std::string_view rest = line.substr(first + 1);
    entry.subItems.push_back(CsvUnescapeField(rest.substr(0, rest.find(';'))));
}

} // namespace

std::vector<ListEntry> parse(std::string_view bytes)
{
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
