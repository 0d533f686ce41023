#include "document/CatalogMerge.h"

#include "document/ListDocument.h"
#include "document/OutOfMemory.h"
#include "document/SafeFile.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <new>
#include <string_view>

namespace catalogmerge {
namespace {

std::string_view assemblyOf(const ListEntry &entry)
{
    return entry.subItemCount() > 0 ? entry.subItem(0) : std::string_view();
}

// The keys of the entries of two lists, present ones first, then incoming ones: an assembly's name,
// or a defect's name with its assembly. Open addressing over a table sized once for all the keys,
// so it never grows; a slot holds a tag of the key's hash and the entry's place in the two lists.
// The table is larger than the caches, so the slot of a key a few entries ahead is fetched while
// the current one is looked up.
class KeySet {
public:
    KeySet(const std::vector<ListEntry> &present, const std::vector<ListEntry> &incoming, bool withAssembly)
        : m_present(present),
          m_incoming(incoming),
          m_withAssembly(withAssembly),
          m_bits(std::max(4, static_cast<int>(std::bit_width(loaded(present.size() + incoming.size()))))),
          m_slots(std::size_t(1) << m_bits)
    {
    }

    // Inserts the keys of the present entries, then those of the incoming ones; fresh(i, isNew)
    // hears for each incoming entry whether its key was new.
    template <class Fresh>
    void insertAll(Fresh &&fresh)
    {
        const std::size_t total = m_present.size() + m_incoming.size();
        constexpr std::size_t kAhead = 16; // a power of two
        std::uint64_t hashes[kAhead];
        for (std::size_t i = 0; i < std::min(kAhead, total); ++i)
            hashes[i] = hashOf(at(i));
        for (std::size_t i = 0; i < total; ++i) {
            const std::uint64_t hash = hashes[i % kAhead];
            if (i + kAhead < total) {
                hashes[i % kAhead] = hashOf(at(i + kAhead));
                __builtin_prefetch(&m_slots[slotOf(hashes[i % kAhead])]);
            }
            const bool isNew = insert(i, hash);
            if (i >= m_present.size())
                fresh(i - m_present.size(), isNew);
        }
    }

private:
    struct Slot {
        std::uint32_t tag = 0;
        std::uint32_t number = 0; // 0: empty, else the entry's place plus one
    };

    // The table holds at least a third more slots than keys, at most three times as many: full
    // at 3/8 to 3/4.
    static std::size_t loaded(std::size_t keys) { return keys + keys / 3; }

    const ListEntry &at(std::size_t place) const
    {
        return place < m_present.size() ? m_present[place] : m_incoming[place - m_present.size()];
    }
    std::size_t slotOf(std::uint64_t hash) const { return hash >> (64 - m_bits); }

    // Adds the key of the entry at place; false when an entry with the same key is there already.
    bool insert(std::size_t place, std::uint64_t hash)
    {
        const auto tag = static_cast<std::uint32_t>(hash);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = slotOf(hash);; i = (i + 1) & mask) {
            Slot &slot = m_slots[i];
            if (slot.number == 0) {
                slot = {tag, static_cast<std::uint32_t>(place + 1)};
                return true;
            }
            if (slot.tag == tag && sameKey(at(slot.number - 1), at(place)))
                return false;
        }
    }

    std::uint64_t hashOf(const ListEntry &entry) const
    {
        std::uint64_t hash = std::hash<std::string_view>()(entry.caption());
        if (m_withAssembly)
            hash = (hash ^ 0x9E3779B97F4A7C15u) * 0xBF58476D1CE4E5B9u + std::hash<std::string_view>()(assemblyOf(entry));
        return hash * 0x9E3779B97F4A7C15u; // the table takes the high bits
    }
    bool sameKey(const ListEntry &a, const ListEntry &b) const
    {
        return a.caption() == b.caption() && (!m_withAssembly || assemblyOf(a) == assemblyOf(b));
    }

