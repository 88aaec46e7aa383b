// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The PC's Kermit server: a thread that runs while the PC is connected and nothing else
// uses the link. It reads a frame from the link, hands it to the dialogue
// (KermitProtocol), and goes on until it is stopped or the calculator pushes its screen.
// Every wait is the link's (its reads, Link::Pause), so it also runs on a line in memory.
// The transfers' events go to the sink given at construction, from this thread;
// OnActivity tells the owner (in the main thread) when a transfer starts and 4 s after it
// ended.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>

#include "kermit/FrameChannel.h"
#include "kermit/KermitProtocol.h"
#include "link/Link.h"
#include "util/MainThread.h"
#include "util/TransferEvent.h"

class QTimer;

class KermitServer : public WorkerThread {
    Q_OBJECT
public:
    // What the server is given besides the link.
    struct Setup {
        // Received files go there, requested ones come from there (no trailing separator).
        std::string folder;
        // Unless the rules name an inbox for received files; and the same-name rule.
        ReceiveRules receive;
        // The transfers' events, called in the server's thread.
        TransferEventSink events;
        // The file chooser of an XModem send (xmodem::FileChooser: title and initial
        // path in, the chosen path or nothing out), called in the server's thread.
        std::function<std::optional<std::string>(const std::string& title, const std::string& initialPath)> chooseFile;
        // The calculator pushes its screen (called in the server's thread, which then ends).
        std::function<void()> screenPushed;
    };

    // Starts the thread at once on the lent link. The lease goes back when the server is
    // destroyed.
    KermitServer(LinkLease link, Setup setup);
    // Stops the thread and waits for its end, serving its synchronised calls meanwhile.
    ~KermitServer() override;

    // Asks the thread to end: a read in progress gives up, the frame timer expires. On a
    // serial link the calculator then receives E "User cancel".
    void Stop();
    // Any thread: the user cancels the transfer in progress. At its next packet the
    // calculator hears E "Canceled by PC" and the transfer ends as UserCancelled; an
    // XModem send stops before its next block.
    void CancelTransfer();
    // Any thread: the folder of the next file.
    void SetFolder(const std::string& folder);
    std::string Folder() const;

    // Called in the main thread when Busy becomes true, and once 4000 ms after it became
    // false. The handler reads Busy.
    std::function<void(KermitServer*)> OnActivity;
    // A transfer is in progress.
    std::atomic<bool> Busy{false};

    static constexpr int IdleNotifyMs = 4000;
    static constexpr uint32_t StaleTransferMs = kermit::KermitProtocol::StaleTransferMs;
    static constexpr int MaxRetries = kermit::KermitProtocol::MaxRetries;
    static constexpr std::size_t MinSendData = kermit::KermitProtocol::MinSendData;
    // Before the first transfer only (tests shorten it).
    void SetStaleTransferLimit(uint32_t ms) { staleTransferMs_ = ms; }

protected:
    void Work() override;

private:
    class Actions;

    void Execute(kermit::KermitProtocol& protocol);
    void RequestStop();
    void OnIdleTimer();
    // Synchronised: OnActivity runs in the main thread before the engine goes on.
    void SetBusy(bool busy);
    void SendByXModem(uint8_t requestByte, const std::string& folder);

    std::stop_source stop_;
    std::atomic<bool> cancel_{false};
    mutable std::mutex folderMutex_;
    std::string folder_;
    std::atomic<bool> folderChanged_{false};
    std::atomic<uint32_t> staleTransferMs_{StaleTransferMs};
    std::mutex xmodemMutex_;
    std::stop_source* xmodemCancel_ = nullptr; // the user's cancel of the XModem send that runs

    QTimer* idleTimer_ = nullptr; // lives in the main thread
    LinkLease link_;
    Setup setup_;
    kermit::FrameChannel channel_;
};
