// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The windows of calvyx-cli: a status "dialog" that prints every text it is shown as a
// line on stdout (progress as a bar on a terminal, a line every two seconds otherwise),
// and a host that answers the transfers' questions from the command line. Transfer
// events reach the dialog in English (it leaves ShowTransfer to ShowOnStatusDialog,
// util/TransferText), so the lines scripts read are the same for every engine.
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "util/HostInterfaces.h"

class StopSignal;

namespace cli {

class TerminalStatusDialog : public IStatusDialog {
public:
    // prefix: put before every line (a calculator's "[label] " when a class is served;
    // then no progress bar either, the lines of several calculators mix).
    explicit TerminalStatusDialog(std::string prefix = {});
    void OpenStatus(const std::string& caption, bool cancelShown) override;
    void UpdateStatus(const StatusReport& report) override;
    void HideStatus() override;
    bool IsStatusVisible() const override { return visible_; }

private:
    void EndBar();
    void Print(const std::string& line) const;
    std::string prefix_;
    std::atomic<bool> visible_{false};
    bool tty_ = false;
    bool barShown_ = false;
    uint32_t lastProgressLine_ = 0;
    bool anyProgressLine_ = false;
};

class TerminalHost : public IHostWindows {
public:
    // The file an XModem request is answered with. Without one the question goes to the
    // terminal when standard input is one (a name in the folder or a path; an empty line,
    // end of input or Ctrl-C declines), and is declined otherwise.
    std::optional<std::string> xmodemFile;
    // A question on the terminal also ends when this is raised (Ctrl-C).
    const StopSignal* stopSignal = nullptr;
    // Before every line this host and its status dialogs print.
    std::string prefix;
    std::atomic<int> captureRequests{0};

    void RequestScreenCapture() override { ++captureRequests; }
    void SetTransferBusy(bool) override {}
    bool InstructionsVisible() override { return false; }
    void ShowMessage(const std::string& text, const std::string& caption) override;
    std::optional<std::string> ChooseFileToSend(const std::string& title, const std::string& initialPath) override;
    std::unique_ptr<IStatusDialog> CreateStatusDialog() override;
};

// One line on stdout, flushed (scripts read it as it comes).
void PrintLine(const std::string& line);
// A text of several lines as one: each line break, with the blanks around it, becomes
// one space. The progress text "2048/4096 bytes\r\n(50%)\r\n1023 bytes/s" prints as
// "2048/4096 bytes (50%) 1023 bytes/s", the ROM error "file \r\nNAME\r\nfailed." as
// "file NAME failed.".
std::string OneLine(const std::string& text);
// The terminal's dialog and host, handed to the transfer server.
struct TerminalWindows {
    TerminalWindows() = default;
    // A class's calculator: every line it prints starts with prefix.
    explicit TerminalWindows(const std::string& prefix) : dialog(prefix) { host.prefix = prefix; }
    TransferHost Host() { return {&host, &dialog}; }
    TerminalStatusDialog dialog;
    TerminalHost host;
};

} // namespace cli
