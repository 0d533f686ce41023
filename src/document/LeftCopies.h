#pragma once

#include "document/FileError.h"
#include "document/RecoveryFile.h"

#include <QString>

#include <vector>

// The recovery copies that programs no longer running left in the recovery folder. Each is locked
// for this run from the moment it is found, so that two programs starting at once never offer the
// same copy; the locks of those not dealt with end with this object (they wait for the next start).
class LeftCopies {
public:
    struct Left {
        QString path;
        int lockFd = -1;
        FileResult<recoveryfile::Copy> copy = FileError{};
    };

    // Finds and locks them; lock files that no running program holds and no copy needs are removed.
    static LeftCopies find();
    LeftCopies() = default;
    LeftCopies(LeftCopies &&other) noexcept : m_copies(std::move(other.m_copies)) { other.m_copies.clear(); }
    LeftCopies &operator=(LeftCopies &&) = delete;
    ~LeftCopies();

    bool empty() const { return m_copies.empty(); }
    // Reads every copy, then orders them: those that cannot be read first, then the others newest
    // first by the time stored in them.
    void read();
    std::vector<Left> &copies() { return m_copies; }

    // Moves the copy into "verworfen" and ends its lock; a failure leaves it in the folder.
    FileResult<void> discard(Left &left);
    // Ends the lock of a copy that was taken over.
    void release(Left &left);

private:
    std::vector<Left> m_copies;
};
