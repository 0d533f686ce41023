#include "FaultSupport.h"

#include <QFile>

#include <csignal>
#include <grp.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

namespace faults {

namespace {

std::optional<QByteArray> runChild(const std::function<QByteArray()> &work, bool dropRights)
{
    int fds[2];
    if (pipe(fds) != 0)
        return std::nullopt;
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return std::nullopt;
    }
    if (pid == 0) {
        close(fds[0]);
        if (dropRights && geteuid() == 0) {
            const gid_t nobody = 65534;
            if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)
                _exit(3);
        }
        const QByteArray out = work();
        qsizetype done = 0;
        while (done < out.size()) {
            const ssize_t n = write(fds[1], out.constData() + done, size_t(out.size() - done));
            if (n <= 0)
                _exit(4);
            done += n;
        }
        _exit(0);
    }
    close(fds[1]);
    QByteArray out;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, n);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return out;
}

} // namespace

std::optional<QByteArray> unprivileged(const std::function<QByteArray()> &work)
{
    return runChild(work, true);
}

bool unprivilegedAvailable()
{
    static const bool available = runChild([] { return QByteArray("ok"); }, true) == QByteArray("ok");
    return available;
}

std::optional<QByteArray> inChild(const std::function<QByteArray()> &work)
{
    return runChild(work, false);
}

void openToAll(const QString &path)
{
    chmod(QFile::encodeName(path).constData(), 0755);
}

qint64 peakRss()
{
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

qint64 freeBytes(const QString &path)
{
    struct statvfs fs {};
    if (statvfs(QFile::encodeName(path).constData(), &fs) != 0)
        return -1;
    return qint64(fs.f_bavail) * qint64(fs.f_frsize);
}

bool writeFilled(const QString &path, const QByteArray &head, char fill, qint64 count)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(head) != head.size())
        return false;
    if (fill == '\0') // a hole reads as NUL bytes and costs no disk
        return file.resize(head.size() + count);
    const QByteArray block(16 << 20, fill);
    while (count > 0) {
        const qint64 n = std::min<qint64>(count, block.size());
        if (file.write(block.constData(), n) != n)
            return false;
        count -= n;
    }
    return file.flush();
}

} // namespace faults
