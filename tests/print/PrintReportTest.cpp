// The framed printout with report details, closing text and signatures, the right edge, and the
// grouping by assembly.
#include "RecordingCanvas.h"

#include "print/PrintLayout.h"
#include "print/ReportLayout.h"

#include <gtest/gtest.h>

#include <string>

using Op = RecordingCanvas::Op;
using Event = RecordingCanvas::Event;

namespace {

// As in the frame's tests: 600 dpi, 4800 x 6600 dots, margins 15 mm and 20 mm at the right:
// L = T = 354, R = 4327, B = 6245, G = 118; 11 pt lines are 105 dots, characters 45 dots (bold 56).
// Rows stop at B - 2 lines = 6035. A signature field is 70 mm = 1653 dots.
constexpr int kDpi = 600, kWidth = 4800, kHeight = 6600;
constexpr int kLeft = 354, kTop = 354, kRight = 4327, kGap = 118, kLimit = 6035;
constexpr int kLine = 105, kChar = 45, kBoldChar = 56, kField = 1653;
const PrintMargins kMargins{15, 15, 20, 15};

RecordingCanvas printReport(const std::vector<ListEntry> &rows, const ReportBlock &report, bool grouped = false)
{
    RecordingCanvas canvas(kDpi, kWidth, kHeight);
    printDefectList(canvas, rows, kMargins, PrintFont{},
                    PageFrame{QStringLiteral("Begehung"), QStringLiteral("07.12.2026"), report, grouped});
    return canvas;
}

std::vector<ListEntry> numberedRows(int count, const char *assembly = "Dach")
{
    std::vector<ListEntry> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back({"Mangel " + std::to_string(i), {assembly}});
    return rows;
}

const Event *drawn(const RecordingCanvas &canvas, const QString &text, int page = -1)
{
    for (const Event &e : canvas.events())
        if (e.op == Op::Draw && e.text == text && (page < 0 || e.page == page))
            return &e;
    return nullptr;
}

// The width the recording canvas gives a drawn text.
int widthOf(const Event &e)
{
    const int perChar = e.size * kDpi / 144;
    return static_cast<int>(e.text.size()) * (e.style.bold ? perChar * 5 / 4 : perChar);
}

struct Place {
    const char *text;
    int page, x, y;
    bool bold;
};

// Each text is drawn on its page and line at its x, in bold or not.
void expectPlaces(const RecordingCanvas &canvas, const std::vector<Place> &places)
{
    for (const Place &p : places) {
        const Event *found = nullptr;
        for (const Event &e : canvas.events())
            if (e.op == Op::Draw && e.text == QString::fromUtf8(p.text) && e.page == p.page && e.y == p.y && !found)
                found = &e;
        ASSERT_NE(found, nullptr) << p.text << " on page " << p.page << " at " << p.y;
        EXPECT_EQ(std::make_pair(found->x, found->style.bold), std::make_pair(p.x, p.bold))
            << p.text << " on page " << p.page;
    }
}

ReportBlock closingOnly(const char *text)
{
    ReportBlock report;
    report.schlusstext = QString::fromUtf8(text);
    return report;
}

} // namespace

