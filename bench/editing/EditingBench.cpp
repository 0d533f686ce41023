#include "BenchSupport.h"

#include "editing/CatalogSearch.h"
#include "editing/FilteredView.h"
#include "editing/SortRules.h"
#include "editing/UndoRecorder.h"
#include "editing/UndoStep.h"

#include <QLocale>

#include <algorithm>
#include <cstring>
#include <malloc.h>
#include <memory>
#include <random>

namespace {

constexpr size_t kEntries = 1'000'000;

// Each benchmark runs for at least this long, so that the slow ones are timed more than once; Google
// Benchmark appends the time to their names.
constexpr double kMinTime = 2.0;
std::string timed(const char *name)
{
    return std::string(name) + "/min_time:2.000";
}

// Windows-1252 bytes: \xe4 ä, \xf6 ö, \xfc ü, \xc4 Ä, \xd6 Ö, \xdc Ü, \xdf ß.
const char *const kParts[] = {
    "Bremsleitung",
    "Bremsschlauch",
    "Bremsscheibe",
    "Bremstrommel",
    "Sto\xdf"
    "d\xe4mpfer",
    "Querlenker",
    "Spurstange",
    "Spurstangenkopf",
    "Auspuffanlage",
    "Endschalld\xe4mpfer",
    "\xd6lwanne",
    "K\xfc"
    "hler",
    "Scheinwerfer",
    "R\xfc"
    "ckleuchte",
    "Blinker",
    "Kennzeichenleuchte",
    "Reifen",
    "Felge",
    "Radlager",
    "Achsmanschette",
    "Lenkgetriebe",
    "Kraftstoffleitung",
    "T\xfcr",
    "Motorhaube",
    "Heckklappe",
    "Windschutzscheibe",
    "Wischerblatt",
    "Sicherheitsgurt",
    "Au\xdf"
    "enspiegel",
    "Feststellbremse",
    "Schweller",
    "L\xe4ngstr\xe4ger",
    "Unterboden",
    "Radhaus",
    "Tragegelenk",
    "Stabilisator",
    "Koppelstange",
    "Federbein",
    "Schraubenfeder",
    "Blattfeder",
    "Anh\xe4ngerkupplung",
    "Hupe",
    "Warnblinkanlage",
    "Nebelschlussleuchte",
    "Bremsleuchte",
    "Lenkrad",
    "Sitzverstellung",
    "Fahrgestellnummer",
    "Tank",
    "Tankdeckel",
    "Keilriemen",
    "Z\xfcndkabel",
    "Batterie",
    "Lichtmaschine",
    "Anlasser",
    "Gelenkwelle",
    "Kardanwelle",
    "Getriebe",
    "Motorlager",
    "Zylinderkopfdichtung",
    "\xd6lk\xfc"
    "hler",
    "\xdc"
    "berrollb\xfcgel",
    "Armaturenbrett",
};
const char *const kDefects[] = {
    "undicht",
    "por\xf6s",
    "korrodiert",
    "gerissen",
    "lose",
    "verschlissen",
    "ohne Funktion",
    "besch\xe4"
    "digt",
    "fehlt",
    "durchgerostet",
    "\xfc"
    "berm\xe4\xdfig Spiel",
    "\xd6lverlust",
    "falsch eingestellt",
    "verbogen",
    "unzul\xe4ssig ver\xe4ndert",
    "nicht befestigt",
    "scheuert",
    "eingerissen",
    "blind",
    "verschmutzt",
};
const char *const kPlaces[] = {"",       " vorn links", " vorn rechts", " hinten links", " hinten rechts",
                               " Mitte", " oben",       " unten"};
const char *const kGroups[] = {"Bremsanlage",
                               "Fahrwerk",
                               "Lenkung",
                               "Beleuchtung",
                               "Karosserie",
                               "Motor",
                               "Abgasanlage",
                               "Elektrik",
                               "Innenraum",
                               "Antrieb",
                               "R\xe4"
                               "der",
                               "Aufbau"};

// A defect catalogue as a large inspection body might keep it: component, finding, place and, for half
// of them, a position number; assemblies are a dozen groups in up to 25 variants, some in capitals.
std::vector<ListEntry> makeCatalogue(size_t n, unsigned seed)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::mt19937 rng(seed);
    const auto pick = [&rng](const auto &array) {
        return array[std::uniform_int_distribution<size_t>(0, std::size(array) - 1)(rng)];
    };
    std::uniform_int_distribution<int> number(1, 99999), variant(1, 25), coin(0, 1), rare(0, 19);
    std::vector<ListEntry> entries;
    entries.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        std::string caption = std::string(pick(kParts)) + " " + pick(kDefects) + pick(kPlaces);
        if (coin(rng))
            caption += " Pos. " + std::to_string(number(rng));
        if (rare(rng) == 0)
            std::transform(caption.begin(), caption.end(), caption.begin(),
                           [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; });
        std::string group = std::string(pick(kGroups)) + " " + std::to_string(variant(rng));
        entries.push_back({std::move(caption), {std::move(group)}});
    }
    return entries;
}

