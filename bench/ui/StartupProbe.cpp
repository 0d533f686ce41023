// Timing of a start-up from outside, linked into the benchmark's builds of the program and of the bare
// window only. When the environment variable MAL_STARTUP_PROBE_FD names an open file descriptor, the
// process notes the monotonic clock when its first window is exposed (as the application sees the
// expose event, before the window handles it) and again once the window has handled it, which is when
// its first paint is done. It then writes both, in nanoseconds, as one decimal line "EXPOSED PAINTED"
// to the descriptor and leaves its event loop (the windows are not asked to close). The probe installs
// itself as the application object is created, so the program's own main stays as it ships.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <string>
#include <unistd.h>

namespace {

class Probe : public QObject {
public:
    Probe(int fd, QObject *parent) : QObject(parent), m_fd(fd) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && !m_fired) {
            const auto *window = qobject_cast<QWindow *>(watched);
            if (window && window->isExposed()) {
                m_fired = true;
                m_exposed = now();
                // The window paints while it handles the expose; report once that is done.
                QTimer::singleShot(0, this, [this] { report(); });
            }
        }
        return false;
    }

private:
    static long long now()
    {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    void report()
    {
        const std::string line = std::to_string(m_exposed) + ' ' + std::to_string(now()) + '\n';
        if (::write(m_fd, line.data(), line.size()) < 0) {
            // The reader has gone; quit all the same.
        }
        ::close(m_fd);
        QCoreApplication::exit(0); // leaves the event loop without asking the windows to close
    }

    int m_fd;
    bool m_fired = false;
    long long m_exposed = 0;
};

void installIfAsked()
{
    bool ok = false;
    const int fd = qEnvironmentVariableIntValue("MAL_STARTUP_PROBE_FD", &ok);
    if (!ok || fd < 0)
        return;
    QCoreApplication *app = QCoreApplication::instance();
    app->installEventFilter(new Probe(fd, app));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installIfAsked)
