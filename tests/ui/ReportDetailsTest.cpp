// The dialog "Berichtsangaben", its command in the window, and what the settings page adds to the
// printout.
#include "WindowFixture.h"
#include "ui/DialogPrompts.h"
#include "ui/ReportDetailsDialog.h"
#include "ui_MainUnit.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

ReportDetails sampleDetails()
{
    ReportDetails d;
    for (const ReportDetails::Field &f : ReportDetails::fields())
        d.*f.member = QStringLiteral("%1 ä\\ö").arg(QString::fromLatin1(f.key));
    d.Anschrift = QStringLiteral("Parkstraße 12\n12345 Musterstadt");
    d.Teilnehmer = QStringLiteral("Frau Groß\nHerr Weiß\nHerr Öz\nFrau Ulm\nHerr Abt");
    d.BegehungAm = QStringLiteral("01.12.2026");
    d.otherLines = {QStringLiteral("Wetter=sonnig")};
    return d;
}

QString textOf(QWidget *field)
{
    if (auto *line = qobject_cast<QLineEdit *>(field))
        return line->text();
    return qobject_cast<QPlainTextEdit *>(field)->toPlainText();
}

// Runs `act` on the next modal dialog once it is open.
void onNextDialog(std::function<void(ReportDetailsDialog &)> act)
{
    QTimer::singleShot(0, [act = std::move(act)] {
        auto *dialog = qobject_cast<ReportDetailsDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}

} // namespace

TEST(ReportDetailsDialog, fieldsInOrderWithTheirLabelsMnemonicsAndSpokenNames)
{
    ReportDetailsDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Berichtsangaben"));
    QStringList labels;
    for (const char *label : {"&Objekt:", "&Anschrift:", "Auftra&ggeber:", "Auftrag&nehmer:", "&Begehung am:",
                              "&Teilnehmer:", "&Prüfer:", "&Schlusstext:", "Unterschrift &links:",
                              "Unterschrift &rechts:"})
        labels << QString::fromUtf8(label);
    ASSERT_EQ(dialog.labels().size(), labels.size());
    ASSERT_EQ(dialog.fields().size(), labels.size());
    for (qsizetype i = 0; i < labels.size(); ++i) {
        EXPECT_EQ(dialog.labels()[i]->text(), labels[i]);
        EXPECT_EQ(dialog.labels()[i]->buddy(), dialog.fields()[i]);
        EXPECT_EQ(dialog.fields()[i]->accessibleName(), QString(labels[i]).remove(u'&').chopped(1));
        // One line where one is asked for, several for the address, participants and closing text.
        EXPECT_EQ(qobject_cast<QPlainTextEdit *>(dialog.fields()[i]) != nullptr, i == 1 || i == 5 || i == 7)
            << labels[i].toStdString();
    }
    // Tab walks the fields in their order.
    const auto nextTabStop = [](QWidget *w) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        return w;
    };
    for (qsizetype i = 1; i < labels.size(); ++i)
        EXPECT_EQ(nextTabStop(dialog.fields()[i - 1]), dialog.fields()[i]) << i;
    EXPECT_EQ(dialog.details(), ReportDetails{}) << "signature labels start as Auftraggeber and Auftragnehmer";
    EXPECT_EQ(textOf(dialog.fields()[8]), QStringLiteral("Auftraggeber"));
    EXPECT_EQ(textOf(dialog.fields()[9]), QStringLiteral("Auftragnehmer"));
}

TEST(ReportDetailsDialog, showsAndReturnsEveryFieldAndKeepsUnknownLines)
{
    ReportDetailsDialog dialog;
    const ReportDetails d = sampleDetails();
    dialog.setDetails(d);
    for (qsizetype i = 0; i < dialog.fields().size(); ++i)
        EXPECT_EQ(textOf(dialog.fields()[i]), d.*ReportDetails::fields()[size_t(i)].member);
    EXPECT_EQ(dialog.details(), d);
}

