#include "editing/CompareRules.h"

#include "document/Cp1252.h"
#include "document/LocaleNumber.h"
#include "editing/SortKeys.h"

#include <algorithm>

namespace editing {

std::string_view assemblyOf(const ListEntry &entry)
{
    return entry.subItemCount() == 0 ? std::string_view() : entry.subItem(0);
}

std::optional<double> captionNumber(std::string_view caption)
{
    // Every number has a digit; most captions have none and need no decoding.
    if (std::none_of(caption.begin(), caption.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return localenumber::parse(cp1252::toUnicode(caption), localenumber::decimalSeparator());
}

namespace {

int directed(int ascending, const SortState &state)
{
    return state.Descending ? -ascending : ascending;
}

int compareTwoKeys(std::string_view primary1, std::string_view primary2, std::string_view tie1, std::string_view tie2)
{
    const int r = CompareSortKeys(primary1, primary2);
    return r != 0 ? r : CompareSortKeys(tie1, tie2);
}

} // namespace

int ListView1Compare(const ListEntry &item1, const ListEntry &item2, const SortState &state)
{
    return directed(CompareSortKeys(item1.caption(), item2.caption()), state);
}

int ListView2Compare(const ListEntry &item1, const ListEntry &item2, const SortState &state)
{
    if (state.SortColumn == 1)
        return directed(compareTwoKeys(assemblyOf(item1), assemblyOf(item2), item1.caption(), item2.caption()), state);
    return directed(compareTwoKeys(item1.caption(), item2.caption(), assemblyOf(item1), assemblyOf(item2)), state);
}

int ListView3Compare(const ListEntry &item1, const ListEntry &item2, const SortState &state)
{
    if (state.SortColumn == 1)
        return ListView2Compare(item1, item2, state);
    const std::optional<double> n1 = captionNumber(item1.caption()), n2 = captionNumber(item2.caption());
    int ascending;
    if (n1 && n2)
        ascending = (*n1 < *n2) - (*n1 > *n2); // larger first
    else if (n1 || n2)
        ascending = n1 ? -1 : 1; // a number before a text
    else
        ascending = compareTwoKeys(item1.caption(), item2.caption(), assemblyOf(item1), assemblyOf(item2));
    return directed(ascending, state);
}

} // namespace editing
