// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/cipher.h"

#include <bit>
#include <cstring>

namespace {

using Box = std::array<std::uint8_t, 16>;

// The eight Serpent S-boxes.
constexpr std::array<Box, 8> kBoxes{{
    {3, 8, 15, 1, 10, 6, 5, 11, 14, 13, 4, 2, 7, 0, 9, 12},
    {15, 12, 2, 7, 9, 0, 5, 10, 1, 11, 14, 8, 6, 13, 3, 4},
    {8, 6, 7, 9, 3, 12, 10, 15, 13, 1, 14, 4, 0, 11, 5, 2},
    {0, 15, 11, 8, 12, 9, 6, 3, 13, 1, 2, 4, 10, 7, 5, 14},
    {1, 15, 8, 3, 12, 0, 11, 6, 2, 5, 4, 10, 9, 14, 7, 13},
    {15, 5, 2, 11, 4, 10, 9, 12, 0, 3, 14, 8, 13, 6, 7, 1},
    {7, 2, 12, 5, 8, 4, 6, 11, 14, 9, 1, 15, 13, 3, 10, 0},
    {1, 13, 15, 0, 14, 8, 2, 11, 7, 4, 12, 10, 9, 3, 5, 6},
}};

constexpr std::array<Box, 8> invertBoxes() {
    std::array<Box, 8> inverse{};
    for (std::size_t b = 0; b < 8; ++b) {
        for (std::uint8_t v = 0; v < 16; ++v) {
            inverse[b][kBoxes[b][v]] = v;
        }
    }
    return inverse;
}

constexpr std::array<Box, 8> kInverseBoxes = invertBoxes();

constexpr std::uint32_t kGoldenRatio = 0x9E3779B9;
constexpr int kRounds = 32;
constexpr int kPrekeyWords = 8 + 4 * (kRounds + 1);  // w0 … w139

// Each 4-bit group of the word through the box on its own; the groups do not mix.
std::uint32_t substituteWord(std::uint32_t x, const Box& box) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 4) {
        out |= std::uint32_t{box[(x >> shift) & 0xF]} << shift;
    }
    return out;
}

std::uint32_t loadLE(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

void storeLE(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// Text semantics: the bytes up to the first zero byte, at most `size`, zero padded.
template <std::size_t N>
std::array<std::uint8_t, N> textBytes(const std::string& text) {
    std::array<std::uint8_t, N> bytes{};
    for (std::size_t i = 0; i < N && i < text.size() && text[i] != '\0'; ++i) {
        bytes[i] = static_cast<std::uint8_t>(text[i]);
    }
    return bytes;
}

}  // namespace

void CCipher::setKey(const std::string& keyText) {
    const auto key = textBytes<32>(keyText);
    std::array<std::uint32_t, kPrekeyWords> w{};
    for (int i = 0; i < 8; ++i) {
        w[i] = loadLE(key.data() + 4 * i);
    }
    // The whole recurrence runs on the unsubstituted words first.
    for (int i = 8; i < kPrekeyWords; ++i) {
        w[i] = w[i - 8] ^ w[i - 5] ^ w[i - 3] ^ w[i - 1] ^ kGoldenRatio ^
               static_cast<std::uint32_t>(i - 8);
    }
    for (int i = 8; i < kPrekeyWords; ++i) {
        const int box = ((11 - i) % 8 + 8) % 8;  // 3, 2, 1, 0, 7, 6, 5, 4, 3, …
        subkeys_[i - 8] = substituteWord(w[i], kBoxes[box]);
    }
}

void CCipher::substitute(Words& x, int box) {
    for (auto& word : x) {
        word = substituteWord(word, kBoxes[box]);
    }
}

void CCipher::substituteInverse(Words& x, int box) {
    for (auto& word : x) {
        word = substituteWord(word, kInverseBoxes[box]);
    }
}

void CCipher::transform(Words& x) {
    x[0] = std::rotl(x[0], 13);
    x[2] = std::rotl(x[2], 3);
    x[1] ^= x[0] ^ x[2];
    x[3] ^= x[2] ^ (x[0] << 3);
    x[1] = std::rotl(x[1], 1);
    x[3] = std::rotl(x[3], 7);
    x[0] ^= x[1] ^ x[3];
    x[2] ^= x[3] ^ (x[1] << 7);
    x[0] = std::rotl(x[0], 5);
    x[2] = std::rotl(x[2], 22);
}

void CCipher::transformInverse(Words& x) {
    x[2] = std::rotr(x[2], 22);
    x[0] = std::rotr(x[0], 5);
    x[2] ^= x[3] ^ (x[1] << 7);
    x[0] ^= x[1] ^ x[3];
    x[3] = std::rotr(x[3], 7);
    x[1] = std::rotr(x[1], 1);
    x[3] ^= x[2] ^ (x[0] << 3);
    x[1] ^= x[0] ^ x[2];
    x[2] = std::rotr(x[2], 3);
    x[0] = std::rotr(x[0], 13);
}

void CCipher::mixKey(Words& x, int round) const {
    for (int i = 0; i < 4; ++i) {
        x[i] ^= subkeys_[4 * round + i];
    }
}

CCipher::Block CCipher::encipherBlock(const Block& plain) {
    plain_ = plain;
    Words x;
    for (int i = 0; i < 4; ++i) {
        x[i] = loadLE(plain.data() + 4 * i);
    }
    for (int r = 0; r < kRounds - 1; ++r) {
        mixKey(x, r);
        substitute(x, r % 8);
        transform(x);
    }
    mixKey(x, kRounds - 1);
    substitute(x, 7);
    mixKey(x, kRounds);
    for (int i = 0; i < 4; ++i) {
        storeLE(cipher_.data() + 4 * i, x[i]);
    }
    return cipher_;
}

CCipher::Block CCipher::decipherBlock(const Block& cipher) {
    cipher_ = cipher;
    Words x;
    for (int i = 0; i < 4; ++i) {
        x[i] = loadLE(cipher.data() + 4 * i);
    }
    mixKey(x, kRounds);
    substituteInverse(x, 7);
    mixKey(x, kRounds - 1);
    for (int r = kRounds - 2; r >= 0; --r) {
        transformInverse(x);
        substituteInverse(x, r % 8);
        mixKey(x, r);
    }
    for (int i = 0; i < 4; ++i) {
        storeLE(plain_.data() + 4 * i, x[i]);
    }
    return plain_;
}

std::string CCipher::encrypt(const std::string& keyText, const std::string& plaintext) {
    setKey(keyText);
    const Block out = encipherBlock(textBytes<kBlockSize>(plaintext));
    return std::string(out.begin(), out.end());
}

std::string CCipher::decrypt(const std::string& keyText, const std::string& ciphertext) {
    if (ciphertext.size() != kBlockSize) {
        return {};
    }
    setKey(keyText);
    Block in;
    std::memcpy(in.data(), ciphertext.data(), kBlockSize);
    const Block out = decipherBlock(in);
    const auto* chars = reinterpret_cast<const char*>(out.data());
    return std::string(chars, ::strnlen(chars, kBlockSize));
}

CCipher::Block CCipher::encipherId(const std::string& id) {
    CCipher cipher;
    const std::string bytes = cipher.encrypt(kIdentityKey, id);
    Block out;
    std::memcpy(out.data(), bytes.data(), kBlockSize);
    return out;
}

std::string CCipher::decipherId(const std::uint8_t* bytes16) {
    CCipher cipher;
    return cipher.decrypt(kIdentityKey,
                          std::string(reinterpret_cast<const char*>(bytes16), kBlockSize));
}
