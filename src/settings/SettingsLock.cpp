#include "settings/SettingsLock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

SettingsLock::SettingsLock(const QString &path, std::chrono::milliseconds patience) : m_path(QFile::encodeName(path))
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + patience;
    for (;;) {
        // Neither a link is followed nor a FIFO waited for; fstat then tells what was opened.
        const int fd = ::open(m_path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (fd < 0)
            return;
        struct stat opened {};
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_uid != ::geteuid()) {
            ::close(fd);
            return;
        }
        bool locked = false;
        while (!(locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0) && (errno == EWOULDBLOCK || errno == EINTR) &&
               Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        // The instance before may have removed the file after it was opened here: then this lock guards
        // nothing, and the file now in its place is tried.
        struct stat now {};
        if (locked && ::lstat(m_path.constData(), &now) == 0 && now.st_dev == opened.st_dev &&
            now.st_ino == opened.st_ino) {
            m_fd = fd;
            return;
        }
        ::close(fd);
        if (!locked || Clock::now() >= deadline)
            return;
    }
}

SettingsLock::~SettingsLock()
{
    if (m_fd < 0)
        return;
    // Removed while still locked, so that whoever waits on it sees that it is gone and tries anew.
    ::unlink(m_path.constData());
    ::close(m_fd);
}
