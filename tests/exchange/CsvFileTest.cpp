#include "exchange/CsvFile.h"

#include "exchange/CsvField.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Entries = std::vector<ListEntry>;

std::string bytesOf(const QByteArray &a)
{
    return std::string(a.constData(), static_cast<std::size_t>(a.size()));
}

// Shows entries as "{caption|sub}" with CR and LF visible.
std::string shown(const Entries &entries)
{
    std::string out;
    for (const ListEntry &e : entries) {
        out += '{' + e.caption;
        for (const std::string &s : e.subItems)
            out += '|' + s;
        out += '}';
    }
    std::string visible;
    for (const char c : out)
        visible += c == '\r' ? std::string("<CR>") : c == '\n' ? std::string("<LF>") : std::string(1, c);
    return visible;
}

struct ReadCase {
    const char *name;
    std::string bytes;
    Entries entries;
};

} // namespace

TEST(CsvFile, writerQuotesEveryFieldAndEndsEveryLineWithCrLf)
{
    EXPECT_EQ(bytesOf(csv::encode({})), "");
    EXPECT_EQ(bytesOf(csv::encode({{"Riss im \"Deckel\"", {"Motor"}}})), "\"Riss im \"\"Deckel\"\"\";\"Motor\"\r\n");
    EXPECT_EQ(bytesOf(csv::encode({{"", {""}}, {"a\r\nb", {"C:\\new;x"}}})),
              "\"\";\"\"\r\n\"a\\r\\nb\";\"C:\\new;x\"\r\n");
    // Entries are written in list order, with whatever sub-items they have.
    EXPECT_EQ(bytesOf(csv::encode({{"B", {"2"}}, {"A", {}}, {"C", {"3", "x"}}})),
              "\"B\";\"2\"\r\n\"A\"\r\n\"C\";\"3\";\"x\"\r\n");
    EXPECT_EQ(bytesOf(csv::encode({{"\xe4\x80\xff", {"\xdf"}}})), "\"\xe4\x80\xff\";\"\xdf\"\r\n") << "no re-encoding";
}

TEST(CsvFile, readerTurnsEachNonEmptyLineIntoOneEntry)
{
    const ReadCase cases[] = {
        {"written form", "\"Riss im \"\"Deckel\"\"\";\"Motor\"\r\n", {{"Riss im \"Deckel\"", {"Motor"}}}},
        {"unquoted", "Riss;A\r\n", {{"Riss", {"A"}}}},
        {"one character", "x", {{"x", {""}}}},
        {"only a semicolon", ";\r\n", {{"", {""}}}},
        {"extra fields ignored", "a;b;c;d\r\n", {{"a", {"b"}}}},
        {"header line is an entry",
         "Mangel;Baugruppe\r\nRiss;Motor\r\n",
         {{"Mangel", {"Baugruppe"}}, {"Riss", {"Motor"}}}},
        {"quotes do not protect a semicolon", "\"a;b\";\"c\"\r\n", {{"a", {"b"}}}},
        {"blanks are kept", " a ; b \r\n", {{" a ", {" b "}}}},
        {"comma separated", "a,b,c\r\n", {{"a,b,c", {""}}}},
        {"empty file", "", {}},
        {"empty lines", "\r\n\r\na\r\n\r\n\r\nb\r\n\r\n", {{"a", {""}}, {"b", {""}}}},
        {"last line without line end", "a;1\r\nb;2", {{"a", {"1"}}, {"b", {"2"}}}},
        {"bare CR ends a line", "a\rb\r\r\nc", {{"a", {""}}, {"b", {""}}, {"c", {""}}}},
        {"0x1A ends the input", "a\r\nb\x1a\r\nc\r\n", {{"a", {""}}, {"b", {""}}}},
        {"0x1A first",
         "\x1a"
         "a\r\n",
         {}},
        {"escapes decoded", "\"a\\r\\nb\";\"C:\\temp\"\r\n", {{"a\r\nb", {"C:\\temp"}}}},
        {"NUL is a byte", std::string("a\0b;c\r\n", 7), {{std::string("a\0b", 3), {"c"}}}},
        // A file with CR LF rows keeps a bare LF inside a line, as spreadsheets write line breaks in cells.
        {"bare LF in a CR LF file",
         "\"Zeile 1\nZeile 2\";\"A\"\r\nb;B\r\n",
         {{"Zeile 1\nZeile 2", {"A"}}, {"b", {"B"}}}},
        {"LF before a CR", "a\n\nb\r\n", {{"a\n\nb", {""}}}},
        // A file without any CR has its lines end at LF.
        {"LF only", "Riss;A\nLoch;B\n", {{"Riss", {"A"}}, {"Loch", {"B"}}}},
        {"LF only, empty lines", "\n\na\n\n\nb", {{"a", {""}}, {"b", {""}}}},
        {"LF only, CR after 0x1A", "a\nb\x1a\r\n", {{"a", {""}}, {"b", {""}}}},
    };
    for (const ReadCase &c : cases)
        EXPECT_EQ(shown(csv::parse(c.bytes)), shown(c.entries)) << c.name;
}

TEST(CsvFile, writtenEntriesReadBackWithTheKnownLosses)
{
    const Entries written = {
        {"Riss im \"Deckel\"", {"Motor"}},
        {"", {""}},
        {"zwei\r\nZeilen", {"mit\nLF"}},
        {"\"", {"\"\""}},        // a run of quotes comes back as one
        {"C:\\new", {"a\\\\b"}}, // backslash r/n become line breaks, backslash runs shrink
        {"C:\\temp", {"x"}},
        {"a;b", {"c;d"}}, // semicolons split the line
        {"\xe4\xf6\xfc\xdf\x80", {"\x81\x8d"}},
    };
    const Entries read = {
        {"Riss im \"Deckel\"", {"Motor"}},
        {"", {""}},
        {"zwei\r\nZeilen", {"mit\nLF"}},
        {"\"", {"\""}},
        {"C:\new", {"a\\b"}},
        {"C:\\temp", {"x"}},
        {"a", {"b"}},
        {"\xe4\xf6\xfc\xdf\x80", {"\x81\x8d"}},
    };
    const QByteArray file = csv::encode(written);
    EXPECT_EQ(shown(csv::parse(std::string_view(file.constData(), static_cast<std::size_t>(file.size())))),
              shown(read));
}

// The writer copies short fields a word at a time and looks for the bytes to escape inside those
// words, so every length around the word sizes gets each such byte (and a harmless control byte)
// at every place.
TEST(CsvFile, writerEscapesAtEveryPlaceOfEveryShortLength)
{
    for (std::size_t length = 0; length <= 40; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            for (const char c : {'"', '\r', '\n', '\t'}) {
                std::string text(length, 'a');
                text[at] = c;
                const std::string field = '"' + CsvEscapeField(text) + '"';
                ASSERT_EQ(bytesOf(csv::encode({{text, {text}}})), field + ';' + field + "\r\n")
                    << "length " << length << " at " << at << " byte " << int(c);
            }
        }
    }
}

TEST(CsvFile, writerHandlesLinesFarLongerThanUsual)
{
    Entries entries;
    std::string expected;
    for (int i = 0; i < 50; ++i) {
        const std::string quotes(size_t(1000 + i), '"');
        entries.push_back({quotes, {"x", quotes}});
        const std::string doubled(2 * quotes.size(), '"');
        expected += '"' + doubled + "\";\"x\";\"" + doubled + "\"\r\n";
    }
    EXPECT_EQ(bytesOf(csv::encode(entries)), expected);
}
