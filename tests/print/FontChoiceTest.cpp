#include "print/FontChoice.h"

#include <gtest/gtest.h>

namespace {

const QStringList kInstalled{QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                             QStringLiteral("Liberation Serif")};

PrintFont font(const QString &name, FontStyle style, std::int32_t color = PrintFont::kWindowTextColor)
{
    PrintFont f;
    f.name = name;
    f.style = style;
    f.color = color;
    return f;
}

QStringList colorLabels(const FontChoice &c)
{
    QStringList labels;
    for (const FontChoice::Color &color : c.colors())
        labels.append(color.label);
    return labels;
}

} // namespace

TEST(FontChoice, choosingWhatIsShownGivesTheFontBackUnchanged)
{
    PrintFont odd = font(QStringLiteral("Keine Solche Schrift"), {false, true, false, true}, 0x123456);
    odd.size = -7;
    odd.height = 99;
    odd.charset = 238;
    odd.pitch = FontPitch::Fixed;
    for (const PrintFont &given : {PrintFont{}, font(QStringLiteral("Arial"), {true, false, true, false}),
                                   font(QStringLiteral("Liberation Serif"), {true, true, true, true}, 0x0000FF), odd}) {
        FontChoice c(given, kInstalled, 96);
        EXPECT_EQ(c.font(), given);
        ASSERT_GE(c.familyIndex(), 0);
        EXPECT_EQ(c.families()[c.familyIndex()], given.name);
        ASSERT_GE(c.colorIndex(), 0);
        EXPECT_EQ(c.colors()[std::size_t(c.colorIndex())].value, given.color);
        // A dialog that passes every shown value on, as if the user picked it again.
        c.setFamily(c.families()[c.familyIndex()], true);
        c.setStyleIndex(c.styleIndex());
        c.setSize(given.size);
        c.setUnderline(given.style.underline);
        c.setStrikeOut(given.style.strikeOut);
        c.setColorIndex(c.colorIndex());
        EXPECT_EQ(c.font(), given) << given.name.toStdString();
    }
}

TEST(FontChoice, theStyleListSetsBoldAndItalicAndKeepsTheEffects)
{
    FontChoice c(font(QStringLiteral("Arial"), {true, false, true, false}), kInstalled, 96);
    EXPECT_EQ(FontChoice::styleNames()[c.styleIndex()], QStringLiteral("Fett"));
    c.setStyleIndex(3);
    EXPECT_EQ(c.font().style, (FontStyle{true, true, true, false}));
    c.setStyleIndex(1);
    EXPECT_EQ(c.font().style, (FontStyle{false, true, true, false}));
    c.setStrikeOut(true);
    c.setUnderline(false);
    c.setStyleIndex(0);
    EXPECT_EQ(c.font().style, (FontStyle{false, false, false, true}));
}

TEST(FontChoice, aFamilyTheSystemLacksIsListedInItsSortedPlace)
{
    FontChoice arial(PrintFont{}, kInstalled, 96);
    EXPECT_EQ(arial.families(), QStringList{QStringLiteral("Arial")} + kInstalled);
    EXPECT_EQ(arial.familyIndex(), 0);
    FontChoice installed(font(QStringLiteral("Liberation Sans"), {}), kInstalled, 96);
    EXPECT_EQ(installed.families(), kInstalled);
    EXPECT_EQ(installed.familyIndex(), 1);
    FontChoice between(font(QStringLiteral("futura"), {}), kInstalled, 96);
    EXPECT_EQ(between.familyIndex(), 1);
}

TEST(FontChoice, aNewFamilyOrSizeBringsItsPitchOrHeight)
{
    FontChoice c(PrintFont{}, kInstalled, 120);
    c.setSize(14);
    EXPECT_EQ(c.font().height, -23);
    c.setFamily(QStringLiteral("DejaVu Sans Mono"), true);
    EXPECT_EQ(c.font().pitch, FontPitch::Fixed);
    c.setFamily(QStringLiteral("DejaVu Sans"), false);
    EXPECT_EQ(c.font().pitch, FontPitch::Default);
    PrintFont variable;
    variable.pitch = FontPitch::Variable;
    FontChoice v(variable, kInstalled, 96);
    v.setFamily(QStringLiteral("Liberation Serif"), false);
    EXPECT_EQ(v.font().pitch, FontPitch::Variable);
    EXPECT_EQ(v.font().name, QStringLiteral("Liberation Serif"));
}

TEST(FontChoice, theColourListOffersTheStandardColoursAndTheFontsOwn)
{
    const QStringList standard{QStringLiteral("Schwarz"), QStringLiteral("Kastanienbraun"), QStringLiteral("Grün"),   QStringLiteral("Olivgrün"), QStringLiteral("Marineblau"), QStringLiteral("Violett"),
                               QStringLiteral("Petrol"),  QStringLiteral("Grau"),           QStringLiteral("Silber"), QStringLiteral("Rot"),      QStringLiteral("Hellgrün"),   QStringLiteral("Gelb"),
                               QStringLiteral("Blau"),    QStringLiteral("Fuchsia"),        QStringLiteral("Aqua"),   QStringLiteral("Weiß")};
    const struct {
        std::int32_t color;
        QString first; // the entry before the standard colours, if any
        int index;
    } cases[] = {
        {PrintFont::kWindowTextColor, QStringLiteral("Fenstertext"), 0},
        {-2147483643, QStringLiteral("Systemfarbe 5"), 0},
        {0x123456, QStringLiteral("Benutzerdefiniert (#563412)"), 0},
        {0x0000FF, QString(), 9},
        {0x000080, QString(), 1},
        {0xFFFFFF, QString(), 15},
    };
    for (const auto &c : cases) {
        FontChoice choice(font(QStringLiteral("Arial"), {}, c.color), kInstalled, 96);
        EXPECT_EQ(colorLabels(choice), c.first.isEmpty() ? standard : QStringList{c.first} + standard) << c.color;
        EXPECT_EQ(choice.colorIndex(), c.index) << c.color;
    }
    FontChoice choice(PrintFont{}, kInstalled, 96);
    choice.setColorIndex(int(colorLabels(choice).indexOf(QStringLiteral("Rot"))));
    EXPECT_EQ(choice.font().color, 0x0000FF);
    choice.setColorIndex(0);
    EXPECT_EQ(choice.font().color, PrintFont::kWindowTextColor) << "the font's own colour can be chosen back";
    EXPECT_EQ(FontChoice::standardColors()[12].value, 0xFF0000) << "blue is 65536 × 255";
}
