#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

// Where a file writer puts the file's bytes, front to back in one pass: it asks for room before
// each piece, writes the piece at the position it got and goes on after it; at the end it says
// where its bytes end. What the sink does with full stretches (grow a buffer, hand them to a file)
// is its own business, so one writer serves a buffer in memory and a file alike.
//   char *p = sink.start();
//   p = sink.room(p, 3); std::memcpy(p, "abc", 3); p += 3;
//   p = sink.put(p, "def");
//   sink.finish(p);                     => the bytes "abcdef"
// A position handed out by start, room or put stays valid until the next call of room or put.
class ByteSink {
public:
    ByteSink(const ByteSink &) = delete;
    ByteSink &operator=(const ByteSink &) = delete;

    // Where the first byte goes.
    char *start() const { return m_begin; }

    // A position equal to `at` (the end of what was written so far) after which `size` bytes may
    // be written; it differs from `at` when the sink had to make room.
    char *room(char *at, std::size_t size)
    {
        return static_cast<std::size_t>(m_end - at) >= size ? at : makeRoom(at, size);
    }

    // Writes bytes at `at` and returns the position after them. A large piece may bypass the buffer.
    char *put(char *at, std::string_view bytes)
    {
        if (static_cast<std::size_t>(m_end - at) < bytes.size())
            return putLarge(at, bytes);
        if (!bytes.empty())
            std::memcpy(at, bytes.data(), bytes.size());
        return at + bytes.size();
    }

    // The writer is done: its bytes end at `end`.
    void finish(char *end)
    {
        finished(end);
        m_finished = true;
    }
    bool isFinished() const { return m_finished; }

protected:
    ByteSink() = default;
    ~ByteSink() = default;

    // The stretch that room and put hand out.
    void setWindow(char *begin, char *end)
    {
        m_begin = begin;
        m_end = end;
    }
    char *windowBegin() const { return m_begin; }
    std::size_t windowSize() const { return static_cast<std::size_t>(m_end - m_begin); }

    // Makes room for `size` bytes after `at`; returns where they go.
    virtual char *makeRoom(char *at, std::size_t size) = 0;
    // A piece that does not fit where it stands; by default made room for and copied.
    virtual char *putLarge(char *at, std::string_view bytes)
    {
        at = makeRoom(at, bytes.size());
        std::memcpy(at, bytes.data(), bytes.size());
        return at + bytes.size();
    }
    virtual void finished(char *end) = 0;

private:
    char *m_begin = nullptr;
    char *m_end = nullptr;
    bool m_finished = false;
};
