#include "ui/AboutBoxUnit.h"
#include "ui/Application.h"
#include "ui/ArtikelFUnit.h"
#include "ui/DialogPrompts.h"
#include "ui/MainUnit.h"
#include "ui/StartArguments.h"
#include "ui/StartupProbe.h"

#include <QIcon>
#include <QTextStream>

#include <memory>

int main(int argc, char **argv)
{
    Application app(argc, argv);
    startupprobe::installIfAsked(app);
    app.installGermanTranslations();
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/maengelliste.svg")));
    QGuiApplication::setDesktopFileName(QStringLiteral("maengelliste"));

    // The three windows live until the program ends: the main window (which loads the default
    // list file as it is created), the about dialog and the edit dialog.
    DialogPrompts prompts;
    // `maengelliste DATEI.mal` opens that list file instead of the default one.
    QTextStream errors(stderr);
    const QString startFile =
        startarguments::takeListFile(QCoreApplication::arguments().mid(1), prompts, errors);
    TMainForm form(prompts, {}, nullptr, startFile);
    prompts.setParent(&form);
    // The two dialogs are made once the main window has been painted: the first paint needs neither.
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
