// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

class IPreferences;
class QWidget;

// At the window program's start: when the old Windows program's folders hold recordings
// or car settings that the program folder lacks, asks once whether to copy them (nothing
// is replaced, the old folders stay as they are) and says what was copied. The answer is
// kept in the preferences, so the same old folder is not offered again; a copy that
// failed is offered again at the next start.
class CLegacyOffer {
  public:
    // `candidates`: where the old program may have kept its files, the newest first.
    CLegacyOffer(IPreferences& preferences, std::vector<std::string> candidates,
                 std::string programFolder);

    // False when nothing was offered.
    bool run(QWidget* owner);

  private:
    void copy(QWidget* owner, const std::vector<std::string>& folders);

    IPreferences& preferences_;
    std::vector<std::string> candidates_;
    std::string programFolder_;
};
