#include "TestSupport.h"
#include "document/EntryList.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <algorithm>
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
