#include "document/ListFile.h"

#include "document/LineReader.h"

#include <charconv>
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
    for (int section = 0; section < 3; ++section) {
        const std::optional<std::int32_t> count = parseCount(reader.next());
        if (!count) { // a count line past the end reads as empty, which is no number either
            content.formatError = true;
            return content;
        }
        auto &list = content.lists[static_cast<std::size_t>(section)];
        for (std::int32_t n = 0; n < *count; ++n) {
            if (reader.readsPastEnd() > kMaxLinesPastEnd) {
                content.formatError = true;
                return content;
            }
            ListEntry entry;
            entry.caption = std::string(reader.next());
            if (section != Assemblies)
                entry.subItems.emplace_back(reader.next());
            list.push_back(std::move(entry));
        }
    }
    return content;
}

namespace {

void appendText(QByteArray &out, const std::string &text)
{
    const qsizetype at = out.size();
    out.append(text.data(), static_cast<qsizetype>(text.size()));
    if (std::memchr(text.data(), '\r', text.size()) || std::memchr(text.data(), 0x1A, text.size())) {
        for (qsizetype i = at; i < out.size(); ++i) {
            if (out[i] == '\r' || out[i] == '\x1a')
                out[i] = ' ';
        }
    }
    out.append("\r\n", 2);
}

void appendCount(QByteArray &out, std::size_t n)
{
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, n);
    out.append(buf, res.ptr - buf);
    out.append("\r\n", 2);
}

} // namespace

QByteArray encode(const std::vector<ListEntry> &assemblies, const std::vector<ListEntry> &catalog,
                  const std::vector<ListEntry> &defects)
{
    qsizetype size = 3 * 24;
    for (const auto *list : {&assemblies, &catalog, &defects}) {
        for (const ListEntry &e : *list) {
            size += static_cast<qsizetype>(e.caption.size()) + 2;
            if (list != &assemblies)
                size += static_cast<qsizetype>(e.subItems.empty() ? 0 : e.subItems[0].size()) + 2;
        }
    }
    QByteArray out;
    out.reserve(size);
    static const std::string empty;
    for (const auto *list : {&assemblies, &catalog, &defects}) {
        appendCount(out, list->size());
        for (const ListEntry &e : *list) {
            appendText(out, e.caption);
            if (list != &assemblies)
                appendText(out, e.subItems.empty() ? empty : e.subItems[0]);
        }
    }
    return out;
}

} // namespace listfile