TEST(ReportDetailsDialog, theDateIsADateOrNothingAndNothingElsePasses)
{
    ReportDetailsDialog dialog;
    QLineEdit *date = dialog.dateField();
    const struct {
        const char *typed;
        const char *shown; // what the field holds after typing (letters are refused)
        bool ok;
    } rows[] = {
        {"", "", true},
        {"1.2.2026", "1.2.2026", true},
        {"31.12.2026", "31.12.2026", true},
        {"31.11.2026", "31.11.2026", false},
        {"12.20", "12.20", false},
        {"bald", "", true},
        {"1a.2.2026", "1.2.2026", true},
    };
    for (const auto &row : rows) {
        date->clear();
        QTest::keyClicks(date, QString::fromLatin1(row.typed));
        EXPECT_EQ(date->text(), QString::fromLatin1(row.shown)) << row.typed;
        EXPECT_EQ(dialog.okButton()->isEnabled(), row.ok) << row.typed;
        EXPECT_EQ(dialog.dateHint()->isHidden(), row.ok) << row.typed;
    }
    date->setText(QStringLiteral("1.2.2026"));
    EXPECT_EQ(dialog.details().BegehungAm, QStringLiteral("01.02.2026"));

    // A hand-edited file may hold a date that is none: shown as it is, OK only once it is mended.
    ReportDetails odd;
    odd.BegehungAm = QStringLiteral("nächste Woche");
    dialog.setDetails(odd);
    EXPECT_EQ(date->text(), odd.BegehungAm);
    EXPECT_FALSE(dialog.okButton()->isEnabled());
    EXPECT_FALSE(dialog.dateHint()->isHidden());
}

TEST(ReportDetailsDialog, theAddressTakesThreeLinesAtMost)
{
    ReportDetailsDialog dialog;
    auto *address = qobject_cast<QPlainTextEdit *>(dialog.fields()[1]);
    ASSERT_TRUE(address);
    QTest::keyClicks(address, QStringLiteral("A"));
    for (const char *line : {"B", "C", "D"}) {
        QTest::keyClick(address, Qt::Key_Return);
        QTest::keyClicks(address, QString::fromLatin1(line));
    }
    EXPECT_EQ(address->toPlainText(), QStringLiteral("A\nB\nCD"));
    address->clear();
    address->insertPlainText(QStringLiteral("Firma X\nHaus 2\nHof\n\n12345 Stadt\n"));
    EXPECT_EQ(address->toPlainText(), QStringLiteral("Firma X\nHaus 2\nHof, 12345 Stadt"));
}

TEST(ReportDetailsDialog, fitsTheScreen)
{
    QWidget parent;
    parent.show();
    ReportDetailsDialog dialog(&parent);
    dialog.setDetails(sampleDetails());
    dialog.show();
    QCoreApplication::processEvents();
    const QRect area = dialog.screen()->availableGeometry();
    EXPECT_LE(dialog.width(), area.width());
    EXPECT_LE(dialog.height(), area.height());
    EXPECT_TRUE(area.intersects(dialog.geometry()));
    EXPECT_TRUE(dialog.okButton()->isVisible());
}

TEST(ReportDetailsDialog, theRealPromptReturnsTheEntriesAfterOkAndNothingAfterAbbrechen)
{
    DialogPrompts prompts;
    onNextDialog([](ReportDetailsDialog &d) {
        qobject_cast<QLineEdit *>(d.fields()[0])->setText(QStringLiteral("Grundschule"));
        d.okButton()->click();
    });
    const std::optional<ReportDetails> entered = prompts.editReportDetails(sampleDetails());
    ASSERT_TRUE(entered);
    ReportDetails expected = sampleDetails();
    expected.Objekt = QStringLiteral("Grundschule");
    EXPECT_EQ(*entered, expected);

    onNextDialog([](ReportDetailsDialog &d) {
        qobject_cast<QLineEdit *>(d.fields()[0])->setText(QStringLiteral("Grundschule"));
        d.reject();
    });
    EXPECT_FALSE(prompts.editReportDetails(sampleDetails()));
}

namespace {

struct ReportWindow : WindowFixture {
    void SetUp() override { createWithStarter(); }
    QUndoStack &history() { return form->undoHistory().stack(); }
};

} // namespace

