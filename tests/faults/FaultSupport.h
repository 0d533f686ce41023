#pragma once

#include "TestSupport.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <sys/resource.h>

// Helpers of the fault tests: a full disk, a user without rights, memory and disk figures.
namespace faults {

// The full disk of the tests is testsupport::FullDisk (TestSupport.h).
using testsupport::FullDisk;

// Runs `work` in a child process without the rights of root (as user and group 65534 when this
// process runs as root, else as the same user, whom permission bits already bind) and returns its
// result. Nothing when the child could not drop its rights or died. The child ends with _exit, so
// only what `work` returns comes back; files it touches stay touched.
std::optional<QByteArray> unprivileged(const std::function<QByteArray()> &work);
// Whether unprivileged() can work: false only when this process runs as root and cannot give up
// its rights (e.g. in a user namespace that maps no user 65534).
bool unprivilegedAvailable();
// A reason for skipping a test that needs unprivileged().
inline const char *kNoUnprivilegedChild = "runs as root and cannot drop its rights to user 65534, so missing rights "
                                          "cannot be shown; run the test as an ordinary user";
// Runs `work` in a child process with the rights of this one, e.g. to measure its peak memory alone.
std::optional<QByteArray> inChild(const std::function<QByteArray()> &work);

// How a child process of killedAtCall ended.
enum class Ending { Killed, Finished, Failed };
// Runs `work` in a child process with the rights of this one, traced, and kills it (SIGKILL) as it
// enters its system call number `call` (from 0) since `work` began, the way a crash or a power cut
// ends a program between two steps: Killed. Finished when `work` made fewer calls and ended;
// Failed when the child could not be traced or ended otherwise.
Ending killedAtCall(int call, const std::function<void()> &work);

// What a program leaves that dies while it writes `file` in place: the journal of the new `bytes` in
// the recovery folder, the file itself as it is. Fails the running test when none is left.
void leaveInterruptedSave(const QString &file, const QByteArray &bytes);

// Lets everyone into `path` (mode 0755), so that the unprivileged child can reach what lies below.
void openToAll(const QString &path);

// The peak resident memory of this process so far, in bytes.
qint64 peakRss();
// Free bytes for an unprivileged user on the file system of `path`; -1 when unknown.
qint64 freeBytes(const QString &path);
// Writes `head`, then `count` times the byte `fill`, in large blocks.
bool writeFilled(const QString &path, const QByteArray &head, char fill, qint64 count);

} // namespace faults
