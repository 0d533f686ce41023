#include "WindowFixture.h"
#include "ui_MainUnit.h"

#include <QAccessible>
#include <QTabBar>
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
    const QString add = QStringLiteral("Eintrag hinzufügen"), remove = QStringLiteral("Eintrag entfernen"),
                  clear = QStringLiteral("Liste löschen");
    const std::vector<Stop> expected = withToolBar({
        {QStringLiteral("PlusLaedenBtn"), add},
        {QStringLiteral("MinusLaedenBtn"), remove},
        {QStringLiteral("DelList1"), clear},
        {QStringLiteral("ListView1"), QStringLiteral("Baugruppen")},
        {QStringLiteral("PlusProdukteBtn"), add},
        {QStringLiteral("MinusProdukteBtn"), remove},
        {QStringLiteral("DelList2"), clear},
        {QStringLiteral("PropEd"), QStringLiteral("Eintrag verändern")},
        {QStringLiteral("ListView2"), QStringLiteral("Mängel")},
        {QStringLiteral("UpdateFilterBtn"), QStringLiteral("Gefilterte Einträge aktualisieren")},
        {QStringLiteral("ListView4"), QStringLiteral("Mängel gefiltert")},
        {QStringLiteral("PlusEinkaufBtn"), add},
        {QStringLiteral("Hinzu2Btn"), QStringLiteral("Eintrag aus gefilterter Liste hinzufügen")},
        {QStringLiteral("MinusEinkaufBtn"), remove},
        {QStringLiteral("DelList3"), clear},
        {QStringLiteral("ListView3"), QStringLiteral("Mängelliste")},
    });
    EXPECT_EQ(tabChain(), expected);
}

TEST_F(Keyboard, settingsPage_tabVisitsTheFontButtonThenTheFourMargins)
{
    form->ui().PageControl1->setCurrentIndex(1);
    const std::vector<Stop> expected = withToolBar({
        {QStringLiteral("FontBtn"), QStringLiteral("Schriftart")},
        {QStringLiteral("leftREd"), QStringLiteral("Rand links")},
        {QStringLiteral("TopREd"), QStringLiteral("Rand oben")},
        {QStringLiteral("RightREd"), QStringLiteral("Rand rechts")},
        {QStringLiteral("BottomREd"), QStringLiteral("Rand unten")},
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
