// Changing the report details is one step of the undo history, back and forth.
#include "editing/ReportDetailsStep.h"
#include "ScriptedPrompts.h"
#include "document/ListDocument.h"
#include "editing/UndoRecorder.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

TEST(ReportDetailsStep, oneStepUndoneAndRedone)
{
    ScriptedPrompts prompts;
    ListDocument doc(prompts);
    editing::UndoRecorder recorder;
    recorder.watch(doc.DefectList);
    ReportDetails before;
    before.Objekt = QStringLiteral("Halle");
    doc.setReportDetails(before);
    ReportDetails after = before;
    after.Objekt = QStringLiteral("Halle 2");
    after.Teilnehmer = QStringLiteral("Frau Groß\nHerr Weiß");

    QSignalSpy changed(&doc, &ListDocument::reportDetailsChanged);
    EXPECT_TRUE(editing::changeReportDetails(recorder, doc, after));
    EXPECT_EQ(doc.reportDetails(), after);
    ASSERT_EQ(recorder.stack().count(), 1);
    EXPECT_EQ(recorder.stack().undoText(), QStringLiteral("Berichtsangaben ändern"));

    recorder.undo();
    EXPECT_EQ(doc.reportDetails(), before);
    recorder.redo();
    EXPECT_EQ(doc.reportDetails(), after);
    EXPECT_EQ(changed.count(), 3);

    EXPECT_FALSE(editing::changeReportDetails(recorder, doc, after)) << "the same details are no change";
    EXPECT_EQ(recorder.stack().count(), 1);

    // A list change after it undoes first, then the details.
    doc.DefectList.append({"Riss", {"Fassade"}});
    recorder.undo();
    EXPECT_EQ(doc.DefectList.count(), 0);
    EXPECT_EQ(doc.reportDetails(), after);
    recorder.undo();
    EXPECT_EQ(doc.reportDetails(), before);
}

} // namespace
