// SPDX-License-Identifier: GPL-3.0-or-later
// The serial backend of the link on Windows: a COM port opened for overlapped I/O at
// the calculator's settings. ReadFile never blocks (the port's time-outs make it return
// what the driver holds); the waits are WaitCommEvent(EV_RXCHAR) and the overlapped
// writes, each bounded by the call's limit and ended early by the link's cancel or stop
// event. The "wait for the first byte" time-out mode is avoided: some drivers (Wine's
// among them) wait its whole constant even when bytes are there.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>
#include <vector>

#include <windows.h>

#include "link/LinkBackend.h"
#include "link/LinkErrors.h"
#include "link/PortName.h"
#include "link/SerialBackend.h"
#include "link/SerialLine.h"
#include "link/SerialPortList.h"
#include "link/Trace.h"

namespace {

using Clock = std::chrono::steady_clock;

HANDLE AsHandle(int event) { return event == -1 ? nullptr : LongToHandle(event); }

std::string ErrorText(DWORD code) { return "Windows error " + std::to_string(code); }

// The errno a Windows error stands for, for LinkError's callers.
int ErrnoOf(DWORD code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EBUSY;
    case ERROR_OPERATION_ABORTED:
        return ECANCELED;
    default:
        return EIO;
    }
}

DWORD MsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<DWORD>(std::min<long long>(left, 1'000'000'000));
}

// An OVERLAPPED with its own manual-reset event.
struct Overlapped {
    OVERLAPPED ov{};
    Overlapped() { ov.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~Overlapped()
    {
        if (ov.hEvent) ::CloseHandle(ov.hEvent);
    }
    Overlapped(const Overlapped&) = delete;
    Overlapped& operator=(const Overlapped&) = delete;
    void Reset()
    {
        HANDLE event = ov.hEvent;
        ov = OVERLAPPED{};
        ov.hEvent = event;
        ::ResetEvent(event);
    }
};

class SerialBackend final : public LinkBackend {
public:
    SerialBackend(HANDLE port, int wakeEvent) : port_(port), wake_(AsHandle(wakeEvent)) {}
    ~SerialBackend() override
    {
        ::CancelIo(port_);
        ::CloseHandle(port_);
    }

    // The caller's limit after the time the bytes take on the line.
    std::size_t Read(unsigned char* buffer, std::size_t n, int timeoutMs, const std::atomic<bool>&) override
    {
        const long lineMs = static_cast<long>(n) * serialline::ReadMsPerByte;
        return ReadUnder(lineMs + std::max(timeoutMs, 0), buffer, n);
    }

    std::size_t ReadWithin(unsigned char* buffer, std::size_t n, int maxWaitMs, const std::atomic<bool>&) override
    {
        return ReadUnder(std::max(maxWaitMs, 0), buffer, n);
    }

    // The line's own write limit; a stop ends a write that waits for the driver.
    linkio::WriteOutcome Write(const char* data, std::size_t n, long, const WriteStop& stop) override
    {
        const long limitMs = static_cast<long>(n) * serialline::WriteMsPerByte + serialline::WriteConstantMs;
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limitMs);
        std::size_t sent = 0;
        while (sent < n) {
            write_.Reset();
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(n - sent, 1u << 20));
            DWORD done = 0;
            if (!::WriteFile(port_, data + sent, chunk, nullptr, &write_.ov) && ::GetLastError() != ERROR_IO_PENDING) {
                return Failed(::GetLastError(), "write");
            }
            HANDLE events[2] = {write_.ov.hEvent, AsHandle(stop.fd)};
            const DWORD count = events[1] ? 2 : 1;
            const DWORD r = ::WaitForMultipleObjects(count, events, FALSE, MsLeft(deadline));
            if (r != WAIT_OBJECT_0) {
                // Time-out or stop: what the driver took so far stays sent.
                ::CancelIo(port_);
                ::GetOverlappedResult(port_, &write_.ov, &done, TRUE);
                if (r == WAIT_OBJECT_0 + 1) {
                    errno = ECANCELED;
                    return linkio::WriteOutcome::Stopped;
                }
                if (r == WAIT_TIMEOUT) return linkio::WriteOutcome::TimedOut;
                return Failed(::GetLastError(), "write wait");
            }
            if (!::GetOverlappedResult(port_, &write_.ov, &done, FALSE)) return Failed(::GetLastError(), "write");
            if (done == 0) return linkio::WriteOutcome::TimedOut;
            sent += done;
        }
        return linkio::WriteOutcome::Complete;
    }

    DrainPlan Drain() const override { return {2, 6, 100}; }
    // Only the calculator's bytes: what the PC wrote last may still be on its way.
    void BeforeDrainRound() override { ::PurgeComm(port_, PURGE_RXCLEAR | PURGE_RXABORT); }

    // A removed adapter makes ClearCommError fail.
    bool StillAttached() const override
    {
        DWORD errors = 0;
        COMSTAT status{};
        return ::ClearCommError(port_, &errors, &status) != 0;
    }

private:
    linkio::WriteOutcome Failed(DWORD code, const char* what)
    {
        Trace(std::string(what) + " failed: " + ErrorText(code));
        errno = ErrnoOf(code);
        return linkio::WriteOutcome::Failed;
    }

    [[noreturn]] void Lost(const char* what)
    {
        const DWORD code = ::GetLastError();
        Trace(std::string("read failed (") + what + "): " + ErrorText(code));
        throw LinkError(LinkErrorKind::Lost, "", ErrnoOf(code));
    }

    // What the driver holds now, up to n bytes. The port's time-outs complete the read
    // at once; a driver that keeps it pending anyway is given at most waitMs (or until a
    // cancel) before the read is called off with what it got.
    std::size_t ReadHeld(unsigned char* buffer, std::size_t n, DWORD waitMs)
    {
        read_.Reset();
        DWORD got = 0;
        if (!::ReadFile(port_, buffer, static_cast<DWORD>(n), nullptr, &read_.ov)) {
            if (::GetLastError() != ERROR_IO_PENDING) Lost("ReadFile");
            HANDLE events[2] = {read_.ov.hEvent, wake_};
            if (::WaitForMultipleObjects(wake_ ? 2 : 1, events, FALSE, waitMs) != WAIT_OBJECT_0) ::CancelIo(port_);
        }
        if (!::GetOverlappedResult(port_, &read_.ov, &got, TRUE) && ::GetLastError() != ERROR_OPERATION_ABORTED) Lost("ReadFile");
        return got;
    }

    std::size_t InQueue()
    {
        DWORD errors = 0;
        COMSTAT status{};
        if (!::ClearCommError(port_, &errors, &status)) Lost("ClearCommError");
        return status.cbInQue;
    }

    // Reads until n bytes are in, limitMs passed or the link's cancel event is set.
    std::size_t ReadUnder(long limitMs, unsigned char* buffer, std::size_t n)
    {
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limitMs);
        std::size_t got = 0;
        for (;;) {
            got += ReadHeld(buffer + got, n - got, MsLeft(deadline));
            if (got >= n) return got;
            if (wake_ && ::WaitForSingleObject(wake_, 0) == WAIT_OBJECT_0) return got;
            const DWORD left = MsLeft(deadline);
            if (left == 0) return got;
            // The wait starts before the queue is looked at, so a byte that comes in
            // between is either in the queue or ends the wait.
            event_.Reset();
            DWORD mask = 0;
            bool pending = false;
            if (!::WaitCommEvent(port_, &mask, &event_.ov)) {
                if (::GetLastError() != ERROR_IO_PENDING) Lost("WaitCommEvent");
                pending = true;
            }
            if (pending && InQueue() == 0) {
                HANDLE events[2] = {event_.ov.hEvent, wake_};
                ::WaitForMultipleObjects(wake_ ? 2 : 1, events, FALSE, left);
            }
            if (pending) {
                DWORD ignored = 0;
                if (::WaitForSingleObject(event_.ov.hEvent, 0) != WAIT_OBJECT_0) ::CancelIo(port_);
                ::GetOverlappedResult(port_, &event_.ov, &ignored, TRUE);
            }
        }
    }

    HANDLE port_;
    HANDLE wake_;
    Overlapped read_;
    Overlapped write_;
    Overlapped event_;
};

