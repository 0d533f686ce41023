// The printout with page header, column headings, numbered rows and page numbers, and the fonts that
// no page can hold.
#include "RecordingCanvas.h"

#include "print/PrintLayout.h"
#include "print/PrintSettingsError.h"

#include <gtest/gtest.h>

#include <string>

using Op = RecordingCanvas::Op;

namespace {

// The recording canvas at 600 dpi on a page of 4800 x 6600 dots with 15 mm margins, the right one 20 mm:
// L = T = 354, R = 4327, B = 6245, G = 118; 11 pt lines are 105 dots, characters 45 dots (bold 56).
constexpr int kDpi = 600, kWidth = 4800, kHeight = 6600;
constexpr int kLeft = 354, kTop = 354, kRight = 4327, kBottom = 6245, kGap = 118;
constexpr int kLine = 105, kChar = 45, kBoldChar = 56;
const PrintMargins kMargins{15, 15, 20, 15};
const PageFrame kFrame{QStringLiteral("Begehung"), QStringLiteral("07.12.2026")};

std::vector<ListEntry> numberedRows(int count)
{
    std::vector<ListEntry> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back({"Mangel " + std::to_string(i), {"Dach"}});
    return rows;
}

RecordingCanvas printFramed(const std::vector<ListEntry> &rows, const PrintFont &font = PrintFont{})
{
    RecordingCanvas canvas(kDpi, kWidth, kHeight);
    printDefectList(canvas, rows, kMargins, font, kFrame);
    return canvas;
}

const RecordingCanvas::Event *drawn(const RecordingCanvas &canvas, const QString &text, int page = -1)
{
    for (const auto &e : canvas.events())
        if (e.op == Op::Draw && e.text == text && (page < 0 || e.page == page))
            return &e;
    return nullptr;
}

} // namespace

TEST(PrintFrame, headerHeadingsNumbersAndFooterSitAtTheirPlacesOnEveryPage)
{
    const RecordingCanvas canvas = printFramed(numberedRows(60));
    ASSERT_EQ(canvas.pageCount(), 2);
    // "Nr." in bold (3 × 56) is wider than "60." (3 × 45): it sets the number column.
    const int nameLeft = kLeft + 3 * kBoldChar + kGap;
    const int assemblyColumn = nameLeft + 9 * kChar + kGap; // after "Mangel 60", the widest name
    const int footerWidth = 13 * kChar;                     // "Seite 1 von 2"
    const struct {
        const char *text;
        int page, x, y;
        bool bold;
    } places[] = {
        {"Begehung", 0, kLeft, kTop, false},
        {"07.12.2026", 0, kRight - 10 * kChar, kTop, false},
        {"Mängelliste", 0, kLeft, kTop + 2 * kLine, true},
        {"Nr.", 0, kLeft, kTop + 4 * kLine, true},
        {"Mangel", 0, nameLeft, kTop + 4 * kLine, true},
        {"Baugruppe", 0, assemblyColumn, kTop + 4 * kLine, true},
        {"1.", 0, nameLeft - kGap - 2 * kChar, kTop + 5 * kLine, false},
        {"Mangel 1", 0, nameLeft, kTop + 5 * kLine, false},
        {"49.", 0, nameLeft - kGap - 3 * kChar, kTop + 53 * kLine, false},
        {"Seite 1 von 2", 0, kLeft + (kRight - kLeft - footerWidth) / 2, kBottom - kLine, false},
        {"Begehung", 1, kLeft, kTop, false},
        {"07.12.2026", 1, kRight - 10 * kChar, kTop, false},
        {"Nr.", 1, kLeft, kTop + 2 * kLine, true},
        {"Baugruppe", 1, assemblyColumn, kTop + 2 * kLine, true},
        {"50.", 1, nameLeft - kGap - 3 * kChar, kTop + 3 * kLine, false},
        {"Mangel 50", 1, nameLeft, kTop + 3 * kLine, false},
        {"Seite 2 von 2", 1, kLeft + (kRight - kLeft - footerWidth) / 2, kBottom - kLine, false},
    };
    for (const auto &p : places) {
        const QString text = QString::fromUtf8(p.text);
        const auto *e = drawn(canvas, text, p.page);
        ASSERT_NE(e, nullptr) << p.text << " on page " << p.page;
        EXPECT_EQ(std::make_tuple(e->x, e->y, e->style.bold), std::make_tuple(p.x, p.y, p.bold))
            << p.text << " on page " << p.page;
    }
    EXPECT_EQ(drawn(canvas, QStringLiteral("Mängelliste"), 1), nullptr) << "the title is on the first page only";
}

struct FrameBreakCase {
    int rows;
    int pages;
    std::vector<int> rowsPerPage;
};

class PrintFrameBreakTest : public ::testing::TestWithParam<FrameBreakCase> {};

