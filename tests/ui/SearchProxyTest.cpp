#include "TestSupport.h"
#include "ui/SearchProxy.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>
#include <memory>

using testsupport::defect;

namespace {

using Rows = std::vector<std::string>;

// A catalogue shown through the proxy, which Qt's model tester checks at every signal.
struct Proxy : ::testing::Test {
    std::unique_ptr<EntryList> list = std::make_unique<EntryList>(QStringList{QStringLiteral("Name"), QStringLiteral("Baugruppe")});
    SearchProxy proxy{*list};
    QAbstractItemModelTester tester{&proxy, QAbstractItemModelTester::FailureReportingMode::Fatal};

    void SetUp() override
    {
        list->assign({defect("Riss", "Fassade"), defect("Loch", "Dach"), defect("Ziegel", "Dach"),
                      defect("Moos", "Dach"), defect("Fleck", "Wand")});
    }
    // The names the proxy shows, in its order, each read through its own index.
    Rows shown() const
    {
        Rows out;
        for (int row = 0; row < proxy.rowCount(); ++row)
            out.push_back(proxy.index(row, 0).data().toString().toStdString());
        return out;
    }
    // The name a held index shows now, or "-" when it shows nothing.
    static std::string at(const QPersistentModelIndex &held)
    {
        return held.isValid() ? held.data().toString().toStdString() : "-";
    }
};

} // namespace

TEST_F(Proxy, mapsItsRowsToTheListsAndBack)
{
    proxy.setText(QStringLiteral("DACH"));
    EXPECT_EQ(shown(), (Rows{"Loch", "Ziegel", "Moos"}));
    EXPECT_EQ(proxy.index(1, 1).data().toString(), QStringLiteral("Dach"));
    const int listRows[] = {1, 2, 3};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(proxy.listRow(row), listRows[row]);
        EXPECT_EQ(proxy.rowOf(listRows[row]), row);
    }
    EXPECT_EQ(proxy.rowOf(0), -1) << "left out";
    EXPECT_EQ(proxy.listRow(3), -1);
    EXPECT_EQ(proxy.rowOf(5), -1);
    // An edit through the proxy edits the entry it shows.
    EXPECT_TRUE(proxy.setData(proxy.index(2, 0), QStringLiteral("Moos am Dach")));
    EXPECT_EQ(list->caption(3), "Moos am Dach");
    proxy.setText({});
    EXPECT_EQ(shown(), (Rows{"Riss", "Loch", "Ziegel", "Moos am Dach", "Fleck"}));
    EXPECT_EQ(proxy.rowOf(4), 4);
}

// Every held index (a view's selection, current row, open editor) stays on its entry, or becomes
// invalid when its entry is left out or removed.
TEST_F(Proxy, heldIndexesFollowTheirEntries)
{
    const struct {
        const char *step;
        std::function<void(Proxy &)> apply;
        std::string riss, ziegel;
    } steps[] = {
        {"search", [](Proxy &p) { p.proxy.setText(QStringLiteral("i")); }, "Riss", "Ziegel"},
        {"insert before", [](Proxy &p) { p.list->insert(0, defect("Riss im Sockel", "Sockel")); }, "Riss", "Ziegel"},
        {"sort", [](Proxy &p) { p.list->reorder({5, 4, 3, 2, 1, 0}); }, "Riss", "Ziegel"},
        {"rename out", [](Proxy &p) { p.list->setCaption(4, std::string("Loch")); }, "-", "Ziegel"},
        {"narrow", [](Proxy &p) { p.proxy.setText(QStringLiteral("ie")); }, "-", "Ziegel"},
        {"clear the text", [](Proxy &p) { p.proxy.setText({}); }, "-", "Ziegel"},
        {"remove without a text", [](Proxy &p) { p.list->removeAt(0); }, "-", "Ziegel"},
        {"move without a text", [](Proxy &p) { p.list->move(2, 0); }, "-", "Ziegel"},
        {"remove it with a text", [](Proxy &p) {
             p.proxy.setText(QStringLiteral("e"));
             p.list->removeAt(2);
         }, "-", "-"},
    };
    const QPersistentModelIndex riss(proxy.index(0, 0)), ziegel(proxy.index(2, 1));
    for (const auto &s : steps) {
        SCOPED_TRACE(s.step);
        s.apply(*this);
        EXPECT_EQ(at(riss), s.riss);
        EXPECT_EQ(at(QModelIndex(ziegel).siblingAtColumn(0)), s.ziegel);
        EXPECT_TRUE(!ziegel.isValid() || ziegel.column() == 1);
    }
}

TEST_F(Proxy, withoutATextChangesPassAsTheyAreWithOneAsALayoutChange)
{
    QSignalSpy inserted(&proxy, &QAbstractItemModel::rowsInserted);
    QSignalSpy layout(&proxy, &QAbstractItemModel::layoutChanged);
    list->append(defect("Schimmel", "Keller"));
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.front().at(1).toInt(), 5);
    EXPECT_EQ(layout.count(), 0);

    proxy.setText(QStringLiteral("schimmel"));
    list->append(defect("Schimmel im Bad", "Bad"));
    list->append(defect("Pfütze", "Keller"));
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(layout.count(), 3);
    EXPECT_EQ(shown(), (Rows{"Schimmel", "Schimmel im Bad"}));
    list->clear();
    EXPECT_EQ(shown(), Rows{});
}

TEST_F(Proxy, aListThatGoesFirstLeavesItEmpty)
{
    proxy.setText(QStringLiteral("dach"));
    list.reset();
    EXPECT_EQ(proxy.rowCount(), 0);
    EXPECT_EQ(proxy.columnCount(), 0);
    proxy.setText(QStringLiteral("riss"));
    EXPECT_EQ(proxy.list(), nullptr);
}
