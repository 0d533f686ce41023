#include "TestSupport.h"
#include "document/LineReader.h"
#include "document/ListFile.h"
#include "document/SafeFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <random>

using listfile::parseCount;

namespace {

using testsupport::captions;

listfile::Content parse(std::string_view s) { return listfile::parse(s); }

} // namespace

TEST(ListFileCount, acceptsTheNumberForms)
{
    const std::pair<const char *, int> cases[] = {
        {"0", 0},        {"7", 7},           {"   7", 7},          {"+7", 7},
        {"-5", -5},      {"$10", 16},        {"-$10", -16},        {"x1f", 31},
        {"X1F", 31},     {"0x10", 16},       {"0X10", 16},         {"007", 7},
        {"2147483647", 2147483647},          {"-2147483648", -2147483647 - 1},
        {"$7FFFFFFF", 2147483647},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(parseCount(text), value) << '"' << text << '"';
}

TEST(ListFileCount, refusesEverythingElse)
{
    for (const char *text : {"", " ", "7 ", "7a", "a7", "\t7", "+", "-", "+-1", "$", "0x", "x", "1.5", "1,5",
                             "2147483648", "-2147483649", "$80000000", "99999999999999999999", "7\n"})
        EXPECT_FALSE(parseCount(text)) << '"' << text << '"';
}

TEST(ListFileReader, lineEndsAndTheEndOfInput)
{
    LineReader r("a\r\nb\nc\rd\r\r\ne");
    EXPECT_EQ(r.next(), "a");
    EXPECT_EQ(r.next(), "b\nc") << "an LF not right after a CR is text";
    EXPECT_EQ(r.next(), "d");
    EXPECT_EQ(r.next(), "");
    EXPECT_EQ(r.next(), "e") << "a last line without line end is read";
    EXPECT_EQ(r.next(), "");
    EXPECT_EQ(r.readsPastEnd(), 1u);

    LineReader eof("a\x1a\r\nb\r\n");
    EXPECT_EQ(eof.next(), "a");
    EXPECT_EQ(eof.next(), "") << "0x1A ends the input";
}

TEST(ListFileParse, theDocumentedExample)
{
    const auto c = parse("2\r\nDach\r\nFassade\r\n1\r\nRiss\r\nFassade\r\n0\r\n");
    EXPECT_FALSE(c.formatError);
    EXPECT_EQ(captions(c.lists[0]), (std::vector<std::string>{"Dach", "Fassade"}));
    ASSERT_EQ(c.lists[1].size(), 1u);
    EXPECT_EQ(c.lists[1][0], (ListEntry{"Riss", {"Fassade"}}));
    EXPECT_TRUE(c.lists[2].empty());
    EXPECT_EQ(c.lists[0][0].subItemCount(), 0u);
}

TEST(ListFileParse, shortAndBrokenFiles)
{
    EXPECT_TRUE(parse("").formatError);

    const auto five = parse("2\r\nA\r\nB\r\n0\r\n0\r\n");
    EXPECT_FALSE(five.formatError);
    EXPECT_EQ(captions(five.lists[0]), (std::vector<std::string>{"A", "B"}));

    const auto shortFirst = parse("3\r\nA\r\n");
    EXPECT_TRUE(shortFirst.formatError);
    EXPECT_EQ(captions(shortFirst.lists[0]), (std::vector<std::string>{"A", "", ""}));
    EXPECT_TRUE(shortFirst.lists[1].empty());

    const auto shortLast = parse("0\r\n0\r\n2\r\nX\r\nDach\r\n");
    EXPECT_FALSE(shortLast.formatError) << "a short last section loads without message";
    ASSERT_EQ(shortLast.lists[2].size(), 2u);
    EXPECT_EQ(shortLast.lists[2][0], (ListEntry{"X", {"Dach"}}));
    EXPECT_EQ(shortLast.lists[2][1], (ListEntry{"", {""}}));

    const auto partial = parse("1\r\nA\r\n2\r\nR\r\nA\r\nS\r\nA\r\nzwei\r\n");
    EXPECT_TRUE(partial.formatError);
    EXPECT_EQ(partial.lists[0].size(), 1u);
    EXPECT_EQ(partial.lists[1].size(), 2u) << "entries before the fault stay";
    EXPECT_TRUE(partial.lists[2].empty());
}

// A file without any CR byte (as a Linux editor or script writes it) has its lines end at LF; as soon
// as the file holds one CR, lines end at CR and an LF elsewhere is text.
TEST(ListFileParse, lineEndsFollowWhetherTheFileHoldsACr)
{
    const std::vector<ListEntry> defect{{"X", {"Dach"}}};
    const struct {
        const char *name;
        std::string bytes;
        std::vector<std::string> assemblies;
        std::vector<ListEntry> defects;
        bool formatError;
    } cases[] = {
        {"LF only", "2\nA\nB\n0\n1\nX\nDach\n", {"A", "B"}, defect, false},
        {"LF only, no last line end", "1\nA\n0\n1\nX\nDach", {"A"}, defect, false},
        {"LF only, short last section", "0\n0\n1\nX\n", {}, {{"X", {""}}}, false},
        {"LF only, count past the end", "1\nA\n", {"A"}, {}, true},
        {"LF only, 0x1A ends the input", "1\nA\n0\n1\nX\nDach\x1a\n9\n", {"A"}, defect, false},
        {"LF only, blank line is a text", "2\n\nB\n0\n0\n", {"", "B"}, {}, false},
        {"one CR: the first line runs to it", "1\nA\n0\n0\r\n", {}, {}, true},
        {"CR LF with an LF inside a text", "1\r\nA\nB\r\n0\r\n0\r\n", {"A\nB"}, {}, false},
        {"a CR after 0x1A still counts", "1\nA\n0\n0\n\x1a\r", {}, {}, true},
    };
    for (const auto &c : cases) {
        const auto content = parse(c.bytes);
        EXPECT_EQ(content.formatError, c.formatError) << c.name;
        EXPECT_EQ(captions(content.lists[0]), c.assemblies) << c.name;
        EXPECT_EQ(content.lists[2], c.defects) << c.name;
    }
}

TEST(ListFileParse, countsAndTrailingLines)
{
    EXPECT_TRUE(parse("-5\r\n0\r\n0\r\n").lists[0].empty());
    EXPECT_EQ(parse(" 7\r\n0\r\n0\r\n").lists[0].size(), 7u);
    EXPECT_EQ(parse("$10\r\n").lists[0].size(), 16u);
    EXPECT_TRUE(parse("7 \r\n").formatError);
    EXPECT_TRUE(parse("7a\r\n").formatError);
    EXPECT_TRUE(parse("\r\n").formatError);
    const auto trailing = parse("0\r\n0\r\n0\r\nWhatever\r\n12\r\n");
    EXPECT_FALSE(trailing.formatError);
}

TEST(ListFileParse, aHugeCountStopsSoonAfterTheEndOfTheFile)
{
    const auto c = parse("1\r\nA\r\n2147483647\r\nR\r\nA\r\n");
    EXPECT_TRUE(c.formatError);
    EXPECT_LE(c.lists[1].size(), listfile::kMaxLinesPastEnd + 2);
    EXPECT_EQ(c.lists[1][0], (ListEntry{"R", {"A"}}));
}

TEST(ListFileEncode, writesCountsAndCrLfLines)
{
    const std::vector<ListEntry> assemblies{{"Dach", {}}, {"Fassade", {}}};
    const std::vector<ListEntry> catalog{{"Riss", {"Fassade"}}};
    EXPECT_EQ(listfile::encode(assemblies, catalog, {}),
              QByteArray("2\r\nDach\r\nFassade\r\n1\r\nRiss\r\nFassade\r\n0\r\n"));
    EXPECT_EQ(listfile::encode({}, {}, {}), QByteArray("0\r\n0\r\n0\r\n"));
}

TEST(ListFileEncode, crAndSubstituteBytesBecomeBlanksSoTheSectionsStayIntact)
{
    const std::vector<ListEntry> defects{{"a\r\nb", {"x\x1ay"}}, {"c", {"d"}}};
    const QByteArray bytes = listfile::encode({}, {}, defects);
    const auto back = parse(std::string_view(bytes.constData(), size_t(bytes.size())));
    EXPECT_FALSE(back.formatError);
    ASSERT_EQ(back.lists[2].size(), 2u);
    EXPECT_EQ(back.lists[2][0], (ListEntry{"a \nb", {"x y"}}));
    EXPECT_EQ(back.lists[2][1], (ListEntry{"c", {"d"}}));
}

TEST(ListFileEncode, randomDocumentsSurviveSaveAndLoad)
{
    std::mt19937 rng(20261207);
    auto text = [&rng] {
        std::string s(rng() % 12, ' ');
        for (char &c : s) {
            do
                c = static_cast<char>(rng() % 256);
            while (c == '\r' || c == '\x1a');
        }
        return s;
    };
    for (int round = 0; round < 200; ++round) {
        std::array<std::vector<ListEntry>, 3> lists;
        for (int s = 0; s < 3; ++s) {
            const int n = static_cast<int>(rng() % 6);
            for (int i = 0; i < n; ++i)
                lists[size_t(s)].push_back(s == 0 ? ListEntry{text(), {}} : ListEntry{text(), {text()}});
        }
        const QByteArray bytes = listfile::encode(lists[0], lists[1], lists[2]);
        const auto back = parse(std::string_view(bytes.constData(), size_t(bytes.size())));
        ASSERT_FALSE(back.formatError);
        ASSERT_EQ(back.lists, lists) << "round " << round;
    }
}

// The writer copies short texts a word at a time and looks for CR and 0x1A inside those words, so
// every length around the word sizes gets the two bytes (and a harmless control byte) at every place.
TEST(ListFileEncode, everyTextLengthAndPlaceOfABlankedByte)
{
    for (std::size_t length = 0; length <= 40; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            for (const char c : {'\r', '\x1a', '\t'}) {
                std::string text(length, 'a');
                text[at] = c;
                std::string written = text;
                written[at] = c == '\t' ? '\t' : ' ';
                const std::string expected = "0\r\n1\r\nx\r\n" + written + "\r\n1\r\n" + written + "\r\ny\r\n";
                const QByteArray bytes = listfile::encode({}, {{"x", {text}}}, {{text, {"y"}}});
                ASSERT_EQ(std::string(bytes.constData(), size_t(bytes.size())), expected)
                    << "length " << length << " at " << at << " byte " << int(c);
            }
        }
    }
}

