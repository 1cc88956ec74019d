// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>

#include "settings/i_preferences.h"

// Preferences in a small "key=value" text file, read afresh on every access and
// replaced atomically on every change, so that concurrent programs never see half a
// file. Backslash and line feed in values are escaped. A file that cannot be read is
// left as it is.
class CFilePreferences : public IPreferences {
  public:
    // An empty path means "vapron.ini" in the program folder.
    explicit CFilePreferences(std::string path = {});

    std::string lastCarFile() override;
    void setLastCarFile(const std::string& path) override;
    std::optional<bool> csvForSpreadsheet() override;
    void setCsvForSpreadsheet(bool spreadsheet) override;
    // One folder a line.
    bool legacyFolderOffered(const std::string& folder) override;
    void setLegacyFolderOffered(const std::string& folder) override;

    const std::string& path() const { return path_; }

  private:
    // False when the file exists but cannot be read (or is too large to be ours).
    bool load(std::map<std::string, std::string>& values) const;
    void store(const std::map<std::string, std::string>& values) const;
    std::string value(const char* key);
    void setValue(const char* key, const std::string& value);

    std::string path_;
};
