#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Field escaping of the CSV exchange files. Texts are Windows-1252 bytes and are handled byte by byte.

// The written form of a text, without the surrounding quotes: CR becomes backslash and "r", LF
// becomes backslash and "n", a double quote is doubled, a 0x1A byte (which ends the file for the
// reader) becomes a blank; every other byte, backslash and semicolon included, stays as it is.
//   Riss im "Deckel"  => Riss im ""Deckel""
//   a CR LF b         => a\r\nb
//   C:\temp;x         => C:\temp;x
//   a 0x1A b          => a b
std::string CsvEscapeField(std::string_view text);

// Decodes the raw text of one field: one leading and then one trailing double quote are dropped,
// every run of adjacent double quotes shrinks to one, and a backslash followed by "r" or "n" becomes
// CR or LF. A backslash before any other byte stays, a backslash right after another is dropped.
//   "Motor"                 => Motor
//   "Riss im ""Deckel"""    => Riss im "Deckel"
//   ""                      => (empty)
//   "a\r\nb"                => a CR LF b
//   C:\temp                 => C:\temp
//   C:\new                  => C: LF ew
//   a\\b                    => a\b
//   x\                      => x\          (a trailing backslash stays)
// The result is never longer than the field.
std::string CsvUnescapeField(std::string_view field);

namespace csv {

// The length of CsvEscapeField(text).
std::size_t escapedSize(std::string_view text);

// Whether the text holds a byte that CsvEscapeField changes (CR, LF, a double quote or 0x1A).
bool needsEscaping(std::string_view text);

// Writes CsvEscapeField(text) to out, which must have room for escapedSize(text) bytes; returns the
// position after the last byte written.
char *writeEscaped(char *out, std::string_view text);

// CsvUnescapeField(field): a part of field itself when unescaping only takes off its outer quotes,
// otherwise the contents of buffer, which it replaces (reusing its storage).
std::string_view unescaped(std::string &buffer, std::string_view field);

// Text with only the backslash rules of CsvUnescapeField applied (the text of a quoted field, whose
// quotes the reader has already taken off): text itself when it holds no backslash, otherwise the
// contents of buffer, which it replaces.
//   a""b\r   => a""b CR
std::string_view backslashesUnescaped(std::string &buffer, std::string_view text);

} // namespace csv
