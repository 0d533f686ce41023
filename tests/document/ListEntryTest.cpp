#include "document/ListEntry.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Texts = std::vector<std::string>; // the caption, then the sub-items

Texts textsOf(const ListEntry &e)
{
    Texts out{std::string(e.caption())};
    for (std::size_t i = 0; i < e.subItemCount(); ++i)
        out.emplace_back(e.subItem(i));
    return out;
}

const std::string kLong(5000, 'x');
const std::string kNulAndHigh("a\0b\x80\xff\0", 6);

// Texts of every kind, alone and side by side.
const std::vector<Texts> kEntries = {
    {""},
    {"", ""},
    {"Riss"},
    {"Riss", "Fassade"},
    {"", "", ""},
    {"Riss", "", "Fassade", ""},
    {kNulAndHigh, kNulAndHigh},
    {std::string(1, '\0')},
    {kLong, "Dach", kLong + "!"},
};

ListEntry make(const Texts &t)
{
    ListEntry e(t[0]);
    for (std::size_t i = 1; i < t.size(); ++i)
        e.appendSubItem(t[i]);
    return e;
}

} // namespace

TEST(ListEntryTest, keepsEveryTextAsGivenAndCopiesStandAlone)
{
    for (const Texts &t : kEntries) {
        SCOPED_TRACE(testing::PrintToString(t));
        ListEntry e = make(t);
        EXPECT_EQ(textsOf(e), t);
        if (t.size() == 2) {
            EXPECT_EQ(e, (ListEntry{t[0], {t[1]}})) << "built at once or step by step, the same entry";
        }

        ListEntry copy = e;
        ListEntry assigned{"vorher", {"alt"}};
        assigned = e;
        EXPECT_EQ(copy, e);
        EXPECT_EQ(assigned, e);
        e.setCaption("anders");
        e.appendSubItem("mehr");
        EXPECT_EQ(textsOf(copy), t) << "a copy keeps its texts when its source changes";
        EXPECT_EQ(textsOf(assigned), t);

        ListEntry moved = std::move(copy);
        EXPECT_EQ(textsOf(moved), t);
        copy = std::move(moved); // a moved-from entry takes a new value
        EXPECT_EQ(textsOf(copy), t);
        const ListEntry &same = copy;
        copy = same; // assigning an entry to itself keeps it
        EXPECT_EQ(textsOf(copy), t);
    }
}

TEST(ListEntryTest, changesOneTextAndKeepsTheOthers)
{
    struct Case {
        Texts start;
        int sub; // -1: the caption
        std::string text;
        Texts expected;
    };
    const std::vector<Case> cases = {
        {{"Riss", "Fassade"}, -1, "Haarriss", {"Haarriss", "Fassade"}},
        {{"Haarriss", "Fassade"}, -1, "R", {"R", "Fassade"}},
        {{"Riss", "Fassade"}, -1, "", {"", "Fassade"}},
        {{"Riss"}, -1, "", {""}},
        {{"Riss", "Fassade", "12,50 EUR"}, 0, "Dach", {"Riss", "Dach", "12,50 EUR"}},
        {{"Riss", "Fassade", "12,50 EUR"}, 1, kLong, {"Riss", "Fassade", kLong}},
        {{"Riss", "Fassade", kLong}, 1, "", {"Riss", "Fassade", ""}},
        {{"", ""}, 0, kNulAndHigh, {"", kNulAndHigh}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.start) + " " + std::to_string(c.sub) + " " + c.text);
        ListEntry e = make(c.start);
        if (c.sub < 0)
            e.setCaption(c.text);
        else
            e.setSubItem(std::size_t(c.sub), c.text);
        EXPECT_EQ(textsOf(e), c.expected);
        EXPECT_EQ(e, make(c.expected)) << "equal to the entry built with those texts";
    }
}

TEST(ListEntryTest, takesItsOwnTextsAsNewValues)
{
    ListEntry e{"Riss", {"Fassade"}};
    e.setCaption(e.subItem(0));
    e.appendSubItem(e.caption());
    e.setSubItem(0, e.caption().substr(1));
    EXPECT_EQ(textsOf(e), (Texts{"Fassade", "assade", "Fassade"}));
}

TEST(ListEntryTest, isEqualOnlyWithTheSameTextsInTheSamePlaces)
{
    const std::vector<std::pair<ListEntry, ListEntry>> unequal = {
        {ListEntry{}, ListEntry{"", {""}}}, // no sub-item is not an empty one
        {ListEntry{"ab", {"c"}}, ListEntry{"a", {"bc"}}},
        {ListEntry{"Riss", {"Dach"}}, ListEntry{"Riss", {"Dach", ""}}},
        {ListEntry{"a", {std::string_view("\0", 1)}}, ListEntry{"a", {""}}},
        {ListEntry{"\x80"}, ListEntry{"\x81"}},
    };
    for (const auto &[a, b] : unequal) {
        EXPECT_NE(a, b);
        EXPECT_NE(b, a);
    }
    EXPECT_EQ(ListEntry{}, ListEntry{""});
    ListEntry emptied{"Riss"};
    emptied.setCaption("");
    EXPECT_EQ(emptied, ListEntry{});
}
