// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// A pseudo-terminal pair for tests of the real serial code: the test holds the master
// end and opens the slave path like any serial device.
class CPtyPair {
  public:
    CPtyPair();
    ~CPtyPair();
    CPtyPair(const CPtyPair&) = delete;
    CPtyPair& operator=(const CPtyPair&) = delete;

    const std::string& slavePath() const { return slavePath_; }
    int master() const { return master_; }
    // Closes the master end: the slave side then sees a hang-up.
    void closeMaster();

  private:
    int master_ = -1;
    std::string slavePath_;
};