const std::vector<ListEntry> &catalogue()
{
    static const std::vector<ListEntry> entries = makeCatalogue(kEntries, 42);
    return entries;
}

// Every caption different: the worst case for the collation keys.
const std::vector<ListEntry> &distinctCatalogue()
{
    static const std::vector<ListEntry> entries = [] {
        std::vector<ListEntry> e = makeCatalogue(kEntries, 7);
        for (size_t i = 0; i < e.size(); ++i) {
            // Appends: GCC 12 at -O3 takes `" " + std::string&&` for an overlapping copy
            // (a false -Wrestrict inside the standard library).
            std::string caption(e[i].caption());
            caption += ' ';
            caption += std::to_string(i * 7919 % kEntries);
            e[i].setCaption(caption);
        }
        return e;
    }();
    return entries;
}

std::vector<std::string> captionsOf(const std::vector<ListEntry> &entries)
{
    std::vector<std::string> out;
    out.reserve(entries.size());
    for (const ListEntry &e : entries)
        out.emplace_back(e.caption());
    return out;
}

void byteSort(benchmark::State &state, const std::vector<ListEntry> &entries)
{
    const std::vector<std::string> texts = captionsOf(entries);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> copy = texts;
        state.ResumeTiming();
        std::sort(copy.begin(), copy.end());
        benchmark::DoNotOptimize(copy.data());
    }
}

void BM_ByteSort(benchmark::State &state)
{
    byteSort(state, catalogue());
}
BENCHMARK(BM_ByteSort)->Unit(benchmark::kMillisecond)->MinTime(kMinTime);

void BM_CatalogSortRule(benchmark::State &state)
{
    const std::vector<ListEntry> &entries = catalogue();
    SortState sort;
    const EntryList::SortRule rule = editing::catalogSortRule(sort);
    for (auto _ : state)
        benchmark::DoNotOptimize(rule(entries).data());
}
BENCHMARK(BM_CatalogSortRule)->Unit(benchmark::kMillisecond)->MinTime(kMinTime);

void BM_ByteSortDistinct(benchmark::State &state)
{
    byteSort(state, distinctCatalogue());
}
BENCHMARK(BM_ByteSortDistinct)->Unit(benchmark::kMillisecond)->MinTime(kMinTime);

void BM_CatalogSortRuleDistinct(benchmark::State &state)
{
    const std::vector<ListEntry> &entries = distinctCatalogue();
    SortState sort;
    const EntryList::SortRule rule = editing::catalogSortRule(sort);
    for (auto _ : state)
        benchmark::DoNotOptimize(rule(entries).data());
}
BENCHMARK(BM_CatalogSortRuleDistinct)->Unit(benchmark::kMillisecond)->MinTime(kMinTime);

void BM_DefectListNameSortRule(benchmark::State &state)
{
    const std::vector<ListEntry> &entries = catalogue();
    SortState sort;
    const EntryList::SortRule rule = editing::defectListSortRule(sort);
    for (auto _ : state)
        benchmark::DoNotOptimize(rule(entries).data());
}
BENCHMARK(BM_DefectListNameSortRule)->Unit(benchmark::kMillisecond)->MinTime(kMinTime);

// A header click on the catalogue list: the state changes and the list sorts and reorders itself.
void headerClick(benchmark::State &state, const std::vector<ListEntry> &entries)
{
    SortState sort;
    EntryList list{{QStringLiteral("Name"), QStringLiteral("Baugruppe")}};
    list.setSortRule(editing::catalogSortRule(sort, &list)); // as the window installs it
    list.assign(entries);
    int column = 0;
    for (auto _ : state) {
        column = 1 - column; // alternate the columns so that every click reorders the whole list
        editing::applyHeaderClick(sort, column);
        list.beginUpdate();
        list.endUpdate();
    }
}

