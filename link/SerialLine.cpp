// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/SerialLine.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace serialline {

namespace {

struct BaudCode {
    int baud;
    speed_t code;
};
constexpr BaudCode BaudCodes[] = {
    {1200, B1200},   {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

bool SpeedCode(int baud, speed_t& code)
{
    for (const auto& b : BaudCodes) {
        if (b.baud == baud) {
            code = b.code;
            return true;
        }
    }
    return false;
}

} // namespace

int Open(const std::string& path)
{
    // O_NONBLOCK also keeps open() of a real port from waiting for a carrier.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    // Nobody else may open the line while we hold it; a driver that cannot do this
    // (or a non-terminal, which Configure rejects) is not an error here.
    (void)::ioctl(fd, TIOCEXCL);
    return fd;
}

bool Configure(int fd, int baud)
{
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return false;
    speed_t code{};
    if (!SpeedCode(baud, code)) {
        errno = EINVAL;
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL; // CLOCAL: the calculator drives no carrier line
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | ISTRIP);
    // Reads are timed by poll(); a read() returns what is there at once.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, code) != 0 || ::cfsetospeed(&tio, code) != 0) return false;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) return false;
    // The calculator's cable is powered from DTR/RTS. A pseudo-terminal has no modem
    // lines and refuses this, which is fine.
    int lines = TIOCM_DTR | TIOCM_RTS;
    (void)::ioctl(fd, TIOCMBIS, &lines);
    return true;
}

// Only the input: what the PC wrote last (the Kermit server's "User cancel" as it makes
// way) may still be on its way to the calculator, and on a pseudo-terminal clearing the
// output throws away what the far end has not read yet.
void DiscardInput(int fd) { (void)::tcflush(fd, TCIFLUSH); }

void Close(int fd)
{
    if (fd < 0) return;
    // A pseudo-terminal keeps its exclusive flag while its master lives; clear it so
    // the line can be opened again.
    (void)::ioctl(fd, TIOCNXCL);
    ::close(fd);
}

} // namespace serialline

namespace serialline {

long Read(int fd, unsigned char* buf, std::size_t n, long limitMs, int wakeFd)
{
    return linkio::ReadUntil(fd, buf, n, linkio::DeadlineIn(limitMs), wakeFd);
}

linkio::WriteOutcome Write(int fd, const char* data, std::size_t n, int stopFd)
{
    const long ms = static_cast<long>(n) * WriteMsPerByte + WriteConstantMs;
    return linkio::WriteAll(fd, data, n, ms, -1, stopFd);
}

} // namespace serialline
