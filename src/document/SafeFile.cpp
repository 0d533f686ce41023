#include "document/SafeFile.h"

#include "document/InterruptedSave.h"
#include "document/NativeName.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace safefile {
namespace {

// What a file may grow by while it is read before the reading gives up.
constexpr qint64 kGrowthWhileRead = qint64(1) << 20;

// Closes a descriptor when the scope ends.
struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int release() { return std::exchange(fd, -1); }
};

// How much of a writer's output is gathered before it goes to the file: small enough to stay in
// the processor's cache while it is made and copied, large enough that the calls cost little
// (measured: 64 KiB and a buffer of the whole file are slower, 256 KiB to 4 MiB alike).
constexpr std::size_t kChunk = std::size_t(1) << 20;
// How much written data is sent on to the disk at a time, while the writer makes the rest: the
// flush at the end, or the writeback that a rename over an existing file starts, then has little
// left to do.
constexpr off_t kWritebackStep = off_t(4) << 20;

// A write to the file failed: it ends the writer.
struct WriteFailed {
    int error;
};

// The reason the last system call failed; one that set none is taken for a failing device.
int lastError()
{
    return errno != 0 ? errno : EIO;
}

// Writes all bytes at `at`; 0, or the reason it failed.
int pwriteFully(int fd, const char *data, std::size_t size, off_t at)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, at + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return lastError(); // a full disk: EFBIG, ENOSPC, EDQUOT
        if (n == 0)
            return ENOSPC; // nothing written, rarely: no room for more
        done += std::size_t(n);
    }
    return 0;
}

// Writes a file from its start with what a writer puts into it, through a buffer of kChunk bytes
// (larger for as long as one piece needs it), and starts the disk's writeback every kWritebackStep
// bytes. A piece at least as large as the buffer goes to the file directly.
class FileSink final : public ByteSink {
public:
    explicit FileSink(int fd) : m_fd(fd), m_buffer(new char[kChunk]), m_capacity(kChunk)
    {
        setWindow(m_buffer.get(), m_buffer.get() + m_capacity);
    }

    // Runs the writer; 0 when it finished and every byte reached the file, else the reason.
    int run(const Writer &write)
    {
        try {
            write(*this);
        } catch (const WriteFailed &failed) {
            return failed.error;
        }
        return isFinished() ? 0 : EIO;
    }

    // The bytes written.
    off_t size() const { return m_written; }

private:
    char *makeRoom(char *at, std::size_t size) override
    {
        drain(at);
        if (size > m_capacity) {
            std::unique_ptr<char[]> larger(new char[size]);
            m_buffer = std::move(larger);
            m_capacity = size;
            setWindow(m_buffer.get(), m_buffer.get() + m_capacity);
        }
        return windowBegin();
    }

    char *putLarge(char *at, std::string_view bytes) override
    {
        drain(at);
        if (bytes.size() >= m_capacity) {
            send(bytes.data(), bytes.size());
            return windowBegin();
        }
        std::memcpy(windowBegin(), bytes.data(), bytes.size());
        return windowBegin() + bytes.size();
    }

    void finished(char *end) override { drain(end); }

    void drain(char *end) { send(windowBegin(), std::size_t(end - windowBegin())); }

    void send(const char *data, std::size_t size)
    {
        if (const int error = pwriteFully(m_fd, data, size, m_written))
            throw WriteFailed{error};
        m_written += off_t(size);
        if (m_written - m_writebackFrom >= kWritebackStep) {
            // Only a hint: whether it worked, the flush decides.
            (void)::sync_file_range(m_fd, m_writebackFrom, m_written - m_writebackFrom, SYNC_FILE_RANGE_WRITE);
            m_writebackFrom = m_written;
        }
    }

    const int m_fd;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_capacity;
    off_t m_written = 0;
    off_t m_writebackFrom = 0;
};

// What sets the temporary files of this program apart from other hidden files: ".<base>.mltmp-<6 random>".
constexpr char kTemporaryTag[] = ".mltmp-";
constexpr char kTemporaryLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kTemporaryRandom = 6;

