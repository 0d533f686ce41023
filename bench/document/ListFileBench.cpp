// Loading and saving a list file of 1,000,000 entries, each next to the plain file work it needs.
#include "BenchSupport.h"

#include "document/ListDocument.h"
#include "document/ListFile.h"
#include "document/Prompts.h"
#include "document/RecoveryFile.h"
#include "document/SafeFile.h"
#include "document/StatusLine.h"

#include <QFile>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kAssemblies = 1'000;
constexpr int kCatalog = 499'000;
constexpr int kDefects = 500'000;

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

// Short German texts in Windows-1252 (octal escapes: "\344" is ä, "\366" ö, "\374" ü, "\337" ß).
const char *const kAssemblyNames[] = {"Dach",   "Fassade", "Keller",       "T\374r",  "Fenster", "Treppe",
                                      "Balkon", "Gaube",   "Au\337enwand", "Estrich", "Decke",   "Flur"};
const char *const kDefectNames[] = {"Riss",
                                    "Fleck",
                                    "Loch",
                                    "Kratzer",
                                    "Delle",
                                    "Abplatzung",
                                    "Schimmel",
                                    "Fuge offen",
                                    "Putzriss",
                                    "Farbe bl\344ttert",
                                    "nass",
                                    "Spalt",
                                    "l\366se",
                                    "Dichtung",
                                    "verbogen",
                                    "Glas gesprungen",
                                    "Schraube fehlt",
                                    "undicht",
                                    "Kante besch\344digt",
                                    "schief"};

void appendLine(std::string &out, const std::string &text)
{
    out += text;
    out += "\r\n";
}

// The list file as the program writes it, made without the program's writer.
std::string generateListFile()
{
    std::mt19937 random(42);
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::vector<std::string> assemblies;
    for (int i = 0; i < kAssemblies; ++i)
        assemblies.push_back(std::string(kAssemblyNames[i % std::size(kAssemblyNames)]) + ' ' + std::to_string(i));
    auto defectName = [&] {
        std::string s = kDefectNames[pick(static_cast<int>(std::size(kDefectNames)))];
        if (pick(3) == 0)
            s += ' ' + std::to_string(pick(100));
        return s;
    };

    std::string out;
    out.reserve(26'000'000);
    appendLine(out, std::to_string(kAssemblies));
    for (const std::string &a : assemblies)
        appendLine(out, a);
    for (int count : {kCatalog, kDefects}) {
        appendLine(out, std::to_string(count));
        for (int i = 0; i < count; ++i) {
            appendLine(out, defectName());
            appendLine(out, assemblies[static_cast<size_t>(pick(kAssemblies))]);
        }
    }
    return out;
}

const QString &listFilePath()
{
    static const QString path = [] {
        const QString p = benchsupport::scratchDir() + QStringLiteral("/gross.mal");
        const std::string bytes = generateListFile();
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
            std::abort();
        std::fprintf(stderr, "list file: %zu bytes, %d entries\n", bytes.size(), kAssemblies + kCatalog + kDefects);
        return p;
    }();
    return path;
}

// The whole file in a buffer that is not cleared first (a cleared one would burden the limit).
struct FileBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    std::string_view view() const { return {data.get(), size}; }
};

