#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <string>
#include <sys/resource.h>

// Small helpers shared by the tests.
namespace testsupport {

// The folder of checked-in fixtures (tests/data).
QString dataDir();
QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);
// Joins lines with CR LF after each: crlf({"2", "A"}) => "2\r\nA\r\n"
QByteArray crlf(std::initializer_list<const char *> lines);

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