// The name of the temporary file beside `base` in `folder`: ".<base>.mltmp-<6 random>", or, when
// that would not fit the folder's name limit, ".<hash of base>.mltmp-<6 random>".
QByteArray temporaryName(const QByteArray &folder, const QByteArray &base)
{
    long nameMax = ::pathconf(folder.constData(), _PC_NAME_MAX);
    if (nameMax <= 0)
        nameMax = NAME_MAX;
    QByteArray suffix(kTemporaryRandom, 'x');
    for (char &c : suffix)
        c = kTemporaryLetters[QRandomGenerator::global()->bounded(int(sizeof kTemporaryLetters - 1))];
    QByteArray name = '.' + base + kTemporaryTag + suffix;
    if (name.size() > nameMax)
        name = '.' + QCryptographicHash::hash(base, QCryptographicHash::Sha1).toHex().left(16) + kTemporaryTag + suffix;
    return folder + '/' + name;
}

} // namespace

bool isTemporaryName(std::string_view name)
{
    const std::string_view tag(kTemporaryTag);
    if (name.size() < 2 + tag.size() + kTemporaryRandom || name.front() != '.')
        return false;
    const std::string_view random = name.substr(name.size() - kTemporaryRandom);
    return name.substr(name.size() - kTemporaryRandom - tag.size(), tag.size()) == tag &&
           random.find_first_not_of(kTemporaryLetters) == std::string_view::npos;
}

