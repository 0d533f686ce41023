#include "TestSupport.h"
#include "editing/SortRules.h"
#include "editing/CompareRules.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <random>

using namespace editing;

namespace {

using testsupport::defect;

using Compare = int (*)(const ListEntry &, const ListEntry &, const SortState &);
using Order = std::vector<int> (*)(const std::vector<ListEntry> &, const SortState &);

std::vector<int> stableSortWith(Compare compare, const std::vector<ListEntry> &entries, const SortState &state)
{
    std::vector<int> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return compare(entries[size_t(a)], entries[size_t(b)], state) < 0; });
    return order;
}

// Texts built from pieces that the collation treats specially: umlauts in both cases, ß, a to z in
// both cases, blanks, a C1 control, Windows-1252 letters, numbers in several notations.
std::string randomText(std::mt19937 &rng)
{
    // clang-format off
    static const char *const kPieces[] = {
        "", "a", "A", "\xe4", "\xc4", "\xdf", "ss", "o", "\xf6", "\xd6", "Rahmen", "RAHMEN", " ", "-", "\x8a",
        "\x81", "Bremsleitung hinten links ", "z", "Z", "u", "\xfc", "2,5", "12", "0", "-3", "1E3", "2.5",
    };
    // clang-format on
    std::uniform_int_distribution<int> count(0, 3), piece(0, std::size(kPieces) - 1);
    std::string text;
    for (int n = count(rng); n > 0; --n)
        text += kPieces[piece(rng)];
    return text;
}

std::vector<ListEntry> randomEntries(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<ListEntry> entries;
    for (size_t i = 0; i < n; ++i)
        entries.push_back(defect(randomText(rng), randomText(rng)));
    return entries;
}

} // namespace

TEST(SortRulesTest, everyRuleOrdersLikeAStableSortWithItsCompare)
{
    const struct {
        const char *name;
        Compare compare;
        Order order;
    } rules[] = {
        {"assemblies", ListView1Compare, assemblyOrder},
        {"catalogue", ListView2Compare, catalogOrder},
        {"defect list", ListView3Compare, defectListOrder},
    };
    for (unsigned seed : {1u, 2u, 3u}) {
        const std::vector<ListEntry> entries = randomEntries(1500, seed);
        for (const auto &rule : rules) {
            for (const SortState state :
                 {SortState{0, false}, SortState{0, true}, SortState{1, false}, SortState{1, true}}) {
                SCOPED_TRACE(std::string(rule.name) + " column " + std::to_string(state.SortColumn) +
                             (state.Descending ? " descending" : " ascending") + " seed " + std::to_string(seed));
                EXPECT_EQ(rule.order(entries, state), stableSortWith(rule.compare, entries, state));
            }
        }
    }
}

TEST(SortRulesTest, entriesThatCompareEqualKeepTheirOrderInBothDirections)
{
    const std::vector<ListEntry> entries = {defect("RAHMEN", "Dach"), defect("Bolzen", "Rad"), defect("Rahmen", "DACH"),
                                            defect("rahmen", "dach")};
    EXPECT_EQ(catalogOrder(entries, {0, false}), (std::vector<int>{1, 0, 2, 3}));
    EXPECT_EQ(catalogOrder(entries, {0, true}), (std::vector<int>{0, 2, 3, 1}));
}

TEST(SortRulesTest, installedRuleReadsTheStateWhenTheListIsSorted)
{
    SortState state;
    EntryList list{{QStringLiteral("Name"), QStringLiteral("Baugruppe")}};
    list.setSortRule(catalogSortRule(state));
    list.appendEntries({defect("Bolzen", "Achse"), defect("Achse", "Rad"), defect("Zylinder", "Motor")});

    applyHeaderClick(state, 0); // Name, descending
    list.beginUpdate();
    list.endUpdate();
    EXPECT_EQ(list.caption(0), "Zylinder");
    EXPECT_EQ(list.caption(2), "Achse");

    applyHeaderClick(state, 1); // Baugruppe, ascending
    list.beginUpdate();
    list.endUpdate();
    EXPECT_EQ(list.caption(0), "Bolzen");
    EXPECT_EQ(list.caption(1), "Zylinder");
    EXPECT_EQ(list.caption(2), "Achse");
}

TEST(SortRulesTest, emptyAndSingleEntryListsSort)
{
    EXPECT_TRUE(catalogOrder({}, {}).empty());
    EXPECT_EQ(defectListOrder({defect("1", "")}, {0, true}), std::vector<int>{0});
}
