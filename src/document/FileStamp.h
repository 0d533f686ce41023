#pragma once

#include <QString>
#include <QtGlobal>

struct stat;

// What the default-file watch remembers of a file. Stamps are only compared for equality: any
// rewrite or replacement of the file (also by a rename over it) changes the stamp, and a missing
// file or anything but a regular file has a stamp of its own.
struct FileStamp {
    bool exists = false;
    qint64 mtimeNs = 0;
    qint64 size = 0;
    quint64 inode = 0;
    quint64 device = 0;

    bool operator==(const FileStamp &) const = default;
    // Whether both stamps are of the same file, whatever was written to it meanwhile.
    bool sameFile(const FileStamp &other) const
    {
        return exists && other.exists && inode == other.inode && device == other.device;
    }

    static FileStamp missing() { return {}; }
    static FileStamp of(const QString &path);
    // The stamp of what an open handle's fstat reported.
    static FileStamp ofStat(const struct stat &st);
};