namespace {

// Removes the temporary files of this program's that a save which did not end left in `folder`: the
// user's own regular files with a temporary name that no running program holds. A save holds its
// temporary file with an flock from creation to rename; a lock taken here on a file that is no
// longer under its name (renamed meanwhile) removes nothing.
void removeStrayTemporaries(const QByteArray &folder)
{
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(folder.constData()), ::closedir);
    if (!dir)
        return;
    const uid_t user = ::geteuid();
    while (const dirent *entry = ::readdir(dir.get())) {
        if (!isTemporaryName(entry->d_name))
            continue;
        const QByteArray path = folder + '/' + entry->d_name;
        const Fd fd(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
        struct stat held {};
        struct stat named {};
        if (fd.fd < 0 || ::fstat(fd.fd, &held) != 0 || !S_ISREG(held.st_mode) || held.st_uid != user ||
            ::flock(fd.fd, LOCK_EX | LOCK_NB) != 0)
            continue;
        if (::lstat(path.constData(), &named) == 0 && named.st_ino == held.st_ino && named.st_dev == held.st_dev)
            ::unlink(path.constData()); // in a folder that forbids it, it stays
    }
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Gives the new file the old one's owner, group and mode. Where the owner cannot be kept, the
// group and mode are, so that the group can go on reading and writing it; the mode is set last,
// since a change of owner clears the setgid bit. Where the group cannot be kept either, the file's
// new group does not get the old group's rights.
void keepOwnerAndMode(int fd, const struct stat *old)
{
    if (!old) {
        ::fchmod(fd, 0666 & ~currentUmask());
        return;
    }
    mode_t mode = old->st_mode & 07777;
    if (::fchown(fd, old->st_uid, old->st_gid) != 0 && ::fchown(fd, uid_t(-1), old->st_gid) != 0)
        mode &= ~(currentUmask() & S_IRWXG); // another group: no more rights than a new file gives it
    ::fchmod(fd, mode);
}

// Writes bytes from the start of the file at fd and cuts it to their length.
void overwrite(int fd, const QByteArray &bytes, Flush flush)
{
    if (pwriteFully(fd, bytes.constData(), size_t(bytes.size()), 0) == 0 && ::ftruncate(fd, off_t(bytes.size())) == 0 &&
        flush == Flush::ToDisk)
        ::fdatasync(fd);
}

// Writes the file itself where its folder allows no new file or no rename. Its old bytes are kept
// and written back when any step fails; owner, group, mode and links stay as they are. A file the
// user may write but not read is not touched, since its old bytes could not be kept.
// 0, or the reason it failed.
int writeInPlace(const QByteArray &target, const Writer &write, Flush flush, struct stat *after)
{
    const Fd fd(::open(target.constData(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (fd.fd < 0 || ::fstat(fd.fd, &st) != 0)
        return lastError();
    if (!S_ISREG(st.st_mode))
        return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    QByteArray old;
    old.resize(qsizetype(st.st_size));
    qint64 done = 0;
    while (done < old.size()) {
        const ssize_t n = ::pread(fd.fd, old.data() + done, size_t(old.size() - done), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return lastError(); // unreadable: nothing was written yet
        if (n == 0)
            return EAGAIN; // shrunk meanwhile
        done += n;
    }
    int error = 0;
    try {
        FileSink sink(fd.fd);
        error = sink.run(write);
        if (error == 0 && (::ftruncate(fd.fd, sink.size()) != 0 || (flush == Flush::ToDisk && ::fdatasync(fd.fd) != 0)))
            error = lastError();
    } catch (...) {
        overwrite(fd.fd, old, flush);
        throw;
    }
    if (error != 0) {
        overwrite(fd.fd, old, flush);
        return error;
    }
    return ::fstat(fd.fd, after) == 0 ? 0 : lastError();
}

// The folder forbids creating the temporary file or renaming it over the target.
bool folderForbids(int error)
{
    return error == EACCES || error == EPERM;
}

void syncFolder(const QByteArray &folder)
{
    const Fd dirFd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.fd >= 0)
        ::fsync(dirFd.fd); // the rename is done; a file system that cannot sync a folder is no failure
}

// The file itself written in place, journaled or not (see writeInPlace in the header).
FileResult<void> inPlace(const QByteArray &target, const Writer &write, FileStamp *written, Flush flush,
                         Journal journal)
{
    std::optional<interruptedsave::Journal> kept;
    if (journal == Journal::Kept)
        kept.emplace(interruptedsave::Journal::begin(target, write, flush));
    struct stat st {};
    if (const int failed = writeInPlace(target, write, flush, &st))
        return FileError{failed};
    if (written)
        *written = FileStamp::ofStat(st);
    return {};
}

// writeAll, and for a new file of the program's own, `lock` gets a descriptor holding an flock on it.
FileResult<void> replace(const QString &path, const Writer &write, FileStamp *written, Flush flush, int *lock)
{
    if (lock)
        *lock = -1;
    if (path.isEmpty())
        return FileError{ENOENT};
    QByteArray target = nativename::toNative(path);
    struct stat old {};
    bool exists = ::lstat(target.constData(), &old) == 0;
    if (exists && S_ISLNK(old.st_mode)) {
        // The link stays; its target is replaced. A loop or a dangling link fails here.
        char *resolved = ::realpath(target.constData(), nullptr);
        if (!resolved)
            return FileError{lastError()};
        target = resolved;
        std::free(resolved);
        exists = ::lstat(target.constData(), &old) == 0;
    }
    if (exists && !S_ISREG(old.st_mode))
        return FileError{S_ISDIR(old.st_mode) ? EISDIR : EINVAL};
    // A rename replaces a file whatever its rights: an existing file is replaced only by whom may
    // write it.
    if (exists && ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        return FileError{lastError()};
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : target.left(slash);
    const QByteArray base = slash < 0 ? target : target.mid(slash + 1);
    if (base.isEmpty())
        return FileError{EISDIR};

    // Where the folder forbids the temporary file or the rename (`error`), the file itself is
    // written if it exists; otherwise that is the reason.
    const auto orInPlace = [&](int error) -> FileResult<void> {
        if (!exists || !folderForbids(error))
            return FileError{error};
        return inPlace(target, write, written, flush, Journal::Kept);
    };

    removeStrayTemporaries(folder);
    QByteArray temp;
    int created = -1;
    for (int attempt = 0; attempt < 100 && created < 0; ++attempt) {
        temp = temporaryName(folder, base);
        created = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (created < 0 && errno != EEXIST)
            return orInPlace(lastError());
        // Held from here to the rename, so that no other save takes it for a stray one. One that
        // removed it before the lock was taken leaves it without a name: then another name is taken.
        struct stat st {};
        if (created >= 0 && ::flock(created, LOCK_EX) == 0 && ::fstat(created, &st) == 0 && st.st_nlink == 0) {
            ::close(created);
            created = -1;
        }
    }
    Fd fd(created);
    if (fd.fd < 0)
        return FileError{EEXIST};
    keepOwnerAndMode(fd.fd, exists ? &old : nullptr);
    int error = 0;
    try {
        FileSink sink(fd.fd);
        error = sink.run(write);
    } catch (...) {
        ::unlink(temp.constData()); // no trace of the attempt stays
        throw;
    }
    // The lock lives on in a second descriptor of the same open file until after the rename.
    struct stat st {};
    Fd held(::dup(fd.fd));
    if (error == 0 && held.fd < 0)
        error = lastError();
    if (error == 0 && ((flush == Flush::ToDisk && ::fdatasync(fd.fd) != 0) || ::fstat(fd.fd, &st) != 0 ||
                       ::close(fd.release()) != 0))
        error = lastError();
    if (error != 0) {
        ::unlink(temp.constData());
        return FileError{error};
    }
    if (::rename(temp.constData(), target.constData()) != 0) {
        error = lastError();
        ::unlink(temp.constData());
        return orInPlace(error);
    }
    if (flush == Flush::ToDisk)
        syncFolder(folder);
    if (written)
        *written = FileStamp::ofStat(st);
    if (lock)
        *lock = held.release();
    return {};
}

} // namespace

FileResult<void> writeAll(const QString &path, const QByteArray &bytes, FileStamp *written, Flush flush)
{
    return writeAll(path, bytesWriter(bytes), written, flush);
}

FileResult<void> writeAll(const QString &path, const Writer &write, FileStamp *written, Flush flush)
{
    return replace(path, write, written, flush, nullptr);
}

FileResult<void> writeLocked(const QString &path, const Writer &write, int *lock, Flush flush)
{
    return replace(path, write, nullptr, flush, lock);
}

FileResult<void> writeInPlace(const QString &path, const Writer &write, FileStamp *written, Flush flush,
                              Journal journal)
{
    if (path.isEmpty())
        return FileError{ENOENT};
    return inPlace(nativename::toNative(path), write, written, flush, journal);
}

Writer bytesWriter(const QByteArray &bytes)
{
    return [bytes](ByteSink &out) {
        out.finish(out.put(out.start(), std::string_view(bytes.constData(), std::size_t(bytes.size()))));
    };
}

FileResult<QByteArray> readAll(const QString &path, FileStamp *stamp)
{
    if (path.isEmpty())
        return FileError{ENOENT};
    // Non-blocking, so that a FIFO without a writer does not hold the program; only a regular file
    // is read at all.
    const Fd fd(::open(nativename::toNative(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (fd.fd < 0 || ::fstat(fd.fd, &st) != 0)
        return FileError{lastError()};
    if (!S_ISREG(st.st_mode))
        return FileError{S_ISDIR(st.st_mode) ? EISDIR : EINVAL};
    if (stamp)
        *stamp = FileStamp::ofStat(st);
    // What fstat reported, and what the file may grow by meanwhile; one byte more tells whether it
    // went on growing past that.
    const qint64 limit = qint64(st.st_size) + kGrowthWhileRead;
    try {
        QByteArray bytes;
        bytes.resize(qsizetype(std::min<qint64>(limit, qint64(st.st_size) + 4096) + 1));
        qint64 done = 0;
        for (;;) {
            if (done == bytes.size()) {
                if (done > limit)
                    return FileError{EAGAIN}; // still growing
                bytes.resize(qsizetype(std::min<qint64>(limit + 1, 2 * qint64(bytes.size()))));
            }
            const ssize_t n = ::read(fd.fd, bytes.data() + done, size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return FileError{lastError()};
            if (n == 0)
                break;
            done += n;
        }
        bytes.truncate(qsizetype(done));
        return bytes;
    } catch (const std::bad_alloc &) {
        return FileError{ENOMEM}; // the file does not fit into memory
    }
}

} // namespace safefile
