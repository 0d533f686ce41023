#include "TestSupport.h"
#include "editing/CompareRules.h"

#include <gtest/gtest.h>

using namespace editing;

namespace {

using testsupport::defect;

constexpr SortState kNameUp{0, false}, kNameDown{0, true}, kAssemblyUp{1, false}, kAssemblyDown{1, true};

} // namespace

TEST(CompareRulesTest, headerClick_sameColumnReversesOtherColumnSortsAscending)
{
    const struct {
        std::vector<int> clicks;
        SortState expected;
    } cases[] = {
        {{0}, {0, true}}, // the first click on "Name" sorts descending
        {{0, 0}, {0, false}},
        {{0, 0, 0}, {0, true}},
        {{1}, {1, false}}, // the first click on "Baugruppe" sorts ascending
        {{1, 0}, {0, false}},
        {{1, 1}, {1, true}},
        {{0, 1}, {1, false}},
    };
    for (const auto &c : cases) {
        SortState state;
        for (int column : c.clicks)
            applyHeaderClick(state, column);
        EXPECT_EQ(state.SortColumn, c.expected.SortColumn);
        EXPECT_EQ(state.Descending, c.expected.Descending);
    }
}

TEST(CompareRulesTest, assemblyList_comparesCaptionsOnlyInTheStatesDirection)
{
    const ListEntry achse{"Achse", {}}, bremse{"BREMSE", {}}, achseUpper{"ACHSE", {}};
    EXPECT_EQ(ListView1Compare(achse, bremse, kNameUp), -1);
    EXPECT_EQ(ListView1Compare(achse, bremse, kNameDown), 1);
    EXPECT_EQ(ListView1Compare(achse, bremse, kAssemblyUp), -1) << "the column is ignored";
    EXPECT_EQ(ListView1Compare(achse, achseUpper, kNameDown), 0);
}

TEST(CompareRulesTest, catalogue_breaksTiesByTheOtherColumnInTheSameDirection)
{
    // Captions equal for the sort (a to z case only); assemblies differ.
    const ListEntry rahmenDach = defect("Rahmen", "Dach"), rahmenAchse = defect("RAHMEN", "Achse");
    EXPECT_EQ(ListView2Compare(rahmenDach, rahmenAchse, kNameUp), 1);
    EXPECT_EQ(ListView2Compare(rahmenDach, rahmenAchse, kNameDown), -1);

    // Same assembly: the caption decides, in the direction of the assemblies.
    const ListEntry bolzen = defect("Bolzen", "Rad"), achse = defect("Achse", "rad");
    EXPECT_EQ(ListView2Compare(bolzen, achse, kAssemblyUp), 1);
    EXPECT_EQ(ListView2Compare(bolzen, achse, kAssemblyDown), -1);
    EXPECT_EQ(ListView2Compare(bolzen, achse, kNameUp), 1);

    // The primary key wins over the tie-break key.
    EXPECT_EQ(ListView2Compare(defect("A", "Z"), defect("B", "A"), kNameUp), -1);
    EXPECT_EQ(ListView2Compare(defect("A", "Z"), defect("B", "A"), kAssemblyUp), 1);
    EXPECT_EQ(ListView2Compare(defect("A", "x"), defect("a", "X"), kNameDown), 0);
}

TEST(CompareRulesTest, defectListName_numbersByValueLargerFirstThenTextsByCaptionAndAssembly)
{
    const struct {
        ListEntry a, b;
        int ascending;
    } cases[] = {
        {defect("12", "A"), defect("2,5", "A"), -1},  // by value, larger first
        {defect("2,5", "Z"), defect(" 2,50", "A"), 0}, // equal values, assembly not asked
        {defect("-1", "A"), defect("0", "A"), 1},
        {defect("7", "Z"), defect("Achse", "A"), -1}, // a number before a text
        {defect("2.5", "A"), defect("3", "A"), 1},    // "2.5" is no number with a decimal comma
        {defect("", "A"), defect("0", "A"), 1},       // nor is the empty text
        {defect("Achse", "B"), defect("Bolzen", "A"), -1},
        {defect("achse", "Rad"), defect("ACHSE", "Bremse"), 1}, // tie broken by the assembly
        {defect("achse", "Rad"), defect("ACHSE", "RAD"), 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.a.caption()) + " | " + std::string(c.b.caption()));
        EXPECT_EQ(ListView3Compare(c.a, c.b, kNameUp), c.ascending);
        EXPECT_EQ(ListView3Compare(c.b, c.a, kNameUp), -c.ascending);
        EXPECT_EQ(ListView3Compare(c.a, c.b, kNameDown), -c.ascending) << "descending reverses the whole order";
    }
}

TEST(CompareRulesTest, defectListAssembly_comparesLikeTheCatalogue)
{
    const ListEntry a = defect("12", "Rad"), b = defect("Achse", "Bremse"), c = defect("achse", "BREMSE");
    for (const SortState &state : {kAssemblyUp, kAssemblyDown}) {
        EXPECT_EQ(ListView3Compare(a, b, state), ListView2Compare(a, b, state));
        EXPECT_EQ(ListView3Compare(b, c, state), 0);
    }
    EXPECT_EQ(ListView3Compare(a, b, kAssemblyUp), 1);
}

