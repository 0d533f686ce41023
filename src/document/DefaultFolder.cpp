#include "document/DefaultFolder.h"

#include "document/NativeName.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace defaultfolder {

namespace {

const QString kListName = QStringLiteral("mängel.mal");

QString withSlash(QString folder)
{
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

// Looks at a path by its own bytes, also where they are not UTF-8 (QFileInfo would miss it): the
// file type, or 0 when nothing goes by that name.
mode_t typeOf(const QString &path)
{
    struct stat st {};
    return ::stat(nativename::toNative(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

bool mayWrite(const QString &path)
{
    return ::access(nativename::toNative(path).constData(), W_OK) == 0;
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

QString executableFolder()
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
    if (length <= 0 || size_t(length) >= sizeof target)
        return QCoreApplication::applicationDirPath();
    const QByteArray path(target, length);
    const qsizetype slash = path.lastIndexOf('/');
    return nativename::fromNative(slash > 0 ? path.left(slash) : QByteArray("/"));
}

Probe probe(const QString &executableFolder)
{
    const QString list = withSlash(executableFolder) + kListName;
    Probe found;
    found.listExists = typeOf(list) == S_IFREG;
    found.listWritable = found.listExists && mayWrite(list);
    found.folderWritable = typeOf(executableFolder) == S_IFDIR && mayWrite(executableFolder);
    found.installedStarter = typeOf(installedStarterFile(executableFolder)) == S_IFREG;
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
    if (typeOf(list) != 0)
        return folder;
    const QString starter =
        found.listExists ? withSlash(executableFolder) + kListName : installedStarterFile(executableFolder);
    if (typeOf(starter) != S_IFREG)
        return folder;
    // QFile::copy writes a temporary file and renames it: a second program starting at the same
    // moment finds either no file or the whole one.
    if (!QDir().mkpath(folder) || !QFile::copy(starter, list)) {
        if (typeOf(list) == 0) {
            *problem = QStringLiteral("Die Startdatei „%1“ konnte nicht nach „%2“ kopiert werden.")
                           .arg(QDir::toNativeSeparators(starter), QDir::toNativeSeparators(list));
        }
        return folder;
    }
    QFile::setPermissions(list, QFile::permissions(list) | QFile::ReadOwner | QFile::WriteOwner);
    return folder;
}

} // namespace defaultfolder
