#include "TestSupport.h"
#include "editing/UndoRecorder.h"
#include "document/EntryList.h"
#include "editing/FreshHistory.h"
#include "editing/SortRules.h"
#include "editing/UndoStep.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <functional>
#include <gtest/gtest.h>
#include <malloc.h>

using editing::FreshHistory;
using editing::UndoRecorder;
using editing::UndoStep;

namespace {

const QStringList kDefectColumns{QStringLiteral("Name"), QStringLiteral("Baugruppe")};

using testsupport::defect;

// Three watched lists like a document's, with model testers that check every signal the replay emits.
struct Lists {
    EntryList assemblies{{QStringLiteral("Name")}};
    EntryList catalog{kDefectColumns};
    EntryList defects{kDefectColumns};
    SortState catalogSort;
    QAbstractItemModelTester t1{&assemblies, QAbstractItemModelTester::FailureReportingMode::Fatal};
    QAbstractItemModelTester t2{&catalog, QAbstractItemModelTester::FailureReportingMode::Fatal};
    QAbstractItemModelTester t3{&defects, QAbstractItemModelTester::FailureReportingMode::Fatal};
    UndoRecorder recorder;

    Lists()
    {
        catalog.setSortRule(editing::catalogSortRule(catalogSort));
        assemblies.appendEntries({{"Dach", {}}, {"Fassade", {}}, {"Keller", {}}});
        catalog.appendEntries(
            {defect("Riss", "Fassade"), defect("Loch", "Dach"), defect("Ziegel", "Dach"), defect("Feucht", "Keller")});
        defects.appendEntries({defect("Alt", "Dach"), {"Ohne", {}}});
        recorder.watch(assemblies);
        recorder.watch(catalog);
        recorder.watch(defects);
    }
    // An entry without its sub-item shows as a difference too.
    QByteArray bytes() const { return testsupport::snapshot({&assemblies, &catalog, &defects}); }
};

struct Operation {
    const char *name;
    std::function<void(Lists &)> run;
};

const Operation kOperations[] = {
    {"append",
     [](Lists &l) {
         l.assemblies.append({"Baugruppe", {}});
     }},
    {"insert", [](Lists &l) { l.catalog.insert(1, defect("Neu", "Dach")); }},
    {"remove first", [](Lists &l) { l.catalog.removeAt(0); }},
    {"remove last", [](Lists &l) { l.catalog.removeAt(3); }},
    {"clear", [](Lists &l) { l.catalog.clear(); }},
    {"truncate", [](Lists &l) { l.catalog.truncate(1); }},
    {"rename", [](Lists &l) { l.defects.setCaption(0, "Neu"); }},
    {"rename in place", [](Lists &l) { l.assemblies.setData(l.assemblies.index(1, 0), QStringLiteral("Wand")); }},
    {"replace entry", [](Lists &l) { l.catalog.assignEntry(2, defect("Anders", "Keller")); }},
    {"move down", [](Lists &l) { l.catalog.move(0, 3); }},
    {"move up", [](Lists &l) { l.catalog.move(3, 1); }},
    {"sort",
     [](Lists &l) {
         l.catalog.beginUpdate();
         l.catalog.endUpdate();
     }},
    {"drop: insert a copy, remove the original, sort",
     [](Lists &l) {
         l.catalog.beginUpdate();
         l.catalog.insert(0, l.catalog.at(2));
         l.catalog.removeAt(3);
         l.catalog.endUpdate();
     }},
    {"import: append a batch and complete the sub-items",
     [](Lists &l) {
         l.defects.appendEntries({defect("A", "B"), {"C", {}}});
         for (int i = 0; i < l.defects.count(); ++i) {
             if (l.defects.at(i).subItemCount() == 0)
                 l.defects.appendSubItem(i, std::string());
         }
     }},
    {"sorted list gets a stray placed",
     [](Lists &l) {
         l.catalog.beginUpdate();
         l.catalog.endUpdate();
         l.catalog.append(defect("Balken", "Dach"));
         l.catalog.beginUpdate();
         l.catalog.endUpdate();
     }},
};

class EachOperation : public ::testing::TestWithParam<Operation> {};

} // namespace

