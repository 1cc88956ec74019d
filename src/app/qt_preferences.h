#pragma once

#include "settings/i_preferences.h"

// The program's preferences kept by Qt ("Software\Vapron\v4.5" on Windows, an ini
// file here): the last car settings file and the CSV format.
class CQtPreferences : public IPreferences {
  public:
    std::string lastCarFile() override;
    void setLastCarFile(const std::string& path) override;
    bool csvForSpreadsheet() override;
    void setCsvForSpreadsheet(bool spreadsheet) override;
};
