#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Writing and reading whole files in one piece.
namespace safefile {

// Replaces the file at path by bytes, or leaves it as it was. The bytes go to a temporary file
// beside it in one write whose length is checked, and only a complete temporary file replaces the
// old one. Returns false on any failure (missing folder, no rights, full disk, path is a folder).
bool writeAll(const QString &path, const QByteArray &bytes);

// Reads the whole file; nothing when it cannot be opened or read (missing, a folder, no rights, a
// read error half-way).
std::optional<QByteArray> readAll(const QString &path);

} // namespace safefile
