#include "WindowFixture.h"
#include "ui/ArtikelFUnit.h"
#include "ui/DialogPrompts.h"
#include "ui_MainUnit.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using Answer = Prompts::Answer;

namespace {

const QString kNoEntry = QStringLiteral("Sie haben keinen Eintrag ausgewählt.");
const QString kNoDefect = QStringLiteral("Sie haben keinen Mangel ausgewählt.");
const QString kRemove = QStringLiteral("Wollen Sie den Eintrag löschen?");
const QString kClear = QStringLiteral("Wollen Sie die komplette Liste löschen?");
const QString kOpen = QStringLiteral(" Mängel auf der Mängelliste ; Gesamtpreis: ");
const QString kClosed = QStringLiteral(" Mängel auf der Mängelliste; Gesamtpreis: ");

struct Editing : WindowFixture {
    void SetUp() override
    {
        createWithStarter();
        form->show();
        QCoreApplication::processEvents();
    }
    std::vector<std::string> filtered() { return captions(form->FilteredDefects()); }
    QPoint rowCenter(ListView *view, int row)
    {
        return view->visualRect(view->model()->index(row, 0)).center();
    }
};

} // namespace

TEST_F(Editing, addingAnAssemblySelectsItForTypingAndRebuildsTheFilter)
{
    form->ListView1()->selectRow(0); // Dach: Loch, Ziegel
    EXPECT_EQ(filtered(), (std::vector<std::string>{"Loch", "Ziegel"}));
    form->PlusLaedenBtnClick();
    EXPECT_EQ(captions(doc().AssemblyList).back(), "Baugruppe");
    EXPECT_EQ(form->ListView1()->selectedRow(), 2);
    EXPECT_TRUE(form->ListView1()->isEditing());
    EXPECT_TRUE(filtered().empty());

    // A defect added while the name is still being typed is filed under the caption of that moment.
    auto *editor = qobject_cast<QLineEdit *>(form->ListView1()->indexWidget(doc().AssemblyList.index(2, 0)));
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("Keller"));
    form->PlusProdukteBtnClick();
    EXPECT_EQ(doc().DefectCatalog.at(3), (ListEntry{"Mangel", {"Baugruppe"}}));
    EXPECT_EQ(doc().AssemblyList.caption(2), "Keller") << "the typed name is stored";
    EXPECT_TRUE(form->ListView2()->isEditing());
    EXPECT_EQ(form->ListView2()->selectedRow(), 3);
}

TEST_F(Editing, addingADefectNeedsASelectedAssembly)
{
    form->PlusProdukteBtnClick();
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("Sie haben keine Baugruppe ausgewählt.")});
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Kein Laden ausgewählt"));
    EXPECT_EQ(doc().DefectCatalog.count(), 3);

    form->ListView1()->selectRow(1); // Fassade
    form->PlusProdukteBtnClick();
    EXPECT_EQ(doc().DefectCatalog.at(3), (ListEntry{"Mangel", {"Fassade"}}));
    EXPECT_EQ(filtered(), (std::vector<std::string>{"Mangel", "Riss"})) << "rebuilt and sorted";
}

