// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A fresh directory for one test's files, removed with everything in it afterwards.
class CTempDir {
  public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    // The folder itself, ending with a slash.
    std::string folder() const { return dir_.string() + "/"; }
    // The folder itself, without the slash (a program folder, a root of made-up files).
    std::string root() const { return dir_.string(); }

    static void writeBytes(const std::string& file, const std::string& bytes);
    static std::string readBytes(const std::string& file);
    static std::vector<std::string> readLines(const std::string& file);  // split at "\r\n"

  private:
    std::filesystem::path dir_;
};
