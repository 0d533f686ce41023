#include "WindowFixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <functional>

using testsupport::crlf;
using Answer = Prompts::Answer;

namespace {

// What another program writes into mängel.mal while a question of the window is open: one entry in
// each list, none of them the entry the question was about.
QByteArray outsideFile()
{
    return crlf({"1", "Keller", "1", "Schimmel", "Keller", "1", "Feucht", "Keller"});
}

struct PromptReload : WindowFixture {
    void SetUp() override
    {
        createWithStarter();
        form->show();
        QCoreApplication::processEvents();
    }

    // Rewrites mängel.mal and lets the watch reload it, answered Ja.
    void reloadNow()
    {
        writeDefault(outsideFile());
        testsupport::setFileTime(defaultFile(), 1000000000);
        prompts.answers.push_front(Answer::Yes);
        form->Timer1Timer();
    }
    // The same while the next message or dialog is open.
    void reloadDuringNextPrompt()
    {
        prompts.whileOpen = [this] { reloadNow(); };
    }
    // The editor open on the row of the view, with text typed into it.
    QPointer<QLineEdit> typeInPlace(ListView *view, int row, const QString &text)
    {
        view->openEditor(row);
        auto *editor = qobject_cast<QLineEdit *>(view->indexWidget(view->model()->index(row, 0)));
        EXPECT_NE(editor, nullptr);
        if (editor)
            editor->setText(text);
        return editor;
    }
    // Return in an editor that may have gone with its entry.
    void pressReturn(const QPointer<QLineEdit> &editor, ListView *view)
    {
        if (editor)
            QTest::keyClick(editor, Qt::Key_Return);
        view->finishEditing();
        QCoreApplication::processEvents();
    }
};

struct Case {
    const char *name;
    ListView *(TMainForm::*view)() const; // the view whose row the user picks first, if any
    int row;
    std::function<void(PromptReload &)> act;
};

} // namespace

// Every handler that asks something and then acts on an entry: while its question or dialog is
// open, another program rewrites mängel.mal and the reload is answered Ja (Ja and OK also answer the
// handler's own prompt). The entry the user chose is gone with the old lists, so the handler must
// leave the reloaded lists alone, whatever stands at the old row now (row 0) or whether the old row
// exists at all (the later rows). In-place editors are open while the reload runs.
TEST_F(PromptReload, aHandlerWhoseEntryWasReplacedDuringItsPromptChangesNothing)
{
    using F = TMainForm;
    const Case cases[] = {
        {"remove assembly, row 0", &F::ListView1, 0, [](PromptReload &t) { t.form->MinusLaedenBtnClick(); }},
        {"remove assembly, last row", &F::ListView1, 1, [](PromptReload &t) { t.form->MinusLaedenBtnClick(); }},
        {"remove catalogue defect", &F::ListView2, 0, [](PromptReload &t) { t.form->MinusProdukteBtnClick(); }},
        {"remove defect-list entry", &F::ListView3, 0, [](PromptReload &t) { t.form->MinusEinkaufBtnClick(); }},
        {"remove through the filtered view", &F::ListView4, 1,
         [](PromptReload &t) {
             t.form->ListView2()->selectRow(0);
             QTest::keyClick(t.form->ListView4(), Qt::Key_Delete);
         }},
        {"clear assemblies", nullptr, 0, [](PromptReload &t) { t.form->DelList1Click(); }},
        {"clear catalogue", nullptr, 0, [](PromptReload &t) { t.form->DelList2Click(); }},
        {"clear defect list", nullptr, 0, [](PromptReload &t) { t.form->DelList3Click(); }},
        {"edit dialog, row 0", &F::ListView2, 0, [](PromptReload &t) { t.form->PropEdClick(); }},
        {"edit dialog, last row", &F::ListView2, 2, [](PromptReload &t) { t.form->PropEdClick(); }},
        {"copy with its missing-selection message open", nullptr, 0,
         [](PromptReload &t) { t.form->PlusEinkaufBtnClick(); }},
        {"in-place editor in the catalogue, last row", nullptr, 0,
         [](PromptReload &t) {
             const QPointer<QLineEdit> editor = t.typeInPlace(t.form->ListView2(), 2, QStringLiteral("Getippt"));
             t.prompts.whileOpen = nullptr; // the reload comes while the editor is open instead
             t.reloadNow();
             t.pressReturn(editor, t.form->ListView2());
         }},
        {"in-place editor on a copy in the defect list", &F::ListView2, 0,
         [](PromptReload &t) {
             t.form->PlusEinkaufBtnClick();
             const QPointer<QLineEdit> editor = t.typeInPlace(t.form->ListView3(), 1, QStringLiteral("Getippt"));
             t.prompts.whileOpen = nullptr; // the reload comes while the editor is open instead
             t.reloadNow();
             t.pressReturn(editor, t.form->ListView3());
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writeDefault(starter());
        doc().OpenLists(defaultFile());
        form->UpdateFilterBtnClick();
        if (c.view)
            (form.get()->*c.view)()->selectRow(c.row);
        prompts.clear();
        prompts.answers = {Answer::Yes};
        prompts.names = {QStringLiteral("Umbenannt")};
        reloadDuringNextPrompt();
        c.act(*this);
        EXPECT_FALSE(prompts.whileOpen) << "the reload ran during the prompt";
        EXPECT_EQ(captions(doc().AssemblyList), std::vector<std::string>{"Keller"});
        EXPECT_EQ(doc().DefectCatalog.entries(), (std::vector<ListEntry>{{"Schimmel", {"Keller"}}}));
        EXPECT_EQ(doc().DefectList.entries(), (std::vector<ListEntry>{{"Feucht", {"Keller"}}}));
    }
}

// A question whose entry survives (the reload could not open the file) goes on as usual.
TEST_F(PromptReload, aReloadThatKeepsTheListsLeavesTheAnswerInForce)
{
    form->ListView2()->selectRow(0);
    prompts.names = {QStringLiteral("Haarriss")};
    prompts.whileOpen = [this] {
        ASSERT_TRUE(QFile::remove(defaultFile()));
        prompts.answers.push_front(Answer::Yes);
        form->Timer1Timer();
    };
    form->PropEdClick();
    EXPECT_EQ(doc().DefectCatalog.caption(0), "Haarriss");

    prompts.answers = {Answer::Yes};
    prompts.whileOpen = [this] {
        writeDefault(starter());
        prompts.answers.push_front(Answer::No);
        form->Timer1Timer();
    };
    form->DelList3Click();
    EXPECT_EQ(doc().DefectList.count(), 0) << "a declined reload leaves the list the question was about";
}
