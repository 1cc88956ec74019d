// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/trace_replay.h"

#include <algorithm>
#include <sstream>

#include "support/file_io.h"

namespace {

constexpr std::size_t kMaxTraceSize = 256u << 20;

// The bytes of a frame line ("<ms> > <type> <length> <hex>…"); false for other lines.
bool frameLine(const std::string& line, char& direction, std::vector<std::uint8_t>& bytes) {
    std::istringstream in(line);
    std::string stamp, dir, type;
    std::size_t length = 0;
    if (!(in >> stamp >> dir >> type >> length) || (dir != ">" && dir != "<")) {
        return false;
    }
    direction = dir[0];
    bytes.clear();
    unsigned value = 0;
    while (bytes.size() < length && in >> std::hex >> value && value <= 0xFF) {
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes.size() == length;
}

}  // namespace

bool CTraceReplay::load(const std::string& path, std::string& problem) {
    const CFileIo::result_t file = CFileIo::readFile(path, kMaxTraceSize);
    if (!file.ok()) {
        problem = "Nie można odczytać śladu komunikacji " + path + "\n" + CFileIo::describe(file);
        return false;
    }
    if (!parse(std::string(file.bytes.begin(), file.bytes.end()))) {
        problem = "Plik " + path + " nie jest śladem komunikacji programu Vapron\n" +
                  "brak ramek wysłanych do sterownika";
        return false;
    }
    return true;
}

bool CTraceReplay::parse(const std::string& text) {
    std::lock_guard lock(mutex_);
    exchanges_.clear();
    next_ = 0;
    std::istringstream lines(text);
    std::string line;
    std::vector<std::uint8_t> bytes;
    char direction = 0;
    while (std::getline(lines, line)) {
        if (!frameLine(line, direction, bytes)) {
            continue;
        }
        if (direction == '>') {
            exchanges_.push_back({bytes, {}});
        } else if (!exchanges_.empty()) {
            auto& reply = exchanges_.back().reply;
            reply.insert(reply.end(), bytes.begin(), bytes.end());
        }
    }
    return !exchanges_.empty();
}

std::size_t CTraceReplay::find(const std::uint8_t* frame, std::size_t size,
                               std::size_t from) const {
    for (std::size_t i = from; i < exchanges_.size(); ++i) {
        const auto& request = exchanges_[i].request;
        if (request.size() == size && std::equal(request.begin(), request.end(), frame)) {
            return i;
        }
    }
    return exchanges_.size();
}

std::vector<std::uint8_t> CTraceReplay::answer(const std::uint8_t* frame, std::size_t size) {
    std::lock_guard lock(mutex_);
    std::size_t at = find(frame, size, next_);
    if (at == exchanges_.size()) {
        at = find(frame, size, 0);
    }
    if (at == exchanges_.size()) {
        return {};
    }
    next_ = at + 1;
    return exchanges_[at].reply;
}
