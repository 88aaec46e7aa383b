#pragma once
// The one connection to the calculator: a serial port (termios) or the calculator's
// USB pipe device (a read pipe PIPE0 and a write pipe PIPE1). One global record, used
// by one thread at a time; the transfer server guarantees that.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "util/ByteString.h"

enum class LinkKind : uint8_t { Serial = 0, Usb = 1 };

// The calculator's USB device name; a port name containing it opens the pipe device.
inline constexpr const char* UsbDeviceName = "QVxT0+";
inline constexpr const char* UsbDeviceNameUpper = "QVXT0+";
inline constexpr int LinkBaud = 9600;
inline constexpr int UsbChunkSize = 64;

// On USB the write handle is in blocking mode, so a plain write() of a block (the ROM
// load) completes or fails; WriteLink bounds its own waits.
struct PortLinkRecord {
    int ReadHandle = -1;  // file descriptor; -1 when closed
    int WriteHandle = -1; // the same descriptor as ReadHandle on a serial port
    LinkKind Kind = LinkKind::Serial;
    uint8_t RxBuffer[UsbChunkSize] = {};
    uint32_t RxCount = 0;
    uint32_t RxNext = 1; // 1-based; the buffer is exhausted when RxNext > RxCount
    uint32_t IdleSince = 0;
};
extern PortLinkRecord PortLink;

// Settle delays chosen when the link opens.
struct TimingProfileValues {
    int ReceiveSettleDelay;
    int CancelSettleDelay;
};
inline constexpr TimingProfileValues SerialSlowProfile{100, 1000}; // serial, baud <= 9600
inline constexpr TimingProfileValues SerialFastProfile{50, 100};   // serial, baud > 9600
inline constexpr TimingProfileValues UsbProfile{50, 100};
extern TimingProfileValues TimingProfile; // the current one
// The profile OpenLink chooses: USB whatever the baud; serial by baud (above 9600 fast).
TimingProfileValues SelectTimingProfile(LinkKind kind, int baud);

// Time of the last read that returned at least one byte (tick ms). Read by the polling.
extern std::atomic<uint32_t> LastReceiveTime;

// Resets the record to the closed state without closing anything (transfer server start).
void ResetPortLink();
bool LinkIsOpen();

void OpenLink(const std::string& name, int baud);
void CloseLink();
void WriteLink(const ByteString& bytes);
// Reads up to buffer.size() bytes; returns the count; the rest of buffer is zeroed.
int ReadLink(ByteString& buffer, int timeoutMs);
void ClearInput();
void SetShortTimeouts();
void SetLongTimeouts();
void Delay(int ms);

// Where the USB pipe device lives: $CALVYX_DEVICE_ROOT/<name>/PIPE0 and PIPE1. Without
// the variable: $XDG_RUNTIME_DIR/calvyx, or /tmp/calvyx-<uid> when there is no session
// folder. The device folder is found whatever the case of its name.
std::string DeviceRoot();
std::string UsbPipePath(const std::string& name, int pipe);
// True when name (upper case) names the USB pipe device.
bool IsUsbName(const std::string& name);
// The name to open for a connection name as the user gave it: upper-cased like the
// device names ("qvxt0+" -> "QVXT0+", "com2" -> "COM2"), except a device path (it holds
// a '/'), whose letter case matters on this platform.
std::string UpperCasePortName(const std::string& name);
// "COMn" -> /dev/ttyS(n-1); any other serial name unchanged.
std::string SerialDevicePath(const std::string& name);
// Presence probe of the pipe device (the device polling): its folder exists and opens.
bool UsbDevicePresent(const std::string& name);

// The single failure path of the link: closes the tracked files, raises CalvyxError("").
[[noreturn]] void SeriousError();
// Raises CalvyxError("Error(" + detail + ")").
[[noreturn]] void RaiseError(const std::string& detail);

// Files a transfer holds open, closed by SeriousError.
enum class FileSlot { Send, Receive };
enum class FileAccess { Read, Write };
// Returns a descriptor, or -1 with errno kept when the open failed (slot emptied).
int OpenTrackedFile(FileSlot slot, const std::string& path, FileAccess access);
void CloseTrackedFile(FileSlot slot);
int TrackedFile(FileSlot slot);

// The status sink of the transfers: (Text, Kind, Done, Total, Reserved).
using StatusSink = std::function<void(const std::string&, int, int, int, int)>;
// The three-line progress text, handed to sink with kind 2. Nothing when total <= 0.
std::string ProgressText(int64_t done, int64_t total, uint32_t elapsedMs);
void ReportProgress(int64_t done, int64_t total, uint32_t startTick, const StatusSink& sink);

// The diagnostic trace: takes its arguments and discards them, unless a test or a
// diagnostic build installs a sink.
void Trace(const std::string& text);
void TraceFrame(const std::string& text, const ByteString& data);
using TraceSink = std::function<void(const std::string&)>;
void SetTraceSink(TraceSink sink);
