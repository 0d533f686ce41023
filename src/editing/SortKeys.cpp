#include "editing/SortKeys.h"

#include "editing/SortCollation.h"

namespace editing {

int CompareSortKeys(std::string_view a, std::string_view b)
{
    return SortCollation::forDefaultLocale().compare(a, b);
}

} // namespace editing
