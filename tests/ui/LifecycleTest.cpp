#include "WindowFixture.h"
#include "ui_MainUnit.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>


using testsupport::crlf;
using Answer = Prompts::Answer;

namespace {

const QString kBase = QStringLiteral("Quenbrik Mängelliste 1.0");
const QString kSaveQuestion = QStringLiteral("Wollen Sie die nicht gesicherten Daten speichern?");
const QString kReload =
    QStringLiteral("Die Datei mängel.mal im Programmverzeichnis wurde geändert. Soll die geänderte Datei geladen werden?");

using testsupport::fields;
using testsupport::MessageFields;
using testsupport::setFileTime;

using Lifecycle = WindowFixture;

} // namespace

TEST_F(Lifecycle, startWithTheDefaultFileShowsItsListsAndName)
{
    createWithStarter();
    EXPECT_EQ(form->windowTitle(), kBase + QStringLiteral(" - mängel.mal"));
    EXPECT_EQ(doc().AssemblyList.count(), 2);
    EXPECT_EQ(doc().DefectCatalog.count(), 3);
    EXPECT_EQ(status(), QStringLiteral("1 Mängel auf der Mängelliste; Gesamtpreis: 0,00 EUR"));
    EXPECT_TRUE(form->Timer1().isActive());
    EXPECT_EQ(form->Timer1().interval(), 1000);
    EXPECT_EQ(form->FilteredDefects().count(), 0) << "the load's assembly reports found an empty catalogue";
}

TEST_F(Lifecycle, startWithoutTheDefaultFileReportsItAndStartsUnnamed)
{
    create();
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("Konnte die Datei nicht öffnen.")});
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Fehler beim Öffnen"));
    EXPECT_EQ(form->windowTitle(), kBase);
    EXPECT_EQ(doc().DefaultFileAge, FileStamp::missing());
    EXPECT_EQ(status(), QStringLiteral("0 Mängel auf der Mängelliste; Gesamtpreis: 0,00"));

    prompts.clear();
    form->Speichern1Click();
    ASSERT_EQ(prompts.dialogs.size(), 1u) << "Save of an unnamed document asks for a name";
    EXPECT_EQ(prompts.dialogs[0].filter, QStringLiteral("Mängellisten (*.mal)"));
    EXPECT_EQ(prompts.dialogs[0].defaultSuffix, QStringLiteral("mal"));
    EXPECT_TRUE(prompts.dialogs[0].confirmOverwrite);
}

TEST_F(Lifecycle, newAsksEveryTimeAndEmptiesTheDocument)
{
    createWithStarter();
    prompts.answers = {Answer::No};
    form->Neu1Click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(fields(prompts.messages[0]), (MessageFields{QStringLiteral("Datei: Neu..."), kSaveQuestion,
                                                          Prompts::Icon::Question, Prompts::Buttons::YesNoCancel}));
    EXPECT_EQ(prompts.messages[0].defaultButton, Answer::Yes);
    EXPECT_EQ(form->windowTitle(), kBase + QStringLiteral(" - Kein Name"));
    EXPECT_EQ(doc().AssemblyList.count() + doc().DefectCatalog.count() + doc().DefectList.count(), 0);
    EXPECT_TRUE(doc().CurrentFileName().isEmpty());
    EXPECT_EQ(status(), QStringLiteral("0 Mängel auf der Mängelliste; Gesamtpreis: 0,00"));

    prompts.clear();
    prompts.answers = {Answer::Cancel};
    form->Neu1Click();
    EXPECT_EQ(prompts.messages.size(), 1u) << "asked again although nothing changed";
}

TEST_F(Lifecycle, yesSavesToTheCurrentFileWithoutADialog)
{
    createWithStarter();
    doc().AssemblyList.append({"Keller", {}});
    prompts.answers = {Answer::Yes};
    form->Neu1Click();
    EXPECT_TRUE(prompts.dialogs.empty());
    EXPECT_TRUE(testsupport::readFile(defaultFile()).startsWith("3\r\nDach\r\nFassade\r\nKeller\r\n"));
    EXPECT_EQ(doc().AssemblyList.count(), 0);
}

