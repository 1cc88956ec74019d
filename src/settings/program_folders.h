// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

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
    // The folders below the program folder, as the old program named them.
    static constexpr const char* kDataPart = "Dane";
    static std::string carLibraryPart() { return std::string("Ustawienia/") + kCarLibraryFormat; }
    // Where the old Windows program kept its Dane and Ustawienia folders, the newest
    // copies first: on Windows %LOCALAPPDATA%\VirtualStore\Program Files\Vapron, then
    // <drive>:\Program Files\Vapron; on Linux that folder in Wine's drive C.
    static std::vector<std::string> legacyFolders();

  private:
    static std::string ensured(const std::string& path);
};
