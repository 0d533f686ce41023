#include "ScriptedPrompts.h"
#include "TestSupport.h"
#include "document/CatalogMerge.h"
#include "document/ListDocument.h"
#include "editing/StepNames.h"
#include "editing/UndoRecorder.h"
#include "editing/UndoStep.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::crlf;
using testsupport::defect;
using testsupport::snapshot;

// The take-over as the window runs it: one step of the history, none when nothing is new.
TEST(CatalogTakeOverUndo, isOneStepThatUndoesAsAWhole)
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    ListDocument doc(prompts);
    doc.AssemblyList.appendEntries({{"Dach", {}}});
    doc.DefectCatalog.appendEntries({defect("Riss", "Dach")});
    editing::UndoRecorder recorder;
    for (EntryList *list : {&doc.AssemblyList, &doc.DefectCatalog, &doc.DefectList})
        recorder.watch(*list);
    const auto takeOver = [&](const QByteArray &bytes) {
        const QString path = dir.filePath(QStringLiteral("katalog.mal"));
        testsupport::writeFile(path, bytes);
        editing::UndoStep step(recorder, editing::stepname::takeOverCatalog());
        return catalogmerge::takeOver(doc, path, prompts);
    };
    const QByteArray before = snapshot({&doc.AssemblyList, &doc.DefectCatalog, &doc.DefectList});

    EXPECT_EQ(takeOver(crlf({"1", "Dach", "1", "Riss", "Dach", "0"})), (catalogmerge::Counts{0, 0}));
    EXPECT_EQ(recorder.stack().count(), 0) << "nothing new, no step";

    EXPECT_EQ(takeOver(crlf({"2", "Keller", "Dach", "2", "Riss", "Keller", "Fleck", "Dach", "0"})),
              (catalogmerge::Counts{1, 2}));
    ASSERT_EQ(recorder.stack().count(), 1);
    EXPECT_EQ(recorder.stack().undoText(), QStringLiteral("Katalog übernehmen"));
    const QByteArray after = snapshot({&doc.AssemblyList, &doc.DefectCatalog, &doc.DefectList});
    recorder.undo();
    EXPECT_EQ(snapshot({&doc.AssemblyList, &doc.DefectCatalog, &doc.DefectList}), before);
    recorder.redo();
    EXPECT_EQ(snapshot({&doc.AssemblyList, &doc.DefectCatalog, &doc.DefectList}), after);
}
