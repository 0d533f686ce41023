#include "document/Cp1252.h"

#include <array>

namespace cp1252 {
namespace {

constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::array<char16_t, 256> makeDecodeTable()
{
    std::array<char16_t, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<char16_t>(i);
    for (int i = 0; i < 32; ++i)
        t[0x80 + i] = kHigh[i];
    return t;
}

constexpr std::array<char16_t, 256> kDecode = makeDecodeTable();

} // namespace

QString toUnicode(std::string_view bytes)
{
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    char16_t *dst = reinterpret_cast<char16_t *>(out.data());
    for (unsigned char b : bytes)
        *dst++ = kDecode[b];
    return out;
}

char16_t toUnicodeChar(char byte)
{
    return kDecode[static_cast<unsigned char>(byte)];
}

char fromUnicodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

std::string fromUnicode(QStringView text)
{
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            ++i; // one character outside the basic plane becomes one '?'
            out.push_back('?');
            continue;
        }
        out.push_back(fromUnicodeChar(c.unicode()));
    }
    return out;
}

} // namespace cp1252
