#pragma once
// The one object through which the main window uses the calculator link: it keeps the
// link open on the chosen port, runs the Kermit server while the program waits for the
// calculator, runs the two transfers the PC starts itself (the wire receive and the ROM
// update) and reports short status texts for the status bar. Main thread only.
#include <functional>
#include <memory>
#include <string>

#include "util/ByteString.h"

class IStatusDialog;
class KermitServer;

class TransferServer {
public:
    // Sender, Text, Kind, Done, Total, Reserved; the server passes zeros for the numbers.
    using StatusEvent = std::function<void(TransferServer*, const std::string&, int, int, int, int)>;

    // Resets the link record to closed and forgets any reader thread; takes a status
    // dialog of its own from the host for the ROM update.
    TransferServer();
    // Closes the link and stops the Kermit server.
    ~TransferServer();
    TransferServer(const TransferServer&) = delete;
    TransferServer& operator=(const TransferServer&) = delete;

    void SetFolder(const std::string& path);
    void SetOnKermitActivity(std::function<void(KermitServer*)> handler);
    // Callers start it only when none runs. While a transfer of the server's own runs it
    // does nothing: the transfer has the link.
    void StartKermitServer();
    void StopKermitServer();

    // Opens the named port unless it is open already (the letter case of a device name
    // does not matter); an empty name closes the link. Raises "Error(...)" when the port cannot be opened.
    void SelectPort(const std::string& name);
    // Always reopens the port (the ROM update). False for "AUTO"; raises on failure.
    bool OpenPortDirect(const std::string& name);
    // One object by wire; on success ReceivedData holds it, else ReceivedData is empty.
    bool ReceiveObject(const std::string& displayName, int expectedSize);
    // The ROM update with the server's own status dialog; true when all was written.
    bool DownloadROM(const std::string& fileName);
    void ShowStatus(const std::string& text);

    bool KermitServerRunning() const { return kermitServer_ != nullptr; }
    bool TransferRunning() const { return transferRunning_; }
    // Why the last DownloadROM failed (empty after success), for a caller that shows it.
    const std::string& LastRomError() const { return lastRomError_; }

    std::string StatusText;
    std::string Folder;
    std::function<void(KermitServer*)> OnKermitActivity;
    std::string PortName; // UpperCasePortName of the selection; empty when none
    StatusEvent OnStatus;
    std::unique_ptr<IStatusDialog> StatusDialog;
    std::unique_ptr<KermitServer> kermitServer_;
    ByteString ReceivedData;

private:
    [[noreturn]] void PortFailed(const std::string& nameAsPassed);

    bool transferRunning_ = false;
    std::string lastRomError_;
};
