#include "TestSupport.h"
#include "editing/FilteredView.h"

#include <gtest/gtest.h>

using editing::catalogRowOf;
using editing::filterCatalog;

namespace {

using testsupport::defect;

std::vector<std::string> captionsOf(const std::vector<ListEntry> &entries)
{
    std::vector<std::string> out;
    for (const ListEntry &e : entries)
        out.emplace_back(e.caption());
    return out;
}

const std::vector<ListEntry> kCatalog = {
    defect("Riss", "Dach"),  defect("Loch", "dach"),   defect("Moos", "Dach "), defect("Leck", ""),
    defect("Bruch", "Wand"), defect("Ziegel", "Dach"), {"ohne Baugruppe", {}},
};

} // namespace

TEST(FilteredViewTest, filterCatalog_keepsExactByteMatchesInCatalogueOrder)
{
    const struct {
        std::string selected;
        std::vector<std::string> expected;
    } cases[] = {
        {"Dach", {"Riss", "Ziegel"}}, // neither "dach" nor "Dach " match
        {"dach", {"Loch"}},
        {"", {"Leck", "ohne Baugruppe"}},
        {"Keller", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.selected);
        EXPECT_EQ(captionsOf(filterCatalog(kCatalog, &c.selected)), c.expected);
    }
}

TEST(FilteredViewTest, filterCatalog_withNoAssemblySelectedCopiesTheWholeCatalogue)
{
    EXPECT_EQ(filterCatalog(kCatalog, nullptr), kCatalog);
}

TEST(FilteredViewTest, filterCatalog_ofAnEmptyCatalogueIsEmpty)
{
    const std::string dach = "Dach";
    EXPECT_TRUE(filterCatalog({}, &dach).empty());
    EXPECT_TRUE(filterCatalog({}, nullptr).empty());
}

TEST(FilteredViewTest, catalogRowOf_findsTheFirstEntryWithTheSameCaptionAndAssembly)
{
    std::vector<ListEntry> catalog = kCatalog;
    catalog.push_back(defect("Riss", "Dach"));
    const struct {
        ListEntry copy;
        int row;
    } cases[] = {
        {defect("Riss", "Dach"), 0},  // the first of two equal entries
        {defect("Moos", "Dach "), 2}, // the assembly byte for byte
        {{"ohne Baugruppe", {}}, 6},  // no sub-item: the empty name
        {defect("ohne Baugruppe", ""), 6}, {defect("Riss", "dach"), -1}, {defect("riss", "Dach"), -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.copy.caption());
        EXPECT_EQ(catalogRowOf(catalog, c.copy), c.row);
    }
}
