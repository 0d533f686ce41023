// Working without a mouse: sorting the focused list from the keyboard, and the selection following
// the keyboard's focus and the last change.
#include "WindowFixture.h"
#include "editing/CompareRules.h"
#include "editing/UndoRecorder.h"
#include "ui/SearchProxy.h"

#include <QAccessible>
#include <QHeaderView>
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
    using Compare = int (*)(const ListEntry &, const ListEntry &, const SortState &);
    // The view's arrow and description say the same, and its rows stand in the order they name.
    static void expectTruthful(ListView *view, Compare compare)
    {
        SCOPED_TRACE(view->accessibleName().toStdString());
        const int column = view->header()->sortIndicatorSection();
        if (column < 0) {
            EXPECT_EQ(description(view), QStringLiteral("Nicht sortiert"));
            return;
        }
        const SortState state{column, view->header()->sortIndicatorOrder() == Qt::DescendingOrder};
        EXPECT_EQ(description(view), QStringLiteral("Sortiert nach %1, %2")
                                         .arg(view->model()->headerData(column, Qt::Horizontal).toString(),
                                              state.Descending ? QStringLiteral("absteigend") : QStringLiteral("aufsteigend")));
        // The catalogue's view shows its list through the search's row map.
        const auto *proxy = qobject_cast<const SearchProxy *>(view->model());
        const EntryList &list = proxy ? *proxy->list() : *qobject_cast<const EntryList *>(view->model());
        for (int row = 0; row + 1 < list.count(); ++row)
            EXPECT_LE(compare(list.at(row), list.at(row + 1), state), 0) << "row " << row;
    }
    static void expectPicked(ListView *view, int row)
    {
        EXPECT_EQ(view->selectedRow(), row);
        EXPECT_EQ(view->currentIndex().row(), row);
    }
};

} // namespace

TEST_F(KeyboardAccess, everyList_saysTheOrderItsRowsStandIn)
{
    // Every list walked through every sort key, each key twice (both directions): after each press
    // every list's arrow and description name one order, and its rows stand in it. The filtered view
    // keeps the order of its last rebuild; its keys sort the catalogue beside it.
    using editing::ListView1Compare, editing::ListView2Compare, editing::ListView3Compare;
    const std::pair<ListView *, Compare> lists[] = {{form->ListView2(), ListView2Compare},
                                                    {form->ListView4(), ListView2Compare},
                                                    {form->ListView1(), ListView1Compare},
                                                    {form->ListView3(), ListView3Compare}};
    doc().DefectList.append(testsupport::defect("Riss", "Fassade"));
    form->UpdateFilterBtnClick();
    for (const auto &[view, compare] : lists)
        expectTruthful(view, compare);
    EXPECT_EQ(description(form->ListView1()), QStringLiteral("Nicht sortiert"));
    for (const auto &[pressed, compare] : lists) {
        for (int column = 0; column < pressed->model()->columnCount(); ++column) {
            for (int press = 0; press < 2; ++press) {
                SCOPED_TRACE(pressed->accessibleName().toStdString() + " Strg+" + std::to_string(column + 1));
                const QString filtered = description(form->ListView4());
                const std::vector<std::string> filteredRows = captions(form->FilteredDefects());
                pressed->setFocus(Qt::OtherFocusReason);
                QTest::keyClick(pressed, Qt::Key(Qt::Key_1 + column), Qt::ControlModifier);
                for (const auto &[view, rule] : lists)
                    expectTruthful(view, rule);
                ListView *sorted = pressed == form->ListView4() ? form->ListView2() : pressed;
                EXPECT_NE(description(sorted), QStringLiteral("Nicht sortiert"));
                EXPECT_EQ(description(form->ListView4()), filtered);
                EXPECT_EQ(captions(form->FilteredDefects()), filteredRows);
            }
        }
        // A rebuild sorts the filtered view by the catalogue's order.
        form->UpdateFilterBtnClick();
        EXPECT_EQ(description(form->ListView4()), description(form->ListView2()));
    }
    // An entry added out of order: the list no longer claims an order until it is sorted again.
    form->PlusLaedenBtnClick();
    form->ListView1()->finishEditing();
    expectTruthful(form->ListView1(), ListView1Compare);
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
