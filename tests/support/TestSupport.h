#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <string>

// Small helpers shared by the tests.
namespace testsupport {

// The folder of checked-in fixtures (tests/data).
QString dataDir();
QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);
// Joins lines with CR LF after each: crlf({"2", "A"}) => "2\r\nA\r\n"
QByteArray crlf(std::initializer_list<const char *> lines);

} // namespace testsupport
