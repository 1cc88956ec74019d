// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "frames.h"
#include "link/protocol.h"
#include "link/serial_port.h"

using namespace proto;

namespace {

// vapron-sim as a child process with its standard output on a pipe.
class SimProcess {
  public:
    explicit SimProcess(std::vector<std::string> args) {
        int out[2];
        if (::pipe(out) != 0) {
            return;
        }
        args.insert(args.begin(), VAPRON_SIM_PATH);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            const int quiet = ::open("/dev/null", O_WRONLY);
            ::dup2(quiet, STDERR_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> argv;
            for (auto& a : args) {
                argv.push_back(a.data());
            }
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        out_ = out[0];
    }
    ~SimProcess() {
        if (pid_ > 0 && status_ < 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) {
            ::close(out_);
        }
    }

    // The first line the child prints, waiting up to five seconds.
    std::string firstLine() {
        std::string line;
        char c;
        while (line.find('\n') == std::string::npos) {
            pollfd pfd{out_, POLLIN, 0};
            if (::poll(&pfd, 1, 5000) <= 0 || ::read(out_, &c, 1) != 1) {
                break;
            }
            line += c;
        }
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
        }
        return line;
    }
    // Sends the signal and gives the exit code (-1 when it did not end by exiting).
    int endWith(int signal) {
        ::kill(pid_, signal);
        return waitExit();
    }
    int waitExit() {
        int status = 0;
        for (int i = 0; i < 500; ++i) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                return status_;
            }
            ::usleep(10000);
        }
        return -2;
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    int status_ = -1;
};

std::string exchange(CSerialPort& port, const bytes_t& request, int replySize) {
    bytes_t reply(replySize);
    port.write(request.data(), static_cast<int>(request.size()));
    reply.resize(port.read(reply.data(), replySize));
    return hexText(reply);
}

void openPort(CSerialPort& port, const std::string& path) {
    CPortNames names;
    names.setFirstPath(path);
    port.setPortNames(names);
    port.open(1);
    port.configure();
}

}  // namespace

TEST(SimMainTest, ServesOnThePrintedPathUntilTerminated) {
    SimProcess sim({});
    const std::string path = sim.firstLine();
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
    CSerialPort port;
    openPort(port, path);
    EXPECT_EQ(exchange(port, commandFrame(CMD_TEST), 12), "AA 55 06 04 04 00 00 00 00 00 00 0E");
    EXPECT_EQ(sim.endWith(SIGTERM), 0);
}

TEST(SimMainTest, OptionsShapeTheController) {
    SimProcess sim({"--no-pacing", "--firmware-version", "40004", "--injectors", "6", "--id",
                    "ID00000000000005", "--errors", "0000000005000000000081", "--clock-hz",
                    "20000"});
    const std::string path = sim.firstLine();
    CSerialPort port;
    openPort(port, path);
    EXPECT_EQ(exchange(port, commandFrame(CMD_TEST), 12), "AA 55 06 04 04 00 00 00 00 10 00 1E");
    EXPECT_EQ(exchange(port, commandFrame(CMD_ERROR), 17),
              "AA 55 0B 06 00 00 00 00 05 00 00 00 00 00 81 00 97");
    EXPECT_EQ(exchange(port, commandFrame(CMD_VERSION), 27),
              "AA 55 15 08 1C 89 9C 44 06 5A BD 54 A5 6C BF 64 5D BC 5F 1A 00 34 64 00 A8 08 19");
    EXPECT_EQ(exchange(port, commandFrame(CMD_CLOCK), 26).substr(3 * 20, 11), "00 00 4E 20");
    EXPECT_EQ(sim.endWith(SIGINT), 0);
}

TEST(SimMainTest, StaleRepliesArriveWithTheNextRequest) {
    SimProcess sim({"--no-pacing", "--stale", "1"});
    CSerialPort port;
    openPort(port, sim.firstLine());
    port.setTimeouts({100, 1});
    // Every reply is held back: a request hears the answer to the one before it.
    EXPECT_EQ(exchange(port, commandFrame(CMD_TEST), 12), "");
    EXPECT_EQ(exchange(port, commandFrame(CMD_FUEL_SENSOR), 12),
              "AA 55 06 04 04 00 00 00 00 00 00 0E");
    EXPECT_EQ(exchange(port, commandFrame(CMD_TEST), 10), "AA 55 04 09 2A 82 AA E1 02 44");
    EXPECT_EQ(sim.endWith(SIGINT), 0);
}

TEST(SimMainTest, RefusesUnknownOptions) {
    SimProcess bad({"--colour", "red"});
    EXPECT_EQ(bad.waitExit(), 2);
    SimProcess badErrors({"--errors", "12"});
    EXPECT_EQ(badErrors.waitExit(), 2);
    SimProcess badStale({"--stale", "1.5"});
    EXPECT_EQ(badStale.waitExit(), 2);
    SimProcess help({"--help"});
    EXPECT_EQ(help.firstLine().rfind("Użycie: vapron-sim", 0), 0u);
    EXPECT_EQ(help.waitExit(), 0);
}
