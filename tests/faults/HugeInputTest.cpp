// Inputs far beyond any real list: a line of a gigabyte, a file of NUL bytes, a CSV line of a
// million semicolons. Each is read without a crash or a hang, with the message its reader gives,
// and with memory bounded by a small multiple of the file's size. Each runs in a child process so
// that its peak memory is its own; the figures go to the test log.
#include "FaultSupport.h"
#include "ScriptedPrompts.h"
#include "TestSupport.h"
#include "document/ListDocument.h"
#include "exchange/CsvExchange.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <iostream>

namespace {

enum class Reader { ListFile, Csv };

struct HugeInput {
    const char *name;
    Reader reader;
    QByteArray head;
    char fill;
    qint64 count;
    QStringList expectedTexts;
    qsizetype expectedEntries;     // entries read into the list the input fills
    std::size_t expectedFirstSize; // the size of the first entry's caption
};

const QString kInvalid = QStringLiteral("Fehler beim Öffnen der Datei (Ungültiges Format?).");
constexpr qint64 kGigabyte = qint64(1) << 30;

std::vector<HugeInput> inputs()
{
    return {
        {"listFileOfOneLineOfAGigabyte", Reader::ListFile, "", 'A', kGigabyte, {kInvalid}, 0, 0},
        {"listFileWhoseOneEntryIsAGigabyte",
         Reader::ListFile,
         "1\r\n",
         'A',
         kGigabyte,
         {kInvalid},
         1,
         std::size_t(kGigabyte)},
        {"listFileOfNulBytes", Reader::ListFile, "", '\0', 256 << 20, {kInvalid}, 0, 0},
        {"csvFileOfNulBytes", Reader::Csv, "", '\0', 256 << 20, {}, 1, std::size_t(256 << 20)},
        {"csvFileOfAMillionSemicolons", Reader::Csv, "", ';', 1'000'000, {}, 1, 0},
        {"csvFileOfAGigabyteOfEmptyLines", Reader::Csv, "", '\n', kGigabyte, {}, 0, 0},
    };
}

struct Figures {
    QStringList texts;
    qsizetype entries = 0;
    qint64 firstSize = -1;
    qint64 peakGrowth = 0;
    qint64 milliseconds = 0;
};

QByteArray read(const HugeInput &input, const QString &file)
{
    ScriptedPrompts prompts;
    Figures f;
    const qint64 before = faults::peakRss();
    QElapsedTimer clock;
    clock.start();
    {
        ListDocument doc(prompts);
        const EntryList *filled = nullptr;
        if (input.reader == Reader::ListFile) {
            doc.OpenLists(file);
            filled = &doc.AssemblyList;
        } else {
            importCsv(doc.DefectList, file, prompts);
            filled = &doc.DefectList;
        }
        f.entries = filled->count();
        if (f.entries > 0)
            f.firstSize = qint64(filled->at(0).caption().size());
    }
    f.milliseconds = clock.elapsed();
    f.peakGrowth = faults::peakRss() - before;
    QByteArray report;
    QDataStream out(&report, QIODevice::WriteOnly);
    out << prompts.texts() << f.entries << f.firstSize << f.peakGrowth << f.milliseconds;
    return report;
}

struct HugeInputs : ::testing::TestWithParam<HugeInput> {
    QTemporaryDir dir;
};

TEST_P(HugeInputs, areReadWithinBoundedMemory)
{
    const HugeInput &input = GetParam();
    const qint64 size = input.head.size() + input.count;
    // NUL bytes make a sparse file; the others take their full size on disk.
    if (input.fill != '\0' && faults::freeBytes(dir.path()) < 3 * kGigabyte && size > (64 << 20))
        GTEST_SKIP() << "less than 3 GB free in " << dir.path().toStdString() << " for a file of " << size << " bytes";
    const QString file =
        dir.filePath(input.reader == Reader::Csv ? QStringLiteral("gross.csv") : QStringLiteral("gross.mal"));
    ASSERT_TRUE(faults::writeFilled(file, input.head, input.fill, input.count));

    const std::optional<QByteArray> report = faults::inChild([&] { return read(input, file); });
    QFile::remove(file);
    ASSERT_TRUE(report) << "the reader died";
    QDataStream in(*report);
    Figures f;
    in >> f.texts >> f.entries >> f.firstSize >> f.peakGrowth >> f.milliseconds;

    EXPECT_EQ(f.texts, input.expectedTexts);
    EXPECT_EQ(f.entries, input.expectedEntries);
    if (input.expectedEntries > 0) {
        EXPECT_EQ(f.firstSize, qint64(input.expectedFirstSize));
    }
    // The whole file in memory once, and the text of its entries once more; AddressSanitizer's shadow
    // memory adds an eighth.
    EXPECT_LE(f.peakGrowth, 2 * size + size / 4 + (64 << 20)) << "peak memory grew by " << f.peakGrowth << " bytes";
    std::cout << input.name << ": " << size << " bytes read in " << f.milliseconds << " ms, peak memory +"
              << f.peakGrowth / (1 << 20) << " MB\n";
    RecordProperty("peak_growth_bytes", std::to_string(f.peakGrowth));
}

INSTANTIATE_TEST_SUITE_P(Faults, HugeInputs, ::testing::ValuesIn(inputs()),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
