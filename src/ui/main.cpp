#include "document/DefaultFolder.h"
#include "ui/AboutBoxUnit.h"
#include "ui/Application.h"
#include "ui/DialogPrompts.h"
#include "ui/FocusStyle.h"
#include "ui/FontWarmUp.h"
#include "ui/MainUnit.h"
#include "ui/StartArguments.h"

#include <QIcon>
#include <QStandardPaths>
#include <QTextStream>

int main(int argc, char **argv)
{
    FontWarmUp fonts; // side by side with the application's start, up to the first text
    // Qt takes its options from the arguments before a first "--" only.
    startarguments::CommandLine commandLine(argc, argv);
    Application app(commandLine.qtArgc(), commandLine.qtArgv());
    app.installGermanTranslations();
    FocusStyle::install();
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/maengelliste.svg")));
    QGuiApplication::setDesktopFileName(QStringLiteral("maengelliste"));

    // The windows live until the program ends: the main window (which loads the default list file
    // as it is created) with its about dialog; the prompts make the edit dialog when it is first needed.
    DialogPrompts prompts;
    fonts.wait(); // from here on boxes and the window measure text
    // `maengelliste DATEI.mal` opens that list file instead of the default one.
    QTextStream errors(stderr);
    const QString startFile =
        startarguments::takeListFile(commandLine.programArguments(), prompts, errors);
    // The default list file beside the program, or for an install for all users in the data folder.
    QString problem;
    const QString listFolder = defaultfolder::prepare(
        defaultfolder::executableFolder(),
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/maengelliste"), &problem);
    if (!problem.isEmpty())
        errors << QStringLiteral("maengelliste: ") << problem << Qt::endl;
    TMainForm form(prompts, listFolder, nullptr, startFile);
    prompts.setParent(&form);
    TAboutBox about(&form);
    form.setAboutBox(&about);
    form.show();
    return app.exec();
}
