// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

// The program's own stored preferences: the full path of the last car settings file,
// whether CSV exports are made for a Polish spreadsheet, and the old program's folders
// whose files the user was already offered.
// Failures to read or store are not errors; an unknown value reads as empty.
class IPreferences {
  public:
    virtual ~IPreferences() = default;

    virtual std::string lastCarFile() = 0;
    virtual void setLastCarFile(const std::string& path) = 0;
    // Empty until the user has chosen once.
    virtual std::optional<bool> csvForSpreadsheet() = 0;
    virtual void setCsvForSpreadsheet(bool spreadsheet) = 0;
    virtual bool legacyFolderOffered(const std::string& folder) = 0;
    virtual void setLegacyFolderOffered(const std::string& folder) = 0;
};
