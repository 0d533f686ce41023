// The CSV file in UTF-8 as spreadsheets write it, and its way back through the reader.
#include "document/Cp1252.h"
#include "exchange/CsvFile.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

} // namespace

TEST(CsvUtf8, encodeWritesTheByteOrderMarkQuotedFieldsRealLineBreaksAndCrLf)
{
    const struct {
        ListEntry entry;
        QByteArray line; // after the byte order mark
    } rows[] = {
        {{"Riss im \"Deckel\"", {"Motor"}}, "\"Riss im \"\"Deckel\"\"\";\"Motor\"\r\n"},
        {{"Entw\xe4sserung \x80 5", {"Au\xdf" "enanlagen"}}, "\"Entw\xc3\xa4sserung \xe2\x82\xac 5\";\"Au\xc3\x9f" "enanlagen\"\r\n"},
        {{"zwei\nZeilen", {"a\r\nb"}}, "\"zwei\nZeilen\";\"a\r\nb\"\r\n"},
        {{"C:\\temp;x", {""}}, "\"C:\\temp;x\";\"\"\r\n"},
        {{"", {}}, "\"\"\r\n"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(csv::encodeUtf8({r.entry}), kBom + r.line) << r.entry.caption();
    EXPECT_EQ(csv::encodeUtf8({}), kBom) << "no entries: the mark alone";
}

TEST(CsvUtf8, everyNameComesBackFromTheReaderExactly)
{
    const std::vector<ListEntry> names{
        {"Fliesen gesprungen; Bad OG", {"Sanit\xe4r"}},
        {"Riss im \"Deckel\"", {"\"Zitat\""}},
        {"C:\\temp", {"a\\b"}},
        {"Heizk\xf6rper \xfc\xe4\xdf\xc4\xd6\xdc \x80 \x96 \x81", {"\xc4u\xdf" "ere H\xfclle"}},
        {"zwei\nZeilen", {"mit\r\nCR LF"}},
        {"\n", {";"}},
    };
    EXPECT_EQ(csv::parse(csv::encodeUtf8(names).toStdString()), names);

    // The escape rule of the reader holds in both file types: a backslash before n or r is a line break.
    EXPECT_EQ(csv::parse(csv::encodeUtf8({{"C:\\neu", {"x"}}}).toStdString()),
              (std::vector<ListEntry>{{"C:\neu", {"x"}}}));
}

// Every byte, alone and inside a run that is copied a word at a time, becomes its character in UTF-8;
// 0x1A, which would end the file for the reader, becomes a blank.
TEST(CsvUtf8, everyByteIsWrittenAsItsCharacter)
{
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, char(b));
        for (const std::string &text : {byte, "abcdefgh" + byte + "ijklmnopq"}) {
            QByteArray field = cp1252::toUnicode(text).toUtf8().replace('\x1a', ' ');
            field.replace("\"", "\"\"");
            EXPECT_EQ(csv::encodeUtf8({{text, {text}}}), kBom + '"' + field + "\";\"" + field + "\"\r\n") << b;
        }
    }
}