TEST_F(Editing, removingAsksAndRefreshesAsEachListWants)
{
    // Assemblies: the filtered view stays as it was.
    form->ListView1()->selectRow(0);
    prompts.answers = {Answer::Yes};
    form->MinusLaedenBtnClick();
    EXPECT_EQ(prompts.texts(), QStringList{kRemove});
    EXPECT_EQ(prompts.messages[0].defaultButton, Answer::Yes);
    EXPECT_EQ(captions(doc().AssemblyList), std::vector<std::string>{"Fassade"});
    EXPECT_EQ(filtered(), (std::vector<std::string>{"Loch", "Ziegel"})) << "removals raise no change report";
    form->UpdateFilterBtnClick();
    EXPECT_EQ(filtered().size(), 3u) << "no assembly selected: the whole catalogue";

    // Catalogue: No still rebuilds the filter.
    prompts.clear();
    form->ListView2()->selectRow(0);
    form->ListView4()->selectRow(0);
    prompts.answers = {Answer::No};
    form->MinusProdukteBtnClick();
    EXPECT_EQ(doc().DefectCatalog.count(), 3);
    EXPECT_EQ(form->ListView4()->selectedRow(), -1) << "rebuilt";

    // Defect list: the status line is refreshed also after the error.
    prompts.clear();
    form->ListView3()->clearSelection();
    form->StatusBar1Text()->clear();
    form->MinusEinkaufBtnClick();
    EXPECT_EQ(prompts.texts(), QStringList{kNoEntry});
    EXPECT_EQ(status(), QStringLiteral("1") + kClosed + QStringLiteral("0,00 EUR"));
    form->ListView3()->selectRow(0);
    prompts.answers = {Answer::Yes};
    form->MinusEinkaufBtnClick();
    EXPECT_EQ(status(), QStringLiteral("0") + kClosed + QStringLiteral("0,00"));
}

TEST_F(Editing, clearingAsksEvenForAnEmptyList)
{
    prompts.answers = {Answer::Yes, Answer::Yes, Answer::No};
    form->DelList3Click();
    form->DelList3Click();
    EXPECT_EQ(prompts.texts(), (QStringList{kClear, kClear}));
    EXPECT_EQ(status(), QStringLiteral("0") + kClosed + QStringLiteral("0,00"));
    form->ListView1()->selectRow(0);
    form->DelList2Click(); // No
    EXPECT_EQ(doc().DefectCatalog.count(), 3);
    EXPECT_EQ(filtered().size(), 2u);
}

TEST_F(Editing, theEditDialogRenamesTheSelectedDefect)
{
    form->PropEdClick();
    EXPECT_TRUE(prompts.editedNames.empty()) << "nothing selected: no dialog, no message";
    EXPECT_TRUE(prompts.messages.empty());

    form->ListView2()->selectRow(0);
    prompts.names = {std::nullopt, QStringLiteral("Haarriss ☃")};
    form->PropEdClick();
    EXPECT_EQ(doc().DefectCatalog.caption(0), "Riss");
    form->PropEdClick();
    EXPECT_EQ(prompts.editedNames, (std::vector<QString>{QStringLiteral("Riss"), QStringLiteral("Riss")}));
    EXPECT_EQ(doc().DefectCatalog.at(0), (ListEntry{"Haarriss ?", {"Fassade"}}));
    EXPECT_EQ(filtered().size(), 3u) << "rebuilt after OK";
}

