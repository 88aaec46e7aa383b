// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One calculator, served: the session owns the link to it (through its TransferServer),
// keeps it open on the chosen port, follows the device (gone, back, unplugged and
// replugged, a pseudo-terminal that hung up), runs the Kermit server whenever nothing
// else has the link, and reports all of it, and every transfer, as SessionEvents.
// Several sessions may live in one process, each on its own port. Main thread only.
//
// Nothing above the session opens, closes or polls the link: the wire receive, the ROM
// load and the screen reads are the session's operations, and an engine of the caller's
// borrows the link with BorrowLink; the session serves again when it is given back.
#include <QObject>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "link/Link.h"
#include "services/ScreenReader.h"
#include "services/SessionEvent.h"
#include "services/TransferServer.h"
#include "util/HostInterfaces.h"

// How a session looks after its device.
struct SessionSupervision {
    // Between two looks at the device (no I/O to it).
    int checkEveryMs = 300;
    // An open link on which the calculator was heard within this time is taken as
    // present without a look (0: looked at every time).
    uint32_t quietRecheckMs = 0;
    // Whether the Kermit server answers the calculator while nothing else has the link
    // (a one-shot command that only receives or loads a ROM wants none).
    bool kermitServer = true;
    // Whether the device is looked after at all (a one-shot command ends instead).
    bool followDevice = true;
    // Whether the line opened is drained by its Kermit server as it starts, in the
    // server's thread, rather than before the open returns: a class opens many lines
    // at once. A calculator alone keeps the drain in the open, so that what it sends
    // once the session is connected reaches the server.
    bool drainInServer = false;
};

class CalculatorSession : public QObject {
    Q_OBJECT
public:
    // host: the front end's windows and status dialog (either may be missing).
    explicit CalculatorSession(TransferHost host = {}, SessionSupervision supervision = {}, QObject* parent = nullptr);
    // Stops the Kermit server (a serial calculator hears "User cancel") and closes the link.
    ~CalculatorSession() override;
    CalculatorSession(const CalculatorSession&) = delete;
    CalculatorSession& operator=(const CalculatorSession&) = delete;

    // Opens port and serves it from now on (an empty name lets the link go). Raises
    // CalvyxError ("Error(...)") when it cannot be opened; the session still follows the
    // port then and opens it when it can.
    void Connect(const std::string& port);
    // Follows port from now on without opening it at once: the next look at the device
    // opens it when it is there (what a program does at start, before any window shows).
    void Follow(const std::string& port);
    // Lets the port go; nothing is served until Connect.
    void Disconnect();
    // The port chosen (upper-case), empty when none.
    const std::string& Port() const { return port_; }
    // The link is open on the chosen port (not lost, not hung up).
    bool Connected() const;
    // The chosen pseudo-terminal hung up and stays closed until it is chosen again.
    bool HungUp() const { return hungUp_; }

    void SetFolder(const std::string& path) { transfers_->SetFolder(path); }
    const std::string& Folder() const { return transfers_->Folder(); }

    // The transfers the PC starts itself (the wire receive, the ROM load) and the
    // Kermit server's state. Their link handling is the session's.
    TransferServer& Transfers() { return *transfers_; }
    const TransferServer& Transfers() const { return *transfers_; }