TEST_F(Lifecycle, cancellingTheSaveDialogOrAFailedSaveStopsEveryCommand)
{
    create(); // unnamed
    doc().AssemblyList.append({"A", {}});
    for (int round = 0; round < 2; ++round) {
        const bool failSave = round == 1;
        auto answer = [&] {
            prompts.answers.push_back(Answer::Yes);
            prompts.files.push_back(failSave ? std::optional<QString>(path(QStringLiteral("fehlt/x.mal"))) : std::nullopt);
        };
        answer();
        form->Neu1Click();
        EXPECT_EQ(doc().AssemblyList.count(), 1) << "New stopped";
        answer();
        form->ffnen1Click();
        answer();
        EXPECT_FALSE(form->close()) << "the window stays open";
        EXPECT_EQ(prompts.dialogs.size(), size_t(3 * (round + 1))) << "no open dialog after the stop";
    }
    EXPECT_EQ(prompts.texts().count(QStringLiteral("Konnte die Datei nicht erstellen.")), 3);
}

TEST_F(Lifecycle, openLoadsTheChosenFileAndCancelKeepsTheDocument)
{
    createWithStarter();
    prompts.answers = {Answer::No};
    form->ffnen1Click(); // open dialog cancelled
    EXPECT_EQ(doc().AssemblyList.count(), 2);
    EXPECT_EQ(prompts.dialogs.size(), 1u);
    EXPECT_FALSE(prompts.dialogs[0].confirmOverwrite);

    testsupport::writeFile(path(QStringLiteral("b.mal")), crlf({"1", "Dach", "0", "0"}));
    prompts.answers = {Answer::No};
    prompts.files = {path(QStringLiteral("b.mal"))};
    form->ffnen1Click();
    EXPECT_EQ(doc().AssemblyList.count(), 1);
    EXPECT_EQ(form->windowTitle(), kBase + QStringLiteral(" - b.mal"));
}

TEST_F(Lifecycle, saveAsNamesTheDocument)
{
    createWithStarter();
    prompts.files = {path(QStringLiteral("neu.mal"))};
    form->Speichernunter1Click();
    EXPECT_EQ(form->windowTitle(), kBase + QStringLiteral(" - neu.mal"));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("neu.mal"))));
    form->Speichernunter1Click(); // cancelled: nothing happens
    EXPECT_EQ(doc().CurrentFileName(), path(QStringLiteral("neu.mal")));
}

TEST_F(Lifecycle, exitClosesAfterTheCloseQueryAllowsIt)
{
    createWithStarter();
    form->show();
    QSignalSpy allowed(form.get(), &TMainForm::closeAllowed);
    prompts.answers = {Answer::Cancel};
    form->Beenden1Click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(allowed.count(), 0);
    EXPECT_EQ(prompts.messages.back().caption, QStringLiteral("Datei: Beenden..."));

    prompts.answers = {Answer::No};
    form->Beenden1Click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(allowed.count(), 1);
}

TEST_F(Lifecycle, theWatchAsksOnceForEveryChangeOfTheDefaultFile)
{
    createWithStarter();
    form->Timer1Timer();
    EXPECT_TRUE(prompts.messages.empty()) << "no change, no question";

    writeDefault(crlf({"1", "Neu", "0", "0"}));
    setFileTime(defaultFile(), 1000000000);
    prompts.answers = {Answer::No};
    form->Timer1Timer();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(fields(prompts.messages[0]), (MessageFields{QStringLiteral("Neu laden"), kReload, Prompts::Icon::None,
                                                          Prompts::Buttons::YesNoCancel}));
    EXPECT_EQ(doc().AssemblyList.count(), 2) << "No keeps the document";
    form->Timer1Timer();
    EXPECT_EQ(prompts.messages.size(), 1u) << "quiet until the next change";

    setFileTime(defaultFile(), 1000000100);
    prompts.answers = {Answer::Yes};
    form->Timer1Timer();
    EXPECT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(captions(doc().AssemblyList), std::vector<std::string>{"Neu"});
    EXPECT_FALSE(doc().WatchBusy());
}

