#include "WindowFixture.h"
#include "ui/AnleitungUnit.h"
#include "ui_MainUnit.h"

#include <QAccessible>
#include <QMenu>
#include <QTabBar>
#include <QTextBrowser>
#include <QTest>

#include <utility>
#include <vector>

namespace {

// A widget the focus passed through: its object name and the name a screen reader announces.
using Stop = std::pair<QString, QString>;

QString spokenName(QWidget *w)
{
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name) : QString();
}

struct Keyboard : WindowFixture {
    void SetUp() override
    {
        createWithStarter();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // Presses Tab from the page's tab bar until the focus comes back to it, and lists the widgets
    // the focus passed through.
    std::vector<Stop> tabChain()
    {
        QWidget *start = form->ui().PageControl1->tabBar();
        start->setFocus(Qt::TabFocusReason);
        std::vector<Stop> stops;
        for (int i = 0; i < 60; ++i) {
            QWidget *focus = QApplication::focusWidget();
            if (!focus)
                break;
            QTest::keyClick(focus, Qt::Key_Tab);
            focus = QApplication::focusWidget();
            if (!focus || focus == start)
                break;
            stops.emplace_back(focus->objectName(), spokenName(focus));
        }
        return stops;
    }
};

const std::vector<Stop> kToolBar{{QStringLiteral("ToolButton1"), QStringLiteral("Neu")},
                                 {QStringLiteral("ToolButton2"), QStringLiteral("Öffnen...")},
                                 {QStringLiteral("ToolButton3"), QStringLiteral("Speichern")},
                                 {QStringLiteral("ToolButton4"), QStringLiteral("Speichern unter...")},
                                 {QStringLiteral("ToolButton7"), QStringLiteral("Drucken...")},
                                 {QStringLiteral("ToolButton11"), QStringLiteral("Beenden")}};

std::vector<Stop> withToolBar(std::vector<Stop> page)
{
    page.insert(page.end(), kToolBar.begin(), kToolBar.end());
    return page;
}

} // namespace

TEST_F(Keyboard, listPage_tabVisitsEachPanelsButtonsThenItsListLeftToRight)
{
    const std::vector<Stop> expected = withToolBar({
        {QStringLiteral("PlusLaedenBtn"), QStringLiteral("Baugruppe hinzufügen")},
        {QStringLiteral("MinusLaedenBtn"), QStringLiteral("Baugruppe entfernen")},
        {QStringLiteral("DelList1"), QStringLiteral("Alle Baugruppen löschen")},
        {QStringLiteral("ListView1"), QStringLiteral("Baugruppen")},
        {QStringLiteral("PlusProdukteBtn"), QStringLiteral("Mangel in den Katalog aufnehmen")},
        {QStringLiteral("MinusProdukteBtn"), QStringLiteral("Mangel aus dem Katalog entfernen")},
        {QStringLiteral("DelList2"), QStringLiteral("Alle Mängel des Katalogs löschen")},
        {QStringLiteral("PropEd"), QStringLiteral("Mangel im Katalog bearbeiten")},
        {QStringLiteral("SearchEdit"), QStringLiteral("Suchen")},
        {QStringLiteral("ListView2"), QStringLiteral("Mängel")},
        {QStringLiteral("UpdateFilterBtn"), QStringLiteral("Gefilterte Mängel aktualisieren")},
        {QStringLiteral("ListView4"), QStringLiteral("Mängel gefiltert")},
        {QStringLiteral("PlusEinkaufBtn"), QStringLiteral("Mangel aus dem Katalog in die Mängelliste übernehmen")},
        {QStringLiteral("Hinzu2Btn"), QStringLiteral("Mangel aus der gefilterten Liste in die Mängelliste übernehmen")},
        {QStringLiteral("MinusEinkaufBtn"), QStringLiteral("Eintrag aus der Mängelliste entfernen")},
        {QStringLiteral("DelList3"), QStringLiteral("Ganze Mängelliste löschen")},
        {QStringLiteral("ListView3"), QStringLiteral("Mängelliste")},
    });
    EXPECT_EQ(tabChain(), expected);
}

TEST_F(Keyboard, settingsPage_tabVisitsTheFontButtonThenTheFourMargins)
{
    form->ui().PageControl1->setCurrentIndex(1);
    const std::vector<Stop> expected = withToolBar({
        {QStringLiteral("FontBtn"), QStringLiteral("Schriftart für den Ausdruck")},
        {QStringLiteral("leftREd"), QStringLiteral("Rand links in mm")},
        {QStringLiteral("TopREd"), QStringLiteral("Rand oben in mm")},
        {QStringLiteral("RightREd"), QStringLiteral("Rand rechts in mm")},
        {QStringLiteral("BottomREd"), QStringLiteral("Rand unten in mm")},
        {QStringLiteral("SeitenkopfCheck"), QStringLiteral("Seitenkopf und Seitenzahlen")},
        {QStringLiteral("PrueferEd"), QStringLiteral("Prüfer")},
        {QStringLiteral("FirmaEd"), QStringLiteral("Firma")},
    });
    EXPECT_EQ(tabChain(), expected);
}

