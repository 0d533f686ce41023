#include "document/PrintFont.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>

namespace {

// -(a * b / c) rounded to the nearest whole number, halves away from zero; 1 when c is 0; nothing when
// the result does not fit in an int.
std::optional<int> negatedMulDiv(int a, int b, int c)
{
    if (c == 0)
        return 1;
    const std::int64_t p = std::int64_t(a) * b;
    const std::int64_t d = std::llabs(std::int64_t(c));
    std::int64_t q = std::llabs(p) / d;
    if (std::llabs(p) % d * 2 >= d)
        ++q;
    const std::int64_t r = ((p < 0) != (c < 0)) ? q : -q;
    if (r > std::numeric_limits<int>::max() || r < std::numeric_limits<int>::min())
        return std::nullopt;
    return int(r);
}

constexpr int kPointsPerInch = 72;

} // namespace

bool PrintFont::setSize(int points, int pixelsPerInch)
{
    const std::optional<int> pixels = negatedMulDiv(points, pixelsPerInch, kPointsPerInch);
    if (!pixels)
        return false;
    size = points;
    height = *pixels;
    return true;
}

bool PrintFont::setHeight(int pixels, int pixelsPerInch)
{
    const std::optional<int> points = negatedMulDiv(pixels, kPointsPerInch, pixelsPerInch);
    if (!points)
        return false;
    height = pixels;
    size = *points;
    return true;
}
