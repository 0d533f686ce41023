#pragma once

#include "document/EntryList.h"
#include "document/Prompts.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <ctime>
#include <functional>
#include <gtest/gtest.h>
#include <iosfwd>
#include <string>
#include <sys/resource.h>
#include <vector>

// Small helpers shared by the tests.
namespace testsupport {

// The folder of checked-in fixtures (tests/data).
QString dataDir();
QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);
// Joins lines with CR LF after each: crlf({"2", "A"}) => "2\r\nA\r\n"
QByteArray crlf(std::initializer_list<const char *> lines);

// Sets a file's access and modification time, so that a watch sees a change without sleeping.
// Fails the running test when the file's time cannot be set.
void setFileTime(const QString &path, time_t seconds, long nanoseconds = 0);

// The names (first column) of a list's entries, in order.
std::vector<std::string> captions(const std::vector<ListEntry> &entries);
std::vector<std::string> captions(const EntryList &list);

// A defect as the catalogue and the defect list hold it: its name and its assembly.
ListEntry defect(std::string caption, std::string assembly);

// Every entry of the lists, in order, with its sub-items and their count, so that two snapshots
// differ whenever an entry, a text or a missing sub-item does.
QByteArray snapshot(std::initializer_list<const EntryList *> lists);

// The fields of a message box that tests compare, printed readably in a failure. Unless given: an
// error box with OK. fields() leaves out the informative text, withDetail() takes it in.
struct MessageFields {
    QString caption;
    QString text;
    Prompts::Icon icon = Prompts::Icon::Error;
    Prompts::Buttons buttons = Prompts::Buttons::Ok;
    QString informative = {};
    bool operator==(const MessageFields &) const = default;
};
MessageFields fields(const Prompts::Message &m);
MessageFields withDetail(const Prompts::Message &m);
void PrintTo(const MessageFields &m, std::ostream *os);

// Processes events until `done` holds; a failure when it has not after `timeoutMs`. Use it as
// ASSERT_TRUE(eventually(...)): Qt's QTRY_ macros fail silently inside a GoogleTest test.
::testing::AssertionResult eventually(const std::function<bool()> &done, int timeoutMs = 10000);

// Sets an environment variable for as long as it lives, then puts back what was there.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const QByteArray &value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

// Paths in a folder whose last parts are given as bytes, also where those are not UTF-8 (as
// nativename gives such names):  names.path("\xe4nderung.mal"). Qt can neither list nor remove such
// a name, so the destructor removes every path made, files and then their folders.
class NativeNames {
public:
    explicit NativeNames(const QString &folder);
    ~NativeNames();
    NativeNames(const NativeNames &) = delete;
    NativeNames &operator=(const NativeNames &) = delete;
    QString path(const QByteArray &name);
    // Makes the folder of that name and returns its path.
    QString folder(const QByteArray &name);

private:
    QByteArray m_folder;
    std::vector<QByteArray> m_made;
};

// Lowers the file size limit of this process for as long as it lives, so that a write past `bytes`
// fails as on a full disk (EFBIG); SIGXFSZ is ignored meanwhile.
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes);
    ~FullDisk();
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

private:
    struct rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace testsupport
