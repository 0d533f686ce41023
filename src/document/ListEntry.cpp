#include "document/ListEntry.h"

ListEntry::ListEntry(std::string_view caption, std::initializer_list<std::string_view> subItems)
    : m_caption(caption)
{
    m_subItems.reserve(subItems.size());
    for (std::string_view s : subItems)
        m_subItems.emplace_back(s);
}

void ListEntry::setCaption(std::string_view text)
{
    m_caption.assign(text);
}

void ListEntry::setSubItem(std::size_t i, std::string_view text)
{
    m_subItems[i].assign(text);
}

void ListEntry::appendSubItem(std::string_view text)
{
    m_subItems.emplace_back(text);
}