TEST_F(ReportWindow, okStoresTheEntriesAsOneUndoStepAndAbbrechenChangesNothing)
{
    prompts.detailEdits = {nullptr, [](ReportDetails &d) {
                               d.Objekt = QStringLiteral("Grundschule");
                               d.BegehungAm = QStringLiteral("01.12.2026");
                           }};
    form->ui().Berichtsangaben1->trigger();
    ASSERT_EQ(prompts.shownDetails.size(), 1u);
    EXPECT_EQ(prompts.shownDetails[0], ReportDetails{});
    EXPECT_EQ(doc().reportDetails(), ReportDetails{});
    EXPECT_EQ(history().count(), 0) << "Abbrechen";

    form->ui().Berichtsangaben1->trigger();
    EXPECT_EQ(doc().reportDetails().Objekt, QStringLiteral("Grundschule"));
    EXPECT_EQ(doc().reportDetails().BegehungAm, QStringLiteral("01.12.2026"));
    ASSERT_EQ(history().count(), 1);
    EXPECT_EQ(history().undoText(), QStringLiteral("Berichtsangaben ändern"));
    history().undo();
    EXPECT_EQ(doc().reportDetails(), ReportDetails{});
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ReportWindow, theSettingsPrueferStandsInButIsStoredOnlyWhenTheUserChangesIt)
{
    form->ui().PrueferEd->setText(QStringLiteral("Jörg Schäfer"));
    prompts.detailEdits = {[](ReportDetails &d) { d.Objekt = QStringLiteral("Halle"); },
                           [](ReportDetails &d) { d.Pruefer = QStringLiteral("Eva Roth"); }};
    form->Berichtsangaben1Click();
    EXPECT_EQ(prompts.shownDetails[0].Pruefer, QStringLiteral("Jörg Schäfer"));
    EXPECT_EQ(doc().reportDetails().Pruefer, QString()) << "kept as shown: it follows the settings";
    EXPECT_EQ(doc().reportDetails().Objekt, QStringLiteral("Halle"));

    form->Berichtsangaben1Click();
    EXPECT_EQ(doc().reportDetails().Pruefer, QStringLiteral("Eva Roth"));
    form->ui().PrueferEd->setText(QStringLiteral("Jemand anders"));
    form->Berichtsangaben1Click(); // Abbrechen
    EXPECT_EQ(prompts.shownDetails[2].Pruefer, QStringLiteral("Eva Roth")) << "the document's own wins";

    // A settings Prüfer alone is no change at all.
    prompts.detailEdits = {[](ReportDetails &) {}};
    doc().setReportDetails({});
    const int steps = history().count();
    form->Berichtsangaben1Click();
    EXPECT_EQ(doc().reportDetails(), ReportDetails{});
    EXPECT_EQ(history().count(), steps);
}

TEST_F(ReportWindow, thePrintoutCarriesTheDetailsFirmAndGroupingOnlyWithTheHeader)
{
    Ui::TMainForm &ui = form->ui();
    ReportDetails d;
    d.Objekt = QStringLiteral("Halle");
    d.Schlusstext = QStringLiteral("Bitte bis Ende Mai beseitigen.");
    doc().setReportDetails(d);
    ui.PrueferEd->setText(QStringLiteral(" Jörg Schäfer "));
    ui.FirmaEd->setText(QStringLiteral("Ingenieurbüro Schäfer"));
    ui.GliedernCheck->setChecked(true);
    EXPECT_FALSE(ui.GliedernCheck->isEnabled()) << "grouping acts only with the header";
    EXPECT_FALSE(form->printout().frame);

    ui.SeitenkopfCheck->setChecked(true);
    EXPECT_TRUE(ui.GliedernCheck->isEnabled());
    std::optional<PageFrame> frame = form->printout().frame;
    ASSERT_TRUE(frame);
    EXPECT_TRUE(frame->groupByAssembly);
    EXPECT_EQ(frame->report.firm, QStringLiteral("Ingenieurbüro Schäfer"));
    EXPECT_EQ(frame->report.objekt, QStringLiteral("Halle"));
    EXPECT_EQ(frame->report.pruefer, QStringLiteral("Jörg Schäfer"));
    EXPECT_EQ(frame->report.schlusstext, d.Schlusstext);
    EXPECT_EQ(frame->documentName, QStringLiteral("mängel"));

    ui.GliedernCheck->setChecked(false);
    EXPECT_FALSE(form->printout().frame->groupByAssembly);
    const StoredProps props = form->currentProps();
    EXPECT_EQ(props.pruefer, QStringLiteral(" Jörg Schäfer "));
    EXPECT_EQ(props.firma, QStringLiteral("Ingenieurbüro Schäfer"));
    EXPECT_FALSE(props.groupByAssembly);
}
