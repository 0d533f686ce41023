#include "document/RecoveryFolder.h"

#include "document/NativeName.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace RecoveryFolder {
namespace {

// How many turned-down copies "verworfen" keeps.
constexpr std::size_t kKeptDiscarded = 10;

int lastError()
{
    return errno != 0 ? errno : EIO;
}

// Creates `folder` and its missing parents with mode 0700; 0, or the reason it failed.
int makeFolder(const QByteArray &folder)
{
    struct stat st {};
    if (::stat(folder.constData(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    const qsizetype slash = folder.lastIndexOf('/');
    if (slash > 0) {
        if (const int error = makeFolder(folder.left(slash)))
            return error;
    }
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
        return lastError();
    return 0;
}

// "Begehung.mal" => "Begehung (2).mal"; a name without extension or a hidden one gets the number at its end.
QByteArray numbered(const QByteArray &name, int number)
{
    const QByteArray tag = " (" + QByteArray::number(number) + ')';
    const qsizetype dot = name.lastIndexOf('.');
    if (dot <= 0)
        return name + tag;
    return name.left(dot) + tag + name.mid(dot);
}

// Moves `from` to `to` unless `to` exists; 0, EEXIST, or the reason it failed.
int renameNoReplace(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return lastError();
    // A file system without the flag: a hard link cannot replace either.
    if (::link(from.constData(), to.constData()) != 0)
        return lastError();
    ::unlink(from.constData());
    return 0;
}

// Removes all but the newest kKeptDiscarded regular files of `folder`; `kept` stays whatever its age.
void prune(const QByteArray &folder, const QByteArray &kept)
{
    struct Found {
        QByteArray path;
        struct timespec mtime;
    };
    std::vector<Found> files;
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(folder.constData()), ::closedir);
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir.get())) {
        const QByteArray path = folder + '/' + entry->d_name;
        struct stat st {};
        if (path == kept || ::lstat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        files.push_back({path, st.st_mtim});
    }
    if (files.size() < kKeptDiscarded)
        return;
    std::sort(files.begin(), files.end(), [](const Found &a, const Found &b) {
        return a.mtime.tv_sec != b.mtime.tv_sec ? a.mtime.tv_sec > b.mtime.tv_sec : a.mtime.tv_nsec > b.mtime.tv_nsec;
    });
    for (std::size_t i = kKeptDiscarded - 1; i < files.size(); ++i)
        ::unlink(files[i].path.constData());
}

} // namespace

QString path()
{
    const QString state = nativename::fromNative(qgetenv("XDG_STATE_HOME"));
    if (QDir::isAbsolutePath(state))
        return QDir::cleanPath(state) + QStringLiteral("/maengelliste");
    return QDir::cleanPath(QDir::homePath()) + QStringLiteral("/.local/state/maengelliste");
}

QString discardedPath()
{
    return path() + QStringLiteral("/verworfen");
}

FileResult<void> ensure()
{
    if (const int error = makeFolder(nativename::toNative(path())))
        return FileError{error};
    return {};
}

FileResult<void> discard(const QString &file)
{
    const QByteArray from = nativename::toNative(file);
    const QByteArray folder = nativename::toNative(discardedPath());
    if (const int error = makeFolder(folder))
        return FileError{error};
    const qsizetype slash = from.lastIndexOf('/');
    const QByteArray name = slash < 0 ? from : from.mid(slash + 1);
    if (name.isEmpty())
        return FileError{EISDIR};
    QByteArray to = folder + '/' + name;
    int error = renameNoReplace(from, to);
    for (int number = 2; error == EEXIST && number < 10000; ++number) {
        to = folder + '/' + numbered(name, number);
        error = renameNoReplace(from, to);
    }
    if (error != 0)
        return FileError{error};
    prune(folder, to);
    return {};
}

QString when(const QDateTime &moment)
{
    const QDateTime local = moment.toLocalTime();
    return local.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" um ") +
           local.toString(QStringLiteral("HH:mm"));
}

} // namespace RecoveryFolder
