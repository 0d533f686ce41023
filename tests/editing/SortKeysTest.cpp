#include "editing/SortKeys.h"

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
    {"Rahmen", "RAHMEN", 0},         // a to z count as A to Z
    {"\xd6lfilter", "\xf6lfilter", 1}, // other letters keep their case: lower case first
    {"Z", "a", 1},                   // not by byte value
    {"a", "B", -1},
    {"B\xfcgel", "Buhne", -1},       // ü sorts with u, not after z
    {"B\xfcgel", "Bugel", 1},        // ... and after the plain u
    {"Fu\xdf", "Fust", -1},          // ß sorts as ss
    {"\x8ax", "Sz", -1},             // Š is decoded from Windows-1252 and sorts with S
    {"10", "9", -1},                 // digits are texts here
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

TEST(SortKeysTest, compareSortKeys_agreesWithTheSortKeysForTextsWithOnlyIgnorableCharacters)
{
    // A C1 control is ignored by the collation; the empty text must not sort before it when the
    // sort by keys counts them equal.
    const QCollator &collator = editing::sortCollator();
    const int byKeys = collator.sortKey(editing::sortText("\x81")).compare(collator.sortKey(QString()));
    EXPECT_EQ(CompareSortKeys("\x81", ""), (byKeys > 0) - (byKeys < 0));
    EXPECT_EQ(CompareSortKeys("", "\x81"), -CompareSortKeys("\x81", ""));
}

TEST(SortKeysTest, sortText_upperCasesOnlyAtoZ)
{
    EXPECT_EQ(editing::sortText("B\xfcgel-\xdf \xe4"), QStringLiteral(u"BüGEL-ß ä"));
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
