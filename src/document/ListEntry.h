#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <utility>

// One row of any list: a caption and the ordered sub-item texts (sub-item 0 is the assembly name).
// Texts are Windows-1252 bytes, kept exactly as read or typed (any byte, NUL included).
//
// An entry is a value: copies are independent of their source. A change that runs out of memory
// throws std::bad_alloc and leaves the entry as it was; so does a change that would make the texts
// of one entry 4 GiB or longer together.
//
// Memory: an entry is one pointer to a block of its own that holds all its texts, so that a list of
// a million entries costs a few dozen bytes an entry beyond its text. The block is a 32-bit count
// of texts (the caption and the sub-items), the 32-bit end offset of each text, then the texts' bytes
// back to back:
//   {"Riss", {"Fassade"}} => [2][4][11]"RissFassade"   (23 bytes)
// An entry with an empty caption and no sub-items has no block. Views that the accessors return
// stay valid until the entry is changed or destroyed; moving the entry keeps them valid.
class ListEntry {
public:
    ListEntry() noexcept = default;
    ListEntry(std::string_view caption, std::initializer_list<std::string_view> subItems = {});
    ListEntry(const ListEntry &other);
    ListEntry(ListEntry &&other) noexcept : m_block(std::exchange(other.m_block, nullptr)) {}
    ListEntry &operator=(const ListEntry &other);
    ListEntry &operator=(ListEntry &&other) noexcept;
    ~ListEntry();

    std::string_view caption() const { return text(0); }
    std::size_t subItemCount() const { return m_block ? word(0) - 1 : 0; }
    // Sub-item i, which the entry must have (i < subItemCount()).
    std::string_view subItem(std::size_t i) const { return text(i + 1); }

    void setCaption(std::string_view text);
    void setSubItem(std::size_t i, std::string_view text);
    void appendSubItem(std::string_view text);

    friend bool operator==(const ListEntry &a, const ListEntry &b);

private:
    using Word = std::uint32_t;

    Word word(std::size_t k) const
    {
        Word w;
        std::memcpy(&w, m_block + k * sizeof(Word), sizeof(Word));
        return w;
    }
    // Text k: 0 is the caption, k the sub-item k - 1.
    std::string_view text(std::size_t k) const
    {
        if (!m_block)
            return {};
        const std::size_t count = word(0);
        const std::size_t begin = k == 0 ? 0 : word(k);
        const char *bytes = m_block + (count + 1) * sizeof(Word);
        return {bytes + begin, word(k + 1) - begin};
    }
    std::size_t blockSize() const;
    // A new block of count texts, text k being textAt(k); nullptr for the empty entry.
    template <class TextAt> static char *build(std::size_t count, TextAt textAt);
    void replaceBlock(char *block) noexcept;

    char *m_block = nullptr;
};
