#pragma once

#include "document/ByteSink.h"

#include <QByteArray>

#include <cstddef>

// Asks for huge pages for a large block of memory that is about to be filled completely (a fresh
// block otherwise costs one page fault per 4 KiB, which takes longer than filling it). Only whole
// 2 MiB pages inside the block are advised; a small block is left alone.
void preferHugePages(void *data, std::size_t size);

// A sink that keeps the whole file in memory, for a writer's bytes as one buffer.
//
// The first allocation takes the writer's estimate of the final size; a piece that does not fit
// grows the buffer. A large buffer prefers huge pages.
//   FillBuffer out(16); char *p = out.room(out.start(), 3); std::memcpy(p, "abc", 3);
//   out.finish(p + 3); out.take() => "abc"
class FillBuffer final : public ByteSink {
public:
    explicit FillBuffer(std::size_t estimate);

    // The bytes up to where the writer finished. The buffer is empty afterwards.
    QByteArray take();

private:
    char *makeRoom(char *at, std::size_t size) override;
    void finished(char *end) override { m_size = end - m_bytes.data(); }

    QByteArray m_bytes;
    qsizetype m_size = 0;
};
