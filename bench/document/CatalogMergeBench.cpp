// Taking over the catalogue of a list file of 1,000,000 catalogue entries, next to loading that file.
#include "BenchSupport.h"

#include "document/CatalogMerge.h"
#include "document/ListDocument.h"
#include "document/Prompts.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kAssemblies = 1'000;
constexpr int kCatalog = 1'000'000;
// The document holds the first half of the file's catalogue; the second half is new to it.
constexpr int kPresent = kCatalog / 2;

// Prompts for a run in which nothing may go wrong: any message ends the benchmark.
class NoPrompts : public Prompts {
public:
    Answer message(const Message &m) override
    {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(m.text));
        std::abort();
    }
    std::optional<QString> openFileName(const FileDialog &) override { std::abort(); }
    std::optional<QString> saveFileName(const FileDialog &) override { std::abort(); }
};

const char *const kDefectNames[] = {"Riss",       "Fleck",    "Loch",      "Kratzer",        "Delle",
                                    "Abplatzung", "Schimmel", "Fuge offen", "Putzriss",      "Farbe bl\344ttert",
                                    "nass",       "Spalt",    "l\366se",   "Dichtung",       "verbogen",
                                    "undicht",    "schief",   "Glas gesprungen", "Schraube fehlt", "Kante"};

void appendLine(std::string &out, const std::string &text)
{
    out += text;
    out += "\r\n";
}

// A list file of kAssemblies assemblies and kCatalog distinct catalogue defects, made without the
// program's writer; `catalogEntries` limits the catalogue to its first entries.
std::string generateListFile(int catalogEntries)
{
    std::mt19937 random(7);
    std::vector<std::string> assemblies;
    for (int i = 0; i < kAssemblies; ++i)
        assemblies.push_back("Baugruppe " + std::to_string(i));
    std::string out;
    out.reserve(40'000'000);
    appendLine(out, std::to_string(kAssemblies));
    for (const std::string &a : assemblies)
        appendLine(out, a);
    appendLine(out, std::to_string(catalogEntries));
    for (int i = 0; i < catalogEntries; ++i) {
        appendLine(out, std::string(kDefectNames[i % std::size(kDefectNames)]) + ' ' + std::to_string(i / 7));
        appendLine(out, assemblies[random() % kAssemblies]);
    }
    appendLine(out, "0");
    return out;
}

QString writeListFile(const QString &name, int catalogEntries)
{
    const QString path = benchsupport::scratchDir() + u'/' + name;
    const std::string bytes = generateListFile(catalogEntries);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
        std::abort();
    return path;
}

const QString &catalogFile()
{
    static const QString path = writeListFile(QStringLiteral("katalog.mal"), kCatalog);
    return path;
}

const QString &halfCatalogFile()
{
    static const QString path = writeListFile(QStringLiteral("halb.mal"), kPresent);
    return path;
}

void BM_TakeOver(benchmark::State &state)
{
    NoPrompts prompts;
    ListDocument doc(prompts);
    doc.OpenLists(halfCatalogFile());
    for (auto _ : state) {
        const std::optional<catalogmerge::Counts> counts = catalogmerge::takeOver(doc, catalogFile(), prompts);
        if (!counts || counts->assemblies != 0 || counts->defects != std::size_t(kCatalog - kPresent))
            state.SkipWithError("wrong counts");
        state.PauseTiming();
        doc.DefectCatalog.truncate(kPresent);
        state.ResumeTiming();
    }
}

// The limit: loading the same file into a document.
void BM_Load(benchmark::State &state)
{
    NoPrompts prompts;
    for (auto _ : state) {
        ListDocument doc(prompts);
        doc.OpenLists(catalogFile());
        if (doc.DefectCatalog.count() != kCatalog)
            state.SkipWithError("wrong entry count");
    }
}

constexpr int kIterations = 6;

std::string runName(const char *name)
{
    return std::string(name) + "/iterations:" + std::to_string(kIterations) + "/real_time";
}

const int kRegistered = [] {
    for (auto *b : {benchmark::RegisterBenchmark("catalog/take_over", BM_TakeOver),
                    benchmark::RegisterBenchmark("catalog/limit_load", BM_Load)})
        b->Unit(benchmark::kMillisecond)->Iterations(kIterations)->UseRealTime();
    benchsupport::addRatio("take over a catalogue of 1,000,000 entries (half new)", runName("catalog/take_over"),
                           runName("catalog/limit_load"), 2.0);
    return 0;
}();

} // namespace

MAL_BENCHMARK_MAIN()