TEST(ListFileEncode, textsFarLongerThanUsualAreWrittenWhole)
{
    std::vector<ListEntry> defects;
    std::string expected = "0\r\n0\r\n50\r\n";
    for (int i = 0; i < 50; ++i) {
        const std::string text(size_t(1000 + i), char('A' + i % 26));
        defects.push_back({text, {text + "!"}});
        expected += text + "\r\n" + text + "!\r\n";
    }
    const QByteArray bytes = listfile::encode({}, {}, defects);
    EXPECT_EQ(std::string(bytes.constData(), size_t(bytes.size())), expected);
}

// Written into a file, lists far larger than the writer's buffer come out as encode makes them, texts
// that have to be blanked included, in every section and wherever a buffer ends.
TEST(ListFileWrite, throughAFileTheBytesAreThoseOfEncode)
{
    std::array<std::vector<ListEntry>, 3> lists;
    for (int s = 0; s < 3; ++s) {
        for (int i = 0; i < 30'000; ++i) {
            std::string text(size_t(20 + i % 61), char('a' + i % 26));
            if (i % 97 == 0)
                text[size_t(i) % text.size()] = i % 2 ? '\r' : '\x1a';
            lists[size_t(s)].push_back(s == 0 ? ListEntry{text, {}} : ListEntry{text, {text + "!"}});
        }
    }
    const QByteArray expected = listfile::encode(lists[0], lists[1], lists[2]);
    ASSERT_GT(expected.size(), 3 << 20);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("liste.mal"));
    ASSERT_TRUE(safefile::writeAll(file, [&](ByteSink &out) { listfile::write(out, lists[0], lists[1], lists[2]); }));
    EXPECT_TRUE(testsupport::readFile(file) == expected);
    const auto back = parse(std::string_view(expected.constData(), size_t(expected.size())));
    EXPECT_EQ(back.lists[0].size(), lists[0].size()) << "a blanked byte breaks no line";
    EXPECT_EQ(back.lists[0][97].caption().find_first_of("\r\x1a"), std::string_view::npos);
}
