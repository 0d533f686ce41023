// CSV import and export of 1,000,000 lines, each next to its limit: reading the same file and splitting
// it at CR into strings, and one buffered write of the same bytes with the flush to disk.
#include "BenchSupport.h"
#include "document/SafeFile.h"
#include "exchange/CsvExchange.h"
#include "exchange/CsvFile.h"

#include <QFile>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kLines = 1'000'000;

// Silent prompts: a benchmark run that shows a message has failed.
class FailingPrompts : public Prompts {
public:
    Answer message(const Message &m) override { throw std::runtime_error(m.text.toStdString()); }
    std::optional<QString> openFileName(const FileDialog &) override { return std::nullopt; }
    std::optional<QString> saveFileName(const FileDialog &) override { return std::nullopt; }
};

// Defect-list entries like a real list's: a short defect name with a number, an assembly name, and
// now and then a quote or a semicolon.
const std::vector<ListEntry> &entries()
{
    static const std::vector<ListEntry> list = [] {
        std::vector<ListEntry> out;
        out.reserve(kLines);
        for (int i = 0; i < kLines; ++i) {
            std::string caption = "Riss Nr. " + std::to_string(i);
            if (i % 50 == 0)
                caption += " im \"Deckel\"";
            out.push_back({std::move(caption), {"Baugruppe " + std::to_string(i % 97)}});
        }
        return out;
    }();
    return list;
}

const QByteArray &fileBytes()
{
    static const QByteArray bytes = csv::encode(entries());
    return bytes;
}

const QString &importFile()
{
    static const QString path = [] {
        const QString p = benchsupport::scratchDir() + QStringLiteral("/import.csv");
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write(fileBytes()) != fileBytes().size())
            throw std::runtime_error("cannot write the import file");
        return p;
    }();
    return path;
}

void BM_CsvImport(benchmark::State &state)
{
    FailingPrompts prompts;
    const QString &path = importFile();
    for (auto _ : state) {
        EntryList defects({QStringLiteral("Mangel"), QStringLiteral("Baugruppe")});
        importCsv(defects, path, prompts);
        if (defects.count() != kLines)
            state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(defects.count());
    }
    state.SetBytesProcessed(state.iterations() * fileBytes().size());
}

// The reader alone, for reading the figures: the bytes already in memory.
void BM_CsvParse(benchmark::State &state)
{
    const QByteArray &bytes = fileBytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            csv::parse(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))).size());
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_ReadAndSplitAtCr(benchmark::State &state)
{
    const QString &path = importFile();
    for (auto _ : state) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot open");
        const QByteArray bytes = f.readAll();
        const std::vector<std::string> lines =
            benchsupport::splitAtCr(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(state.iterations() * fileBytes().size());
}

void BM_CsvExport(benchmark::State &state)
{
    FailingPrompts prompts;
    EntryList defects({QStringLiteral("Mangel"), QStringLiteral("Baugruppe")});
    defects.assign(entries());
    const QString path = benchsupport::scratchDir() + QStringLiteral("/export.csv");
    for (auto _ : state)
        exportCsv(defects, path, prompts);
    state.SetBytesProcessed(state.iterations() * fileBytes().size());
}

// The two halves of the export, for reading the figures: building the bytes, and the checked write.
void BM_CsvEncode(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(csv::encode(entries()).size());
    state.SetBytesProcessed(state.iterations() * fileBytes().size());
}

void BM_SafeFileWrite(benchmark::State &state)
{
    const QString path = benchsupport::scratchDir() + QStringLiteral("/safe.csv");
    for (auto _ : state) {
        if (!safefile::writeAll(path, fileBytes()))
            state.SkipWithError("cannot write");
    }
    state.SetBytesProcessed(state.iterations() * fileBytes().size());
}

void BM_BufferedWriteAndFlush(benchmark::State &state)
{
    const QByteArray &bytes = fileBytes();
    const std::string path = (benchsupport::scratchDir() + QStringLiteral("/plain.csv")).toStdString();
    for (auto _ : state) {
        std::FILE *f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), f) !=
                      static_cast<std::size_t>(bytes.size())) {
            state.SkipWithError("cannot write");
            break;
        }
        std::fflush(f);
        fsync(fileno(f));
        std::fclose(f);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

BENCHMARK(BM_CsvImport)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CsvParse)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadAndSplitAtCr)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CsvExport)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CsvEncode)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SafeFileWrite)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BufferedWriteAndFlush)->Unit(benchmark::kMillisecond)->MinTime(2.0);

const bool registered = [] {
    benchsupport::addRatio("CSV import of 1,000,000 lines", "BM_CsvImport/min_time:2.000",
                           "BM_ReadAndSplitAtCr/min_time:2.000", 1.5);
    benchsupport::addRatio("CSV export of 1,000,000 entries", "BM_CsvExport/min_time:2.000",
                           "BM_BufferedWriteAndFlush/min_time:2.000", 1.5);
    return true;
}();

} // namespace

MAL_BENCHMARK_MAIN()
