// The program's start-up from exec to the first expose of its main window, against a bare main window
// with one tree view from the same build. Both run as whole processes on an X server of their own
// (Xvfb), in alternating pairs; each side's figure is the median of its runs. Each start reports two
// times: when the application sees the window's first expose event (before the window handles it)
// and when the window has handled it, that is, when its first paint is done. The bare window's empty
// view shows no text, so it never reads the font configuration nor measures text before it is mapped;
// each round also starts it with its header's two column titles shown, the least a window with text
// must do. The target row compares the program's expose with that window's; the rows against the
// empty window are for information.
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

// Seconds from exec to the first expose and to the end of the first paint; negative when the
// program gave no report.
struct Start {
    double exposed = -1, painted = -1;
    bool ok() const { return exposed >= 0 && painted >= exposed; }
};

struct Samples {
    std::vector<double> programExposed, programPainted, bareExposed, barePainted, bareTextExposed, bareTextPainted;
    std::string error;
};

// Starts the executable and returns the times of its report.
Start timeStart(const std::vector<std::string> &command, const std::vector<std::string> &baseEnv)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
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
    long long exposed = 0, painted = 0;
    if (std::sscanf(line.c_str(), "%lld %lld", &exposed, &painted) != 2)
        return {};
    const long long began =
        std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count();
    return {double(exposed - began) * 1e-9, double(painted - began) * 1e-9};
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
            for (const char *drop : {"DISPLAY=", "QT_QPA_PLATFORM=", "XDG_CONFIG_HOME=", "XDG_STATE_HOME=", "MAL_STARTUP_PROBE_FD="}) {
                if (var.rfind(drop, 0) == 0)
                    goto skip;
            }
            env.push_back(var);
        skip:;
        }
        env.push_back("DISPLAY=" + server.display);
        env.push_back("QT_QPA_PLATFORM=xcb");
        env.push_back("XDG_CONFIG_HOME=" + config.toStdString());
        // An empty folder of recovery copies, as at a start after a normal end.
        env.push_back("XDG_STATE_HOME=" + QDir(benchsupport::scratchDir()).filePath(QStringLiteral("state")).toStdString());

        const std::vector<std::string> program{MAL_PROGRAM}, bare{MAL_BARE_WINDOW},
            bareText{MAL_BARE_WINDOW, "--header-text"};
        if (!timeStart(program, env).ok() || !timeStart(bare, env).ok() || !timeStart(bareText, env).ok()) {
            out.error = "a program did not report its first expose and paint";
            return out;
        }
        for (int i = 0; i < pairCount(); ++i) {
            // Alternate which one goes first, so that neither always follows the other; the window
            // with text runs third in every round.
            const bool programFirst = i % 2 == 0;
            const Start a = timeStart(programFirst ? program : bare, env);
            const Start b = timeStart(programFirst ? bare : program, env);
            const Start c = timeStart(bareText, env);
            if (!a.ok() || !b.ok() || !c.ok()) {
                out.error = "a program did not report its first expose and paint";
                return out;
            }
            const Start &p = programFirst ? a : b, &w = programFirst ? b : a;
            out.programExposed.push_back(p.exposed);
            out.programPainted.push_back(p.painted);
            out.bareExposed.push_back(w.exposed);
            out.barePainted.push_back(w.painted);
            out.bareTextExposed.push_back(c.exposed);
            out.bareTextPainted.push_back(c.painted);
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

void BM_ExposeBareWindow(benchmark::State &state)
{
    report(state, samples().bareExposed);
}

void BM_ExposeProgram(benchmark::State &state)
{
    report(state, samples().programExposed);
}

void BM_PaintBareWindow(benchmark::State &state)
{
    report(state, samples().barePainted);
}

void BM_ExposeBareWindowWithText(benchmark::State &state)
{
    report(state, samples().bareTextExposed);
}

void BM_PaintBareWindowWithText(benchmark::State &state)
{
    report(state, samples().bareTextPainted);
}

void BM_PaintProgram(benchmark::State &state)
{
    report(state, samples().programPainted);
}

BENCHMARK(BM_ExposeBareWindow)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExposeProgram)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExposeBareWindowWithText)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintBareWindow)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintBareWindowWithText)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintProgram)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

const bool kRatios = [] {
    benchsupport::addRatio("start to the first expose, vs header text", "BM_ExposeProgram/iterations:1/manual_time",
                           "BM_ExposeBareWindowWithText/iterations:1/manual_time", 1.5);
    benchsupport::addRatio("start to the first expose, vs empty window", "BM_ExposeProgram/iterations:1/manual_time",
                           "BM_ExposeBareWindow/iterations:1/manual_time", 0);
    benchsupport::addRatio("start to the first paint done, vs header text", "BM_PaintProgram/iterations:1/manual_time",
                           "BM_PaintBareWindowWithText/iterations:1/manual_time", 0);
    return true;
}();

} // namespace

MAL_BENCHMARK_MAIN()
