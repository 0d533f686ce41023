#include "RecordingCanvas.h"

#include "print/NameWrap.h"
#include "print/PrintLayout.h"
#include "print/PrintSettingsError.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>

// The recording canvas at 600 dpi with 15 mm margins: L = 354, G = 118; 11 pt characters are 45 dots
// wide and lines 105 dots tall.
namespace {

constexpr int kDpi = 600;
constexpr int kLeft = 354;
constexpr int kGap = 118;
constexpr int kChar = 45;
constexpr int kLine = 105;

const PrintMargins kMargins{15, 15, 15, 15};

// The draws of the rows: everything after the title and its blank line, without the closing blank.
std::vector<RecordingCanvas::Event> rowDraws(const RecordingCanvas &canvas)
{
    auto d = canvas.draws();
    return {d.begin() + 2, d.end() - 1};
}

// Words of `length` characters each, separated by blanks.
std::string words(int count, int length)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i)
            text += ' ';
        text += std::string(static_cast<std::size_t>(length - 1), 'a') + static_cast<char>('A' + i % 26);
    }
    return text;
}

} // namespace

struct ColumnCase {
    const char *what;
    int pageWidth;
    int nameChars;     // the widest name: one word of this many characters
    int assemblyChars; // the widest assembly
    int column;        // expected x of the assembly column
};

void PrintTo(const ColumnCase &c, std::ostream *os)
{
    *os << c.what;
}

class PrintColumnTest : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(PrintColumnTest, assemblyColumnIsCappedOnlyWhenBothColumnsDoNotFit)
{
    const ColumnCase c = GetParam();
    RecordingCanvas canvas(kDpi, c.pageWidth, 11 * kDpi);
    const std::vector<ListEntry> rows{{std::string(static_cast<std::size_t>(c.nameChars), 'n'), {"Dach"}},
                                      {"Riss", {std::string(static_cast<std::size_t>(c.assemblyChars), 'b')}}};
    printDefectList(canvas, rows, kMargins, PrintFont{});

