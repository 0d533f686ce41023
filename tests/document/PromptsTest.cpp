// The program's own question before the file chosen in a save dialog replaces another.
#include "ScriptedPrompts.h"
#include "TestSupport.h"
#include "document/NativeName.h"
#include "document/SafeFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using Answer = Prompts::Answer;

namespace {

struct ChooseSaveFile : ::testing::Test {
    QTemporaryDir dir;
    testsupport::NativeNames names{dir.path()};
    ScriptedPrompts prompts;
    const QString existing = names.path("liste.mal");
    const QString latin1 = names.path("\xe4nderung.mal"); // a name in another encoding than UTF-8
    const QString fresh = names.path("neu.mal");

    void SetUp() override
    {
        ASSERT_TRUE(safefile::writeAll(existing, "alt"));
        ASSERT_TRUE(safefile::writeAll(latin1, "alt"));
    }
    QString choose(bool confirm = true)
    {
        Prompts::FileDialog dialog;
        dialog.confirmOverwrite = confirm;
        dialog.selectedType = 1;
        const std::optional<Prompts::FileChoice> choice = prompts.chooseSaveFile(dialog);
        return choice ? choice->path : QStringLiteral("(abgebrochen)");
    }
};

} // namespace

TEST_F(ChooseSaveFile, asksBeforeEveryExistingFileAndNoReturnsToTheDialog)
{
    const QString cancelled = QStringLiteral("(abgebrochen)");
    const struct {
        const char *name;
        QString chosen;
        bool confirm;
        std::deque<Answer> answers;
        bool asked;
        QString result;
    } cases[] = {
        {"a new file", fresh, true, {}, false, fresh},
        {"an existing file, Yes", existing, true, {Answer::Yes}, true, existing},
        {"a name that is not UTF-8, Yes", latin1, true, {Answer::Yes}, true, latin1},
        {"a name that is not UTF-8, No", latin1, true, {Answer::No}, true, cancelled},
        {"the box closed", existing, true, {Answer::Closed}, true, cancelled},
        {"a dialog that does not confirm", existing, false, {}, false, existing},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        prompts.clear();
        prompts.files = {c.chosen}; // the dialog shown again is cancelled
        prompts.answers = c.answers;
        EXPECT_EQ(choose(c.confirm), c.result);
        EXPECT_EQ(prompts.messages.size(), c.asked ? 1u : 0u);
        if (c.result == cancelled) {
            ASSERT_EQ(prompts.dialogs.size(), 2u);
            EXPECT_EQ(prompts.dialogs[1].startPath, c.chosen) << "the dialog opens again on the name";
            EXPECT_EQ(prompts.dialogs[1].selectedType, 1);
        }
    }
}

TEST_F(ChooseSaveFile, theQuestionNamesTheFileAndSuggestsNo)
{
    prompts.files = {latin1, fresh};
    prompts.answers = {Answer::No};
    EXPECT_EQ(choose(), fresh);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(testsupport::withDetail(prompts.messages[0]),
              (testsupport::MessageFields{QStringLiteral("Speichern unter"),
                                          QStringLiteral("Die Datei „%1“ gibt es schon. Soll sie ersetzt werden?")
                                              .arg(nativename::fromNative("\xe4nderung.mal")),
                                          Prompts::Icon::Warning, Prompts::Buttons::YesNo, latin1}));
    EXPECT_EQ(prompts.messages[0].defaultButton, Answer::No);
}
