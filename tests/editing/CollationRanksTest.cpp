#include "TestSupport.h"
#include "editing/CollationRanks.h"
#include "editing/CompareRules.h"
#include "editing/SortKeys.h"
#include "editing/SortRules.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <random>
#include <set>

using namespace editing;

namespace {

// Texts are Windows-1252 bytes: \xc4 Ä, \xe4 ä, \xd6 Ö, \xdf ß, \x81 (ignored by the collation).
std::string randomText(std::mt19937 &rng)
{
    static const char *const kPieces[] = {"",  "a", "A", "\xe4", "\xc4", "\xdf", "ss", "Rahmen", "RAHMEN", " ",
                                          "-", "z", "\x81", "\xd6l", "2,5", "12", "Bolzen", "Achse"};
    std::uniform_int_distribution<int> count(0, 4), piece(0, std::size(kPieces) - 1);
    std::string text;
    for (int n = count(rng); n > 0; --n)
        text += kPieces[piece(rng)];
    return text;
}

std::vector<std::string> randomTexts(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<std::string> out;
    for (size_t i = 0; i < n; ++i)
        out.push_back(randomText(rng));
    return out;
}

std::vector<uint32_t> idsOf(CollationRanks &ranks, const std::vector<std::string> &texts)
{
    return ranks.idsOf(std::vector<std::string_view>(texts.begin(), texts.end()));
}

// The ranks order every pair of texts as the collation does and run densely from 0.
void expectRanksFollowTheCollation(const CollationRanks &ranks)
{
    std::set<uint32_t> used;
    for (uint32_t a = 0; a < ranks.size(); ++a) {
        used.insert(ranks.rank(a));
        for (uint32_t b = 0; b < ranks.size(); ++b) {
            const int byRank = (ranks.rank(a) > ranks.rank(b)) - (ranks.rank(a) < ranks.rank(b));
            ASSERT_EQ(byRank, CompareSortKeys(ranks.text(a), ranks.text(b)))
                << '"' << ranks.text(a) << "\" | \"" << ranks.text(b) << '"';
        }
    }
    EXPECT_EQ(used.size(), ranks.classes());
    EXPECT_EQ(used.empty() ? 0u : *used.rbegin() + 1, ranks.classes());
}

using testsupport::defect;

} // namespace

TEST(CollationRanksTest, textsAddedLaterAreRankedAsIfAllWereRankedAtOnce)
{
    // The texts held before are many, so a few new ones are placed by search; many new ones rank
    // everything anew. Both must give the ranks a single ranking would.
    const std::vector<std::string> held = randomTexts(120, 1);
    const struct {
        const char *name;
        std::vector<std::string> added;
    } cases[] = {
        {"equal by collation to held texts", {"RAHMEN", "rahmen", "\x81", "Achse\x81"}},
        {"before and after every held text", {"", "\xff\xff\xff zzz"}},
        {"several at one place, two of them equal", {"Bolzen x", "BOLZEN X", "Bolzen w"}},
        {"the same new text twice", {"Zylinder", "Zylinder"}},
        {"many new texts", randomTexts(400, 2)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        CollationRanks ranks;
        ranks.prepare(held.size());
        idsOf(ranks, held);
        ranks.rankNew();
        const std::vector<uint32_t> ids = idsOf(ranks, c.added);
        ranks.rankNew();
        for (size_t i = 0; i < ids.size(); ++i)
            EXPECT_EQ(ranks.text(ids[i]), c.added[i]);
        expectRanksFollowTheCollation(ranks);
    }
}

TEST(CollationRanksTest, aTextMetAgainKeepsItsIdAndIsNotAddedTwice)
{
    CollationRanks ranks;
    ranks.prepare(3);
    const std::vector<uint32_t> first = idsOf(ranks, {"Rahmen", "RAHMEN", "Rahmen"});
    EXPECT_EQ(first[0], first[2]);
    EXPECT_NE(first[0], first[1]); // equal by collation, but different texts
    ranks.rankNew();
    EXPECT_EQ(ranks.rank(first[0]), ranks.rank(first[1]));
    EXPECT_EQ(idsOf(ranks, {"RAHMEN"}), std::vector<uint32_t>{first[1]});
    EXPECT_EQ(ranks.size(), 2u);
}

TEST(CollationRanksTest, startsAfreshWhenItHoldsManyTextsTheListNoLongerHas)
{
    CollationRanks ranks;
    const std::vector<std::string> many = randomTexts(20000, 3);
    ranks.prepare(many.size());
    idsOf(ranks, many);
    ranks.rankNew();
    const size_t held = ranks.size();
    ranks.prepare(held); // the same list again: everything is kept
    EXPECT_EQ(ranks.size(), held);
    ranks.prepare(10); // a list of ten entries now
    EXPECT_EQ(ranks.size(), 0u);
}

namespace {

using Compare = int (*)(const ListEntry &, const ListEntry &, const SortState &);

std::vector<ListEntry> stableSorted(std::vector<ListEntry> entries, Compare compare, const SortState &state)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const ListEntry &a, const ListEntry &b) { return compare(a, b, state) < 0; });
    return entries;
}

