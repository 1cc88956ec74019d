// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

// Cuts whole frames out of the byte stream the controller receives. Like the
// controller's receiver it skips everything up to the next AA 55 and then takes the
// length byte at its word, so a damaged frame costs only itself.
class CFrameAssembler {
  public:
    void feed(const std::uint8_t* data, std::size_t size);
    // Takes the oldest complete frame; false when none is complete.
    bool next(std::vector<std::uint8_t>& frame);
    // Forgets a half-received frame (the line went quiet in the middle of it).
    void reset() { partial_.clear(); }
    bool hasPartial() const { return !partial_.empty(); }

  private:
    void take(std::uint8_t byte);

    std::vector<std::uint8_t> partial_;
    std::deque<std::vector<std::uint8_t>> complete_;
};
