#include "TestSupport.h"
#include "document/EntryList.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <numeric>
#include <random>

namespace {

struct EntryListTest : ::testing::Test {
    EntryList list{{QStringLiteral("Name"), QStringLiteral("Baugruppe")}};
    QAbstractItemModelTester tester{&list, QAbstractItemModelTester::FailureReportingMode::Fatal};

    std::vector<std::string> captions() const { return testsupport::captions(list); }
};

using testsupport::defect;

} // namespace

TEST_F(EntryListTest, operationsKeepOrderAndShowDecodedTexts)
{
    list.append(defect("Riss", "Fassade"));
    list.append(defect("\xd6lfleck", "Dach"));
    list.insert(1, defect("Loch", "Dach"));
    EXPECT_EQ(captions(), (std::vector<std::string>{"Riss", "Loch", "\xd6lfleck"}));
    EXPECT_EQ(list.data(list.index(2, 0)).toString(), QStringLiteral("Ölfleck"));
    EXPECT_EQ(list.data(list.index(2, 1)).toString(), QStringLiteral("Dach"));

    list.removeAt(0);
    list.move(1, 0);
    EXPECT_EQ(captions(), (std::vector<std::string>{"\xd6lfleck", "Loch"}));
    list.move(0, 2);
    EXPECT_EQ(captions(), (std::vector<std::string>{"Loch", "\xd6lfleck"}));

    list.assignEntry(0, defect("Kopie", "X"));
    EXPECT_EQ(list.at(0), defect("Kopie", "X"));
    list.clear();
    EXPECT_EQ(list.count(), 0);
}

TEST_F(EntryListTest, subItemYieldsNothingPastTheLastOne)
{
    list.append({"Riss", {}});
    EXPECT_FALSE(list.subItem(0, 0));
    list.appendSubItem(0, "Fassade");
    EXPECT_EQ(list.subItem(0, 0), std::optional<std::string_view>("Fassade"));
    EXPECT_FALSE(list.subItem(0, 2));
}

// A row outside the list is a programming error: a debug build stops there, a release build reads
// an empty entry and changes nothing.
TEST_F(EntryListTest, aRowOutsideTheListStopsDebugBuildsAndTouchesNothingInRelease)
{
    list.append(defect("Riss", "Fassade"));
    const std::vector<ListEntry> before = list.entries();
    for (const int row : {-1, 1, 1 << 24}) {
        EXPECT_DEBUG_DEATH(EXPECT_EQ(list.at(row), ListEntry{}), "") << row;
        EXPECT_DEBUG_DEATH(EXPECT_EQ(list.caption(row), ""), "") << row;
        EXPECT_DEBUG_DEATH(EXPECT_FALSE(list.subItem(row, 0)), "") << row;
        EXPECT_DEBUG_DEATH(list.setCaption(row, "x"), "") << row;
        EXPECT_DEBUG_DEATH(list.appendSubItem(row, "x"), "") << row;
        EXPECT_DEBUG_DEATH(list.assignEntry(row, defect("x", "y")), "") << row;
        EXPECT_DEBUG_DEATH(list.removeAt(row), "") << row;
        EXPECT_DEBUG_DEATH(list.move(row, 0), "") << row;
    }
    EXPECT_EQ(list.entries(), before);
}

TEST_F(EntryListTest, captionChangesAreReportedAndEditsEncodeToWindows1252)
{
    list.append(defect("Riss", "A"));
    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(list.setData(list.index(0, 0), QStringLiteral("Öl – ☃")));
    EXPECT_EQ(list.caption(0), "\xd6l \x96 ?");
    EXPECT_EQ(changed.count(), 1);
    EXPECT_FALSE(list.setData(list.index(0, 1), QStringLiteral("B"))) << "only the caption is editable";
}

TEST_F(EntryListTest, closingTheOutermostBracketSortsOnceAndKeepsSelectionOnItsEntry)
{
    for (const char *c : {"c", "a", "b"})
        list.append(defect(c, ""));
    int sorts = 0;
    list.setSortRule([&sorts](const std::vector<ListEntry> &entries) {
        ++sorts;
        std::vector<int> order(entries.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](int l, int r) { return entries[size_t(l)].caption() < entries[size_t(r)].caption(); });
        return order;
    });
    const QPersistentModelIndex onC(list.index(0, 0));
    list.beginUpdate();
    list.beginUpdate();
    list.append(defect("0", ""));
    list.endUpdate();
    EXPECT_EQ(sorts, 0);
    EXPECT_EQ(captions().back(), "0") << "a new entry stays at the end until the list is sorted";
    list.endUpdate();
    EXPECT_EQ(sorts, 1);
    EXPECT_EQ(captions(), (std::vector<std::string>{"0", "a", "b", "c"}));
    EXPECT_EQ(onC.row(), 3);
}

