// Printing a selection of pages: each selected page comes out as it is in the whole printout.
#include "RecordingCanvas.h"

#include "print/PrintLayout.h"
#include "print/PrintSettingsError.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using Op = RecordingCanvas::Op;
using Event = RecordingCanvas::Event;

namespace {

constexpr int kDpi = 600, kWidth = 4800, kHeight = 6600;
const PrintMargins kMargins{15, 15, 20, 15};

std::vector<ListEntry> rowsOfTwoAssemblies(int count)
{
    std::vector<ListEntry> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back({"Mangel " + std::to_string(i), {i % 3 ? "Dach" : "Keller"}});
    return rows;
}

// The three kinds of printout, each of three pages with these rows.
struct Kind {
    const char *what;
    std::optional<PageFrame> frame;
};

std::vector<Kind> kinds()
{
    PageFrame report{QStringLiteral("Begehung"), QStringLiteral("07.12.2026")};
    report.report.objekt = QStringLiteral("Schule");
    report.report.schlusstext = QStringLiteral("Bitte beseitigen.");
    report.groupByAssembly = true;
    return {{"plain", std::nullopt},
            {"framed", PageFrame{QStringLiteral("Begehung"), QStringLiteral("07.12.2026")}},
            {"report", report}};
}

// What a page shows: each text or line with its place, style and size.
using Mark = std::tuple<Op, int, int, QString, bool, int, int>;

std::vector<std::vector<Mark>> pagesOf(const RecordingCanvas &canvas)
{
    std::vector<std::vector<Mark>> pages(static_cast<std::size_t>(canvas.pageCount()));
    for (const Event &e : canvas.events())
        if (e.op == Op::Draw || e.op == Op::Line)
            pages[static_cast<std::size_t>(e.page)].emplace_back(e.op, e.x, e.y, e.text, e.style.bold, e.size, e.width);
    return pages;
}

} // namespace

TEST(PrintPages, theSelectedPagesComeOutAsInTheWholePrintoutInOneJob)
{
    const std::vector<ListEntry> rows = rowsOfTwoAssemblies(120);
    const struct {
        std::vector<PageSelection::Range> ranges;
        std::vector<int> pages; // of the whole printout, counted from 1
    } cases[] = {
        {{}, {1, 2, 3}}, {{{2, 2}}, {2}}, {{{2, 3}}, {2, 3}},    {{{1, 1}, {3, 3}}, {1, 3}},
        {{{3, 9}}, {3}}, {{{0, 1}}, {1}}, {{{1, 3}}, {1, 2, 3}},
    };
    for (const Kind &kind : kinds()) {
        RecordingCanvas whole(kDpi, kWidth, kHeight);
        printDefectList(whole, rows, kMargins, PrintFont{}, kind.frame);
        ASSERT_EQ(whole.pageCount(), 3) << kind.what;
        {
            RecordingCanvas counting(kDpi, kWidth, kHeight);
            EXPECT_EQ(countPages(counting, rows, kMargins, PrintFont{}, kind.frame), 3) << kind.what;
            EXPECT_TRUE(counting.events().empty()) << kind.what << ": counting begins no job";
        }
        const std::vector<std::vector<Mark>> wholePages = pagesOf(whole);
        for (const auto &c : cases) {
            RecordingCanvas canvas(kDpi, kWidth, kHeight);
            printDefectList(canvas, rows, kMargins, PrintFont{}, kind.frame, PageSelection{c.ranges});
            std::vector<std::vector<Mark>> expected;
            for (const int page : c.pages)
                expected.push_back(wholePages[static_cast<std::size_t>(page - 1)]);
            const std::string what = std::string(kind.what) + ", first range from " +
                                     (c.ranges.empty() ? "all" : std::to_string(c.ranges[0].from));
            EXPECT_TRUE(pagesOf(canvas) == expected) << what;
            ASSERT_GE(canvas.events().size(), 2U);
            EXPECT_EQ(canvas.events().front().op, Op::Begin) << what;
            EXPECT_EQ(canvas.events().back().op, Op::End) << what;
        }
    }
}

TEST(PrintPages, aSelectionWithoutAPageOfThePrintoutIsRefusedBeforeTheJobBegins)
{
    const struct {
        int rows;
        PageSelection::Range range;
        const char *text;
    } cases[] = {
        {120, {4, 9}, "Im gewählten Seitenbereich liegt keine Seite: Der Ausdruck hat 3 Seiten."},
        {3, {2, 2}, "Im gewählten Seitenbereich liegt keine Seite: Der Ausdruck hat nur eine Seite."},
    };
    for (const auto &c : cases) {
        for (const Kind &kind : kinds()) {
            RecordingCanvas canvas(kDpi, kWidth, kHeight);
            try {
                printDefectList(canvas, rowsOfTwoAssemblies(c.rows), kMargins, PrintFont{}, kind.frame,
                                PageSelection{{c.range}});
                ADD_FAILURE() << kind.what << " printed pages " << c.range.from << "-" << c.range.to;
            } catch (const PrintSettingsError &e) {
                EXPECT_EQ(e.text(), QString::fromUtf8(c.text)) << kind.what;
            }
            EXPECT_TRUE(canvas.events().empty()) << kind.what;
        }
    }
}
