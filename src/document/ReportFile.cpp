#include "document/ReportFile.h"

#include "document/NativeName.h"
#include "document/SafeFile.h"

#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace reportfile {
namespace {

constexpr QLatin1StringView kVersionPrefix("Maengelliste-Bericht ");
constexpr QLatin1StringView kExtension(".bericht");

// "a\b" + line break => "a\\b\n" (as typed: backslash backslash, backslash n); CR LF and a lone CR
// are line breaks too.
QString escaped(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\')
            out += QLatin1StringView("\\\\");
        else if (c == u'\n' || (c == u'\r' && (i + 1 == value.size() || value[i + 1] != u'\n')))
            out += QLatin1StringView("\\n");
        else if (c != u'\r')
            out += c;
    }
    return out;
}

// The inverse of escaped; a backslash before any other character, or at the end, stays as it is.
QString unescaped(QStringView value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' && i + 1 < value.size() && (value[i + 1] == u'n' || value[i + 1] == u'\\')) {
            out += value[i + 1] == u'n' ? u'\n' : u'\\';
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// Lines end at LF, CR LF or a lone CR.
QList<QStringView> splitLines(QStringView text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' || text[i] == u'\r') {
            lines.append(text.sliced(start, i - start));
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    lines.append(text.sliced(start));
    return lines;
}

QString ReportDetails::*fieldNamed(QStringView key)
{
    for (const ReportDetails::Field &field : ReportDetails::fields()) {
        if (key.compare(QLatin1StringView(field.key), Qt::CaseInsensitive) == 0)
            return field.member;
    }
    return nullptr;
}

// Closes a descriptor when the scope ends.
struct Fd {
    int fd;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

QString pathFor(const QString &listFile)
{
    const qsizetype nameStart = listFile.lastIndexOf(u'/') + 1;
    const qsizetype dot = listFile.lastIndexOf(u'.');
    // A dot at the start of the name makes a hidden file, not an extension.
    if (dot <= nameStart)
        return listFile + kExtension;
    if (QStringView(listFile).sliced(dot).compare(kExtension, Qt::CaseInsensitive) == 0)
        return listFile + kExtension;
    return listFile.left(dot) + kExtension;
}

QString Fault::reason() const
{
    switch (kind) {
    case None:
        break;
    case System:
        return FileError{error}.reason();
    case NotText:
        return QStringLiteral("Keine UTF-8-Textdatei");
    case TooLarge:
        return QStringLiteral("Größer als 1 MB");
    case UnknownVersion:
        return QStringLiteral("Unbekannte Formatversion");
    case UnknownFormat:
        return QStringLiteral("Unbekanntes Dateiformat");
    }
    return {};
}

Parsed parse(QByteArrayView bytes)
{
    Parsed out;
    if (bytes.size() > kMaxSize) {
        out.fault.kind = Fault::TooLarge;
        return out;
    }
    // The decoder drops a byte order mark at the start.
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError() || bytes.contains('\0')) {
        out.fault.kind = Fault::NotText;
        return out;
    }
    if (text.trimmed().isEmpty())
        return out;
    const QList<QStringView> lines = splitLines(text);
    const QStringView header = lines.front().trimmed();
    if (header != QLatin1StringView(kHeader)) {
        out.fault.kind = header.startsWith(kVersionPrefix) ? Fault::UnknownVersion : Fault::UnknownFormat;
        return out;
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringView line = lines[i];
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype eq = line.indexOf(u'=');
        QString ReportDetails::*member = eq < 0 ? nullptr : fieldNamed(line.left(eq).trimmed());
        if (member)
            out.details.*member = unescaped(line.sliced(eq + 1));
        else
            out.details.otherLines.append(line.toString());
    }
    return out;
}

QByteArray encode(const ReportDetails &details)
{
    QString text = QLatin1StringView(kHeader) + u'\n';
    for (const ReportDetails::Field &field : ReportDetails::fields())
        text += QLatin1StringView(field.key) + u'=' + escaped(details.*field.member) + u'\n';
    for (const QString &line : details.otherLines)
        text += line + u'\n';
    return text.toUtf8();
}

Parsed read(const QString &path)
{
    Parsed out;
    const Fd file{::open(nativename::toNative(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    struct stat st {};
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0) {
        if (errno != ENOENT)
            out.fault = {Fault::System, errno};
        return out;
    }
    if (S_ISDIR(st.st_mode)) {
        out.fault = {Fault::System, EISDIR};
        return out;
    }
    if (!S_ISREG(st.st_mode)) { // a FIFO or a device is not even waited for
        out.fault.kind = Fault::NotText;
        return out;
    }
    if (st.st_size > kMaxSize) {
        out.fault.kind = Fault::TooLarge;
        return out;
    }
    // One byte more than may be read tells a file that grew meanwhile.
    QByteArray bytes(qsizetype(kMaxSize + 1), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(file.fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            out.fault = {Fault::System, errno};
            return out;
        }
        if (n == 0)
            break;
        done += n;
    }
    return parse(QByteArrayView(bytes.constData(), done));
}

Fault write(const QString &path, const ReportDetails &details)
{
    const QByteArray bytes = encode(details);
    if (bytes.size() > kMaxSize)
        return {Fault::TooLarge, 0};
    const FileResult<void> written = safefile::writeAll(path, bytes);
    if (written)
        return {};
    return {Fault::System, written.error().code};
}

Fault remove(const QString &path)
{
    if (::unlink(nativename::toNative(path).constData()) == 0 || errno == ENOENT)
        return {};
    return {Fault::System, errno};
}

} // namespace reportfile