    // The operations below run under a hold of the caller's (HoldLink) or take one of
    // their own; they throw std::logic_error while a transfer runs or the link is lent.
    //
    // The wire receive of one object on the chosen port (opened first when it is closed;
    // raises CalvyxError when it cannot be), with the Kermit server off the link
    // meanwhile. False without a port, or when nothing whole arrived (see
    // TransferServer::ReceiveObject). The server serves again at the hold's end.
    bool ReceiveObject(const std::string& displayName, int expectedSize);
    // The ROM load, in two steps: port is opened afresh for it, with the Kermit server
    // off the link (false for "AUTO"; raises when the port cannot be opened), and becomes
    // the session's port when it has none; then the load itself, true when all was
    // written. The link is closed afterwards (the calculator restarts): a session that
    // follows its device opens its port again at the hold's end, or at the next look when
    // it is not back yet. See TransferServer::OpenPortDirect and SendRom.
    bool OpenForRom(const std::string& port);
    bool SendRom(const std::string& fileName);
    // A reader of the calculator's pushed screens on the chosen port, for a thread of the
    // caller's (the capture window's, calvyx-cli's), under a hold of the caller's that
    // outlives the reader: the reader opens the link for each screen and leaves it
    // closed, and the hold's end opens it again for the Kermit server. Null without a
    // port.
    std::unique_ptr<ScreenReader> LendScreenReader();
    // Whether the chosen device is there to be read: a USB calculator is looked for on
    // its bus; any other port counts as there unless its open link lost its device.
    bool DevicePresent() const;
    // Cancels a running receive or ROM load (TransferServer::CancelTransfer).
    void CancelTransfer() { transfers_->CancelTransfer(); }

    // The link, lent to an engine of the caller's (the screen capture) while the loan
    // lives: the Kermit server is stopped first. When the loan ends, the session takes
    // the link back (reopening it if the engine closed it) and serves again.
    class LinkLoan {
    public:
        ~LinkLoan();
        LinkLoan(const LinkLoan&) = delete;
        LinkLoan& operator=(const LinkLoan&) = delete;
        // The link (a loan from BorrowLink only).
        Link& operator*() const { return **lease_; }
        Link* operator->() const { return &**lease_; }

    private:
        friend class CalculatorSession;
        LinkLoan(CalculatorSession& session, std::optional<LinkLease> lease);
        CalculatorSession& session_;
        std::optional<LinkLease> lease_;
    };
    // Throws std::logic_error while a transfer or another loan has the link.
    std::unique_ptr<LinkLoan> BorrowLink();
    // The link kept off the Kermit server and the device checks while the hold lives,
    // for a command of the front end's own that runs its transfers through Transfers()
    // (the wire receive after its instructions, the ROM load, the capture window, whose
    // reader leases the link for each read). Holds nest; the last one's end serves again.
    std::unique_ptr<LinkLoan> HoldLink();
    bool LinkBorrowed() const { return loans_ > 0; }

    // Looks after the device once now (the timer does it every checkEveryMs).
    void CheckDevice();

signals:
    // Every event of the session, in the main thread, in the order things happened.
    void Event(const SessionEvent& event);

private:
    // Forwards the front end's host and notes the calculator's requests.
    class SessionHost;

    void Emit(const SessionEvent& event);
    void EmitLink(LinkEvent::Change change, std::string detail = {});
    // The link is the session's to serve: no transfer of its own runs, nothing is lent
    // or held.
    bool LinkFree() const;
    // A transfer of the session's may start: none runs and the link is not lent (a hold
    // is no obstacle: it is taken for exactly this).
    void RequireLinkForTransfer() const;
    // Opens the chosen port; false (said once per reason) when it cannot be opened yet.
    bool TryOpen();
    void LetGo();
    void Serve();
    void KermitServerEnded();
    void LoanEnded();

    std::unique_ptr<SessionHost> host_;
    std::unique_ptr<TransferServer> transfers_;
    SessionSupervision supervision_;
    QTimer check_;
    std::string port_;
    std::string givenPort_; // as the caller spelled it: errors name it so
    bool hungUp_ = false;
    bool lost_ = false;          // Lost was said and Back has not followed yet
    std::string unavailableWhy_; // what Unavailable said last, said again only when it changes
    int loans_ = 0;              // holds and loans alive
    int leases_ = 0;             // loans that lend the link itself (BorrowLink)
    uint64_t serverSerial_ = 0;  // of the Kermit server started last
    bool inCheck_ = false;
    bool destroying_ = false;
};

Q_DECLARE_METATYPE(SessionEvent)
