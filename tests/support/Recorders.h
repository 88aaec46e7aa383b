// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test stand-ins for the windows: a status dialog and a host that record what the
// transfers asked of them, in order, and can be scripted (cancel, choose a file).
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "util/HostInterfaces.h"

class RecordingStatusDialog : public IStatusDialog {
public:
    void OpenStatus(const std::string& caption, bool cancelShown) override;
    void UpdateStatus(const StatusReport& report) override;
    void HideStatus() override { visible_ = false; }
    bool IsStatusVisible() const override { return visible_; }

    // The user presses Cancel: the dialog closes and tells its owner.
    void Cancel()
    {
        visible_ = false;
        if (OnCancel) OnCancel();
    }
    // Called (main thread) after every shown report; a test may cancel from here.
    std::function<void(const StatusReport&)> onReport;

    std::vector<std::string> Captions() const;
    std::vector<StatusReport> Reports() const;
    // The lines the log window would have received (every shown text).
    std::vector<std::string> LogLines() const;

private:
    mutable std::mutex mutex_;
    std::atomic<bool> visible_{false};
    std::vector<std::string> captions_;
    std::vector<StatusReport> reports_;
};

class RecordingHost : public IHostWindows {
public:
    void RequestScreenCapture() override { ++captureRequests; }
    void SetTransferBusy(bool busy) override { busyChanges.push_back(busy); }
    bool InstructionsVisible() override { return instructionsVisible; }
    void ShowMessage(const std::string& text, const std::string& caption) override { messages.push_back({caption, text}); }
    std::optional<std::string> ChooseFileToSend(const std::string& title, const std::string& initialPath) override;
    std::unique_ptr<IStatusDialog> CreateStatusDialog() override;

    std::atomic<int> captureRequests{0};
    std::vector<bool> busyChanges;
    bool instructionsVisible = false;
    std::vector<std::pair<std::string, std::string>> messages; // caption, text
    // What ChooseFileToSend answers; nothing means the user declined.
    std::optional<std::string> fileToSend;
    std::vector<std::pair<std::string, std::string>> chooserCalls; // title, initial path
    // Dialogs handed out by CreateStatusDialog (owned by the caller).
    std::vector<RecordingStatusDialog*> createdDialogs;
};

// A recording dialog and host, handed to what is tested.
struct RecordingWindows {
    TransferHost Host() { return {&host, &dialog}; }
    RecordingStatusDialog dialog;
    RecordingHost host;
};
