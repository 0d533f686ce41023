// GCC sees the scripted prompts' queue of optional names as maybe uninitialised in this file alone.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include "WindowFixture.h"
#pragma GCC diagnostic pop
#include "editing/UndoRecorder.h"
#include "ui/SearchField.h"
#include "ui_MainUnit.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

const QString kOpen = QStringLiteral(" Mängel auf der Mängelliste ; Gesamtpreis: ");

// The starter document (Riss/Fassade, Loch/Dach, Ziegel/Dach) in a shown, active window.
struct Search : WindowFixture {
    void SetUp() override
    {
        createWithStarter();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    SearchField &field() { return *form->searchField(); }
    QLineEdit &edit() { return *field().edit(); }
    // The captions of the catalogue rows the view shows.
    std::vector<std::string> shownRows()
    {
        std::vector<std::string> out;
        const QAbstractItemModel &rows = *form->ListView2()->model();
        for (int row = 0; row < rows.rowCount(); ++row)
            out.push_back(rows.index(row, 0).data().toString().toStdString());
        return out;
    }
    using Rows = std::vector<std::string>;
};

} // namespace

TEST_F(Search, typingHidesRowsOnlyAndEscapeShowsThemAgain)
{
    EXPECT_EQ(edit().placeholderText(), QStringLiteral("Suchen (Strg+F)"));
    EXPECT_EQ(edit().accessibleName(), QStringLiteral("Suchen"));
    QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), &edit());
    QTest::keyClicks(&edit(), QStringLiteral("DACH"));
    EXPECT_EQ(shownRows(), (Rows{"Loch", "Ziegel"})) << "found in the assembly";
    EXPECT_EQ(field().countLabel()->text(), QStringLiteral("2 von 3"));
    EXPECT_EQ(captions(doc().DefectCatalog), (Rows{"Riss", "Loch", "Ziegel"}));
    QTest::keyClick(&edit(), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), form->ListView2());
    EXPECT_EQ(form->ListView2()->selectedRow(), 1);
    // Nothing found: the columns keep their widths.
    const int width = form->ListView2()->header()->sectionSize(0);
    QTest::keyClicks(&edit(), QStringLiteral("xyz"));
    EXPECT_EQ(shownRows(), Rows{});
    EXPECT_EQ(form->ListView2()->header()->sectionSize(0), width);
    QTest::keyClick(&edit(), Qt::Key_Escape);
    EXPECT_EQ(edit().text(), QString());
    EXPECT_EQ(shownRows(), (Rows{"Riss", "Loch", "Ziegel"}));
    EXPECT_EQ(field().countLabel()->text(), QString());

    // The clear button shows while there is text, and empties the field.
    auto *clear = edit().findChild<QAction *>(QStringLiteral("SearchClear"));
    ASSERT_NE(clear, nullptr);
    EXPECT_FALSE(clear->isVisible());
    QTest::keyClicks(&edit(), QStringLiteral("riss"));
    EXPECT_TRUE(clear->isVisible());
    clear->trigger();
    EXPECT_EQ(edit().text(), QString());
    EXPECT_FALSE(clear->isVisible());
    EXPECT_EQ(shownRows(), (Rows{"Riss", "Loch", "Ziegel"}));
}

TEST_F(Search, theHiddenSelectionIsClearedSoCommandsActOnShownRowsOnly)
{
    form->ListView2()->selectRow(0); // Riss
    field().search(QStringLiteral("ziegel"));
    EXPECT_EQ(form->ListView2()->selectedRow(), -1);
    form->ui().MinusProdukteBtn->click();
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("Sie haben keinen Eintrag ausgewählt.")});
    form->PropEdClick();
    form->PlusEinkaufBtnClick();
    EXPECT_EQ(captions(doc().DefectCatalog), (Rows{"Riss", "Loch", "Ziegel"}));
    EXPECT_EQ(captions(doc().DefectList), (Rows{"Alt"}));

    // A shown selection stays and is what the commands take.
    form->ListView2()->selectRow(2);
    field().search(QStringLiteral("zie"));
    EXPECT_EQ(form->ListView2()->selectedRow(), 2);
}

TEST_F(Search, theSavedFileIsTheSameWithAndWithoutASearch)
{
    form->Speichern1Click();
    const QByteArray plain = testsupport::readFile(defaultFile());
    field().search(QStringLiteral("i"));
    form->Speichern1Click();
    EXPECT_EQ(testsupport::readFile(defaultFile()), plain);
}

TEST_F(Search, changesOfTheListKeepTheSearchApplied)
{
    field().search(QStringLiteral("i"));
    EXPECT_EQ(shownRows(), (Rows{"Riss", "Ziegel"}));
    form->ListView2ColumnClick(0); // descending: Ziegel, Riss, Loch
    EXPECT_EQ(shownRows(), (Rows{"Ziegel", "Riss"}));
    doc().DefectCatalog.append({"Schimmel", {"Keller"}});
    doc().DefectCatalog.append({"Moos", {"Dach"}});
    doc().DefectCatalog.setCaption(2, std::string("Loch im Dach"));
    EXPECT_EQ(shownRows(), (Rows{"Ziegel", "Riss", "Loch im Dach", "Schimmel"}));
    EXPECT_EQ(field().countLabel()->text(), QStringLiteral("4 von 5"));
    doc().DefectCatalog.removeAt(1);
    EXPECT_EQ(shownRows(), (Rows{"Ziegel", "Loch im Dach", "Schimmel"}));
    field().search({});
    doc().DefectCatalog.insert(0, ListEntry{"Riss", {"Fassade"}});
    field().search(QStringLiteral("moos"));
    EXPECT_EQ(shownRows(), (Rows{"Moos"})) << "indexed again after a change while no text was set";
}

TEST_F(Search, returnPicksWithoutTheEditorAndKeepsTheFocus)
{
    field().search(QStringLiteral("a"));
    edit().setFocus();
    QTest::keyClick(&edit(), Qt::Key_Return); // Riss, Fassade: the first match
    EXPECT_EQ(captions(doc().DefectList), (Rows{"Alt", "Riss"}));
    EXPECT_FALSE(form->ListView3()->isEditing());
    EXPECT_EQ(QApplication::focusWidget(), &edit());
    EXPECT_EQ(edit().selectedText(), QStringLiteral("a"));
    EXPECT_EQ(status(), QStringLiteral("2") + kOpen + QStringLiteral("0,00 EUR"));
    form->ListView2()->selectRow(2); // a shown selection goes first
    QTest::keyClick(&edit(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(doc().DefectList.at(2), (ListEntry{"Ziegel", {"Dach"}}));
    form->undoHistory().undo();
    EXPECT_EQ(captions(doc().DefectList), (Rows{"Alt", "Riss"})) << "one step each";

    QTest::keyClicks(&edit(), QStringLiteral("nichts"));
    QTest::keyClick(&edit(), Qt::Key_Return);
    EXPECT_EQ(captions(doc().DefectList), (Rows{"Alt", "Riss"}));
    EXPECT_TRUE(prompts.texts().isEmpty());
}

TEST_F(Search, byKeyboardOnly)
{
    QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("LOCH"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ziegel"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(testsupport::readFile(defaultFile()).contains("3\r\nAlt\r\nDach\r\nLoch\r\nDach\r\nZiegel\r\nDach\r\n"));
}
