#pragma once

#include "document/ByteSink.h"
#include "document/ListEntry.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// The list file: three counted sections (assemblies, catalogue, defect list), one text per line.
namespace listfile {

enum Section { Assemblies = 0, Catalog = 1, Defects = 2 };

struct Content {
    std::array<std::vector<ListEntry>, 3> lists;
    // The content broke off: a count line was not a number (or lay too far past the end). The
    // entries read before that point are kept.
    bool formatError = false;
};

// A count that lies further past the end of the file than this many lines ends the reading with a
// format error instead of appending empty entries (a real file is at most a few lines short).
constexpr std::size_t kMaxLinesPastEnd = 1024;

// Converts a count line to a 32-bit number, or nothing when it is not one.
//   "7" => 7, "  -5" => -5, "+$10" => 16, "0x1F" => 31, "X1f" => 31
//   "7 " => none, "7a" => none, "" => none, "2147483648" => none
std::optional<std::int32_t> parseCount(std::string_view line);

// Reads the lines of bytes as LineReader splits them: at CR, or at LF when the bytes hold no CR.
Content parse(std::string_view bytes);

// Writes the file's bytes into out and finishes it: every line ends in CR LF. A CR or 0x1A byte
// inside a text is written as a blank, so that the file reads back with the same entries in the
// same sections.
void write(ByteSink &out, const std::vector<ListEntry> &assemblies, const std::vector<ListEntry> &catalog,
           const std::vector<ListEntry> &defects);

// The same bytes in one buffer.
QByteArray encode(const std::vector<ListEntry> &assemblies, const std::vector<ListEntry> &catalog,
                  const std::vector<ListEntry> &defects);

} // namespace listfile