// Values keep their line breaks and wrap at the right edge: the column holds 68 characters.
TEST(PrintReport, firstPageCarriesFirmTitleAndTheSetDetailsInOneValueColumn)
{
    ReportBlock report;
    report.firm = QStringLiteral("Bau GmbH");
    report.objekt = QStringLiteral("Schule Nord");
    report.anschrift = QStringLiteral("Hauptstr. 1\r\n12345 Ort\n");
    report.auftragnehmer = QStringLiteral("Maler Meier");
    report.begehungAm = QStringLiteral("01.12.2026");
    report.auftraggeber = QStringLiteral("  ");
    report.teilnehmer = QStringLiteral("Herr A\n\n") + QString(60, u'x') + u' ' + QString(30, u'y');
    report.pruefer = QStringLiteral("M. Muster");
    const RecordingCanvas canvas = printReport(numberedRows(3), report);

    // "Auftragnehmer:" is the widest label shown: 14 bold characters.
    const int value = kLeft + 14 * kBoldChar + kGap;
    const int nameLeft = kLeft + 3 * kBoldChar + kGap;
    expectPlaces(canvas, {
                             {"Schule Nord", 0, kLeft, kTop, false},
                             {"Begehung: 01.12.2026", 0, kRight - 20 * kChar, kTop, false},
                             {"Bau GmbH", 0, kLeft, kTop + 2 * kLine, false},
                             {"Mängelliste", 0, kLeft, kTop + 3 * kLine, true},
                             {"Objekt:", 0, kLeft, kTop + 5 * kLine, true},
                             {"Schule Nord", 0, value, kTop + 5 * kLine, false},
                             {"Anschrift:", 0, kLeft, kTop + 6 * kLine, true},
                             {"Hauptstr. 1", 0, value, kTop + 6 * kLine, false},
                             {"12345 Ort", 0, value, kTop + 7 * kLine, false},
                             {"Auftragnehmer:", 0, kLeft, kTop + 8 * kLine, true},
                             {"Maler Meier", 0, value, kTop + 8 * kLine, false},
                             {"Begehung am:", 0, kLeft, kTop + 9 * kLine, true},
                             {"01.12.2026", 0, value, kTop + 9 * kLine, false},
                             {"Teilnehmer:", 0, kLeft, kTop + 10 * kLine, true},
                             {"Herr A", 0, value, kTop + 10 * kLine, false},
                             {"", 0, value, kTop + 11 * kLine, false},
                             {std::string(60, 'x').c_str(), 0, value, kTop + 12 * kLine, false},
                             {std::string(30, 'y').c_str(), 0, value, kTop + 13 * kLine, false},
                             {"Prüfer:", 0, kLeft, kTop + 14 * kLine, true},
                             {"M. Muster", 0, value, kTop + 14 * kLine, false},
                             {"Nr.", 0, kLeft, kTop + 16 * kLine, true},
                             {"Mangel 1", 0, nameLeft, kTop + 17 * kLine, false},
                         });
    EXPECT_EQ(drawn(canvas, QStringLiteral("Auftraggeber:")), nullptr) << "a blank detail";
}

TEST(PrintReport, headerShowsObjectAndInspectionDateOnEveryPageElseNameAndPrintDate)
{
    const struct {
        const char *objekt, *begehungAm, *left, *right;
    } cases[] = {
        {"", "", "Begehung", "07.12.2026"},
        {"Schule Nord", "", "Schule Nord", "07.12.2026"},
        {"", "30.11.2026", "Begehung", "Begehung: 30.11.2026"},
        {"Schule Nord", "30.11.2026", "Schule Nord", "Begehung: 30.11.2026"},
    };
    for (const auto &c : cases) {
        ReportBlock report;
        report.objekt = QString::fromUtf8(c.objekt);
        report.begehungAm = QString::fromUtf8(c.begehungAm);
        const RecordingCanvas canvas = printReport(numberedRows(60), report);
        ASSERT_GE(canvas.pageCount(), 2);
        const int width = static_cast<int>(QString::fromUtf8(c.right).size()) * kChar;
        for (int page = 0; page < canvas.pageCount(); ++page)
            expectPlaces(canvas, {{c.left, page, kLeft, kTop, false}, {c.right, page, kRight - width, kTop, false}});
    }
}

TEST(PrintReport, anObjectTooLongForTheHeaderIsShortenedBeforeTheDate)
{
    ReportBlock report;
    report.objekt = QString(100, u'o');
    report.begehungAm = QStringLiteral("30.11.2026");
    const RecordingCanvas canvas = printReport({}, report);
    const QString left = canvas.draws().front().text;
    EXPECT_TRUE(left.endsWith(u'…'));
    // Ending at least a gap before "Begehung: 30.11.2026".
    EXPECT_LE(kLeft + left.size() * kChar, kRight - 20 * kChar - kGap);
    EXPECT_GT(kLeft + (left.size() + 1) * kChar, kRight - 20 * kChar - kGap);
}

struct ColumnsCase {
    const char *what;
    int widestName, widestAssembly; // in dots
    int name, assembly;
};

// The room of both columns: R - (L + 168 + G) - G = 3569 dots, right of a 168 dot number column.
TEST(PrintReport, framedColumnsShareTheRoomLeftOfTheRightEdge)
{
    constexpr int room = kRight - (kLeft + 168 + kGap) - kGap;
    const ColumnsCase cases[] = {
        {"both fit", 2000, 1500, 2000, room - 2000},
        {"both fit exactly", 2000, room - 2000, 2000, room - 2000},
        {"long names, short assemblies: 30 % for the assemblies", 5000, 300, room - room * 3 / 10, room * 3 / 10},
        {"the widest assembly between 30 and 50 %", 5000, 1500, room - 1500, 1500},
        {"long assemblies: half the room", 5000, 5000, room - room / 2, room / 2},
        {"short names, long assemblies", 800, 5000, 800, room - 800},
    };
    RecordingCanvas canvas(kDpi, kWidth, kHeight);
    PrintLayout layout(canvas, kMargins);
    layout.setNumberColumn(168);
    for (const ColumnsCase &c : cases) {
        const PrintLayout::Columns columns = layout.framedColumns(c.widestName, c.widestAssembly);
        EXPECT_EQ(std::make_pair(columns.name, columns.assembly), std::make_pair(c.name, c.assembly)) << c.what;
    }
}