FileBytes readWhole(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        std::abort();
    FileBytes bytes;
    bytes.size = static_cast<std::size_t>(::lseek(fd, 0, SEEK_END));
    ::lseek(fd, 0, SEEK_SET);
    bytes.data.reset(new char[bytes.size]);
    std::size_t done = 0;
    while (done < bytes.size) {
        const ssize_t got = ::read(fd, bytes.data.get() + done, bytes.size - done);
        if (got <= 0)
            std::abort();
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    return bytes;
}

void BM_Load(benchmark::State &state)
{
    const QString &path = listFilePath();
    NoPrompts prompts;
    for (auto _ : state) {
        ListDocument doc(prompts);
        doc.OpenLists(path);
        benchmark::DoNotOptimize(doc.DefectList.count());
        if (doc.AssemblyList.count() + doc.DefectCatalog.count() + doc.DefectList.count() !=
            kAssemblies + kCatalog + kDefects)
            state.SkipWithError("wrong entry count");
    }
}

// The limit: read the file and split it at CR into strings (the LF after each CR skipped).
void BM_ReadAndSplit(benchmark::State &state)
{
    const QString &path = listFilePath();
    for (auto _ : state) {
        const FileBytes bytes = readWhole(path);
        const std::vector<std::string> lines = benchsupport::splitAtCr(bytes.data.get(), bytes.size);
        benchmark::DoNotOptimize(lines.data());
        if (lines.size() != 3 + kAssemblies + 2 * (kCatalog + kDefects))
            state.SkipWithError("wrong line count");
    }
}

void BM_Save(benchmark::State &state)
{
    NoPrompts prompts;
    ListDocument doc(prompts);
    doc.OpenLists(listFilePath());
    const QString target = benchsupport::scratchDir() + QStringLiteral("/gespeichert.mal");
    for (auto _ : state) {
        if (!doc.SaveLists(target))
            state.SkipWithError("save failed");
    }
    if (readWhole(target).view() != readWhole(listFilePath()).view())
        state.SkipWithError("saved file differs from the loaded one");
}

// The limit: one buffered write of the same bytes to a temporary file beside the target, flushed to
// disk and renamed over the target, and the folder flushed, as a safe save does.
void BM_BufferedWrite(benchmark::State &state)
{
    const FileBytes bytes = readWhole(listFilePath());
    const QByteArray target = QFile::encodeName(benchsupport::scratchDir() + QStringLiteral("/geschrieben.mal"));
    const QByteArray temp = target + ".tmp";
    for (auto _ : state) {
        std::FILE *f = std::fopen(temp.constData(), "wb");
        if (!f || std::fwrite(bytes.data.get(), 1, bytes.size, f) != bytes.size || std::fflush(f) != 0 ||
            ::fsync(fileno(f)) != 0 || std::fclose(f) != 0 || std::rename(temp.constData(), target.constData()) != 0)
            state.SkipWithError("write failed");
        const int folder = ::open(QFile::encodeName(benchsupport::scratchDir()).constData(), O_RDONLY | O_DIRECTORY);
        if (folder < 0 || ::fsync(folder) != 0 || ::close(folder) != 0)
            state.SkipWithError("folder sync failed");
    }
}

// The save without the flush to disk: the lists written as a save writes them (encoded into the
// file as they are made, with checked writes), renamed over the target.
void BM_SaveWithoutFlush(benchmark::State &state)
{
    NoPrompts prompts;
    ListDocument doc(prompts);
    doc.OpenLists(listFilePath());
    const QString target = benchsupport::scratchDir() + QStringLiteral("/ungespuelt.mal");
    const auto lists = [&doc](ByteSink &out) {
        listfile::write(out, doc.AssemblyList.entries(), doc.DefectCatalog.entries(), doc.DefectList.entries());
    };
    for (auto _ : state) {
        if (!safefile::writeAll(target, lists, nullptr, safefile::Flush::None))
            state.SkipWithError("save failed");
    }
    if (readWhole(target).view() != readWhole(listFilePath()).view())
        state.SkipWithError("written file differs from the loaded one");
}

// A sink that drops what it is given, a buffer of 256 KiB at a time.
class DiscardingSink final : public ByteSink {
public:
    DiscardingSink() { setWindow(m_buffer.data(), m_buffer.data() + m_buffer.size()); }
    std::size_t size() const { return m_size; }

private:
    char *makeRoom(char *at, std::size_t size) override
    {
        m_size += static_cast<std::size_t>(at - m_buffer.data());
        if (size > m_buffer.size())
            m_buffer.resize(size);
        setWindow(m_buffer.data(), m_buffer.data() + m_buffer.size());
        return m_buffer.data();
    }
    void finished(char *end) override { m_size += static_cast<std::size_t>(end - m_buffer.data()); }

    std::vector<char> m_buffer = std::vector<char>(std::size_t(256) << 10);
    std::size_t m_size = 0;
};

// The encoding alone, for reading the figures: the lists written into a sink that drops the bytes.
void BM_Encode(benchmark::State &state)
{
    NoPrompts prompts;
    ListDocument doc(prompts);
    doc.OpenLists(listFilePath());
    const std::size_t expected = readWhole(listFilePath()).size;
    for (auto _ : state) {
        DiscardingSink sink;
        listfile::write(sink, doc.AssemblyList.entries(), doc.DefectCatalog.entries(), doc.DefectList.entries());
        if (sink.size() != expected)
            state.SkipWithError("wrong size");
    }
}

// The check a save makes before it replaces an existing file, whether the user may write it, a
// thousand times over (once it is too short to show beside a save).
void BM_WritableCheck(benchmark::State &state)
{
    const QByteArray target = QFile::encodeName(benchsupport::scratchDir() + QStringLiteral("/ungespuelt.mal"));
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            if (::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
                state.SkipWithError("the saved file is not writable");
        }
    }
}

