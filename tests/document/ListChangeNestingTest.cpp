// A list change that begins while another list's change is announced to its views and not yet
// reported to its journal stops debug builds; after the report, the signals may start changes.
#include "TestSupport.h"
#include "document/EntryList.h"

#include <gtest/gtest.h>

namespace {

ListEntry entry(std::string caption)
{
    return {std::move(caption), {}};
}

// A journal that keeps nothing: the check guards the order in which journals hear of changes, so it
// applies to journaled lists (the document's), not to the filtered view.
struct NullJournal : EntryJournal {
    void prepare(int) override {}
    void inserted(int) noexcept override {}
    void appended(int, int) noexcept override {}
    void removed(int, ListEntry) noexcept override {}
    void truncated(int, std::vector<ListEntry>) noexcept override {}
    void captionChanged(int, std::string) noexcept override {}
    void entryReplaced(int, ListEntry) noexcept override {}
    void moved(int, int) noexcept override {}
    void reordered(std::vector<int>) noexcept override {}
};

struct NestingRow {
    const char *name;
    // Connects a change of `other` to one of the signals of `list`.
    void (*hookUp)(EntryList &list, EntryList &other);
    void (*change)(EntryList &list);
    bool stops;
};

template <class Signal>
void appendOn(EntryList &list, Signal signal, EntryList &other)
{
    QObject::connect(&list, signal, &other, [&other] { other.append(entry("Folge")); });
}

const NestingRow kRows[] = {
    {"insertAnnounced", [](EntryList &l, EntryList &o) { appendOn(l, &EntryList::rowsAboutToBeInserted, o); },
     [](EntryList &l) { l.append(entry("neu")); }, true},
    {"removeAnnounced", [](EntryList &l, EntryList &o) { appendOn(l, &EntryList::rowsAboutToBeRemoved, o); },
     [](EntryList &l) { l.removeAt(0); }, true},
    {"resetAnnounced", [](EntryList &l, EntryList &o) { appendOn(l, &EntryList::modelAboutToBeReset, o); },
     [](EntryList &l) { l.clear(); }, true},
    {"sortAnnounced", [](EntryList &l, EntryList &o) { appendOn(l, &EntryList::layoutAboutToBeChanged, o); },
     [](EntryList &l) {
         l.setSortRule([](const std::vector<ListEntry> &) { return std::vector<int>{1, 0}; });
         l.beginUpdate();
         l.endUpdate();
     },
     true},
    {"afterInsert", [](EntryList &l, EntryList &o) { appendOn(l, &EntryList::rowsInserted, o); },
     [](EntryList &l) { l.append(entry("neu")); }, false},
    {"afterCaption", [](EntryList &l, EntryList &o) { appendOn(l, &EntryList::dataChanged, o); },
     [](EntryList &l) { l.setCaption(0, "neu"); }, false},
};

struct ListChangeNesting : ::testing::TestWithParam<NestingRow> {};

TEST_P(ListChangeNesting, stopsDebugBuildsOnlyBeforeTheReport)
{
    const NestingRow &row = GetParam();
    EntryList list{{QStringLiteral("Name")}};
    EntryList other{{QStringLiteral("Name")}};
    NullJournal journal;
    list.setJournal(&journal);
    other.setJournal(&journal);
    list.appendEntries({entry("a"), entry("b")});
    row.hookUp(list, other);
    if (row.stops) {
#ifdef QT_NO_DEBUG
        GTEST_SKIP() << "release builds do not check";
#else
        EXPECT_DEATH(row.change(list), "another was announced");
#endif
    } else {
        row.change(list);
        EXPECT_EQ(testsupport::captions(other), std::vector<std::string>{"Folge"});
    }
}

INSTANTIATE_TEST_SUITE_P(Document, ListChangeNesting, ::testing::ValuesIn(kRows),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
