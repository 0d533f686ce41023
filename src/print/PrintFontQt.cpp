#include "print/PrintFontQt.h"

#include <array>

namespace printfontqt {

namespace {

// The standard Windows colour scheme, by system colour index (COLOR_SCROLLBAR = 0 ... COLOR_MENUBAR = 30).
constexpr std::array<QRgb, 31> kSystemColors{
    qRgb(200, 200, 200), qRgb(0, 0, 0),       qRgb(153, 180, 209), qRgb(191, 205, 219), qRgb(240, 240, 240),
    qRgb(255, 255, 255), qRgb(100, 100, 100), qRgb(0, 0, 0),       qRgb(0, 0, 0),       qRgb(0, 0, 0),
    qRgb(180, 180, 180), qRgb(244, 247, 252), qRgb(171, 171, 171), qRgb(51, 153, 255),  qRgb(255, 255, 255),
    qRgb(240, 240, 240), qRgb(160, 160, 160), qRgb(109, 109, 109), qRgb(0, 0, 0),       qRgb(67, 78, 84),
    qRgb(255, 255, 255), qRgb(105, 105, 105), qRgb(227, 227, 227), qRgb(0, 0, 0),       qRgb(255, 255, 225),
    qRgb(0, 0, 0),       qRgb(0, 102, 204),   qRgb(185, 209, 234), qRgb(215, 228, 242), qRgb(51, 153, 255),
    qRgb(240, 240, 240)};

} // namespace

QFont toQFont(const PrintFont &font)
{
    QFont result(font.name);
    result.setPointSize(font.size > 0 ? font.size : 1);
    result.setBold(font.style.bold);
    result.setItalic(font.style.italic);
    result.setUnderline(font.style.underline);
    result.setStrikeOut(font.style.strikeOut);
    if (font.pitch == FontPitch::Fixed) {
        result.setFixedPitch(true);
        result.setStyleHint(QFont::TypeWriter);
    } else if (font.pitch == FontPitch::Variable) {
        result.setFixedPitch(false);
    }
    return result;
}

QColor toQColor(std::int32_t color)
{
    if (color < 0) {
        const auto index = static_cast<std::size_t>(color & 0xFF);
        return QColor(index < kSystemColors.size() ? kSystemColors[index] : qRgb(0, 0, 0));
    }
    if (color > 0xFFFFFF) // the "none" and "default" colour numbers: print in black
        return QColor(Qt::black);
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

} // namespace printfontqt
