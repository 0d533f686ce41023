// Out of memory in a list change, an undo or a redo: each entry point, failing at each of its
// allocations in turn, leaves the lists and the history as they were and the recorder ready.

#include "TestSupport.h"
#include "document/EntryList.h"
#include "editing/SortRules.h"
#include "editing/UndoRecorder.h"
#include "editing/UndoStep.h"

#include <QSignalSpy>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <new>

using editing::UndoRecorder;
using editing::UndoStep;

namespace {

// Counts down the allocations of operator new; the one that reaches zero fails.
std::atomic<long> g_allocationsLeft{-1};

void *allocate(std::size_t size)
{
    if (g_allocationsLeft.load() >= 0 && g_allocationsLeft.fetch_sub(1) == 0)
        throw std::bad_alloc();
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

} // namespace

void *operator new(std::size_t size) { return allocate(size); }
void *operator new[](std::size_t size) { return allocate(size); }
void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t) noexcept { std::free(p); }

namespace {

using testsupport::defect;

// Two watched lists with a history of one step, undone, so that undo and redo both have work.
struct Lists {
    EntryList catalog{{QStringLiteral("Name"), QStringLiteral("Baugruppe")}};
    EntryList defects{{QStringLiteral("Name"), QStringLiteral("Baugruppe")}};
    SortState catalogSort;
    UndoRecorder recorder;

    Lists()
    {
        catalog.setSortRule(editing::catalogSortRule(catalogSort));
        catalog.appendEntries({defect("Riss", "Fassade"), defect("Loch", "Dach"), defect("Ziegel", "Dach")});
        defects.appendEntries({defect("Alt", "Dach"), {"Ohne", {}}});
        recorder.watch(catalog);
        recorder.watch(defects);
        {
            UndoStep step(recorder, QStringLiteral("Eintrag löschen"));
            catalog.removeAt(0);
            defects.setCaption(0, "Neu");
            catalogSort.Descending = true;
            catalog.beginUpdate();
            catalog.endUpdate();
        }
        {
            UndoStep step(recorder, QStringLiteral("Eintrag hinzufügen"));
            defects.append(defect("Erst", "Keller"));
        }
        recorder.undo();
    }
    QByteArray bytes() const { return testsupport::snapshot({&catalog, &defects}); }
};

struct EntryPoint {
    const char *name;
    std::function<void(Lists &)> run;
};

void inStep(Lists &l, const std::function<void()> &change)
{
    UndoStep step(l.recorder, QStringLiteral("Schritt"));
    change();
}

const EntryPoint kEntryPoints[] = {
    {"append", [](Lists &l) { inStep(l, [&] { l.defects.append(defect("Neu", "Dach")); }); }},
    {"append many", [](Lists &l) { inStep(l, [&] { l.defects.appendEntries({defect("A", "B"), defect("C", "D")}); }); }},
    {"insert", [](Lists &l) { inStep(l, [&] { l.catalog.insert(1, defect("Neu", "Dach")); }); }},
    {"remove", [](Lists &l) { inStep(l, [&] { l.catalog.removeAt(1); }); }},
    {"clear", [](Lists &l) { inStep(l, [&] { l.defects.clear(); }); }},
    {"truncate", [](Lists &l) { inStep(l, [&] { l.catalog.truncate(1); }); }},
    {"assign", [](Lists &l) { inStep(l, [&] { l.defects.assign({defect("X", "Y")}); }); }},
    {"rename", [](Lists &l) { inStep(l, [&] { l.defects.setCaption(1, "Umbenannt"); }); }},
    {"add a sub-item", [](Lists &l) { inStep(l, [&] { l.defects.appendSubItem(1, "Dach"); }); }},
    {"replace an entry", [](Lists &l) { inStep(l, [&] { l.catalog.assignEntry(0, defect("Anders", "Keller")); }); }},
    {"move", [](Lists &l) { inStep(l, [&] { l.catalog.move(0, 2); }); }},
    {"reorder", [](Lists &l) { inStep(l, [&] { l.defects.reorder({1, 0}); }); }},
    {"sort", [](Lists &l) {
         inStep(l, [&] {
             l.catalogSort.Descending = !l.catalogSort.Descending;
             l.catalog.beginUpdate();
             l.catalog.endUpdate();
         });
     }},
    {"several changes in one step", [](Lists &l) {
         inStep(l, [&] {
             l.catalog.removeAt(0);
             l.defects.append(defect("Neu", "Dach"));
             l.defects.setCaption(0, "Anders");
         });
     }},
    {"rename outside a step", [](Lists &l) { l.defects.setCaption(1, "Umbenannt"); }},
    {"undo", [](Lists &l) { l.recorder.undo(); }},
    {"redo", [](Lists &l) { l.recorder.redo(); }},
};

class AllocationFailure : public ::testing::TestWithParam<EntryPoint> {};

} // namespace

TEST_P(AllocationFailure, leavesListsAndHistoryAsTheyWere)
{
    const EntryPoint &entry = GetParam();
    bool succeeded = false;
    int failures = 0;
    for (long failAt = 0; failAt < 400 && !succeeded; ++failAt) {
        SCOPED_TRACE(failAt);
        Lists l;
        QSignalSpy lost(&l.recorder, &UndoRecorder::stepLost);
        const QByteArray before = l.bytes();
        const int steps = l.recorder.stack().count(), index = l.recorder.stack().index();

        bool failed = false;
        g_allocationsLeft = failAt;
        try {
            entry.run(l);
        } catch (const std::bad_alloc &) {
            failed = true;
        }
        const bool reachedTheFailure = g_allocationsLeft.load() < 0;
        g_allocationsLeft = -1;
        failed = failed || !lost.isEmpty();
        succeeded = !reachedTheFailure;

        EXPECT_FALSE(l.recorder.inStep());
        EXPECT_FALSE(l.recorder.replaying());
        if (!failed)
            continue;
        ++failures;
        EXPECT_EQ(l.bytes(), before);
        EXPECT_EQ(l.recorder.stack().count(), steps);
        EXPECT_EQ(l.recorder.stack().index(), index);

        // The history still works: undoing everything and redoing it again ends where it started.
        while (l.recorder.stack().canUndo())
            l.recorder.undo();
        while (l.recorder.stack().canRedo())
            l.recorder.redo();
        l.recorder.undo();
        l.recorder.redo();
        EXPECT_EQ(l.recorder.stack().index(), l.recorder.stack().count());
    }
    EXPECT_TRUE(succeeded) << "the entry point should succeed once enough memory is there";
    EXPECT_GT(failures, 0) << "the entry point allocates, so some run must have failed";
}

INSTANTIATE_TEST_SUITE_P(EachEntryPoint, AllocationFailure, ::testing::ValuesIn(kEntryPoints), [](const auto &info) {
    std::string name = info.param.name;
    for (char &c : name)
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
});
