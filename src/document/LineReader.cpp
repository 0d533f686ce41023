#include "document/LineReader.h"

#include <cstring>

LineReader::LineReader(std::string_view bytes) : m_data(bytes.data()), m_end(bytes.size())
{
    // Whether the file holds a CR anywhere, also after a 0x1A byte: only a file without any is LF-ended.
    if (m_end > 0 && !std::memchr(m_data, '\r', m_end))
        m_lineEnd = '\n';
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
    const void *lineEnd = std::memchr(start, m_lineEnd, left);
    if (!lineEnd) {
        m_pos = m_end;
        return {start, left};
    }
    const std::size_t len = static_cast<std::size_t>(static_cast<const char *>(lineEnd) - start);
    m_pos += len + 1;
    if (m_lineEnd == '\r' && m_pos < m_end && m_data[m_pos] == '\n')
        ++m_pos;
    return {start, len};
}
