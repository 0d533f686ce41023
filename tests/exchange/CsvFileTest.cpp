#include "exchange/CsvFile.h"

#include "document/Cp1252.h"
#include "exchange/CsvField.h"

#include <QString>

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
        out += '{';
        out += e.caption();
        for (std::size_t i = 0; i < e.subItemCount(); ++i) {
            out += '|';
            out += e.subItem(i);
        }
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
        {"only two quotes", "\"\"\r\n", {{"", {""}}}},
        {"extra fields ignored", "a;b;c;d\r\n", {{"a", {"b"}}}},
        {"header line is an entry",
         "Mangel;Baugruppe\r\nRiss;Motor\r\n",
         {{"Mangel", {"Baugruppe"}}, {"Riss", {"Motor"}}}},
        {"blanks are kept", " a ; b \r\n", {{" a ", {" b "}}}},
        {"comma separated", "a,b,c\r\n", {{"a,b,c", {""}}}},
        {"empty file", "", {}},
        {"empty lines", "\r\n\r\na\r\n\r\n\r\nb\r\n\r\n", {{"a", {""}}, {"b", {""}}}},
        {"last line without line end", "a;1\r\nb;2", {{"a", {"1"}}, {"b", {"2"}}}},
        {"0x1A ends the input", "a\r\nb\x1a\r\nc\r\n", {{"a", {""}}, {"b", {""}}}},
        {"0x1A first",
         "\x1a"
         "a\r\n",
         {}},
        {"escapes decoded", "\"a\\r\\nb\";\"C:\\temp\"\r\n", {{"a\r\nb", {"C:\\temp"}}}},
        {"NUL is a byte", std::string("a\0b;c\r\n", 7), {{std::string("a\0b", 3), {"c"}}}},
        // Outside quotes CR LF, a lone LF and a lone CR each end a line.
        {"every line end", "a\rb\nc\r\nd\n\re", {{"a", {""}}, {"b", {""}}, {"c", {""}}, {"d", {""}}, {"e", {""}}}},
        {"stray CR in an LF file", "A;1\nB;2\rC;3\nD;4\n", {{"A", {"1"}}, {"B", {"2"}}, {"C", {"3"}}, {"D", {"4"}}}},
        // A field that begins with a quote runs to the next quote that is not doubled.
        {"quoted semicolon",
         "\"Fliesen gesprungen; Bad OG\";Sanit\xe4r\r\n",
         {{"Fliesen gesprungen; Bad OG", {"Sanit\xe4r"}}}},
        {"quoted line breaks", "\"a\r\nb\rc\nd\";\"e\nf\"\nx", {{"a\r\nb\rc\nd", {"e\nf"}}, {"x", {""}}}},
        {"doubled quotes", "\"\"\"\";\"a\"\"\"\"b\"\r\n", {{"\"", {"a\"\"b"}}}},
        {"quoted second field", "a;\"b;c\";d\r\n", {{"a", {"b;c"}}}},
        {"quoted third field spans lines", "a;b;\"c\r\nd;e\"\r\nf;g\r\n", {{"a", {"b"}}, {"f", {"g"}}}},
        {"text after the closing quote", "\"ab\"cd;x\r\n", {{"abcd", {"x"}}}},
        {"a quote inside an unquoted field", "Zoll 3\";x\"y\r\n", {{"Zoll 3", {"x\"y"}}}},
        {"escapes decoded after the quotes", "\"C:\\new\";\"a\\\\b\"\"\"\r\n", {{"C:\new", {"a\\b\""}}}},
        // A quote that is never closed does not swallow the rest of the file: its field is read
        // unquoted and loses that quote.
        {"unclosed quote", "\"abc;def\r\nx;y\r\n", {{"abc", {"def"}}, {"x", {"y"}}}},
        {"unclosed quote before 0x1A", "\"a\r\nb\x1a\"\r\n", {{"a", {""}}, {"b", {""}}}},
        {"closing quote after a doubled one missing", "\"a\"\"b\r\nc\r\n", {{"a\"b", {""}}, {"c", {""}}}},
    };
    for (const ReadCase &c : cases)
        EXPECT_EQ(shown(csv::parse(c.bytes)), shown(c.entries)) << c.name;
}

// A file that starts with the UTF-8 byte order mark, or is valid UTF-8 with at least one multi-byte
// sequence, is converted to Windows-1252; everything else is read byte for byte.
TEST(CsvFile, readerConvertsUtf8ToWindows1252)
{
    const ReadCase cases[] = {
        {"BOM", "\xef\xbb\xbfMangel;Baugruppe\r\n", {{"Mangel", {"Baugruppe"}}}},
        {"BOM only", "\xef\xbb\xbf", {}},
        {"umlauts and euro", "T\xc3\xbcr;5 \xe2\x82\xac\n", {{"T\xfcr", {"5 \x80"}}}},
        {"not in Windows-1252", "\xe2\x98\x83;\xf0\x9f\x98\x80x\n", {{"?", {"?x"}}}},
        {"C1 control kept", "\xc2\x81\xc3\xa4\n", {{"\x81\xe4", {""}}}},
        {"Windows-1252", "T\xfcr;5 \x80\r\n", {{"T\xfcr", {"5 \x80"}}}},
        {"invalid after valid", "\xc3\xa4;\xe4\n", {{"\xc3\xa4", {"\xe4"}}}},
        {"overlong form", "\xc0\xaf;\xc3\xa4\n", {{"\xc0\xaf", {"\xc3\xa4"}}}},
        {"surrogate", "\xed\xa0\x80\n", {{"\xed\xa0\x80", {""}}}},
        {"cut sequence at the end", "\xc3\xa4\xe2\x82", {{"\xc3\xa4\xe2\x82", {""}}}},
        {"invalid with BOM", "\xef\xbb\xbf\xe4;\xc3\xa4\n", {{"?", {"\xe4"}}}},
        {"BOM not at the start", "a\xef\xbb\xbf\n", {{"a?", {""}}}},
        {"ASCII", "abc;def\n", {{"abc", {"def"}}}},
    };
    for (const ReadCase &c : cases)
        EXPECT_EQ(shown(csv::parse(c.bytes)), shown(c.entries)) << c.name;
}

