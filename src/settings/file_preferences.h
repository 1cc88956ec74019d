#pragma once

#include <map>
#include <string>

#include "settings/i_preferences.h"

// Preferences in a small "key=value" text file, read afresh on every access and
// replaced atomically on every change, so that concurrent programs never see half a
// file. Backslash and line feed in values are escaped.
class CFilePreferences : public IPreferences {
  public:
    // An empty path means "vapron.ini" in the program folder.
    explicit CFilePreferences(std::string path = {});

    std::string lastCarFile() override;
    void setLastCarFile(const std::string& path) override;

    const std::string& path() const { return path_; }

  private:
    std::map<std::string, std::string> load() const;
    void store(const std::map<std::string, std::string>& values) const;

    std::string path_;
};
