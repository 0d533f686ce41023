#pragma once

#include <string>
#include <vector>

// One row of any list: a caption and the ordered sub-item texts (sub-item 0 is the assembly name).
// Texts are Windows-1252 bytes, kept exactly as read or typed.
struct ListEntry {
    std::string caption;
    std::vector<std::string> subItems;

    bool operator==(const ListEntry &) const = default;
};
