#include "WindowFixture.h"
#include "ui/EditMenu.h"
#include "ui_MainUnit.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <functional>
#include <new>
#include <vector>
#include <stdexcept>

using Answer = Prompts::Answer;

namespace {

struct Failure {
    const char *name;
    std::function<void()> raise;
    QString shown;
};

const Failure kFailures[] = {
    {"out of memory", [] { throw std::bad_alloc(); },
     QStringLiteral("Nicht genügend Arbeitsspeicher, um den Befehl auszuführen.")},
    {"another error", [] { throw std::runtime_error("Datenträger nicht bereit"); },
     QStringLiteral("Datenträger nicht bereit.")},
};

struct HandlerErrors : WindowFixture {
    void SetUp() override
    {
        createWithStarter();
        form->show();
        QCoreApplication::processEvents();
    }
    void expectShown(const QString &text)
    {
        ASSERT_FALSE(prompts.messages.empty());
        EXPECT_EQ(testsupport::fields(prompts.messages.back()),
                  (testsupport::MessageFields{QStringLiteral("Tessarol 1.2"), text}));
    }
};

} // namespace

// The close was already asked for; a failure while saving must not let the window close unsaved.
TEST_F(HandlerErrors, aFailureWhileSavingAtCloseKeepsTheWindowOpenWithTheMessage)
{
    for (const Failure &f : kFailures) {
        SCOPED_TRACE(f.name);
        prompts.answers = {Answer::No};
        form->Neu1Click(); // unnamed: Ja in the close question asks for a name first
        doc().AssemblyList.append({"Ungesichert", {}});
        prompts.clear();
        QSignalSpy allowed(form.get(), &TMainForm::closeAllowed);
        prompts.answers = {Answer::Yes};
        prompts.whileOpen = [&] {
            prompts.whileOpen = f.raise; // the save dialog, opened by Ja
        };
        EXPECT_NO_THROW(form->close());
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(allowed.count(), 0);
        expectShown(f.shown);
        EXPECT_EQ(captions(doc().AssemblyList), std::vector<std::string>{"Ungesichert"});
    }
}

// A command started through its control ends in the general error display; the exception does not
// unwind through Qt's signal dispatch.
TEST_F(HandlerErrors, aCommandThatFailsEndsInTheGeneralErrorDisplay)
{
    for (const Failure &f : kFailures) {
        SCOPED_TRACE(f.name);
        prompts.clear();
        prompts.whileOpen = f.raise;
        EXPECT_NO_THROW(form->ui().Neu1->trigger());
        expectShown(f.shown);
        EXPECT_EQ(doc().AssemblyList.count(), 2) << "the command ended before it changed anything";

        prompts.clear();
        prompts.whileOpen = f.raise;
        form->ListView1()->selectRow(0);
        EXPECT_NO_THROW(emit form->ListView1()->keyDown(Qt::Key_Delete, {}));
        expectShown(f.shown);
        EXPECT_EQ(doc().AssemblyList.count(), 2);
    }
}

// Undo and redo from the menu are entry points of their own: a failure while the lists are put back
// ends in the general error display, and lists and history stay as they were.
TEST_F(HandlerErrors, aFailingUndoEndsInTheGeneralErrorDisplayAndChangesNothing)
{
    for (const Failure &f : kFailures) {
        SCOPED_TRACE(f.name);
        form->ListView3()->selectRow(0);
        prompts.answers = {Answer::Yes};
        form->MinusEinkaufBtnClick();
        ASSERT_EQ(doc().DefectList.count(), 0);
        prompts.clear();
        const QMetaObject::Connection failing =
            QObject::connect(&doc().DefectList, &QAbstractItemModel::rowsInserted, [&] { f.raise(); });
        EXPECT_NO_THROW(form->Bearbeiten1()->Rckgngig1()->trigger());
        QObject::disconnect(failing);
        expectShown(f.shown);
        EXPECT_EQ(doc().DefectList.count(), 0);
        EXPECT_TRUE(form->undoHistory().stack().canUndo());
        EXPECT_FALSE(form->undoHistory().stack().canRedo());

        form->Bearbeiten1()->Rckgngig1()->trigger();
        EXPECT_EQ(captions(doc().DefectList), std::vector<std::string>{"Alt"}) << "the history still works";
    }
}
