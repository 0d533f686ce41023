#pragma once

#include "document/ByteSink.h"
#include "document/FileError.h"
#include "document/ListFile.h"
#include "document/ReportDetails.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

class ListDocument;

// A recovery copy: what a document held that was not in its file, written while the program runs
// so that a later start can offer it after the program died.
//   Maengelliste-Wiederherstellung 1
//   Zeit=2026-12-08T13:03:59.120Z
//   Datei=/home/anna/Begehung.mal        (empty: the document had no name)
//   Unvollstaendig=0                     (1: its last load was incomplete)
//   Bericht=312                          (bytes of the details file; 0: no details)
//   Listen=25000000                      (bytes of the list file)
//   <empty line>
//   <the details file's bytes><the list file's bytes>
// Header lines end in LF; in the name a line break is written "\n" and a backslash "\\", and the
// name keeps the system's bytes. The file ends right after the list file's bytes.
namespace recoveryfile {

inline constexpr char kHeader[] = "Maengelliste-Wiederherstellung 1";

// The document at one moment, in the form the copy stores it: the lists already as the list file's
// bytes, made on the window's thread, so that the rest of the write can run on another.
struct Snapshot {
    QDateTime time;
    QString fileName;
    bool incompleteLoad = false;
    QByteArray details; // the details file's bytes; empty: no details
    QByteArray lists;   // the list file's bytes
};

// What a copy held, read back.
struct Copy {
    QDateTime time;
    QString fileName;
    bool incompleteLoad = false;
    ReportDetails details;
    listfile::Content lists;
};

// Takes the snapshot (throws std::bad_alloc when memory runs out, the document untouched).
Snapshot take(const ListDocument &document, const QDateTime &time);
// Writes the copy's bytes into out and finishes it.
void write(ByteSink &out, const Snapshot &snapshot);
// The copy by the safe write: a temporary file, flushed, renamed over path.
FileResult<void> write(const QString &path, const Snapshot &snapshot);
// The copy the bytes hold; FileError::kFormat when they are not a whole copy (cut short, another
// format, lists or details that do not read back as written).
FileResult<Copy> parse(QByteArrayView bytes);
FileResult<Copy> read(const QString &path);

// The names in the recovery folder: each running program's copy "sitzung-<id>.kopie", and beside
// it "sitzung-<id>.sperre", which the program holds locked for as long as it runs.
inline constexpr char kCopyPrefix[] = "sitzung-";
inline constexpr char kCopySuffix[] = ".kopie";
inline constexpr char kLockSuffix[] = ".sperre";
QString lockPathOf(const QString &copyPath);
QString copyPathOf(const QString &lockPath);

// Opens (creating it when missing) and locks a file without waiting. The handle, or -1 with errno
// set: EWOULDBLOCK when a running program holds it. The lock ends with the handle, also when the
// program is killed.
int tryLock(const QString &path);
// Removes the lock file and closes the handle (-1: nothing to do).
void releaseLock(const QString &path, int fd);

} // namespace recoveryfile
