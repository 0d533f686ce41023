#include "WindowFixture.h"
#include "document/ListFile.h"
#include "ui/EditMenu.h"
#include "ui_MainUnit.h"

#include <QLineEdit>
#include <QMenuBar>
#include <QSpinBox>
#include <QTest>

#include <functional>

using Answer = Prompts::Answer;

namespace {

struct Undo : WindowFixture {
    void SetUp() override
    {
        createWithStarter();
        form->show();
        QCoreApplication::processEvents();
    }
    QByteArray bytes()
    {
        return listfile::encode(doc().AssemblyList.entries(), doc().DefectCatalog.entries(),
                                doc().DefectList.entries());
    }
    QUndoStack &stack() { return form->undoHistory().stack(); }
    QPoint rowCenter(ListView *view, int row) { return view->visualRect(view->model()->index(row, 0)).center(); }
    // Replays the last step (undo or redo). When the step changed the catalogue or the assemblies,
    // the filtered view is then what a rebuild makes of them, else as it was; when it changed the
    // defect list, the status line is what a refresh makes of it, else as it was.
    void replayAndCheckDerivedState(void (editing::UndoRecorder::*replay)(), bool catalogue, bool defects,
                                    const char *when)
    {
        const std::vector<std::string> shownBefore = captions(form->FilteredDefects());
        const QString lineBefore = status();
        (form->undoHistory().*replay)();
        const std::vector<std::string> shown = captions(form->FilteredDefects());
        const QString line = status();
        if (catalogue)
            form->UpdateFilterBtnClick();
        if (defects)
            doc().UpdateStatusLine(statusline::CountPhrase::Closed);
        EXPECT_EQ(shown, catalogue ? captions(form->FilteredDefects()) : shownBefore) << when << ": filtered view";
        EXPECT_EQ(line, defects ? status() : lineBefore) << when << ": status line";
    }
};

enum Touches { Catalogue, Defects };

struct Action {
    const char *name;
    QString step;
    Touches touches; // the assemblies or the catalogue, or the defect list
    std::function<void(Undo &)> run;
    std::function<void(Undo &)> prepare = nullptr; // before the lists are compared
};

void renameInPlace(Undo &t, ListView *view, int row, const QString &text)
{
    view->openEditor(row);
    auto *editor = qobject_cast<QLineEdit *>(view->indexWidget(view->model()->index(row, 0)));
    ASSERT_NE(editor, nullptr);
    editor->setText(text);
    view->finishEditing();
    (void)t;
}

const QString kAdd = QStringLiteral("Eintrag hinzufügen"), kRemove = QStringLiteral("Eintrag löschen"),
              kClear = QStringLiteral("Liste löschen"), kSort = QStringLiteral("Sortieren");

const Action kActions[] = {
    {"add assembly", kAdd, Catalogue, [](Undo &t) { t.form->PlusLaedenBtnClick(); }},
    {"add defect", kAdd, Catalogue,
     [](Undo &t) {
         t.form->ListView1()->selectRow(0);
         t.form->PlusProdukteBtnClick();
     }},
    {"remove assembly", kRemove, Catalogue,
     [](Undo &t) {
         t.form->ListView1()->selectRow(0);
         t.form->MinusLaedenBtnClick();
     }},
    {"remove defect", kRemove, Catalogue,
     [](Undo &t) {
         t.form->ListView2()->selectRow(1);
         t.form->MinusProdukteBtnClick();
     }},
    {"remove from defect list", kRemove, Defects,
     [](Undo &t) {
         t.form->ListView3()->selectRow(0);
         t.form->MinusEinkaufBtnClick();
     }},
    {"clear assemblies", kClear, Catalogue, [](Undo &t) { t.form->DelList1Click(); }},
    {"clear catalogue", kClear, Catalogue, [](Undo &t) { t.form->DelList2Click(); }},
    {"clear defect list", kClear, Defects, [](Undo &t) { t.form->DelList3Click(); }},
    {"rename assembly in place", QStringLiteral("Umbenennen"), Catalogue,
     [](Undo &t) { renameInPlace(t, t.form->ListView1(), 1, QStringLiteral("Wände")); }},
    {"rename defect-list entry in place", QStringLiteral("Umbenennen"), Defects,
     [](Undo &t) { renameInPlace(t, t.form->ListView3(), 0, QStringLiteral("Neu")); }},
    {"edit dialog", QStringLiteral("Mangel bearbeiten"), Catalogue,
     [](Undo &t) {
         t.form->ListView2()->selectRow(0);
         t.prompts.names = {QStringLiteral("Sprung")};
         t.form->PropEdClick();
     }},
    {"copy from the catalogue", QStringLiteral("In Mängelliste übernehmen"), Defects,
     [](Undo &t) {
         t.form->ListView2()->selectRow(2);
         t.form->PlusEinkaufBtnClick();
     }},
    {"copy from the filtered view", QStringLiteral("In Mängelliste übernehmen"), Defects,
     [](Undo &t) {
         t.form->UpdateFilterBtnClick();
         t.form->ListView4()->selectRow(0);
         t.form->Hinzu2BtnClick();
     }},
    {"drop that moves and re-sorts", QStringLiteral("Verschieben"), Catalogue,
     [](Undo &t) {
         ListView *v2 = t.form->ListView2();
         v2->selectRow(0);
         t.form->ListView2DragDrop(v2, QPoint(5, v2->viewport()->height() - 2), v2);
     }},
    {"sort assemblies", kSort, Catalogue, [](Undo &t) { t.form->ListView1ColumnClick(0); }},
    {"sort catalogue from the filtered view", kSort, Catalogue, [](Undo &t) { t.form->ListView2ColumnClick(1); }},
    {"sort defect list", kSort, Defects, [](Undo &t) { t.form->ListView3ColumnClick(1); },
     [](Undo &t) {
         t.doc().DefectList.append({"Achse", {"Boden"}});
         t.form->undoHistory().clearHistory();
     }},
    {"CSV import", QStringLiteral("CSV Import"), Defects,
     [](Undo &t) {
         const QString csv = t.path(QStringLiteral("import.csv"));
         testsupport::writeFile(csv, "\"Riss\";\"Dach\"\r\nOhne Baugruppe\r\n\"Loch\";\"Keller\"\r\n");
         t.prompts.files = {csv};
         t.form->CSVImport1Click();
     }},
};

} // namespace

