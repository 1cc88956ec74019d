// SPDX-License-Identifier: GPL-3.0-or-later
#include "temp_dir.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <sstream>

CTempDir::CTempDir() {
    static std::atomic<int> serial{0};
    std::ostringstream name;
    name << "vapron-test-" << ::getpid() << "-" << serial++;
    dir_ = std::filesystem::temp_directory_path() / name.str();
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
}

CTempDir::~CTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

void CTempDir::writeBytes(const std::string& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string CTempDir::readBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> CTempDir::readLines(const std::string& file) {
    const std::string bytes = readBytes(file);
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2) {
        lines.push_back(bytes.substr(at, end - at));
    }
    if (at < bytes.size()) {
        lines.push_back(bytes.substr(at));
    }
    return lines;
}