// The limit of the write alone: one buffered write of the same bytes to a temporary file, renamed
// over the target, without a flush.
void BM_PlainWrite(benchmark::State &state)
{
    const FileBytes bytes = readWhole(listFilePath());
    const QByteArray target = QFile::encodeName(benchsupport::scratchDir() + QStringLiteral("/einfach.mal"));
    const QByteArray temp = target + ".tmp";
    for (auto _ : state) {
        std::FILE *f = std::fopen(temp.constData(), "wb");
        if (!f || std::fwrite(bytes.data.get(), 1, bytes.size, f) != bytes.size || std::fclose(f) != 0 ||
            std::rename(temp.constData(), target.constData()) != 0)
            state.SkipWithError("write failed");
    }
}

// The status line over a defect list whose one caption is 50 MB of a number that has to be read
// to its end ("0," and zeros, then a 1).
const std::vector<ListEntry> &hugeNumericCaption()
{
    static const std::vector<ListEntry> list{{"0," + std::string(50'000'000, '0') + "1", {"Dach"}}};
    return list;
}

void BM_StatusLineHugeNumber(benchmark::State &state)
{
    for (auto _ : state) {
        const QString total = statusline::totalPrice(hugeNumericCaption(), QChar(u','));
        benchmark::DoNotOptimize(total.data());
        if (total != QStringLiteral("0,00 EUR"))
            state.SkipWithError("wrong total");
    }
}

// The limit: one bare pass that counts the digits of the same caption.
void BM_CountDigits(benchmark::State &state)
{
    const std::string_view caption = hugeNumericCaption()[0].caption();
    for (auto _ : state) {
        const auto digits = std::count_if(caption.begin(), caption.end(), [](char c) { return c >= '0' && c <= '9'; });
        benchmark::DoNotOptimize(digits);
    }
}

// The recovery copy's snapshot, taken on the window's thread while the user works: of the loaded
// document, or of one made of its first `entries` entries.
void BM_RecoverySnapshot(benchmark::State &state, std::size_t entries)
{
    NoPrompts prompts;
    ListDocument loaded(prompts);
    loaded.OpenLists(listFilePath());
    ListDocument doc(prompts);
    const auto first = [&](const EntryList &list, std::size_t n) {
        const std::vector<ListEntry> &all = list.entries();
        return std::vector<ListEntry>(all.begin(), all.begin() + std::ptrdiff_t(std::min(n, all.size())));
    };
    const std::size_t assemblies = std::min<std::size_t>(kAssemblies, entries);
    doc.AssemblyList.appendEntries(first(loaded.AssemblyList, assemblies));
    doc.DefectCatalog.appendEntries(first(loaded.DefectCatalog, (entries - assemblies) / 2));
    doc.DefectList.appendEntries(first(loaded.DefectList, entries - assemblies - (entries - assemblies) / 2));
    const QDateTime time = QDateTime::currentDateTimeUtc();
    for (auto _ : state) {
        const recoveryfile::Snapshot snapshot = recoveryfile::take(doc, time);
        benchmark::DoNotOptimize(snapshot.lists.constData());
        if (snapshot.lists.isEmpty())
            state.SkipWithError("empty snapshot");
    }
}

