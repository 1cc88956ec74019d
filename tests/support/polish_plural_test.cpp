// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/polish_plural.h"

#include <gtest/gtest.h>

TEST(PolishPluralTest, TheFormFollowsTheLastTwoDigits) {
    const struct {
        long long count;
        const char* text;
    } cases[] = {
        {0, "0 plików"},   {1, "1 plik"},     {2, "2 pliki"},      {4, "4 pliki"},
        {5, "5 plików"},   {11, "11 plików"}, {12, "12 plików"},   {14, "14 plików"},
        {21, "21 plików"}, {22, "22 pliki"},  {112, "112 plików"}, {124, "124 pliki"},
        {-2, "-2 pliki"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(polishCount(c.count, polish_nouns::kFiles), c.text);
    }
    EXPECT_EQ(polishCount(1, polish_nouns::kCellsIn), "1 komórce");
    EXPECT_EQ(polishCount(5, polish_nouns::kCellsIn), "5 komórkach");
}
