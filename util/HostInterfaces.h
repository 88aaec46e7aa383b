// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the transfers need of the windows, declared by the core and implemented by the
// GUI (the real windows), calvyx-cli (a terminal) and the tests (recorders). Every
// method except IsStatusVisible and RequestScreenCapture runs in the main thread:
// workers call them through RunInMainThread.
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "util/TransferEvent.h"

// What a transfer tells its status dialog.
enum class StatusKind {
    Notice,     // a text only
    Connecting, // a text only, at the start of a transfer
    Progress,   // a text with done of total
    Finished,   // the transfer ended well: the dialog closes
};

struct StatusReport {
    std::string text;
    StatusKind kind = StatusKind::Notice;
    int done = 0;
    int total = 0;

    static StatusReport Notice(std::string text) { return {std::move(text), StatusKind::Notice, 0, 0}; }
    static StatusReport Connecting(std::string text) { return {std::move(text), StatusKind::Connecting, 0, 0}; }
    static StatusReport Progress(std::string text, int done, int total)
    {
        return {std::move(text), StatusKind::Progress, done, total};
    }
    static StatusReport Finished() { return {{}, StatusKind::Finished, 0, 0}; }
};

// The transfer status dialog: a title, one text, a progress bar and Cancel. Closing it
// is how the user cancels a Kermit transfer or a wire receive.
class IStatusDialog {
public:
    virtual ~IStatusDialog() = default;
    virtual void OpenStatus(const std::string& caption, bool cancelShown) = 0;
    virtual void UpdateStatus(const StatusReport& report) = 0;
    // Makes the dialog invisible without a Finished report (after a failed transfer).
    virtual void HideStatus() = 0;
    // Any thread: read without a lock, once per byte or packet.
    virtual bool IsStatusVisible() const = 0;

    // Main thread: shows a transfer's event in the dialog's own words (a translated
    // front end) and returns true, or returns false to have it shown in English through
    // OpenStatus/UpdateStatus/HideStatus (util/TransferText).
    virtual bool ShowTransfer(const TransferEvent&) { return false; }

    // Called in the main thread when the user cancels the transfer the dialog shows
    // (Cancel, or closing it); set by the session whose transfers the dialog shows.
    std::function<void()> OnCancel;
};

// The main window and its helpers, as the transfers see them.
class IHostWindows {
public:
    virtual ~IHostWindows() = default;
    // Any thread: the calculator started pushing its screen; only records the request.
    virtual void RequestScreenCapture() = 0;
    // Main window busy flag while a wire receive or ROM load runs.
    virtual void SetTransferBusy(bool busy) = 0;
    // The set-up instructions dialog: a ROM load waits until the user closed it.
    virtual bool InstructionsVisible() = 0;
    virtual void FocusInstructions() {}
    // A message box with one OK button ("Com Setting Error").
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    // The file chooser of the XModem send: returns the chosen path, or nothing when the
    // user declined. initialPath is the engine's folder followed by "/*.*".
    virtual std::optional<std::string> ChooseFileToSend(const std::string& title, const std::string& initialPath) = 0;
    // A status dialog instance of its own for the transfer server (the ROM load).
    virtual std::unique_ptr<IStatusDialog> CreateStatusDialog() = 0;
    // Gives the main window the input focus after a serious link error.
    virtual void FocusMainWindow() {}
};

// The host a transfer reports to: the windows and the status dialog that Kermit
// transfers and the wire receive use. Either may be missing (a bench, a fuzz target).
struct TransferHost {
    IHostWindows* windows = nullptr;
    IStatusDialog* statusDialog = nullptr;
};
