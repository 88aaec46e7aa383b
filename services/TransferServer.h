// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one object through which the programs use the calculator link: it owns the link
// and keeps it open on the chosen port, runs the Kermit server while the program waits
// for the calculator, runs the two transfers the PC starts itself (the wire receive and
// the ROM update) and reports short status texts for the status bar. Main thread only.
//
// The link is lent to one engine at a time (LinkLease): the Kermit server while it
// runs, a transfer of the server's own, or whoever asks LendLink (the screen capture).
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>

#include "link/Link.h"
#include "util/ByteString.h"
#include "util/HostInterfaces.h"
#include "util/ReplacementFile.h"
#include "util/TransferEvent.h"

class KermitServer;
class RomSender;

// What the server is doing with its port, as data for a status bar that words it
// itself: the state and the port or file it concerns.
enum class ServerState : uint8_t {
    Idle,            // nothing to say (the status bar is cleared)
    OpeningPort,     // "Opening port: PORT"
    OpeningComm,     // "Opening Comm PORT" (the ROM load opens its port itself)
    Connected,       // "Device connected on PORT"
    Copying,         // "Copying NAME": a ROM load runs
    ReceivingByWire, // "Receiving by wire"
};

struct ServerStatus {
    ServerState state = ServerState::Idle;
    std::string subject; // the port, or the name of what is copied
};

// The status in English, as calvyx-cli prints it and the trace keeps it.
std::string ServerStatusText(const ServerStatus& status);

class TransferServer {
public:
    // host: the windows and the status dialog the transfers report to (either may be
    // missing). Takes a status dialog of its own from the host for the ROM update.
    explicit TransferServer(TransferHost host = {});
    // Stops the Kermit server and closes the link.
    ~TransferServer();
    TransferServer(const TransferServer&) = delete;
    TransferServer& operator=(const TransferServer&) = delete;

    // The folder of the Kermit server: received files go there, requested ones come
    // from there.
    void SetFolder(const std::string& path);
    const std::string& Folder() const { return folder_; }
    // Where pushed files go instead, and the same-name rule: for the next Kermit server.
    void SetReceiveRules(ReceiveRules rules) { receiveRules_ = std::move(rules); }
    // SelectPort leaves the drain of the line it opens to the engine that takes the link
    // next, in that engine's thread, instead of draining before it returns.
    void SetDrainInEngine(bool inEngine) { drainInEngine_ = inEngine; }
    const ReceiveRules& Receiving() const { return receiveRules_; }
    void SetOnKermitActivity(std::function<void(KermitServer*)> handler);
    // Every event of the server's transfers, in the main thread, after the status dialog
    // has shown it (the log, the terminal).
    void SetOnTransferEvent(std::function<void(const TransferEvent&)> handler) { onTransferEvent_ = std::move(handler); }
    // Where the server's engines send their events (from any thread): each is shown on the
    // status dialog of its transfer and handed to the handler above in the main thread,
    // before the engine goes on.
    TransferEventSink EventSink();
    // The short status texts ("Device connected on ..."), for a status bar.
    void SetOnStatus(std::function<void(const std::string&)> handler) { onStatus_ = std::move(handler); }
    // The same status as data, for a status bar that words it in its own language;
    // called before the text handler.
    void SetOnServerStatus(std::function<void(const ServerStatus&)> handler) { onServerStatus_ = std::move(handler); }
    // The dialog the Kermit transfers and the wire receive report to (made after the
    // main window, so set once it exists).
    void SetStatusDialog(IStatusDialog* dialog);

    // Callers start it only when none runs. While a transfer of the server's own runs,
    // or the link is lent, it does nothing: someone else has the link.
    void StartKermitServer();
    void StopKermitServer();
    bool KermitServerRunning() const { return kermitServer_ != nullptr; }
    // The running Kermit server, or nullptr.
    KermitServer* Kermit() const { return kermitServer_.get(); }