class UndoEachAction : public Undo, public ::testing::WithParamInterface<Action> {};

TEST_P(UndoEachAction, isOneStepThatUndoRestoresAndRedoRepeats)
{
    const Action &action = GetParam();
    if (action.prepare)
        action.prepare(*this);
    const QByteArray before = bytes();
    action.run(*this);
    const QByteArray after = bytes();
    ASSERT_NE(after, before);
    ASSERT_EQ(stack().count(), 1) << "one user action, one step";
    EXPECT_EQ(stack().undoText(), action.step);

    const bool catalogue = action.touches == Catalogue, defects = action.touches == Defects;
    replayAndCheckDerivedState(&editing::UndoRecorder::undo, catalogue, defects, "undo");
    EXPECT_EQ(bytes(), before);
    replayAndCheckDerivedState(&editing::UndoRecorder::redo, catalogue, defects, "redo");
    EXPECT_EQ(bytes(), after);
}

INSTANTIATE_TEST_SUITE_P(Window, UndoEachAction, ::testing::ValuesIn(kActions), [](const auto &info) {
    std::string n;
    for (const char c : std::string(info.param.name))
        n += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return n;
});

TEST_F(Undo, theBearbeitenMenuNamesTheStepAndGreysWhenThereIsNone)
{
    const QList<QAction *> menus = form->menuBar()->actions();
    ASSERT_GE(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("&Datei"));
    EXPECT_EQ(menus[1]->text(), QStringLiteral("&Bearbeiten"));
    EXPECT_EQ(menus[2]->text(), QStringLiteral("&Hilfe"));

    QAction *undo = form->Bearbeiten1()->Rckgngig1(), *redo = form->Bearbeiten1()->Wiederholen1();
    EXPECT_EQ(undo->shortcuts(), QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Z"))});
    EXPECT_EQ(redo->shortcuts(), (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Y")),
                                                      QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("&Rückgängig"));

    form->ListView3()->selectRow(0);
    form->MinusEinkaufBtnClick();
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("&Rückgängig: Eintrag löschen"));

    undo->trigger();
    EXPECT_EQ(captions(doc().DefectList), std::vector<std::string>{"Alt"});
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());
    EXPECT_EQ(redo->text(), QStringLiteral("&Wiederholen: Eintrag löschen"));
}

