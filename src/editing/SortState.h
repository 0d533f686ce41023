#pragma once

// The sort order of one list: the column last clicked and whether the order is reversed.
// Both start at column 0, not reversed; only header clicks change them.
struct SortState {
    int SortColumn = 0;
    bool Descending = false;
};

namespace editing {

// A click on header `column`: the same column again reverses the order, another column sorts by it
// in ascending order. As the state starts at column 0, the first click on "Name" sorts descending.
//   {0, false} + click 0 => {0, true};   {0, true} + click 1 => {1, false}
inline void applyHeaderClick(SortState &state, int column)
{
    if (column == state.SortColumn) {
        state.Descending = !state.Descending;
    } else {
        state.SortColumn = column;
        state.Descending = false;
    }
}

} // namespace editing
