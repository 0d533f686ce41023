#include "document/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace safefile {

bool writeAll(const QString &path, const QByteArray &bytes)
{
    if (path.isEmpty() || QFileInfo(path).isDir())
        return false;
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // QSaveFile only notices a write of zero bytes; a short write on a full disk must fail too.
    if (!bytes.isEmpty() && file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<QByteArray> readAll(const QString &path)
{
    if (path.isEmpty() || QFileInfo(path).isDir())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes;
    const qint64 size = file.size();
    if (size > 0 && !file.isSequential()) {
        bytes.resize(size);
        qint64 done = 0;
        while (done < size) {
            const qint64 got = file.read(bytes.data() + done, size - done);
            if (got < 0)
                return std::nullopt;
            if (got == 0)
                break; // the file shrank while being read
            done += got;
        }
        bytes.truncate(done);
    }
    // Whatever was appended meanwhile, or a file without a known size.
    const QByteArray rest = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    bytes += rest;
    return bytes;
}

} // namespace safefile
