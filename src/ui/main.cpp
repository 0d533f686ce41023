#include "document/DefaultFolder.h"
#include "ui/AboutBoxUnit.h"
#include "ui/Application.h"
#include "ui/ArtikelFUnit.h"
#include "ui/DialogPrompts.h"
#include "ui/FocusStyle.h"
#include "ui/FontWarmUp.h"
#include "ui/LazyIcon.h"
#include "ui/MainUnit.h"
#include "ui/StartArguments.h"

#include <QStandardPaths>
#include <QTextStream>

#include <memory>

int main(int argc, char **argv)
{
    FontWarmUp fonts; // side by side with the application's start, up to the first text
    Application app(argc, argv);
    app.installGermanTranslations();
    FocusStyle::install();
    app.setWindowIcon(lazyicon::windowIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("maengelliste"));

    // The windows live until the program ends: the main window (which loads the default list file
    // as it is created), and from its first paint on the about dialog and the edit dialog.
    DialogPrompts prompts;
    fonts.wait(); // from here on boxes and the window measure text
    // `maengelliste DATEI.mal` opens that list file instead of the default one.
    QTextStream errors(stderr);
    const QString startFile =
        startarguments::takeListFile(startarguments::fromArgv(argc, argv), prompts, errors);
    // The default list file beside the program, or for an install for all users in the data folder.
    QString problem;
    const QString listFolder = defaultfolder::prepare(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/maengelliste"), &problem);
    if (!problem.isEmpty())
        errors << QStringLiteral("maengelliste: ") << problem << Qt::endl;
    TMainForm form(prompts, listFolder, nullptr, startFile);
    prompts.setParent(&form);
    // The first paint needs neither dialog: they are made right after it.
    std::unique_ptr<TAboutBox> about;
    std::unique_ptr<TArtikelForm> artikel;
    QObject::connect(&form, &TMainForm::firstPainted, &form, [&] {
        about = std::make_unique<TAboutBox>(&form);
        artikel = std::make_unique<TArtikelForm>(&form);
        prompts.setArtikelForm(artikel.get());
        form.setAboutBox(about.get());
    });

    form.show();
    return app.exec();
}
