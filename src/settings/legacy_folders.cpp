// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/legacy_folders.h"

#include <filesystem>
#include <system_error>

#include "settings/program_folders.h"
#include "support/utf8_path.h"

namespace fs = std::filesystem;

namespace {

std::string text(const fs::path& path) {
    const std::u8string u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

// Regular files below `folder`, as paths relative to it.
std::vector<fs::path> filesBelow(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError)) {
            files.push_back(it->path().lexically_relative(folder));
        }
    }
    return files;
}

}  // namespace

std::vector<CLegacyFolders::found_t> CLegacyFolders::find(
    const std::vector<std::string>& candidates) {
    std::vector<found_t> found;
    for (const auto& candidate : candidates) {
        found_t entry{candidate};
        entry.recordings =
            filesBelow(utf8Path(candidate) / utf8Path(CProgramFolders::kDataPart)).size();
        entry.settings =
            filesBelow(utf8Path(candidate) / utf8Path(CProgramFolders::carLibraryPart())).size();
        if (entry.recordings + entry.settings > 0) {
            found.push_back(entry);
        }
    }
    return found;
}

template <class F>
void CLegacyFolders::eachFile(const std::string& oldFolder, const std::string& programFolder,
                              F&& use) {
    for (const std::string& part :
         {std::string(CProgramFolders::kDataPart), CProgramFolders::carLibraryPart()}) {
        const fs::path from = utf8Path(oldFolder) / utf8Path(part);
        const fs::path to = utf8Path(programFolder) / utf8Path(part);
        for (const auto& relative : filesBelow(from)) {
            use(from / relative, to / relative);
        }
    }
}

CLegacyFolders::copy_result_t CLegacyFolders::copyInto(const std::string& oldFolder,
                                                       const std::string& programFolder) {
    copy_result_t result;
    eachFile(oldFolder, programFolder, [&result](const fs::path& source, const fs::path& target) {
        std::error_code error;
        if (fs::exists(target, error)) {
            ++result.kept;
            return;
        }
        fs::create_directories(target.parent_path(), error);
        if (!error) {
            fs::copy_file(source, target, fs::copy_options::none, error);
        }
        if (error) {
            result.failed.push_back(text(source) + ": " + error.message());
        } else {
            ++result.copied;
        }
    });
    return result;
}

std::size_t CLegacyFolders::missingIn(const std::string& oldFolder,
                                      const std::string& programFolder) {
    std::size_t missing = 0;
    eachFile(oldFolder, programFolder, [&missing](const fs::path&, const fs::path& target) {
        std::error_code error;
        missing += fs::exists(target, error) ? 0 : 1;
    });
    return missing;
}
