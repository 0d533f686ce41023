#include "document/Cp1252.h"

#include <QStringDecoder>

#include <gtest/gtest.h>

TEST(Cp1252, everyByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const QString text = cp1252::toUnicode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(cp1252::fromUnicode(text), all);
}

TEST(Cp1252, decodesLikeQtsOwnCodecForAssignedBytes)
{
    QStringDecoder oracle("windows-1252");
    ASSERT_TRUE(oracle.isValid());
    for (int b = 0; b < 256; ++b) {
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D)
            continue;
        const char byte = static_cast<char>(b);
        const QString expected = oracle.decode(QByteArray(&byte, 1));
        EXPECT_EQ(cp1252::toUnicode(std::string_view(&byte, 1)), expected) << "byte " << b;
    }
}

TEST(Cp1252, unassignedBytesMapToC1Controls)
{
    EXPECT_EQ(cp1252::toUnicode("\x81\x8d\x8f\x90\x9d"), QString::fromUtf16(u"\u0081\u008d\u008f\u0090\u009d"));
}

TEST(Cp1252, unrepresentableCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(cp1252::fromUnicode(u"Ölfilter €5 – ☃"), "\xd6lfilter \x80" "5 \x96 ?");
    EXPECT_EQ(cp1252::fromUnicode(QString::fromUtf8("a\xF0\x9F\x98\x80" "b")), "a?b"); // one ? per character
}