// Writing the copy on its own thread, from the snapshot to the flushed file.
void BM_RecoveryWrite(benchmark::State &state)
{
    NoPrompts prompts;
    ListDocument doc(prompts);
    doc.OpenLists(listFilePath());
    const recoveryfile::Snapshot snapshot = recoveryfile::take(doc, QDateTime::currentDateTimeUtc());
    const QString target = benchsupport::scratchDir() + QStringLiteral("/kopie.kopie");
    for (auto _ : state) {
        if (!recoveryfile::write(target, snapshot))
            state.SkipWithError("write failed");
    }
}

constexpr int kIterations = 8;

std::string runName(const char *name)
{
    return std::string(name) + "/iterations:" + std::to_string(kIterations) + "/real_time";
}

const int kRegistered = [] {
    for (auto *b : {benchmark::RegisterBenchmark("load/OpenLists", BM_Load),
                    benchmark::RegisterBenchmark("load/limit_read_and_split", BM_ReadAndSplit),
                    benchmark::RegisterBenchmark("save/SaveLists", BM_Save),
                    benchmark::RegisterBenchmark("save/limit_buffered_write", BM_BufferedWrite),
                    benchmark::RegisterBenchmark("save/SaveLists_without_flush", BM_SaveWithoutFlush),
                    benchmark::RegisterBenchmark("save/limit_plain_write", BM_PlainWrite),
                    benchmark::RegisterBenchmark("save/encode_only", BM_Encode),
                    benchmark::RegisterBenchmark("save/writable_check_x1000", BM_WritableCheck),
                    benchmark::RegisterBenchmark("recovery/snapshot_100k", BM_RecoverySnapshot, 100'000),
                    benchmark::RegisterBenchmark("recovery/snapshot_1m", BM_RecoverySnapshot, 1'000'000),
                    benchmark::RegisterBenchmark("recovery/write_copy", BM_RecoveryWrite),
                    benchmark::RegisterBenchmark("status/huge_number", BM_StatusLineHugeNumber),
                    benchmark::RegisterBenchmark("status/limit_count_digits", BM_CountDigits)})
        b->Unit(benchmark::kMillisecond)->Iterations(kIterations)->UseRealTime();
    benchsupport::addRatio("load a list file of 1,000,000 entries", runName("load/OpenLists"),
                           runName("load/limit_read_and_split"), 1.5);
    benchsupport::addRatio("save a list file of 1,000,000 entries", runName("save/SaveLists"),
                           runName("save/limit_buffered_write"), 1.5);
    benchsupport::addRatio("save it without the flush to disk (the write alone)",
                           runName("save/SaveLists_without_flush"), runName("save/limit_plain_write"), 1.5);
    benchsupport::addRatio("the flush to disk: save with it / without it", runName("save/SaveLists"),
                           runName("save/SaveLists_without_flush"), 4.0);
    benchsupport::addRatio("1,000 checks that the file may be written / one save without the flush",
                           runName("save/writable_check_x1000"), runName("save/SaveLists_without_flush"), 0.5);
    benchsupport::addFixedLimit("recovery copy: snapshot of 100,000 entries (one frame)",
                                runName("recovery/snapshot_100k"), 0.016);
    benchsupport::addFixedLimit("recovery copy: snapshot of 1,000,000 entries", runName("recovery/snapshot_1m"), 0.050);
    benchsupport::addRatio("recovery copy: write of 1,000,000 entries / the save", runName("recovery/write_copy"),
                           runName("save/SaveLists"), 1.5);
    benchsupport::addRatio("status line over a 50 MB numeric caption", runName("status/huge_number"),
                           runName("status/limit_count_digits"), 6.0);
    return 0;
}();

} // namespace

MAL_BENCHMARK_MAIN()