TEST(PrintReport, namesAndAssembliesWrapInTheirColumns)
{
    // 60 words of 9 characters in both columns: the assembly column takes half the room.
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += (i ? " " : "") + std::string(8, 'a') + static_cast<char>('A' + i);
    const RecordingCanvas canvas = printReport({{text, {text}}, {"Riss", {"Dach"}}}, ReportBlock{});
    // Number column "Nr." = 168; room 3569, columns 1785 (39 characters) and 1784.
    const int nameLeft = kLeft + 168 + kGap;
    const int assemblyLeft = nameLeft + 1785 + kGap;
    const int first = kTop + 5 * kLine;
    const QString t = QString::fromLatin1(text);
    // Each column holds four words and their blanks: 39 characters a line, five lines.
    std::vector<std::string> lines;
    for (int i = 0; i < 5; ++i)
        lines.push_back(t.mid(i * 40, 39).toStdString());
    std::vector<Place> places;
    for (int i = 0; i < 5; ++i)
        places.push_back({lines[static_cast<std::size_t>(i)].c_str(), 0, nameLeft, first + i * kLine, false});
    places.push_back({"Riss", 0, nameLeft, first + 5 * kLine, false});
    places.push_back({"Dach", 0, assemblyLeft, first + 5 * kLine, false});
    expectPlaces(canvas, places);
    int assemblyLines = 0;
    for (const Event &e : canvas.draws())
        if (e.x == assemblyLeft && e.text.startsWith(QStringLiteral("aaaa"))) {
            EXPECT_EQ(e.y, first + kLine * assemblyLines++) << e.text.toStdString();
        }
    EXPECT_EQ(assemblyLines, 5);
}

// Every text ends at the right edge, whatever is too long: names, assemblies, firm, details, closing
// text, signature labels; the signature lines too.
TEST(PrintReport, everyTextAndLineEndsAtTheRightEdge)
{
    const std::string longWords = "Wasserschaden an der Unterseite der Dachkonstruktion im Bereich der "
                                  "Gaube mit Folgeschaeden am Innenputz und an den Fensterlaibungen";
    const std::string oneWord(150, 'w');
    const QString longText = QString::fromStdString(longWords + " " + longWords);
    ReportBlock report;
    report.firm = longText;
    report.objekt = longText;
    report.anschrift = longText + u'\n' + longText;
    report.teilnehmer = QString::fromStdString(oneWord);
    report.schlusstext = longText;
    report.signatureLeft = longText;
    report.signatureRight = QString::fromStdString(oneWord);
    const std::vector<std::vector<ListEntry>> lists = {
        {{longWords, {"Dach"}}, {"Riss", {"Fassade"}}},
        {{"Riss", {longWords}}, {oneWord, {oneWord}}},
        {{longWords + longWords, {longWords}}, {"Riss", {}}},
    };
    for (const bool grouped : {false, true}) {
        for (const std::vector<ListEntry> &rows : lists) {
            const RecordingCanvas canvas = printReport(rows, report, grouped);
            int lines = 0;
            for (const Event &e : canvas.events()) {
                if (e.op == Op::Draw) {
                    EXPECT_LE(e.x + widthOf(e), kRight) << e.text.toStdString();
                } else if (e.op == Op::Line) {
                    ++lines;
                    EXPECT_LE(e.x + e.width, kRight) << "line " << lines;
                }
            }
            EXPECT_EQ(lines, 2);
        }
    }
}

// After the last row: an empty line, the closing text, an empty line, then the two signature
// fields: "Ort, Datum", two empty lines, the line, a quarter line lower the label.
TEST(PrintReport, closingTextAndSignaturesFollowTheLastRow)
{
    ReportBlock report = closingOnly("Bitte bis zum 31.01.2027 beseitigen.\nDanke.");
    report.signatureRight = QStringLiteral("Malerbetrieb");
    const RecordingCanvas canvas = printReport(numberedRows(2), report);
    const int last = kTop + 6 * kLine; // rows at T + 5 and T + 6 lines: no title block without details
    const int fields = last + 5 * kLine;
    const int right = kRight - kField;
    expectPlaces(canvas, {
                             {"Bitte bis zum 31.01.2027 beseitigen.", 0, kLeft, last + 2 * kLine, false},
                             {"Danke.", 0, kLeft, last + 3 * kLine, false},
                             {"Ort, Datum", 0, kLeft, fields, false},
                             {"Auftraggeber", 0, kLeft, fields + 3 * kLine + kLine / 4, false},
                             {"Malerbetrieb", 0, right, fields + 3 * kLine + kLine / 4, false},
                         });
    std::vector<std::pair<int, int>> lines;
    for (const Event &e : canvas.events())
        if (e.op == Op::Line)
            lines.push_back({e.x, e.y});
    const std::vector<std::pair<int, int>> expected{{kLeft, fields + 3 * kLine}, {right, fields + 3 * kLine}};
    EXPECT_EQ(lines, expected);
    std::vector<int> captions;
    for (const Event &e : canvas.draws())
        if (e.text == QStringLiteral("Ort, Datum"))
            captions.push_back(e.x);
    EXPECT_EQ(captions, (std::vector<int>{kLeft, right}));
}

