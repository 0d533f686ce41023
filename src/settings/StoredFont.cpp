#include "settings/StoredFont.h"

#include <cstdint>
#include <cstdlib>

namespace {

// a * b / c rounded to the nearest whole number, halves away from zero; -1 when c is 0.
int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const std::int64_t p = std::int64_t(a) * b;
    const std::int64_t q = (std::llabs(p) * 2 + std::llabs(c)) / (std::int64_t(std::llabs(c)) * 2);
    const std::int64_t r = ((p < 0) != (c < 0)) ? -q : q;
    if (r > INT32_MAX || r < INT32_MIN)
        return -1;
    return int(r);
}

} // namespace

void StoredFont::setSize(int points, int pixelsPerInch)
{
    size = points;
    height = -mulDiv(points, pixelsPerInch, 72);
}

void StoredFont::setHeight(int pixels, int pixelsPerInch)
{
    height = pixels;
    size = -mulDiv(pixels, 72, pixelsPerInch);
}
