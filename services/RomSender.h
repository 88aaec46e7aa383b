#pragma once
// The ROM update: a calculator waiting in its ROM-load mode takes a new operating system
// as one plain stream, the file's length (4 bytes, least significant first) and then the
// file, with no handshake and no acknowledgement. The sender writes it in chunks and
// closes the link.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include <QThread>

#include "link/PortLink.h"
#include "util/ByteString.h"

// A transfer thread that sends one file and reports through OnStatus in the main thread.
class TYModemTX : public QThread {
public:
    TYModemTX(const std::string& fileName, StatusSink onStatus);
    ~TYModemTX() override;

    // Runs OnStatus in the main thread and waits until it has run.
    void ReportStatus(const std::string& text, int kind, int done, int total, int reserved);

    const std::string FileName;
    const StatusSink OnStatus;

protected:
    void run() override { Execute(); }
    virtual void Execute() = 0;
    // Derived destructors call this first, so that Execute is never left running on a
    // half-destroyed object.
    void FinishThread();
};

// The stream held whole in memory, in pages of its own: a ROM is large, and the pages go
// back to the system as soon as the update is over.
class RomStreamBuffer {
public:
    explicit RomStreamBuffer(std::size_t size); // throws std::bad_alloc
    ~RomStreamBuffer();
    RomStreamBuffer(const RomStreamBuffer&) = delete;
    RomStreamBuffer& operator=(const RomStreamBuffer&) = delete;
    char* data() { return data_; }
    std::size_t size() const { return size_; }

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
};

class TSTX final : public TYModemTX {
public:
    // The shortest time between two progress reports. A report is a synchronised call
    // into the main thread, so one per chunk would let the dialog, not the link, set the
    // pace on a fast link (and flood the log); 0 reports before every chunk.
    static constexpr int DefaultProgressIntervalMs = 100;

    // Starts the thread at once. Needs an open link; leaves it closed in every case.
    TSTX(const std::string& fileName, StatusSink onStatus, int progressIntervalMs = DefaultProgressIntervalMs);
    ~TSTX() override;

    // True once the whole stream has been written. Read after the thread has ended.
    std::atomic<bool> Success{false};
    // Why the update failed (empty on success), for a caller that can show it.
    std::string ErrorText;

    const int ProgressIntervalMs;

    static constexpr std::size_t ChunkSize = 2048;
    // A calculator that takes no byte for this long is taken as gone.
    static constexpr int StallLimitMs = 30000;

protected:
    void Execute() override;

private:
    std::unique_ptr<RomStreamBuffer> ReadRomStream() const;
    void SendStream(RomStreamBuffer& stream);
};

// The 4-byte length prefix of the stream, least significant byte first.
ByteString RomLengthPrefix(uint32_t size);
