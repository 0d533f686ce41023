#include "ui/StartArguments.h"

#include "document/NativeName.h"
#include "document/Prompts.h"

#include <QDir>
#include <QTextStream>

#include <algorithm>
#include <cstring>

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace startarguments {

namespace {

const QString kFallback =
    QStringLiteral("Das Programm öffnet stattdessen die Datei mängel.mal im Programmverzeichnis.");

} // namespace

QString listFile(QStringList arguments, QString *error)
{
    error->clear();
    // "--" ends the options (the program has none of its own): what follows is a file name, even
    // one that begins with "-".
    arguments.removeOne(QStringLiteral("--"));
    if (arguments.isEmpty())
        return {};
    if (arguments.size() > 1) {
        *error = QStringLiteral("Es kann nur eine Datei angegeben werden (maengelliste DATEI.mal), angegeben wurden %1 "
                                "Argumente. ")
                     .arg(arguments.size()) +
                 kFallback;
        return {};
    }
    const QString &name = arguments.front();
    // The name's bytes as the system gave them, also where they are not UTF-8.
    struct stat st {};
    if (name.isEmpty() || ::stat(nativename::toNative(name).constData(), &st) != 0) {
        *error = QStringLiteral("Die Datei „%1“ gibt es nicht. ").arg(name) + kFallback;
        return {};
    }
    if (!S_ISREG(st.st_mode)) {
        *error = QStringLiteral("„%1“ ist keine Datei. ").arg(name) + kFallback;
        return {};
    }
    if (QDir::isAbsolutePath(name))
        return QDir::cleanPath(name);
    // The working folder's own bytes: Qt's own form loses a folder whose name is not UTF-8.
    char folder[PATH_MAX];
    const QString working = ::getcwd(folder, sizeof folder) ? nativename::fromNative(QByteArray(folder)) : QDir::currentPath();
    return QDir::cleanPath(working + u'/' + name);
}

QString takeListFile(const QStringList &arguments, Prompts &prompts, QTextStream &errors)
{
    QString error;
    const QString file = listFile(arguments, &error);
    if (!error.isEmpty()) {
        errors << QStringLiteral("maengelliste: ") << error << Qt::endl;
        prompts.error(QStringLiteral("Fehler beim Aufruf"), error);
    }
    return file;
}

CommandLine::CommandLine(int argc, char **argv)
{
    const auto dashes = std::find_if(argv + std::min(argc, 1), argv + argc,
                                     [](const char *a) { return std::strcmp(a, "--") == 0; });
    m_qtArgv.assign(argv, dashes);
    m_qtArgc = int(m_qtArgv.size());
    m_qtArgv.push_back(nullptr);
    m_rest.assign(dashes, argv + argc);
}

QStringList CommandLine::programArguments() const
{
    QStringList arguments;
    for (int i = 1; i < m_qtArgc; ++i)
        arguments << nativename::fromNative(QByteArray(m_qtArgv[size_t(i)]));
    for (const char *a : m_rest)
        arguments << nativename::fromNative(QByteArray(a));
    return arguments;
}

} // namespace startarguments
