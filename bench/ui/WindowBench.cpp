// The window's own figures: opening a large file up to the first paint, and the interactive
// operations on a catalogue of 100,000 entries and on a defect list of 1,000,000, each of which must
// fit in one frame.
#include "BenchSupport.h"

#include "document/SafeFile.h"
#include "ui/ListView.h"
#include "ui/MainUnit.h"
#include "ui/SearchField.h"
#include "ui/WindowPrompts.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <malloc.h>
#include <memory>
#include <random>

namespace {

// Answers every question with its default button and cancels every dialog.
class QuietPrompts : public WindowPrompts {
public:
    Answer message(const Message &m) override { return m.defaultButton; }
    std::optional<QString> openFileName(const FileDialog &) override { return std::nullopt; }
    std::optional<QString> saveFileName(const FileDialog &) override { return std::nullopt; }
    std::optional<QString> editDefectName(const QString &) override { return std::nullopt; }
    bool chooseFont(PrintFont &) override { return false; }
    bool printDialog(QPrinter &) override { return false; }
    bool printerSetupDialog(QPrinter &) override { return false; }
    std::optional<ReportDetails> editReportDetails(const ReportDetails &) override { return std::nullopt; }
};

const char *const kWords[] = {"Riss", "Fleck", "Loch", "Kratzer", "Delle", "Abplatzung", "Schimmel", "Fuge offen",
                              "Putzriss", "Farbe bl\344ttert", "Spalt", "l\366se", "undicht", "schief"};

// A list file with `assemblies` assemblies, `catalog` catalogue entries spread over them and
// `defects` defect-list entries.
QByteArray makeFile(int assemblies, int catalog, int defects)
{
    std::mt19937 rng(7);
    QByteArray out;
    auto line = [&out](const std::string &s) {
        out.append(s.data(), qsizetype(s.size()));
        out.append("\r\n");
    };
    auto assembly = [](int i) { return "Baugruppe " + std::to_string(i); };
    auto defect = [&rng] {
        return std::string(kWords[rng() % std::size(kWords)]) + " " + std::to_string(rng() % 100000);
    };
    line(std::to_string(assemblies));
    for (int i = 0; i < assemblies; ++i)
        line(assembly(i));
    for (int n : {catalog, defects}) {
        line(std::to_string(n));
        for (int i = 0; i < n; ++i) {
            line(defect());
            line(assembly(int(rng() % unsigned(assemblies))));
        }
    }
    return out;
}

QString writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(benchsupport::scratchDir()).filePath(name);
    if (!safefile::writeAll(path, bytes))
        std::abort();
    return path;
}