TEST_P(EachOperation, undoRestoresAndRedoRepeatsItAsOneStep)
{
    Lists l;
    const QByteArray before = l.bytes();
    {
        UndoStep step(l.recorder, QStringLiteral("Schritt"));
        GetParam().run(l);
    }
    const QByteArray after = l.bytes();
    ASSERT_NE(after, before) << "the operation changes the lists";
    ASSERT_EQ(l.recorder.stack().count(), 1);
    EXPECT_EQ(l.recorder.stack().undoText(), QStringLiteral("Schritt"));

    for (int round = 0; round < 2; ++round) {
        l.recorder.undo();
        EXPECT_EQ(l.bytes(), before) << "undo, round " << round;
        l.recorder.redo();
        EXPECT_EQ(l.bytes(), after) << "redo, round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(UndoRecorder, EachOperation, ::testing::ValuesIn(kOperations), [](const auto &info) {
    std::string n;
    for (const char c : std::string(info.param.name))
        n += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return n;
});

TEST(UndoRecorder, aSequenceUndoneAndRedoneStepByStepPassesThroughEveryState)
{
    Lists l;
    std::vector<QByteArray> states{l.bytes()};
    for (const Operation &op : kOperations) {
        {
            UndoStep step(l.recorder, QString::fromLatin1(op.name));
            op.run(l);
            while (l.catalog.count() < 4) // keep the rows the next operation works on
                l.catalog.append(defect("Wieder " + std::to_string(l.catalog.count()), "Dach"));
        }
        states.push_back(l.bytes());
    }
    ASSERT_EQ(l.recorder.stack().count(), static_cast<int>(std::size(kOperations)));
    for (size_t k = states.size() - 1; k > 0; --k) {
        l.recorder.undo();
        ASSERT_EQ(l.bytes(), states[k - 1]) << "after undoing " << kOperations[k - 1].name;
    }
    EXPECT_FALSE(l.recorder.stack().canUndo());
    for (size_t k = 1; k < states.size(); ++k) {
        l.recorder.redo();
        ASSERT_EQ(l.bytes(), states[k]) << "after redoing " << kOperations[k - 1].name;
    }
}

TEST(UndoRecorder, changesOutsideAStepAreStepsNamedAfterTheirKind)
{
    Lists l;
    l.assemblies.setData(l.assemblies.index(0, 0), QStringLiteral("Dach")); // unchanged: no step
    EXPECT_EQ(l.recorder.stack().count(), 0);
    l.assemblies.setData(l.assemblies.index(0, 0), QStringLiteral("Giebel"));
    EXPECT_EQ(l.recorder.stack().undoText(), QStringLiteral("Umbenennen"));
    l.catalog.removeAt(0);
    EXPECT_EQ(l.recorder.stack().undoText(), QStringLiteral("Eintrag löschen"));
    {
        UndoStep outer(l.recorder, QStringLiteral("Außen"));
        UndoStep inner(l.recorder, QStringLiteral("Innen"));
        l.catalog.removeAt(0);
    }
    EXPECT_EQ(l.recorder.stack().undoText(), QStringLiteral("Außen")) << "the outermost bracket names the step";
    {
        UndoStep nothing(l.recorder, QStringLiteral("Nichts"));
    }
    EXPECT_EQ(l.recorder.stack().count(), 3) << "a bracket without a change leaves no step";
}

TEST(UndoRecorder, replayNamesTheListsItChanged)
{
    Lists l;
    QSignalSpy spy(&l.recorder, &UndoRecorder::replayed);
    {
        UndoStep step(l.recorder, QStringLiteral("Zwei Listen"));
        l.assemblies.removeAt(0);
        l.defects.clear();
    }
    l.recorder.undo();
    ASSERT_EQ(spy.count(), 1);
    const auto lists = spy.at(0).at(0).value<QList<EntryList *>>();
    EXPECT_EQ(lists, (QList<EntryList *>{&l.defects, &l.assemblies}));
}

TEST(UndoRecorder, replayNamesTheRowItLeftLastOrNoneAfterARemoval)
{
    // What each change's undo and redo leave in place: the entry's row, or none (-1).
    const struct {
        const char *change;
        std::function<void(Lists &)> run;
        EntryList Lists::*list;
        int afterUndo, afterRedo;
    } table[] = {
        {"append", [](Lists &l) { l.assemblies.append({"Baugruppe", {}}); }, &Lists::assemblies, -1, 3},
        {"remove", [](Lists &l) { l.catalog.removeAt(1); }, &Lists::catalog, 1, -1},
        {"rename", [](Lists &l) { l.defects.setCaption(1, "Neu"); }, &Lists::defects, 1, 1},
        {"move down", [](Lists &l) { l.catalog.move(0, 3); }, &Lists::catalog, 0, 2},
        {"move up", [](Lists &l) { l.catalog.move(3, 1); }, &Lists::catalog, 3, 1},
        {"clear", [](Lists &l) { l.assemblies.clear(); }, &Lists::assemblies, 0, -1},
        {"sort", [](Lists &l) { l.catalog.beginUpdate(); l.catalog.endUpdate(); }, &Lists::catalog, -1, -1},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.change);
        Lists l;
        row.run(l);
        QSignalSpy spy(&l.recorder, &UndoRecorder::rowReplayed);
        l.recorder.undo();
        l.recorder.redo();
        std::vector<int> rows;
        for (const QList<QVariant> &signal : spy) {
            EXPECT_EQ(signal.at(0).value<EntryList *>(), &(l.*row.list));
            rows.push_back(signal.at(1).toInt());
        }
        std::vector<int> expected;
        for (const int r : {row.afterUndo, row.afterRedo}) {
            if (r >= 0)
                expected.push_back(r);
        }
        EXPECT_EQ(rows, expected);
    }
}

