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

// Runs vapron-cli with the arguments; VAPRON_HOME points at `home` when given.
cli_result_t runCli(const std::vector<std::string>& arguments, const std::string& home = {});
std::string makeTempDir();