// Whatever the number of rows, the closing text's last line and the signatures share a page, the
// fields end above the footer's empty line, and a page broken between them carries no column headings.
TEST(PrintReport, closingTextsLastLineAndSignaturesStayTogetherAtAPagesFoot)
{
    bool split = false; // the text began on one page and ended on the next
    for (int rows = 40; rows <= 55; ++rows) {
        const RecordingCanvas canvas = printReport(numberedRows(rows), closingOnly("Zeile A\nZeile B\nZeile C"));
        const Event *first = drawn(canvas, QStringLiteral("Zeile A"));
        const Event *last = drawn(canvas, QStringLiteral("Zeile C"));
        ASSERT_TRUE(first && last) << rows;
        const int page = last->page;
        std::vector<const Event *> field;
        for (const Event &e : canvas.events())
            if (e.page == page &&
                (e.op == Op::Line || e.text == QStringLiteral("Ort, Datum") ||
                 e.text == QStringLiteral("Auftraggeber") || e.text == QStringLiteral("Auftragnehmer")))
                field.push_back(&e);
        ASSERT_EQ(field.size(), 6u) << rows;
        for (const Event *e : field)
            EXPECT_LE(e->y + (e->op == Op::Line ? 0 : kLine), kLimit) << rows;
        if (first->page != page) {
            split = true;
            const Event *top = nullptr;
            for (const Event &e : canvas.events())
                if (e.op == Op::Draw && e.page == page && e.y == kTop + 2 * kLine && !top)
                    top = &e;
            ASSERT_TRUE(top) << rows;
            EXPECT_TRUE(top->text == QStringLiteral("Zeile B") || top->text == QStringLiteral("Zeile C"))
                << "the page starts with the rest of the text, not with " << top->text.toStdString();
            EXPECT_EQ(drawn(canvas, QStringLiteral("Nr."), page), nullptr) << rows;
        }
    }
    EXPECT_TRUE(split);
}

TEST(PrintReport, noDetailsNoClosingAndTheFirmAlonePrintsNoBlock)
{
    ReportBlock report;
    report.firm = QStringLiteral("Bau GmbH");
    const RecordingCanvas canvas = printReport(numberedRows(2), report);
    for (const Event &e : canvas.events())
        EXPECT_NE(e.op, Op::Line);
    EXPECT_EQ(drawn(canvas, QStringLiteral("Ort, Datum")), nullptr);
    expectPlaces(canvas,
                 {{"Mängelliste", 0, kLeft, kTop + 3 * kLine, true}, {"Nr.", 0, kLeft, kTop + 5 * kLine, true}});
    EXPECT_EQ(canvas.draws().back().text, QStringLiteral(" ")) << "the closing blank line as ever";
}

TEST(PrintReport, groupsFollowTheFirstAppearanceOfTheirAssemblyAndRowsKeepTheirNumbers)
{
    const std::vector<ListEntry> rows{{"Riss", {"Dach"}},   {"Fleck", {"Bad"}}, {"Loch", {"Dach"}},
                                      {"Kalt", {"Keller"}}, {"Ohne", {""}},     {"Fuge", {"Bad"}}};
    const RecordingCanvas canvas = printReport(rows, ReportBlock{}, true);
    // What is drawn at the left edge and the names, in order: headings in bold, numbers of the list.
    std::vector<std::string> order;
    const int nameLeft = kLeft + 3 * kBoldChar + kGap;
    for (const Event &e : canvas.draws()) {
        if (e.y <= kTop + 4 * kLine || e.text == QStringLiteral(" ") || e.text.startsWith(QStringLiteral("Seite")))
            continue;
        if (e.x == kLeft && e.style.bold)
            order.push_back("# " + e.text.toStdString());
        else if (e.x == nameLeft)
            order.push_back(e.text.toStdString());
        else if (e.text.endsWith(u'.'))
            order.push_back(e.text.toStdString());
    }
    const std::vector<std::string> expected{"# Dach", "1.",  "Riss", "3.",       "Loch", "# Bad", "2.",
                                            "Fleck",  "6.",  "Fuge", "# Keller", "4.",   "Kalt",  "# Ohne Baugruppe",
                                            "5.",     "Ohne"};
    EXPECT_EQ(order, expected);
    // A group starts an empty line below the one before; its heading stands right above its first row.
    EXPECT_EQ(drawn(canvas, QStringLiteral("Dach"))->y, kTop + 5 * kLine);
    EXPECT_EQ(drawn(canvas, QStringLiteral("Bad"))->y, kTop + 9 * kLine);
    EXPECT_EQ(drawn(canvas, QStringLiteral("Fleck"))->y, kTop + 10 * kLine);
}