    const std::vector<ListEntry> &m_present;
    const std::vector<ListEntry> &m_incoming;
    bool m_withAssembly;
    int m_bits;
    std::vector<Slot> m_slots;
};

// The entries of incoming whose keys neither `present` nor an earlier entry of incoming has.
std::vector<ListEntry> missing(const std::vector<ListEntry> &present, std::vector<ListEntry> &incoming,
                               bool withAssembly)
{
    // The set reads incoming, so the entries are taken out only once all are seen.
    std::vector<bool> fresh(incoming.size());
    std::size_t count = 0;
    KeySet(present, incoming, withAssembly).insertAll([&](std::size_t i, bool isNew) {
        fresh[i] = isNew;
        count += isNew ? 1 : 0;
    });
    std::vector<ListEntry> out;
    out.reserve(count);
    for (std::size_t i = 0; i < incoming.size(); ++i) {
        if (fresh[i])
            out.push_back(std::move(incoming[i]));
    }
    return out;
}

} // namespace

NewEntries newEntries(const std::vector<ListEntry> &assemblies, const std::vector<ListEntry> &catalog,
                      listfile::Content &&content)
{
    NewEntries fresh;
    fresh.assemblies = missing(assemblies, content.lists[listfile::Assemblies], false);
    fresh.defects = missing(catalog, content.lists[listfile::Catalog], true);
    return fresh;
}

Counts append(EntryList &assemblies, EntryList &catalog, NewEntries &&fresh)
{
    const Counts counts{fresh.assemblies.size(), fresh.defects.size()};
    const int before = assemblies.count();
    assemblies.appendEntries(std::move(fresh.assemblies));
    try {
        catalog.appendEntries(std::move(fresh.defects));
    } catch (const std::bad_alloc &) {
        if (assemblies.count() > before)
            assemblies.truncate(before);
        throw;
    }
    return counts;
}

std::optional<Counts> takeOver(ListDocument &document, const QString &path, Prompts &prompts)
{
    try {
        FileResult<QByteArray> bytes = safefile::readAll(path);
        if (!bytes) {
            if (bytes.error().code == ENOMEM)
                showFailure(prompts, outofmemory::caption(), outofmemory::text(), path, bytes.error());
            else
                showFailure(prompts, QStringLiteral("Fehler beim Öffnen"), QStringLiteral("Konnte die Datei nicht öffnen."),
                            path, bytes.error());
            return std::nullopt;
        }
        listfile::Content content = listfile::parse(std::string_view(bytes->constData(), size_t(bytes->size())));
        bytes->clear();
        // What a broken file would bring cannot be told from what it lost: nothing is taken.
        if (content.formatError) {
            showFailure(prompts, QStringLiteral("Fehler beim Öffnen"),
                        QStringLiteral("Fehler beim Öffnen der Datei (Ungültiges Format?)."), path, FileError::format());
            return std::nullopt;
        }
        NewEntries fresh =
            newEntries(document.AssemblyList.entries(), document.DefectCatalog.entries(), std::move(content));
        return append(document.AssemblyList, document.DefectCatalog, std::move(fresh));
    } catch (const std::bad_alloc &) {
        showFailure(prompts, outofmemory::caption(), outofmemory::text(), path, FileError{ENOMEM});
        return std::nullopt;
    }
}

QString caption()
{
    return QStringLiteral("Katalog übernehmen");
}

QString message(const Counts &counts)
{
    if (!counts.any())
        return QStringLiteral("Der Katalog enthält nichts Neues.");
    const QString assemblies = counts.assemblies == 1 ? QStringLiteral("Baugruppe") : QStringLiteral("Baugruppen");
    const QString defects = counts.defects == 1 ? QStringLiteral("Mangel") : QStringLiteral("Mängel");
    return QStringLiteral("%1 %2 und %3 %4 übernommen.")
        .arg(QString::number(counts.assemblies), assemblies, QString::number(counts.defects), defects);
}

void report(Prompts &prompts, const Counts &counts)
{
    prompts.message({caption(), message(counts), Prompts::Icon::Information, Prompts::Buttons::Ok, Prompts::Answer::Ok});
}

} // namespace catalogmerge
