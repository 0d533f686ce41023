#include "document/FileStamp.h"

#include "document/NativeName.h"


#include <sys/stat.h>

FileStamp FileStamp::of(const QString &path)
{
    struct stat st {};
    const QByteArray encoded = nativename::toNative(path);
    if (::stat(encoded.constData(), &st) != 0)
        return missing();
    return ofStat(st);
}

FileStamp FileStamp::ofStat(const struct stat &st)
{
    if (!S_ISREG(st.st_mode))
        return missing();
    FileStamp s;
    s.exists = true;
    s.mtimeNs = static_cast<qint64>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    s.size = static_cast<qint64>(st.st_size);
    s.inode = static_cast<quint64>(st.st_ino);
    s.device = static_cast<quint64>(st.st_dev);
    return s;
}
