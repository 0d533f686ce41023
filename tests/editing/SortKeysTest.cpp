#include "editing/SortKeys.h"
#include "editing/SortCollation.h"

#include <QLocale>

#include <gtest/gtest.h>

using editing::CompareSortKeys;

namespace {

struct KeyCase {
    const char *a;
    const char *b;
    int expected;
};

// Texts are Windows-1252 bytes: \xd6 Ö, \xf6 ö, \xfc ü, \xdf ß, \x8a Š.
const KeyCase kKeyCases[] = {
    {"Rahmen", "RAHMEN", 0},           // a to z count as A to Z
    {"\xd6lfilter", "\xf6lfilter", 1}, // other letters keep their case: lower case first
    {"Z", "a", 1},                     // not by byte value
    {"a", "B", -1},
    {"B\xfcgel", "Buhne", -1}, // ü sorts with u, not after z
    {"B\xfcgel", "Bugel", 1},  // ... and after the plain u
    {"Fu\xdf", "Fust", -1},    // ß sorts as ss
    {"\x8ax", "Sz", -1},       // Š is decoded from Windows-1252 and sorts with S
    {"10", "9", -1},           // digits are texts here
    {"", "", 0},
    {"", "A", -1},
    {"", " ", -1},
    {"Rahmen", "Rahmen ", -1},
};

} // namespace

TEST(SortKeysTest, compareSortKeys_followsTheGermanCollationAfterUpperCasingAtoZ)
{
    for (const KeyCase &c : kKeyCases) {
        SCOPED_TRACE(std::string(c.a) + " | " + c.b);
        EXPECT_EQ(CompareSortKeys(c.a, c.b), c.expected);
        EXPECT_EQ(CompareSortKeys(c.b, c.a), -c.expected);
    }
}

TEST(SortKeysTest, comparisonAgreesWithTheSortKeys)
{
    // A C1 control is ignored by the collation: the text made of it equals the empty text, both in
    // the comparison and by sort keys. Case and umlauts must show in the keys as in the comparison.
    editing::SortCollation &collation = editing::SortCollation::forDefaultLocale();
    const auto keyOf = [&collation](std::string_view text) {
        std::vector<uint8_t> key;
        const size_t length = collation.appendSortKey(text, key);
        EXPECT_EQ(length, key.size());
        EXPECT_EQ(key.back(), 0);
        return key;
    };
    EXPECT_EQ(CompareSortKeys("\x81", ""), 0);
    EXPECT_EQ(keyOf("\x81"), keyOf(""));
    EXPECT_EQ(keyOf("Rahmen"), keyOf("RAHMEN"));
    EXPECT_GT(keyOf("\xd6lfilter"), keyOf("\xf6lfilter"));
    const std::string longText(5000, 'x');
    EXPECT_LT(keyOf(longText), keyOf(longText + "y")) << "keys longer than the first guess";
}

TEST(SortKeysTest, collatorFollowsTheDefaultLocale)
{
    // Swedish sorts Ö after Z, German with O.
    EXPECT_EQ(CompareSortKeys("\xd6l", "Zoll"), -1);
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    const int swedish = CompareSortKeys("\xd6l", "Zoll");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(swedish, 1);
    EXPECT_EQ(CompareSortKeys("\xd6l", "Zoll"), -1);
}
