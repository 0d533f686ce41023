#include "editing/FilteredView.h"

#include "editing/CompareRules.h"

namespace editing {

std::vector<ListEntry> filterCatalog(const std::vector<ListEntry> &catalog, const std::string *selectedAssembly)
{
    if (!selectedAssembly)
        return catalog;
    const std::string_view wanted = *selectedAssembly;
    std::vector<ListEntry> out;
    for (const ListEntry &entry : catalog) {
        if (assemblyOf(entry) == wanted)
            out.push_back(entry);
    }
    return out;
}

int catalogRowOf(const std::vector<ListEntry> &catalog, const ListEntry &copy)
{
    const std::string_view assembly = assemblyOf(copy);
    for (std::size_t i = 0; i < catalog.size(); ++i) {
        if (catalog[i].caption() == copy.caption() && assemblyOf(catalog[i]) == assembly)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace editing
