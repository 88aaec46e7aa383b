#include "services/RomSender.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <limits>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/LinkIo.h"
#include "util/GeneralError.h"
#include "util/MainThread.h"
#include "util/StringTable.h"
#include "util/Ticks.h"
#include "util/Utils.h"

namespace {

// Writes one chunk to the link's write handle: a short write is completed, a full pipe
// waited for, but a write error, a vanished calculator or a stall end the update.
void WriteChunk(int fd, const char* data, std::size_t size)
{
    switch (linkio::WriteAll(fd, data, size, -1, TSTX::StallLimitMs)) {
    case linkio::WriteOutcome::Complete:
        return;
    case linkio::WriteOutcome::TimedOut:
        throw CalvyxError("The calculator took no data for " + std::to_string(TSTX::StallLimitMs / 1000) + " s");
    case linkio::WriteOutcome::Failed:
        throw CalvyxError(std::string("Cannot write to the calculator: ") + std::strerror(errno));
    }
}

// A write to a pipe whose reader has gone must fail with EPIPE in this thread rather
// than end the whole program with SIGPIPE.
void BlockBrokenPipeSignal()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

} // namespace

ByteString RomLengthPrefix(uint32_t size)
{
    ByteString prefix(4, '\0');
    for (int i = 0; i < 4; ++i) prefix[i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    return prefix;
}

TYModemTX::TYModemTX(const std::string& fileName, StatusSink onStatus)
    : FileName(fileName), OnStatus(std::move(onStatus))
{
}

TYModemTX::~TYModemTX() { FinishThread(); }

void TYModemTX::FinishThread()
{
    WaitServingCalls(this);
    wait();
}

void TYModemTX::ReportStatus(const std::string& text, int kind, int done, int total, int reserved)
{
    RunInMainThread([&] {
        if (OnStatus) OnStatus(text, kind, done, total, reserved);
    });
}

TSTX::TSTX(const std::string& fileName, StatusSink onStatus) : TYModemTX(fileName, std::move(onStatus))
{
    start();
}

TSTX::~TSTX() { FinishThread(); }

void TSTX::Execute()
{
    Trace("begin to update");
    Success = false;
    bool failed = false;
    ByteString stream;
    try {
        ReportStatus(Str::ConnectingDots, 1, 0, 0, 0);
        Trace(Str::ConnectingDots);
        stream = ReadRomStream();
        SendStream(stream);
        Success = true;
    } catch (const std::exception& e) {
        failed = true;
        ErrorText = e.what();
        Trace("ROM update failed: " + ErrorText);
    }
    try {
        CloseLink();
    } catch (const std::exception& e) {
        Trace(std::string("closing the link: ") + e.what());
    }
    ByteString().swap(stream);
    // After a failure the dialog keeps its last text until the user closes it.
    if (!failed) ReportStatus("", 3, 0, 0, 0);
}

ByteString TSTX::ReadRomStream() const
{
    const int fd = OpenTrackedFile(FileSlot::Send, FileName, FileAccess::Read);
    if (fd < 0) {
        const int err = errno;
        RaiseError(FormatText(Str::UnableToOpenFile, FileName) + FormatText(Str::WinErr, std::to_string(err)));
    }
    struct stat st {};
    // The length travels in 4 bytes: a larger file cannot be described to the calculator.
    if (::fstat(fd, &st) != 0 || st.st_size < 0 || st.st_size > std::numeric_limits<uint32_t>::max()) {
        CloseTrackedFile(FileSlot::Send);
        RaiseError(FormatText(Str::CannotReadFromFile, FileName));
    }
    const auto size = static_cast<std::size_t>(st.st_size);
    ByteString stream(size + 4, '\0');
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, stream.data() + 4 + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // an error, or a file that shrank while being read
        got += static_cast<std::size_t>(n);
    }
    CloseTrackedFile(FileSlot::Send);
    if (got < size) RaiseError(FormatText(Str::CannotReadFromFile, FileName));
    stream.replace(0, 4, RomLengthPrefix(static_cast<uint32_t>(size)));
    return stream;
}

void TSTX::SendStream(const ByteString& stream)
{
    BlockBrokenPipeSignal();
    const int fd = PortLink.WriteHandle;
    const auto total = static_cast<int64_t>(stream.size());
    const StatusSink progress = [this](const std::string& text, int kind, int done, int tot, int reserved) {
        ReportStatus(text, kind, done, tot, reserved);
    };
    const uint32_t start = Now();
    int64_t sent = 0;
    do {
        ReportProgress(sent, total, start, progress);
        const auto chunk = static_cast<std::size_t>(std::min<int64_t>(total - sent, ChunkSize));
        WriteChunk(fd, stream.data() + sent, chunk);
        sent += static_cast<int64_t>(chunk);
    } while (sent < total);
    ReportProgress(sent, total, start, progress);
}
