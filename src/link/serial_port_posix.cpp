// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>

#include "link/port_list.h"
#include "link/serial_errors.h"

namespace {

using Clock = std::chrono::steady_clock;

int millisLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

CSerialPort::~CSerialPort() {
    // The owner closes the port when it disconnects; an object that dies open must not
    // leak the descriptor all the same.
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void CSerialPort::raiseErrno(unsigned code, const std::string& operation, int err, int line) const {
    raiseFor(code, operation, path_.empty() ? "szeregowy" : path_, err, line);
}

void CSerialPort::raiseFor(unsigned code, const std::string& operation, const std::string& path,
                           int err, int line) const {
    // A missing device is best answered with the ones that are there.
    const bool missing = err == ENOENT || err == ENODEV || err == ENXIO;
    const std::vector<std::string> present = code == CRSError::ERR_RS_OPEN && missing
                                                 ? CPortNames::presentPorts()
                                                 : std::vector<std::string>{};
    // Who holds a busy port is worth naming when the system lets us see it.
    const std::string holder =
        code == CRSError::ERR_RS_OPEN && err == EBUSY ? CPortList().holderOf(path) : "";
    raise(code, serial_errors::message(operation, path, err, present, holder), line, __FILE__);
    __builtin_unreachable();
}

void CSerialPort::raiseHangUp(int line) const {
    raiseErrno(CRSError::ERR_RS_OPERATION, "read()", EIO, line);
}

void CSerialPort::raiseIfHungUp(short revents, int line) const {
    if (revents & (POLLHUP | POLLERR | POLLNVAL)) {
        raiseHangUp(line);
    }
}

void CSerialPort::open(int port) {
    const std::string path = names_.pathOf(port);
    const std::string operation = "open(" + std::to_string(port) + ")";
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fd_ = -1;
        raiseFor(CRSError::ERR_RS_OPEN, operation, path, errno, __LINE__);
    }
    // A file or a folder named as the port is not a serial port: said so at once rather
    // than after a search in which nothing answers.
    if (!::isatty(fd)) {
        ::close(fd);
        fd_ = -1;
        raiseFor(CRSError::ERR_RS_OPEN, operation, path, ENOTTY, __LINE__);
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // Another program holds the lock: the port is busy, whatever flock calls it.
        const int err = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        fd_ = -1;
        raiseFor(CRSError::ERR_RS_OPEN, operation, path, err, __LINE__);
    }
    // TIOCEXCL keeps other programs out; it is not supported by every device node.
    ::ioctl(fd, TIOCEXCL);
    // A USB adapter otherwise holds each reply up to its latency timer (16 ms on FTDI).
    CPortList().requestLowLatency(fd, path);
    fd_ = fd;
    port_ = port;
    path_ = path;
}

bool CSerialPort::isOpen() const {
    return fd_ >= 0;
}

void CSerialPort::setTimeouts(const serial_timeouts_t& timeouts) {
    timeouts_ = timeouts;
}

int CSerialPort::searchPorts() {
    // Names that lead elsewhere than /dev (a test's folder) keep to their own ports.
    const bool system = names_.pattern().rfind("/dev/", 0) == 0;
    names_.setFoundPaths(system ? CPortList().usbAdapters() : std::vector<std::string>{});
    return CPortNames::kNumberedPorts + names_.foundCount();
}

void CSerialPort::close() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = -1;
}

void CSerialPort::configure() {
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) {
        raiseErrno(CRSError::ERR_RS_OPERATION, "getState()", errno, __LINE__);
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | ISTRIP | IGNBRK | BRKINT | PARMRK);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, B38400);
    ::cfsetospeed(&tio, B38400);
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) {
        raiseErrno(CRSError::ERR_RS_OPERATION, "setState()", errno, __LINE__);
    }
    // Raise DTR and RTS; a pseudo-terminal has no modem lines and answers ENOTTY or
    // EINVAL, which is harmless there.
    int lines = TIOCM_DTR | TIOCM_RTS;
    if (::ioctl(fd_, TIOCMBIS, &lines) != 0 && errno != ENOTTY && errno != EINVAL) {
        raiseErrno(CRSError::ERR_RS_OPERATION, "setState()", errno, __LINE__);
    }
}

int CSerialPort::read(std::uint8_t* buffer, int n) {
    if (fd_ < 0) {
        raiseErrno(CRSError::ERR_RS_OPERATION, "read()", EBADF, __LINE__);
    }
    const auto deadline =
        Clock::now() + std::chrono::milliseconds(timeouts_.constantMs + n * timeouts_.perByteMs);
    int got = 0;
    while (got < n) {
        pollfd pfd{fd_, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, millisLeft(deadline));
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            raiseErrno(CRSError::ERR_RS_OPERATION, "read()", errno, __LINE__);
        }
        if (ready == 0) {
            break;  // time-out: not a failure
        }
        if (!(pfd.revents & POLLIN)) {
            raiseIfHungUp(pfd.revents, __LINE__);
            continue;
        }
        const ssize_t count = ::read(fd_, buffer + got, n - got);
        if (count > 0) {
            got += static_cast<int>(count);
        } else if (count == 0) {
            raiseHangUp(__LINE__);  // readable but nothing: the device went away
        } else if (errno != EAGAIN && errno != EINTR) {
            raiseErrno(CRSError::ERR_RS_OPERATION, "read()", errno, __LINE__);
        }
        if (millisLeft(deadline) == 0) {
            break;
        }
    }
    return got;
}

int CSerialPort::write(const std::uint8_t* buffer, int n) {
    if (fd_ < 0) {
        raiseErrno(CRSError::ERR_RS_OPERATION, "write()", EBADF, __LINE__);
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeouts_.constantMs + n * 2);
    int sent = 0;
    while (sent < n) {
        const ssize_t count = ::write(fd_, buffer + sent, n - sent);
        if (count > 0) {
            sent += static_cast<int>(count);
            continue;
        }
        if (count < 0 && errno != EAGAIN && errno != EINTR) {
            raiseErrno(CRSError::ERR_RS_OPERATION, "write()", errno, __LINE__);
        }
        pollfd pfd{fd_, POLLOUT, 0};
        const int ready = ::poll(&pfd, 1, millisLeft(deadline));
        if (ready == 0) {
            break;  // the line does not drain; report what went out
        }
        if (ready > 0 && !(pfd.revents & POLLOUT)) {
            raiseIfHungUp(pfd.revents, __LINE__);
        }
    }
    return sent;
}

void CSerialPort::purgeIn() {
    // After a good exchange nothing is waiting; asking costs less than the flush.
    int waiting = 0;
    if (::ioctl(fd_, FIONREAD, &waiting) == 0 && waiting == 0) {
        return;
    }
    if (::tcflush(fd_, TCIFLUSH) != 0) {
        raiseErrno(CRSError::ERR_RS_OPERATION, "purgeIn()", errno, __LINE__);
    }
}

void CSerialPort::purgeOut() {
    if (::tcflush(fd_, TCOFLUSH) != 0) {
        raiseErrno(CRSError::ERR_RS_OPERATION, "purgeOut()", errno, __LINE__);
    }
}
