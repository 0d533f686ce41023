#include "ui/StartArguments.h"

#include "document/Prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace startarguments {

namespace {

const QString kFallback =
    QStringLiteral("Das Programm öffnet stattdessen die Datei mängel.mal im Programmverzeichnis.");

} // namespace

QString listFile(const QStringList &arguments, QString *error)
{
    error->clear();
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
    const QFileInfo info(name);
    if (name.isEmpty() || !info.exists()) {
        *error = QStringLiteral("Die Datei „%1“ gibt es nicht. ").arg(name) + kFallback;
        return {};
    }
    if (!info.isFile()) {
        *error = QStringLiteral("„%1“ ist keine Datei. ").arg(name) + kFallback;
        return {};
    }
    return QDir::cleanPath(info.absoluteFilePath());
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

} // namespace startarguments