TEST_F(Editing, keysBelongToAnOpenEditor)
{
    form->ListView1()->selectRow(0);
    form->ListView1()->setFocus();
    QTest::keyClick(form->ListView1(), Qt::Key_Return);
    EXPECT_TRUE(form->ListView1()->isEditing());
    form->ListView1KeyDown(Qt::Key_Delete);
    EXPECT_TRUE(prompts.messages.empty()) << "Delete belongs to the editor";
    form->ListView1()->finishEditing();

    prompts.answers = {Answer::No};
    QTest::keyClick(form->ListView1(), Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(prompts.texts(), QStringList{kRemove});
}

// "Loch" stays selected in the catalogue while "Riss" is picked in the filtered view: the filtered
// view's keys and double-click take "Riss".
TEST_F(Editing, theFilteredViewActsOnTheRowItsUserPicked)
{
    ListView *v4 = form->ListView4();
    form->UpdateFilterBtnClick(); // the whole catalogue, by name: Loch, Riss, Ziegel
    const int riss = 1;
    form->ListView2()->selectRow(1); // Loch

    QTest::mouseDClick(v4->viewport(), Qt::LeftButton, {}, rowCenter(v4, riss));
    EXPECT_EQ(doc().DefectList.at(1), (ListEntry{"Riss", {"Fassade"}}));
    EXPECT_TRUE(form->ListView3()->isEditing());
    form->ListView3()->finishEditing();
    EXPECT_EQ(status(), QStringLiteral("2") + kOpen + QStringLiteral("0,00 EUR"));

    v4->selectRow(riss);
    prompts.answers = {Answer::No, Answer::Yes};
    QTest::keyClick(v4, Qt::Key_Delete);
    EXPECT_EQ(v4->selectedRow(), -1) << "No still rebuilds";
    v4->selectRow(riss);
    QTest::keyClick(v4, Qt::Key_Delete);
    EXPECT_EQ(prompts.texts(), (QStringList{kRemove, kRemove}));
    EXPECT_EQ(captions(doc().DefectCatalog), (std::vector<std::string>{"Loch", "Ziegel"}));
    EXPECT_EQ(filtered(), (std::vector<std::string>{"Loch", "Ziegel"}));

    v4->selectRow(1); // Ziegel
    QTest::keyClick(v4, Qt::Key_Return);
    EXPECT_TRUE(form->ListView2()->isEditing()) << "the editor opens in the catalogue";
    EXPECT_EQ(form->ListView2()->selectedRow(), 1);
    form->ListView2()->finishEditing();

    // Nothing picked: the messages for a missing selection; Return does nothing.
    v4->clearSelection();
    prompts.clear();
    QTest::keyClick(v4, Qt::Key_Return);
    QTest::keyClick(v4, Qt::Key_Delete);
    emit v4->dblClick();
    EXPECT_EQ(prompts.texts(), (QStringList{kNoEntry, kNoDefect}));
    EXPECT_FALSE(form->ListView2()->isEditing());
    EXPECT_EQ(doc().DefectCatalog.count(), 2);
    EXPECT_EQ(doc().DefectList.count(), 2);
}

// Texts longer than a line edit's default limit of 32,767 characters, edited at their end.
TEST_F(Editing, textsOfAnyLengthSurviveEditing)
{
    // The longest name the editors take: typing may make it longer still.
    const std::string longName = std::string(ListView::kMaxEditLength - 4, 'x') + "Ende";
    const QString typed = QStringLiteral("!");

    // In place: End, one character, Return.
    doc().DefectCatalog.setCaption(0, longName);
    ListView *view = form->ListView2();
    view->openEditor(0);
    auto *editor = qobject_cast<QLineEdit *>(view->indexWidget(view->model()->index(0, 0)));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClicks(editor, typed);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits on its next turn
    EXPECT_FALSE(view->isEditing());
    EXPECT_EQ(doc().DefectCatalog.caption(0), longName + "!");
    view->openEditor(0); // now one character too long: the window says so
    EXPECT_FALSE(view->isEditing());
    EXPECT_EQ(prompts.texts(), QStringList{ListView::tooLongText(ListView::kMaxEditLength + 1)});

    // The edit dialog.
    TArtikelForm dialog;
    DialogPrompts real;
    real.setArtikelForm(&dialog);
    QTimer::singleShot(0, &dialog, [&dialog, typed] {
        QTest::keyClick(dialog.Edit1(), Qt::Key_End);
        QTest::keyClicks(dialog.Edit1(), typed);
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    EXPECT_EQ(real.editDefectName(QString::fromStdString(longName)), QString::fromStdString(longName + "!"));

    // A longer name: the dialog does not open, a message says why (the list's editor: ListViewTest).
    QString shown;
    QTimer::singleShot(0, [&shown] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->windowTitle() + u'|' + box->text();
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(real.editDefectName(QString(ListView::kMaxEditLength + 1, u'x')), std::nullopt);
    EXPECT_EQ(shown, QStringLiteral("Name bearbeiten|") + ListView::tooLongText(ListView::kMaxEditLength + 1));
}

TEST_F(Editing, copyingDefectsIntoTheDefectList)
{
    form->PlusEinkaufBtnClick();
    EXPECT_EQ(prompts.texts(), QStringList{kNoDefect});
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Kein Mangel ausgewählt"));
    EXPECT_EQ(status(), QStringLiteral("1") + kOpen + QStringLiteral("0,00 EUR")) << "refreshed after the message";

    form->ListView2()->selectRow(1); // Loch, Dach
    form->PlusEinkaufBtnClick();
    form->ListView3()->finishEditing();
    form->PlusEinkaufBtnClick();
    EXPECT_EQ(doc().DefectList.at(1), (ListEntry{"Loch", {"Dach"}}));
    EXPECT_EQ(doc().DefectList.at(2), (ListEntry{"Loch", {"Dach"}})) << "no check for doubles";
    EXPECT_TRUE(form->ListView3()->isEditing());
    EXPECT_EQ(status(), QStringLiteral("3") + kOpen + QStringLiteral("0,00 EUR"));
    form->ListView3()->finishEditing();

    // From the filtered view.
    form->ListView1()->selectRow(1);
    form->ListView4()->selectRow(0); // Riss
    form->Hinzu2BtnClick();
    EXPECT_EQ(doc().DefectList.at(3), (ListEntry{"Riss", {"Fassade"}}));
    form->ListView3()->finishEditing();
}

TEST_F(Editing, restingOnAnAssemblySelectsItAndRebuildsTheFilter)
{
    ListView *view = form->ListView1();
    QTest::mouseMove(view->viewport(), rowCenter(view, 1));
    EXPECT_EQ(view->hoverRow(), 1);
    EXPECT_EQ(view->viewport()->cursor().shape(), Qt::PointingHandCursor);
    ASSERT_TRUE(testsupport::eventually([view] { return view->selectedRow() == 1; })) << view->selectedRow();
    EXPECT_EQ(filtered(), std::vector<std::string>{"Riss"});
}

TEST_F(Editing, headerClicksSortAndTheCatalogueStateIsShared)
{
    form->ListView1ColumnClick(0);
    EXPECT_EQ(captions(doc().AssemblyList), (std::vector<std::string>{"Fassade", "Dach"})) << "first click: Z to A";
    form->ListView1ColumnClick(0);
    EXPECT_EQ(captions(doc().AssemblyList), (std::vector<std::string>{"Dach", "Fassade"}));

    form->UpdateFilterBtnClick();
    const auto before = filtered();
    form->ListView2ColumnClick(1); // by assembly, ascending
    EXPECT_EQ(captions(doc().DefectCatalog), (std::vector<std::string>{"Loch", "Ziegel", "Riss"}));
    EXPECT_EQ(filtered(), before) << "the filtered view keeps its order until its rebuild";
    form->UpdateFilterBtnClick();
    EXPECT_EQ(filtered(), (std::vector<std::string>{"Loch", "Ziegel", "Riss"}));
    form->ui().ListView4->header()->sectionClicked(1); // the same header on the other view inverts
    EXPECT_EQ(captions(doc().DefectCatalog), (std::vector<std::string>{"Riss", "Ziegel", "Loch"}));
    EXPECT_EQ(form->CatalogSort.SortColumn, 1);
    EXPECT_TRUE(form->CatalogSort.Descending);
}

TEST_F(Editing, aNewEntryStaysAtTheEndUntilTheNextSort)
{
    form->ListView1ColumnClick(0); // Z to A
    form->PlusLaedenBtnClick();
    form->ListView1()->finishEditing();
    EXPECT_EQ(captions(doc().AssemblyList).back(), "Baugruppe");
    form->ListView1ColumnClick(0);
    form->ListView1ColumnClick(0);
    EXPECT_EQ(captions(doc().AssemblyList), (std::vector<std::string>{"Fassade", "Dach", "Baugruppe"}));
}

TEST_F(Editing, dropsMoveWithinTheirViewOnly)
{
    ListView *v2 = form->ListView2();
    form->ListView2ColumnClick(1); // sorted by assembly: Loch, Ziegel (Dach), Riss (Fassade)

    // From another view: nothing happens although the target accepted.
    v2->selectRow(0);
    EXPECT_TRUE(form->ListView3DragOver(v2));
    form->ListView2DragDrop(form->ListView3(), rowCenter(form->ListView3(), 0), v2);
    EXPECT_EQ(doc().DefectList.count(), 1);

    // Below the last row: moved to the end, then the sort puts it back in place.
    form->ListView2DragDrop(v2, QPoint(5, v2->viewport()->height() - 2), v2);
    EXPECT_EQ(captions(doc().DefectCatalog), (std::vector<std::string>{"Loch", "Ziegel", "Riss"}));
    EXPECT_EQ(v2->selectedRow(), -1) << "the moved entry is a new row, not selected";

    // Onto itself.
    v2->selectRow(1);
    form->ListView2DragDrop(v2, rowCenter(v2, 1), v2);
    EXPECT_EQ(captions(doc().DefectCatalog), (std::vector<std::string>{"Loch", "Ziegel", "Riss"}));

    // Equal numbers compare equal, so the moved entry keeps its new place; the status line is refreshed.
    doc().DefectList.assign({{"1", {"a"}}, {"1", {"b"}}});
    ListView *v3 = form->ListView3();
    form->ListView3ColumnClick(0); // name column, descending
    form->ListView3ColumnClick(0); // back to ascending
    v3->selectRow(1);
    form->ListView2DragDrop(v3, rowCenter(v3, 0), v3);
    EXPECT_EQ(doc().DefectList.at(0), (ListEntry{"1", {"b"}})) << "among equal entries the new place stands";
    EXPECT_EQ(status(), QStringLiteral("2") + kClosed + QStringLiteral("0,00 EUR"));

    // Nothing can be dropped on the filtered view.
    EXPECT_FALSE(form->ListView2DragOver(form->ListView4(), form->ListView4()));
    EXPECT_TRUE(form->ListView2DragOver(form->ListView2(), form->ListView4()));
    form->UpdateFilterBtnClick();
    form->ListView4()->selectRow(0);
    const auto before = filtered();
    form->ListView2DragDrop(form->ListView4(), QPoint(5, 200), form->ListView4());
    EXPECT_EQ(filtered(), before);
}

// Each view's own signals reach the controller of its list: a header click sorts that list (the
// filtered view's sorts the catalogue), a drop on the view itself moves within it (none on the
// filtered view), and a double-click acts as that view's handler does.
TEST_F(Editing, eachViewsSignalsReachItsOwnList)
{
    form->UpdateFilterBtnClick();
    const struct {
        ListView *view;
        const SortState &sort;
        bool takesDrops;
        int copiesOnDoubleClick; // else the double-click opens the editor on the selected row
    } cases[] = {{form->ListView1(), form->AssemblySort, true, 0},
                 {form->ListView2(), form->CatalogSort, true, 1},
                 {form->ListView3(), form->DefectListSort, true, 0},
                 {form->ListView4(), form->CatalogSort, false, 1}};
    for (const auto &c : cases) {
        const std::string name = c.view->objectName().toStdString();
        const bool descending = c.sort.Descending;
        emit c.view->columnClick(0);
        EXPECT_NE(c.sort.Descending, descending) << name;

        c.view->selectRow(0);
        emit c.view->dropped(rowCenter(c.view, 0), c.view);
        EXPECT_EQ(c.view->selectedRow(), c.takesDrops ? -1 : 0) << name << ": a moved entry is a new row";

        c.view->selectRow(0);
        form->ListView2()->selectRow(0);
        const int defects = doc().DefectList.count();
        emit c.view->dblClick();
        EXPECT_EQ(doc().DefectList.count(), defects + c.copiesOnDoubleClick) << name;
        EXPECT_EQ(c.view->isEditing(), c.copiesOnDoubleClick == 0) << name;
        c.view->finishEditing();
        form->ListView3()->finishEditing();
    }
    EXPECT_TRUE(prompts.texts().isEmpty());
}
