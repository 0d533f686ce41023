#include "exchange/CsvField.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct FieldCase {
    std::string raw;
    std::string text;
};

// Prints bytes with CR, LF and quotes visible, so that a failing case can be read.
std::string shown(const std::string &s)
{
    std::string out;
    for (const char c : s)
        out += c == '\r' ? std::string("<CR>") : c == '\n' ? std::string("<LF>") : std::string(1, c);
    return out;
}

} // namespace

TEST(CsvField, unescapeDecodesRawFields)
{
    const FieldCase cases[] = {
        {"\"Motor\"", "Motor"},
        {"\"Riss im \"\"Deckel\"\"\"", "Riss im \"Deckel\""},
        {"Riss", "Riss"},
        {"\"\"", ""},
        {"", ""},
        {"\"a\\r\\nb\"", "a\r\nb"},
        {"C:\\temp", "C:\\temp"},
        {"C:\\new", "C:\new"},
        {"a\\\\b", "a\\b"},
        {"a\\\\\\\\n", "a\n"}, // a run of backslashes: only the last one counts
        {"x\\", "x\\"},        // a trailing backslash stays
        {"\\\\", "\\"},
        {"\"", ""},             // one quote: dropped as the opening one
        {"\"\"\"", "\""},       // both ends dropped, one left
        {"\"offen", "offen"},   // only an opening quote
        {"zu\"", "zu"},         // only a closing quote
        {"a\"\"\"\"b", "a\"b"}, // a run of quotes shrinks to one
        {"\\\"\"n", "\\\"n"},   // quotes shrink before backslashes are read
        {" \"a\" ", " \"a\" "}, // blanks are kept, so the quotes are not at the ends
        {"\\R\\N", "\\R\\N"},   // only lower-case r and n are special
        {"\x80\xe4\xfc\x1f", "\x80\xe4\xfc\x1f"},
    };
    for (const FieldCase &c : cases)
        EXPECT_EQ(shown(CsvUnescapeField(c.raw)), shown(c.text)) << "raw: " << shown(c.raw);
}

TEST(CsvField, escapeWritesOneLineForAnyText)
{
    const FieldCase cases[] = {
        {"Riss im \"\"Deckel\"\"", "Riss im \"Deckel\""},
        {"", ""},
        {"a\\r\\nb", "a\r\nb"},
        {"\\n\\r", "\n\r"},
        {"C:\\temp;x", "C:\\temp;x"}, // backslash and semicolon are not marked
        {"\"\"\"\"", "\"\""},
        {"\x80\xe4\x1f", "\x80\xe4\x1f"},
        {"a b ", "a\x1a" "b\x1a"}, // 0x1A would end the file for the reader
    };
    for (const FieldCase &c : cases)
        EXPECT_EQ(CsvEscapeField(c.text), c.raw) << "text: " << shown(c.text);
}
