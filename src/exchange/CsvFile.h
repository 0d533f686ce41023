#pragma once

#include "document/ListEntry.h"

#include <QByteArray>

#include <string_view>
#include <vector>

// The CSV exchange file: one line per defect-list entry, its caption and sub-items each in double
// quotes (escaped by CsvEscapeField), separated by semicolons; Windows-1252 bytes, CR LF after every
// line, no byte-order mark and no header.
namespace csv {

// The file's bytes for the entries in their order; no entries give no bytes.
//   {Riss im "Deckel" | Motor}  => "Riss im ""Deckel""";"Motor" CR LF
QByteArray encode(const std::vector<ListEntry> &entries);

// The entries of a file, one per non-empty line, each with exactly one sub-item.
//
// A 0x1A byte ends the input. In input that holds a CR, a line ends at CR and an LF right after it
// belongs to the line end, while any other LF is an ordinary byte; input without any CR has its
// lines end at LF. A last line without a line end counts like any other. A line is split at every
// semicolon (quotes do not protect one); field 1 gives the caption and field 2 the sub-item (empty
// when missing), both through CsvUnescapeField; further fields are ignored.
//   "Motor";"Riss" CR LF          => {Motor | Riss}
//   Riss;A;B CR LF CR LF x        => {Riss | A}, {x | }
//   ;                             => { | }
//   a LF b                        => {a | }, {b | }
//   "a LF b";c CR LF d            => {a LF b | c}, {d | }
std::vector<ListEntry> parse(std::string_view bytes);

} // namespace csv