TEST_F(Lifecycle, aBusyTickReturnsAtOnceAndOwnSavesNeverAsk)
{
    createWithStarter();
    setFileTime(defaultFile(), 1000000000);
    prompts.answers = {Answer::No};
    prompts.whileOpen = [this] {
        EXPECT_TRUE(doc().WatchBusy());
        form->Timer1Timer();
    };
    form->Timer1Timer();
    EXPECT_EQ(prompts.messages.size(), 1u) << "a tick while the question is open returns at once";
    prompts.clear();

    prompts.files = {defaultFile()};
    prompts.answers = {Answer::Yes}; // replace it
    form->Speichernunter1Click();
    form->Timer1Timer();
    EXPECT_EQ(prompts.captions(), QStringList{QStringLiteral("Speichern unter")})
        << "no reload question: the program's own save is no change";
}

TEST_F(Lifecycle, aDeletedDefaultFileAsksAndYesKeepsTheDocument)
{
    createWithStarter();
    ASSERT_TRUE(QFile::remove(defaultFile()));
    prompts.answers = {Answer::Yes};
    form->Timer1Timer();
    EXPECT_EQ(prompts.texts(), (QStringList{kReload, QStringLiteral("Konnte die Datei nicht öffnen.")}));
    EXPECT_EQ(doc().AssemblyList.count(), 2) << "a file that cannot be opened leaves the document";
    EXPECT_EQ(form->windowTitle(), kBase + QStringLiteral(" - mängel.mal"));
    form->Timer1Timer();
    EXPECT_EQ(prompts.messages.size(), 2u);
}

TEST_F(Lifecycle, theReloadQuestionIsNeverAskedTwiceAtATime)
{
    // Ticks keep arriving from the question's own event loop while the file keeps changing.
    ScriptedWindowPrompts ticking;
    writeDefault(starter());
    TMainForm watched(ticking, dir.path(), makeStore());
    ticking.answers = {Answer::No};
    ticking.whileOpen = [&] {
        for (int i = 0; i < 20; ++i) {
            setFileTime(defaultFile(), 1000000000 + 10 * i);
            watched.Timer1Timer();
        }
    };
    setFileTime(defaultFile(), 999999000);
    watched.Timer1Timer();
    EXPECT_EQ(ticking.messages.size(), 1u);
    EXPECT_EQ(ticking.maxOpen, 1);
}