// Rows start below the headings (page 1 five lines below T, later pages three) and stop an empty line
// above the footer, so 49 rows fit on the first page and 51 on the others; the closing blank line of a
// full page starts a page of its own.
TEST_P(PrintFrameBreakTest, rowsBreakAboveTheFooterAndEveryPageCountsThemAll)
{
    const FrameBreakCase c = GetParam();
    const RecordingCanvas canvas = printFramed(numberedRows(c.rows));
    ASSERT_EQ(canvas.pageCount(), c.pages);

    std::vector<int> rowsPerPage(static_cast<std::size_t>(c.pages), 0);
    int next = 1;
    for (const auto &e : canvas.draws()) {
        if (e.text.startsWith(QStringLiteral("Mangel ")) && e.x > kLeft) {
            ++rowsPerPage[static_cast<std::size_t>(e.page)];
            EXPECT_EQ(e.text, QStringLiteral("Mangel %1").arg(next++));
            EXPECT_LE(e.y + kLine, kBottom - 2 * kLine) << "row ends above the footer's empty line";
        } else if (e.text.endsWith(u'.') && e.text != QStringLiteral("Nr.")) {
            EXPECT_EQ(e.text, QStringLiteral("%1.").arg(next)) << "the number stands beside its row";
        }
    }
    EXPECT_EQ(next, c.rows + 1);
    EXPECT_EQ(rowsPerPage, c.rowsPerPage);
    for (int page = 0; page < c.pages; ++page) {
        EXPECT_NE(drawn(canvas, QStringLiteral("Seite %1 von %2").arg(page + 1).arg(c.pages), page), nullptr) << page;
        EXPECT_NE(drawn(canvas, QStringLiteral("Begehung"), page), nullptr) << page;
        EXPECT_NE(drawn(canvas, QStringLiteral("Baugruppe"), page), nullptr) << page;
    }
}

INSTANTIATE_TEST_SUITE_P(ByLength, PrintFrameBreakTest,
                         ::testing::Values(FrameBreakCase{0, 1, {0}}, FrameBreakCase{48, 1, {48}},
                                           FrameBreakCase{49, 2, {49, 0}}, FrameBreakCase{60, 2, {49, 11}},
                                           FrameBreakCase{100, 3, {49, 51, 0}},
                                           FrameBreakCase{151, 4, {49, 51, 51, 0}}));

TEST(PrintFrame, aNameOfSeveralLinesMovesToTheNextPageWholeWhereItFits)
{
    std::vector<ListEntry> rows = numberedRows(48);
    rows.push_back({"Zeile eins\nZeile zwei\nZeile drei", {"Keller"}}); // row 49: three lines from 5919
    const RecordingCanvas canvas = printFramed(rows);

    const auto *first = drawn(canvas, QStringLiteral("Zeile eins"));
    const auto *last = drawn(canvas, QStringLiteral("Zeile drei"));
    ASSERT_TRUE(first && last);
    EXPECT_EQ(std::make_pair(first->page, first->y), std::make_pair(1, kTop + 3 * kLine));
    EXPECT_EQ(std::make_pair(last->page, last->y), std::make_pair(1, kTop + 5 * kLine));
    EXPECT_EQ(drawn(canvas, QStringLiteral("49."))->page, 1);
    EXPECT_EQ(drawn(canvas, QStringLiteral("Keller"))->y, first->y);
}