TEST(UndoRecorder, aReplacedDocumentStartsAFreshHistoryAlsoInTheMiddleOfAStep)
{
    Lists l;
    l.catalog.removeAt(0);
    {
        UndoStep step(l.recorder, QStringLiteral("Eintrag löschen"));
        l.catalog.removeAt(0);
        {
            // A reload while the step's question is open replaces every list.
            FreshHistory fresh(l.recorder);
            l.catalog.assign({defect("Geladen", "Dach"), defect("Zweiter", "Dach")});
        }
        EXPECT_EQ(l.recorder.stack().count(), 0);
        l.catalog.removeAt(1);
    }
    ASSERT_EQ(l.recorder.stack().count(), 1) << "only the removal after the reload";
    l.recorder.undo();
    EXPECT_EQ(l.catalog.entries(), (std::vector<ListEntry>{defect("Geladen", "Dach"), defect("Zweiter", "Dach")}));

    FreshHistory nothingChanges(l.recorder);
    EXPECT_TRUE(l.recorder.stack().canRedo()) << "a load that changed nothing keeps the history";
}

TEST(UndoRecorder, noUndoWhileAStepIsBeingRecorded)
{
    Lists l;
    l.catalog.removeAt(0);
    UndoStep step(l.recorder, QStringLiteral("offen"));
    l.recorder.undo();
    EXPECT_EQ(l.catalog.count(), 3);
}

// Memory: what the history keeps of removed entries is the entries themselves, moved out of the list.
TEST(UndoRecorder, removingEveryEntryOneByOneOrClearingKeepsNoCopyOfTheList)
{
    constexpr int kCount = 20'000;
    const std::string longText(200, 'x'); // beyond the inline buffer of std::string
    const auto heap = [] { return static_cast<long long>(mallinfo2().uordblks); };

    // No model tester here: it would check every row after every change.
    struct {
        EntryList catalog{kDefectColumns};
        UndoRecorder recorder;
    } l;
    l.catalog.assign(std::vector<ListEntry>(kCount, defect(longText, longText)));
    l.recorder.watch(l.catalog);

    const long long start = heap();
    for (int i = l.catalog.count() - 1; i >= 0; --i) {
        UndoStep step(l.recorder, QStringLiteral("Eintrag löschen"));
        l.catalog.removeAt(i);
    }
    // The entries have moved from the list into the history: a few hundred bytes per step for the
    // step itself, where one copy of the list per step would be gigabytes.
    EXPECT_LT(heap() - start, 1024LL * kCount);
    ASSERT_EQ(l.recorder.stack().count(), kCount);

    while (l.recorder.stack().canUndo())
        l.recorder.undo();
    ASSERT_EQ(l.catalog.count(), kCount);
    l.recorder.clearHistory();

    const long long beforeClear = heap();
    {
        UndoStep step(l.recorder, QStringLiteral("Liste löschen"));
        l.catalog.clear();
    }
    EXPECT_LT(heap() - beforeClear, 4096) << "the cleared entries are kept once, moved";
    l.recorder.undo();
    EXPECT_EQ(l.catalog.count(), kCount);

    // An import completes the sub-items of its rows before it appends them; the history keeps no copy.
    l.catalog.clear();
    l.recorder.clearHistory();
    std::vector<ListEntry> imported(kCount, ListEntry{longText, {}});
    const long long beforeImport = heap();
    {
        UndoStep step(l.recorder, QStringLiteral("CSV Import"));
        for (ListEntry &entry : imported)
            entry.appendSubItem({});
        l.catalog.appendEntries(std::move(imported));
    }
    EXPECT_LT(heap() - beforeImport, 64LL * kCount) << "the empty sub-items, nothing more";
    l.recorder.undo();
    EXPECT_EQ(l.catalog.count(), 0);
    l.recorder.redo();
    ASSERT_EQ(l.catalog.count(), kCount);
    EXPECT_EQ(l.catalog.at(kCount - 1), (ListEntry{longText, {""}}));
}
