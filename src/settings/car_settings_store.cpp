// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/car_settings_store.h"

#include <cstring>
#include <ctime>
#include <filesystem>

#include "settings/car_info.h"
#include "settings/car_settings_history.h"
#include "settings/i_preferences.h"
#include "settings/program_folders.h"
#include "support/atomic_file.h"
#include "support/utf8_path.h"

namespace fs = std::filesystem;

namespace {

const char* const kPendingSuffix = ".tmp";

std::string errorText(int error) {
    return error != 0 ? std::string(std::strerror(error)) : std::string("nieznany błąd");
}

}  // namespace

class CCarSettingsStore::CPending : public ICarSettingsStore::IPending {
  public:
    CPending(CCarSettingsStore& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
    ~CPending() override {
        if (!path_.empty() && !committed_) {
            std::error_code ignored;
            fs::remove(utf8Path(temp()), ignored);
            // A car folder made for a write that never happened is not left empty; one
            // holding files stays, and so does anything else of that name.
            const fs::path folder = utf8Path(path_).parent_path();
            if (fs::is_directory(folder, ignored) && fs::is_empty(folder, ignored)) {
                fs::remove(folder, ignored);
            }
        }
    }

    std::string temp() const { return path_ + kPendingSuffix; }

    commit_t commit() override {
        committed_ = true;
        if (path_.empty()) {
            return {false, kNoCarText, true};
        }
        commit_t result;
        std::string movedTo;
        int error = 0;
        if (!CCarSettingsHistory::moveReplaced(path_, movedTo, error)) {
            // The day's file is then replaced as it always was; only its history is lost.
            result.problem = "Nie udało się przenieść poprzedniego pliku z dnia do folderu " +
                             std::string(CCarSettingsHistory::kFolder) +
                             "; zastąpiono go nowym.\n" + errorText(error);
        }
        std::error_code ec;
        fs::rename(utf8Path(temp()), utf8Path(path_), ec);
        if (ec) {
            if (!movedTo.empty()) {
                std::error_code ignored;
                fs::rename(utf8Path(movedTo), utf8Path(path_), ignored);
            }
            fs::remove(utf8Path(temp()), ec);
            return {false,
                    "Uwaga: sterownik przyjął ustawienia, ale nie udało się zapisać "
                    "pliku samochodu: " +
                        path_ + "\n" + errorText(ec.value())};
        }
        if (owner_.prefs_) {
            owner_.prefs_->setLastCarFile(path_);
        }
        owner_.lastPath_ = path_;
        return result;
    }

  private:
    CCarSettingsStore& owner_;
    std::string path_;
    bool committed_ = false;
};

CCarSettingsStore::CCarSettingsStore(IPreferences* prefs, std::string root)
    : prefs_(prefs), root_(std::move(root)) {}

std::unique_ptr<ICarSettingsStore::IPending> CCarSettingsStore::prepare(const device_info_t& info,
                                                                        std::string& problem) {
    const std::string root = root_.empty() ? CProgramFolders::carSettingsRoot() : root_;
    const std::string path = CCarInfo::carSettingsPath(root, info, std::time(nullptr));
    auto pending = std::make_unique<CPending>(*this, path);
    if (path.empty()) {
        return pending;  // no car named (service unlock): nothing to file
    }
    const auto image = info.toBytes();
    const CFileIo::result_t written =
        CAtomicFile::replace(pending->temp(), image.data(), image.size());
    if (!written.ok()) {
        problem = path + "\n" + CFileIo::describe(written);
        return nullptr;
    }
    return pending;
}

bool CCarSettingsStore::store(const device_info_t& info) {
    std::string problem;
    auto pending = prepare(info, problem);
    return pending && pending->commit().filed;
}
