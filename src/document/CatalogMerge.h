#pragma once

#include "document/EntryList.h"
#include "document/ListEntry.h"
#include "document/ListFile.h"
#include "document/Prompts.h"

#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

class ListDocument;

// Taking over the catalogue of another list file: its assemblies and catalogue defects that the
// document lacks are appended to the document's, so that improvements to the catalogue made for one
// building reach the next. Nothing is removed or changed, and the defect list is left alone.
namespace catalogmerge {

// What a take-over appended.
struct Counts {
    std::size_t assemblies = 0;
    std::size_t defects = 0;
    bool any() const { return assemblies > 0 || defects > 0; }
    bool operator==(const Counts &) const = default;
};

// The entries of a list file that a document lacks, in the file's order.
struct NewEntries {
    std::vector<ListEntry> assemblies;
    std::vector<ListEntry> defects;
};

// Of content's assemblies, those whose name `assemblies` lacks; of its catalogue, the defects whose
// name and assembly (sub-item 0) together `catalog` lacks. A name (or name and assembly) that the
// file holds more than once is taken once, at its first place: the result is what appending the
// file's entries one by one, each only when still missing, would give. Texts are compared byte for
// byte. The entries are moved out of content; its defect list is not looked at. Uses a hash of the
// names, so a million entries take about as long as reading them.
NewEntries newEntries(const std::vector<ListEntry> &assemblies, const std::vector<ListEntry> &catalog,
                      listfile::Content &&content);

// Appends the new entries at the end of the two lists (each list in one change) and returns their
// counts. Out of memory: throws std::bad_alloc with both lists as they were.
Counts append(EntryList &assemblies, EntryList &catalog, NewEntries &&fresh);

// Reads the list file at path as Open does and appends what the document's assemblies and catalogue
// lack. A file that cannot be read, one with invalid content, or memory running out shows the
// message Open shows for it, changes nothing and returns nothing. The document's show check is
// asked before anything changes. The caller makes the change one step of the undo history.
std::optional<Counts> takeOver(ListDocument &document, const QString &path, Prompts &prompts);

// The caption of the command's boxes: "Katalog übernehmen".
QString caption();
// The outcome in words:
//   {3, 17} => "3 Baugruppen und 17 Mängel übernommen."   {1, 1} => "1 Baugruppe und 1 Mangel übernommen."
//   {0, 2} => "0 Baugruppen und 2 Mängel übernommen."      {0, 0} => "Der Katalog enthält nichts Neues."
QString message(const Counts &counts);
// The box that tells the outcome: caption(), message(counts), information icon, OK.
void report(Prompts &prompts, const Counts &counts);

} // namespace catalogmerge
