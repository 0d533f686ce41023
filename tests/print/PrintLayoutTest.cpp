#include "RecordingCanvas.h"

#include "print/PrintLayout.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using Op = RecordingCanvas::Op;

namespace {

const QString kTitle = QStringLiteral("Mängelliste");
const QString kBlank = QStringLiteral(" ");

std::vector<ListEntry> numberedRows(int count)
{
    std::vector<ListEntry> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back({"Mangel " + std::to_string(i), {"Dach"}});
    return rows;
}

PrintMargins uniform(int mm)
{
    return {mm, mm, mm, mm};
}

// The page and top of every drawn row name (draws at x == left that are neither title nor blank).
std::vector<std::pair<int, int>> rowPlaces(const RecordingCanvas &canvas, int left)
{
    std::vector<std::pair<int, int>> places;
    for (const auto &d : canvas.draws())
        if (d.x == left && d.text != kTitle && d.text != kBlank)
            places.emplace_back(d.page, d.y);
    return places;
}

} // namespace

struct MarginCase {
    int dpi;
    PrintMargins margins;
    int left, top, gap; // expected dots
};

void PrintTo(const MarginCase &c, std::ostream *os)
{
    *os << c.dpi << " dpi, margins " << c.margins.left << "/" << c.margins.top << " mm";
}

class PrintMarginsTest : public ::testing::TestWithParam<MarginCase> {};

TEST_P(PrintMarginsTest, titleRowsAndAssemblyColumnSitAtTheConvertedMargins)
{
    const MarginCase c = GetParam();
    RecordingCanvas canvas(c.dpi, 8 * c.dpi, 11 * c.dpi);
    const std::vector<ListEntry> rows{{"Riss", {"Wand"}}, {"Fenster klemmt", {"Fenster"}}, {"Tür", {"Tür"}}};
    printDefectList(canvas, rows, c.margins, PrintFont{});

    const int h = canvas.lineHeight(11);
    const int widest = 14 * (11 * c.dpi / 144); // "Fenster klemmt", regular
    const int column = c.left + widest + c.gap;
    const auto d = canvas.draws();
    ASSERT_EQ(d.size(), 9u);
    EXPECT_EQ(std::tie(d[0].x, d[0].y), std::tie(c.left, c.top)) << "title";
    EXPECT_EQ(std::tie(d[1].x, d[1].y), std::make_tuple(c.left, c.top + h)) << "blank after the title";
    for (int r = 0; r < 3; ++r) {
        const auto &name = d[2 + 2 * r];
        const auto &assembly = d[3 + 2 * r];
        EXPECT_EQ(std::tie(name.x, name.y), std::make_tuple(c.left, c.top + (2 + r) * h)) << r;
        EXPECT_EQ(std::tie(assembly.x, assembly.y), std::make_tuple(column, c.top + (2 + r) * h)) << r;
    }
    EXPECT_EQ(std::tie(d[8].x, d[8].y), std::make_tuple(c.left, c.top + 5 * h)) << "closing blank";
}

INSTANTIATE_TEST_SUITE_P(
    ByResolution, PrintMarginsTest,
    ::testing::Values(MarginCase{600, uniform(15), 354, 354, 118}, MarginCase{300, uniform(15), 177, 177, 59},
                      MarginCase{600, {50, 7, 0, 50}, 1181, 165, 118}, MarginCase{300, {7, 50, 50, 0}, 82, 590, 59},
                      MarginCase{600, uniform(0), 0, 0, 118}, MarginCase{300, uniform(0), 0, 0, 59}));

struct BreakCase {
    int dpi;
    int pageHeight;
    int rowsOnFirstPage;
};

void PrintTo(const BreakCase &c, std::ostream *os)
{
    *os << c.dpi << " dpi, page height " << c.pageHeight;
}

class PrintBreakTest : public ::testing::TestWithParam<BreakCase> {};

