#include "document/InterruptedSave.h"

#include "document/NativeName.h"
#include "document/RecoveryFolder.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace interruptedsave {
namespace {

constexpr char kHeader[] = "Maengelliste-Unterbrochen 1";
constexpr char kMarkerSuffix[] = ".unterbrochen";
constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kIdLength = 8;
// A marker is a few lines and a path; anything longer is not one of ours.
constexpr qint64 kMarkerLimit = 64 * 1024;
// Room left in a copy's name for the file's name.
constexpr qsizetype kCopyNameRoom = 200;

QByteArray nativeFolder()
{
    return nativename::toNative(folder());
}

QByteArray randomId()
{
    QByteArray id(kIdLength, 'x');
    for (char &c : id)
        c = kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
    return id;
}

void closeLock(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

int openFile(const QByteArray &path)
{
    return ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
}

// Takes the flock on the file open at `fd` without waiting: whether it was free and `path` still
// leads to that file.
bool lock(int fd, const QByteArray &path)
{
    struct stat held {};
    struct stat named {};
    return fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
           ::lstat(path.constData(), &named) == 0 && named.st_ino == held.st_ino && named.st_dev == held.st_dev;
}

QByteArray absolute(const QByteArray &path)
{
    if (path.startsWith('/'))
        return path;
    char *cwd = ::getcwd(nullptr, 0);
    const QByteArray full = cwd ? QByteArray(cwd) + '/' + path : path;
    std::free(cwd);
    return full;
}

// Whether the file at `path` holds exactly `bytes`.
bool holds(const QByteArray &path, const QByteArray &bytes)
{
    const FileResult<QByteArray> now = safefile::readAll(nativename::fromNative(path));
    return now && *now == bytes;
}

} // namespace

QString folder()
{
    return RecoveryFolder::path() + QStringLiteral("/unterbrochen");
}

bool isMarkerName(std::string_view name)
{
    const std::string_view suffix(kMarkerSuffix);
    return name.size() == kIdLength + suffix.size() && name.substr(kIdLength) == suffix &&
           name.substr(0, kIdLength).find_first_not_of(kLetters) == std::string_view::npos;
}

// ---- Journal ----

Journal Journal::begin(const QByteArray &target, const safefile::Writer &write, safefile::Flush flush)
{
    Journal journal;
    const QByteArray dir = nativeFolder();
    if (!RecoveryFolder::ensure() || (::mkdir(dir.constData(), 0700) != 0 && errno != EEXIST))
        return journal;
    const QByteArray id = randomId();
    const QByteArray full = absolute(target);
    const QByteArray copyName = id + '-' + full.mid(full.lastIndexOf('/') + 1).left(kCopyNameRoom);
    const QByteArray copy = dir + '/' + copyName;
    if (!safefile::writeLocked(nativename::fromNative(copy), write, &journal.m_copyLock, flush))
        return journal;
    journal.m_copy = copy;
    struct stat st {};
    if (::fstat(journal.m_copyLock, &st) != 0) {
        journal.dropCopy();
        return journal;
    }
    const QByteArray marker = QByteArray(kHeader) + '\n' + QByteArray::number(QDateTime::currentMSecsSinceEpoch()) +
                              '\n' + copyName + '\n' + QByteArray::number(qint64(st.st_size)) + '\n' + full;
    const QByteArray markerPath = dir + '/' + id + kMarkerSuffix;
    if (!safefile::writeLocked(nativename::fromNative(markerPath), safefile::bytesWriter(marker), &journal.m_markerLock,
                               flush)) {
        journal.dropCopy();
        return journal;
    }
    journal.m_marker = markerPath;
    return journal;
}

Journal::Journal(Journal &&other) noexcept
    : m_marker(std::move(other.m_marker)), m_copy(std::move(other.m_copy)),
      m_markerLock(std::exchange(other.m_markerLock, -1)), m_copyLock(std::exchange(other.m_copyLock, -1))
{
    other.m_marker.clear();
    other.m_copy.clear();
}

Journal::~Journal()
{
    if (m_markerLock >= 0)
        ::unlink(m_marker.constData());
    closeLock(m_markerLock);
    dropCopy();
}

void Journal::dropCopy()
{
    if (m_copyLock >= 0)
        ::unlink(m_copy.constData());
    closeLock(m_copyLock);
}

// ---- Pending ----

Pending::Pending(Pending &&other) noexcept
{
    *this = std::move(other);
}

Pending &Pending::operator=(Pending &&other) noexcept
{
    if (this != &other) {
        closeLock(m_lock);
        m_target = std::move(other.m_target);
        m_marker = std::move(other.m_marker);
        m_copy = std::move(other.m_copy);
        m_size = other.m_size;
        m_began = std::move(other.m_began);
        m_lock = std::exchange(other.m_lock, -1);
    }
    return *this;
}

Pending::~Pending()
{
    closeLock(m_lock);
}

QString Pending::target() const
{
    return nativename::fromNative(m_target);
}

QString Pending::copy() const
{
    return nativename::fromNative(m_copy);
}

void Pending::finish()
{
    ::unlink(m_marker.constData()); // under the lock: no other program takes it up meanwhile
    closeLock(m_lock);
    ::unlink(m_copy.constData());
}

std::vector<Pending> find()
{
    std::vector<Pending> found;
    const QByteArray dir = nativeFolder();
    std::vector<QByteArray> markers, others;
    {
        const std::unique_ptr<DIR, int (*)(DIR *)> listing(::opendir(dir.constData()), ::closedir);
        if (!listing)
            return found;
        while (const dirent *entry = ::readdir(listing.get())) {
            const std::string_view name(entry->d_name);
            if (isMarkerName(name))
                markers.emplace_back(entry->d_name);
            else if (!name.starts_with('.'))
                others.emplace_back(entry->d_name);
        }
    }
    std::set<QByteArray> copies; // named by a marker, whoever holds it
    for (const QByteArray &name : markers) {
        Pending pending;
        pending.m_marker = dir + '/' + name;
        pending.m_lock = openFile(pending.m_marker);
        if (pending.m_lock < 0)
            continue;
        QByteArray text(kMarkerLimit, Qt::Uninitialized);
        const ssize_t got = ::pread(pending.m_lock, text.data(), std::size_t(text.size()), 0);
        text.truncate(got < 0 ? 0 : qsizetype(got));
        const QList<QByteArray> lines = text.split('\n');
        bool sizeOk = false, timeOk = false;
        if (lines.size() >= 5 && lines[0] == kHeader && !lines[2].contains('/') && !lines[2].isEmpty()) {
            copies.insert(lines[2]);
            pending.m_began = QDateTime::fromMSecsSinceEpoch(lines[1].toLongLong(&timeOk), Qt::UTC);
            pending.m_size = lines[3].toLongLong(&sizeOk);
            pending.m_copy = dir + '/' + lines[2];
            pending.m_target = text.mid(lines[0].size() + lines[1].size() + lines[2].size() + lines[3].size() + 4);
        }
        if (!lock(pending.m_lock, pending.m_marker))
            continue; // a running save's, or another starting program's
        struct stat st {};
        if (!sizeOk || !timeOk || pending.m_target.isEmpty() || got >= kMarkerLimit) {
            ::unlink(pending.m_marker.constData()); // not a marker of ours
            continue;
        }
        if (::stat(pending.m_copy.constData(), &st) != 0 || qint64(st.st_size) != pending.m_size) {
            // Without its whole copy there is nothing to offer; a part of one is kept all the same.
            if (::access(pending.m_copy.constData(), F_OK) == 0)
                (void)RecoveryFolder::discard(pending.copy());
            ::unlink(pending.m_marker.constData());
            continue;
        }
        const FileResult<QByteArray> copy = safefile::readAll(pending.copy());
        if (copy && holds(pending.m_target, *copy)) {
            pending.finish(); // the file was written whole; only the tidying up was cut short
            continue;
        }
        found.push_back(std::move(pending));
    }
    for (const QByteArray &name : others) {
        const QByteArray path = dir + '/' + name;
        int fd = openFile(path);
        if (copies.count(name) == 0 && lock(fd, path))
            ::unlink(path.constData());
        closeLock(fd);
    }
    std::sort(found.begin(), found.end(), [](const Pending &a, const Pending &b) { return a.m_began < b.m_began; });
    return found;
}

FileResult<void> restore(Pending &pending)
{
    FileResult<QByteArray> bytes = safefile::readAll(pending.copy());
    if (!bytes)
        return bytes.error();
    if (bytes->size() != pending.m_size)
        return FileError::format();
    struct stat st {};
    const FileResult<void> written =
        ::stat(pending.m_target.constData(), &st) == 0
            ? safefile::writeInPlace(pending.target(), safefile::bytesWriter(*bytes), nullptr, safefile::Flush::ToDisk,
                                     safefile::Journal::None)
            : safefile::writeAll(pending.target(), *bytes);
    if (!written)
        return written;
    pending.finish();
    return {};
}

FileResult<void> discard(Pending &pending)
{
    if (const FileResult<void> moved = RecoveryFolder::discard(pending.copy()); !moved)
        return moved;
    ::unlink(pending.m_marker.constData());
    closeLock(pending.m_lock);
    return {};
}

} // namespace interruptedsave
