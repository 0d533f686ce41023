#include "exchange/CsvField.h"

#include <cstring>

namespace {

bool needsEscape(char c)
{
    return c == '"' || c == '\r' || c == '\n';
}

} // namespace

namespace csv {

std::size_t escapedSize(std::string_view text)
{
    std::size_t extra = 0;
    for (const char c : text)
        extra += needsEscape(c) ? 1 : 0;
    return text.size() + extra;
}

char *writeEscaped(char *out, std::string_view text)
{
    const char *p = text.data();
    const char *const end = p + text.size();
    while (p < end) {
        // Copy the plain stretch up to the next byte that needs escaping in one piece.
        const char *q = p;
        while (q < end && !needsEscape(*q))
            ++q;
        std::memcpy(out, p, static_cast<std::size_t>(q - p));
        out += q - p;
        if (q == end)
            break;
        switch (*q) {
        case '\r':
            *out++ = '\\';
            *out++ = 'r';
            break;
        case '\n':
            *out++ = '\\';
            *out++ = 'n';
            break;
        default:
            *out++ = '"';
            *out++ = '"';
            break;
        }
        p = q + 1;
    }
    return out;
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
    if (!field.empty() && field.front() == '"')
        field.remove_prefix(1);
    if (!field.empty() && field.back() == '"')
        field.remove_suffix(1);

    std::size_t i = 0;
    while (i < field.size() && field[i] != '"' && field[i] != '\\')
        ++i;
    if (i == field.size())
        return std::string(field);

    std::string out(field.size(), '\0');
    char *p = out.data();
    std::memcpy(p, field.data(), i);
    p += i;
    bool pending = false; // a backslash was read and not yet written
    for (; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '"' && i > 0 && field[i - 1] == '"')
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
    out.resize(static_cast<std::size_t>(p - out.data()));
    return out;
}
