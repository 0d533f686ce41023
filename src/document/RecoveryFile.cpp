#include "document/RecoveryFile.h"

#include "document/ListDocument.h"
#include "document/NativeName.h"
#include "document/ReportFile.h"
#include "document/SafeFile.h"

#include <QFile>

#include <cerrno>
#include <charconv>
#include <initializer_list>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace recoveryfile {
namespace {

constexpr char kTimeFormat[] = "yyyy-MM-ddTHH:mm:ss.zzzZ";

QByteArray escapeName(const QString &name)
{
    QByteArray out;
    for (const char c : nativename::toNative(name)) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::optional<QString> unescapeName(QByteArrayView text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\') {
            if (++i == text.size())
                return std::nullopt;
            c = text[i] == 'n' ? '\n' : text[i];
            if (c != '\n' && c != '\\')
                return std::nullopt;
        }
        out += c;
    }
    return nativename::fromNative(out);
}

// Reads the header line "key=value" at pos and moves pos past it.
std::optional<QByteArrayView> headerValue(QByteArrayView bytes, qsizetype &pos, QByteArrayView key)
{
    const qsizetype end = bytes.indexOf('\n', pos);
    if (end < 0)
        return std::nullopt;
    const QByteArrayView line = bytes.sliced(pos, end - pos);
    pos = end + 1;
    if (!line.startsWith(key) || line.size() <= key.size() || line[key.size()] != '=')
        return std::nullopt;
    return line.sliced(key.size() + 1);
}

std::optional<qsizetype> byteCount(std::optional<QByteArrayView> value)
{
    if (!value || value->isEmpty())
        return std::nullopt;
    qsizetype n = 0;
    const auto res = std::from_chars(value->data(), value->data() + value->size(), n);
    if (res.ec != std::errc() || res.ptr != value->data() + value->size() || n < 0)
        return std::nullopt;
    return n;
}

} // namespace

Snapshot take(const ListDocument &document, const QDateTime &time)
{
    Snapshot s;
    s.time = time;
    s.fileName = document.CurrentFileName();
    s.incompleteLoad = document.incompleteLoad();
    if (!document.reportDetails().isEmpty())
        s.details = reportfile::encode(document.reportDetails());
    s.lists = listfile::encode(document.AssemblyList.entries(), document.DefectCatalog.entries(),
                               document.DefectList.entries());
    return s;
}

void write(ByteSink &out, const Snapshot &s)
{
    QByteArray head = kHeader;
    head += "\nZeit=" + s.time.toUTC().toString(QString::fromLatin1(kTimeFormat)).toLatin1();
    head += "\nDatei=" + escapeName(s.fileName);
    head += s.incompleteLoad ? "\nUnvollstaendig=1" : "\nUnvollstaendig=0";
    head += "\nBericht=" + QByteArray::number(s.details.size());
    head += "\nListen=" + QByteArray::number(s.lists.size());
    head += "\n\n";
    char *p = out.start();
    const QByteArray *const parts[] = {&head, &s.details, &s.lists};
    for (const QByteArray *part : parts)
        p = out.put(p, std::string_view(part->constData(), size_t(part->size())));
    out.finish(p);
}

FileResult<void> write(const QString &path, const Snapshot &snapshot)
{
    return safefile::writeAll(path, [&snapshot](ByteSink &out) { write(out, snapshot); });
}

FileResult<Copy> parse(QByteArrayView bytes)
{
    const FileError damaged = FileError::format();
    qsizetype pos = 0;
    const QByteArrayView header(kHeader);
    if (!bytes.startsWith(header) || bytes.size() <= header.size() || bytes[header.size()] != '\n')
        return damaged;
    pos = header.size() + 1;
    Copy copy;
    const auto time = headerValue(bytes, pos, "Zeit");
    if (!time)
        return damaged;
    copy.time = QDateTime::fromString(QString::fromLatin1(*time), QString::fromLatin1(kTimeFormat));
    copy.time.setTimeSpec(Qt::UTC);
    const auto name = headerValue(bytes, pos, "Datei");
    const std::optional<QString> fileName = name ? unescapeName(*name) : std::nullopt;
    const auto incomplete = headerValue(bytes, pos, "Unvollstaendig");
    const auto detailsSize = byteCount(headerValue(bytes, pos, "Bericht"));
    const auto listsSize = byteCount(headerValue(bytes, pos, "Listen"));
    if (!copy.time.isValid() || !fileName || !incomplete || (*incomplete != "0" && *incomplete != "1") ||
        !detailsSize || !listsSize || pos >= bytes.size() || bytes[pos] != '\n')
        return damaged;
    ++pos;
    if (bytes.size() - pos != *detailsSize + *listsSize)
        return damaged;
    copy.fileName = *fileName;
    copy.incompleteLoad = *incomplete == "1";
    if (*detailsSize > 0) {
        reportfile::Parsed details = reportfile::parse(bytes.sliced(pos, *detailsSize));
        if (details.fault)
            return damaged;
        copy.details = std::move(details.details);
    }
    const QByteArrayView lists = bytes.sliced(pos + *detailsSize);
    copy.lists = listfile::parse(std::string_view(lists.data(), size_t(lists.size())));
    if (copy.lists.formatError)
        return damaged;
    return copy;
}

FileResult<Copy> read(const QString &path)
{
    FileResult<QByteArray> bytes = safefile::readAll(path);
    if (!bytes)
        return bytes.error();
    return parse(*bytes);
}

QString lockPathOf(const QString &copyPath)
{
    return copyPath.chopped(qsizetype(sizeof kCopySuffix) - 1) + QString::fromLatin1(kLockSuffix);
}

QString copyPathOf(const QString &lockPath)
{
    return lockPath.chopped(qsizetype(sizeof kLockSuffix) - 1) + QString::fromLatin1(kCopySuffix);
}

int tryLock(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    int error = 0;
    struct stat held {}, named {};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        error = errno;
    else if (::fstat(fd, &held) != 0 || ::stat(QFile::encodeName(path).constData(), &named) != 0 ||
             held.st_ino != named.st_ino || held.st_dev != named.st_dev)
        error = EWOULDBLOCK; // its program removed it meanwhile, as it does at its end
    if (error == 0)
        return fd;
    ::close(fd);
    errno = error;
    return -1;
}

void releaseLock(const QString &path, int fd)
{
    if (fd < 0)
        return;
    // Removed while still held, so that nobody takes a lock on a file about to go.
    ::unlink(QFile::encodeName(path).constData());
    ::close(fd);
}

} // namespace recoveryfile
