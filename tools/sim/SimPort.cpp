// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/sim/SimPort.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <stdexcept>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "link/LinkIo.h"
#include "link/PortName.h"
#include "link/UsbPipes.h"
#include "util/PrivateFolder.h"
#include "util/Ticks.h"

namespace sim {

namespace {

using linkio::Clock;

// The line rate of 9600 baud, 8N1: ten bit times per byte.
constexpr double LineBytesPerSecond = 960.0;
// The program may not read for a while (a transfer thread between packets); only a
// program that takes nothing for this long counts as gone.
constexpr long SendStallMs = 5000;

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error("calvyx-sim: " + what + ": " + std::strerror(errno)); }

void SetRaw(int fd)
{
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return;
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);
}

// The byte operations shared by both ports: one descriptor to read what the program
// wrote, one to send to it. Bytes read past what a call asked for wait in pending_.
class FdSimPort {
public:
    bool SendBytes(const ByteString& bytes, bool throttle, const FaultPlan& faults, std::mt19937& rng)
    {
        if (writeFd_ < 0) return false;
        if (faults.delayMs > 0) SleepMs(faults.delayMs);
        const ByteString out = ApplyFaults(bytes, faults, rng);
        if (!throttle) return WriteOut(out.data(), out.size());
        // Each byte leaves at its slot on the line clock, as a UART would send it.
        const auto start = Clock::now();
        for (std::size_t i = 0; i < out.size(); ++i) {
            std::this_thread::sleep_until(
                start + std::chrono::microseconds(static_cast<long long>(static_cast<double>(i) * 1e6 / LineBytesPerSecond)));
            if (!WriteOut(&out[i], 1)) return false;
        }
        return true;
    }

    ByteString Receive(std::size_t max, int timeoutMs)
    {
        if (pending_.empty()) Fill(linkio::DeadlineIn(timeoutMs));
        return Take(std::min(max, pending_.size()));
    }

    ByteString ReceiveExactly(std::size_t n, int timeoutMs)
    {
        const auto deadline = linkio::DeadlineIn(timeoutMs);
        while (pending_.size() < n && Fill(deadline)) {}
        return Take(std::min(n, pending_.size()));
    }

    ByteString ReceiveUntil(const ByteString& expected, int timeoutMs)
    {
        const auto deadline = linkio::DeadlineIn(timeoutMs);
        for (;;) {
            const auto at = expected.empty() ? 0 : pending_.find(expected);
            if (at != ByteString::npos) return Take(at + expected.size());
            if (!Fill(deadline)) return Take(pending_.size());
        }
    }

    void Drain()
    {
        pending_.clear();
        while (Fill(Clock::now())) pending_.clear();
    }

protected:
    void CloseFds()
    {
        if (readFd_ >= 0) ::close(readFd_);
        if (writeFd_ >= 0 && writeFd_ != readFd_) ::close(writeFd_);
        readFd_ = writeFd_ = -1;
        pending_.clear();
    }

    int readFd_ = -1;
    int writeFd_ = -1;

private:
    static ByteString ApplyFaults(const ByteString& bytes, const FaultPlan& faults, std::mt19937& rng)
    {
        if (faults.dropByte <= 0 && faults.corruptByte <= 0) return bytes;
        std::uniform_real_distribution<double> chance(0.0, 1.0);
        std::uniform_int_distribution<int> bit(0, 7);
        ByteString out;
        for (char c : bytes) {
            if (faults.dropByte > 0 && chance(rng) < faults.dropByte) continue;
            if (faults.corruptByte > 0 && chance(rng) < faults.corruptByte) c = static_cast<char>(c ^ (1 << bit(rng)));
            out.push_back(c);
        }
        return out;
    }

    bool WriteOut(const char* data, std::size_t n)
    {
        return linkio::WriteAll(writeFd_, data, n, -1, SendStallMs) == linkio::WriteOutcome::Complete;
    }

