#include "TestSupport.h"

#include "document/NativeName.h"

#include <QFile>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <ostream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

QString dataDir()
{
    return qEnvironmentVariable("MAL_TEST_DATA", QStringLiteral(MAL_TEST_DATA_DEFAULT));
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return f.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

NativeNames::NativeNames(const QString &folder) : m_folder(QFile::encodeName(folder)) {}

NativeNames::~NativeNames()
{
    for (auto made = m_made.rbegin(); made != m_made.rend(); ++made) {
        if (::unlink(made->constData()) != 0)
            ::rmdir(made->constData());
    }
}

QString NativeNames::path(const QByteArray &name)
{
    m_made.push_back(m_folder + '/' + name);
    return nativename::fromNative(m_made.back());
}

QString NativeNames::folder(const QByteArray &name)
{
    const QString made = path(name);
    EXPECT_EQ(::mkdir(m_made.back().constData(), 0755), 0) << "cannot make the folder " << m_made.back().constData();
    return made;
}

QByteArray crlf(std::initializer_list<const char *> lines)
{
    QByteArray out;
    for (const char *l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

void setFileTime(const QString &path, time_t seconds, long nanoseconds)
{
    const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    if (utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) != 0)
        ADD_FAILURE() << "cannot set the time of " << path.toStdString() << ": " << std::strerror(errno);
}

std::vector<std::string> captions(const std::vector<ListEntry> &entries)
{
    std::vector<std::string> out;
    for (const ListEntry &e : entries)
        out.emplace_back(e.caption());
    return out;
}

std::vector<std::string> captions(const EntryList &list)
{
    return captions(list.entries());
}

ListEntry defect(std::string caption, std::string assembly)
{
    return {std::move(caption), {std::move(assembly)}};
}

QByteArray snapshot(std::initializer_list<const EntryList *> lists)
{
    QByteArray out;
    for (const EntryList *list : lists) {
        for (const ListEntry &e : list->entries()) {
            out.append(e.caption().data(), qsizetype(e.caption().size()));
            out += '\x1f';
            out += QByteArray::number(qsizetype(e.subItemCount()));
            for (size_t i = 0; i < e.subItemCount(); ++i) {
                out += '\x1f';
                out.append(e.subItem(i).data(), qsizetype(e.subItem(i).size()));
            }
            out += '\x1e';
        }
        out += '\x1d';
    }
    return out;
}

MessageFields fields(const Prompts::Message &m)
{
    return {m.caption, m.text, m.icon, m.buttons};
}

MessageFields withDetail(const Prompts::Message &m)
{
    return {m.caption, m.text, m.icon, m.buttons, m.informative};
}

void PrintTo(const MessageFields &m, std::ostream *os)
{
    *os << "{\"" << m.caption.toStdString() << "\", \"" << m.text.toStdString() << "\", icon " << int(m.icon)
        << ", buttons " << int(m.buttons);
    if (!m.informative.isEmpty())
        *os << ", \"" << m.informative.toStdString() << '"';
    *os << '}';
}

::testing::AssertionResult eventually(const std::function<bool()> &done, int timeoutMs)
{
    if (QTest::qWaitFor(done, timeoutMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "did not happen within " << timeoutMs << " ms";
}

FullDisk::FullDisk(rlim_t bytes)
{
    getrlimit(RLIMIT_FSIZE, &m_old);
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit low = m_old;
    low.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &low);
}

FullDisk::~FullDisk()
{
    setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_oldHandler);
}

ScopedEnv::ScopedEnv(const char *name, const QByteArray &value)
    : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
{
    qputenv(name, value);
}

ScopedEnv::~ScopedEnv()
{
    if (m_had)
        qputenv(m_name, m_old);
    else
        qunsetenv(m_name);
}

} // namespace testsupport
