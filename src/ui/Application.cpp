#include "ui/Application.h"

#include "document/Prompts.h"

#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

#include <exception>

namespace {
Prompts *g_errorPrompts = nullptr;
} // namespace

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {}

const QString &Application::title()
{
    static const QString t = QStringLiteral("Tessarol 1.2");
    return t;
}

QString Application::errorText(const QString &what)
{
    if (!what.isEmpty() && what.back().unicode() > u'.')
        return what + u'.';
    return what;
}

void Application::setErrorPrompts(Prompts *prompts)
{
    g_errorPrompts = prompts;
}

void Application::showError(const QString &what, Prompts *prompts)
{
    if (!prompts)
        prompts = g_errorPrompts;
    const QString text = errorText(what);
    if (prompts) {
        prompts->error(title(), text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, title(), text, QMessageBox::Ok, activeWindow());
    box.exec();
}

void Application::installGermanTranslations()
{
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const QString &name : {QStringLiteral("qtbase_de"), QStringLiteral("qt_de")}) {
        auto *translator = new QTranslator(this);
        if (translator->load(name, dir))
            installTranslator(translator);
        else
            delete translator;
    }
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        showError(QString::fromUtf8(e.what()));
    } catch (...) {
        showError(QStringLiteral("Unbekannter Fehler"));
    }
    return false;
}
