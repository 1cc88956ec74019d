// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/cipher.h"

#include <gtest/gtest.h>

#include <random>

#include "frames.h"

namespace {

std::string asText(const CCipher::Block& block) {
    return std::string(block.begin(), block.end());
}

}  // namespace

TEST(CipherTest, DecipheringAnEnciphermentGivesTheBlockBack) {
    std::mt19937 random(7);
    CCipher cipher;
    cipher.setKey(CCipher::kIdentityKey);
    for (int n = 0; n < 200; ++n) {
        CCipher::Block plain;
        for (auto& b : plain) {
            b = static_cast<std::uint8_t>(random());
        }
        const CCipher::Block enciphered = cipher.encipherBlock(plain);
        EXPECT_NE(enciphered, plain);
        EXPECT_EQ(cipher.decipherBlock(enciphered), plain);
    }
}

TEST(CipherTest, PinnedCiphertextsUnderTheIdentityKey) {
    CCipher cipher;
    const std::string out = cipher.encrypt(CCipher::kIdentityKey, "ABCDEFGH12345678");
    EXPECT_EQ(hexText(bytes_t(out.begin(), out.end())),
              "57 21 7B 44 04 45 12 B9 A3 32 85 6F C6 BC 25 85");
    EXPECT_EQ(hexText(CCipher::encipherId("SIM0000000000001").data(), 16),
              "98 B2 C4 5F 3A C2 3C F2 29 AC 02 87 68 F0 04 BA");
}

TEST(CipherTest, ZeroBlockIsNotLeftAloneAndRepeats) {
    CCipher cipher;
    cipher.setKey(CCipher::kIdentityKey);
    const CCipher::Block zero{};
    const CCipher::Block first = cipher.encipherBlock(zero);
    EXPECT_NE(first, zero);
    EXPECT_EQ(cipher.encipherBlock(zero), first);
    EXPECT_EQ(hexText(first.data(), 16), "15 45 3C C2 6A EA 4B C5 08 F8 6B 4B 77 40 CD 24");
}

TEST(CipherTest, OnlyTheFirst32KeyCharactersCount) {
    CCipher a;
    CCipher b;
    const std::string key = CCipher::kIdentityKey;
    EXPECT_EQ(a.encrypt(key, "X"), b.encrypt(key.substr(0, 32) + "-changed", "X"));
    EXPECT_NE(a.encrypt(key, "X"), b.encrypt("8" + key.substr(1), "X"));
}

TEST(CipherTest, ShortIdIsPaddedWithZeros) {
    CCipher cipher;
    const std::string padded("ABC\0\0\0\0\0\0\0\0\0\0\0\0\0", 16);
    cipher.setKey(CCipher::kIdentityKey);
    CCipher::Block block{};
    std::copy(padded.begin(), padded.end(), block.begin());
    EXPECT_EQ(CCipher::encipherId("ABC"), cipher.encipherBlock(block));
    EXPECT_EQ(CCipher::decipherId(CCipher::encipherId("ABC").data()), "ABC");
    // Characters beyond the sixteenth are not enciphered.
    EXPECT_EQ(CCipher::encipherId("0123456789ABCDEF"), CCipher::encipherId("0123456789ABCDEFXYZ"));
}

TEST(CipherTest, CiphertextWithZeroByteDeciphersWhole) {
    const auto id = CCipher::encipherId("ID00000000000005");
    ASSERT_EQ(hexText(id.data(), 16), "5A BD 54 A5 6C BF 64 5D BC 5F 1A 00 34 64 00 A8");
    EXPECT_EQ(CCipher::decipherId(id.data()), "ID00000000000005");
    CCipher cipher;
    EXPECT_EQ(cipher.decrypt(CCipher::kIdentityKey, asText(id)), "ID00000000000005");
}

TEST(CipherTest, CiphertextOfWrongLengthGivesEmptyText) {
    CCipher cipher;
    const std::string whole = cipher.encrypt(CCipher::kIdentityKey, "ABCDEFGH12345678");
    EXPECT_EQ(cipher.decrypt(CCipher::kIdentityKey, whole), "ABCDEFGH12345678");
    EXPECT_EQ(cipher.decrypt(CCipher::kIdentityKey, whole.substr(0, 15)), "");
    EXPECT_EQ(cipher.decrypt(CCipher::kIdentityKey, whole + '\0'), "");
    EXPECT_EQ(cipher.decrypt(CCipher::kIdentityKey, ""), "");
}