const QString &bigFile()
{
    static const QString path = writeFile(QStringLiteral("gross.mal"), makeFile(1'000, 499'000, 500'000));
    return path;
}

struct Window {
    QuietPrompts prompts;
    std::unique_ptr<TMainForm> form;
    explicit Window(const QString &dir)
    {
        form = std::make_unique<TMainForm>(
            prompts, dir,
            std::make_unique<SettingsStore>(QDir(dir).filePath(QStringLiteral("config")), QStringLiteral("bench")));
        form->show();
        QCoreApplication::processEvents();
    }
};

// A window whose default list file holds a catalogue of 100,000 entries over 100 assemblies.
Window &catalogWindow()
{
    static Window *window = [] {
        const QString dir = QDir(benchsupport::scratchDir()).filePath(QStringLiteral("katalog"));
        QDir().mkpath(dir);
        const QByteArray bytes = makeFile(100, 100'000, 1'000);
        if (!safefile::writeAll(QDir(dir).filePath(QStringLiteral("mängel.mal")), bytes))
            std::abort();
        return new Window(dir);
    }();
    return *window;
}

// A window whose default list file holds a defect list of 1,000,000 entries.
Window &defectListWindow()
{
    static Window *window = [] {
        const QString dir = QDir(benchsupport::scratchDir()).filePath(QStringLiteral("maengel"));
        QDir().mkpath(dir);
        if (!safefile::writeAll(QDir(dir).filePath(QStringLiteral("mängel.mal")), makeFile(100, 0, 1'000'000)))
            std::abort();
        return new Window(dir);
    }();
    return *window;
}

void BM_LoadAlone(benchmark::State &state)
{
    QuietPrompts prompts;
    ListDocument doc(prompts);
    for (auto _ : state) {
        doc.OpenLists(bigFile());
        benchmark::DoNotOptimize(doc.DefectList.count());
    }
}

void BM_OpenInWindow(benchmark::State &state)
{
    const QString dir = QDir(benchsupport::scratchDir()).filePath(QStringLiteral("leer"));
    QDir().mkpath(dir);
    Window window(dir);
    for (auto _ : state) {
        window.form->document().OpenLists(bigFile());
        window.form->repaint(); // the first paint of the loaded lists
    }
}

void BM_SelectAssembly(benchmark::State &state)
{
    Window &w = catalogWindow();
    int row = 0;
    for (auto _ : state) {
        w.form->ListView1()->selectRow(row);
        row = (row + 1) % 100;
    }
}

// Selecting a row rewrites the status line (open form) and leaves the total as it was.
void BM_SelectDefect(benchmark::State &state)
{
    Window &w = defectListWindow();
    int row = 0;
    for (auto _ : state) {
        w.form->ListView3()->selectRow(row);
        row = (row + 1) % 100;
    }
}

void BM_HeaderClick(benchmark::State &state)
{
    Window &w = catalogWindow();
    for (auto _ : state)
        w.form->ListView2ColumnClick(0);
}

void BM_Drop(benchmark::State &state)
{
    Window &w = catalogWindow();
    ListView *view = w.form->ListView2();
    const QPoint top = view->visualRect(view->model()->index(0, 0)).center();
    for (auto _ : state) {
        view->selectRow(5);
        w.form->ListView2DragDrop(view, top, view);
    }
}

void BM_AddEntry(benchmark::State &state)
{
    Window &w = catalogWindow();
    w.form->ListView1()->selectRow(3);
    for (auto _ : state) {
        w.form->PlusProdukteBtnClick();
        w.form->ListView2()->finishEditing();
    }
}

// Typing into the catalogue's search letter by letter, then clearing it (one keystroke an iteration),
// each with the view laid out and painted again.
void BM_SearchKeystroke(benchmark::State &state)
{
    Window &w = catalogWindow();
    const QString typed[] = {QStringLiteral("s"), QStringLiteral("sc"), QStringLiteral("sch"), QStringLiteral("schi"),
                             QStringLiteral("schim"), QString()};
    size_t k = 0;
    for (auto _ : state) {
        w.form->searchField()->search(typed[k]);
        w.form->ListView2()->repaint();
        k = (k + 1) % std::size(typed);
    }
    w.form->searchField()->search({});
}

// Opening the name editor in the defect list (F2) and closing it again, the window painted with it
// open: on a name of 5,000,000 characters (row 0), which the window declines to edit with a message,
// and on the longest name it edits (row 1).
void BM_EditorOpen(benchmark::State &state)
{
    static Window *window = [] {
        const QString dir = QDir(benchsupport::scratchDir()).filePath(QStringLiteral("namen"));
        QDir().mkpath(dir);
        QByteArray bytes = "0\r\n0\r\n2\r\n";
        for (const qsizetype length : {qsizetype(5'000'000), ListView::kMaxEditLength})
            bytes += QByteArray(length, 'x') + "\r\nDach\r\n";
        if (!safefile::writeAll(QDir(dir).filePath(QStringLiteral("mängel.mal")), bytes))
            std::abort();
        return new Window(dir);
    }();
    ListView *view = window->form->ListView3();
    const int row = int(state.range(0));
    for (auto _ : state) {
        view->openEditor(row);
        window->form->repaint();
        view->finishEditing();
    }
}

// Heap bytes per entry of a loaded 1,000,000-entry document, beyond its text: every byte of every
// caption and sub-item counts as text (an entry keeps all its texts in a block of its own), and the
// rest (the list's slot, the block's counts and offsets, the allocator's overhead) is the cost.
constexpr double kMemoryBound = 64;

void BM_DocumentMemory(benchmark::State &state)
{
    QuietPrompts prompts;
    double perEntry = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        auto doc = std::make_unique<ListDocument>(prompts);
        doc->OpenLists(bigFile());
        const size_t after = mallinfo2().uordblks;
        size_t entries = 0, text = 0;
        for (const EntryList *list : {&doc->AssemblyList, &doc->DefectCatalog, &doc->DefectList}) {
            for (const ListEntry &e : list->entries()) {
                ++entries;
                text += e.caption().size();
                for (size_t i = 0; i < e.subItemCount(); ++i)
                    text += e.subItem(i).size();
            }
        }
        perEntry = (double(after) - double(before) - double(text)) / double(entries);
    }
    state.counters["bytes_per_entry"] = perEntry;
    std::printf("memory: %.1f bytes per entry beyond the text (bound %.0f)\n", perEntry, kMemoryBound);
}

BENCHMARK(BM_LoadAlone)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_OpenInWindow)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_SelectAssembly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SelectDefect)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HeaderClick)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK(BM_Drop)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK(BM_AddEntry)->Unit(benchmark::kMillisecond)->Iterations(50)->UseRealTime();
BENCHMARK(BM_SearchKeystroke)->Unit(benchmark::kMillisecond)->Iterations(60)->UseRealTime();
BENCHMARK(BM_EditorOpen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_DocumentMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Recovery copies of the documents made here go to a scratch folder, never the user's.
    qputenv("XDG_STATE_HOME", QFile::encodeName(QDir(benchsupport::scratchDir()).filePath(QStringLiteral("state"))));
    benchsupport::addRatio("open 1,000,000 entries in the window, first paint", "BM_OpenInWindow/iterations:5/real_time",
                           "BM_LoadAlone/iterations:5/real_time", 1.3);
    benchsupport::addFixedLimit("select an assembly, catalogue of 100,000", "BM_SelectAssembly/real_time", 0.016);
    benchsupport::addFixedLimit("select a row in a defect list of 1,000,000", "BM_SelectDefect/real_time", 0.016);
    benchsupport::addFixedLimit("header click, catalogue of 100,000", "BM_HeaderClick/iterations:10/real_time", 0.016);
    benchsupport::addFixedLimit("drop, catalogue of 100,000", "BM_Drop/iterations:10/real_time", 0.016);
    benchsupport::addFixedLimit("add a defect, catalogue of 100,000", "BM_AddEntry/iterations:50/real_time", 0.016);
    benchsupport::addFixedLimit("search keystroke, catalogue of 100,000", "BM_SearchKeystroke/iterations:60/real_time",
                                0.016);
    // What a user takes for an instant answer to a key.
    benchsupport::addFixedLimit("open the name editor, a name of 5,000,000 characters",
                                "BM_EditorOpen/0/iterations:5/real_time", 0.1);
    benchsupport::addFixedLimit("open the name editor, the longest it edits (32,767)",
                                "BM_EditorOpen/1/iterations:5/real_time", 0.1);
    benchsupport::addCounterBound("memory an entry beyond the text, 1,000,000 entries",
                                  "BM_DocumentMemory/iterations:1", "bytes_per_entry", kMemoryBound);
    return benchsupport::runAndReport(argc, argv);
}
