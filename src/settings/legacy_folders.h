// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The folders of the old Windows program, which kept its recordings in Dane\ and its car
// settings library in Ustawienia\v4.5\ under Program Files; Windows redirected the
// writes of a program without administrator rights to the user's VirtualStore, so the
// newest files may be there. They are found and copied into the program folder, so
// nothing a workshop has is lost; the old folders are never changed.
class CLegacyFolders {
  public:
    struct found_t {
        std::string folder;
        std::size_t recordings = 0;  // files below Dane
        std::size_t settings = 0;    // files below Ustawienia/v4.5
    };
    struct copy_result_t {
        std::size_t copied = 0;
        std::size_t kept = 0;             // already in the program folder: left as they are
        std::vector<std::string> failed;  // "path: reason"
        bool ok() const { return failed.empty(); }
    };

    // Those of `candidates` that hold any file, in the order given (the newest first).
    static std::vector<found_t> find(const std::vector<std::string>& candidates);
    // Copies every file of the old folder's Dane and Ustawienia/v4.5 that the program
    // folder lacks, keeping the subfolders.
    static copy_result_t copyInto(const std::string& oldFolder, const std::string& programFolder);
    // How many files copyInto() would copy.
    static std::size_t missingIn(const std::string& oldFolder, const std::string& programFolder);

  private:
    // Calls use(old file, its place in the program folder) for every old file.
    template <class F>
    static void eachFile(const std::string& oldFolder, const std::string& programFolder, F&& use);
};