    for (const auto &d : rowDraws(canvas)) {
        if (d.x != kLeft) {
            EXPECT_EQ(d.x, c.column) << d.text.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    ByWidth, PrintColumnTest,
    ::testing::Values(
        // 354 + 80 × 45 + 118 + 10 × 45 = 4522: ending exactly on the edge still fits, the column stays.
        ColumnCase{"ending on the edge", 4522, 80, 10, kLeft + 80 * kChar + kGap},
        ColumnCase{"wide page", 9600, 80, 10, kLeft + 80 * kChar + kGap},
        // One dot less: the name column shrinks so that the widest assembly ends on the edge.
        ColumnCase{"one dot short", 4521, 80, 10, 4521 - 10 * kChar},
        ColumnCase{"130 characters", 4800, 130, 7, 4800 - 7 * kChar},
        // A very wide assembly leaves the name column half the width; the assembly runs off the page.
        ColumnCase{"wide assembly", 4800, 130, 80, kLeft + 2400 + kGap},
        // The name is narrower than half the width: the column stays where it is today.
        ColumnCase{"narrow name, wide assembly", 4800, 40, 100, kLeft + 40 * kChar + kGap}),
    [](const auto &info) {
        std::string name = info.param.what;
        for (char &ch : name)
            if (ch == ' ' || ch == ',')
                ch = '_';
        return name;
    });

TEST(PrintWrap, aLongNameWrapsAtBlanksWithItsAssemblyOnTheFirstLine)
{
    const std::string longName = words(13, 9); // 13 words of 9 characters: 129 characters, 5805 dots
    const std::vector<ListEntry> rows{{"Riss", {"Fassade"}}, {longName, {"Sanit\xe4r"}}, {"Loch", {"Dach"}}};
    RecordingCanvas canvas(kDpi, 4800, 11 * kDpi);
    printDefectList(canvas, rows, kMargins, PrintFont{});

    // The name column is 4800 - 354 - 118 - 7 × 45 = 4013 dots: 89 characters, nine words and their blanks.
    const int column = 4800 - 7 * kChar;
    const int top = 354 + 2 * kLine;
    const auto d = rowDraws(canvas);
    const QString name = QString::fromLatin1(longName);
    struct Expected {
        int x, y;
        QString text;
    };
    const std::vector<Expected> expected{
        {kLeft, top, QStringLiteral("Riss")},
        {column, top, QStringLiteral("Fassade")},
        {kLeft, top + kLine, name.left(89)},
        {column, top + kLine, QStringLiteral("Sanitär")},
        {kLeft, top + 2 * kLine, name.mid(90)},
        {kLeft, top + 3 * kLine, QStringLiteral("Loch")},
        {column, top + 3 * kLine, QStringLiteral("Dach")},
    };
    ASSERT_EQ(d.size(), expected.size());
    for (std::size_t i = 0; i < d.size(); ++i) {
        EXPECT_EQ(d[i].x, expected[i].x) << i;
        EXPECT_EQ(d[i].y, expected[i].y) << i;
        EXPECT_EQ(d[i].text, expected[i].text) << i;
    }
}

TEST(PrintWrap, aLineBreakInANameStartsANewLineAndEachLineIsMeasuredOnItsOwn)
{
    const std::vector<ListEntry> rows{{"Riss\r\nim Putz\nder\rFassade", {"Wand"}}, {"Loch", {"Dach"}}};
    RecordingCanvas canvas(kDpi, 4800, 11 * kDpi);
    printDefectList(canvas, rows, kMargins, PrintFont{});

    const int column = kLeft + 7 * kChar + kGap; // "Fassade" and "im Putz" are the widest lines
    const int top = 354 + 2 * kLine;
    std::vector<std::tuple<int, int, std::string>> seen;
    for (const auto &d : rowDraws(canvas))
        seen.emplace_back(d.x, d.y, d.text.toStdString());
    const std::vector<std::tuple<int, int, std::string>> expected{{kLeft, top, "Riss"},
                                                                  {column, top, "Wand"},
                                                                  {kLeft, top + kLine, "im Putz"},
                                                                  {kLeft, top + 2 * kLine, "der"},
                                                                  {kLeft, top + 3 * kLine, "Fassade"},
                                                                  {kLeft, top + 4 * kLine, "Loch"},
                                                                  {column, top + 4 * kLine, "Dach"}};
    EXPECT_EQ(seen, expected);
}

// 600 dpi, page height 3019: B = 2664, T = 354, rows start at 564 and 20 lines fit (564 + 20 × 105 = 2664).
// The name column is 4800 - 354 - 118 - 4 × 45 = 4148 dots: 92 characters.
TEST(PrintWrap, pageBreaksCountARowsLinesAndOnlyARowTallerThanAPageIsSplit)
{
    std::vector<ListEntry> rows;
    for (int i = 1; i <= 18; ++i)
        rows.push_back({"Zeile " + std::to_string(i), {"Dach"}});
    rows.push_back({"Zwei " + words(20, 9), {"Dach"}});    // three lines, from line 19 on
    rows.push_back({std::string(30 * 92, 'x'), {"Dach"}}); // 30 lines, more than the 22 a page holds
    rows.push_back({"Ende", {"Dach"}});
    RecordingCanvas canvas(kDpi, 4800, 3019);
    printDefectList(canvas, rows, kMargins, PrintFont{});

    std::map<int, std::vector<int>> linesByPage; // y of every name line, by page
    for (const auto &d : rowDraws(canvas))
        if (d.x == kLeft)
            linesByPage[d.page].push_back(d.y);
    ASSERT_EQ(linesByPage.size(), 4u);
    EXPECT_EQ(linesByPage[0].size(), 18u) << "the three-line row does not fit below row 18";
    EXPECT_EQ(linesByPage[1], (std::vector<int>{354, 459, 564})) << "it moves to the next page as a whole";
    ASSERT_EQ(linesByPage[2].size(), 22u) << "the long row starts a page and fills it";
    for (std::size_t i = 0; i < 22; ++i)
        EXPECT_EQ(linesByPage[2][i], 354 + static_cast<int>(i) * kLine) << i;
    EXPECT_EQ(linesByPage[3].size(), 8u + 1u) << "the rest of the long row and the last row";
    EXPECT_EQ(linesByPage[3].front(), 354);
}

TEST(NameWrap, linesBreakAtLineBreaksAndWrapAtBlanks)
{
    const auto oneUnitPerCharacter = [](const QString &text) { return static_cast<int>(text.size()); };
    const struct {
        const char *text;
        int width;
        std::vector<std::string> lines;
    } cases[] = {
        {"kurz", 10, {"kurz"}},
        {"aaaaa bbbb", 10, {"aaaaa bbbb"}}, // exactly the width
        {"Riss im Putz der Fassade", 10, {"Riss im", "Putz der", "Fassade"}},
        {"Dachrinnenhalter", 10, {"Dachrinnen", "halter"}},                // a word wider than the line
        {"ab Dachrinnenhalter cd", 10, {"ab", "Dachrinnen", "halter cd"}}, // broken only when alone too wide
        {"aaaa  bbbb    cccc", 10, {"aaaa  bbbb", "cccc"}},                // blanks at the break are dropped
        {"  aaaa bbbb", 8, {"  aaaa", "bbbb"}},                            // leading blanks stay
        {"abc", 0, {"a", "b", "c"}},                                       // one character per line at least
    };
    for (const auto &c : cases) {
        std::vector<std::string> lines;
        for (const QString &line : namewrap::wrapLine(QString::fromLatin1(c.text), c.width, oneUnitPerCharacter))
            lines.push_back(line.toStdString());
        EXPECT_EQ(lines, c.lines) << c.text;
    }

    EXPECT_EQ(namewrap::splitLines(QStringLiteral("a\r\nb\nc\rd")), (std::vector<QString>{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}));
    EXPECT_EQ(namewrap::splitLines(QStringLiteral("\n\r\n")), (std::vector<QString>{QString(), QString(), QString()}));
    EXPECT_EQ(namewrap::splitLines(QString()), std::vector<QString>{QString()});
}

TEST(NameWrap, aHugeNameIsWrappedMeasuringOnlyAboutALineAtATime)
{
    long long measured = 0;
    const auto counting = [&measured](const QString &text) {
        measured += text.size();
        return static_cast<int>(text.size());
    };
    const QString huge(1'000'000, u'x');
    const auto lines = namewrap::wrapLine(huge, 100, counting);
    ASSERT_EQ(lines.size(), 10'000u);
    EXPECT_EQ(lines.back().size(), 100);
    // The first measure is the whole name; then about two dozen measures of up to two lines per line.
    EXPECT_LT(measured, 1'000'000 + 10'000LL * 24 * 200);
}

struct SettingsCase {
    const char *what;
    int pageWidth, pageHeight;
    PrintMargins margins;
    int fontSize;
    const char *message; // nullptr: the settings print
};

void PrintTo(const SettingsCase &c, std::ostream *os)
{
    *os << c.what;
}

class PrintSettingsTest : public ::testing::TestWithParam<SettingsCase> {};

// At 600 dpi, 50 mm are 1181.1 dots and 15 mm 354.3.
TEST_P(PrintSettingsTest, absurdSettingsStopThePrintoutBeforeTheJobBegins)
{
    const SettingsCase c = GetParam();
    RecordingCanvas canvas(kDpi, c.pageWidth, c.pageHeight);
    PrintFont font;
    font.size = c.fontSize;
    const std::vector<ListEntry> rows{{"Riss", {"Wand"}}};
    if (!c.message) {
        printDefectList(canvas, rows, c.margins, font);
        EXPECT_EQ(canvas.events().back().op, RecordingCanvas::Op::End);
        return;
    }
    try {
        printDefectList(canvas, rows, c.margins, font);
        ADD_FAILURE() << "printed";
    } catch (const PrintSettingsError &e) {
        EXPECT_EQ(e.text(), QString::fromUtf8(c.message));
    }
    EXPECT_TRUE(canvas.events().empty()) << "no job was begun";
}

const char *const kMarginsMessage = "Die Ränder sind größer als die Seite.";
const char *const kSizeMessage = "Die Schriftgröße muss zwischen 1 und 9999 Punkt liegen.";

INSTANTIATE_TEST_SUITE_P(
    Table, PrintSettingsTest,
    ::testing::Values(SettingsCase{"start values", 4800, 6600, {15, 15, 15, 15}, 11, nullptr},
                      SettingsCase{"left and right leave one dot", 2364, 6600, {50, 0, 50, 0}, 11, nullptr},
                      SettingsCase{"left and right fill the width", 2363, 6600, {50, 0, 50, 0}, 11, kMarginsMessage},
                      SettingsCase{"left margin beyond the page", 1000, 6600, {50, 0, 0, 0}, 11, kMarginsMessage},
                      SettingsCase{"top and bottom leave one dot", 4800, 2364, {0, 50, 0, 50}, 11, nullptr},
                      SettingsCase{"top and bottom fill the height", 4800, 2363, {0, 50, 0, 50}, 11, kMarginsMessage},
                      SettingsCase{"size 1", 4800, 6600, {15, 15, 15, 15}, 1, nullptr},
                      SettingsCase{"size 9999 on a page that holds its line", 4800, 95830, {15, 15, 15, 15}, 9999, nullptr},
                      SettingsCase{"size 0", 4800, 6600, {15, 15, 15, 15}, 0, kSizeMessage},
                      SettingsCase{"size 10000", 4800, 6600, {15, 15, 15, 15}, 10000, kSizeMessage},
                      SettingsCase{"negative size", 4800, 6600, {15, 15, 15, 15}, -12, kSizeMessage}),
    [](const auto &info) {
        std::string name = info.param.what;
        for (char &ch : name)
            if (ch == ' ')
                ch = '_';
        return name;
    });