TEST_F(Lifecycle, everyCommandIsWiredToItsControl)
{
    createWithStarter();
    auto &ui = form->ui();
    struct Case {
        std::function<void()> trigger;
        QString caption;
    };
    const std::vector<Case> cases = {
        {[&] { ui.Neu1->trigger(); }, QStringLiteral("Datei: Neu...")},
        {[&] { form->toolButton(1)->click(); }, QStringLiteral("Datei: Neu...")},
        {[&] { ui.ffnen1->trigger(); }, QStringLiteral("Datei: Öffnen...")},
        {[&] { form->toolButton(2)->click(); }, QStringLiteral("Datei: Öffnen...")},
        {[&] { ui.Beenden1->trigger(); }, QStringLiteral("Datei: Beenden...")},
        {[&] { form->toolButton(11)->click(); }, QStringLiteral("Datei: Beenden...")},
        {[&] { ui.DelList1->click(); }, QStringLiteral("Liste löschen")},
        {[&] { ui.DelList2->click(); }, QStringLiteral("Liste löschen")},
        {[&] { ui.DelList3->click(); }, QStringLiteral("Liste löschen")},
        {[&] { ui.MinusLaedenBtn->click(); }, QStringLiteral("Kein Eintrag ausgewählt")},
        {[&] { ui.MinusProdukteBtn->click(); }, QStringLiteral("Kein Eintrag ausgewählt")},
        {[&] { ui.MinusEinkaufBtn->click(); }, QStringLiteral("Kein Eintrag ausgewählt")},
        {[&] { ui.PlusProdukteBtn->click(); }, QStringLiteral("Kein Laden ausgewählt")},
        {[&] { ui.PlusEinkaufBtn->click(); }, QStringLiteral("Kein Mangel ausgewählt")},
        {[&] { ui.Hinzu2Btn->click(); }, QStringLiteral("Kein Mangel ausgewählt")},
    };
    for (const Case &c : cases) {
        prompts.clear();
        prompts.answers = {Answer::Cancel};
        c.trigger();
        ASSERT_FALSE(prompts.messages.empty()) << c.caption.toStdString();
        EXPECT_EQ(prompts.messages[0].caption, c.caption);
    }

    prompts.clear();
    ui.Speichern1->trigger();
    form->toolButton(3)->click();
    EXPECT_TRUE(prompts.dialogs.empty()) << "Save of a named document asks nothing";
    ui.Speichernunter1->trigger();
    form->toolButton(4)->click();
    EXPECT_EQ(prompts.dialogs.size(), 2u);

    ui.PlusLaedenBtn->click();
    EXPECT_EQ(doc().AssemblyList.count(), 3);
    ui.UpdateFilterBtn->click();
    EXPECT_EQ(form->FilteredDefects().count(), 0) << "the new assembly has no defects";
    form->ListView1()->finishEditing();
}

TEST_F(Lifecycle, theWindowIsLaidOutAsDesigned)
{
    createWithStarter();
    auto &ui = form->ui();
    EXPECT_EQ(ui.PageControl1->tabText(0), QStringLiteral("Baugruppen && Mängel && Mängelliste"));
    EXPECT_EQ(ui.PageControl1->currentIndex(), 0);
    EXPECT_EQ(ui.Datei1->actions().size(), 17);
    for (QSpinBox *spin : {ui.leftREd, ui.TopREd, ui.RightREd, ui.BottomREd}) {
        EXPECT_EQ(spin->value(), 15);
        EXPECT_EQ(spin->minimum(), 0);
        EXPECT_EQ(spin->maximum(), 50);
        spin->setValue(80);
        EXPECT_EQ(spin->value(), 50);
    }
    form->show(); // the first showing fits the start place to the test screen
    form->resize(1200, 600);
    QCoreApplication::processEvents();
    EXPECT_EQ(ui.Panel1Laeden->width(), 145);
    EXPECT_EQ(ui.Panel1Produkte->width(), 269);
    EXPECT_EQ(ui.Panel11->width(), 213);
    const int wide = ui.Panel7->width();
    form->resize(1000, 600);
    QCoreApplication::processEvents();
    EXPECT_EQ(ui.Panel1Laeden->width(), 145) << "only the defect list widens and narrows";
    EXPECT_EQ(ui.Panel7->width(), wide - 200);
}

TEST_F(Lifecycle, theWindowHasItsPicturesAndIconsAsItIsMade)
{
    createWithStarter();
    auto &ui = form->ui();
    EXPECT_FALSE(ui.Image1->pixmap().isNull()) << "the picture on the settings page";
    EXPECT_FALSE(ui.FontBtn->icon().isNull()) << "the font button's icon";
    for (int number : {1, 2, 3, 4, 7, 11})
        EXPECT_FALSE(form->toolButton(number)->icon().isNull()) << "tool button " << number;
    for (QAction *action : {ui.Neu1, ui.ffnen1, ui.Speichern1, ui.Speichernunter1, ui.Drucken1, ui.Beenden1})
        EXPECT_FALSE(action->icon().isNull()) << action->objectName().toStdString();
}
