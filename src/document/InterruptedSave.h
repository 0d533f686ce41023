#pragma once

#include "document/FileError.h"
#include "document/SafeFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

// Saves that write a file in place (where its folder allows no new file) and were cut short by the
// end of the program. Before the first byte goes to the file, the whole new version is written and
// flushed as a copy into the folder "unterbrochen" of the recovery folder, then a marker naming the
// file and the copy; both go once the file is flushed. A marker left behind means the file may be
// cut short or mixed, and the copy holds what the save was to write.
//
// The marker "<8 letters>.unterbrochen" holds, one per line: "Maengelliste-Unterbrochen 1", the
// time the save began (milliseconds since 1970, UTC), the copy's name, its size in bytes, and then
// to the end the file's path as the system spells it. The copy is "<same letters>-<file name>".
// A running save holds an flock on both, so that a program starting meanwhile leaves them alone.
namespace interruptedsave {

QString folder();

// Whether a name is a marker's: "k3x9a0bq.unterbrochen".
bool isMarkerName(std::string_view name);

// The copy and the marker of one in-place write, removed when it ends.
class Journal {
public:
    // Writes and flushes the copy (by calling `write`), then the marker for `target`. Where the
    // recovery folder cannot take them, nothing is kept (kept() is false) and nothing is left.
    static Journal begin(const QByteArray &target, const safefile::Writer &write, safefile::Flush flush);
    Journal(Journal &&other) noexcept;
    Journal &operator=(Journal &&) = delete;
    // The marker goes first, then the copy.
    ~Journal();

    bool kept() const { return m_markerLock >= 0; }

private:
    Journal() = default;
    void dropCopy();

    QByteArray m_marker, m_copy;
    int m_markerLock = -1, m_copyLock = -1;
};

// A save that was cut short, held for this program (an flock on its marker) as long as it lives.
class Pending {
public:
    Pending(Pending &&other) noexcept;
    Pending &operator=(Pending &&other) noexcept;
    ~Pending();

    QString target() const;
    QString copy() const;
    QDateTime began() const { return m_began; }

private:
    friend std::vector<Pending> find();
    friend FileResult<void> restore(Pending &);
    friend FileResult<void> discard(Pending &);
    Pending() = default;
    void finish();

    QByteArray m_target, m_marker, m_copy;
    qint64 m_size = 0;
    QDateTime m_began;
    int m_lock = -1;
};

// The saves cut short that no running program holds, oldest first. Along the way it tidies up: a
// marker whose file already holds the whole copy goes with its copy; a marker without its whole
// copy, or one that cannot be read, goes (a copy moves to "verworfen"); a copy without marker that
// no save holds goes (its save ended, or never began to write the file).
std::vector<Pending> find();

// Writes the copy to the file by the same in-place write (a missing file is created by the safe
// write), then removes marker and copy. A failure leaves everything for the next start.
FileResult<void> restore(Pending &pending);

// Moves the copy into "verworfen" and removes the marker; the file stays as it is. A failure leaves
// both.
FileResult<void> discard(Pending &pending);

} // namespace interruptedsave
