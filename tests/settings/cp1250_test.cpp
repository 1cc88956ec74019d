// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "settings/cp1250.h"

namespace {

TEST(Cp1250Test, PolishLettersBothWays) {
    const std::string cp = "\xA3\xF3\x64\x9F \x8A\x6B\x6F\x64\x61 \xB9\xEA\xE6\xF1\xBF\xAF";
    const std::string utf8 = "Łódź Škoda ąęćńżŻ";
    EXPECT_EQ(cp1250ToUtf8(cp), utf8);
    EXPECT_EQ(utf8ToCp1250(utf8), cp);
}

TEST(Cp1250Test, EveryDefinedByteRoundTrips) {
    for (int b = 0x01; b <= 0xFF; ++b) {
        const std::string one(1, static_cast<char>(b));
        if (b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98) {
            EXPECT_EQ(cp1250ToUtf8(one), "?") << b;
        } else {
            EXPECT_EQ(utf8ToCp1250(cp1250ToUtf8(one)), one) << b;
        }
    }
}

TEST(Cp1250Test, ThreeByteCharacters) {
    EXPECT_EQ(cp1250ToUtf8("\x80\x84\x99"), "€„™");
    EXPECT_EQ(utf8ToCp1250("€„™"), "\x80\x84\x99");
}

TEST(Cp1250Test, UnmappableAndMalformedBecomeQuestionMarks) {
    EXPECT_EQ(utf8ToCp1250("a日b"), "a?b");     // no such letter in the code page
    EXPECT_EQ(utf8ToCp1250("x😀y"), "x?y");      // four-byte sequence
    EXPECT_EQ(utf8ToCp1250("\xC5"), "?");       // cut short
    EXPECT_EQ(utf8ToCp1250("\xC0\xAF"), "??");  // overlong '/'
    EXPECT_EQ(utf8ToCp1250("\xFF"
                           "a"),
              "?a");
    EXPECT_EQ(utf8ToCp1250("\xED\xA0\x80"), "???");  // surrogate
}

}  // namespace
