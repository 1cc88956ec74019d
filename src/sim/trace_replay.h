// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// Answers requests as a controller once did, from a wire trace of that session: each
// frame the program sent, with the bytes that came back before its next frame. A request
// gets the reply recorded for the next equal request of the trace (searching from the
// start again once the trace is used up), and silence when the trace never sent it.
class CTraceReplay {
  public:
    // False with `problem` set (Polish) when the file cannot be read or holds no request.
    bool load(const std::string& path, std::string& problem);
    // Reads a trace's text; false when it holds no request.
    bool parse(const std::string& text);
    std::vector<std::uint8_t> answer(const std::uint8_t* frame, std::size_t size);
    std::size_t exchanges() const { return exchanges_.size(); }

  private:
    struct exchange_t {
        std::vector<std::uint8_t> request;
        std::vector<std::uint8_t> reply;
    };
    std::size_t find(const std::uint8_t* frame, std::size_t size, std::size_t from) const;

    std::mutex mutex_;
    std::vector<exchange_t> exchanges_;
    std::size_t next_ = 0;
};