TEST_F(Keyboard, ctrlTabSwitchesBetweenTheListPageAndTheSettingsPage)
{
    form->ListView1()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form->ListView1(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(form->ui().PageControl1->currentIndex(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(form->ui().PageControl1->currentIndex(), 0);
}

TEST_F(Keyboard, listView_tabLeavesTheViewAndKeepsItsSelection)
{
    form->ListView2()->selectRow(0);
    form->ListView2()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form->ListView2(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->ui().UpdateFilterBtn);
    EXPECT_EQ(form->ListView2()->selectedRow(), 0);
}

namespace {

// The letter after a single "&" of a menu text, lower-cased; empty when there is none.
QString mnemonic(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] != u'&')
            return text.mid(i + 1, 1).toLower();
        ++i;
    }
    return {};
}

} // namespace

TEST_F(Keyboard, fileCommands_haveTheirShortcutsAndTheKeysTriggerThem)
{
    Ui::TMainForm &ui = form->ui();
    const std::pair<QAction *, QKeySequence> table[] = {
        {ui.Neu1, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {ui.ffnen1, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {ui.Speichern1, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {ui.Speichernunter1, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {ui.Drucken1, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {ui.Beenden1, QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {ui.Anleitung1, QKeySequence(Qt::Key_F1)},
    };
    // New, Open and Exit ask to save first: Cancel keeps the window as it is.
    prompts.answers = {Prompts::Answer::Cancel, Prompts::Answer::Cancel, Prompts::Answer::Cancel};
    form->ListView3()->setFocus(Qt::OtherFocusReason);
    for (const auto &[action, keys] : table) {
        SCOPED_TRACE(action->objectName().toStdString());
        // The menu shows the action's shortcut beside its text.
        EXPECT_EQ(action->shortcut(), keys);
        int triggered = 0;
        const auto c = QObject::connect(action, &QAction::triggered, [&triggered] { ++triggered; });
        const QKeyCombination key = keys[0];
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        QObject::disconnect(c);
        EXPECT_EQ(triggered, 1);
    }
    EXPECT_TRUE(form->isVisible());
}

TEST_F(Keyboard, menus_everyItemHasAMnemonicOfItsOwn)
{
    for (QMenu *menu : {form->ui().Datei1, form->ui().Hilfe1}) {
        QStringList seen;
        for (QAction *action : menu->actions()) {
            if (action->isSeparator())
                continue;
            const QString letter = mnemonic(action->text());
            EXPECT_FALSE(letter.isEmpty()) << action->text().toStdString();
            EXPECT_FALSE(seen.contains(letter)) << action->text().toStdString();
            seen << letter;
        }
    }
    EXPECT_EQ(form->ui().CSVExport1->text().remove(u'&'), QStringLiteral("CSV Export..."));
    EXPECT_EQ(form->ui().CSVImport1->text().remove(u'&'), QStringLiteral("CSV Import..."));
}

TEST_F(Keyboard, f2_opensTheEditorOnTheSelectedEntryOfTheFocusedList)
{
    for (ListView *view : {form->ListView1(), form->ListView2(), form->ListView3()}) {
        SCOPED_TRACE(view->objectName().toStdString());
        view->selectRow(0);
        view->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(view, Qt::Key_F2);
        EXPECT_TRUE(view->isEditing());
        view->finishEditing();
    }
}

TEST_F(Keyboard, guide_showsTheMarkdownBesideTheProgramOrSaysItIsMissing)
{
    form->Anleitung1Click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Anleitung"));
    EXPECT_TRUE(prompts.messages[0].text.startsWith(QStringLiteral("Die Anleitung „")));
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("Anleitung.md")));
    EXPECT_EQ(form->findChild<TAnleitungForm *>(), nullptr);

    testsupport::writeFile(path(QStringLiteral("Anleitung.md")), "# Mängelliste\n\nDer **Katalog** der Mängel.\n");
    form->Anleitung1Click();
    form->Anleitung1Click();
    const QList<TAnleitungForm *> guides = form->findChildren<TAnleitungForm *>();
    ASSERT_EQ(guides.size(), 1);
    EXPECT_TRUE(guides[0]->isVisible());
    EXPECT_EQ(guides[0]->browser()->toPlainText(), QStringLiteral("Mängelliste\nDer Katalog der Mängel."));
    EXPECT_EQ(prompts.messages.size(), 1u);
}
