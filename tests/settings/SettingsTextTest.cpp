#include "settings/SettingsText.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

using namespace settingstext;

TEST(SettingsText, integersAreDecimalWithinThirtyTwoBits)
{
    const struct {
        const char16_t *text;
        std::optional<int> value;
    } cases[] = {
        {u"145", 145},
        {u" -15 ", -15},
        {u"+3", 3},
        {u"-2147483640", -2147483640},
        {u"-2147483648", std::numeric_limits<int>::min()},
        {u"2147483647", 2147483647},
        {u"2147483648", std::nullopt},
        {u"99999999999999999999", std::nullopt},
        {u"", std::nullopt},
        {u"-", std::nullopt},
        {u"12.5", std::nullopt},
        {u"abc", std::nullopt},
        {u"1 2", std::nullopt},
        {u"$1F", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseInt(c.text), c.value) << QString::fromUtf16(c.text).toStdString();
    EXPECT_EQ(formatInt(-2147483640), QStringLiteral("-2147483640"));
}

TEST(SettingsText, marginsWriteAFullStopAndNoNeedlessDecimals)
{
    const struct {
        double value;
        const char *text;
    } cases[] = {{15, "15"}, {12.5, "12.5"}, {0, "0"}, {0.1, "0.1"}, {-3.25, "-3.25"}, {1e20, "1E20"}, {1e-5, "1E-5"}};
    for (const auto &c : cases)
        EXPECT_EQ(formatMargin(c.value), QLatin1String(c.text)) << c.value;
}

TEST(SettingsText, spinEditRoundsHalvesToEvenAndLimitsToFifty)
{
    const struct {
        double in, out;
    } cases[] = {{12.5, 12}, {13.5, 14}, {12.4, 12}, {12.6, 13}, {0.5, 0},   {49.5, 50},
                 {50.5, 50}, {80, 50},   {-3, 0},    {-0.5, 0},  {1e300, 50}};
    for (const auto &c : cases)
        EXPECT_EQ(spinEditValue(c.in), c.out) << c.in;
}

TEST(SettingsText, styleSetsWriteInFixedOrderAndReadLeniently)
{
    FontStyle f;
    EXPECT_EQ(formatStyle(f), QStringLiteral("[]"));
    f.strikeOut = f.bold = f.italic = true;
    EXPECT_EQ(formatStyle(f), QStringLiteral("[fsBold,fsItalic,fsStrikeOut]"));

    const struct {
        const char16_t *text;
        bool bold, italic, underline, strikeOut;
    } cases[] = {
        {u"[fsBold, fsUnderline]", true, false, true, false},
        {u"[fsFat]", false, false, false, false},
        {u"[]", false, false, false, false},
        {u"", false, false, false, false},
        {u"fsitalic fsStrikeOut", false, true, false, true},
        {u"[[fsBold,,fsFat,fsItalic]]", true, true, false, false},
        {u"[fsBoldfsItalic]", false, false, false, false},
    };
    for (const auto &c : cases) {
        FontStyle font{true, true, true, true};
        parseStyle(c.text, font);
        EXPECT_EQ((std::array{font.bold, font.italic, font.underline, font.strikeOut}),
                  (std::array{c.bold, c.italic, c.underline, c.strikeOut}))
            << QString::fromUtf16(c.text).toStdString();
    }
}

TEST(SettingsText, placementWordsSplitAtRunsOfCommasAndBlanks)
{
    EXPECT_EQ(words(u"223,115, 1222 ,,704"), (QStringList{QStringLiteral("223"), QStringLiteral("115"),
                                                          QStringLiteral("1222"), QStringLiteral("704")}));
    EXPECT_EQ(words(u" ,, "), QStringList{});
    EXPECT_EQ(words(u"-1,-1"), (QStringList{QStringLiteral("-1"), QStringLiteral("-1")}));
}
