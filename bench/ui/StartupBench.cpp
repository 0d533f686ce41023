// The program's start-up from exec to the first paint of its main window, against a bare main window
// with one tree view from the same build. Both run as whole processes on an X server of their own
// (Xvfb), in alternating pairs; each side's figure is the median of its runs. The bare window's empty
// view paints no text, so it never reads the font configuration; for information each round also
// starts it with its header's two column titles shown, the least a window with text must do.
#include "BenchSupport.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

// A process started with posix_spawn; stdin, stdout and stderr go to /dev/null.
pid_t spawn(const std::vector<std::string> &argv, const std::vector<std::string> &env)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd : {0, 1, 2})
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    std::vector<char *> args, vars;
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    for (const std::string &v : env)
        vars.push_back(const_cast<char *>(v.c_str()));
    vars.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(), vars.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Reads one line from fd, waiting at most `seconds`.
std::string readLine(int fd, int seconds)
{
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (line.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0)
            continue;
        char buffer[64];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        line.append(buffer, static_cast<size_t>(n));
    }
    return line;
}

// An X server of its own on a free display, for the lifetime of the object.
struct XServer {
    pid_t pid = -1;
    std::string display;

    XServer()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        const std::string fd = std::to_string(fds[1]);
        const char *argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0", "1280x1024x24",
                              nullptr};
        if (posix_spawnp(&pid, "Xvfb", &actions, nullptr, const_cast<char **>(argv), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        std::string number = readLine(fds[0], 30);
        close(fds[0]);
        while (!number.empty() && (number.back() == '\n' || number.back() == ' '))
            number.pop_back();
        if (pid > 0 && !number.empty())
            display = ":" + number;
    }
    ~XServer()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

struct Samples {
    std::vector<double> program, bare, bareText; // seconds from exec to the first paint
    std::string error;
};

// Starts the executable and returns the seconds from its exec to its report of the first paint, or
// a negative number when it gave none.
double timeStart(const std::vector<std::string> &command, const std::vector<std::string> &baseEnv)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    fcntl(fds[0], F_SETFD, FD_CLOEXEC); // the child gets the writing end only
    std::vector<std::string> env = baseEnv;
    env.push_back("MAL_STARTUP_PROBE_FD=" + std::to_string(fds[1]));
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = spawn(command, env);
    close(fds[1]);
    const std::string line = pid > 0 ? readLine(fds[0], 60) : std::string();
    close(fds[0]);
    if (pid > 0) {
        int status = 0;
        // The probe quits the program; one that hangs is ended.
        for (int i = 0; i < 300 && waitpid(pid, &status, WNOHANG) == 0; ++i)
            usleep(100'000);
        if (waitpid(pid, &status, WNOHANG) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
    }
    if (line.empty())
        return -1;
    const long long shown = std::atoll(line.c_str());
    const long long began =
        std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count();
    return double(shown - began) * 1e-9;
}

int pairCount()
{
    const int n = std::atoi(qgetenv("MAL_STARTUP_PAIRS").constData());
    return n > 0 ? n : 25;
}

const Samples &samples()
{
    static const Samples s = [] {
        Samples out;
        XServer server;
        if (server.display.empty()) {
            out.error = "Xvfb did not start";
            return out;
        }
        // Settings present: the first, untimed start of the program writes them as it quits.
        const QString config = QDir(benchsupport::scratchDir()).filePath(QStringLiteral("config"));
        QDir().mkpath(config);
        std::vector<std::string> env;
        for (char **e = environ; *e; ++e) {
            const std::string var = *e;
            for (const char *drop : {"DISPLAY=", "QT_QPA_PLATFORM=", "XDG_CONFIG_HOME=", "MAL_STARTUP_PROBE_FD="}) {
                if (var.rfind(drop, 0) == 0)
                    goto skip;
            }
            env.push_back(var);
        skip:;
        }
        env.push_back("DISPLAY=" + server.display);
        env.push_back("QT_QPA_PLATFORM=xcb");
        env.push_back("XDG_CONFIG_HOME=" + config.toStdString());

        const std::vector<std::string> program{MAL_PROGRAM}, bare{MAL_BARE_WINDOW},
            bareText{MAL_BARE_WINDOW, "--header-text"};
        if (timeStart(program, env) < 0 || timeStart(bare, env) < 0 || timeStart(bareText, env) < 0) {
            out.error = "a program did not report its first paint";
            return out;
        }
        for (int i = 0; i < pairCount(); ++i) {
            // Alternate which one goes first, so that neither always follows the other; the window
            // with text runs third in every round.
            const bool programFirst = i % 2 == 0;
            const double a = timeStart(programFirst ? program : bare, env);
            const double b = timeStart(programFirst ? bare : program, env);
            const double c = timeStart(bareText, env);
            if (a < 0 || b < 0 || c < 0) {
                out.error = "a program did not report its first paint";
                return out;
            }
            out.program.push_back(programFirst ? a : b);
            out.bare.push_back(programFirst ? b : a);
            out.bareText.push_back(c);
        }
        return out;
    }();
    return s;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void report(benchmark::State &state, const std::vector<double> &times)
{
    for (auto _ : state) {
        if (!samples().error.empty()) {
            state.SkipWithError(samples().error.c_str());
            break;
        }
        state.SetIterationTime(median(times));
    }
    if (!times.empty()) {
        state.counters["min_ms"] = *std::min_element(times.begin(), times.end()) * 1e3;
        state.counters["max_ms"] = *std::max_element(times.begin(), times.end()) * 1e3;
        state.counters["pairs"] = double(times.size());
    }
}

void BM_StartBareWindow(benchmark::State &state)
{
    report(state, samples().bare);
}

void BM_StartBareWindowWithText(benchmark::State &state)
{
    report(state, samples().bareText);
}

void BM_StartProgram(benchmark::State &state)
{
    report(state, samples().program);
}

BENCHMARK(BM_StartBareWindow)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartBareWindowWithText)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartProgram)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

const bool kRatios = [] {
    benchsupport::addRatio("start to the first paint (median of pairs)", "BM_StartProgram/iterations:1/manual_time",
                           "BM_StartBareWindow/iterations:1/manual_time", 1.1);
    benchsupport::addRatio("start, against a bare window painting header text", "BM_StartProgram/iterations:1/manual_time",
                           "BM_StartBareWindowWithText/iterations:1/manual_time", 0);
    return true;
}();

} // namespace

MAL_BENCHMARK_MAIN()
