#pragma once

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

// Lossless conversion between Windows-1252 bytes and Unicode.
//
// Every byte maps to exactly one code point and back: 0x80..0x9F follow the Windows-1252 table,
// with the five unassigned bytes 0x81, 0x8D, 0x8F, 0x90, 0x9D mapped to the C1 controls of the same
// value; every other byte maps to the code point of the same value.
//   toUnicode("\x80") => u"€",   fromUnicode(u"€") => "\x80"
//   fromUnicode(u"☃") => "?"    (not representable)
namespace cp1252 {

QString toUnicode(std::string_view bytes);
std::string fromUnicode(QStringView text);

// The character of one byte.
char16_t toUnicodeChar(char byte);

// One character; '?' when it cannot be represented.
char fromUnicodeChar(char16_t c);

} // namespace cp1252