// However the rows fall, a group's heading shares its page with the group's first row.
TEST(PrintReport, aGroupHeadingIsNeverAloneAtAPagesFoot)
{
    bool moved = false;
    for (int first = 40; first <= 50; ++first) {
        std::vector<ListEntry> rows = numberedRows(first, "Dach");
        rows.push_back({"Zweiter Riss", {"Keller"}});
        const RecordingCanvas canvas = printReport(rows, ReportBlock{}, true);
        const Event *heading = nullptr;
        for (const Event &e : canvas.events())
            if (e.op == Op::Draw && e.text == QStringLiteral("Keller") && e.style.bold)
                heading = &e;
        const Event *row = drawn(canvas, QStringLiteral("Zweiter Riss"));
        ASSERT_TRUE(heading && row) << first;
        EXPECT_EQ(std::make_pair(heading->page, heading->y + kLine), std::make_pair(row->page, row->y)) << first;
        if (heading->page == 1 && heading->y == kTop + 3 * kLine)
            moved = true; // right below the repeated column headings
        EXPECT_EQ(drawn(canvas, QStringLiteral("%1.").arg(first + 1))->y, row->y);
    }
    EXPECT_TRUE(moved);
}

TEST(PrintReport, theReportTakesEveryFieldOfTheDetailsAndTellsWhetherItHasAny)
{
    ReportDetails details;
    EXPECT_FALSE(reportBlockOf(details, QStringLiteral("Bau GmbH")).hasDetails()) << "start values, a firm";
    // The report's texts come in the order of the details file's fields.
    std::size_t index = 0;
    for (const ReportDetails::Field &field : ReportDetails::fields()) {
        ReportDetails one;
        one.*field.member = QString::fromLatin1(field.key) + QStringLiteral(" ä");
        const ReportBlock report = reportBlockOf(one, QString());
        EXPECT_TRUE(report.hasDetails()) << field.key;
        const QString texts[] = {report.objekt,        report.anschrift,     report.auftraggeber, report.auftragnehmer,
                                 report.begehungAm,    report.teilnehmer,    report.pruefer,      report.schlusstext,
                                 report.signatureLeft, report.signatureRight};
        EXPECT_EQ(texts[index++], one.*field.member) << field.key;
    }
    details.Objekt = QStringLiteral("  ");
    EXPECT_FALSE(reportBlockOf(details, QString()).hasDetails()) << "blanks";
}

TEST(PrintReport, wrapTextAndElide)
{
    const namewrap::Measure perChar = [](const QString &t) { return static_cast<int>(t.size()); };
    const struct {
        const char *text;
        int width;
        std::vector<QString> lines;
    } cases[] = {
        {"", 10, {}},
        {" \n \n", 10, {}},
        {"  Riss im Putz  ", 20, {QStringLiteral("Riss im Putz")}},
        {"Riss im Putz der Fassade\n\nzwei\n\n",
         10,
         {QStringLiteral("Riss im"), QStringLiteral("Putz der"), QStringLiteral("Fassade"), QString(),
          QStringLiteral("zwei")}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(reportlayout::wrapText(QString::fromUtf8(c.text), c.width, perChar), c.lines) << c.text;
    EXPECT_EQ(reportlayout::elide(QStringLiteral("Schulzentrum"), 6, perChar), QStringLiteral("Schul…"));
    EXPECT_EQ(reportlayout::elide(QStringLiteral("Schule"), 6, perChar), QStringLiteral("Schule"));
    EXPECT_EQ(reportlayout::elide(QStringLiteral("Alte Schule"), 6, perChar), QStringLiteral("Alte…"));
    EXPECT_EQ(reportlayout::elide(QStringLiteral("Schule"), 0, perChar), QString()) << "not even the ellipsis fits";
}
