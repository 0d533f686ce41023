#include "FaultSupport.h"

#include "document/InterruptedSave.h"

#include <QFile>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <grp.h>
#include <sys/ptrace.h>
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

Ending killedAtCall(int call, const std::function<void()> &work)
{
    const pid_t pid = fork();
    if (pid < 0)
        return Ending::Failed;
    if (pid == 0) {
        if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0 || raise(SIGSTOP) != 0)
            _exit(3);
        work();
        _exit(0);
    }
    int status = 0;
    const auto end = [&](Ending ending) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return ending;
    };
    if (waitpid(pid, &status, 0) != pid || !WIFSTOPPED(status) ||
        ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL) != 0)
        return end(Ending::Failed);
    int entered = 0;
    int signal = 0;
    for (;;) {
        ptrace(PTRACE_SYSCALL, pid, nullptr, reinterpret_cast<void *>(intptr_t(signal)));
        if (waitpid(pid, &status, 0) != pid)
            return end(Ending::Failed);
        if (WIFEXITED(status))
            return WEXITSTATUS(status) == 0 ? Ending::Finished : Ending::Failed;
        if (WIFSIGNALED(status))
            return Ending::Failed;
        signal = 0;
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
            signal = WSTOPSIG(status); // a signal of the child's own goes on to it
            continue;
        }
        __ptrace_syscall_info info{};
        if (ptrace(PTRACE_GET_SYSCALL_INFO, pid, reinterpret_cast<void *>(sizeof info), &info) <= 0)
            return end(Ending::Failed);
        if (info.op == PTRACE_SYSCALL_INFO_ENTRY && entered++ == call)
            return end(Ending::Killed);
    }
}

void leaveInterruptedSave(const QString &file, const QByteArray &bytes)
{
    const Ending ending = killedAtCall(INT_MAX, [&] {
        const auto journal = interruptedsave::Journal::begin(QFile::encodeName(file), safefile::bytesWriter(bytes),
                                                             safefile::Flush::ToDisk);
        std::_Exit(journal.kept() ? 0 : 1); // without removing it
    });
    ASSERT_EQ(ending, Ending::Finished) << "no journal was left for " << qPrintable(file);
}

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
