#include "TestSupport.h"

#include <QFile>

#include <stdexcept>

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

QByteArray crlf(std::initializer_list<const char *> lines)
{
    QByteArray out;
    for (const char *l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

} // namespace testsupport