namespace {

// One sheet as spreadsheets save it: quotes only around cells that need them, a multi-line cell (its
// line break an LF), a cell with ";" and one with a quote, empty cells, an umlaut and the euro
// sign, and an empty line after the last row. Written in UTF-8 here; eol stands for the line end.
std::string sheet(std::string_view eol)
{
    std::string out;
    for (const std::string_view row : {
             "\"Fliesen gesprungen; Bad OG\";Sanitär",
             "\"Riss im \"\"Deckel\"\"\";Motor",
             "\"Zeile 1\nZeile 2\";Dach",
             ";Fassade",
             "Tür klemmt;",
             "Heizkörper 5 €;Heizung;",
             "",
         }) {
        out += row;
        out += eol;
    }
    return out;
}

std::string toWindows1252(const std::string &utf8)
{
    return cp1252::fromUnicode(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

} // namespace

TEST(CsvFile, readerTakesTheFilesThatSpreadsheetsSave)
{
    const Entries rows = {
        {"Fliesen gesprungen; Bad OG", {"Sanit\xe4r"}},
        {"Riss im \"Deckel\"", {"Motor"}},
        {"Zeile 1\nZeile 2", {"Dach"}},
        {"", {"Fassade"}},
        {"T\xfcr klemmt", {""}},
        {"Heizk\xf6rper 5 \x80", {"Heizung"}},
    };
    const std::string bom = "\xef\xbb\xbf";
    const struct {
        const char *name;
        std::string bytes;
    } files[] = {
        {"LibreOffice on Linux: UTF-8, LF", sheet("\n")},
        {"LibreOffice: UTF-8 with BOM, LF", bom + sheet("\n")},
        {"LibreOffice: Windows-1252, LF", toWindows1252(sheet("\n"))},
        {"LibreOffice on Windows: UTF-8, CR LF", sheet("\r\n")},
        {"Excel \"CSV (Trennzeichen-getrennt)\": Windows-1252, CR LF", toWindows1252(sheet("\r\n"))},
        {"Excel \"CSV UTF-8\": BOM, CR LF", bom + sheet("\r\n")},
    };
    for (const auto &f : files)
        EXPECT_EQ(shown(csv::parse(f.bytes)), shown(rows)) << f.name;

    // A cell whose line break was saved as CR LF keeps it.
    EXPECT_EQ(shown(csv::parse("\"Zeile 1\r\nZeile 2\";Dach\r\n")), shown({{"Zeile 1\r\nZeile 2", {"Dach"}}}));
}

// Every file the program writes reads back as the texts it was written from, except for the
// backslash escapes (a backslash before "r" or "n" comes back as CR or LF, and a run of backslashes
// as one) and 0x1A, which comes back as a blank instead of ending the file.
TEST(CsvFile, writtenEntriesReadBackWithTheKnownLosses)
{
    const Entries written = {
        {"Riss im \"Deckel\"", {"Motor"}},
        {"", {""}},
        {"zwei\r\nZeilen", {"mit\nLF"}},
        {"CR\rallein", {" Blanks "}},
        {"\"", {"\"\""}},
        {"\"\"\"", {"a\"\"b"}},
        {"a;b", {";"}},
        {"\";\"", {"\";"}},
        {"C:\\new", {"a\\\\b"}},
        {"C:\\temp", {"x\\"}},
        {"\xe4\xf6\xfc\xdf\x80", {"\x81\x8d"}},
        {"\x1b\t", {std::string("\0", 1)}},
        {"Ende\x1a?", {"\x1a"}},
        {"danach", {"x"}},
    };
    Entries read = written;
    read[8] = {"C:\new", {"a\\b"}};
    read[12] = {"Ende ?", {" "}};
    const QByteArray file = csv::encode(written);
    EXPECT_EQ(shown(csv::parse(std::string_view(file.constData(), static_cast<std::size_t>(file.size())))),
              shown(read));

    // A list whose only non-ASCII texts happen to form valid UTF-8 is read as UTF-8.
    const QByteArray utf8Like = csv::encode({{"\xc3\xa4", {"x"}}});
    EXPECT_EQ(shown(csv::parse(std::string_view(utf8Like.constData(), static_cast<std::size_t>(utf8Like.size())))),
              shown({{"\xe4", {"x"}}}));
}

// The writer copies short fields a word at a time and looks for the bytes to escape inside those
// words, so every length around the word sizes gets each such byte (and a harmless control byte)
// at every place.
TEST(CsvFile, writerEscapesAtEveryPlaceOfEveryShortLength)
{
    for (std::size_t length = 0; length <= 40; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            for (const char c : {'"', '\r', '\n', '\x1a', '\t'}) {
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
