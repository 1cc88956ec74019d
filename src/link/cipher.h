// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>

// The block cipher of the controller ID: 128-bit blocks, a 256-bit key, built from the
// Serpent S-boxes, linear transformation and key recurrence, but with per-word nibble
// substitution and no rotation in the key schedule, so standard Serpent does not
// interoperate with it. Every controller uses the same identity key.
class CCipher {
  public:
    static constexpr std::size_t kBlockSize = 16;
    static constexpr const char* kIdentityKey = "7E3A91C4-B2D0-4f1a-8C65-3D9E07A4B1F2";

    using Block = std::array<std::uint8_t, kBlockSize>;

    CCipher() = default;
    virtual ~CCipher() = default;

    // Expands the key: its first 32 characters, zero bytes after the end of the text.
    void setKey(const std::string& keyText);
    Block encipherBlock(const Block& plain);
    Block decipherBlock(const Block& cipher);

    // Enciphers the first 16 characters of the text (zero padded); returns 16 bytes.
    std::string encrypt(const std::string& keyText, const std::string& plaintext);
    // Deciphers exactly 16 bytes; the text ends at its first zero byte. Any other
    // length gives an empty text.
    std::string decrypt(const std::string& keyText, const std::string& ciphertext);

    // The ID of a version record under the identity key.
    static Block encipherId(const std::string& id);
    static std::string decipherId(const std::uint8_t* bytes16);

    const Block& plainBlock() const { return plain_; }
    const Block& cipherBlock() const { return cipher_; }

  private:
    using Words = std::array<std::uint32_t, 4>;

    static void substitute(Words& x, int box);
    static void substituteInverse(Words& x, int box);
    static void transform(Words& x);
    static void transformInverse(Words& x);
    void mixKey(Words& x, int round) const;

    std::array<std::uint32_t, 4 * 33> subkeys_{};
    Block plain_{};
    Block cipher_{};
};
