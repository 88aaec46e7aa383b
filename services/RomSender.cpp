// SPDX-License-Identifier: GPL-3.0-or-later
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
#include "link/Trace.h"
#include "util/CalvyxError.h"
#include "util/MainThread.h"
#include "util/StringTable.h"
#include "util/Ticks.h"
#include "util/Utils.h"

namespace {

// Writes one chunk: a calculator with room takes it at once, otherwise the rest goes out
// as room appears, within the stall limit; a write error, a vanished calculator or a
// stall end the update (LinkError, worded for the user).
void WriteChunk(Link& link, const char* data, std::size_t size)
{
    try {
        link.WriteBlock(data, size, RomSender::StallLimitMs);
    } catch (const LinkError& e) {
        if (e.Kind() == LinkErrorKind::Stopped)
            throw LinkError(LinkErrorKind::Stopped, RomSender::RomLoadStoppedText, e.OsError());
        throw;
    }
}

// The ROM file's descriptor, closed when the read is over whatever happens.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Fd() const { return fd_; }

private:
    int fd_;
};

TransferEvent StageEvent(TransferStage stage)
{
    TransferEvent event;
    event.stage = stage;
    return event;
}

} // namespace

ByteString RomLengthPrefix(uint32_t size)
{
    ByteString prefix(4, '\0');
    for (int i = 0; i < 4; ++i) prefix[static_cast<std::size_t>(i)] = static_cast<char>((size >> (8 * i)) & 0xFF);
    return prefix;
}

void RomSender::Report(TransferEvent event)
{
    if (!events_) return;
    event.kind = TransferKind::RomLoad;
    event.file = FileName;
    events_(event);
}

RomStreamBuffer::RomStreamBuffer(std::size_t size) : size_(size)
{
    void* pages = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) throw std::bad_alloc();
    data_ = static_cast<char*>(pages);
}

RomStreamBuffer::~RomStreamBuffer() { ::munmap(data_, size_); }

RomSender::RomSender(LinkLease link, const std::string& fileName, TransferEventSink events, std::stop_token stop)
    : FileName(fileName), link_(std::move(link)), events_(std::move(events)), stop_(std::move(stop))
{
    // The lease is this sender's until it is destroyed, so the link is still there.
    onStop_.emplace(stop_, std::function<void()>([this] { link_->StopWrites(); }));
    start();
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
    TransferEvent end;
    end.stage = TransferStage::Ended;
    std::unique_ptr<RomStreamBuffer> stream;
    const uint32_t start = link_->Now();
    try {
        Report(StageEvent(TransferStage::Started));
        Report(StageEvent(TransferStage::Connecting));
        Trace(Str::ConnectingDots);
        stream = ReadRomStream(FileName);
        const auto total = static_cast<int64_t>(stream->size());
        end.total = total;
        WriteRomStream(*link_, *stream, [&](int64_t sent) {
            // A stop (the window closing, Ctrl-C) ends the stream between two chunks.
            if (stop_.stop_requested()) throw LinkError(LinkErrorKind::Stopped, RomLoadStoppedText);
            end.done = sent;
            TransferEvent progress = StageEvent(TransferStage::Progress);
            progress.done = sent;
            progress.total = total;
            progress.elapsedMs = link_->Now() - start;
            Report(progress);
        });
        Success = true;
    } catch (const LinkError& e) {
        ErrorText = e.what();
        end.outcome = e.Kind() == LinkErrorKind::Stopped ? TransferOutcome::Cancelled : TransferOutcome::Failed;
        end.reason = e.Kind() == LinkErrorKind::Stopped        ? TransferReason::UserCancelled
                     : e.Kind() == LinkErrorKind::WriteStalled ? TransferReason::NoAnswer
                                                               : TransferReason::LinkLost;
    } catch (const std::exception& e) {
        // The file: refused, or not readable.
        ErrorText = e.what();
        end.outcome = TransferOutcome::Failed;
        end.reason = TransferReason::CannotRead;
    }
    if (!Success) {
        end.detail = ErrorText;
        Trace("ROM update failed: " + ErrorText);
    }
    end.elapsedMs = link_->Now() - start;
    try {
        link_->Close();
    } catch (const std::exception& e) {
        Trace(std::string("closing the link: ") + e.what());
    }
    stream.reset();
    Report(end);
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
    const FileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Fd() < 0) {
        const int err = errno;
        RaiseError(FormatText(Str::UnableToOpenFile, fileName) + FormatText(Str::SystemErrorNumber, std::to_string(err)));
    }
    struct stat st {};
    // The length travels in 4 bytes: a larger file cannot be described to the calculator.
    if (::fstat(file.Fd(), &st) != 0 || st.st_size < 0 || st.st_size > std::numeric_limits<uint32_t>::max())
        RaiseError(FormatText(Str::CannotReadFromFile, fileName));
    const auto size = static_cast<std::size_t>(st.st_size);
    std::unique_ptr<RomStreamBuffer> stream;
    try {
        stream = std::make_unique<RomStreamBuffer>(size + 4);
    } catch (const std::bad_alloc&) {
        RaiseError(FormatText(Str::CannotReadFromFile, fileName));
    }
    std::size_t got = 0;
    while (got < size) {
        // At most 1 GiB a call: Windows counts a read's bytes in an unsigned int.
        const ssize_t n = ::read(file.Fd(), stream->data() + 4 + got,
                                 static_cast<unsigned>(std::min<std::size_t>(size - got, std::size_t{1} << 30)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // an error, or a file that shrank while being read
        got += static_cast<std::size_t>(n);
    }
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
