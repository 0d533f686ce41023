#pragma once

#include <QString>
#include <QtGlobal>

// What the default-file watch remembers of a file. Stamps are only compared for equality: any
// rewrite or replacement of the file (also by a rename over it) changes the stamp, and a missing
// file or a directory has a stamp of its own.
struct FileStamp {
    bool exists = false;
    qint64 mtimeNs = 0;
    qint64 size = 0;
    quint64 inode = 0;
    quint64 device = 0;

    bool operator==(const FileStamp &) const = default;

    static FileStamp missing() { return {}; }
    static FileStamp of(const QString &path);
};
