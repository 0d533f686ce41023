#include "document/LineReader.h"

#include <cstring>

LineReader::LineReader(std::string_view bytes) : m_data(bytes.data()), m_end(bytes.size())
{
    // An empty view may have no data pointer at all, which memchr must not be given.
    if (const void *eof = m_end > 0 ? std::memchr(m_data, 0x1A, m_end) : nullptr)
        m_end = static_cast<std::size_t>(static_cast<const char *>(eof) - m_data);
}

std::string_view LineReader::next()
{
    if (m_pos >= m_end) {
        ++m_pastEnd;
        return {};
    }
    const char *start = m_data + m_pos;
    const std::size_t left = m_end - m_pos;
    const void *cr = std::memchr(start, '\r', left);
    if (!cr) {
        m_pos = m_end;
        return {start, left};
    }
    const std::size_t len = static_cast<std::size_t>(static_cast<const char *>(cr) - start);
    m_pos += len + 1;
    if (m_pos < m_end && m_data[m_pos] == '\n')
        ++m_pos;
    return {start, len};
}