void BM_HeaderClick(benchmark::State &state)
{
    headerClick(state, catalogue());
}
BENCHMARK(BM_HeaderClick)->Unit(benchmark::kMillisecond)->MinTime(kMinTime);

const std::vector<ListEntry> &smallCatalogue()
{
    static const std::vector<ListEntry> entries(catalogue().begin(), catalogue().begin() + 100'000);
    return entries;
}

void BM_ByteSort100k(benchmark::State &state)
{
    byteSort(state, smallCatalogue());
}
BENCHMARK(BM_ByteSort100k)->Unit(benchmark::kMillisecond)->MinTime(kMinTime);

void BM_HeaderClick100k(benchmark::State &state)
{
    headerClick(state, smallCatalogue());
}
BENCHMARK(BM_HeaderClick100k)->Unit(benchmark::kMillisecond)->MinTime(kMinTime);

const std::string kSelected = "Fahrwerk 7";

void BM_BareFilterScan(benchmark::State &state)
{
    const std::vector<ListEntry> &entries = catalogue();
    for (auto _ : state) {
        std::vector<ListEntry> out;
        for (const ListEntry &e : entries) {
            if (e.subItemCount() != 0 && e.subItem(0) == kSelected)
                out.push_back(e);
        }
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_BareFilterScan)->Unit(benchmark::kMillisecond)->MinTime(kMinTime);

// The rebuild of the filtered view with an assembly selected: filter, replace the list's entries and
// sort them by the catalogue's state when the bracket closes.
void BM_FilterRebuild(benchmark::State &state)
{
    const std::vector<ListEntry> &entries = catalogue();
    SortState sort;
    EntryList filtered{{QStringLiteral("Name"), QStringLiteral("Baugruppe")}};
    filtered.setSortRule(editing::catalogSortRule(sort));
    for (auto _ : state) {
        filtered.beginUpdate();
        filtered.assign(editing::filterCatalog(entries, &kSelected));
        filtered.endUpdate();
    }
    state.counters["rows"] = filtered.count();
}
BENCHMARK(BM_FilterRebuild)->Unit(benchmark::kMillisecond)->MinTime(kMinTime);

// With no assembly selected the rebuild copies and sorts the whole catalogue.
void BM_FilterRebuildNoneSelected(benchmark::State &state)
{
    const std::vector<ListEntry> &entries = catalogue();
    SortState sort;
    EntryList filtered{{QStringLiteral("Name"), QStringLiteral("Baugruppe")}};
    filtered.setSortRule(editing::catalogSortRule(sort));
    for (auto _ : state) {
        filtered.beginUpdate();
        filtered.assign(editing::filterCatalog(entries, nullptr));
        filtered.endUpdate();
    }
}
BENCHMARK(BM_FilterRebuildNoneSelected)->Unit(benchmark::kMillisecond)->MinTime(kMinTime);

// Clearing a list of 1,000,000 entries with no history: the entries are freed.
void BM_ClearList(benchmark::State &state)
{
    EntryList list{{QStringLiteral("Name"), QStringLiteral("Baugruppe")}};
    for (auto _ : state) {
        state.PauseTiming();
        list.assign(catalogue());
        state.ResumeTiming();
        list.clear();
    }
}
BENCHMARK(BM_ClearList)->Unit(benchmark::kMillisecond)->MinTime(kMinTime);

// Undo of "Liste löschen" on 1,000,000 entries: the history gives back the entries it keeps.
void BM_UndoClear(benchmark::State &state)
{
    EntryList list{{QStringLiteral("Name"), QStringLiteral("Baugruppe")}};
    list.assign(catalogue());
    editing::UndoRecorder recorder;
    recorder.watch(list);
    for (auto _ : state) {
        state.PauseTiming();
        recorder.clearHistory();
        {
            editing::UndoStep step(recorder, QStringLiteral("Liste löschen"));
            list.clear();
        }
        state.ResumeTiming();
        recorder.undo();
    }
    state.counters["rows"] = list.count();
}
BENCHMARK(BM_UndoClear)->Unit(benchmark::kMillisecond)->MinTime(kMinTime);

// Typing into the catalogue's search letter by letter, then clearing the field: one keystroke an
// iteration, over 1,000,000 entries.
const std::string kTyped[] = {"k", "ko", "kor", "korr", "korro", "korrod", ""};

void BM_SearchKeystroke(benchmark::State &state)
{
    editing::CatalogSearch search;
    search.index(catalogue());
    size_t k = 0;
    for (auto _ : state) {
        search.setText(kTyped[k]);
        benchmark::DoNotOptimize(search.matchCount());
        k = (k + 1) % std::size(kTyped);
    }
}
BENCHMARK(BM_SearchKeystroke)->Unit(benchmark::kMillisecond)->MinTime(kMinTime);

// The limit: a plain byte search for each text over the same folded text, counting its hits.
void BM_ByteSearch(benchmark::State &state)
{
    editing::CatalogSearch search;
    search.index(catalogue());
    const std::string_view text = search.foldedText();
    size_t k = 0;
    for (auto _ : state) {
        const std::string &needle = kTyped[k];
        size_t hits = 0;
        for (size_t pos = 0; !needle.empty() && pos < text.size(); ++hits) {
            const void *hit = memmem(text.data() + pos, text.size() - pos, needle.data(), needle.size());
            if (!hit)
                break;
            pos = size_t(static_cast<const char *>(hit) - text.data()) + 1;
        }
        benchmark::DoNotOptimize(hits);
        k = (k + 1) % std::size(kTyped);
    }
}
BENCHMARK(BM_ByteSearch)->Unit(benchmark::kMillisecond)->MinTime(kMinTime);

// The search's heap bytes an entry beyond the catalogue's text (every byte of every name and
// sub-item), with a text set that leaves rows out: the folded copy, the row starts, the bit a row.
constexpr double kSearchMemoryBound = 8;

void BM_SearchMemory(benchmark::State &state)
{
    const auto heap = [] {
        const struct mallinfo2 m = mallinfo2();
        return double(m.uordblks) + double(m.hblkhd); // the large blocks are mapped on their own
    };
    const std::vector<ListEntry> &entries = catalogue(); // made before the count starts
    double perEntry = 0;
    for (auto _ : state) {
        const double before = heap();
        auto search = std::make_unique<editing::CatalogSearch>();
        search->index(entries);
        search->setText("ko");
        const double after = heap();
        double text = 0;
        for (const ListEntry &e : entries) {
            text += double(e.caption().size());
            for (size_t i = 0; i < e.subItemCount(); ++i)
                text += double(e.subItem(i).size());
        }
        perEntry = (after - before - text) / double(entries.size());
    }
    state.counters["bytes_per_entry"] = perEntry;
}
BENCHMARK(BM_SearchMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

const bool kRatios = [] {
    benchsupport::addRatio("sort 1,000,000 catalogue entries", timed("BM_CatalogSortRule"), timed("BM_ByteSort"), 2.5);
    benchsupport::addRatio("sort, every caption distinct", timed("BM_CatalogSortRuleDistinct"),
                           timed("BM_ByteSortDistinct"), 2.5);
    benchsupport::addRatio("sort by the defect list's Name rule", timed("BM_DefectListNameSortRule"),
                           timed("BM_ByteSort"), 2.5);
    benchsupport::addRatio("header click on 1,000,000 entries", timed("BM_HeaderClick"), timed("BM_ByteSort"), 2.5);
    benchsupport::addRatio("header click on 100,000 entries", timed("BM_HeaderClick100k"), timed("BM_ByteSort100k"),
                           2.5);
    benchsupport::addRatio("rebuild filtered view (assembly selected)", timed("BM_FilterRebuild"),
                           timed("BM_BareFilterScan"), 2.0);
    benchsupport::addRatio("rebuild filtered view (none selected, incl. sort)", timed("BM_FilterRebuildNoneSelected"),
                           timed("BM_ByteSort"), 2.5);
    benchsupport::addRatio("search keystroke, 1,000,000 entries", timed("BM_SearchKeystroke"), timed("BM_ByteSearch"),
                           2.0);
    benchsupport::addCounterBound("search memory an entry beyond the text, 1,000,000", "BM_SearchMemory/iterations:1",
                                  "bytes_per_entry", kSearchMemoryBound);
    benchsupport::addRatio("undo of clearing 1,000,000 entries", timed("BM_UndoClear"), timed("BM_ClearList"), 2.0);
    return true;
}();

} // namespace

MAL_BENCHMARK_MAIN()
