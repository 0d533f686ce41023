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

} // namespace editing
