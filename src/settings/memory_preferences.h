// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <set>
#include <string>

#include "settings/i_preferences.h"

// Preferences that live as long as the object: for tests and one-shot commands.
class CMemoryPreferences : public IPreferences {
  public:
    std::string lastCarFile() override;
    void setLastCarFile(const std::string& path) override;
    std::optional<bool> csvForSpreadsheet() override { return csvForSpreadsheet_; }
    void setCsvForSpreadsheet(bool spreadsheet) override { csvForSpreadsheet_ = spreadsheet; }
    bool legacyFolderOffered(const std::string& folder) override {
        return offered_.count(folder) > 0;
    }
    void setLegacyFolderOffered(const std::string& folder) override { offered_.insert(folder); }

  private:
    std::string lastCarFile_;
    std::optional<bool> csvForSpreadsheet_;
    std::set<std::string> offered_;
};