// With 15 mm margins and 11 pt the rows start two lines below T; the page heights put the bottom
// limit exactly on the end of row 20, or one dot above it. The limit is the page height minus the
// unrounded margin, truncated: one dot less than subtracting the rounded margin would give.
TEST_P(PrintBreakTest, aLineEndingExactlyOnTheLimitStaysTheNextOneBreaks)
{
    const BreakCase c = GetParam();
    RecordingCanvas canvas(c.dpi, 8 * c.dpi, c.pageHeight);
    printDefectList(canvas, numberedRows(30), uniform(15), PrintFont{});

    const int top = marginToDots(15, c.dpi);
    const int h = canvas.lineHeight(11);
    const auto places = rowPlaces(canvas, top);
    ASSERT_EQ(places.size(), 30u);
    for (int i = 0; i < 30; ++i) {
        if (i < c.rowsOnFirstPage)
            EXPECT_EQ(places[i], std::make_pair(0, top + (2 + i) * h)) << i;
        else
            EXPECT_EQ(places[i], std::make_pair(1, top + (i - c.rowsOnFirstPage) * h)) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(ByResolution, PrintBreakTest,
                         ::testing::Values(BreakCase{600, 3019, 20}, BreakCase{600, 3018, 19}, BreakCase{300, 1499, 20},
                                           BreakCase{300, 1498, 19}));

TEST(PrintLayout, closingBlankLineStartsAPageOfItsOwnWhenTheRowsEndOnTheLimit)
{
    RecordingCanvas canvas(600, 4800, 3019); // bottom limit on the end of row 20
    printDefectList(canvas, numberedRows(20), uniform(15), PrintFont{});

    ASSERT_EQ(canvas.pageCount(), 2);
    const auto d = canvas.draws();
    EXPECT_EQ(d[d.size() - 2].page, 0) << "last row";
    EXPECT_EQ(d.back().page, 1);
    EXPECT_EQ(d.back().text, kBlank);
    EXPECT_EQ(d.back().y, 354);
    EXPECT_EQ(canvas.events().back().op, Op::End);
}

TEST(PrintLayout, aFontTallerThanTheRoomBetweenTheMarginsPrintsEachLineOnAPageOfItsOwnFromTheTop)
{
    PrintFont huge;
    huge.size = 400;
    // One line is 3833 dots, far more than the 3291 between T and B but less than the page; the page is
    // wide enough for the name (8 characters of 1666 dots) and the assembly side by side, so nothing wraps.
    RecordingCanvas canvas(600, 24000, 4000);
    printDefectList(canvas, numberedRows(2), uniform(15), huge);

    const auto d = canvas.draws();
    ASSERT_EQ(d.size(), 7u);
    EXPECT_EQ(canvas.pageCount(), 5);
    const int expectedPage[] = {0, 1, 2, 2, 3, 3, 4}; // title, blank, two rows (name, assembly), blank
    for (std::size_t i = 0; i < d.size(); ++i) {
        EXPECT_EQ(d[i].page, expectedPage[i]) << i;
        EXPECT_EQ(d[i].y, 354) << i;
    }
}

TEST(PrintLayout, titleIsBoldAloneAndRowsRegularWhateverTheFontsStyle)
{
    PrintFont styled;
    styled.size = 14;
    styled.style = {true, true, true, true};
    RecordingCanvas canvas(300, 2400, 3300);
    printDefectList(canvas, numberedRows(2), uniform(15), styled);

    const auto d = canvas.draws();
    ASSERT_EQ(d.size(), 7u);
    for (std::size_t i = 0; i < d.size(); ++i) {
        EXPECT_EQ(d[i].style, (i < 2 ? FontStyle{.bold = true} : FontStyle{})) << i;
        EXPECT_EQ(d[i].size, 14) << i;
    }
}

TEST(PrintLayout, assemblyColumnFollowsTheWidestRegularNameOnEveryPage)
{
    std::vector<ListEntry> rows = numberedRows(90);
    rows[70].setCaption("Dachrinne undicht und verbogen"); // 30 characters, on the second page
    RecordingCanvas canvas(600, 4800, 6600);
    printDefectList(canvas, rows, uniform(15), PrintFont{});
    ASSERT_GT(canvas.pageCount(), 1);

    const int column = 354 + 30 * 45 + 118; // L + W (30 regular characters of 45 dots) + G
    int assemblies = 0;
    for (const auto &d : canvas.draws()) {
        if (d.text == QStringLiteral("Dach")) {
            EXPECT_EQ(d.x, column);
            ++assemblies;
        }
    }
    EXPECT_EQ(assemblies, 90);
}

TEST(PrintLayout, rowsFollowTheGivenOrderWithCaptionAndFirstSubItem)
{
    const std::vector<ListEntry> rows{{"Z\xe4hler defekt", {"Keller", "2", "5,00 EUR"}},
                                      {"Abfluss", {"Bad"}},
                                      {"Ohne Baugruppe", {}},
                                      {"\x80-Zeichen",
                                       {"M\xfc"
                                        "ll"}}};
    RecordingCanvas canvas(600, 4800, 6600);
    printDefectList(canvas, rows, uniform(15), PrintFont{});

    std::vector<QString> texts;
    for (const auto &d : canvas.draws())
        texts.push_back(d.text);
    const std::vector<QString> expected{kTitle,
                                        kBlank,
                                        QStringLiteral("Zähler defekt"),
                                        QStringLiteral("Keller"),
                                        QStringLiteral("Abfluss"),
                                        QStringLiteral("Bad"),
                                        QStringLiteral("Ohne Baugruppe"),
                                        QString(),
                                        QStringLiteral("€-Zeichen"),
                                        QStringLiteral("Müll"),
                                        kBlank};
    EXPECT_EQ(texts, expected);
}

TEST(PrintLayout, emptyListGivesOneNamedPageWithTitleAndBlankLines)
{
    RecordingCanvas canvas(600, 4800, 6600);
    printDefectList(canvas, {}, uniform(15), PrintFont{});

    const auto &e = canvas.events();
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[0].op, Op::Begin);
    EXPECT_EQ(e[0].text, kTitle) << "document name";
    EXPECT_EQ(e[1].text, kTitle);
    EXPECT_EQ(e[2].text, kBlank);
    EXPECT_EQ(e[3].text, kBlank);
    EXPECT_EQ(e[3].x, 354);
    EXPECT_EQ(e[3].y, 354 + 2 * canvas.lineHeight(11));
    EXPECT_EQ(e[4].op, Op::End);
    EXPECT_EQ(canvas.pageCount(), 1);
}
