#pragma once
// The ROM update: a calculator waiting in its ROM-load mode takes a new operating system
// as one plain stream, the file's length (4 bytes, least significant first) and then the
// file, with no handshake and no acknowledgement. The sender writes it in chunks and
// closes the link.
#include <atomic>
#include <cstddef>
#include <cstdint>
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

class TSTX final : public TYModemTX {
public:
    // Starts the thread at once. Needs an open link; leaves it closed in every case.
    TSTX(const std::string& fileName, StatusSink onStatus);
    ~TSTX() override;

    // True once the whole stream has been written. Read after the thread has ended.
    std::atomic<bool> Success{false};
    // Why the update failed (empty on success), for a caller that can show it.
    std::string ErrorText;

    static constexpr std::size_t ChunkSize = 2048;
    // A calculator that takes no byte for this long is taken as gone.
    static constexpr int StallLimitMs = 30000;

protected:
    void Execute() override;

private:
    ByteString ReadRomStream() const;
    void SendStream(const ByteString& stream);
};

// The 4-byte length prefix of the stream, least significant byte first.
ByteString RomLengthPrefix(uint32_t size);
