#include "TestSupport.h"
#include "document/Cp1252.h"
#include "editing/CatalogSearch.h"

#include <QString>

#include <gtest/gtest.h>

using editing::CatalogSearch;
using testsupport::defect;
namespace searchfold = editing::searchfold;

namespace {

std::string cp(const char16_t *text)
{
    return cp1252::fromUnicode(QString::fromUtf16(text));
}

// The folding worked out from Unicode for one byte: a letter loses its marks and its case; the
// letters without an ASCII base fold as German writes them without the sign.
std::string expectedFold(unsigned char byte)
{
    const char16_t *const special[][2] = {{u"ß", u"ss"}, {u"æ", u"ae"}, {u"Æ", u"ae"}, {u"œ", u"oe"}, {u"Œ", u"oe"},
                                  {u"ø", u"o"},  {u"Ø", u"o"},  {u"ð", u"d"},  {u"Ð", u"d"},  {u"Þ", u"þ"}};
    const QString ch(QChar(cp1252::toUnicodeChar(static_cast<char>(byte))));
    for (const auto &[from, to] : special)
        if (ch == QString::fromUtf16(from))
            return cp(to);
    if (!ch.front().isLetter())
        return cp1252::fromUnicode(ch);
    const QString base = ch.normalized(QString::NormalizationForm_D).front().toLower();
    return base.front().unicode() < 0x80 ? cp1252::fromUnicode(base) : cp1252::fromUnicode(ch.toLower());
}

ListEntry d(const char16_t *name, const char16_t *assembly)
{
    return defect(cp(name), cp(assembly));
}

// The rows a search shows, asked in turn as a view asks.
std::vector<int> rowsOf(const CatalogSearch &search)
{
    std::vector<int> rows;
    for (int k = 0; k < search.matchCount(); ++k)
        rows.push_back(search.match(k));
    return rows;
}

// Which rows a search shows, by captions.
std::vector<std::string> shown(const CatalogSearch &search, const std::vector<ListEntry> &entries)
{
    std::vector<std::string> out;
    for (const int row : rowsOf(search))
        out.push_back(cp1252::toUnicode(entries[static_cast<size_t>(row)].caption()).toStdString());
    return out;
}

const std::vector<ListEntry> kCatalog = {
    d(u"Wand mit Schimmel", u"Innenwand"), d(u"Türblatt verzogen", u"Türen"),
    d(u"Pflaster lose", u"Außenanlagen Straße"), d(u"Riss", u"Fassade"), {"ohne Baugruppe", {}},
    d(u"Naß", u"Keller"), d(u"Œillet fehlt", u"Fenster"),
};

} // namespace

TEST(CatalogSearchTest, foldTable_everyByteFoldsAsUnicodeLowersAndStripsIt)
{
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        EXPECT_EQ(std::string(searchfold::of(static_cast<unsigned char>(b))), expectedFold(static_cast<unsigned char>(b)));
    }
    EXPECT_EQ(searchfold::fold(cp(u"Außen-TÜRBLATT Éclat Œuvre 12€")), "aussen-turblatt eclat oeuvre 12\x80");
}

TEST(CatalogSearchTest, setText_findsTheTextAnywhereInNameOrAssembly)
{
    const struct {
        const char16_t *text;
        std::vector<std::string> expected;
    } cases[] = {
        {u"schimmel", {"Wand mit Schimmel"}},
        {u"tur", {"Türblatt verzogen"}}, // also its assembly "Türen": one row
        {u"strasse", {"Pflaster lose"}},  // in the assembly only
        {u"STRASSE", {"Pflaster lose"}},
        {u"naß", {"Naß"}},
        {u"nass", {"Naß"}},
        {u"oeil", {"Œillet fehlt"}},
        {u"lose außenanlagen", {}},       // name and assembly are separate texts
        {u"Wand mit Schimmel und mehr", {}}, // longer than any name
        {u"", {"Wand mit Schimmel", "Türblatt verzogen", "Pflaster lose", "Riss", "ohne Baugruppe", "Naß",
               "Œillet fehlt"}},
    };
    CatalogSearch search;
    search.index(kCatalog);
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        search.setText(cp(c.text));
        EXPECT_EQ(shown(search, kCatalog), c.expected);
        EXPECT_EQ(search.active(), *c.text != 0);
    }
}

TEST(CatalogSearchTest, typingAndDeleting_equalsAFreshSearchInEveryWayOfAsking)
{
    std::vector<ListEntry> entries;
    const std::string words[] = {cp(u"Wand"), cp(u"Tür"), cp(u"Riß"), "Schimmel", "Fenster", "Dach", "Rinne", "Putz"};
    for (int i = 0; i < 400; ++i)
        entries.push_back(defect(words[i % 8] + " " + words[(i / 8) % 8] + std::to_string(i), cp(i % 3 ? u"Außen" : u"Keller")));
    CatalogSearch search;
    search.index(entries);
    // Typed letter by letter, then deleted, then typed over: narrowing and widening both.
    for (const std::string text : {"r", "ri", "ris", "riss", "riss ", "riss w", "riss", "ri", "", "s", "ss", "aus",
                                   "x", "2", "23"}) {
        SCOPED_TRACE(text);
        search.setText(text);
        CatalogSearch fresh;
        fresh.index(entries);
        fresh.setText(text);
        const std::vector<int> rows = rowsOf(search);
        EXPECT_EQ(rows, rowsOf(fresh));
        // Asked out of turn, and the way back from a row to its place among the shown rows.
        for (int k = search.matchCount() - 1; k >= 0; k -= 3)
            ASSERT_EQ(search.match(k), rows[static_cast<size_t>(k)]) << k;
        int rank = 0;
        for (int row = 0; row < static_cast<int>(entries.size()); ++row) {
            ASSERT_EQ(search.rankOf(row), rank) << row;
            const bool listed = rank < static_cast<int>(rows.size()) && rows[static_cast<size_t>(rank)] == row;
            ASSERT_EQ(search.shows(row), listed) << row;
            rank += listed ? 1 : 0;
        }
    }
}

TEST(CatalogSearchTest, index_keepsTheTextOverAChangedList)
{
    CatalogSearch search;
    search.index(kCatalog);
    search.setText("riss");
    std::vector<ListEntry> changed = kCatalog;
    changed.insert(changed.begin(), d(u"Riss im Putz", u"Wand"));
    search.index(changed);
    EXPECT_EQ(shown(search, changed), (std::vector<std::string>{"Riss im Putz", "Riss"}));
    search.index({});
    EXPECT_EQ(search.matchCount(), 0);
    EXPECT_TRUE(search.active());
}
