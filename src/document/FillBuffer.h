#pragma once

#include <QByteArray>

#include <cstddef>

// Asks for huge pages for a large block of memory that is about to be filled completely (a fresh
// block otherwise costs one page fault per 4 KiB, which takes longer than filling it). Only whole
// 2 MiB pages inside the block are advised; a small block is left alone.
void preferHugePages(void *data, std::size_t size);

// A byte buffer that a file writer fills from the front in one pass, asking for room before each
// piece, and then hands over as the file's bytes.
//
// The first allocation takes the writer's estimate of the final size; a piece that does not fit
// grows the buffer. A large buffer prefers huge pages.
//   FillBuffer out(16); char *p = out.room(out.begin(), 3); std::memcpy(p, "abc", 3);
//   out.take(p + 3) => "abc"
class FillBuffer {
public:
    explicit FillBuffer(std::size_t estimate);

    char *begin() { return m_bytes.data(); }

    // A position equal to `at` (the end of what was written so far) after which `size` bytes may
    // be written; it differs from `at` when the buffer had to grow.
    char *room(char *at, std::size_t size)
    {
        return static_cast<std::size_t>(m_end - at) >= size ? at : grow(at, size);
    }

    // The bytes written, from the beginning up to `end`. The buffer is empty afterwards.
    QByteArray take(char *end);

private:
    char *grow(char *at, std::size_t size);

    QByteArray m_bytes;
    char *m_end = nullptr;
};
