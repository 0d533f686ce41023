#include "document/LeftCopies.h"

#include "document/RecoveryFolder.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

LeftCopies LeftCopies::find()
{
    LeftCopies found;
    const QDir folder(RecoveryFolder::path());
    const QString prefix = QString::fromLatin1(recoveryfile::kCopyPrefix);
    const QStringList names = folder.entryList({prefix + u'*' + QString::fromLatin1(recoveryfile::kCopySuffix),
                                                prefix + u'*' + QString::fromLatin1(recoveryfile::kLockSuffix)},
                                               QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &name : names) {
        if (!name.endsWith(QString::fromLatin1(recoveryfile::kLockSuffix)))
            continue;
        // A lock without a copy: its program ended before it had anything to keep, or was killed then.
        const QString lock = folder.filePath(name);
        if (!QFile::exists(recoveryfile::copyPathOf(lock)))
            recoveryfile::releaseLock(lock, recoveryfile::tryLock(lock));
    }
    for (const QString &name : names) {
        if (!name.endsWith(QString::fromLatin1(recoveryfile::kCopySuffix)))
            continue;
        Left left{folder.filePath(name)};
        left.lockFd = recoveryfile::tryLock(recoveryfile::lockPathOf(left.path));
        if (left.lockFd < 0)
            continue; // its program runs, or cannot be told apart from one that does
        if (!QFile::exists(left.path)) { // taken over meanwhile by a program that started with this one
            recoveryfile::releaseLock(recoveryfile::lockPathOf(left.path), left.lockFd);
            continue;
        }
        found.m_copies.push_back(std::move(left));
    }
    return found;
}

LeftCopies::~LeftCopies()
{
    for (Left &left : m_copies)
        release(left);
}

void LeftCopies::read()
{
    for (Left &left : m_copies) {
        try {
            left.copy = recoveryfile::read(left.path);
        } catch (const std::bad_alloc &) {
            left.copy = FileError{ENOMEM};
        }
    }
    std::stable_sort(m_copies.begin(), m_copies.end(), [](const Left &a, const Left &b) {
        if (!a.copy || !b.copy)
            return !a.copy && b.copy;
        return a.copy->time > b.copy->time;
    });
}

FileResult<void> LeftCopies::discard(Left &left)
{
    const FileResult<void> moved = RecoveryFolder::discard(left.path);
    if (moved)
        release(left);
    return moved;
}

void LeftCopies::release(Left &left)
{
    recoveryfile::releaseLock(recoveryfile::lockPathOf(left.path), left.lockFd);
    left.lockFd = -1;
}
