#include "print/FontChoice.h"

#include <algorithm>

namespace {

// A colour that is none of the standard ones, named for the colour list.
//   kWindowTextColor => "Fenstertext",  0x123456 => "Benutzerdefiniert (#563412)"
QString otherColorLabel(std::int32_t value)
{
    if (value == PrintFont::kWindowTextColor)
        return QStringLiteral("Fenstertext");
    if (value < 0)
        return QStringLiteral("Systemfarbe %1").arg(value & 0xFF);
    const auto hex = [](int byte) { return QStringLiteral("%1").arg(byte & 0xFF, 2, 16, QLatin1Char('0')).toUpper(); };
    return QStringLiteral("Benutzerdefiniert (#%1%2%3)").arg(hex(value), hex(value >> 8), hex(value >> 16));
}

} // namespace

const QStringList &FontChoice::styleNames()
{
    static const QStringList names{QStringLiteral("Standard"), QStringLiteral("Kursiv"), QStringLiteral("Fett"),
                                   QStringLiteral("Fett Kursiv")};
    return names;
}

const std::vector<FontChoice::Color> &FontChoice::standardColors()
{
    static const std::vector<Color> colors{
        {0x000000, QStringLiteral("Schwarz")},    {0x000080, QStringLiteral("Kastanienbraun")},
        {0x008000, QStringLiteral("Grün")},       {0x008080, QStringLiteral("Olivgrün")},
        {0x800000, QStringLiteral("Marineblau")}, {0x800080, QStringLiteral("Violett")},
        {0x808000, QStringLiteral("Petrol")},     {0x808080, QStringLiteral("Grau")},
        {0xC0C0C0, QStringLiteral("Silber")},     {0x0000FF, QStringLiteral("Rot")},
        {0x00FF00, QStringLiteral("Hellgrün")},   {0x00FFFF, QStringLiteral("Gelb")},
        {0xFF0000, QStringLiteral("Blau")},       {0xFF00FF, QStringLiteral("Fuchsia")},
        {0xFFFF00, QStringLiteral("Aqua")},       {0xFFFFFF, QStringLiteral("Weiß")},
    };
    return colors;
}

FontChoice::FontChoice(const PrintFont &font, const QStringList &installedFamilies, int pixelsPerInch)
    : m_font(font), m_families(installedFamilies), m_colors(standardColors()), m_pixelsPerInch(pixelsPerInch)
{
    if (!m_families.contains(m_font.name)) {
        const auto less = [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; };
        m_families.insert(std::lower_bound(m_families.begin(), m_families.end(), m_font.name, less), m_font.name);
    }
    if (colorIndex() < 0)
        m_colors.insert(m_colors.begin(), Color{m_font.color, otherColorLabel(m_font.color)});
}

int FontChoice::styleIndex() const
{
    return (m_font.style.bold ? 2 : 0) + (m_font.style.italic ? 1 : 0);
}

int FontChoice::colorIndex() const
{
    const auto it =
        std::find_if(m_colors.begin(), m_colors.end(), [&](const Color &c) { return c.value == m_font.color; });
    return it == m_colors.end() ? -1 : int(it - m_colors.begin());
}

void FontChoice::setFamily(const QString &family, bool fixedPitch)
{
    if (family == m_font.name)
        return;
    m_font.name = family;
    if (fixedPitch)
        m_font.pitch = FontPitch::Fixed;
    else if (m_font.pitch == FontPitch::Fixed)
        m_font.pitch = FontPitch::Default;
}

void FontChoice::setStyleIndex(int index)
{
    if (index < 0 || index >= styleNames().size())
        return;
    m_font.style.bold = index >= 2;
    m_font.style.italic = index % 2 == 1;
}

void FontChoice::setSize(int points)
{
    if (points != m_font.size)
        m_font.setSize(points, m_pixelsPerInch);
}

void FontChoice::setColorIndex(int index)
{
    if (index >= 0 && index < int(m_colors.size()))
        m_font.color = m_colors[std::size_t(index)].value;
}
