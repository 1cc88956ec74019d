#pragma once

#include <string>

// The program's folders on disk. The program folder is $VAPRON_HOME when set, else
// $XDG_DATA_HOME/Vapron, else ~/.local/share/Vapron. Every level of a folder is created
// when missing each time its path is asked for (failures are left to the later file
// operation to report); paths end with '/'.
class CProgramFolders {
  public:
    static std::string programFolder();
    // Recordings and EEPROM images.
    static std::string dataFolder();
    // The car settings library.
    static std::string carSettingsRoot();
    // The library's folder name is a file-format name shared with the old program, not
    // this program's version: it stays whatever the version.
    static constexpr const char* kCarLibraryFormat = "v4.5";

  private:
    static std::string ensured(const std::string& path);
};
