#include "document/FillBuffer.h"

#include <algorithm>
#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

void preferHugePages(void *data, std::size_t size)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;
    if (size < 4 * kHugePage)
        return;
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t begin = (at + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (at + size) & ~(kHugePage - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

FillBuffer::FillBuffer(std::size_t estimate)
    : m_bytes(static_cast<qsizetype>(std::max<std::size_t>(estimate, 64)), Qt::Uninitialized)
{
    preferHugePages(m_bytes.data(), static_cast<std::size_t>(m_bytes.size()));
    setWindow(m_bytes.data(), m_bytes.data() + m_bytes.size());
}

char *FillBuffer::makeRoom(char *at, std::size_t size)
{
    const auto used = static_cast<std::size_t>(at - m_bytes.data());
    const std::size_t wanted = std::max(2 * static_cast<std::size_t>(m_bytes.size()), used + size);
    // The written part keeps its pages when the allocation is extended or remapped in place.
    m_bytes.resize(static_cast<qsizetype>(wanted));
    preferHugePages(m_bytes.data() + used, wanted - used);
    setWindow(m_bytes.data(), m_bytes.data() + m_bytes.size());
    return m_bytes.data() + used;
}

QByteArray FillBuffer::take()
{
    m_bytes.truncate(m_size);
    setWindow(nullptr, nullptr);
    return std::move(m_bytes);
}
