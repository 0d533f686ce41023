#include "print/PrintFontQt.h"

#include <gtest/gtest.h>

TEST(PrintFontQt, colourNumbersAreRedGreenBlueOrSystemColours)
{
    const struct {
        std::int32_t number;
        QColor color;
    } cases[] = {
        {0, QColor(0, 0, 0)},
        {255, QColor(255, 0, 0)},
        {0x00FF00, QColor(0, 255, 0)},
        {0xFF0000, QColor(0, 0, 255)},
        {0x123456, QColor(0x56, 0x34, 0x12)},
        {PrintFont::kWindowTextColor, QColor(0, 0, 0)},
        {-2147483643, QColor(255, 255, 255)}, // system colour 5, the window background
        {-2147483393, QColor(0, 0, 0)},       // system colour 255 does not exist
        {0x1FFFFFFF, QColor(0, 0, 0)},        // "no colour"
    };
    for (const auto &c : cases)
        EXPECT_EQ(printfontqt::toQColor(c.number), c.color) << c.number;
}

TEST(PrintFontQt, qtFontCarriesFaceSizeInPointsStyleAndPitch)
{
    PrintFont font;
    font.name = QStringLiteral("Courier New");
    font.size = 14;
    font.height = -99; // the size decides
    font.style = {true, false, true, false};
    font.pitch = FontPitch::Fixed;
    const QFont q = printfontqt::toQFont(font);
    EXPECT_EQ(q.family(), QStringLiteral("Courier New"));
    EXPECT_EQ(q.pointSize(), 14);
    EXPECT_TRUE(q.bold());
    EXPECT_FALSE(q.italic());
    EXPECT_TRUE(q.underline());
    EXPECT_FALSE(q.strikeOut());
    EXPECT_TRUE(q.fixedPitch());
}