    // Opens the named port unless it is open already on the same device (the letter case
    // of a device name does not matter); an empty name closes the link. Raises "Error(...)" when the port
    // cannot be opened.
    void SelectPort(const std::string& name);
    // Always reopens the port (the ROM update). False for "AUTO"; raises on failure.
    bool OpenPortDirect(const std::string& name);
    // UpperCasePortName of the selection; empty when none.
    const std::string& PortName() const { return portName_; }
    // The open port was a pseudo-terminal when it opened (IsPseudoTerminal): once it hangs
    // up it is let go for good, not opened again.
    bool PortIsPseudoTerminal() const { return portIsPseudoTerminal_; }

    // One object by wire; on success ReceivedData holds it, else ReceivedData is empty.
    bool ReceiveObject(const std::string& displayName, int expectedSize);
    // How long the receive waits for the calculator's first block (tests shorten it).
    void SetWireStartWait(int ms) { wireStartWaitMs_ = ms; }
    const ByteString& ReceivedData() const { return receivedData_; }
    void DiscardReceivedData() { receivedData_.clear(); }
    // Why the last ReceiveObject failed; empty after success or the user's own stop.
    const std::string& LastReceiveError() const { return lastReceiveError_; }
    // Cancels a running ReceiveObject the way its Cancel button does (the calculator is
    // told), stops a running SendRom (a chunk that waits for the calculator gives up),
    // or cancels the Kermit server's transfer in progress (the calculator hears an E, or
    // two CANs during an XModem send); nothing when none runs. Main thread only, like the transfers (their waits
    // serve events).
    void CancelTransfer();
    // The ROM update with the server's own status dialog; true when all was written.
    bool SendRom(const std::string& fileName);
    // Why the last SendRom failed (empty after success), for a caller that shows it.
    const std::string& LastRomError() const { return lastRomError_; }
    bool TransferRunning() const { return transferRunning_; }

    void ShowStatus(const ServerStatus& status);
    const std::string& StatusText() const { return statusText_; }
    const ServerStatus& Status() const { return status_; }

    // Lends the link to an engine of the caller's (the screen capture). Throws
    // std::logic_error while it is lent; stop the Kermit server first.
    // The line is drained first when its open left that owed.
    LinkLease LendLink();
    bool LinkOpen() const { return link_.IsOpen(); }
    // The link is open on a device that has gone away since (SelectPort reopens it).
    bool LinkDetached() const { return link_.IsOpen() && !link_.StillAttached(); }
    LinkKind LinkKindOpen() const { return link_.Kind(); }
    // The line's quiet clock (see Link::LastReceiveTime), for the presence re-check.
    uint32_t LastReceiveTime() const { return link_.LastReceiveTime(); }
    void RestartQuietClock(uint32_t tick) { link_.RestartQuietClock(tick); }

private:
    // reason: the LinkError's words for the user, or empty.
    [[noreturn]] void PortFailed(const std::string& nameAsPassed, const std::string& reason);
    // Does the drain the open of the link left owed (SelectPort), if any.
    void ClearOwedInput();
    // Main thread: shows an event on its dialog and passes it on.
    void DeliverEvent(const TransferEvent& event);

    // Declared first, destroyed last: every engine below gives its lease back first.
    Link link_;
    TransferHost host_;
    std::unique_ptr<IStatusDialog> romStatusDialog_;
    void SetRomStatusDialog(std::unique_ptr<IStatusDialog> dialog);
    std::unique_ptr<KermitServer> kermitServer_;
    std::function<void(KermitServer*)> onKermitActivity_;
    std::function<void(const std::string&)> onStatus_;
    std::function<void(const ServerStatus&)> onServerStatus_;
    std::function<void(const TransferEvent&)> onTransferEvent_;
    std::string folder_;
    ReceiveRules receiveRules_;
    bool drainInEngine_ = false;
    std::string portName_;
    bool portIsPseudoTerminal_ = false;
    std::string statusText_;
    ServerStatus status_;
    ByteString receivedData_;
    bool transferRunning_ = false;
    // The running transfer's cancel (CancelTransfer), made when it begins: a cancel
    // before its thread exists (its start serves events, where a window close can stop
    // it) is kept for it.
    std::stop_source transferStop_;
    std::string lastRomError_;
    std::string lastReceiveError_;
    int wireStartWaitMs_;
};
