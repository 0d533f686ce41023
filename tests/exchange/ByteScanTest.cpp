#include "document/ByteScan.h"

#include <gtest/gtest.h>

#include <string>

// The word scans must agree with a plain search for every length and position, including the
// overlapping last word and the gathered short texts.
TEST(ByteScan, agreesWithAPlainSearchAtEveryLengthAndPosition)
{
    const auto semicolons = [](std::uint64_t w) { return bytescan::equal(w, ';'); };
    for (std::size_t length = 0; length <= 26; ++length) {
        const std::string plain(length, 'a');
        EXPECT_EQ(bytescan::find(plain, ';'), std::string_view::npos) << length;
        EXPECT_FALSE(bytescan::any(plain, semicolons)) << length;
        for (std::size_t at = 0; at < length; ++at) {
            std::string text = plain;
            text[at] = ';';
            if (at + 3 < length)
                text[at + 3] = ';';
            EXPECT_EQ(bytescan::find(text, ';'), at) << length << " " << at;
            EXPECT_TRUE(bytescan::any(text, semicolons)) << length << " " << at;
            // Bytes next to the wanted value, and high bytes, are no match.
            text = std::string(length, ':');
            text[at] = '\xbb';
            EXPECT_EQ(bytescan::find(text, ';'), std::string_view::npos);
            EXPECT_FALSE(bytescan::any(text, semicolons));
        }
    }
    // A scan looks only inside the text, not at the bytes around it.
    const std::string around = ";;abc;;";
    EXPECT_FALSE(bytescan::any(std::string_view(around).substr(2, 3), semicolons));
    EXPECT_EQ(bytescan::find(std::string_view(around).substr(2, 3), ';'), std::string_view::npos);
}
