#pragma once

#include "document/ByteSink.h"
#include "document/FileError.h"
#include "document/FileStamp.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <string_view>

// Writing and reading whole files.
namespace safefile {

enum class Flush {
    ToDisk, // the data reaches the disk before the file is replaced, the folder entry after
    None,   // for measuring what the flush costs
};

// Whether a write in place first keeps the new bytes in the recovery folder.
enum class Journal {
    Kept, // a copy of the new bytes and a marker naming the file, until the file is flushed
    None, // for writing back such a copy itself
};

// Replaces the file at path by bytes, or leaves it as it was. The bytes go to a temporary file
// beside it (with the old file's owner, group and mode where they can be kept), are checked to be
// written in full and flushed to the disk; only then does a rename put the complete file in place.
// A symbolic link stays a link and its target is replaced. An existing file the user may not write
// is not replaced. Where the folder forbids the temporary file or the rename but the file itself
// may be written, the file is written in place: its old bytes are kept, the new ones written, the
// file cut to their length and flushed; on any failure the old bytes are written back. Owner,
// group, mode and links then stay as they are, and a program killed meanwhile leaves the whole new
// version behind for the next start (writeInPlace).
// Every save first removes the temporary files that saves which did not end left in the folder
// (its own, hidden ".<name>.mltmp-xxxxxx" that no running program holds: a save holds an flock on
// its temporary file until the rename).
// On any failure (missing folder, no rights, full disk, a failed flush, a folder or special file
// at path, a link loop) returns the reason: the system's error number, EISDIR for a folder and
// EINVAL for another special file at path.
// `written` gets the stamp of the file just written.
FileResult<void> writeAll(const QString &path, const QByteArray &bytes, FileStamp *written = nullptr, Flush flush = Flush::ToDisk);

// Puts a file's bytes into the sink it is given and finishes it. It may be called more than once
// (when the file has to be written in place after all) and then writes the same bytes again.
using Writer = std::function<void(ByteSink &)>;

// The same for the bytes a writer makes: they go to the file through a small buffer as they are
// made, so that a large file is never held in memory whole. A writer that does not finish its sink
// fails the write (EIO). An exception from the writer (std::bad_alloc) leaves the file as it was,
// removes the temporary file and is passed on.
FileResult<void> writeAll(const QString &path, const Writer &write, FileStamp *written = nullptr, Flush flush = Flush::ToDisk);

// A writer of the given bytes.
Writer bytesWriter(const QByteArray &bytes);

// Writes the existing file at path itself, as writeAll does where the folder forbids a new file.
// With Journal::Kept the new bytes and a marker naming the file are first written and flushed to
// the recovery folder (interruptedsave::Journal), and removed once the file is flushed or has its
// old bytes back; a program that dies in between leaves them for the next start. Where the
// recovery folder cannot take them, the file is written all the same.
FileResult<void> writeInPlace(const QString &path, const Writer &write, FileStamp *written = nullptr,
                              Flush flush = Flush::ToDisk, Journal journal = Journal::Kept);

// writeAll for a new file of the program's own: `lock` gets a descriptor of the file written, holding
// an flock on it from before the file appeared under its name (-1 after a failure); the caller
// closes it.
FileResult<void> writeLocked(const QString &path, const Writer &write, int *lock, Flush flush = Flush::ToDisk);

// Whether a file name is one of the temporary names of writeAll: ".Begehung.mal.mltmp-k3x9a0".
bool isTemporaryName(std::string_view name);

// Reads the whole file. Fails when it is not a regular file (EISDIR for a folder, EINVAL for a
// FIFO, a device or a socket, which are not even waited for), cannot be opened or read (the
// system's reason), keeps growing while it is read (EAGAIN) or does not fit into memory (ENOMEM).
// `stamp` gets the stamp of the opened file, taken before reading.
FileResult<QByteArray> readAll(const QString &path, FileStamp *stamp = nullptr);

} // namespace safefile