LinkErrorKind OpenErrorKind(DWORD code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return LinkErrorKind::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        // A COM port is exclusive: another program has it open.
        return LinkErrorKind::Busy;
    default:
        return LinkErrorKind::OpenFailed;
    }
}

bool Configure(HANDLE port, int baud)
{
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(port, &dcb)) return false;
    dcb.BaudRate = static_cast<DWORD>(baud);
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    // The calculator's cable is powered from DTR and RTS.
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    if (!::SetCommState(port, &dcb)) return false;
    // A read returns what the driver holds at once; the waits are ours.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 0;
    if (!::SetCommTimeouts(port, &timeouts)) return false;
    if (!::SetCommMask(port, EV_RXCHAR)) return false;
    ::PurgeComm(port, PURGE_RXCLEAR | PURGE_TXCLEAR);
    return true;
}

} // namespace

std::unique_ptr<LinkBackend> OpenSerialBackend(const std::string& name, int baud, int wakeFd)
{
    const std::string path = SerialDevicePath(name);
    Trace("open " + path);
    HANDLE port =
        ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        Trace("Cannot open " + path + ": " + ErrorText(code));
        throw LinkError(OpenErrorKind(code), "", ErrnoOf(code));
    }
    Trace("configure " + path + " at " + std::to_string(baud) + " baud");
    if (!Configure(port, baud)) {
        const DWORD code = ::GetLastError();
        Trace("Cannot configure " + path + ": " + ErrorText(code));
        ::CloseHandle(port);
        throw LinkError(LinkErrorKind::OpenFailed, "", ErrnoOf(code));
    }
    return std::make_unique<SerialBackend>(port, wakeFd);
}

std::vector<std::string> ListSerialPorts()
{
    std::vector<std::string> ports;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS) return ports;
    for (DWORD i = 0;; ++i) {
        wchar_t valueName[256];
        DWORD nameLength = 256;
        wchar_t data[256];
        DWORD dataBytes = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        const LONG r = ::RegEnumValueW(key, i, valueName, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataBytes);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS || type != REG_SZ) continue;
        data[dataBytes / sizeof(wchar_t)] = L'\0';
        std::string port;
        for (const wchar_t* c = data; *c; ++c) port += *c < 128 ? static_cast<char>(*c) : '?';
        if (!port.empty()) ports.push_back(port);
    }
    ::RegCloseKey(key);
    // COM2 before COM10.
    std::sort(ports.begin(), ports.end(),
              [](const std::string& a, const std::string& b) { return a.size() != b.size() ? a.size() < b.size() : a < b; });
    return ports;
}
