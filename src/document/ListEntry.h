#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// One row of any list: a caption and the ordered sub-item texts (sub-item 0 is the assembly name).
// Texts are Windows-1252 bytes, kept exactly as read or typed (any byte, NUL included).
//
// An entry is a value: copies are independent of their source. A change that runs out of memory
// throws std::bad_alloc and leaves the entry as it was.
class ListEntry {
public:
    ListEntry() noexcept = default;
    ListEntry(std::string_view caption, std::initializer_list<std::string_view> subItems = {});

    std::string_view caption() const { return m_caption; }
    std::size_t subItemCount() const { return m_subItems.size(); }
    // Sub-item i, which the entry must have (i < subItemCount()).
    std::string_view subItem(std::size_t i) const { return m_subItems[i]; }

    void setCaption(std::string_view text);
    void setSubItem(std::size_t i, std::string_view text);
    void appendSubItem(std::string_view text);

    bool operator==(const ListEntry &) const = default;

private:
    std::string m_caption;
    std::vector<std::string> m_subItems;
};