TEST_F(Undo, theShortcutsUndoAndRedoFromTheKeyboard)
{
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->ListView1()->setFocus();
    form->ListView1()->selectRow(0);
    form->MinusLaedenBtnClick();
    ASSERT_EQ(doc().AssemblyList.count(), 1);
    QTest::keyClick(form->ListView1(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(captions(doc().AssemblyList), (std::vector<std::string>{"Dach", "Fassade"}));
    QTest::keyClick(form->ListView1(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(doc().AssemblyList.count(), 1);
    QTest::keyClick(form->ListView1(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(form->ListView1(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(doc().AssemblyList.count(), 1);
}

// The history's keys pressed in a text field undo and redo the typing there; the lists stay.
TEST_F(Undo, theHistoryKeysBelongToTheFocusedTextField)
{
    enum class Field { InPlaceEditor, MarginSpinBox };
    const QKeyCombination undo = Qt::CTRL | Qt::Key_Z, redoY = Qt::CTRL | Qt::Key_Y,
                          redoZ = Qt::CTRL | Qt::SHIFT | Qt::Key_Z;
    const struct {
        const char *name;
        Field field;
        std::vector<QKeyCombination> keys;
        bool typingKept;
    } rows[] = {
        {"editor undo", Field::InPlaceEditor, {undo}, false},
        {"editor redo Y", Field::InPlaceEditor, {undo, redoY}, true},
        {"editor redo Shift+Z", Field::InPlaceEditor, {undo, redoZ}, true},
        {"editor Y alone", Field::InPlaceEditor, {redoY}, true},
        {"spin box undo", Field::MarginSpinBox, {undo}, false},
        {"spin box redo Y", Field::MarginSpinBox, {undo, redoY}, true},
    };
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->ListView1()->selectRow(0);
    form->MinusLaedenBtnClick();
    form->undoHistory().undo(); // the removal can be redone
    const std::vector<std::string> lists = captions(doc().AssemblyList);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QWidget *field = nullptr;
        QString before, typed;
        if (row.field == Field::InPlaceEditor) {
            form->ui().PageControl1->setCurrentIndex(0);
            form->ListView1()->openEditor(1);
            field = QApplication::focusWidget();
            auto *editor = qobject_cast<QLineEdit *>(field);
            ASSERT_NE(editor, nullptr);
            editor->end(false);
            before = editor->text();
            QTest::keyClicks(editor, QStringLiteral("x"));
            typed = editor->text();
        } else {
            form->ui().PageControl1->setCurrentIndex(1);
            QSpinBox *spin = form->ui().leftREd;
            spin->setFocus();
            spin->selectAll();
            before = spin->text();
            QTest::keyClicks(spin, QStringLiteral("20"));
            typed = spin->text();
            field = spin;
        }
        ASSERT_NE(before, typed);
        for (const QKeyCombination key : row.keys)
            QTest::keyClick(field, key.key(), key.keyboardModifiers());
        const QString text = row.field == Field::InPlaceEditor ? qobject_cast<QLineEdit *>(field)->text()
                                                                : qobject_cast<QSpinBox *>(field)->text();
        EXPECT_EQ(text, row.typingKept ? typed : before);
        EXPECT_EQ(captions(doc().AssemblyList), lists) << "the lists' history did not move";
        EXPECT_TRUE(stack().canRedo());
        if (row.field == Field::InPlaceEditor) {
            qobject_cast<QLineEdit *>(field)->setText(before);
            form->ListView1()->finishEditing();
        }
    }
}

TEST_F(Undo, theMenuEndsAnOpenEditBeforeItUndoes)
{
    form->ListView1()->selectRow(1);
    form->MinusLaedenBtnClick(); // "Fassade" removed
    form->ListView1()->openEditor(0);
    auto *editor = qobject_cast<QLineEdit *>(form->ListView1()->indexWidget(doc().AssemblyList.index(0, 0)));
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("Neu"));
    form->Bearbeiten1()->Rckgngig1()->trigger();
    EXPECT_FALSE(form->ListView1()->isEditing());
    EXPECT_EQ(captions(doc().AssemblyList), std::vector<std::string>{"Dach"}) << "the rename is undone, not the removal";
    form->Bearbeiten1()->Wiederholen1()->trigger();
    EXPECT_EQ(captions(doc().AssemblyList), std::vector<std::string>{"Neu"});
}

TEST_F(Undo, newOpenAndReloadStartAFreshHistorySavingDoesNot)
{
    const auto changeSomething = [this] {
        form->PlusLaedenBtnClick();
        form->ListView1()->finishEditing();
        ASSERT_TRUE(stack().canUndo());
    };
    changeSomething();
    prompts.files = {path(QStringLiteral("gespeichert.mal"))};
    form->Speichernunter1Click();
    EXPECT_TRUE(stack().canUndo()) << "save";

    prompts.answers = {Answer::No};
    form->Neu1Click();
    EXPECT_FALSE(stack().canUndo()) << "new";

    changeSomething();
    prompts.answers = {Answer::No};
    prompts.files = {path(QStringLiteral("gespeichert.mal"))};
    form->ffnen1Click();
    EXPECT_FALSE(stack().canUndo()) << "open";

    changeSomething();
    writeDefault(starter() + "x");
    prompts.answers = {Answer::Yes};
    form->Timer1Timer();
    EXPECT_FALSE(stack().canUndo()) << "reload";
}

TEST_F(Undo, aReloadWhileARemovalAsksLeavesAFreshHistory)
{
    // The reload replaces the entry the question was about, so nothing is removed, and the history
    // starts afresh with the reloaded document.
    form->PlusLaedenBtnClick();
    ASSERT_EQ(stack().count(), 1);
    form->ListView2()->selectRow(0);
    prompts.whileOpen = [this] {
        writeDefault(starter() + "x");
        prompts.answers.push_front(Answer::Yes); // reload
        form->Timer1Timer();
    };
    form->MinusProdukteBtnClick();
    EXPECT_EQ(doc().DefectCatalog.count(), 3);
    EXPECT_EQ(stack().count(), 0);
    EXPECT_FALSE(stack().canUndo());
}