TEST(EntryListSortOrder, holdsFromASortUntilAChangeMayLeaveIt)
{
    // Sorted by caption, so that "in order" can be read off the captions.
    const auto byCaption = [](const ListEntry &a, const ListEntry &b) { return a.caption().compare(b.caption()); };
    const auto rule = [byCaption](const std::vector<ListEntry> &entries) {
        std::vector<int> order(entries.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](int l, int r) { return byCaption(entries[size_t(l)], entries[size_t(r)]) < 0; });
        return order;
    };
    const struct {
        const char *change;
        std::function<void(EntryList &, int &token)> act;
        bool inOrder;
    } table[] = {
        {"none", [](EntryList &, int &) {}, true},
        {"insert in order", [](EntryList &l, int &) { l.insert(1, defect("c", "")); }, true},
        {"insert out of order", [](EntryList &l, int &) { l.insert(3, defect("a", "")); }, false},
        {"append in order", [](EntryList &l, int &) { l.append(defect("g", "")); }, true},
        {"append out of order", [](EntryList &l, int &) { l.append(defect("e", "")); }, false},
        {"rename in order", [](EntryList &l, int &) { l.setCaption(1, "e"); }, true},
        {"rename out of order", [](EntryList &l, int &) { l.setCaption(0, "z"); }, false},
        {"replace out of order", [](EntryList &l, int &) { l.assignEntry(2, defect("a", "")); }, false},
        {"remove and truncate", [](EntryList &l, int &) {
             l.removeAt(1);
             l.truncate(1);
         }, true},
        {"append several", [](EntryList &l, int &) { l.appendEntries({defect("x", ""), defect("y", "")}); }, false},
        {"move", [](EntryList &l, int &) { l.move(2, 0); }, false},
        {"reorder (an undone sort)", [](EntryList &l, int &) { l.reorder({0, 1, 2}); }, false},
        {"assign", [](EntryList &l, int &) { l.assign({defect("b", "")}); }, false},
        {"another order, then an insert", [](EntryList &l, int &token) {
             ++token;
             l.insert(3, defect("g", ""));
         }, false},
        {"insert inside a bracket", [](EntryList &l, int &) {
             l.beginUpdate();
             l.insert(1, defect("c", ""));
         }, false},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.change);
        EntryList list{{QStringLiteral("Name")}};
        int token = 0;
        list.setSortRule(rule, byCaption, [&token] { return token; });
        list.appendEntries({defect("f", ""), defect("b", ""), defect("d", "")});
        EXPECT_FALSE(list.inSortOrder()) << "no order before the first sort";
        list.beginUpdate();
        list.endUpdate();
        ASSERT_TRUE(list.inSortOrder());
        QSignalSpy told(&list, &EntryList::sortOrderChanged);
        row.act(list, token);
        EXPECT_EQ(list.inSortOrder(), row.inOrder);
        EXPECT_EQ(told.count(), row.inOrder ? 0 : 1);
        // Every sort tells, also one that leaves the entries where they stand.
        while (list.isUpdating())
            list.endUpdate();
        const qsizetype before = told.count();
        list.beginUpdate();
        list.endUpdate();
        EXPECT_TRUE(list.inSortOrder());
        EXPECT_EQ(told.count(), before + 1);
    }
}

TEST(EntryListSortedInsert, placesOneNewEntryExactlyWhereTheFullStableSortWould)
{
    // Entries compare by their first letter only, so that equal keys are common and stability shows.
    auto compare = [](const ListEntry &a, const ListEntry &b) {
        return a.caption().substr(0, 1) < b.caption().substr(0, 1) ? -1 : (b.caption().substr(0, 1) < a.caption().substr(0, 1));
    };
    auto stableOrder = [&compare](const std::vector<ListEntry> &entries) {
        std::vector<int> order(entries.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](int l, int r) { return compare(entries[size_t(l)], entries[size_t(r)]) < 0; });
        return order;
    };
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        EntryList fast{{QStringLiteral("Name")}};
        EntryList full{{QStringLiteral("Name")}};
        int token = 0;
        int fullSorts = 0;
        fast.setSortRule(
            [&](const std::vector<ListEntry> &e) {
                ++fullSorts;
                return stableOrder(e);
            },
            compare, [&token] { return token; });
        full.setSortRule(stableOrder);
        std::vector<ListEntry> start;
        for (int i = int(rng() % 12); i > 0; --i)
            start.push_back({std::string(1, char('a' + rng() % 4)) + std::to_string(i), {}});
        for (EntryList *l : {&fast, &full}) {
            l->appendEntries(start);
            l->beginUpdate();
            l->endUpdate();
        }
        // A drop: a copy of one entry inserted somewhere, the original removed.
        const int n = fast.count();
        if (n == 0)
            continue;
        const int from = int(rng() % unsigned(n)), to = int(rng() % unsigned(n + 1));
        const int sortsBefore = fullSorts;
        for (EntryList *l : {&fast, &full}) {
            l->beginUpdate();
            const ListEntry copy = l->at(from);
            l->insert(to, copy);
            l->removeAt(to <= from ? from + 1 : from);
            l->endUpdate();
        }
        ASSERT_EQ(fast.entries(), full.entries()) << "round " << round;
        EXPECT_EQ(fullSorts, sortsBefore) << "the drop placed the entry without a full sort";
        ++token; // another order: the next bracket sorts everything again
        fast.insert(0, {"z", {}});
        fast.beginUpdate();
        fast.endUpdate();
        EXPECT_EQ(fullSorts, sortsBefore + 1);
    }
}
