#include "ScriptedPrompts.h"
#include "TestSupport.h"
#include "ui/Application.h"
#include "ui/HandlerGuard.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

using testsupport::fields;
using testsupport::MessageFields;

TEST(GeneralErrorDisplay, appendsAFullStopOnlyAfterCharactersPastIt)
{
    const std::pair<const char *, const char *> cases[] = {
        {"Kein Drucker", "Kein Drucker."}, {"Fehler 42", "Fehler 42."}, {"Wirklich?", "Wirklich?."},
        {"Fertig.", "Fertig."},            {"Halt!", "Halt!"},          {"(intern)", "(intern)"},
        {"", ""},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(Application::errorText(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

// Every entry point from Qt runs its handler through the guard, which ends what the handler raises in
// the general error display before it could reach Qt's dispatch.
TEST(GeneralErrorDisplay, anExceptionFromAHandlerIsShownAndTheProgramGoesOn)
{
    ScriptedPrompts prompts;
    Application::setErrorPrompts(&prompts);
    QPushButton button;
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        runHandler(nullptr, [&] {
            ++clicks;
            throw std::runtime_error("Der Drucker antwortet nicht");
        });
    });
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(fields(prompts.messages[0]),
              (MessageFields{QStringLiteral("Tessarol 1.2"), QStringLiteral("Der Drucker antwortet nicht.")}));
    Application::setErrorPrompts(nullptr);
}

TEST(GeneralErrorDisplay, runningOutOfMemoryIsShownInGerman)
{
    ScriptedPrompts prompts;
    Application::setErrorPrompts(&prompts);
    QPushButton button;
    QObject::connect(&button, &QPushButton::clicked, [] { runHandler(nullptr, [] { throw std::bad_alloc(); }); });
    QTest::mouseClick(&button, Qt::LeftButton);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(fields(prompts.messages[0]),
              (MessageFields{QStringLiteral("Tessarol 1.2"),
                             QStringLiteral("Nicht genügend Arbeitsspeicher, um den Befehl auszuführen.")}));
    Application::setErrorPrompts(nullptr);
}

int main(int argc, char **argv)
{
    Application app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
