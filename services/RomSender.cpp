#include "services/RomSender.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <limits>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/LinkErrors.h"
#include "link/Progress.h"
#include "link/Trace.h"
#include "util/CalvyxError.h"
#include "util/MainThread.h"
#include "util/StringTable.h"
#include "util/Ticks.h"
#include "util/Utils.h"

namespace {

[[noreturn]] void WriteFailed(int err)
{
    throw CalvyxError(std::string("Cannot write to the calculator: ") + std::strerror(err));
}

// Writes one chunk: a calculator with room takes it at once, otherwise the rest goes out
// as room appears, within the stall limit; a write error or a vanished calculator end
// the update.
void WriteChunk(Link& link, const char* data, std::size_t size)
{
    switch (link.WriteBlock(data, size, RomSender::StallLimitMs)) {
    case linkio::WriteOutcome::Complete:
        return;
    case linkio::WriteOutcome::TimedOut:
        throw CalvyxError("The calculator took no data for " + std::to_string(RomSender::StallLimitMs / 1000) + " s");
    case linkio::WriteOutcome::Failed:
        WriteFailed(errno);
    case linkio::WriteOutcome::Stopped:
        throw CalvyxError(RomSender::RomLoadStoppedText);
    }
}

} // namespace

ByteString RomLengthPrefix(uint32_t size)
{
    ByteString prefix(4, '\0');
    for (int i = 0; i < 4; ++i) prefix[static_cast<std::size_t>(i)] = static_cast<char>((size >> (8 * i)) & 0xFF);
    return prefix;
}

void RomSender::ReportStatus(const StatusReport& report)
{
    RunInMainThread([&] {
        if (OnStatus) OnStatus(report);
    });
}

RomStreamBuffer::RomStreamBuffer(std::size_t size) : size_(size)
{
    void* pages = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) throw std::bad_alloc();
    data_ = static_cast<char*>(pages);
}

RomStreamBuffer::~RomStreamBuffer() { ::munmap(data_, size_); }

RomSender::RomSender(LinkLease link, const std::string& fileName, StatusSink onStatus)
    : FileName(fileName), OnStatus(std::move(onStatus)), link_(std::move(link))
{
    start();
}

void RomSender::Stop()
{
    requestInterruption();
    // The lease is this sender's until it is destroyed, so the link is still there.
    link_->StopWrites();
}

RomSender::~RomSender()
{
    WaitServingCalls(this);
    wait();
}

void RomSender::Work()
{
    Trace("begin to update");
    Success = false;
    bool failed = false;
    std::unique_ptr<RomStreamBuffer> stream;
    try {
        ReportStatus(StatusReport::Connecting(Str::ConnectingDots));
        Trace(Str::ConnectingDots);
        stream = ReadRomStream(FileName);
        const auto total = static_cast<int64_t>(stream->size());
        const StatusSink progress = [this](const StatusReport& report) { ReportStatus(report); };
        const uint32_t start = Now();
        WriteRomStream(*link_, *stream, [&](int64_t sent) {
            // A stop (the window closing, Ctrl-C) ends the stream between two chunks.
            if (isInterruptionRequested()) throw CalvyxError(RomLoadStoppedText);
            ReportProgress(sent, total, start, progress);
        });
        Success = true;
    } catch (const std::exception& e) {
        failed = true;
        ErrorText = e.what();
        Trace("ROM update failed: " + ErrorText);
    }
    try {
        link_->Close();
    } catch (const std::exception& e) {
        Trace(std::string("closing the link: ") + e.what());
    }
    stream.reset();
    // After a failure the dialog keeps its last text until the user closes it.
    if (!failed) ReportStatus(StatusReport::Finished());
}

std::optional<std::string> RomFileProblem(const std::string& fileName)
{
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return FormatText(Str::UnableToOpenFile, fileName) + FormatText(Str::SystemErrorNumber, std::to_string(errno));
    struct stat st {};
    const bool known = ::fstat(fd, &st) == 0;
    ::close(fd);
    if (!known) return FormatText(Str::CannotReadFromFile, fileName);
    if (S_ISDIR(st.st_mode)) return fileName + " is a folder, not a ROM file";
    if (!S_ISREG(st.st_mode)) return fileName + " is not a regular file: its size cannot be announced to the calculator";
    if (st.st_size == 0) return fileName + " is empty";
    if (st.st_size > std::numeric_limits<uint32_t>::max()) return fileName + " is too large for the calculator";
    return std::nullopt;
}

std::unique_ptr<RomStreamBuffer> ReadRomStream(const std::string& fileName)
{
    // Refused before anything is read or sent.
    if (const auto problem = RomFileProblem(fileName)) throw CalvyxError(std::string(Str::Error) + "(" + *problem + ")");
    const int fd = OpenTrackedFile(FileSlot::Send, fileName, FileAccess::Read);
    if (fd < 0) {
        const int err = errno;
        RaiseError(FormatText(Str::UnableToOpenFile, fileName) + FormatText(Str::SystemErrorNumber, std::to_string(err)));
    }
    struct stat st {};
    // The length travels in 4 bytes: a larger file cannot be described to the calculator.
    if (::fstat(fd, &st) != 0 || st.st_size < 0 || st.st_size > std::numeric_limits<uint32_t>::max()) {
        CloseTrackedFile(FileSlot::Send);
        RaiseError(FormatText(Str::CannotReadFromFile, fileName));
    }
    const auto size = static_cast<std::size_t>(st.st_size);
    std::unique_ptr<RomStreamBuffer> stream;
    try {
        stream = std::make_unique<RomStreamBuffer>(size + 4);
    } catch (const std::bad_alloc&) {
        CloseTrackedFile(FileSlot::Send);
        RaiseError(FormatText(Str::CannotReadFromFile, fileName));
    }
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, stream->data() + 4 + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // an error, or a file that shrank while being read
        got += static_cast<std::size_t>(n);
    }
    CloseTrackedFile(FileSlot::Send);
    if (got < size) RaiseError(FormatText(Str::CannotReadFromFile, fileName));
    RomLengthPrefix(static_cast<uint32_t>(size)).copy(stream->data(), 4);
    return stream;
}

void WriteRomStream(Link& link, const RomStreamBuffer& stream, const std::function<void(int64_t sent)>& beforeChunk)
{
    const auto total = static_cast<int64_t>(stream.size());
    int64_t sent = 0;
    do {
        if (beforeChunk) beforeChunk(sent);
        const auto chunk = static_cast<std::size_t>(std::min<int64_t>(total - sent, RomSender::ChunkSize));
        WriteChunk(link, stream.data() + sent, chunk);
        sent += static_cast<int64_t>(chunk);
    } while (sent < total);
    if (beforeChunk) beforeChunk(sent);
}
