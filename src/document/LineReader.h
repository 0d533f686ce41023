#pragma once

#include <cstddef>
#include <string_view>

// Reads text lines from a buffer by the rules of the list file.
//
// A line ends at CR; one LF right after that CR belongs to the line end, an LF anywhere else is a
// character of the line. Input that holds no CR byte at all (as Linux editors and scripts write it)
// has its lines end at LF instead. A 0x1A byte ends the input; after the end every read yields an
// empty line.
//   "a\r\nb\nc\rd"  => "a", "b\nc", "d", then "" for ever
//   "a\nb\n\nc"     => "a", "b", "", "c"
//   "a\x1a\r\nb"    => "a", then ""
class LineReader {
public:
    explicit LineReader(std::string_view bytes);

    // The byte that ends a line: CR, or LF in input without any CR.
    char lineEnd() const { return m_lineEnd; }

    // The next line; past the end an empty line.
    std::string_view next();
    bool atEnd() const { return m_pos >= m_end; }
    // How many reads were made after the input had ended.
    std::size_t readsPastEnd() const { return m_pastEnd; }

private:
    const char *m_data;
    std::size_t m_pos = 0;
    std::size_t m_end;
    std::size_t m_pastEnd = 0;
    char m_lineEnd = '\r';
};
