// Working without a mouse: sorting the focused list from the keyboard, and the selection following
// the keyboard's focus and the last change.
#include "WindowFixture.h"
#include "editing/UndoRecorder.h"

#include <QAccessible>
#include <QTest>

#include <functional>

namespace {

struct KeyboardAccess : WindowFixture {
    void SetUp() override
    {
        createWithStarter();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    static QString description(ListView *view)
    {
        return QAccessible::queryAccessibleInterface(view)->text(QAccessible::Description);
    }
    static void expectPicked(ListView *view, int row)
    {
        EXPECT_EQ(view->selectedRow(), row);
        EXPECT_EQ(view->currentIndex().row(), row);
    }
};

} // namespace

TEST_F(KeyboardAccess, ctrlDigit_sortsTheFocusedListAsItsHeaderDoesAndSaysHow)
{
    const struct {
        ListView *view;
        Qt::Key key;
        std::vector<std::string> captions;
        const char *description;
    } table[] = {
        {nullptr, Qt::Key_unknown, {"Riss", "Loch", "Ziegel"}, "Nicht sortiert"},
        // Every list starts sorted up by name: the first press turns it round, as the header would.
        {form->ListView2(), Qt::Key_1, {"Ziegel", "Riss", "Loch"}, "Sortiert nach Name, absteigend"},
        {form->ListView2(), Qt::Key_1, {"Loch", "Riss", "Ziegel"}, "Sortiert nach Name, aufsteigend"},
        {form->ListView2(), Qt::Key_2, {"Loch", "Ziegel", "Riss"}, "Sortiert nach Baugruppe, aufsteigend"},
        // The filtered view sorts the catalogue as its header does.
        {form->ListView4(), Qt::Key_2, {"Riss", "Ziegel", "Loch"}, "Sortiert nach Baugruppe, absteigend"},
        // No third column: nothing happens.
        {form->ListView2(), Qt::Key_3, {"Riss", "Ziegel", "Loch"}, "Sortiert nach Baugruppe, absteigend"},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.description);
        if (row.view) {
            row.view->setFocus(Qt::OtherFocusReason);
            QTest::keyClick(row.view, row.key, Qt::ControlModifier);
        }
        EXPECT_EQ(captions(doc().DefectCatalog), row.captions);
        EXPECT_EQ(description(form->ListView2()).toStdString(), row.description);
    }
    EXPECT_EQ(description(form->ListView4()), description(form->ListView2()));
    EXPECT_EQ(description(form->ListView1()), QStringLiteral("Nicht sortiert"));
}

TEST_F(KeyboardAccess, focusFromTheKeyboard_selectsTheCurrentRowOfAListWithoutSelection)
{
    ListView *view = form->ListView1();
    view->selectionModel()->clearSelection();
    view->selectionModel()->setCurrentIndex(view->model()->index(1, 0), QItemSelectionModel::NoUpdate);
    form->ListView3()->setFocus(Qt::OtherFocusReason);
    view->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(view->selectedRow(), -1) << "focus set by the program leaves the selection alone";
    form->ListView3()->setFocus(Qt::OtherFocusReason);
    view->setFocus(Qt::TabFocusReason);
    expectPicked(view, 1);

    // A list that has a selection keeps it; an empty list has nothing to select.
    form->ListView3()->setFocus(Qt::OtherFocusReason);
    view->selectionModel()->setCurrentIndex(view->model()->index(0, 0), QItemSelectionModel::NoUpdate);
    view->setFocus(Qt::BacktabFocusReason);
    EXPECT_EQ(view->selectedRow(), 1);
    doc().DefectList.clear();
    form->ListView3()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(form->ListView3()->selectedRow(), -1);
}

TEST_F(KeyboardAccess, afterAddRenameUndoAndRedo_theAffectedEntryIsSelectedAndCurrent)
{
    editing::UndoRecorder &history = form->undoHistory();
    const struct {
        const char *what;
        std::function<void()> act;
        ListView *view;
        int row;
    } table[] = {
        {"add an assembly",
         [&] {
             form->PlusLaedenBtnClick();
             form->ListView1()->finishEditing();
         },
         form->ListView1(), 2},
        {"undo the add, then select another",
         [&] {
             history.undo();
             form->ListView1()->selectRow(0);
         },
         form->ListView1(), 0},
        {"redo the add", [&] { history.redo(); }, form->ListView1(), 2},
        {"rename in the catalogue",
         [&] {
             form->ListView2()->selectRow(1);
             prompts.names.push_back(QStringLiteral("Loch im Dach"));
             form->PropEdClick();
         },
         form->ListView2(), 1},
        {"undo the rename elsewhere",
         [&] {
             form->ListView2()->selectRow(2);
             history.undo();
         },
         form->ListView2(), 1},
        {"remove from the defect list, then undo",
         [&] {
             form->ListView3()->selectRow(0);
             prompts.answers.push_back(Prompts::Answer::Yes);
             form->MinusEinkaufBtnClick();
             history.undo();
         },
         form->ListView3(), 0},
        {"copy into the defect list",
         [&] {
             form->ListView2()->selectRow(0);
             form->PlusEinkaufBtnClick();
             form->ListView3()->finishEditing();
         },
         form->ListView3(), 1},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.what);
        row.act();
        expectPicked(row.view, row.row);
    }
}
