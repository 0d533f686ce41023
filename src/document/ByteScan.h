#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

static_assert(std::endian::native == std::endian::little, "the word scans assume little-endian words");

// Byte searches over short texts, a 64-bit word at a time. Entry texts, CSV fields and lines are a
// few dozen bytes, where a library call per search costs more than the search itself.
namespace bytescan {

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighs = 0x8080808080808080ULL;

// The high bit of every byte of word that equals c, and of no other byte.
inline std::uint64_t equal(std::uint64_t word, unsigned char c)
{
    const std::uint64_t x = word ^ (kOnes * c);
    return ~(((x & ~kHighs) + ~kHighs) | x) & kHighs;
}

// Cheaper tests for when only whether matters: not zero exactly when some byte of word equals c,
// or is below n (n at most 128). A borrow may mark bytes above a real hit, never a word without one.
inline std::uint64_t someEqual(std::uint64_t word, unsigned char c)
{
    const std::uint64_t x = word ^ (kOnes * c);
    return (x - kOnes) & ~x & kHighs;
}
inline std::uint64_t someBelow(std::uint64_t word, unsigned char n)
{
    return (word - kOnes * n) & ~word & kHighs;
}

template <typename T> T load(const char *p)
{
    T w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// Whether mask (word => high bits of the wanted bytes) finds a byte of text. The last word overlaps
// the one before; a text below 8 bytes is gathered into one word whose padding is zero bytes, which
// a mask must not look for.
template <typename Mask> bool any(std::string_view text, Mask mask)
{
    const char *p = text.data();
    std::size_t n = text.size();
    if (n >= 8) {
        std::uint64_t hits = 0;
        for (; n > 8; p += 8, n -= 8)
            hits |= mask(load<std::uint64_t>(p));
        return (hits | mask(load<std::uint64_t>(p + n - 8))) != 0;
    }
    if (n >= 4) {
        const std::uint64_t word = load<std::uint32_t>(p) | std::uint64_t{load<std::uint32_t>(p + n - 4)} << 32;
        return mask(word) != 0;
    }
    if (n == 0)
        return false;
    const auto byte = [](char c) { return std::uint64_t{static_cast<unsigned char>(c)}; };
    return mask(byte(p[0]) | byte(p[n / 2]) << 8 | byte(p[n - 1]) << 16) != 0;
}

// The position of the first byte c in text, or std::string_view::npos.
//   find("ab;c;", ';') => 2
inline std::size_t find(std::string_view text, char c)
{
    const char *const begin = text.data();
    const char *p = begin;
    std::size_t n = text.size();
    for (; n >= 8; p += 8, n -= 8) {
        if (const std::uint64_t hit = equal(load<std::uint64_t>(p), static_cast<unsigned char>(c)))
            return static_cast<std::size_t>(p - begin) + static_cast<std::size_t>(std::countr_zero(hit) / 8);
    }
    for (; n > 0; ++p, --n) {
        if (*p == c)
            return static_cast<std::size_t>(p - begin);
    }
    return std::string_view::npos;
}

} // namespace bytescan
