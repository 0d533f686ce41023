#include "document/DefaultFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace defaultfolder {

namespace {

const QString kListName = QStringLiteral("mängel.mal");

QString withSlash(QString folder)
{
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

} // namespace

Place choose(const Probe &probe)
{
    if (probe.listExists && probe.listWritable)
        return Place::ProgramFolder;
    if (probe.installedStarter || probe.listExists || !probe.folderWritable)
        return Place::DataFolder;
    return Place::ProgramFolder;
}

QString installedStarterFile(const QString &executableFolder)
{
    return QDir::cleanPath(executableFolder + QStringLiteral("/../share/maengelliste/")) + u'/' + kListName;
}

QString installedGuideFile(const QString &executableFolder)
{
    return QDir::cleanPath(executableFolder + QStringLiteral("/../share/doc/maengelliste/Anleitung.md"));
}

Probe probe(const QString &executableFolder)
{
    const QFileInfo list(withSlash(executableFolder) + kListName);
    const QFileInfo folder(executableFolder);
    Probe found;
    found.listExists = list.isFile();
    found.listWritable = found.listExists && list.isWritable();
    found.folderWritable = folder.isDir() && folder.isWritable();
    found.installedStarter = QFileInfo(installedStarterFile(executableFolder)).isFile();
    return found;
}

QString prepare(const QString &executableFolder, const QString &dataFolder, QString *problem)
{
    problem->clear();
    const Probe found = probe(executableFolder);
    if (choose(found) == Place::ProgramFolder)
        return withSlash(executableFolder);

    const QString folder = withSlash(dataFolder);
    const QString list = folder + kListName;
    if (QFileInfo::exists(list))
        return folder;
    const QString starter =
        found.listExists ? withSlash(executableFolder) + kListName : installedStarterFile(executableFolder);
    if (!QFileInfo(starter).isFile())
        return folder;
    // QFile::copy writes a temporary file and renames it: a second program starting at the same
    // moment finds either no file or the whole one.
    if (!QDir().mkpath(folder) || !QFile::copy(starter, list)) {
        if (!QFileInfo::exists(list)) {
            *problem = QStringLiteral("Die Startdatei „%1“ konnte nicht nach „%2“ kopiert werden.")
                           .arg(QDir::toNativeSeparators(starter), QDir::toNativeSeparators(list));
        }
        return folder;
    }
    QFile::setPermissions(list, QFile::permissions(list) | QFile::ReadOwner | QFile::WriteOwner);
    return folder;
}

} // namespace defaultfolder
