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

// Which rows a search shows, by captions.
std::vector<std::string> shown(const CatalogSearch &search, const std::vector<ListEntry> &entries)
{
    std::vector<std::string> out;
    for (const std::uint32_t row : search.matches())
        out.push_back(cp1252::toUnicode(entries[row].caption()).toStdString());
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

TEST(CatalogSearchTest, typingAndDeleting_reportsEveryChangeAndEqualsAFreshSearch)
{
    std::vector<ListEntry> entries;
    const std::string words[] = {cp(u"Wand"), cp(u"Tür"), cp(u"Riß"), "Schimmel", "Fenster", "Dach", "Rinne", "Putz"};
    for (int i = 0; i < 400; ++i)
        entries.push_back(defect(words[i % 8] + " " + words[(i / 8) % 8] + std::to_string(i), cp(i % 3 ? u"Außen" : u"Keller")));
    CatalogSearch search;
    std::vector<bool> visible(entries.size(), false);
    const auto track = [&visible](int row, bool shows) { visible[static_cast<size_t>(row)] = shows; };
    search.index(entries, track);
    // Typed letter by letter, then deleted, then typed over: narrowing and widening both.
    for (const std::string text : {"r", "ri", "ris", "riss", "riss ", "riss w", "riss", "ri", "", "s", "ss", "aus",
                                   "x", "2", "23"}) {
        SCOPED_TRACE(text);
        search.setText(text, track);
        CatalogSearch fresh;
        fresh.index(entries);
        fresh.setText(text);
        EXPECT_EQ(search.matches(), fresh.matches());
        for (size_t row = 0; row < entries.size(); ++row)
            ASSERT_EQ(visible[row], search.shows(static_cast<int>(row))) << row;
    }
}

TEST(CatalogSearchTest, index_keepsTheTextOverAChangedList)
{
    CatalogSearch search;
    search.index(kCatalog);
    search.setText("riss");
    std::vector<ListEntry> changed = kCatalog;
    changed.insert(changed.begin(), d(u"Riss im Putz", u"Wand"));
    std::vector<int> reported;
    search.index(changed, [&reported](int row, bool shows) { reported.push_back(shows ? row : -1); });
    EXPECT_EQ(shown(search, changed), (std::vector<std::string>{"Riss im Putz", "Riss"}));
    EXPECT_EQ(reported, (std::vector<int>{0, -1, -1, -1, 4, -1, -1, -1}));
}
