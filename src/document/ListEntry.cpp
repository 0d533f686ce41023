#include "document/ListEntry.h"

#include <limits>
#include <new>

template <class TextAt> char *ListEntry::build(std::size_t count, TextAt textAt)
{
    std::size_t total = 0;
    for (std::size_t k = 0; k < count; ++k)
        total += textAt(k).size();
    if (count == 1 && total == 0)
        return nullptr;
    // Offsets and the count are 32-bit words: more text in one entry counts as running out of memory.
    constexpr std::size_t kMax = std::numeric_limits<Word>::max();
    if (total > kMax || count >= kMax)
        throw std::bad_alloc();
    const std::size_t head = (count + 1) * sizeof(Word);
    char *block = static_cast<char *>(::operator new(head + total));
    const auto put = [block](std::size_t k, std::size_t value) {
        const Word w = static_cast<Word>(value);
        std::memcpy(block + k * sizeof(Word), &w, sizeof(Word));
    };
    put(0, count);
    std::size_t end = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const std::string_view t = textAt(k);
        if (!t.empty()) // an empty view may have no data pointer, which memcpy must not be given
            std::memcpy(block + head + end, t.data(), t.size());
        end += t.size();
        put(k + 1, end);
    }
    return block;
}

ListEntry::ListEntry(std::string_view caption, std::initializer_list<std::string_view> subItems)
    : m_block(build(1 + subItems.size(), [&](std::size_t k) { return k == 0 ? caption : subItems.begin()[k - 1]; }))
{
}

ListEntry::ListEntry(const ListEntry &other)
{
    if (other.m_block) {
        const std::size_t size = other.blockSize();
        m_block = static_cast<char *>(::operator new(size));
        std::memcpy(m_block, other.m_block, size);
    }
}

ListEntry &ListEntry::operator=(const ListEntry &other)
{
    if (this != &other)
        *this = ListEntry(other);
    return *this;
}

ListEntry &ListEntry::operator=(ListEntry &&other) noexcept
{
    replaceBlock(std::exchange(other.m_block, nullptr));
    return *this;
}

ListEntry::~ListEntry()
{
    ::operator delete(m_block);
}

void ListEntry::replaceBlock(char *block) noexcept
{
    ::operator delete(std::exchange(m_block, block));
}

std::size_t ListEntry::blockSize() const
{
    const std::size_t count = word(0);
    return (count + 1) * sizeof(Word) + word(count);
}

// Each change builds the new block from the old one (text may be a view into it) before it lets
// the old one go.

void ListEntry::setCaption(std::string_view caption)
{
    const std::size_t count = 1 + subItemCount();
    replaceBlock(build(count, [&](std::size_t k) { return k == 0 ? caption : text(k); }));
}

void ListEntry::setSubItem(std::size_t i, std::string_view item)
{
    const std::size_t count = 1 + subItemCount();
    replaceBlock(build(count, [&](std::size_t k) { return k == i + 1 ? item : text(k); }));
}

void ListEntry::appendSubItem(std::string_view item)
{
    const std::size_t count = 2 + subItemCount();
    replaceBlock(build(count, [&](std::size_t k) { return k + 1 == count ? item : text(k); }));
}

bool operator==(const ListEntry &a, const ListEntry &b)
{
    // Equal entries have equal blocks, byte for byte, and only the empty entry has none.
    if (!a.m_block || !b.m_block)
        return a.m_block == b.m_block;
    const std::size_t size = a.blockSize();
    return size == b.blockSize() && std::memcmp(a.m_block, b.m_block, size) == 0;
}
