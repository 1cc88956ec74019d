// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// Runs the built vapron-sim on a pseudo-terminal and the built vapron-cli against it.
class CSimProcess {
  public:
    explicit CSimProcess(const std::vector<std::string>& options = {"--no-pacing"});
    ~CSimProcess();
    const std::string& path() const { return path_; }

  private:
    int pid_ = -1;
    std::string path_;
};

struct cli_result_t {
    int code = -1;
    std::string out;
    std::string err;
};

// How the tool is run beyond its arguments.
struct cli_run_t {
    std::string home;              // VAPRON_HOME when not empty
    std::string input;             // standard input (a pipe holding these bytes)
    long fileSizeLimit = -1;       // bytes any file it writes may reach (-1: no limit)
    unsigned timeoutSeconds = 60;  // then it is killed and the code is -1
    bool pacing = false;           // --simulate at the line's pace (else --no-pacing is added)
};

// Runs vapron-cli with the arguments; VAPRON_HOME points at `home` when given.
cli_result_t runCli(const std::vector<std::string>& arguments, const std::string& home = {});
cli_result_t runCli(const std::vector<std::string>& arguments, const cli_run_t& run);
