#include "BenchSupport.h"

#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

namespace benchsupport {
namespace {

struct Ratio {
    std::string operation, ours, limit;
    double target;
    double fixedSeconds = 0; // when set, the limit is this time instead of a benchmark
    std::string counter;     // when set, the row compares this counter of `ours` with fixedSeconds as a bound
};

std::vector<Ratio> &ratios()
{
    static std::vector<Ratio> r;
    return r;
}

// Collects the real time per iteration of every run while passing everything on to the console.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times[run.benchmark_name()] = run.GetAdjustedRealTime() * unitToSeconds(run.time_unit);
                for (const auto &[name, counter] : run.counters)
                    counters[run.benchmark_name() + "/" + name] = counter.value;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
    std::map<std::string, double> counters; // "benchmark/counter"

private:
    static double unitToSeconds(benchmark::TimeUnit u)
    {
        switch (u) {
        case benchmark::kNanosecond: return 1e-9;
        case benchmark::kMicrosecond: return 1e-6;
        case benchmark::kMillisecond: return 1e-3;
        case benchmark::kSecond: return 1.0;
        }
        return 1.0;
    }
};

} // namespace

void addRatio(const std::string &operation, const std::string &ours, const std::string &limit, double target)
{
    ratios().push_back({operation, ours, limit, target, 0, {}});
}

void addFixedLimit(const std::string &operation, const std::string &ours, double seconds)
{
    ratios().push_back({operation, ours, {}, 1.0, seconds, {}});
}

void addCounterBound(const std::string &operation, const std::string &ours, const std::string &counter, double bound)
{
    ratios().push_back({operation, ours, {}, 1.0, bound, counter});
}

int runAndReport(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // scripts/bench collects the rows of every binary into one table through MAL_BENCH_TABLE.
    std::FILE *collected = nullptr;
    if (const char *path = std::getenv("MAL_BENCH_TABLE"))
        collected = std::fopen(path, "a");
    std::printf("\n%-52s %12s %12s %8s %8s %s\n", "operation", "ours", "limit", "ratio", "target", "");
    for (const Ratio &r : ratios()) {
        char row[256];
        if (!r.counter.empty()) {
            const auto c = reporter.counters.find(r.ours + "/" + r.counter);
            if (c == reporter.counters.end())
                continue;
            const double ratio = c->second / r.fixedSeconds;
            std::snprintf(row, sizeof row, "%-52s %11.1fB %11.1fB %8.2f %8.2f %s\n", r.operation.c_str(), c->second,
                          r.fixedSeconds, ratio, 1.0, ratio <= 1.0 ? "ok" : "OVER");
            std::fputs(row, stdout);
            if (collected)
                std::fputs(row, collected);
            continue;
        }
        const auto o = reporter.times.find(r.ours);
        if (o == reporter.times.end())
            continue;
        double limit = r.fixedSeconds;
        if (limit <= 0) {
            const auto l = reporter.times.find(r.limit);
            if (l == reporter.times.end())
                continue;
            limit = l->second;
        }
        const double ratio = o->second / limit;
        if (r.target > 0)
            std::snprintf(row, sizeof row, "%-52s %10.1fms %10.1fms %8.2f %8.2f %s\n", r.operation.c_str(),
                          o->second * 1e3, limit * 1e3, ratio, r.target, ratio <= r.target ? "ok" : "OVER");
        else
            std::snprintf(row, sizeof row, "%-52s %10.1fms %10.1fms %8.2f %8s %s\n", r.operation.c_str(),
                          o->second * 1e3, limit * 1e3, ratio, "-", "(for information)");
        std::fputs(row, stdout);
        if (collected)
            std::fputs(row, collected);
    }
    if (collected)
        std::fclose(collected);
    benchmark::Shutdown();
    return 0;
}

std::vector<std::string> splitAtCr(const char *data, std::size_t size)
{
    std::vector<std::string> lines;
    const char *p = data, *const end = data + size;
    while (p < end) {
        const char *cr = static_cast<const char *>(std::memchr(p, '\r', static_cast<std::size_t>(end - p)));
        if (!cr)
            cr = end;
        lines.emplace_back(p, cr);
        p = cr + 1;
        if (p < end && *p == '\n')
            ++p;
    }
    return lines;
}

QString scratchDir()
{
    static std::unique_ptr<QTemporaryDir> dir = std::make_unique<QTemporaryDir>();
    return dir->path();
}

} // namespace benchsupport
