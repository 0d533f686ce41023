#pragma once

#include "document/ByteSink.h"
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
// The same bytes written into out, which is finished.
void write(ByteSink &out, const std::vector<ListEntry> &entries);

// The same entries as a UTF-8 file, as spreadsheets save it: the byte order mark, then one line per
// entry with every field in double quotes, CR LF after every line. Inside a field the double quote is
// doubled and 0x1A, which would end the file for the reader, becomes a blank: a line break stays a
// real line break, every other character is itself.
//   {Riss im "Deckel" | Motor}  => BOM "Riss im ""Deckel""";"Motor" CR LF
//   {zwei LF Zeilen | Bad}      => BOM "zwei LF Zeilen";"Bad" CR LF
//   {} (no entries)             => BOM
QByteArray encodeUtf8(const std::vector<ListEntry> &entries);
// The same bytes written into out, which is finished.
void writeUtf8(ByteSink &out, const std::vector<ListEntry> &entries);

// The entries of a file, one per non-empty line, each with exactly one sub-item. Reads the files
// this program writes and those that spreadsheets save.
//
// A 0x1A byte ends the input. A file that starts with the UTF-8 byte order mark, or that is valid
// UTF-8 with at least one multi-byte sequence, is converted to Windows-1252 (a character it cannot
// hold becomes "?"); any other file is Windows-1252 already.
// Outside quotes, CR LF, a lone LF and a lone CR each end a line; a last line without a line end
// counts like any other; an empty line adds nothing. A line is split into fields at semicolons;
// field 1 gives the caption and field 2 the sub-item (empty when missing), further fields are
// ignored. A field that begins with a double quote runs to the next quote that is not doubled:
// semicolons, CR and LF inside are text, a doubled quote is one quote, and anything between the
// closing quote and the field's end is added as it is; then backslash r, n and runs of backslashes
// are decoded as CsvUnescapeField does. Any other field, and one whose opening quote is never
// closed, runs to the next semicolon or line end and is decoded by CsvUnescapeField.
//   "Motor";"Riss" CR LF          => {Motor | Riss}
//   Riss;A;B CR LF CR LF x        => {Riss | A}, {x | }
//   ;                             => { | }
//   a LF b CR c                   => {a | }, {b | }, {c | }
//   "a;b LF c";"x""y" CR LF d     => {a;b LF c | x"y}, {d | }
//   "a\r\nb" LF                   => {a CR LF b | }
std::vector<ListEntry> parse(std::string_view bytes);

// Whether parse reads bytes as UTF-8 (and converts them).
bool readsAsUtf8(std::string_view bytes);

} // namespace csv
