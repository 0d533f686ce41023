#include "ui/Application.h"

#include "document/OutOfMemory.h"
#include "document/Prompts.h"

#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

#include <exception>
#include <new>

namespace {
Prompts *g_errorPrompts = nullptr;
} // namespace

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {}

const QString &Application::title()
{
    static const QString t = outofmemory::caption();
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

void Application::showCurrentException(Prompts *prompts) noexcept
{
    try {
        try {
            throw;
        } catch (const std::bad_alloc &) {
            showError(outofmemory::text(), prompts);
        } catch (const std::exception &e) {
            showError(QString::fromUtf8(e.what()), prompts);
        } catch (...) {
            showError(QStringLiteral("Unbekannter Fehler"), prompts);
        }
    } catch (...) {
        // Not even the message could be shown (memory is that short); the command has ended all the
        // same and the program goes on.
    }
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
    // The last net: every entry point guards itself (runHandler), so an exception here means one that
    // does not. It is logged for the developer and shown like any other.
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        qCritical("An exception crossed Qt's event dispatch to %s", receiver ? receiver->metaObject()->className() : "-");
        showCurrentException();
    }
    return false;
}