// A list with an installed rule, sorted after every step and checked against a stable sort of what it
// held before.
struct SortedList {
    SortState state;
    Compare compare;
    EntryList list{{QStringLiteral("Name"), QStringLiteral("Baugruppe")}};

    SortedList(EntryList::SortRule (*rule)(const SortState &, const EntryList *), Compare c) : compare(c)
    {
        list.setSortRule(rule(state, &list));
    }
    void sortAndCheck()
    {
        const std::vector<ListEntry> expected = stableSorted(list.entries(), compare, state);
        list.beginUpdate();
        list.endUpdate();
        ASSERT_EQ(list.entries(), expected);
    }
};

} // namespace

TEST(CollationRanksTest, aRuleThatKeepsItsRanksSortsLikeAFreshStableSortAfterEveryEdit)
{
    std::mt19937 rng(5);
    const std::vector<std::pair<const char *, std::function<void(SortedList &)>>> steps = {
        {"load", [&](SortedList &s) {
             for (int i = 0; i < 300; ++i)
                 s.list.append(defect(randomText(rng), randomText(rng)));
         }},
        {"header click: reverse", [](SortedList &s) { applyHeaderClick(s.state, 0); }},
        {"header click: other column", [](SortedList &s) { applyHeaderClick(s.state, 1); }},
        {"header click: reverse again", [](SortedList &s) { applyHeaderClick(s.state, 1); }},
        {"an entry moved (a drop), then a header click", [](SortedList &s) {
             s.list.move(0, 40);
             applyHeaderClick(s.state, 1);
         }},
        {"order undone, then a header click", [](SortedList &s) {
             std::vector<int> reversed(size_t(s.list.count()));
             std::iota(reversed.rbegin(), reversed.rend(), 0);
             s.list.reorder(reversed);
             applyHeaderClick(s.state, 1);
         }},
        {"caption set to a new text", [](SortedList &s) { s.list.setCaption(7, "Bolzen lose"); }},
        {"caption set to one equal by collation", [](SortedList &s) { s.list.setCaption(9, "BOLZEN LOSE"); }},
        {"caption set to a number", [](SortedList &s) { s.list.setCaption(11, "2,75"); }},
        {"number set to a text", [](SortedList &s) { s.list.setCaption(11, "2,75 m"); }},
        {"entry replaced", [](SortedList &s) { s.list.assignEntry(3, defect("Achse", "\xc4u\xdf" "eres")); }},
        {"sub-item appended", [](SortedList &s) { s.list.appendSubItem(4, "zweites"); }},
        {"entries removed", [](SortedList &s) {
             s.list.removeAt(0);
             s.list.truncate(250);
         }},
        {"one entry inserted", [](SortedList &s) { s.list.insert(17, defect("\xd6lfilter", "Motor")); }},
        {"many new entries", [&](SortedList &s) {
             for (int i = 0; i < 200; ++i)
                 s.list.append(defect(randomText(rng) + "+", randomText(rng)));
         }},
        {"header click: back to the first column", [](SortedList &s) { applyHeaderClick(s.state, 0); }},
        {"every entry replaced", [&](SortedList &s) {
             std::vector<ListEntry> fresh;
             for (int i = 0; i < 20; ++i)
                 fresh.push_back(defect(randomText(rng) + "#", randomText(rng)));
             s.list.assign(std::move(fresh));
         }},
    };
    const struct {
        const char *name;
        EntryList::SortRule (*rule)(const SortState &, const EntryList *);
        Compare compare;
    } rules[] = {
        {"assemblies", assemblySortRule, ListView1Compare},
        {"catalogue", catalogSortRule, ListView2Compare},
        {"defect list", defectListSortRule, ListView3Compare},
    };
    for (const auto &rule : rules) {
        SortedList sorted(rule.rule, rule.compare);
        for (const auto &[name, step] : steps) {
            SCOPED_TRACE(std::string(rule.name) + ": " + name);
            step(sorted);
            sorted.sortAndCheck();
        }
    }
}

TEST(CollationRanksTest, aRuleFollowsAChangeOfTheDefaultLocale)
{
    // Swedish sorts Ö after Z, German with O; the ranks kept from German must not be used.
    SortedList sorted(catalogSortRule, ListView2Compare);
    sorted.list.appendEntries({defect("Zoll", ""), defect("\xd6l", ""), defect("Ober", "")});
    sorted.sortAndCheck();
    EXPECT_EQ(sorted.list.caption(0), "Ober");
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    sorted.list.setCaption(0, "Oben");
    sorted.sortAndCheck();
    const std::string last(sorted.list.caption(2));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(last, "\xd6l");
}