TEST(PrintFrame, documentNameOfTheHeader)
{
    const struct {
        const char *file;
        const char *name;
    } rows[] = {
        {"", "Kein Name"},
        {"/home/prüfer/Begehung.mal", "Begehung"},
        {"/home/prüfer/Schule.MAL", "Schule"},
        {"/tmp/liste.mal.txt", "liste.mal.txt"},
        {"/tmp/.mal", ".mal"},
        {"relativ/mängel.mal", "mängel"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(pageFrameName(QString::fromUtf8(r.file)), QString::fromUtf8(r.name)) << r.file;
}

struct TallFontCase {
    int size;       // points
    int pageHeight; // dots
    bool refused;
};

class PrintTallFontTest : public ::testing::TestWithParam<TallFontCase> {};

// At 600 dpi a line is size × 115 / 12 dots: 400 pt give 3833 dots, 1000 pt 9583.
TEST_P(PrintTallFontTest, aLineTallerThanThePageIsRefusedBeforeTheJobBegins)
{
    const TallFontCase c = GetParam();
    PrintFont font;
    font.size = c.size;
    for (const bool framed : {false, true}) {
        RecordingCanvas canvas(kDpi, 200 * kDpi, c.pageHeight);
        const auto print = [&] {
            printDefectList(canvas, numberedRows(2), kMargins, font,
                            framed ? std::optional<PageFrame>(kFrame) : std::nullopt);
        };
        // A framed page needs room for header, headings and footer besides the row: refused too.
        if (c.refused || framed) {
            try {
                print();
                ADD_FAILURE() << c.size << " pt printed on a page of " << c.pageHeight;
            } catch (const PrintSettingsError &e) {
                EXPECT_EQ(e.text(), QStringLiteral("Die Schrift ist zu groß für die Seite."));
            }
            EXPECT_TRUE(canvas.events().empty()) << "nothing reaches the printer";
        } else {
            print();
            ASSERT_FALSE(canvas.events().empty());
            EXPECT_EQ(canvas.events().back().op, Op::End);
            EXPECT_EQ(canvas.pageCount(), 5);
            for (const auto &e : canvas.draws())
                EXPECT_EQ(std::make_pair(e.page, e.y), std::make_pair(e.page, kTop))
                    << "a line a page, from the top: " << e.text.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BySize, PrintTallFontTest,
                         ::testing::Values(TallFontCase{400, 3832, true}, TallFontCase{400, 3833, false},
                                           TallFontCase{1000, 6600, true}, TallFontCase{9999, 6600, true},
                                           TallFontCase{1000, 9583, false}));

struct FrameFitCase {
    const char *what;
    int size, width, height;
    bool report;
    bool refused;
};

// A framed page must hold header, headings, a row and the footer (six lines at 11 pt: 630 dots between
// T and B), the report's signatures with the two lines of header and footer (446 + 420 dots), and the
// footer "Seite 1 von 1" (585 dots at 11 pt) between the left and the right edge. Whatever fits has
// header and footer within the margins and no other line below the footer's empty line; whatever does
// not is refused before the job begins.
TEST(PrintFrame, aPageHoldsHeaderHeadingsARowAndTheFooterWithinItsMarginsOrTheFontIsRefused)
{
    const QString longName = QString(u'N').repeated(139);
    const FrameFitCase cases[] = {
        {"11 pt, a long name", 11, kWidth, kHeight, false, false},
        {"11 pt, six lines high", 11, kWidth, 1339, false, false},
        {"11 pt, a dot less", 11, kWidth, 1338, false, true},
        {"11 pt, the footer just fits across", 11, 1412, kHeight, false, false},
        {"11 pt, a dot narrower", 11, 1411, kHeight, false, true},
        {"11 pt, signatures fit", 11, kWidth, 1575, true, false},
        {"11 pt, signatures a dot taller", 11, kWidth, 1574, true, true},
        {"150 pt on the page", 150, kWidth, kHeight, false, true},
        {"100 pt, high enough but the footer too wide", 100, kWidth, 16000, false, true},
    };
    for (const FrameFitCase &c : cases) {
        PrintFont font;
        font.size = c.size;
        PageFrame frame{longName, QStringLiteral("07.12.2026")};
        if (c.report)
            frame.report.signatureLeft = QStringLiteral("Bauherr"); // signatures without a closing text
        RecordingCanvas canvas(kDpi, c.width, c.height);
        try {
            printDefectList(canvas, numberedRows(3), kMargins, font, frame);
            EXPECT_FALSE(c.refused) << c.what;
        } catch (const PrintSettingsError &e) {
            EXPECT_TRUE(c.refused) << c.what;
            EXPECT_EQ(e.text(), QStringLiteral("Die Schrift ist zu groß für die Seite.")) << c.what;
            EXPECT_TRUE(canvas.events().empty()) << c.what;
            continue;
        }
        const int right = static_cast<int>(c.width - 472.44);
        const int bottom = static_cast<int>(c.height - 354.33);
        const int line = canvas.lineHeight(c.size);
        const int perChar = c.size * kDpi / 144;
        for (const auto &e : canvas.draws()) {
            const int width = static_cast<int>(e.text.size()) * (e.style.bold ? perChar * 5 / 4 : perChar);
            EXPECT_TRUE(e.y >= kTop && e.y + line <= bottom) << c.what << ": " << e.text.left(20).toStdString();
            // Header, footer and the column headings end within the margins.
            if (e.y == kTop || e.text.startsWith(QStringLiteral("Seite ")) || (e.style.bold && e.x > kLeft)) {
                EXPECT_TRUE(e.x >= kLeft && e.x + width <= right) << c.what << ": " << e.text.left(20).toStdString();
                continue;
            }
            EXPECT_LE(e.y + line, bottom - 2 * line) << c.what << ": no line reaches the footer's empty line";
        }
        const auto *date = drawn(canvas, QStringLiteral("07.12.2026"));
        ASSERT_NE(date, nullptr) << c.what;
        for (const auto &e : canvas.draws()) {
            if (e.y == kTop && e.text.startsWith(u'N')) {
                EXPECT_TRUE(e.text.endsWith(u'…') && e.x + e.text.size() * perChar + kGap <= date->x) << c.what;
            }
        }
    }
}
