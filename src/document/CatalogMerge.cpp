#include "document/CatalogMerge.h"

#include "document/ListDocument.h"
#include "document/OutOfMemory.h"
#include "document/SafeFile.h"

#include <algorithm>
#include <bit>
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

// The keys of entries held elsewhere: an assembly's name, or a defect's name with its assembly.
// Open addressing over a table sized once for every key it will be given, so it never grows; a
// slot holds a tag of the key's hash and the entry's number.
class KeySet {
public:
    KeySet(std::size_t expected, bool withAssembly)
        : m_withAssembly(withAssembly),
          m_bits(std::max(4, static_cast<int>(std::bit_width(expected * 2)))),
          m_slots(std::size_t(1) << m_bits)
    {
        m_entries.reserve(expected);
    }

    // Adds the entry's key; false when an entry with the same key is there already.
    bool insert(const ListEntry &entry)
    {
        const std::uint64_t hash = hashOf(entry);
        const auto tag = static_cast<std::uint32_t>(hash);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = hash >> (64 - m_bits);; i = (i + 1) & mask) {
            Slot &slot = m_slots[i];
            if (slot.number == 0) {
                m_entries.push_back(&entry);
                slot = {tag, static_cast<std::uint32_t>(m_entries.size())};
                return true;
            }
            if (slot.tag == tag && sameKey(*m_entries[slot.number - 1], entry))
                return false;
        }
    }

private:
    struct Slot {
        std::uint32_t tag = 0;
        std::uint32_t number = 0; // 0: empty, else the entry's place in m_entries plus one
    };

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

    bool m_withAssembly;
    int m_bits;
    std::vector<Slot> m_slots;
    std::vector<const ListEntry *> m_entries;
};

// The entries of incoming whose keys neither `present` nor an earlier entry of incoming has.
std::vector<ListEntry> missing(const std::vector<ListEntry> &present, std::vector<ListEntry> &incoming,
                               bool withAssembly)
{
    KeySet keys(present.size() + incoming.size(), withAssembly);
    for (const ListEntry &entry : present)
        keys.insert(entry);
    // The set keeps pointers into incoming, so the entries are taken out only once all are seen.
    std::vector<bool> fresh(incoming.size());
    std::size_t count = 0;
    for (std::size_t i = 0; i < incoming.size(); ++i) {
        fresh[i] = keys.insert(incoming[i]);
        count += fresh[i] ? 1 : 0;
    }
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
        std::optional<QByteArray> bytes = safefile::readAll(path);
        if (!bytes) {
            prompts.error(QStringLiteral("Fehler beim Öffnen"), QStringLiteral("Konnte die Datei nicht öffnen."));
            return std::nullopt;
        }
        listfile::Content content = listfile::parse(std::string_view(bytes->constData(), size_t(bytes->size())));
        bytes.reset();
        // What a broken file would bring cannot be told from what it lost: nothing is taken.
        if (content.formatError) {
            prompts.error(QStringLiteral("Fehler beim Öffnen"),
                          QStringLiteral("Fehler beim Öffnen der Datei (Ungültiges Format?)."));
            return std::nullopt;
        }
        NewEntries fresh =
            newEntries(document.AssemblyList.entries(), document.DefectCatalog.entries(), std::move(content));
        document.checkShow({document.AssemblyList.entries().size() + fresh.assemblies.size(),
                            document.DefectCatalog.entries().size() + fresh.defects.size(), 0});
        return append(document.AssemblyList, document.DefectCatalog, std::move(fresh));
    } catch (const std::bad_alloc &) {
        outofmemory::show(prompts);
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