    // Reads what is there into pending_, waiting until deadline for the first byte.
    // False when nothing came (time-out, or the program's side is gone).
    bool Fill(Clock::time_point deadline)
    {
        if (readFd_ < 0) return false;
        for (;;) {
            const int re = linkio::PollUntil(readFd_, POLLIN, deadline);
            if (re <= 0 || !(re & POLLIN)) return false; // time-out or hang-up: no spinning
            char buf[4096];
            const ssize_t n = ::read(readFd_, buf, sizeof buf);
            if (n > 0) {
                pending_.append(buf, static_cast<std::size_t>(n));
                return true;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            return false;
        }
    }

    ByteString Take(std::size_t n)
    {
        ByteString out = pending_.substr(0, n);
        pending_.erase(0, n);
        return out;
    }

    ByteString pending_;
};

// Forwards the SimPort byte operations to the shared implementation.
template <class Base>
class FdPortBase : public Base, protected FdSimPort {
public:
    bool Send(const ByteString& bytes) override { return SendBytes(bytes, this->throttle_, this->faults_, this->rng_); }
    ByteString Receive(std::size_t max, int timeoutMs) override
    {
        if (this->paceRate_ <= 0) return FdSimPort::Receive(max, timeoutMs);
        const ByteString got = FdSimPort::Receive(this->PacedCount(max), timeoutMs);
        this->PacedTaken(got.size());
        return got;
    }
    ByteString ReceiveExactly(std::size_t n, int timeoutMs) override { return FdSimPort::ReceiveExactly(n, timeoutMs); }
    ByteString ReceiveUntil(const ByteString& expected, int timeoutMs) override
    {
        return FdSimPort::ReceiveUntil(expected, timeoutMs);
    }
    void Drain() override { FdSimPort::Drain(); }
};

class PtyPort : public FdPortBase<SimPort> {
public:
    PtyPort()
    {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0) Fail("posix_openpt");
        char name[256];
        if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0) {
            ::close(master);
            Fail("pseudo-terminal set-up");
        }
        slavePath_ = name;
        // The simulator keeps a slave descriptor of its own: the master then never
        // sees a hang-up while the program closes and reopens its side.
        holdFd_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        if (holdFd_ < 0) {
            ::close(master);
            Fail("open " + slavePath_);
        }
        SetRaw(holdFd_);
        SetRaw(master);
        linkio::SetNonBlocking(master, true);
        readFd_ = writeFd_ = master;
    }
    ~PtyPort() override { Hangup(); }

    std::string ProgramPortName() const override { return slavePath_; }
    bool IsUsb() const override { return false; }
    void Hangup() override
    {
        CloseFds();
        if (holdFd_ >= 0) ::close(holdFd_);
        holdFd_ = -1;
    }

private:
    std::string slavePath_;
    int holdFd_ = -1;
};

class UsbDevice : public FdPortBase<SimUsbDevice> {
public:
    explicit UsbDevice(std::string root) : root_(std::move(root)), folder_(root_ + "/" + UsbDeviceName)
    {
        MakeDeviceRoot(root_);
        Plug();
    }
    ~UsbDevice() override { Unplug(); }

    std::string ProgramPortName() const override { return UsbDeviceName; }
    bool IsUsb() const override { return true; }
    void Hangup() override { Unplug(); }
    std::string DeviceRoot() const override { return root_; }
    bool Plugged() const override { return readFd_ >= 0; }

    void Plug() override
    {
        if (Plugged()) return;
        if (::mkdir(folder_.c_str(), 0700) != 0 && errno != EEXIST) Fail("mkdir " + folder_);
        if (const std::string problem = PrivateEntryProblem(folder_); !problem.empty())
            throw std::runtime_error("calvyx-sim: " + problem);
        // The simulator opens both FIFOs for reading and writing: neither open waits
        // for the program, and neither pipe reports end-of-file while it is plugged.
        writeFd_ = MakeFifo(folder_ + "/PIPE0");
        readFd_ = MakeFifo(folder_ + "/PIPE1");
    }

    void Unplug() override
    {
        // Closing our ends is what the program notices: its read pipe reports
        // end-of-file (no writer left) and its writes fail (no reader left).
        CloseFds();
        ::unlink((folder_ + "/PIPE0").c_str());
        ::unlink((folder_ + "/PIPE1").c_str());
        ::rmdir(folder_.c_str());
    }

private:
    static int MakeFifo(const std::string& path)
    {
        ::unlink(path.c_str()); // a FIFO left by a simulator that did not unplug
        if (::mkfifo(path.c_str(), 0600) != 0) Fail("mkfifo " + path);
        const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) Fail("open " + path);
        return fd;
    }

    std::string root_;
    std::string folder_;
};

} // namespace

std::unique_ptr<SimPort> CreatePtyPort() { return std::make_unique<PtyPort>(); }

void MakeDeviceRoot(const std::string& root)
{
    std::error_code ec;
    std::string folder = root;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    const std::filesystem::path parent = std::filesystem::path(folder).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    if (ec) throw std::runtime_error("calvyx-sim: cannot create " + parent.string() + ": " + ec.message());
    if (const std::string problem = MakePrivateFolder(folder); !problem.empty())
        throw std::runtime_error("calvyx-sim: " + problem);
}

std::size_t SimPort::PacedCount(std::size_t n)
{
    // In slices of 10 ms worth of bytes: the program sees a steady rate, not bursts.
    const auto slice = std::min(n, static_cast<std::size_t>(std::max(1.0, paceRate_ / 100)));
    if (!paceStart_) {
        if (paceTaken_ > 0) paceStart_ = Clock::now();
        return slice;
    }
    const double dueSeconds = (paceTaken_ + static_cast<double>(slice)) / paceRate_;
    std::this_thread::sleep_until(*paceStart_ +
                                  std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(dueSeconds)));
    return slice;
}

std::unique_ptr<SimUsbDevice> CreateUsbDevice(const std::string& deviceRoot) { return std::make_unique<UsbDevice>(deviceRoot); }

} // namespace sim
