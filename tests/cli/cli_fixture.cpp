// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_fixture.h"

#include <algorithm>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "temp_dir.h"

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<char*> argvOf(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

}  // namespace

CSimProcess::CSimProcess(const std::vector<std::string>& options) {
    int out[2];
    if (::pipe(out) != 0)
        throw std::runtime_error("pipe");
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        const std::string program = VAPRON_SIM_PATH;
        auto argv = argvOf(program, options);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    char c;
    while (::read(out[0], &c, 1) == 1 && c != '\n')
        path_ += c;
    ::close(out[0]);
    if (path_.empty())
        throw std::runtime_error("vapron-sim printed no path");
}

CSimProcess::~CSimProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
}

cli_result_t runCli(const std::vector<std::string>& arguments, const std::string& home) {
    cli_run_t run;
    run.home = home;
    return runCli(arguments, run);
}

cli_result_t runCli(const std::vector<std::string>& arguments, const cli_run_t& run) {
    const CTempDir folder;  // the tool's output, read back
    const std::string dir = folder.root();
    const std::string outPath = dir + "/out", errPath = dir + "/err";
    int input[2];
    if (::pipe(input) != 0)
        throw std::runtime_error("pipe");
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(input[0], STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        ::close(input[0]);
        ::close(input[1]);
        if (!run.home.empty())
            ::setenv("VAPRON_HOME", run.home.c_str(), 1);
        if (run.fileSizeLimit >= 0) {
            // Writes past the limit fail with EFBIG, as on a full disk, instead of a signal.
            ::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = static_cast<rlim_t>(run.fileSizeLimit);
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::alarm(run.timeoutSeconds);  // kept across exec: a hanging tool is ended
        const std::string program = VAPRON_CLI_PATH;
        // The simulated controller answers at once: no test waits for the line's pace.
        std::vector<std::string> unpaced = arguments;
        const auto simulate = std::find(unpaced.begin(), unpaced.end(), "--simulate");
        if (simulate != unpaced.end() && !run.pacing) {
            unpaced.insert(simulate + 1, "--no-pacing");
        }
        auto argv = argvOf(program, unpaced);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(input[0]);
    ::signal(SIGPIPE, SIG_IGN);  // a tool that does not read its input
    (void)!::write(input[1], run.input.data(), run.input.size());
    ::close(input[1]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    cli_result_t result;
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readAll(outPath);
    result.err = readAll(errPath);
    return result;
}
