#pragma once

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

// Benchmarks are measured as ratios: each operation is timed next to a limit, a simpler piece of
// work on the same data measured in the same run. A binary registers its pairs and ends with
// MAL_BENCHMARK_MAIN(), which runs the benchmarks and prints one table of the ratios.
namespace benchsupport {

// Declares that benchmark `ours` is compared against benchmark `limit`, and must stay within
// `target` times it. Names are the registered benchmark names (as printed by Google Benchmark). A
// target of 0 makes the row informational: its ratio is printed without a judgement.
void addRatio(const std::string &operation, const std::string &ours, const std::string &limit, double target);

// Declares a fixed limit instead of a measured one: `ours` must stay within `seconds` (for example
// one frame, 0.016 s, for an interactive operation).
void addFixedLimit(const std::string &operation, const std::string &ours, double seconds);

// Declares a bound on a counter that benchmark `ours` reports (a size, say): the counter must stay
// within `bound`. The row shows the counter and the bound in bytes.
void addCounterBound(const std::string &operation, const std::string &ours, const std::string &counter, double bound);

// Runs all benchmarks, then prints "operation | ours | limit | ratio | target". Returns 0.
int runAndReport(int argc, char **argv);

// The limit's own work for readers: splits bytes into lines at CR (an LF right after a CR belongs to
// the line end) with memchr, as a plain reader would.
std::vector<std::string> splitAtCr(const char *data, std::size_t size);

// A scratch folder for generated files, removed at exit.
QString scratchDir();

} // namespace benchsupport

#define MAL_BENCHMARK_MAIN()                                                                                          \
    int main(int argc, char **argv) { return benchsupport::runAndReport(argc, argv); }
